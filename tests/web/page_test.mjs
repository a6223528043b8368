// The web edition in Debian's headless Chromium, driven by clicks, keys and
// taps as a person would: the window's rules, the list panel (its CSV byte
// for byte the native program's), a phone's width, the printed sheet, the
// hosted app offline, and no request to any other origin.
//   node --test page_test.mjs   with FREQCODE_PAGE, FREQCODE_SITE,
//   FREQCODE_SAMPLE, FREQCODE_TABLE (the native program) and FREQCODE_SHOTS
//   (a folder for screenshots) in the environment; the browser's profile
//   goes to TMPDIR and away when it closes.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { readFileSync, mkdirSync, mkdtempSync, utimesSync, writeFileSync } from 'node:fs';
import { extname, join } from 'node:path';
import { pathToFileURL, fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const env = process.env;
const pageurl = pathToFileURL(env.FREQCODE_PAGE).href;
const shots = env.FREQCODE_SHOTS;
mkdirSync(shots, { recursive: true });

let browser;
before(async () => {
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    timeout: 30000,
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'],
  });
});
after(async () => {
  await browser?.close();
});

// A page of its own, every request it makes noted.
async function open(options = {}, url = pageurl) {
  const { init, ...settings } = options;
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 }, acceptDownloads: true, ...settings });
  if (init) await context.addInitScript(init);
  const page = await context.newPage();
  page.setDefaultTimeout(10000);
  const requests = [];
  page.on('request', (r) => requests.push(r.url()));
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(url);
  await page.waitForSelector('html[data-ready=yes]', { state: 'attached' });
  return { context, page, requests, errors };
}

const value = (page, id) => page.$eval(`#${id}`, (e) => e.value);
const codes = (page) => Promise.all(['Text1', 'Text2', 'Text3', 'Text9', 'Text10', 'Text11'].map((id) => value(page, id)));
const placeholders = ['****', '******', '******', '****', '******', '******'];

async function type(page, id, text) {
  await page.focus(`#${id}`);
  await page.keyboard.press('Control+A');
  await page.keyboard.type(text);
}

