// The designer page in Debian's chromium, walked as a person would, its
// frames and files compared with glimmer's. GLIMMER names the native glimmer.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { launchChromium, serveSite, settled as settledPage } from '../../tools/web/bench/page_harness.mjs';

const glimmer = resolve(process.env.GLIMMER ?? 'build/native/tools/glimmer/glimmer');
const work = mkdtempSync(join(tmpdir(), 'glimmer-page-'));

const rgbaOf = (file) =>
  execFileSync('ffmpeg', ['-loglevel', 'error', '-i', file, '-f', 'rawvideo', '-pix_fmt', 'rgba', '-'], { maxBuffer: 1 << 26 });
function glimmerFrame(args) {
  const out = join(work, 'expected.png');
  execFileSync(glimmer, ['render', '--quiet', ...args, '--out', out]);
  return rgbaOf(out);
}
function drawn(source, name, size = '320x240') {
  const file = join(work, name);
  execFileSync('ffmpeg', ['-loglevel', 'error', '-y', '-f', 'lavfi', '-i', `${source}=size=${size}`, '-frames:v', '1', file]);
  return file;
}

test('the designer page', async () => {
  const { origin, close } = await serveSite();
  const browser = await launchChromium();
  const problems = [];
  try {
    const page = await browser.newPage({ acceptDownloads: true });
    page.on('console', (m) => m.type() === 'error' && problems.push(m.text()));
    page.on('pageerror', (e) => problems.push(e.message));
    const settled = () => settledPage(page);
    const canvasBytes = async () => Buffer.from(await page.evaluate(() => {
      const c = document.getElementById('preview');
      const bytes = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
      return btoa(text);
    }), 'base64');

    // A shared link shows glimmer's frame of the built-in pair.
    await page.goto(`${origin}/?gravity=60&cellWidth=4&position=12&total=30`);
    await settled();
    assert.ok((await canvasBytes()).equals(glimmerFrame(['--set', 'gravity=60', '--set', 'cellWidth=4', '--position', '12', '--total', '30'])),
      'the link frame equals glimmer render');
    // The command the page offers makes that frame too.
    const command = await page.inputValue('#command');
    execFileSync('bash', ['-c', command.replace(/^glimmer /, `'${glimmer}' `) + ' --quiet'], { cwd: work });
    assert.ok((await canvasBytes()).equals(rgbaOf(join(work, 'frame.png'))), command);

    // Two dropped PNGs become image A and image B, at A's size.
    const pair = [drawn('testsrc2', 'a.png'), drawn('mandelbrot', 'b.png')];
    await page.evaluate(async (files) => {
      const transfer = new DataTransfer();
      for (const [name, base64] of files)
        transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name, { type: 'image/png' }));
      document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, pair.map((f) => [f.split('/').pop(), readFileSync(f).toString('base64')]));
    await page.waitForFunction(() => document.getElementById('names').textContent.includes('b.png'));
    await settled();
    const look = ['--set', 'gravity=60', '--set', 'cellWidth=4'];
    const onPair = ['--a', pair[0], '--b', pair[1], '--position', '12', '--total', '30'];
    assert.ok((await canvasBytes()).equals(glimmerFrame([...look, ...onPair])), 'the dropped pair equals glimmer render');

    // A control changes the look, the address and the frame.
    await page.click('#tab-Nature');
    await page.locator('#field-wind').fill('200');
    await settled();
    assert.match(new URL(page.url()).search, /wind=200/);
    assert.ok((await canvasBytes()).equals(glimmerFrame([...look, '--set', 'wind=200', ...onPair])), 'the changed look');

    // Save gives glimmer settings --out's bytes.
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
    const expectedFile = join(work, 'expected.qvx');
    execFileSync(glimmer, ['settings', ...look, '--set', 'wind=200', '--out', expectedFile]);
    assert.deepEqual(readFileSync(await download.path()), readFileSync(expectedFile));

    // Load takes a file glimmer wrote; a bad one is refused in the plug-in's words and changes nothing.
    execFileSync(glimmer, ['settings', '--set', 'delay=0', '--set', 'orderRightLeft=1', '--out', expectedFile]);
    await page.setInputFiles('#load', expectedFile);
    await settled();
    await page.waitForFunction(() => location.search.includes('delay=0'));
    assert.equal(await page.locator('#field-orderRightLeft-1').isChecked(), true);
    const before = page.url();
    const refusals = [
      ['#load', 'short.qvx', readFileSync(expectedFile).subarray(0, 31), 'Error reading file!'],
      ['#load', 'other.qvx', Buffer.alloc(456, 65), 'Not a Scatterweave file!'],
      ['#file-a', 'notes.png', Buffer.from('not a picture'), "'notes.png' is not a picture or video that this browser can read"],
      ['#file-b', 'huge.png', readFileSync(drawn('color', 'huge.png', '16400x16')),
        "'huge.png' is 16400x16; the page takes at most 16384x16384 and 2^26 pixels in all"],
    ];
    for (const [input, name, bytes, message] of refusals) {
      writeFileSync(join(work, name), bytes);
      await page.setInputFiles(input, join(work, name));
      await page.waitForFunction((text) => document.getElementById('message').textContent === text, message);
      assert.equal(page.url(), before, `${name} changed nothing`);
    }
    assert.deepEqual(problems, []);
  } finally {
    await browser.close();
    close();
  }
});
