// The browser build's benchmark (scripts/bench web): the site's size
// gzipped, the time from navigation to the first drawn frame in headless
// Chromium, idle calls per frame, frames per second, and the main thread's
// time per frame (the viewer's WebAssembly, the GL layer, WebGL's calls).
// Usage: node bench/web.mjs SITE_DIR [SECONDS]
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { serveSite, launchChromium, waitForFrames } from '../scripts/lib/web.mjs';

const [site, seconds = '5'] = process.argv.slice(2);
const kRuns = 5;  // page loads for the time to the first frame

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

console.log('== size of the site, gzipped (-9)');
let total = 0;
for (const file of ['index.html', 'morph-viewer.js', 'morph-viewer.wasm']) {
  const raw = readFileSync(`${site}/${file}`);
  const zipped = gzipSync(raw, { level: 9 }).length;
  total += zipped;
  console.log(`  ${file.padEnd(20)} ${kib(raw.length).padStart(10)} raw  ${kib(zipped).padStart(10)} gzipped`);
}
console.log(`  ${'page, script, wasm'.padEnd(20)} ${''.padStart(14)} ${kib(total).padStart(10)} gzipped (goal: at most 48 KiB)`);

const { server, url } = await serveSite(site);
const browser = await launchChromium();
try {
  console.log(`== time from navigation to the first drawn frame (median of ${kRuns} loads)`);
  const firsts = [];
  for (let run = 0; run < kRuns; run++) {
    const page = await browser.newPage();
    // Looks at every animation frame for the viewer's first drawn frame.
    await page.evaluateOnNewDocument(() => {
      const look = () => {
        if (document.body && document.body.dataset.viewer === 'running' && Module._morph_web_frames() >= 1) {
          window.firstFrameAt = performance.now();
        } else {
          requestAnimationFrame(look);
        }
      };
      requestAnimationFrame(look);
    });
    await page.goto(url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.firstFrameAt !== undefined, { timeout: 20000 });
    firsts.push(await page.evaluate(() => window.firstFrameAt));
    await page.close();
  }
  console.log(`  ${median(firsts).toFixed(0)} ms (runs: ${firsts.map((t) => t.toFixed(0)).join(', ')} ms; goal: under 1 s)`);

  console.log(`== running for ${seconds} s`);
  const page = await browser.newPage();
  await page.goto(url, { waitUntil: 'load' });
  await waitForFrames(page, 10);
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const sample = async () => {
    const { metrics } = await session.send('Performance.getMetrics');
    const metric = (name) => metrics.find((m) => m.name === name).value;
    const counts = await page.evaluate(() => [Module._morph_web_frames(), Module._morph_web_idle_calls()]);
    return { at: performance.now(), script: metric('ScriptDuration'), task: metric('TaskDuration'),
      frames: counts[0], idle: counts[1] };
  };
  const start = await sample();
  await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
  const end = await sample();
  const frames = end.frames - start.frames;
  console.log(`  frames drawn: ${frames}, idle calls: ${end.idle - start.idle} ` +
    `(${((end.idle - start.idle) / frames).toFixed(3)} per frame)`);
  console.log(`  frames per second: ${(frames / ((end.at - start.at) / 1000)).toFixed(1)}`);
  console.log(`  script time per frame (WebAssembly and JavaScript): ${((end.script - start.script) / frames * 1000).toFixed(3)} ms`);
  console.log(`  main thread's busy time per frame (all its tasks): ${((end.task - start.task) / frames * 1000).toFixed(3)} ms (goal for one frame's work: under 1 ms)`);
} finally {
  await browser.close();
  server.close();
}