test('the window: its content, and the rules of its three handlers', async () => {
  const { context, page, requests, errors } = await open();
  assert.equal(await page.title(), 'DIDORE/U FREQUENCY CODE EDIT BY ORLISK');
  const form1 = await page.$eval('#Form1', (e) => [e.offsetWidth, e.offsetHeight]);
  assert.deepEqual(form1, [426, 292]);
  // Drawing the window moves nothing: its room is kept from the start.
  const shifted = await page.evaluate(() => Promise.race([
    new Promise((done) => new PerformanceObserver((list) => done(list.getEntries().reduce((sum, e) => sum + e.value, 0)))
      .observe({ type: 'layout-shift', buffered: true })),
    new Promise((done) => setTimeout(() => done(0), 500))]));
  assert.ok(shifted < 0.02, `the page's layout shifted by ${shifted}`);
  assert.deepEqual(await page.$eval('#Form1-picture', (e) => [e.offsetLeft, e.offsetTop, e.naturalWidth]), [0, 0, 429]);
  // No control overlaps another, and each lies inside the window.
  const boxes = await page.$$eval('#Form1 > :not(#Form1-picture):not(.line):not(.fit)', (all) =>
    all.map((e) => ({ id: e.id, l: e.offsetLeft, t: e.offsetTop, r: e.offsetLeft + e.offsetWidth, b: e.offsetTop + e.offsetHeight })));
  assert.equal(boxes.length, 14);
  for (const a of boxes) {
    assert.ok(a.l >= 0 && a.t >= 0 && a.r <= 426 && a.b <= 292, a.id);
    for (const b of boxes) assert.ok(a === b || a.r <= b.l || b.r <= a.l || a.b <= b.t || b.b <= a.t, `${a.id} on ${b.id}`);
  }
  assert.equal(await page.getAttribute('#Text17', 'aria-label'), 'receive frequency, kHz');
  assert.equal(await page.getAttribute('#Combo1', 'role'), 'combobox');
  assert.equal(await page.$$eval('#Combo1-list [role=option]', (o) => o.length), 5);

  // Tab visits the controls in the window's Tab order, codes boxes first.
  await page.focus('#Text1');
  const visited = [];
  for (let i = 0; i < 11; ++i) {
    visited.push(await page.evaluate(() => document.activeElement.id));
    await page.keyboard.press('Tab');
  }
  assert.deepEqual(visited, ['Text1', 'Text2', 'Command1', 'Text3', 'Text9', 'Text10', 'Text17', 'Text18', 'Command2', 'Combo1', 'Text11']);

  await page.click('#Command1');
  assert.deepEqual(await codes(page), ['****', '******', '******', 'F0F1', 'FCFFF4', 'F6F9F0']);
  await page.click('#Command2');
  assert.deepEqual(await codes(page), ['F0F3', 'FFF3F5', 'F6F9F0', 'F0F1', 'FCFFF4', 'F6F9F0']);
  // Every code, and a frequency of nine characters, shows whole in its box.
  await type(page, 'Text17', '430006.25');
  await type(page, 'Text18', '430006.25');
  for (const id of ['Text1', 'Text2', 'Text3', 'Text9', 'Text10', 'Text11', 'Combo1', 'Text17', 'Text18'])
    assert.ok(await page.$eval(`#${id}`, (e) => e.scrollWidth <= e.clientWidth), `${id} cut`);
  await type(page, 'Text17', '430000');

  // The arrow keys on the closed box pick the neighbouring step.
  await page.focus('#Combo1');
  for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowDown');
  assert.equal(await value(page, 'Combo1'), '12.5kHz');
  assert.deepEqual(await codes(page), placeholders);
  await type(page, 'Text18', '145000');
  await page.focus('#Command2');
  await page.keyboard.press('Enter');  // Enter on a focused button presses it
  assert.deepEqual((await codes(page)).slice(0, 3), ['F0F1', 'F5FBF0', 'FCF3F0']);
  assert.ok(await page.$eval('#Combo1', (e) => e.scrollWidth <= e.clientWidth), 'the step shows whole');

  // Typed text is no pick; leaving the box, or Enter in it, shows the step in effect.
  const before = await codes(page);
  await type(page, 'Combo1', '25kHz');
  await page.keyboard.press('Enter');
  assert.equal(await value(page, 'Combo1'), '12.5kHz');
  await type(page, 'Combo1', '5kHz');
  await page.focus('#Text18');
  assert.equal(await value(page, 'Combo1'), '12.5kHz');
  assert.deepEqual(await codes(page), before);

  // Alt+Down opens the list; Enter picks; the arrow button and a click do too.
  await page.focus('#Combo1');
  await page.keyboard.press('Alt+ArrowDown');
  assert.equal(await page.getAttribute('#Combo1', 'aria-expanded'), 'true');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  assert.equal(await value(page, 'Combo1'), '25kHz');
  await page.click('#Combo1-button');
  await page.click('#Combo1-option-0');
  assert.equal(await value(page, 'Combo1'), '5kHz');
  await page.click('#Command2');
  assert.equal(await value(page, 'Text3'), 'F6F9F0');

  // Off the raster: placeholders; out of range: nothing changes.
  await type(page, 'Text17', '430002');
  await page.click('#Command1');
  assert.deepEqual((await codes(page)).slice(3), ['****', '******', '******']);
  for (const freq of ['29000', '500000', '']) {
    await type(page, 'Text18', '430000');
    await page.click('#Command2');
    const shown = await codes(page);
    await type(page, 'Text18', freq);
    await page.click('#Command2');
    assert.deepEqual(await codes(page), shown, freq);
  }
  await page.screenshot({ path: join(shots, 'desktop.png') });
  assert.deepEqual(errors, []);
  assert.deepEqual(requests.filter((url) => !/^(file|data|blob):/.test(url)), [], 'a request left the page');
  await context.close();
});

// Every control a person uses, too small to hit or to read there.
const unfit = (page) => page.evaluate(() => [...document.querySelectorAll('input, button, select, a[href], summary')]
  .filter((e) => e.offsetParent !== null)
  .map((e) => ({ id: e.id || e.textContent, box: e.getBoundingClientRect(), font: parseFloat(getComputedStyle(e).fontSize) }))
  .filter(({ box, font }) => box.width < 24 || box.height < 24 || font < 12)
  .map(({ id, box, font }) => `${id}: ${Math.round(box.width)} x ${Math.round(box.height)}, ${font} px`));

