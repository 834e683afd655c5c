// The browser benchmark: the page's worker's milliseconds per frame, frames
// rendered back to back, in headless chromium against the native engine on one thread, the same frames
// (built-in pair, 1280 x 720, position 8 of 30, default cells and 1 x 1),
// and the frames per second the page shows playing 720p at 30 and 60 a second.
// NATIVE_TIMER names the native timer (scripts/web bench builds it).
import { execFileSync } from 'node:child_process';
import { launchChromium, serveSite, settled } from './page_harness.mjs';

const repetitions = Number(process.env.REPS ?? 40);
const median = (values) => [...values].sort((x, y) => x - y)[Math.floor(values.length / 2)];

async function workerMilliseconds(page, origin, cell) {
  await page.goto(`${origin}/?size=1280x720&cellWidth=${cell}&cellHeight=${cell}&position=8&total=30`);
  await settled(page);
  // The first frames run before the engine's code is optimised.
  await page.evaluate(() => window.designer.timeFrames(10));
  return page.evaluate((count) => window.designer.timeFrames(count), repetitions);
}

async function playedFramesPerSecond(page, origin, rate) {
  await page.goto(`${origin}/?size=1280x720&total=30&rate=${rate}`);
  await settled(page);
  const before = await page.evaluate(() => window.designer.shown);
  await page.click('#play');
  const seconds = 4;
  await page.waitForTimeout(seconds * 1000);
  await page.click('#play');
  return ((await page.evaluate(() => window.designer.shown)) - before) / seconds;
}

const { origin, close } = await serveSite();
const browser = await launchChromium();
try {
  const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
  console.log('| case (1280 × 720, position 8 of 30) | module in chromium | native | native sse2 | module / sse2 |');
  console.log('|---|---|---|---|---|');
  for (const [cell, name] of [[2, 'default settings (2 × 2 cells)'], [1, 'pixel pass (1 × 1 cells)']]) {
    const web = median(await workerMilliseconds(page, origin, cell));
    const native = JSON.parse(execFileSync(process.env.NATIVE_TIMER, ['1280', '720', String(cell), '8', '30', String(repetitions)]));
    console.log(`| ${name} | ${web.toFixed(2)} ms | ${native.chosen.toFixed(2)} ms | ${native.baseline.toFixed(2)} ms | ` +
      `${(web / native.baseline).toFixed(2)} × |`);
  }
  // At 60 a second the page shows what it can keep up with.
  for (const rate of [30, 60])
    console.log(`playing 1280 × 720 at ${rate} frames/s, default settings: ${(await playedFramesPerSecond(page, origin, rate)).toFixed(1)} frames/s shown`);
} finally {
  await browser.close();
  close();
}
