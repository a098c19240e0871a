// The log robot's pages in a real browser (Debian's chromium, headless, driven by
// puppeteer-core), against a real `korvane robot` on a fresh data folder:
//  - an entrant pastes a log with an error, sees the line on the check page, fixes it in
//    the text area, sends it again, gets the receipt, sends the same log as an ADIF file,
//    and finds the call once among the logs received;
//  - the committee logs in with its token, runs the judge, publishes, and the results
//    are public.
// Every page is saved as a PNG in the artifacts folder. Content-Security-Policy
// violations and script errors fail the test.
//
//   node robot_browser.mjs --korvane PATH --sample LOG.cbr --adif LOG.adi --artifacts DIR
//                          [--chromium PATH]
import { createHash } from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { parseArgs } from 'node:util';

import { initRobot, startRobot, stopRobot } from './robot_process.mjs';

// Installed by scripts/install-deps.sh (npm ci in this folder), never with a browser.
const puppeteer = await import('puppeteer-core').then((m) => m.default, () => {
  throw new Error('puppeteer-core is not installed here: run scripts/install-deps.sh tests (npm ci in tests/browser)');
});

const { values: args } = parseArgs({
  options: {
    korvane: { type: 'string' },
    sample: { type: 'string' },
    adif: { type: 'string' },
    artifacts: { type: 'string' },
    chromium: { type: 'string', default: '/usr/bin/chromium' },
  },
});
for (const name of ['korvane', 'sample', 'adif', 'artifacts'])
  if (!args[name]) throw new Error(`--${name} is needed`);

function check(condition, message) {
  if (!condition) throw new Error(message);
}

const sha256 = (text) => createHash('sha256').update(text).digest('hex');
// A form sends a text area's text with CRLF line breaks, whatever was typed or pasted.
const asFormSends = (text) => text.replace(/\r\n|\r|\n/g, '\r\n');

async function shot(page, name) {
  const file = path.join(args.artifacts, `robot_${name}.png`);
  await page.screenshot({ path: file, fullPage: true });
  console.log(`screenshot: ${file}`);
}

// Blanks as a page may render them: runs of them count as one.
const squeezed = (text) => text.replace(/\s+/g, ' ').trim();
const bodyText = (page) => page.$eval('body', (b) => b.innerText);

// Submits the form whose action is `action` by its own button, as a person would, and
// waits for the page it leads to.
async function submit(page, action) {
  const button = await page.$(`form[action="${action}"] [type="submit"], form[action="${action}"] button`);
  check(button, `no button in the form that posts to ${action} on ${page.url()}`);
  const [response] = await Promise.all([page.waitForNavigation({ timeout: 60000 }), button.click()]);
  return response;
}

// The sample log with its fifth QSO line given a date that does not exist.
function breakOneLine(log) {
  const lines = log.split('\r\n');
  let at = -1;
  for (let i = 0, qsos = 0; i < lines.length && at < 0; ++i)
    if (lines[i].startsWith('QSO:') && ++qsos === 5) at = i;
  check(at >= 0, 'the sample log has fewer than five QSO lines');
  const good = lines[at];
  const bad = good.replace('2026-11-21', '2026-11-41');
  check(bad !== good, 'the sample log\'s fifth QSO line is not dated 2026-11-21');
  lines[at] = bad;
  return { text: lines.join('\r\n'), lineNumber: at + 1, good, bad };
}

async function entrant(page, url, sample) {
  const upload = await page.goto(`${url}/`);
  check(upload.status() === 200, `GET / answered ${upload.status()}`);
  check(/KORVANE/i.test(await bodyText(page)), 'the upload page does not name the contest');
  check(await page.$('form[action="/upload"] input[type="file"][name="log"]'), 'the upload page has no file input "log"');
  await shot(page, 'upload');

  const broken = breakOneLine(sample);
  await page.focus('form[action="/upload"] textarea[name="text"]');
  await page.keyboard.sendCharacter(broken.text); // as a paste: the text arrives at once
  const checked = await submit(page, '/upload');
  check(checked.status() === 422, `the log with an error was answered ${checked.status()}, not 422`);
  const report = await bodyText(page);
  check(squeezed(report).includes(squeezed(broken.bad)), `the check page does not show the line with the error:\n${report.slice(0, 2000)}`);
  const rows = await page.$$eval('tr', (all) => all.map((r) => r.innerText));
  const errorRow = rows.map(squeezed).find((r) => r.includes(squeezed(broken.bad)));
  check(errorRow && new RegExp(`(^|\\s)${broken.lineNumber}(\\s|$)`).test(errorRow),
    `the check page does not give the line number ${broken.lineNumber} beside the line: ${errorRow}`);
  await shot(page, 'check');

  // The log is still in the text area: the entrant corrects the one line there.
  const kept = await page.$eval('textarea[name="text"]', (t) => t.value);
  check(asFormSends(kept) === asFormSends(broken.text), 'the check page does not keep the log as sent in its text area');
  await page.$eval('textarea[name="text"]', (t, bad, good) => {
    t.value = t.value.replace(bad, good);
  }, broken.bad, broken.good);
  const fixedForm = await page.$eval('textarea[name="text"]', (t) => t.form && t.form.getAttribute('action'));
  const receipt = await submit(page, fixedForm);
  check(receipt.status() === 200 && /\/receipts\/[A-Za-z0-9_-]+$/.test(page.url()),
    `the corrected log led to ${page.url()} (HTTP ${receipt.status()}), not a receipt`);
  const receiptText = await bodyText(page);
  check(receiptText.includes('RK3AZ'), 'the receipt does not name RK3AZ');
  const digest = sha256(asFormSends(sample));
  check(receiptText.includes(digest), `the receipt does not give the SHA-256 of the bytes sent (${digest})`);
  check(receiptText.includes('314'), 'the receipt does not give the 314 QSOs');
  await shot(page, 'receipt');
  const receiptUrl = page.url();

  // The same station sends its log again, now the ADIF file its logger wrote, through
  // the file input: converted, receipted, and the one judged from now on.
  await page.goto(`${url}/`);
  const file = await page.$('form[action="/upload"] input[type="file"][name="log"]');
  await file.uploadFile(args.adif);
  const adif = await submit(page, '/upload');
  check(adif.status() === 200 && page.url() !== receiptUrl && /\/receipts\//.test(page.url()),
    `the ADIF file led to ${page.url()} (HTTP ${adif.status()}), not a receipt of its own`);
  const adifReceipt = await bodyText(page);
  check(/ADIF/.test(adifReceipt) && adifReceipt.includes('314'), 'the ADIF receipt does not say what was converted');
  check(adifReceipt.includes(sha256(fs.readFileSync(args.adif))), 'the ADIF receipt does not give the file\'s SHA-256');
  await shot(page, 'receipt_adif');

  const logs = await page.goto(`${url}/logs`);
  check(logs.status() === 200, `GET /logs answered ${logs.status()}`);
  const logRows = await page.$$eval('tr', (all) => all.map((r) => r.innerText).filter((t) => /\bRK3AZ\b/.test(t)));
  check(logRows.length === 1 && logRows[0].includes('314'),
    `not one row for RK3AZ with its 314 QSOs among the logs received: ${JSON.stringify(logRows)}`);
  await shot(page, 'logs');
  return receiptUrl;
}

