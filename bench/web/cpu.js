// The browser's cost in headless Chromium: CPU of its whole process tree
// (CPU time consumed over wall time, from /proc) on the menu and at level 1,
// and the canvas read-back warnings Chromium logs meanwhile; then on the
// editor's 600-wide grid, left alone:
//   node harness.js cpu --site DIR --artifacts DIR --scenarios bench/web/cpu.js
// MEASURE_S sets each measurement's length (default 30); `cpu.editor` measures
// the editor alone.
'use strict';

const fs = require('fs');
const {waitUntil, grey} = require('../../tests/web/harness.js');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const TICKS = 100;  // USER_HZ, the unit of /proc/<pid>/stat's times

// utime + stime + cutime + cstime of `root` and every process under it.
function treeTicks(root) {
  const parent = new Map(), ticks = new Map();
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      parent.set(pid, f[1]);
      ticks.set(pid, [11, 12, 13, 14].reduce((sum, i) => sum + Number(f[i]), 0));
    } catch (e) { /* ended meanwhile */ }
  }
  const inTree = (pid) => pid === String(root) || (parent.has(pid) && pid !== '1' && inTree(parent.get(pid)));
  let sum = 0;
  for (const [pid, t] of ticks) if (inTree(pid)) sum += t;
  return sum;
}

async function share(site, what, seconds) {
  const pid = site.browser.process().pid;
  const [t0, w0] = [treeTicks(pid), Date.now()];
  await sleep(seconds * 1000);
  const cpu = (treeTicks(pid) - t0) / TICKS / ((Date.now() - w0) / 1000);
  console.log(`browser CPU ${what}: ${(100 * cpu).toFixed(1)} % of a core over ${seconds} s`);
}

async function editor(site, seconds) {
  await site.open('editeur.html');
  await waitUntil('the editor', async () => (await site.title()).startsWith('Editeur'));
  await site.waitShare('the editor\'s width plates', [150, 100, 100, 40], grey(150));
  await site.click(200, 120);  // "Niveau 1": the 600-wide grid
  await waitUntil('the grid', () => site.page.evaluate(() => Module.canvas.width === 600));
  await sleep(2000);
  await share(site, 'on the editor\'s grid', seconds);
}

module.exports = {
  share,
  'cpu.editor': (site) => editor(site, Number(process.env.MEASURE_S || 30)),
  cpu: async (site) => {
    const seconds = Number(process.env.MEASURE_S || 30);
    let readbacks = 0;
    await site.open('about:blank').catch(() => {});
    site.page.on('console', (m) => { if (/readback/i.test(m.text())) ++readbacks; });
    const started = Date.now();
    await site.open('jeu.html');
    await site.waitShare('the menu', [255, 275, 90, 40], grey(150));
    console.log(`menu shown ${Date.now() - started} ms after the page started loading`);
    // The first visit also keeps the whole site for offline play: not the menu's cost.
    await site.page.evaluate(() => navigator.serviceWorker.ready);
    await sleep(2000);
    await share(site, 'on the menu', seconds);
    await site.click(300, 295);
    await waitUntil('level 1\'s start screen', async () => (await site.title()).startsWith('Bienvenue'));
    await sleep(300);
    await site.key('Enter');
    await waitUntil('level 1', async () => (await site.title()).endsWith('Niveau 1'));
    await site.key('ShiftRight');  // no loss of life: the level lasts
    readbacks = 0;
    await share(site, 'at level 1', seconds);
    console.log(`readback warnings: ${readbacks} over ${seconds} s of play`);
    await editor(site, seconds);
  },
};
