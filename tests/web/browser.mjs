// What the page's end-to-end tests share: a static server for the page on a
// free loopback port, headless Chromium driven over the DevTools protocol
// through a pipe (no debugging port, no WebSocket: Debian's node 18 has
// none), the page's console watched for errors, and waits for observed
// states with deadlines.
import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, sep } from 'node:path';

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Polls test until it returns something truthy; fails after deadlineMs.
// A look that throws (the page still loading) counts as not yet.
export async function until(what, deadlineMs, test) {
  const end = Date.now() + deadlineMs;
  let last = '';
  for (;;) {
    try {
      const v = await test();
      if (v) return v;
    } catch (e) {
      last = ` (last look: ${e.message})`;
    }
    if (Date.now() > end) throw new Error(`timed out after ${deadlineMs} ms waiting for ${what}${last}`);
    await sleep(50);
  }
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.input': 'text/plain' };

// Serves each folder of mounts (URL prefix -> folder) read-only; returns the
// server and its base address.
export async function serve(mounts) {
  const server = createServer((req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    for (const [prefix, dir] of Object.entries(mounts)) {
      if (!path.startsWith(prefix)) continue;
      const file = normalize(join(dir, path.slice(prefix.length) || 'index.html'));
      if (!file.startsWith(normalize(dir) + sep) && file !== normalize(dir)) break;
      try {
        if (!statSync(file).isFile()) break;
        res.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-store' });
        res.end(readFileSync(file));
        return;
      } catch {
        break;
      }
    }
    res.writeHead(404);
    res.end();
  });
  // Port 0: the system picks a free one.
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  return { server, base: `http://127.0.0.1:${server.address().port}` };
}

// A headless Chromium with a fresh profile, and its DevTools connection.
export class Browser {
  // blockStorage: the profile blocks every site's cookies and so its
  // storage, as a player's browser set to block cookies does.
  constructor({ blockStorage = false } = {}) {
    this.profile = mkdtempSync(join(tmpdir(), 'tessaloom-web-'));
    if (blockStorage) {
      mkdirSync(join(this.profile, 'Default'));
      writeFileSync(join(this.profile, 'Default', 'Preferences'),
        JSON.stringify({ profile: { default_content_setting_values: { cookies: 2 } } }));
    }
    // Root needs --no-sandbox; containers often have a small /dev/shm. The
    // pipe is fds 3 (to the browser) and 4.
    this.proc = spawn('chromium', ['--headless=new', '--no-sandbox', '--disable-gpu', '--mute-audio', '--disable-dev-shm-usage',
      '--no-first-run', '--no-default-browser-check', '--remote-debugging-pipe',
      `--user-data-dir=${this.profile}`, '--window-size=800,700', 'about:blank'],
      { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.problems = [];
    this.log = [];
    let buffered = '';
    this.proc.stdio[4].on('data', (chunk) => {
      buffered += chunk.toString('utf8');
      let end;
      while ((end = buffered.indexOf('\0')) >= 0) {
        const msg = JSON.parse(buffered.slice(0, end));
        buffered = buffered.slice(end + 1);
        this.dispatch(msg);
      }
    });
    // A browser that dies fails what waits on it instead of hanging.
    this.proc.stdio[3].on('error', () => {});
    this.exited = new Promise((r) => this.proc.on('exit', (code, signal) => {
      for (const p of this.pending.values()) p.reject(new Error(`the browser ended (${signal ?? code})`));
      this.pending.clear();
      r();
    }));
  }

  dispatch(msg) {
    if (msg.id && this.pending.has(msg.id)) {
      const p = this.pending.get(msg.id);
      this.pending.delete(msg.id);
      if (msg.error) p.reject(new Error(msg.error.message)); else p.resolve(msg.result);
      return;
    }
    const params = msg.params ?? {};
    const text = (args) => args.map((a) => a.value ?? a.description).join(' ');
    if (msg.method === 'Runtime.exceptionThrown') {
      this.problems.push('exception: ' + params.exceptionDetails.text + ' ' + (params.exceptionDetails.exception?.description ?? ''));
    } else if (msg.method === 'Runtime.consoleAPICalled') {
      if (params.type === 'error') this.problems.push('console.error: ' + text(params.args));
      else this.log.push(text(params.args));
    } else if (msg.method === 'Log.entryAdded' && params.entry.level === 'error') {
      this.problems.push('log: ' + params.entry.text + ' ' + (params.entry.url ?? ''));
    }
    for (const l of this.listeners) l(msg);
  }

  send(method, params = {}, sessionId = this.session) {
    if (this.proc.exitCode !== null || this.proc.signalCode !== null) return Promise.reject(new Error('the browser has ended'));
    const id = this.nextId++;
    const msg = { id, method, params };
    if (sessionId) msg.sessionId = sessionId;
    this.proc.stdio[3].write(JSON.stringify(msg) + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  // Attaches to the browser's one tab and watches its console.
  async attach() {
    const { targetInfos } = await until('the browser', 30000, () => this.send('Target.getTargets', {}, null).catch(() => null));
    const page = targetInfos.find((t) => t.type === 'page');
    if (!page) throw new Error('the browser has no tab');
    this.session = (await this.send('Target.attachToTarget', { targetId: page.targetId, flatten: true }, null)).sessionId;
    this.targets = { [this.session]: page.targetId };
    await this.send('Runtime.enable');
    await this.send('Log.enable');
    await this.send('Page.enable');
    // A hidden tab would pause the game; a headless one keeps its focus.
    await this.send('Emulation.setFocusEmulationEnabled', { enabled: true });
  }

  // Opens a second tab at url; returns its session for evaluate.
  async newTab(url) {
    const { targetId } = await this.send('Target.createTarget', { url }, null);
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true }, null);
    await this.send('Runtime.enable', {}, sessionId);
    await this.send('Log.enable', {}, sessionId);
    await this.send('Emulation.setFocusEmulationEnabled', { enabled: true }, sessionId);
    this.targets[sessionId] = targetId;
    return sessionId;
  }

  // Brings a tab to the front: a hidden one runs no frames.
  async front(session) {
    await this.send('Target.activateTarget', { targetId: this.targets[session] }, null);
  }

  async evaluate(expression, session = this.session) {
    const r = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true }, session);
    if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.exception?.description ?? r.exceptionDetails.text}`);
    return r.result.value;
  }

  // Loads url and waits for its load event, so later looks see the new page.
  async navigate(url) {
    let loaded = false;
    const listener = (msg) => { if (msg.method === 'Page.loadEventFired') loaded = true; };
    this.listeners.push(listener);
    try {
      await this.send('Page.navigate', { url });
      await until(`${url} to load`, 60000, () => loaded);
    } finally {
      this.listeners.splice(this.listeners.indexOf(listener), 1);
    }
  }

  // text makes the key type a character (Enter as '\r' presses a button).
  async key(type, code, key, vk, text, session = this.session) {
    await this.send('Input.dispatchKeyEvent', { type, code, key, windowsVirtualKeyCode: vk, nativeVirtualKeyCode: vk, text }, session);
  }

  // A press held over a few frames: the game reads a key as pressed only
  // while it is down (the hold spaces input, it waits for nothing).
  async tap(code, key, vk, session = this.session) {
    await this.key('keyDown', code, key, vk, undefined, session);
    await sleep(150);
    await this.key('keyUp', code, key, vk, undefined, session);
  }

  // The canvas's pixels, red-green-blue-alpha rows top-down.
  async canvas(session = this.session) {
    const b64 = await this.evaluate(`(() => {
      const c = document.getElementById('canvas');
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let s = '';
      for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
      return btoa(s);
    })()`, session);
    return Buffer.from(b64, 'base64');
  }

  // The status line empties when the game has shown its first frame.
  async waitForTitle(deadlineMs = 180000, session = this.session) {
    await until('the title', deadlineMs, () =>
      this.evaluate("typeof Module !== 'undefined' && document.getElementById('status').textContent === ''", session));
  }

  async close() {
    try { await this.send('Browser.close', {}, null); } catch {}
    const gone = await Promise.race([this.exited.then(() => true), sleep(5000).then(() => false)]);
    if (!gone) this.proc.kill('SIGKILL');
    rmSync(this.profile, { recursive: true, force: true });
  }
}

// Runs body with a browser, then fails on any console error or exception
// the page showed; exits 0 or 1.
export async function run(name, body, options) {
  const browser = new Browser(options);
  let failed = false;
  try {
    await browser.attach();
    await body(browser);
  } catch (e) {
    failed = true;
    console.error(`${name}: ${e.message}`);
  }
  for (const p of browser.problems) console.error(`${name}: the page reported ${p}`);
  if (!failed && browser.problems.length === 0) console.log(`${name}: passed`);
  else for (const line of browser.log) console.error(`page: ${line}`);
  await browser.close();
  return failed || browser.problems.length ? 1 : 0;
}
