// The picture of the designer page in the README: a shared look at
// position 12 of 30 on the built-in pair, with the Sources page and its
// map thumbnail in front. The argument is the PNG to write.
import { launchChromium, serveSite, settled } from './page_harness.mjs';

const out = process.argv[2] ?? 'docs/web-designer.png';
const { origin, close } = await serveSite();
const browser = await launchChromium();
try {
  const page = await browser.newPage({ viewport: { width: 1240, height: 700 } });
  await page.goto(`${origin}/?gravity=60&cellWidth=4&delayMap.source=${encodeURIComponent('Grad X')}&position=12&total=30`);
  await settled(page);
  await page.click('#tab-Sources');
  await page.selectOption('#parameter', '2');
  await settled(page);
  await page.screenshot({ path: out });
  console.log(`wrote ${out}`);
} finally {
  await browser.close();
  close();
}
