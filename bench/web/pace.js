// The hero's pace (pixels per second) in the site's game, in headless
// Chromium, at level 1 and on the heavy level 5:
//   node harness.js pace --site DIR --artifacts DIR --scenarios bench/web/pace.js
'use strict';

const {waitUntil, grey} = require('../../tests/web/harness.js');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const {heavyLevel} = require('./level.js');

const ONE_PLAYER = [255, 275, 90, 40];
// The hero's orange, which no chest, wall or enemy has.
const HERO = (r, g, b) => r > 220 && g > 150 && g < 190 && b < 60;

// Pixels per second over the hero's first run to the left: from its first
// move to the last sample before it stops or turns (a wall, the edge).
function paceOf(samples) {
  const xs = samples.filter((s) => s[1] !== null);
  let first = 1;
  while (first < xs.length && xs[first][1] > xs[first - 1][1] - 0.5) ++first;
  let last = first;
  while (last + 1 < xs.length && xs[last + 1][1] < xs[last][1] - 0.5) ++last;
  const [a, b] = [xs[first - 1], xs[last]];
  return (a[1] - b[1]) / ((b[0] - a[0]) / 1000);
}

async function run(site, level) {
  await site.open('jeu.html');
  await site.waitShare('the menu', ONE_PLAYER, grey(150));
  await site.page.evaluate((text) => new Promise((done) => {
    FS.writeFile('/stockage/Niveau_5.txt', text);
    FS.syncfs(false, done);
  }), heavyLevel());
  await site.page.reload();
  await site.waitShare('the menu', ONE_PLAYER, grey(150));
  await site.click(300, 295);
  for (let n = 1; n <= level; ++n) {
    await waitUntil(`level ${n}'s start screen`, async () => (await site.title()).startsWith('Bienvenue')).catch(async (e) => { throw new Error(e.message + ' (title ' + await site.title() + ')'); });
    await sleep(300);
    await site.key('Enter');
    await waitUntil(`level ${n}`, async () => (await site.title()).endsWith(`Niveau ${n}`));
    if (n < level) await sleep(300), await site.key('g');  // once the level runs
  }
  await site.key('ControlLeft');  // no enemies
  await site.key('ShiftRight');   // no loss of life
  await sleep(500);
  await site.key('ArrowLeft');
  const [samples, period] = await site.page.evaluate((test, gap) => new Promise((resolve) => {
    const hero = new Function('r', 'g', 'b', `return (${test})(r, g, b)`);
    const ctx = Module.canvas.getContext('2d');
    const width = Module.canvas.width, start = performance.now(), out = [];
    const frames = Module.gloutoFramesShown;
    (function sample() {
      const d = ctx.getImageData(0, 301, width, 50).data;
      let sum = 0, n = 0;
      for (let k = 0; k < d.length; k += 4) if (hero(d[k], d[k + 1], d[k + 2])) sum += (k / 4) % width, ++n;
      out.push([performance.now() - start, n > 50 ? sum / n : null]);
      if (performance.now() - start < 3000) setTimeout(sample, gap);
      else resolve([out, (performance.now() - start) / (Module.gloutoFramesShown - frames)]);
    })();
  }), HERO.toString(), Number(process.env.GAP || 40));
  const pace = paceOf(samples);
  if (process.env.DEBUG) console.log(JSON.stringify(samples.map(([t, x]) => [Math.round(t), x && Math.round(x)])));
  console.log(`browser pace at level ${level}: ${pace.toFixed(1)} px/s, a frame every ${period.toFixed(2)} ms`);
  return pace;
}

module.exports = {
  pace: async (site) => {
    await run(site, 1);
    if (!process.env.ONLY1) await run(site, 5);
  },
};