// What axe-core finds wrong in the page as it stands.
async function violations(page) {
  await page.addScriptTag({ path: fileURLToPath(new URL('node_modules/axe-core/axe.min.js', import.meta.url)) });
  const found = await page.evaluate(async () => (await window.axe.run()).violations);
  return found.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

test('a phone: the window reflows at 360 px, big enough to tap and read, each channel\'s codes beside its location', async () => {
  const { context, page } = await open({ viewport: { width: 360, height: 740 }, deviceScaleFactor: 2, hasTouch: true, isMobile: true });
  await page.tap('#Combo1-button');
  await page.tap('#Combo1-option-3');
  assert.equal(await value(page, 'Combo1'), '12.5kHz');
  await page.tap('#Command1');
  assert.equal(await value(page, 'Text9'), 'F0F2');
  assert.equal(await page.getAttribute('#Text17', 'inputmode'), 'decimal');
  await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
  await page.waitForSelector('#listrows tbody tr');
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360), 'the page scrolls sideways');
  assert.deepEqual(await unfit(page), []);
  // Each row's location and codes lie inside the screen's width, and its
  // step, frequencies and codes show whole, in a short list and in a long
  // one, whose table draws only the rows in view.
  const unread = () => page.$$eval('#listrows tr:not(.spacer)', (rows) => rows.flatMap((row) =>
    [...row.querySelectorAll('.col-location, .col-step, [class*=khz], [class*=code]')]
      .filter((cell) => cell.getBoundingClientRect().right > 360 || cell.getBoundingClientRect().width === 0 ||
                        ((cell.tagName === 'TH' || !cell.classList.contains('col-location')) && cell.scrollWidth > cell.clientWidth))
      .map((cell) => `${cell.className} ${cell.textContent}`)));
  assert.deepEqual(await unread(), []);
  assert.deepEqual(await violations(page), []);
  await page.screenshot({ path: join(shots, 'phone.png'), fullPage: true });
  const folder = mkdtempSync(join(env.TMPDIR ?? '/tmp', 'phone-'));
  const widest = ['Location,Name,Frequency,Step'];
  for (let i = 1; i <= 300; ++i) widest.push(`${i},Channel ${i},${(499993.75 - 6.25 * (i % 64)) / 1000},6.25`);
  writeFileSync(join(folder, 'long.csv'), widest.join('\n') + '\n');
  await page.setInputFiles('#listfile', join(folder, 'long.csv'));
  await page.waitForFunction(() => /300 channels/.test(document.getElementById('listsummary').textContent));
  await page.waitForSelector('#listrows.windowed tbody tr:not(.spacer)');
  assert.deepEqual(await unread(), []);
  await context.close();
});

