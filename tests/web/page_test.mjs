// The browser version's end-to-end tests, in headless Chromium:
//   node tests/web/page_test.mjs <test> --site DIR [--title PPM --assets DIR]
//        [--replay-tool EXE --data DIR]
// tests: title, cached_assets, play, replay, ranking, two_tabs, message_box, two_tabs_name_entry,
// stored_records, no_indexeddb, storage_blocked. Each fails on any error on the page's console
// (a warning is not one). Run by CTest (label web) through run.sh.
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { run, serve, sleep, until } from './browser.mjs';

const [test, ...rest] = process.argv.slice(2);
const opt = {};
for (let i = 0; i + 1 < rest.length; i += 2) opt[rest[i].replace(/^--/, '')] = rest[i + 1];

const Width = 640, Height = 480;
// The well, where the pair falls and moves.
const Well = { left: 192, top: 48, right: 448, bottom: 432 };
// Other boxes of the screen, right and bottom outside: the keys the screen
// takes (the play screen's differ from the name entry's), the game-over
// banner's "press Z" (only a game without a new record asks for it), the
// score, and a corner of the title.
const KeysPanel = { left: 14, top: 80, right: 178, bottom: 175 };
const PressZ = { left: 215, top: 172, right: 425, bottom: 205 };
const ScoreBox = { left: 470, top: 80, right: 632, bottom: 122 };
const TitleCorner = { left: 560, top: 0, right: 640, bottom: 40 };

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

