// What "Deux écrans" costs the page, on two phones (touch, 390 x 844, the CPU
// slowed 4 times as Lighthouse's mobile preset does) linked through the
// site's own server: the page's part of each game frame, the program's
// envoyer and the other's message received, timed call by call in play (the
// median: a slowed CPU is a thread held now and then, which a call of a few
// microseconds may straddle) and 2000 times in a row once the game is over
// (the mean, holds included); and the bytes each page sent a second.
//   node tests/web/harness.js deux_ecrans --site DIR --artifacts DIR --scenarios bench/web/deux_ecrans.js
// MEASURE_S sets the time played (default 20), SLOW the CPU's slowing (default 4).
'use strict';

const path = require('path');
const {spawn} = require('child_process');
const {waitUntil} = require('../../tests/web/harness.js');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const PHONE = {width: 390, height: 844, hasTouch: true, isMobile: true};

// Each call of the page's part timed, between two marks that bound the play measured.
function mark() {
  window.spent = {envoyer: [], recu: []};
  const timed = (name, f) => function(...args) {
    const start = performance.now();
    try { return f.apply(this, args); } finally { spent[name].push(performance.now() - start); }
  };
  Module.lien.envoyer = timed('envoyer', Module.lien.envoyer);
  Lien.heard = timed('recu', Lien.heard);
  window.from = Lien.bytes;
  performance.mark('deux-ecrans');
}

function measured() {
  const play = performance.measure('deux-ecrans', 'deux-ecrans').duration;
  const median = (t) => t.sort((a, b) => a - b)[t.length >> 1];
  return {frames: spent.envoyer.length, sending: median(spent.envoyer), receiving: median(spent.recu),
          bytes: (Lien.bytes - from) * 1000 / play};
}

// After the game: a message each way, 2000 times, on the real channel.
function batch() {
  Lien.state = 'jeu';  // as in play
  const n = 2000, message = new Uint8Array(11), frames = Array.from({length: n}, (_, k) => {
    const number = Lien.received + k;
    return Uint8Array.from([71, (number >> 8) & 255, number & 255, ...message]).buffer;
  });
  const start = performance.now();
  for (let k = 0; k < n; ++k) Module.lien.envoyer(message);
  const sent = performance.now();
  for (let k = 0; k < n; ++k) Lien.heard(frames[k]);
  return [(sent - start) / n, (performance.now() - sent) / n];
}

module.exports.deux_ecrans = async (site) => {
  const server = spawn(path.join(__dirname, '..', '..', 'glouto.sh'), ['web', 'serve'],
                       {env: {...process.env, GLOUTO_PORT: '0'}, stdio: ['ignore', 'pipe', 'inherit']});
  process.on('exit', () => server.kill());
  const base = await new Promise((found) => server.stdout.on('data', (out) => /(http:\S+)$/m.test(out) && found(/(http:\S+)$/m.exec(out)[1])));
  const pages = [];
  for (let k = 0; k < 2; ++k) {
    const page = await (await site.browser.createBrowserContext()).newPage();
    await page.setViewport(PHONE);
    await page.emulateCPUThrottling(+process.env.SLOW || 4);
    pages.push(page);
  }
  const [host, guest] = pages;
  await host.goto(`${base}jeu.html`);
  await (await host.waitForSelector('#plaques button[aria-label="Deux écrans"]')).click();
  await guest.goto(await waitUntil('the link', () => host.evaluate(() => document.querySelector('#salle-adresse')?.href)));
  for (const page of pages) await waitUntil('the level', () => page.evaluate(() => window.Ecrans?.screen === 'debut'));
  await host.click('#plaques button[aria-label="Commencer"]');
  for (const page of pages) await waitUntil('play', () => page.evaluate(() => Ecrans.screen === 'jeu'));
  for (const page of pages) await page.evaluate(mark);
  await sleep(1000 * (+process.env.MEASURE_S || 20));
  for (const [name, page] of [['host', host], ['guest', guest]]) {
    const {frames, sending, receiving, bytes} = await page.evaluate(measured);
    console.log(`${name}: ${frames} frames, envoyer ${(1000 * sending).toFixed(0)} us, a message received ` +
                `${(1000 * receiving).toFixed(0)} us (medians), ${bytes.toFixed(0)} bytes/s sent`);
  }
  await host.evaluate(() => Lien.end('moi'));
  await waitUntil('the end', () => host.evaluate(() => !document.getElementById('fin').hidden));
  const [sending, receiving] = await host.evaluate(batch);
  console.log(`host, 2000 in a row: envoyer ${(1000 * sending).toFixed(0)} us, a message received ` +
              `${(1000 * receiving).toFixed(0)} us: ${(100 * (sending + receiving) / 40).toFixed(2)} % of a 40 ms frame`);
};
