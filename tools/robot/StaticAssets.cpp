#include "tools/robot/StaticAssets.h"

namespace korvane::robot {

const std::string& styleSheet()
{
    static const std::string kStyle = R"(body{font-family:system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;margin:0;color:#1d2433;background:#fff}
header{background:#2f5d8a;padding:.6em 1em}
header nav a{color:#fff;margin-right:1.2em;text-decoration:none;font-weight:600}
main{max-width:62em;margin:1.5em auto;padding:0 1em}
h1{font-size:1.6em;margin:.2em 0 .4em}
h2{font-size:1.15em;margin:1.6em 0 .4em;border-bottom:2px solid #2f5d8a;padding-bottom:.2em}
p.meta{color:#4b5563}
table{border-collapse:collapse;width:100%;margin:.4em 0}
th,td{padding:.3em .6em;text-align:left;border-bottom:1px solid #e5e7eb;vertical-align:top}
th{background:#eef3f8;font-weight:600}
td.num,th.num{text-align:right}
td.time{white-space:nowrap}
tr:nth-child(even) td{background:#f9fafb}
textarea{width:100%;min-height:18em;font-family:ui-monospace,Consolas,monospace;font-size:.9em}
input[type=text],input[type=password],select{padding:.3em;font-size:1em}
button{background:#2f5d8a;color:#fff;border:0;padding:.45em 1.1em;font-size:1em;border-radius:3px;cursor:pointer}
form.inline{display:inline}
fieldset{border:1px solid #d1d5db;margin:1em 0;padding:.6em 1em}
.errors td.msg{color:#9b1c1c}
.warnings td.msg{color:#8a5a00}
td.line{font-family:ui-monospace,Consolas,monospace;white-space:pre-wrap;word-break:break-all}
p.message{font-size:1.1em}
p.notice{background:#ecfdf3;border-left:4px solid #15803d;padding:.5em .8em}
p.refusal{background:#fef2f2;border-left:4px solid #b91c1c;padding:.5em .8em}
dl.receipt{display:grid;grid-template-columns:max-content auto;gap:.3em 1.2em}
dl.receipt dt{font-weight:600}
dl.receipt dd{margin:0;word-break:break-all}
code{font-family:ui-monospace,Consolas,monospace}
)";
    return kStyle;
}

const std::string& robotScript()
{
    static const std::string kScript = R"((function () {
  'use strict';
  function duration(s) {
    var d = Math.floor(s / 86400), h = Math.floor(s % 86400 / 3600), m = Math.floor(s % 3600 / 60);
    var t = '';
    if (d > 0) t += d + (d === 1 ? ' day ' : ' days ');
    if (d > 0 || h > 0) t += h + ' h ';
    t += m + ' min';
    if (d === 0 && h === 0) t += ' ' + (s % 60) + ' s';
    return t;
  }
  var left = document.getElementById('time-left');
  if (left && left.dataset.seconds) {
    var end = Date.now() + 1000 * Number(left.dataset.seconds);
    var tick = function () {
      var s = Math.max(0, Math.round((end - Date.now()) / 1000));
      left.textContent = s > 0 ? duration(s) : 'the deadline has passed';
      if (s > 0) setTimeout(tick, 1000);
    };
    tick();
  }
  var progress = document.getElementById('judge-progress');
  if (progress && progress.dataset.state === 'running') {
    var poll = function () {
      fetch('/committee/progress', {credentials: 'same-origin'}).then(function (r) {
        return r.json();
      }).then(function (p) {
        if (p.state !== 'running') { window.location.reload(); return; }
        progress.textContent = p.stage + (p.total ? ' (' + p.done + ' of ' + p.total + ')' : '');
        setTimeout(poll, 1000);
      }).catch(function () { setTimeout(poll, 3000); });
    };
    setTimeout(poll, 1000);
  }
})();
)";
    return kScript;
}

} // namespace korvane::robot
