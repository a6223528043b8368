// How soon the web page is ready, against a static page with the same
// picture and fourteen plain inputs and no code, in the same browser and
// run: from navigation start to the moment a click on "receive" gives codes
// (for the static page: to its load, inputs and picture there); and, for the
// page, to the moment its list panel is set up too (html[data-ready]). Runs
// alternate, medians are compared. With the hosted folder, its index.html
// too, served over HTTP on this machine (each visit a first one, nothing
// cached) against the same static page served alike. Also the sizes, raw
// and gzip, of the page and of the hosted folder.
//   node bench/web/pageready.mjs PAGE.html [SITE_FOLDER] [RUNS]
// (the browser driver is the one the web tests install: tests/web).
import { readFileSync, readdirSync, statSync, mkdtempSync, writeFileSync, rmSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { join, resolve, dirname } from 'node:path';
import { tmpdir } from 'node:os';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { createServer } from 'node:http';
import { chromium } from '../../tests/web/node_modules/playwright-core/index.mjs';

const [pagefile, site, runsarg] = process.argv.slice(2);
const runs = Number(runsarg ?? 15);
const here = dirname(fileURLToPath(import.meta.url));
const picture = readFileSync(join(here, '../../assets/radio.jpg')).toString('base64');

// The baseline: the same picture and fourteen inputs, no code.
const scratch = mkdtempSync(join(tmpdir(), 'freqcode-bench-'));
const baseline = join(scratch, 'baseline.html');
writeFileSync(baseline, `<!doctype html><html><head><meta charset="utf-8"><title>baseline</title></head><body>
<div style="position:relative;width:426px;height:292px"><img src="data:image/jpeg;base64,${picture}" alt="">
${Array.from({ length: 14 }, (_, i) => `<input id="b${i}" value="430000">`).join('\n')}</div></body></html>`);

// Records, in the page, the moment it is ready.
const readyprobe = `(() => {
  const mark = () => { window.__ready = performance.now(); };
  new MutationObserver((changes, observer) => {
    if (document.documentElement.dataset.ready !== 'yes') return;
    window.__panel = performance.now();
    observer.disconnect();
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
  const poll = () => {
    const receive = document.getElementById('Command1');
    if (receive) {
      receive.click();
      if (document.getElementById('Text9').value !== '****') return mark();
    } else if (document.title === 'baseline' && document.readyState === 'complete' &&
               document.querySelectorAll('input').length === 14 && document.images[0].complete) {
      return mark();
    }
    setTimeout(poll, 0);
  };
  poll();
})();`;

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
// The hosted folder at /site/, the static page at /baseline.html.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.json': 'application/json',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png' };
const server = site && createServer((request, response) => {
  const path = new URL(request.url, 'http://x').pathname;
  const file = path === '/baseline.html' ? baseline : join(site, path.replace(/^\/site\//, ''));
  try {
    const bytes = readFileSync(file);
    response.writeHead(200, { 'content-type': types[file.slice(file.lastIndexOf('.'))] ?? 'application/octet-stream' });
    response.end(bytes);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
if (server) await new Promise((done) => server.listen(0, '127.0.0.1', done));
const served = (path) => `http://127.0.0.1:${server.address().port}${path}`;

async function readytime(where) {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.addInitScript(readyprobe);
  await page.goto(where.startsWith('http') ? where : pathToFileURL(resolve(where)).href);
  await page.waitForFunction(() => window.__ready !== undefined && (document.title === 'baseline' || window.__panel !== undefined),
                             null, { timeout: 20000 });
  const ms = await page.evaluate(() => [window.__ready, window.__panel]);
  await context.close();
  return ms;
}
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
const times = { page: [], panel: [], baseline: [], site: [], sitepanel: [], servedbaseline: [] };
await readytime(pagefile);  // a first run warms the browser's caches of the program itself
for (let i = 0; i < runs; ++i) {
  const [page, panel] = await readytime(pagefile);
  times.page.push(page);
  times.panel.push(panel);
  times.baseline.push((await readytime(baseline))[0]);
  if (!server) continue;
  const [site, sitepanel] = await readytime(served('/site/index.html'));
  times.site.push(site);
  times.sitepanel.push(sitepanel);
  times.servedbaseline.push((await readytime(served('/baseline.html')))[0]);
}
await browser.close();
if (server) server.close();
rmSync(scratch, { recursive: true, force: true });

const size = (file) => { const bytes = readFileSync(file); return [bytes.length, gzipSync(bytes, { level: 9 }).length]; };
const kib = ([raw, gz]) => `${(raw / 1024).toFixed(1)} KiB raw, ${(gz / 1024).toFixed(1)} KiB gzip`;
const against = (key, base) => `${median(times[key]).toFixed(1)} ms, ratio ${(median(times[key]) / median(times[base])).toFixed(2)}`;
console.log(`page ready: ${against('page', 'baseline')}; with its list panel: ${against('panel', 'baseline')}; ` +
            `static baseline: ${median(times.baseline).toFixed(1)} ms (medians of ${runs})`);
if (server)
  console.log(`hosted site ready: ${against('site', 'servedbaseline')}; with its list panel: ${against('sitepanel', 'servedbaseline')}; ` +
              `static baseline served: ${median(times.servedbaseline).toFixed(1)} ms`);
console.log(`${pagefile}: ${kib(size(pagefile))}`);
if (site) {
  const files = readdirSync(site).map((f) => join(site, f)).filter((f) => statSync(f).isFile());
  const total = files.map(size).reduce(([a, b], [c, d]) => [a + c, b + d], [0, 0]);
  console.log(`${site}: ${files.length} files, ${kib(total)}`);
}