test('a channel list: rows with their status, the CSV the native program writes, a printed sheet', async () => {
  const { context, page, requests } = await open({ viewport: { width: 1280, height: 800 } });
  await page.click('#Command1');
  await page.click('#Command2');
  await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
  await page.waitForSelector('#listrows tbody tr');
  assert.equal(await page.$$eval('#listrows tbody tr', (r) => r.length), 10);
  assert.equal(await page.$$eval('#listrows tr.failed', (r) => r.length), 3);
  // The page's own words: no program's name, no command-line option.
  const said = await page.textContent('#listmessages');
  assert.match(said, /^channels\.csv: line 8: rx 145503/m);
  assert.doesNotMatch(said, /freqcode|--/);
  assert.deepEqual(await page.$$eval('#listrows th', (h) => h.slice(0, 3).map((c) => c.textContent)), ['Location', 'Name', 'RX kHz']);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#listsave')]);
  assert.equal(download.suggestedFilename(), 'channels-codes.csv');
  const saved = readFileSync(await download.path(), 'utf8');
  const native = spawnSync(env.FREQCODE_TABLE, ['--excel', env.FREQCODE_SAMPLE], { encoding: 'utf8' });
  assert.equal(saved, native.stdout);

  // The list's steps or auto: the same as the program's --step auto.
  await page.selectOption('#liststep', 'auto');
  await page.waitForFunction(() => document.querySelectorAll('#listrows tr.failed').length === 2);
  const [auto] = await Promise.all([page.waitForEvent('download'), page.click('#listsave')]);
  const nativeauto = spawnSync(env.FREQCODE_TABLE, ['--excel', '--step', 'auto', env.FREQCODE_SAMPLE], { encoding: 'utf8' });
  assert.equal(readFileSync(await auto.path(), 'utf8'), nativeauto.stdout);
  await page.screenshot({ path: join(shots, 'desktop-list.png'), fullPage: true });

  // A list dropped on the page opens as well; its codes decode back to it.
  const listed = readFileSync(await auto.path(), 'utf8');
  await page.selectOption('#listmode', 'decode');
  const dropped = await page.evaluateHandle((text) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text], 'codes.csv', { type: 'text/csv' }));
    return transfer;
  }, listed);
  await page.dispatchEvent('body', 'drop', { dataTransfer: dropped });
  await page.waitForFunction(() => document.getElementById('listsummary').textContent.startsWith('codes.csv'));
  const [decoded] = await Promise.all([page.waitForEvent('download'), page.click('#listsave')]);
  assert.equal(decoded.suggestedFilename(), 'codes-codes.csv');
  const rows = (text) => text.trim().split('\n').filter((row) => /,(ok|"ok, receive only")$/.test(row))
    .map((row) => row.split(',').slice(0, 5).join(','));
  assert.deepEqual(rows(readFileSync(await decoded.path(), 'utf8')), rows(listed));
  // A ';' list with decimal commas is saved in its own separator and mark,
  // as the program's --excel writes it.
  await page.selectOption('#listmode', 'encode');
  const german = Buffer.from('Location;Name;Frequency;Duplex;Offset\n4;Split 70;430,006250;split;432,006250\n');
  await page.setInputFiles('#listfile', { name: 'kanaele.csv', mimeType: 'text/csv', buffer: german });
  await page.waitForFunction(() => document.getElementById('listsummary').textContent.startsWith('kanaele.csv'));
  const [semicolons] = await Promise.all([page.waitForEvent('download'), page.click('#listsave')]);
  const nativegerman = spawnSync(env.FREQCODE_TABLE, ['--excel', '-'], { input: german, encoding: 'utf8' });
  assert.match(nativegerman.stdout, /\n4;Split 70;430006,25;432006,25;6,25kHz;/);
  assert.equal(readFileSync(await semicolons.path(), 'utf8'), nativegerman.stdout);

  // The printed sheet: each channel's status in words, nothing cut off on
  // A4 or Letter.
  await page.selectOption('#listmode', 'encode');
  await page.selectOption('#liststep', '');
  await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
  await page.waitForFunction(() => /^channels\.csv: 10 channels, 3 failed/.test(document.getElementById('listsummary').textContent));
  await page.emulateMedia({ media: 'print' });
  assert.equal(await page.isVisible('#Form1'), false);
  assert.equal(await page.isVisible('#listfile'), false);
  assert.match(await page.textContent('#listrows tr.failed .col-status'), /step raster|outside|kHz/);
  for (const [format, width] of [['A4', 210], ['Letter', 215.9]]) {
    const room = (width - 24) / 25.4 * 96;  // CSS pixels between the margins
    await page.setViewportSize({ width: Math.floor(room), height: 1000 });
    const right = await page.$eval('#listrows', (t) => t.getBoundingClientRect().right);
    assert.ok(right <= room, `${format}: the sheet is ${right} px wide in ${room}`);
    await page.pdf({ path: join(shots, `sheet-${format}.pdf`), format });
  }
  await page.emulateMedia({ media: 'screen' });
  await page.setViewportSize({ width: 1280, height: 800 });
  assert.deepEqual(await violations(page), []);

  // A file that is no list withdraws the last list's codes; the file box is
  // emptied once read, so that the same file, edited, opens again.
  await page.setInputFiles('#listfile', { name: 'photo.jpg', mimeType: 'image/jpeg', buffer: Buffer.from([0xff, 0xd8, 0xff, 0xe0, 0, 0x10]) });
  await page.waitForFunction(() => document.getElementById('listsummary').textContent.startsWith('photo.jpg'));
  assert.equal(await page.isVisible('#listsave'), false, 'the last list\'s codes are still offered');
  assert.equal(await page.getAttribute('#listsave', 'href'), null);
  assert.equal(await value(page, 'listfile'), '');
  await page.selectOption('#listmode', 'encode');
  for (const [mhz, khz] of [['145.5', '145500'], ['145.6', '145600']]) {
    await page.setInputFiles('#listfile', { name: 'edited.csv', mimeType: 'text/csv', buffer: Buffer.from(`Location,Frequency\n1,${mhz}\n`) });
    await page.waitForFunction((shown) => document.querySelector('#listrows td.col-rx_khz')?.textContent === shown, khz);
  }
  assert.equal(await page.isVisible('#listsave'), true);
  assert.deepEqual(requests.filter((url) => !/^(file|data|blob):/.test(url)), [], 'a request left the page');
  await context.close();
});