async function committee(page, url, token) {
  await page.goto(`${url}/committee`);
  await page.type('form[action="/committee/login"] input[name="token"]', token);
  const login = await submit(page, '/committee/login');
  check(login.status() === 200, `the committee login led to HTTP ${login.status()}`);
  const cookie = (await page.cookies()).find((c) => c.name === 'robot_session');
  check(cookie && cookie.httpOnly && cookie.sameSite === 'Strict',
    `the session cookie is not HttpOnly and SameSite=Strict: ${JSON.stringify(cookie)}`);
  const csrf = await page.$eval('form[action="/committee/judge"] input[name="csrf"]', (i) => i.value);
  check(csrf.length >= 16, 'the judge form carries no CSRF token');
  const listed = await page.$$eval('tr', (all) => all.map((r) => r.innerText).filter((t) => /\bRK3AZ\b/.test(t)));
  check(listed.length === 2 && /replaced/.test(listed.join()),
    `the committee page does not list both uploads of RK3AZ, the first replaced: ${JSON.stringify(listed)}`);

  const started = await submit(page, '/committee/judge');
  check(started.status() < 400, `starting the judge answered ${started.status()}`);
  // The judge runs in the background; the committee page says how far it is, and offers
  // to publish once it is done.
  const until = Date.now() + 180000;
  let progress = '';
  for (;;) {
    await page.goto(`${url}/committee`);
    progress = await bodyText(page);
    if (await page.$('form[action="/committee/publish"]')) break;
    check(!/failed/i.test(progress) && Date.now() < until, `the judge did not finish: ${progress.slice(0, 1500)}`);
    await new Promise((r) => setTimeout(r, 300));
  }
  await shot(page, 'committee');

  const published = await submit(page, '/committee/publish');
  check(published.status() < 400, `publishing answered ${published.status()}`);
  const results = await page.goto(`${url}/results/`);
  check(results.status() === 200, `GET /results/ after publishing answered ${results.status()}`);
  check((await bodyText(page)).includes('RK3AZ'), 'the published results do not name RK3AZ');
  await shot(page, 'results');
}

async function main() {
  fs.mkdirSync(args.artifacts, { recursive: true });
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'robot-browser-'));
  const data = path.join(work, 'data');
  const token = initRobot(args.korvane, data);
  const robot = await startRobot(args.korvane, data);
  const browser = await puppeteer.launch({
    executablePath: args.chromium,
    headless: true,
    userDataDir: path.join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--window-size=1280,900'],
    defaultViewport: { width: 1280, height: 900 },
  });
  const problems = [];
  try {
    const page = await browser.newPage();
    page.on('pageerror', (e) => problems.push(`script error on ${page.url()}: ${e.message}`));
    page.on('console', (m) => {
      if (m.type() === 'error' && /Content Security Policy|Refused to/i.test(m.text()))
        problems.push(`on ${page.url()}: ${m.text()}`);
    });
    const sample = fs.readFileSync(args.sample, 'utf8');
    await entrant(page, robot.url, sample);
    await committee(page, robot.url, token);
  } finally {
    await browser.close();
    const code = await stopRobot(robot.process);
    if (code !== 0) problems.push(`korvane robot ended with ${code} on SIGTERM, not a clean stop`);
    fs.rmSync(work, { recursive: true, force: true });
  }
  check(problems.length === 0, problems.join('\n'));
  console.log('robot browser test: passed');
}

await main();
