// Opens the page in headless Chromium over the DevTools protocol and
// reports what a player would see: the time from load to the title, the
// canvas as PNG files, the console's errors, and whether Z starts a game.
//   node --experimental-websocket tools/web/probe.mjs <url> <output folder>
// (the page served, e.g. by ./play.sh --web). A tool for now; the page's
// end-to-end tests will grow from it.
// Waits for observed states with deadlines, never for fixed times.
import { spawn } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const [url, out] = process.argv.slice(2);
if (!url || !out) {
  console.error('usage: probe.mjs <url> <output folder>');
  process.exit(2);
}
const port = 20000 + Math.floor(Math.random() * 20000);
const profile = mkdtempSync(join(tmpdir(), 'tessaloom-web-'));
const browser = spawn('chromium', ['--headless=new', '--no-sandbox', '--disable-gpu', '--mute-audio',
  `--remote-debugging-port=${port}`, `--user-data-dir=${profile}`, '--window-size=800,700', 'about:blank'],
  { stdio: 'ignore' });

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
async function until(what, deadlineMs, test) {
  const end = Date.now() + deadlineMs;
  for (;;) {
    const v = await test();
    if (v) return v;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

let ws, nextId = 1;
const pending = new Map();
const problems = [];
function send(method, params = {}) {
  const id = nextId++;
  ws.send(JSON.stringify({ id, method, params }));
  return new Promise((resolve, reject) => pending.set(id, { resolve, reject }));
}
async function evaluate(expression) {
  const r = await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
  if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.text}`);
  return r.result.value;
}
const canvasPng = () => evaluate("document.getElementById('canvas').toDataURL('image/png')");
function savePng(name, dataUrl) {
  writeFileSync(join(out, name), Buffer.from(dataUrl.split(',')[1], 'base64'));
}
async function key(code, keyName, vk, type) {
  await send('Input.dispatchKeyEvent', { type, code, key: keyName, windowsVirtualKeyCode: vk });
}
// A press held over a few frames: the game reads a key as newly pressed
// only while it is still down (this sleep spaces input, it waits for nothing).
async function tap(code, keyName, vk) {
  await key(code, keyName, vk, 'keyDown');
  await sleep(150);
  await key(code, keyName, vk, 'keyUp');
}

let failed = false;
try {
  const target = await until('the browser', 20000, async () => {
    try {
      const list = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
      return list.find((t) => t.type === 'page');
    } catch { return null; }
  });
  ws = new WebSocket(target.webSocketDebuggerUrl);
  await new Promise((r, j) => { ws.onopen = r; ws.onerror = j; });
  ws.onmessage = (m) => {
    const msg = JSON.parse(m.data);
    if (msg.id && pending.has(msg.id)) {
      const p = pending.get(msg.id);
      pending.delete(msg.id);
      if (msg.error) p.reject(new Error(msg.error.message)); else p.resolve(msg.result);
    } else if (msg.method === 'Runtime.exceptionThrown') {
      problems.push('exception: ' + msg.params.exceptionDetails.text + ' ' +
        (msg.params.exceptionDetails.exception?.description ?? ''));
    } else if (msg.method === 'Runtime.consoleAPICalled' && ['log', 'warning'].includes(msg.params.type)) {
      console.log('page: ' + msg.params.args.map((a) => a.value ?? a.description).join(' '));
    } else if (msg.method === 'Runtime.consoleAPICalled' && msg.params.type === 'error') {
      problems.push('console.error: ' + msg.params.args.map((a) => a.value ?? a.description).join(' '));
    } else if (msg.method === 'Log.entryAdded' && msg.params.entry.level === 'error') {
      problems.push('log: ' + msg.params.entry.text + ' ' + (msg.params.entry.url ?? ''));
    }
  };
  await send('Runtime.enable');
  await send('Log.enable');
  await send('Page.enable');
  const start = Date.now();
  await send('Page.navigate', { url });
  // The status line empties when the game has shown its first frame.
  await until('the title', 180000, () =>
    evaluate("(document.getElementById('status')||{}).textContent === '' && typeof Module !== 'undefined'"));
  console.log(`load to title: ${Date.now() - start} ms`);
  const title = await canvasPng();
  savePng('title.png', title);
  // The page's main-thread work on the idle title, as a share of one core
  // over five seconds (a measuring window, not a wait for a state).
  await send('Performance.enable');
  const busy = async () => (await send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const b0 = await busy(), w0 = Date.now();
  await sleep(5000);
  const share = ((await busy()) - b0) / ((Date.now() - w0) / 1000);
  console.log(`main thread busy on the idle title: ${(100 * share).toFixed(1)} % of a core`);
  // Z starts a game: the picture changes from the title's.
  await tap('KeyZ', 'z', 90);
  await until('a changed picture after Z', 10000, async () => (await canvasPng()) !== title);
  await until('the game screen', 10000, async () => {
    const now = await canvasPng();
    savePng('after_z.png', now);
    return now !== title;
  });
  // The pair falls: two pictures a second apart differ.
  const a = await canvasPng();
  await until('the pair to move', 10000, async () => (await canvasPng()) !== a);
  savePng('playing.png', await canvasPng());
  console.log('Z started a game and the picture moves');
  // M mutes and saves the settings; they must outlive a reload, as the
  // scores do (both live in the player's folder in IndexedDB).
  const settings = "(() => { try { return new TextDecoder().decode(FS.readFile('/home/web_user/.config/tessaloom/settings.ini')); } catch (e) { return ''; } })()";
  await tap('KeyM', 'm', 77);
  await until('the settings saved with mute on', 10000, async () => /mute\s*=\s*on/.test(await evaluate(settings)));
  await until('the save kept in IndexedDB', 10000, () => evaluate('(Module.savesKept || 0) >= 1'));
  await send('Page.reload');
  await until('the title after the reload', 180000, () =>
    evaluate("(document.getElementById('status')||{}).textContent === '' && typeof Module !== 'undefined'"));
  if (!/mute\s*=\s*on/.test(await evaluate(settings))) throw new Error('the settings were lost in the reload');
  console.log('the settings outlived a reload');
} catch (e) {
  failed = true;
  console.error('probe: ' + e.message);
}
for (const p of problems) console.error(p);
try { ws?.close(); } catch {}
browser.kill();
process.exit(failed || problems.length ? 1 : 0);