test('a browser without Uint8Array.fromBase64: the page decodes its program itself, and its worker runs it', async () => {
  const { context, page, errors } = await open({ init: () => { delete Uint8Array.fromBase64; } });
  assert.equal(await page.evaluate(() => typeof Uint8Array.fromBase64), 'undefined');
  await page.click('#Command1');
  assert.notDeepEqual((await codes(page)).slice(3), placeholders.slice(3));
  await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
  await page.waitForFunction(() => /^channels\.csv: 10 channels, 3 failed/.test(document.getElementById('listsummary').textContent));
  assert.deepEqual(errors, []);
  await context.close();
});

test('a browser that cannot unpack the program says so where the window would be', async () => {
  const context = await browser.newContext();
  await context.addInitScript(() => { delete window.DecompressionStream; });
  const page = await context.newPage();
  await page.goto(pageurl);
  await page.waitForFunction(() => /^This browser is too old/.test(document.getElementById('Form1-frame').textContent));
  await context.close();
});

// A list of n channels, location i on 145 MHz + i × 12.5 kHz.
const longlist = (n) => Buffer.from('Location,Frequency,Step\n' +
  Array.from({ length: n }, (_, i) => `${i + 1},${(145000 + 12.5 * (i % 8000)) / 1000},12.5`).join('\n') + '\n');

test('a long list: read off the page\'s thread, drawn as it scrolls, stopped on request', async () => {
  const { context, page, errors } = await open({ viewport: { width: 1280, height: 800 } });
  await page.setInputFiles('#listfile', { name: 'long.csv', mimeType: 'text/csv', buffer: longlist(20000) });
  await page.waitForFunction(() => /20000 channels, all computed/.test(document.getElementById('listsummary').textContent));
  assert.ok(await page.$$eval('#listrows tbody tr', (r) => r.length) < 200, 'every row drawn');
  await page.$eval('#listview', (v) => { v.scrollTop = v.scrollHeight; });
  await page.waitForFunction(() => [...document.querySelectorAll('#listrows td.col-location')].some((c) => c.textContent === '20000'));
  const last = await page.$eval('#listview', (v) => {
    const cell = [...v.querySelectorAll('td.col-location')].find((c) => c.textContent === '20000');
    return [cell.getBoundingClientRect().bottom, v.getBoundingClientRect().bottom];
  });
  assert.ok(last[0] <= last[1] + 1, 'the last row is below the box');
  assert.equal(await page.isVisible('#listsave'), true);

  // Codes longer than one of the parts they are written in (8 MB) join up
  // byte for byte as the native program writes them.
  const hundred = join(mkdtempSync(join(env.TMPDIR ?? '/tmp', 'parts-')), 'hundred.csv');
  writeFileSync(hundred, longlist(120000));
  await page.setInputFiles('#listfile', hundred);
  await page.waitForFunction(() => /120000 channels, all computed/.test(document.getElementById('listsummary').textContent));
  const [parts] = await Promise.all([page.waitForEvent('download', { timeout: 30000 }), page.click('#listsave')]);
  const written = readFileSync(await parts.path());
  assert.ok(written.length > 8 << 20, `the codes are ${written.length} bytes, one part`);
  assert.ok(written.equals(spawnSync(env.FREQCODE_TABLE, ['--excel', hundred], { maxBuffer: 1 << 26 }).stdout));

  // Past the first 200 messages, all of them are offered for saving.
  const failing = Buffer.from('Location,Frequency\n' + Array.from({ length: 300 }, (_, i) => `${i + 1},145.003\n`).join(''));
  await page.setInputFiles('#listfile', { name: 'raster.csv', mimeType: 'text/csv', buffer: failing });
  await page.waitForSelector('#listmore:not([hidden])');
  assert.equal((await page.textContent('#listmessages')).trimEnd().split('\n').length, 200);
  const [all] = await Promise.all([page.waitForEvent('download'), page.click('#listmore')]);
  const lines = readFileSync(await all.path(), 'utf8').trim().split('\n');
  assert.deepEqual([lines.length, lines[300].slice(0, 22), lines[301]], [302, 'raster.csv: line 301: ', '300 of 300 channels failed']);

  // A list long enough to be stopped: nothing of it is offered, and the
  // next list reads as ever.
  // Handing the browser 50 MB may take a while on a busy machine.
  await page.setInputFiles('#listfile', { name: 'longer.csv', mimeType: 'text/csv', buffer: longlist(1500000) }, { timeout: 60000 });
  await page.click('#listcancel', { timeout: 20000 });
  assert.match(await page.textContent('#listsummary'), /^Stopped/);
  assert.equal(await page.isVisible('#listsave'), false);
  assert.equal(await page.$$eval('#listrows tbody tr', (r) => r.length), 0);
  await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
  await page.waitForFunction(() => document.getElementById('listsummary').textContent.startsWith('channels.csv'));
  assert.equal(await page.$$eval('#listrows tbody tr', (r) => r.length), 10);
  assert.deepEqual(errors, []);
  await context.close();
});

