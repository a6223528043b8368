// How the web page copes with long channel lists, against the native
// program on the same files in the same run: for each list, the time from
// picking the file to its summary on screen, then from a click on saving
// its codes to their download, the longest task the page's own thread ran
// meanwhile (longer tasks freeze the page), and the native freqcode-table's
// time for the same file, which writes the codes as it reads. Lists: 5,000
// channels, 20,000 and 100,000 failing lines, and a 50 MB list.
//   node bench/web/lists.mjs PAGE.html FREQCODE_TABLE [PAGE.html ...]
// Pages after the first are measured too (an earlier build, say), each on
// the same files.
import { mkdtempSync, writeFileSync, rmSync, statSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { join, resolve } from 'node:path';
import { tmpdir } from 'node:os';
import { pathToFileURL } from 'node:url';
import { chromium } from '../../tests/web/node_modules/playwright-core/index.mjs';

const [pagefile, native, ...others] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'freqcode-lists-'));

// n lines under a header; line i from the function.
function list(name, n, line) {
  const file = join(scratch, name);
  const parts = ['Location,Name,Frequency,Step\n'];
  for (let i = 1; i <= n; ++i) parts.push(line(i));
  writeFileSync(file, parts.join(''));
  return file;
}
const good = (i) => `${i},Channel ${i},${(145000 + 12.5 * (i % 8000)) / 1000},12.5\n`;
const failing = (i) => `${i},Off raster ${i},145.003,12.5\n`;
let bytes = 0, big = 0;
while (bytes < 50e6) bytes += good(++big).length;
const lists = [
  ['5,000 channels', list('5000.csv', 5000, good)],
  ['20,000 failing lines', list('20000-failing.csv', 20000, failing)],
  ['100,000 failing lines', list('100000-failing.csv', 100000, failing)],
  [`50 MB (${big} channels)`, list('50mb.csv', big, good)],
];

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

// Seconds from picking the file to its final summary, and the longest task.
async function inpage(page, file) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, acceptDownloads: true });
  const tab = await context.newPage();
  await tab.goto(pathToFileURL(resolve(page)).href);
  await tab.waitForSelector('html[data-ready=yes]', { state: 'attached' });
  await tab.waitForTimeout(1000);  // the page is idle, its worker (if any) started
  await tab.evaluate(() => {
    window.__tasks = [];
    new PerformanceObserver((l) => window.__tasks.push(...l.getEntries().map((e) => e.duration))).observe({ type: 'longtask' });
    document.getElementById('listfile').addEventListener('change', () => { window.__start = performance.now(); }, true);
  });
  await tab.setInputFiles('#listfile', file);
  await tab.waitForFunction(() => /channels?(,| failed|$)|no channels/.test(document.getElementById('listsummary').textContent) &&
                                  !/^Reading/.test(document.getElementById('listsummary').textContent),
                            null, { timeout: 600000, polling: 50 });
  const [ms, longest] = await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() =>
    done([performance.now() - window.__start, Math.max(0, ...window.__tasks)]))));
  // The codes are written when asked for: the time from the click to the
  // download, and the longest task meanwhile.
  let saved = null, longestsaving = 0;
  if (await tab.isVisible('#listsave')) {
    await tab.evaluate(() => { window.__tasks = []; });
    const start = Date.now();
    await Promise.all([tab.waitForEvent('download', { timeout: 600000 }), tab.click('#listsave')]);
    saved = (Date.now() - start) / 1000;
    longestsaving = await tab.evaluate(() => Math.max(0, ...window.__tasks));
  }
  await context.close();
  return [ms / 1000, Math.max(longest, longestsaving), saved];
}
// The native program's time: the median of three runs, as one run on a
// shared machine may be a third off.
function nativetime(file) {
  const times = [0, 1, 2].map(() => {
    const start = process.hrtime.bigint();
    spawnSync(native, ['--csv', file], { stdio: ['ignore', 'ignore', 'ignore'] });
    return Number(process.hrtime.bigint() - start) / 1e9;
  });
  return times.sort((a, b) => a - b)[1];
}

for (const [what, file] of lists) {
  const mb = (statSync(file).size / 1e6).toFixed(1);
  const base = nativetime(file);
  for (const page of [pagefile, ...others]) {
    const [s, longest, saved] = await inpage(page, file);
    console.log(`${what} (${mb} MB), ${page}: ${s.toFixed(2)} s on screen` +
                (saved === null ? '' : `, codes saved in ${saved.toFixed(2)} s more`) +
                `, longest task ${longest.toFixed(0)} ms; native ${base.toFixed(2)} s; ratio ${(s / base).toFixed(1)}` +
                (saved === null ? '' : `, with the codes ${((s + saved) / base).toFixed(1)}`));
  }
}
await browser.close();
rmSync(scratch, { recursive: true, force: true });
