// `korvane robot` as a real process for the browser test: created on a fresh data
// folder, started on a free loopback port, stopped when the test ends however it ends.
import { execFileSync, spawn } from 'node:child_process';

export function initRobot(korvane, data) {
  const out = execFileSync(korvane, ['robot', 'init', '--data', data], { encoding: 'utf8', timeout: 120000 });
  const found = /committee token: (\S+)/.exec(out);
  if (!found) throw new Error(`korvane robot init printed no committee token: ${out}`);
  return found[1];
}

// Resolves to { process, url } once the robot says where it listens.
export function startRobot(korvane, data) {
  const child = spawn(korvane, ['robot', '--data', data, '--listen', '127.0.0.1:0'],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => {
      child.kill('SIGKILL');
      reject(new Error(`korvane robot did not say where it listens within 60 s: ${seen}`));
    }, 60000);
    child.on('exit', (code, signal) => {
      clearTimeout(timer);
      reject(new Error(`korvane robot ended (${code ?? signal}) before listening: ${seen}`));
    });
    child.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /listening on (http:\/\/127\.0\.0\.1:\d+)/.exec(seen);
      if (found) {
        clearTimeout(timer);
        resolve({ process: child, url: found[1] });
      }
    });
  });
}

// SIGTERM, and the exit code once it has ended (SIGKILL after 10 s).
export function stopRobot(child) {
  if (child.exitCode !== null || child.signalCode !== null) return Promise.resolve(child.exitCode);
  return new Promise((resolve) => {
    const timer = setTimeout(() => child.kill('SIGKILL'), 10000);
    child.once('exit', (code) => {
      clearTimeout(timer);
      resolve(code);
    });
    child.kill('SIGTERM');
  });
}