test('a list changed on disk once opened: read again, it is refused whole, and its codes are not written from it', async () => {
  const { context, page, errors } = await open({ viewport: { width: 1280, height: 800 } });
  const file = join(mkdtempSync(join(env.TMPDIR ?? '/tmp', 'changed-')), 'club.csv');
  const change = () => {
    writeFileSync(file, 'Location,Frequency\n1,145.0125\n2,145.025\n');
    utimesSync(file, new Date(), new Date(Date.now() + 60000));
  };
  const refused = /^club\.csv could not be read: it may have been moved or changed since it was opened/;
  writeFileSync(file, 'Location,Frequency\n1,145.5\n');
  await page.setInputFiles('#listfile', file);
  await page.waitForFunction(() => /^club\.csv: 1 channel/.test(document.getElementById('listsummary').textContent));
  change();
  await page.selectOption('#liststep', 'auto');
  await page.waitForFunction((refused) => new RegExp(refused).test(document.getElementById('listsummary').textContent), refused.source);
  assert.equal(await page.$$eval('#listrows tbody tr', (r) => r.length), 0);
  assert.equal(await page.isVisible('#listsave'), false);

  await page.setInputFiles('#listfile', file);
  await page.waitForFunction(() => /^club\.csv: 2 channels/.test(document.getElementById('listsummary').textContent));
  writeFileSync(file, 'Location,Frequency\n1,145.5\n');
  utimesSync(file, new Date(), new Date(Date.now() + 120000));
  let downloads = 0;
  page.on('download', () => ++downloads);
  await page.click('#listsave');
  await page.waitForFunction((refused) => new RegExp(refused).test(document.getElementById('listsummary').textContent), refused.source);
  assert.equal(downloads, 0);
  assert.equal(await page.isVisible('#listsave'), false);
  assert.equal(await page.$$eval('#listrows tbody tr', (r) => r.length), 2);
  assert.deepEqual(errors, []);
  await context.close();
});

