// Figures of the browser version in headless Chromium: the time from load
// to the title (first load, making the pictures and sounds, and a second
// one taking them from the browser's cache), and the CPU the tab takes on
// the idle title: the page's main thread (the DevTools TaskDuration metric)
// and the whole renderer process (SystemInfo.getProcessInfo), each as a
// share of one core over five seconds.
//   node tools/web/probe.mjs [site folder]     (default build/web/site)
// The checks themselves are the end-to-end tests in tests/web/.
import { Browser, serve, sleep } from '../../tests/web/browser.mjs';

const site = process.argv[2] ?? 'build/web/site';
const { server, base } = await serve({ '/': site });
const browser = new Browser();
let failed = false;
try {
  await browser.attach();
  for (const which of ['first load', 'second load']) {
    const started = Date.now();
    await browser.navigate(base + '/');
    await browser.waitForTitle();
    console.log(`${which}: title after ${Date.now() - started} ms`);
    if (which === 'first load') {
      const kept = Date.now();
      while (!(await browser.evaluate('Module.assetsKept === true'))) {
        if (Date.now() - kept > 60000) throw new Error('the pictures and sounds were not kept');
        await sleep(100);
      }
    }
  }
  await browser.send('Performance.enable');
  const mainThread = async () => (await browser.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const renderer = async () => (await browser.send('SystemInfo.getProcessInfo', {}, null)).processInfo
    .filter((p) => p.type === 'renderer').reduce((sum, p) => sum + p.cpuTime, 0);
  const m0 = await mainThread(), r0 = await renderer(), t0 = Date.now();
  await sleep(5000);  // the measuring window, not a wait for a state
  const seconds = (Date.now() - t0) / 1000;
  const share = (v) => `${(100 * v / seconds).toFixed(1)} %`;
  console.log(`idle title: main thread ${share((await mainThread()) - m0)} of a core, renderer process ${share((await renderer()) - r0)}`);
  for (const line of browser.log) console.log(`page: ${line}`);
} catch (e) {
  failed = true;
  console.error(`probe: ${e.message}`);
}
for (const p of browser.problems) console.error(`the page reported ${p}`);
await browser.close();
server.close();
process.exit(failed || browser.problems.length ? 1 : 0);
