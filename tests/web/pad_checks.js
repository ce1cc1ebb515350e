// Pads the page must find however late they showed themselves, through
// harness.js:  node harness.js game.pads_found_late ... --scenarios pad_checks.js
'use strict';

const {check, waitUntil, grey} = require('./harness.js');

const level = (n) => `Glouto seconde generation ! Niveau ${n}`;
const ONE_PLAYER = [255, 275, 90, 40];
const BACK = [260, 550, 80, 40];
const START_PLATE = [237, 360, 125, 40];
const IDLE = grey(150);
const middle = ([x, y, w, h]) => [x + Math.floor(w / 2), y + Math.floor(h / 2)];

// One Nintendo pad in the Gamepad API's standard layout (A east, B south).
// It shows itself over and over while the page loads (none of it once the
// program runs), unless the address asks for ?late. The page's ears for it
// are counted.
function stubPad() {
  window.pads = [{id: 'Nintendo Switch Pro Controller (STANDARD GAMEPAD Vendor: 057e Product: 2009)',
                  index: 0, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                  buttons: Array(17).fill({pressed: false})}];
  navigator.getGamepads = () => window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}));
  window.padEars = 0;
  const [add, remove] = [window.addEventListener, window.removeEventListener];
  const count = (type, change) => { if (type === 'gamepadconnected') window.padEars += change; };
  window.addEventListener = function(type, ...rest) { count(type, 1); return add.call(this, type, ...rest); };
  window.removeEventListener = function(type, ...rest) { count(type, -1); return remove.call(this, type, ...rest); };
  window.showPad = () => window.dispatchEvent(new Event('gamepadconnected'));
  if (location.search === '?late') return;
  const loading = setInterval(() => window.Module?.calledRun ? clearInterval(loading) : window.showPad(), 10);
}
const [B, A, X, START] = [0, 1, 3, 9];

// Held until the browser's SDL has read the press, then the release; the pad
// does not show itself again.
async function tap(site, button) {
  for (const down of [true, false]) {
    await site.page.evaluate((b, d) => { window.pads[0].buttons[b] = {pressed: d}; }, button, down);
    await waitUntil(`button ${button} read ${down ? 'down' : 'up'}`, () => site.page.evaluate(
        (b, d) => SDL.lastJoystickState[1]?.buttons[b] === d, button, down));
  }
}

async function pads_found_late(site) {
  // Shown while the page loaded: played on the menu, by Nintendo's buttons.
  await site.open('jeu.html', stubPad);
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await tap(site, B);  // no confirm on a Nintendo pad: the menu stays
  await tap(site, X);  // the top button: the instructions
  await site.waitShare('the instructions page', BACK, IDLE);
  await tap(site, X);
  await site.waitShare('the menu again', ONE_PLAYER, IDLE);
  await tap(site, A);
  await site.waitShare('the level-start screen', START_PLATE, IDLE);

  // Shown first during play, when the page does not listen: found at the pause.
  await site.open('jeu.html?late');
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await site.click(...middle(ONE_PLAYER));
  await site.waitShare('the level-start screen', START_PLATE, IDLE);
  await site.key('Enter');
  await site.waitTitle(level(1));
  await waitUntil('play no longer listening for pads', () => site.page.evaluate(() => window.padEars === 0));
  await site.page.evaluate((b) => { window.pads[0].buttons[b] = {pressed: true}; window.showPad(); }, START);
  await site.page.evaluate((b) => { window.pads[0].buttons[b] = {pressed: false}; }, START);
  await site.key('p');
  await site.waitTitle(level(1) + ' PAUSE');
  await tap(site, START);
  await site.waitTitle(level(1));
  check(await site.page.evaluate(() => window.padEars > 0), 'a pad seen, the page listens for more');
}

module.exports = {'game.pads_found_late': pads_found_late};
