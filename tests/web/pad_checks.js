// Pads the game page must find however late they showed themselves:
//   node harness.js game.pads_found_late --site DIR --artifacts DIR --scenarios pad_checks.js
'use strict';

const {check, waitUntil, grey} = require('./harness.js');

const PLAYING = 'Glouto seconde generation ! Niveau 1';
const [ONE_PLAYER, BACK, START_PLATE] = [[255, 275, 90, 40], [260, 550, 80, 40], [237, 360, 125, 40]];
const IDLE = grey(150);
const [B, A, X, START] = [0, 1, 3, 9];  // a Nintendo pad in the standard layout: A east, B south

// One Nintendo pad, shown over and over while the page loads (never once the
// program runs), or not at all with ?late; the page's ears for pads counted.
function stubPad() {
  window.pads = [{id: 'Nintendo Switch Pro Controller (STANDARD GAMEPAD Vendor: 057e Product: 2009)',
                  index: 0, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                  buttons: Array(17).fill({pressed: false})}];
  navigator.getGamepads = () => window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}));
  window.padEars = 0;
  for (const [name, change] of [['addEventListener', 1], ['removeEventListener', -1]]) {
    const original = window[name];
    window[name] = function(type, ...rest) {
      if (type === 'gamepadconnected') window.padEars += change;
      return original.call(this, type, ...rest);
    };
  }
  window.showPad = () => window.dispatchEvent(new Event('gamepadconnected'));
  if (location.search === '?late') return;
  const loading = setInterval(() => window.Module?.calledRun ? clearInterval(loading) : window.showPad(), 10);
}

// Held until the browser's SDL has read the press, then the release.
async function tap(site, button) {
  for (const down of [true, false]) {
    await site.page.evaluate((b, d) => { window.pads[0].buttons[b] = {pressed: d}; }, button, down);
    await waitUntil(`button ${button} read ${down ? 'down' : 'up'}`, () => site.page.evaluate(
        (b, d) => SDL.lastJoystickState[1]?.buttons[b] === d, button, down));
  }
}

async function pads_found_late(site) {
  // Shown while the page loaded: plays the menu with Nintendo's own buttons.
  await site.open('jeu.html', stubPad);
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await tap(site, B);  // no confirm on a Nintendo pad: the menu stays
  await tap(site, X);  // the top button: the instructions
  await site.waitShare('the instructions page', BACK, IDLE);
  await tap(site, X);
  await site.waitShare('the menu again', ONE_PLAYER, IDLE);
  await tap(site, A);
  await site.waitShare('the level-start screen', START_PLATE, IDLE);

  // Shown first in play, when the page does not listen: found at the pause.
  await site.open('jeu.html?late');
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await site.click(ONE_PLAYER[0] + 45, ONE_PLAYER[1] + 20);
  await site.waitShare('the level-start screen', START_PLATE, IDLE);
  await site.key('Enter');
  await site.waitTitle(PLAYING);
  await waitUntil('play deaf to pads', () => site.page.evaluate(() => window.padEars === 0));
  await site.page.evaluate((b) => { window.pads[0].buttons[b] = {pressed: true}; window.showPad(); }, START);
  await site.page.evaluate((b) => { window.pads[0].buttons[b] = {pressed: false}; }, START);
  await site.key('p');
  await site.waitTitle(PLAYING + ' PAUSE');
  await tap(site, START);
  await site.waitTitle(PLAYING);
  check(await site.page.evaluate(() => window.padEars > 0), 'a pad seen, the page listens for more');
}

module.exports = {'game.pads_found_late': pads_found_late};