// Whether two pictures (canvas RGBA or PPM RGB) agree inside box.
function sameInBox(a, b, box) {
  const [pa, sa] = a.rgb ? [a.rgb, 3] : [a, 4];
  const [pb, sb] = b.rgb ? [b.rgb, 3] : [b, 4];
  for (let y = box.top; y < box.bottom; ++y)
    for (let x = box.left; x < box.right; ++x) {
      const i = y * Width + x;
      if (pa[sa * i] !== pb[sb * i] || pa[sa * i + 1] !== pb[sb * i + 1] || pa[sa * i + 2] !== pb[sb * i + 2]) return false;
    }
  return true;
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

// From the title, Z starts a game and the pair falls by itself; returns a
// look that waits for the pair's next fall and gives the box it changed.
async function gameStarts(browser) {
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
  return pairFalls;
}

// The native frames beside the title's (the screenshot tool's).
const nativeFrame = (name) => readPpm(join(dirname(opt.title), `${name}.ppm`));

// From the title, plays in tab as a player would until a game's score
// enters the ranking and the name entry opens. With Left and Down held the
// pairs pile up from the left wall, some forty blocks, so a clear is all
// but certain; once the score shows points Left is let go and the pairs
// drop onto the spawn column, which soon ends the game. A game that ends
// without points (its banner asks for Z) goes back to the title for another.
async function playIntoNameEntry(browser, tab) {
  const over = nativeFrame('game_over'), entry = nativeFrame('name_entry'), title = readPpm(opt.title);
  const hold = (type, code, vk) => browser.key(type, code, code, vk, undefined, tab);
  for (let game = 1; game <= 5; ++game) {
    await browser.tap('KeyZ', 'z', 90, tab);
    // The play screen shows the game-over frame's keys and the score 0.
    const zero = await until('the play screen', 10000, async () => {
      const c = await browser.canvas(tab);
      return sameInBox(c, over, KeysPanel) && c;
    });
    await hold('keyDown', 'ArrowLeft', 37);
    await hold('keyDown', 'ArrowDown', 40);
    let leftHeld = true;
    const end = await until(`game ${game} to end`, 120000, async () => {
      const c = await browser.canvas(tab);
      if (leftHeld && !sameInBox(c, zero, ScoreBox)) {
        leftHeld = false;
        await hold('keyUp', 'ArrowLeft', 37);
      }
      return sameInBox(c, entry, KeysPanel) ? 'name entry' : sameInBox(c, over, PressZ) ? 'no points' : null;
    });
    await hold('keyUp', 'ArrowDown', 40);
    if (leftHeld) await hold('keyUp', 'ArrowLeft', 37);
    if (end === 'name entry') return;
    console.log(`game ${game} ended without points; another`);
    await browser.tap('KeyZ', 'z', 90, tab);
    await until('the title after the game', 10000, async () => sameInBox(await browser.canvas(tab), title, TitleCorner));
  }
  throw new Error('five games without points');
}

// The rank file's places as "name score", the empty ones left out.
const rankPlaces = (text) => text.split('\r\n').flatMap((line, i, lines) =>
  i % 2 === 0 && i + 1 < lines.length && line ? [`${line} ${lines[i + 1]}`] : []).slice(0, 5);
const rankFile = "(() => { try { return new TextDecoder().decode(FS.readFile('/home/web_user/Data/Rank.ds')); } catch (e) { return ''; } })()";

// Scripts that run before the page's own and leave IndexedDB unusable, as
// browsers without it or with it refused do.
const unusableIndexedDb = {
  'no indexedDB': "Object.defineProperty(window, 'indexedDB', { value: undefined, configurable: true });",
  'indexedDB.open throws': "IDBFactory.prototype.open = function () { throw new DOMException('refused', 'SecurityError'); };",
  'indexedDB.open fails': `IDBFactory.prototype.open = function () {
    const request = { error: new DOMException('The user denied permission to access the database.', 'UnknownError') };
    setTimeout(() => request.onerror && request.onerror({ target: request, preventDefault() {} }));
    return request;
  };`,
};

// A page without storage starts, says once that it keeps nothing, and plays.
async function playsWithoutStorage(browser, what) {
  const lines = browser.log.length;
  await browser.navigate(base + '/');
  await browser.waitForTitle(180000);
  const said = await browser.evaluate("document.getElementById('storage').hidden ? '' : document.getElementById('storage').textContent");
  if (!said) throw new Error(`${what}: the page does not say that it keeps nothing`);
  await gameStarts(browser);
  const warned = browser.log.slice(lines).filter((l) => l.includes('keeps no files')).length;
  if (warned !== 1) throw new Error(`${what}: the page said ${warned} times that it keeps nothing`);
  console.log(`${what}: the game plays; the page says "${said}"`);
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
    const pairFalls = await gameStarts(browser);
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

  // Two tabs each play a game into the ranking and enter a name in the
  // game's own name entry, each store held back until both have saved (the
  // test holds the tabs' lock): both scores are kept.
  async two_tabs_name_entry(browser) {
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const other = await browser.newTab(base + '/');
    await browser.waitForTitle(180000, other);
    await browser.evaluate("navigator.locks.request('tessaloom-files', () => new Promise((r) => { window.releaseFiles = r; })), true");
    await until('the lock held', 5000, async () =>
      (await browser.evaluate('navigator.locks.query().then((q) => q.held.length)')) === 1);
    // The other tab spells "baa" (Down turns the first letter), this one keeps "aaa".
    for (const [tab, downs] of [[other, 1], [browser.session, 0]]) {
      await browser.front(tab);
      await playIntoNameEntry(browser, tab);
      for (let i = 0; i < downs; ++i) await browser.tap('ArrowDown', 'ArrowDown', 40, tab);
      await browser.tap('KeyZ', 'z', 90, tab);
      await until('the save waiting for its store', 10000, () => browser.evaluate('Module.storesPending === 1', tab));
    }
    await browser.evaluate('window.releaseFiles(), true');
    await until('both saves kept', 20000, async () =>
      (await browser.evaluate('Module.savesKept || 0')) >= 1 && (await browser.evaluate('Module.savesKept || 0', other)) >= 1);
    // Loaded again, here and in a new tab.
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    const third = await browser.newTab(base + '/');
    await browser.waitForTitle(180000, third);
    for (const tab of [browser.session, third]) {
      const places = rankPlaces(await browser.evaluate(rankFile, tab));
      for (const name of ['aaa', 'baa'])
        if (!places.some((p) => new RegExp(`^${name} [1-9][0-9]*$`).test(p))) throw new Error(`${name}'s score was lost: ${places.join(', ')}`);
      console.log(`the ranking after the reload: ${places.join(', ')}`);
    }
  },

  // A stored record of an unexpected shape, or a store transaction the
  // storage aborts, stops nothing: the page's loads and stores end, the
  // lock is released, other tabs start, and the records that do not check
  // out are made again or removed by the next store.
  async stored_records(browser) {
    const folder = '/home/web_user';
    const withRecords = (work) => `new Promise((done, fail) => {
      const open = indexedDB.open('${folder}', 21);
      open.onsuccess = () => {
        const tx = open.result.transaction('FILE_DATA', 'readwrite'), store = tx.objectStore('FILE_DATA'), out = {};
        (${work})(store, out);
        tx.oncomplete = () => { open.result.close(); done(JSON.stringify(out)); };
        tx.onabort = () => fail(tx.error);
      };
      open.onerror = () => fail(open.error);
    })`;
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    // Records as other code, or a page of another build, might leave them.
    await browser.evaluate(withRecords(`(store) => {
      store.put({ timestamp: 1700000000000, mode: 33206, contents: new TextEncoder().encode('old\\r\\n9\\r\\n') }, '${folder}/Data/Rank.ds');
      store.put({ timestamp: new Date(), mode: 'folder' }, '${folder}/Data');
      store.put({ timestamp: new Date(), mode: 33206, contents: 'volume=5' }, '${folder}/.config/tessaloom/settings.ini');
      store.put({ timestamp: new Date(), mode: 33206, contents: new Uint8Array(8) }, '${folder}/../../game/Graphics/Title.bmp');
      store.put('not a record', '${folder}/Data/Other.ds');
      store.put({ timestamp: new Date(), mode: 33206, contents: new Uint8Array(2097152) }, '${folder}/Data/Huge.ds');
    }`));
    // The game's own save, through a recording that enters a name.
    await browser.navigate(`${base}/?replay=replay/name_entry.input&keep`);
    await scriptReport(browser);
    await until('the scores kept in the browser', 20000, () => browser.evaluate('(Module.savesKept || 0) >= 1'));
    const kept = JSON.parse(await browser.evaluate(withRecords(`(store, out) => {
      store.openCursor().onsuccess = (e) => {
        const c = e.target.result;
        if (!c) return;
        out[c.key] = !(c.value.timestamp instanceof Date) ? 'undated' : c.value.contents === undefined ? 'folder' : 'file';
        c.continue();
      };
    }`)));
    const expected = { [`${folder}/Data`]: 'folder', [`${folder}/Data/Rank.ds`]: 'file' };
    if (JSON.stringify(kept) !== JSON.stringify(expected)) throw new Error(`the stored records after a save: ${JSON.stringify(kept)}`);
    const other = await browser.newTab(base + '/');
    await browser.waitForTitle(180000, other);
    if (!(await browser.evaluate(rankFile, other)).startsWith('zay\r\n')) throw new Error('the other tab does not load the saved scores');

    // The storage aborts the page's next store transaction, as a full disk does.
    const abortOnce = `(() => {
      const transaction = IDBDatabase.prototype.transaction;
      let aborted = false;
      IDBDatabase.prototype.transaction = function (names, mode) {
        const tx = transaction.apply(this, arguments);
        if (mode === 'readwrite' && this.name === '${folder}' && !aborted) {
          aborted = true;
          tx.addEventListener('success', () => tx.abort(), { capture: true, once: true });
        }
        return tx;
      };
    })();`;
    const { identifier } = await browser.send('Page.addScriptToEvaluateOnNewDocument', { source: abortOnce });
    const lines = browser.log.length;
    await browser.navigate(`${base}/?replay=replay/name_entry.input&keep`);
    await scriptReport(browser);
    await until('the failed store reported', 20000, () => browser.log.slice(lines).some((l) => l.includes('could not keep the scores')));
    await browser.send('Page.removeScriptToEvaluateOnNewDocument', { identifier });
    const third = await browser.newTab(base + '/');
    await browser.waitForTitle(180000, third);
    await until('the lock released', 5000, async () =>
      (await browser.evaluate('navigator.locks.query().then((q) => q.held.length + q.pending.length)')) === 0);
    const reported = browser.log.slice(lines).filter((l) => l.includes('could not keep the scores'));
    if (reported.length !== 1) throw new Error(`the failed store was reported ${reported.length} times`);
  },

  // IndexedDB unusable, by a script run before the page's own: the game
  // starts and plays, keeping nothing.
  async no_indexeddb(browser) {
    for (const [what, source] of Object.entries(unusableIndexedDb)) {
      const { identifier } = await browser.send('Page.addScriptToEvaluateOnNewDocument', { source });
      await playsWithoutStorage(browser, what);
      await browser.send('Page.removeScriptToEvaluateOnNewDocument', { identifier });
    }
  },

  // Site storage blocked, by the browser profile's content setting that
  // blocks cookies (IndexedDB and Web Locks then refuse the page): the game
  // starts and plays, and a game's save keeps nothing and says nothing more.
  async storage_blocked(browser) {
    await playsWithoutStorage(browser, 'cookies blocked');
    const lines = browser.log.length;
    await browser.navigate(`${base}/?replay=replay/name_entry.input&keep`);
    const report = await scriptReport(browser);
    if (!/^rank\n"zay" crlf$/m.test(report)) throw new Error(`the recording entered no name:\n${report}`);
    const said = browser.log.slice(lines).filter((l) => /keeps no files|could not|saved scores/.test(l));
    if (said.length !== 1) throw new Error(`the page said about its storage:\n${said.join('\n')}`);
  },
};

// Tests that need a browser set up otherwise.
const browserOptions = { storage_blocked: { blockStorage: true } };

if (!tests[test]) {
  console.error(`unknown test ${test}; one of ${Object.keys(tests).join(' ')}`);
  process.exit(2);
}
const code = await run(test, tests[test], browserOptions[test]);
server.close();
process.exit(code);
