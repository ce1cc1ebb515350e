// A Nintendo pad announced only while the page loads plays the menu with its own buttons
// (a pad first pressed in play: tests/scenarios/game.pad_in_play.txt):
//   node harness.js game.pads_found_late --site DIR --artifacts DIR --scenarios pad_checks.js
'use strict';

const {waitUntil, grey} = require('./harness.js');

const [ONE_PLAYER, BACK, START_PLATE] = [[255, 275, 90, 40], [260, 550, 80, 40], [237, 360, 125, 40]];
const [B, A, X] = [0, 1, 3];  // the standard layout's south, east and north: Nintendo's B, A and X

function stubPad() {
  window.pads = [{id: 'Nintendo Switch Pro Controller (STANDARD GAMEPAD Vendor: 057e Product: 2009)',
                  index: 0, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                  buttons: Array(17).fill({pressed: false})}];
  navigator.getGamepads = () => window.pads.map((p) => ({...p, buttons: [...p.buttons]}));
  const loading = setInterval(() => window.Module?.calledRun ? clearInterval(loading) :
                              window.dispatchEvent(new Event('gamepadconnected')), 10);
}

async function pads_found_late(site) {
  const tap = async (button) => {  // held until the browser's SDL read it, then let go
    for (const down of [true, false]) {
      await site.page.evaluate((b, d) => { window.pads[0].buttons[b] = {pressed: d}; }, button, down);
      await waitUntil(`button ${button} read ${down}`, () => site.page.evaluate(
          (b, d) => SDL.lastJoystickState[1]?.buttons[b] === d, button, down));
    }
  };
  await site.open('jeu.html', stubPad);
  await site.waitShare('the player-count menu', ONE_PLAYER, grey(150));
  await tap(B);  // no confirm on a Nintendo pad: the menu stays
  await tap(X);  // the top button: the instructions, and back
  await site.waitShare('the instructions page', BACK, grey(150));
  await tap(X);
  await site.waitShare('the menu again', ONE_PLAYER, grey(150));
  await tap(A);
  await site.waitShare('the level-start screen', START_PLATE, grey(150));
}

module.exports = {'game.pads_found_late': pads_found_late};
