// The browser version's end-to-end tests, in headless Chromium:
//   node tests/web/page_test.mjs <test> --site DIR [--title PPM --assets DIR]
//        [--replay-tool EXE --data DIR]
// tests: title, cached_assets, play, replay, ranking, two_tabs, message_box. Each fails on any error
// on the page's console. Run by CTest (label web) through run.sh.
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { run, serve, sleep, until } from './browser.mjs';

const [test, ...rest] = process.argv.slice(2);
const opt = {};
for (let i = 0; i + 1 < rest.length; i += 2) opt[rest[i].replace(/^--/, '')] = rest[i + 1];

const Width = 640, Height = 480;
// The well, where the pair falls and moves.
const Well = { left: 192, top: 48, right: 448, bottom: 432 };

// A binary PPM (P6, 8 bits) as width, height and RGB bytes.
function readPpm(path) {
  const b = readFileSync(path);
  const head = b.toString('latin1', 0, 64).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!head) throw new Error(`${path} is not a binary PPM`);
  return { width: +head[1], height: +head[2], rgb: b.subarray(head[0].length) };
}

// Pixels of the canvas (RGBA) that differ from the picture (RGB).
function differingPixels(rgba, rgb) {
  let n = 0;
  for (let p = 0; p < Width * Height; ++p)
    if (rgba[4 * p] !== rgb[3 * p] || rgba[4 * p + 1] !== rgb[3 * p + 1] || rgba[4 * p + 2] !== rgb[3 * p + 2] || rgba[4 * p + 3] !== 255) ++n;
  return n;
}

// The box around the pixels that differ between two canvases inside the
// well, or null when none do.
function changedBox(a, b) {
  let box = null;
  for (let y = Well.top; y < Well.bottom; ++y)
    for (let x = Well.left; x < Well.right; ++x) {
      const i = 4 * (y * Width + x);
      if (a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2]) continue;
      if (!box) box = { left: x, right: x, top: y, bottom: y };
      box.left = Math.min(box.left, x); box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y); box.bottom = Math.max(box.bottom, y);
    }
  return box;
}

const { server, base } = await serve({ '/replay/': opt.data ?? opt.site, '/': opt.site });

// The page's report of recorded input, once it has played it.
async function scriptReport(browser, deadlineMs = 120000) {
  return until('the report of the recorded input', deadlineMs, () =>
    browser.evaluate("document.getElementById('report').hidden ? '' : document.getElementById('report').textContent"));
}