test('a memory image: the native program\'s bytes, a dump read back, its layout found', async () => {
  const { context, page, errors } = await open({ viewport: { width: 1280, height: 800 } });
  const list = 'Location,Name,Frequency,Duplex,Offset,TStep\n0,A,430.000000,,0,5\n1,B,145.000000,+,0.6,12.5\n';
  await page.setInputFiles('#listfile', { name: 'club.csv', mimeType: 'text/csv', buffer: Buffer.from(list) });
  await page.waitForSelector('#listrows tbody tr');
  const folder = mkdtempSync(join(env.TMPDIR ?? '/tmp', 'image-'));
  writeFileSync(join(folder, 'club.csv'), list);
  for (const [button, name] of [['#saveimagebin', 'club.bin'], ['#saveimagehex', 'club.hex']]) {
    const [saved] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
    assert.equal(saved.suggestedFilename(), name);
    const native = spawnSync(env.FREQCODE_TABLE, ['--csv', join(folder, 'club.csv'), '--image', join(folder, name)]);
    assert.equal(native.status, 0, String(native.stderr));
    assert.deepEqual(readFileSync(await saved.path()), readFileSync(join(folder, name)), name);
  }
  // The image as a chip's dump, with its blocks moved: its layout is found
  // and its channels shown.
  const chip = readFileSync(join(folder, 'club.bin'));
  const moved = Buffer.alloc(chip.length, 0xff);
  for (let location = 0; location < 2; ++location) {
    chip.copy(moved, location * 32 + 4, location * 16, location * 16 + 8);
    chip.copy(moved, location * 32 + 20, location * 16 + 8, location * 16 + 16);
  }
  moved[moved.length - 1] = 0x42;  // not a block's
  await page.setInputFiles('#dumpfile', { name: 'old.bin', mimeType: 'application/octet-stream', buffer: moved });
  await page.click('#findlayout');
  await page.waitForFunction(() => /2 channels on the chip/.test(document.getElementById('listsummary').textContent));
  assert.deepEqual(await Promise.all(['rxat', 'txat', 'stride'].map((id) => value(page, id))), ['4', '20', '32']);
  assert.deepEqual(await page.$$eval('#listrows td.col-rx_khz', (cells) => cells.map((c) => c.textContent)), ['430000', '145000']);
  // The list's image made into that dump, under the layout found, keeps
  // what the dump holds beside the list's blocks.
  writeFileSync(join(folder, 'old.bin'), moved);
  await page.check('#intodump');
  const [into] = await Promise.all([page.waitForEvent('download'), page.click('#saveimagebin')]);
  const native = spawnSync(env.FREQCODE_TABLE, ['--csv', join(folder, 'club.csv'), '--image', join(folder, 'into.bin'),
                                               '--into', join(folder, 'old.bin'), '--rx-at', '4', '--tx-at', '20', '--stride', '32']);
  assert.equal(native.status, 0, String(native.stderr));
  assert.deepEqual(readFileSync(await into.path()), readFileSync(join(folder, 'into.bin')));
  assert.equal(readFileSync(join(folder, 'into.bin')).at(-1), 0x42);
  assert.deepEqual(errors, []);
  await context.close();
});

test('hosted: an installable web app that works offline, and a new build reaches a returning visitor', async () => {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                  '.webmanifest': 'application/manifest+json', '.png': 'image/png' };
  // The served build: as built, or changed, as the next release would be.
  let changed = false;
  const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://127.0.0.1').pathname;
    const file = join(env.FREQCODE_SITE, path === '/' ? 'index.html' : path);
    try {
      let body = readFileSync(file);
      if (changed && file.endsWith('index.html')) body = Buffer.from(String(body).replace('<small>', '<small id="next">'));
      response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const origin = `http://127.0.0.1:${server.address().port}`;
  try {
    const { context, page, requests } = await open({}, `${origin}/`);
    await page.evaluate(() => navigator.serviceWorker.ready);
    const manifest = await page.evaluate(async () => (await fetch(document.querySelector('link[rel=manifest]').href)).json());
    assert.deepEqual(manifest.icons.map((i) => i.sizes + ' ' + i.purpose), ['192x192 any', '512x512 any', '512x512 maskable']);
    await page.reload();
    await page.waitForSelector('html[data-ready=yes]', { state: 'attached' });
    assert.ok(await page.evaluate(() => navigator.serviceWorker.controller !== null), 'no service worker in control');
    changed = true;
    await page.reload();
    await page.waitForSelector('html[data-ready=yes]', { state: 'attached' });
    assert.equal(await page.$$eval('#next', (e) => e.length), 1, 'the new build did not reach the page');
    await new Promise((done) => server.close(done));  // the network is gone
    await context.setOffline(true);
    await page.reload();
    await page.waitForSelector('html[data-ready=yes]', { state: 'attached' });
    assert.equal(await page.$$eval('#next', (e) => e.length), 1, 'offline, the page is the old build');
    await page.click('#Command1');
    assert.equal(await value(page, 'Text9'), 'F0F1');
    // Lists are read offline too: the worker's code comes from the cache.
    await page.setInputFiles('#listfile', env.FREQCODE_SAMPLE);
    await page.waitForFunction(() => /^channels\.csv: 10 channels/.test(document.getElementById('listsummary').textContent));
    assert.deepEqual(requests.filter((url) => !url.startsWith(origin) && !/^(data|blob):/.test(url)), []);
    await context.close();
  } finally {
    server.closeAllConnections?.();
    server.close();
  }
});
