// The frame period of a game on two screens in the browser: two pages of the
// site's game, host and guest, in a browser each, each given a Module.lien
// whose messages go through node, held DELAY_MS on their way (one way; 0 and
// 75 by default; "alone": one page, one player, for scale):
//   node tests/web/harness.js linked --site DIR --artifacts DIR --scenarios bench/web/linked_pace.js
// Each page's flips (GloutoFrames.show, once a frame, shown or not) are timed
// over 4 s of level 1, the hero and the monster moving.
'use strict';

const {Site, waitUntil, grey} = require('../../tests/web/harness.js');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// Before any script of the page: the link as the page would make it.
function prepare(role) {
  let module;
  Object.defineProperty(window, 'Module', {configurable: true, get: () => module, set: (m) => {
    if (m === module) return;
    module = m;
    m.arguments = [role === 'hote' ? '--deux-ecrans' : '--invite'];
    m.lien = {role, recus: [], perdu: false, dire: (text) => console.log(`dire: ${text}`),
      envoyer: (bytes) => window.lienEnvoyer(Array.from(bytes))};
    window.lienRecevoir = (bytes) => m.lien.recus.push(new Uint8Array(bytes));
  }});
}

// Each page's flips over 4 s, as "median, mean over N frames".
async function time(pages) {
  const flips = await Promise.all(pages.map((site) => site.page.evaluate(() => new Promise((resolve) => {
    const times = [], show = GloutoFrames.show;
    GloutoFrames.show = function() { times.push(performance.now()); return show.apply(this, arguments); };
    setTimeout(() => resolve(times), 4000);
  }))));
  return flips.map((times) => {
    const periods = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
    if (process.env.DEBUG) console.log(periods.map((p) => p.toFixed(0)).join(' '));
    const mean = (times[times.length - 1] - times[0]) / (times.length - 1);
    return `median ${periods[periods.length >> 1].toFixed(2)} ms, mean ${mean.toFixed(2)} ms over ${periods.length} frames`;
  });
}

async function level1(site) {
  await waitUntil('the level-start screen', async () => (await site.title()).startsWith('Bienvenue'));
  await sleep(300);
  await site.key('Enter');
}

async function alone(site) {
  await site.open('jeu.html');
  await site.waitShare('the menu', [255, 275, 90, 40], grey(150));
  await site.click(300, 295);  // "1 joueur"
  await level1(site);
  await waitUntil('level 1', async () => (await site.title()).endsWith('Niveau 1'));
  await site.key('ArrowLeft');
  console.log(`alone: ${(await time([site]))[0]}`);
}

async function linked(host, guest, delay) {
  const pages = [host, guest];
  for (const [from, to] of [[host, guest], [guest, host]]) {
    await from.page.exposeFunction('lienEnvoyer', (bytes) => {
      setTimeout(() => to.page.evaluate((b) => window.lienRecevoir(b), bytes).catch(() => {}), delay);
    });
  }
  await host.open('jeu.html', `(${prepare})('hote')`);
  await guest.open('jeu.html', `(${prepare})('invite')`);
  await level1(host);
  for (const site of pages) await waitUntil('level 1', async () => (await site.title()).endsWith('Niveau 1'));
  await host.key('ArrowLeft');
  await guest.key('ArrowRight');
  (await time(pages)).forEach((line, k) => console.log(`delay ${delay} ms one way, ${['host', 'guest'][k]}: ${line}`));
}

module.exports = {
  // A browser each: a page behind another is hidden, and a hidden game waits.
  linked: async (site) => {
    const puppeteer = require.resolve('puppeteer-core', {paths: [require.resolve('../../tests/web/harness.js')]});
    const browsers = [site.browser];
    for (const delay of (process.env.DELAY_MS || '0,75').split(',')) {
      while (browsers.length < 3) {
        browsers.push(await require(puppeteer).launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                                       args: ['--no-sandbox']}));
      }
      const [host, guest] = browsers.splice(1, 2).map((browser) => new Site(browser, site.base, site.network));
      for (const s of [host, guest]) {
        s.page = await s.browser.newPage();
        await s.page.setViewport(s.viewport);
      }
      await (delay === 'alone' ? alone(host) : linked(host, guest, Number(delay)));
      await Promise.all([host.browser.close(), guest.browser.close()]);
    }
  },
};