const tests = {
  // The title on the canvas equals the native title frame pixel for pixel,
  // and the pictures and sounds are the native ones.
  async title(browser) {
    const native = readPpm(opt.title);
    if (native.width !== Width || native.height !== Height) throw new Error('the native title is not 640 x 480');
    const started = Date.now();
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    console.log(`load to title: ${Date.now() - started} ms`);
    // The first frame is the title; later frames of the idle title are the
    // same picture, so the first look at a drawn canvas is the one to judge.
    const differ = differingPixels(await browser.canvas(), native.rgb);
    if (differ) throw new Error(`${differ} pixels of the title differ from the native title frame`);
    // Every picture and sound the page made is the desktop's, byte for byte.
    const made = await browser.evaluate(`['Graphics', 'Sound/BGM', 'Sound/SE'].flatMap((d) =>
      FS.readdir('/game/' + d).filter((n) => n[0] !== '.').map((n) => d + '/' + n))`);
    if (made.length < 30) throw new Error(`the page made only ${made.length} files`);
    for (const path of made) {
      const b64 = await browser.evaluate(`(() => {
        const d = FS.readFile('/game/${path}');
        let s = '';
        for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
        return btoa(s);
      })()`);
      if (!Buffer.from(b64, 'base64').equals(readFileSync(join(opt.assets, path))))
        throw new Error(`${path} made in the page differs from the desktop's`);
    }
  },

  // The second load takes the pictures and sounds from the browser's cache,
  // and shows the same title; a record that does not check out is not used.
  async cached_assets(browser) {
    const native = readPpm(opt.title);
    const load = async (expect) => {
      const lines = browser.log.length;
      const started = Date.now();
      await browser.navigate(base + '/');
      await browser.waitForTitle();
      const ms = Date.now() - started;
      const said = browser.log.slice(lines).join('\n');
      if (!said.includes(expect)) throw new Error(`the page did not say "${expect}" but:\n${said}`);
      const differ = differingPixels(await browser.canvas(), native.rgb);
      if (differ) throw new Error(`${differ} pixels of the title differ from the native title frame`);
      return ms;
    };
    const first = await load('pictures and sounds made');
    await until('the pictures and sounds kept', 30000, () => browser.evaluate('Module.assetsKept === true'));
    const second = await load("taken from the browser's cache");
    console.log(`load to title: ${first} ms made, ${second} ms from the cache`);
    // One file's recorded length no longer matches its bytes.
    await browser.evaluate(`new Promise((done, fail) => {
      const open = indexedDB.open('tessaloom-assets', 1);
      open.onsuccess = () => {
        const tx = open.result.transaction('made', 'readwrite');
        const get = tx.objectStore('made').get('assets');
        get.onsuccess = () => {
          const r = get.result;
          r.files[0].bytes = r.files[0].bytes.subarray(0, 10);
          tx.objectStore('made').put(r, 'assets');
        };
        // Written for good only once the transaction completes.
        tx.oncomplete = () => done(true);
        tx.onerror = fail;
      };
      open.onerror = fail;
    })`);
    await load('pictures and sounds made');
  },

  // Z starts a game: the picture changes, the pair falls by itself, and
  // Left and Right move it sideways.
  async play(browser) {
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const title = await browser.canvas();
    await browser.tap('KeyZ', 'z', 90);
    await until('the game screen after Z', 10000, async () => changedBox(title, await browser.canvas()));
    // Falling alone changes only the pair's columns (two cells wide at
    // most); the banner that opens the game changes the whole well.
    const pairFalls = async () => {
      const a = await browser.canvas();
      const box = await until('the picture to change', 10000, async () => changedBox(a, await browser.canvas()));
      return box.right - box.left < 64 && box.bottom > box.top ? box : null;
    };
    await until('the pair to fall', 20000, pairFalls);
    for (const [name, vk, moved] of [
      ['ArrowLeft', 37, (box, was) => box.left < was.left],
      ['ArrowRight', 39, (box, was) => box.right > was.right]]) {
      const was = await until('the pair to fall again', 20000, pairFalls);
      const before = await browser.canvas();
      await browser.tap(name, name, vk);
      await until(`${name} to move the pair`, 10000, async () => {
        const box = changedBox(before, await browser.canvas());
        return box && moved(box, was);
      });
    }
  },

  // Every recording ends in the page where the replay runner ends it.
  async replay(browser) {
    const inputs = readdirSync(opt.data).filter((f) => f.endsWith('.input')).sort();
    if (!inputs.length) throw new Error(`no recorded input in ${opt.data}`);
    for (const input of inputs) {
      const expected = execFileSync(opt['replay-tool'], ['play', join(opt.data, input)], { encoding: 'utf8' });
      const started = Date.now();
      await browser.navigate(`${base}/?replay=replay/${input}`);
      const got = await scriptReport(browser);
      if (got !== expected) {
        throw new Error(`${input}: the page ended elsewhere than the replay runner.\n--- runner\n${expected}--- page\n${got}`);
      }
      console.log(`${input}: the same end state (${expected.split('\n')[0]}, ${Date.now() - started} ms)`);
    }
  },

  // A game ended with a name entered keeps the name in the ranking after a
  // reload: the rank file lives in the browser's storage.
  async ranking(browser) {
    const rankFile = "(() => { try { return new TextDecoder().decode(FS.readFile('/home/web_user/Data/Rank.ds')); } catch (e) { return ''; } })()";
    await browser.navigate(`${base}/?replay=replay/name_entry.input&keep`);
    const report = await scriptReport(browser);
    const name = report.match(/^rank\n"([a-z]{3})" crlf$/m)?.[1];
    if (!name) throw new Error(`the recording entered no name:\n${report}`);
    await until('the scores kept in the browser', 10000, () => browser.evaluate('(Module.savesKept || 0) >= 1'));
    const saved = await browser.evaluate(rankFile);
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const after = await browser.evaluate(rankFile);
    if (after !== saved) throw new Error(`the rank file changed in the reload:\n${JSON.stringify(saved)}\n${JSON.stringify(after)}`);
    if (!after.startsWith(`${name}\r\n`)) throw new Error(`${name} is not first in the ranking after the reload: ${JSON.stringify(after)}`);
  },

  // Two tabs each save a score from the same table while the other's store
  // is held back: both scores are stored.
  async two_tabs(browser) {
    const rankFile = "new TextDecoder().decode(Module.localRank())";
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const other = await browser.newTab(base + '/');
    await browser.waitForTitle(180000, other);
    // The test holds the tabs' lock, so neither can store nor load.
    await browser.evaluate("navigator.locks.request('tessaloom-files', () => new Promise((r) => { window.releaseFiles = r; })), true");
    await until('the lock held', 5000, async () =>
      (await browser.evaluate('navigator.locks.query().then((q) => q.held.length)')) === 1);
    // Each tab saves as the game does: its own table with one entry more.
    const save = (name, score) => `(() => {
      FS.mkdirTree(Module.playerFolder + '/Data');
      FS.writeFile(Module.playerFolder + '/Data/Rank.ds', '${name}\\r\\n${score}\\r\\n\\r\\n0\\r\\n\\r\\n0\\r\\n\\r\\n0\\r\\n\\r\\n0\\r\\n');
      Module.tessaloomPersist();
      return true;
    })()`;
    await browser.evaluate(save('ann', 300));
    await browser.evaluate(save('bob', 500), other);
    await browser.evaluate('window.releaseFiles(), true');
    await until('both saves kept', 20000, async () =>
      (await browser.evaluate('Module.savesKept || 0')) >= 1 && (await browser.evaluate('Module.savesKept || 0', other)) >= 1);
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const after = await browser.evaluate(rankFile);
    if (!after.startsWith('bob\r\n500\r\nann\r\n300\r\n')) throw new Error(`a score was lost: ${JSON.stringify(after)}`);
  },

  // A message box is a dialog drawn in the page: modal, the game draws
  // nothing while it is open, and once it is closed the game goes on.
  async message_box(browser) {
    const text = 'Self-test: press OK to go on.';
    await browser.navigate(`${base}/?box=${encodeURIComponent(text)}`);
    const shown = "(() => { const d = document.getElementById('message'); return d.open ? d.querySelector('#message-caption').textContent + '|' + d.querySelector('#message-text').textContent : ''; })()";
    const got = await until('the message box', 180000, () => browser.evaluate(shown));
    if (got !== `self-test|${text}`) throw new Error(`the box shows ${JSON.stringify(got)}`);
    const blank = (px) => px.every((v) => v === 0);
    // Several later looks, not a time span: the game has drawn no frame.
    for (let look = 0; look < 5; ++look) {
      if (!(await browser.evaluate(shown))) throw new Error('the box closed by itself');
      if (!blank(await browser.canvas())) throw new Error('the game drew a frame while the box was open');
      await sleep(200);  // spaces the looks
    }
    await browser.key('keyDown', 'Enter', 'Enter', 13, '\r');
    await browser.key('keyUp', 'Enter', 'Enter', 13);
    await until('the box to close', 10000, async () => !(await browser.evaluate(shown)));
    await until('the title after the box', 10000, async () => !blank(await browser.canvas()));
    const title = await browser.canvas();
    await browser.tap('KeyZ', 'z', 90);
    await until('Z to start a game after the box', 10000, async () => changedBox(title, await browser.canvas()));
  },
};

if (!tests[test]) {
  console.error(`unknown test ${test}; one of ${Object.keys(tests).join(' ')}`);
  process.exit(2);
}
const code = await run(test, tests[test]);
server.close();
process.exit(code);
