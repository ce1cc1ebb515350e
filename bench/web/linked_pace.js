// The frame period of a game on two screens in the browser: two pages of the
// site's game, host and guest, each given a Module.lien whose messages go
// through node, held DELAY_MS (one way, 0 and 75 by default) on their way:
//   node tests/web/harness.js linked --site DIR --artifacts DIR --scenarios bench/web/linked_pace.js
// Each page's flips (GloutoFrames.show, once a frame shown or not) are timed
// over 4 s of level 1, the hero and the monster both moving.
'use strict';

const {Site, waitUntil} = require('../../tests/web/harness.js');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Before any script of the page: the link as the page would make it.
function prepare(role, wake) {
  window.WAKE = wake;
  let module;
  Object.defineProperty(window, 'Module', {configurable: true, get: () => module, set: (m) => {
    if (m === module) return;
    module = m;
    m.arguments = [role === 'hote' ? '--deux-ecrans' : '--invite'];
    m.lien = {role, recus: [], perdu: false, dire: (text) => console.log(`dire: ${text}`),
      envoyer: (bytes) => window.lienEnvoyer(Array.from(bytes))};
    window.lienRecevoir = (bytes) => {
      m.lien.recus.push(new Uint8Array(bytes));
      if (window.WAKE && m.gloutoWait && m.gloutoWait.wake) m.gloutoWait.wake();  // a wait ends at once
    };
  }});
}

async function run(host, guest, delay) {
  const pages = [host, guest];
  for (const site of pages) {
    site.page = await site.browser.newPage();
    await site.page.setViewport(site.viewport);
    site.page.on('console', (m) => console.log(pages.indexOf(site), m.text())); site.page.on('pageerror', (e) => console.log('ERR', e.message));
  }
  for (const [from, to] of [[host, guest], [guest, host]]) {
    await from.page.exposeFunction('lienEnvoyer', (bytes) => {
      setTimeout(() => to.page.evaluate((b) => window.lienRecevoir(b), bytes).catch(() => {}), delay);
    });
  }
  const wake = Boolean(process.env.WAKE);
  await host.open('jeu.html', `(${prepare})('hote', ${wake})`);
  await guest.open('jeu.html', `(${prepare})('invite', ${wake})`);
  await waitUntil('the level-start screen', async () => (await host.title()).startsWith('Bienvenue'));
  await sleep(300);
  await host.key('Enter');
  for (const site of pages) {
    await waitUntil('level 1', async () => (await site.title()).endsWith('Niveau 1')).catch(async (e) => {

      throw new Error(`${e.message}: ${await host.title()} / ${await guest.title()}`);
    });
  }
  await host.key('ArrowLeft');
  await guest.key('ArrowRight');
  const flips = await Promise.all(pages.map((site) => site.page.evaluate(() => new Promise((resolve) => {
    const times = [], show = GloutoFrames.show;
    GloutoFrames.show = function() { times.push(performance.now()); return show.apply(this, arguments); };
    setTimeout(() => resolve(times), 4000);
  }))));
  for (const [k, times] of flips.entries()) {
    const periods = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
    const mean = (times[times.length - 1] - times[0]) / (times.length - 1);
    if (process.env.DEBUG) console.log(periods.map((p) => p.toFixed(0)).join(' '));
    console.log(`delay ${delay} ms one way, ${['host', 'guest'][k]}: median ${periods[periods.length >> 1].toFixed(2)} ms,` +
                ` mean ${mean.toFixed(2)} ms over ${periods.length} frames`);
  }
  await Promise.all(pages.map((site) => site.page.close()));
  for (const site of pages) site.page = null;
}

module.exports = {
  // A browser each: a page behind another is hidden, and a hidden game waits.
  linked: async (site) => {
    const other = await require(require.resolve('puppeteer-core', {paths: [require.resolve('../../tests/web/harness.js')]})).launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                                          args: ['--no-sandbox']});
    const guest = new Site(other, site.base, site.network);
    for (const delay of (process.env.DELAY_MS || '0,75').split(',')) await run(site, guest, Number(delay));
    await other.close();
  },
};
