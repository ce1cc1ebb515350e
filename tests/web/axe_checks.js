// axe-core's rules on the site's pages, in the states a player finds them:
// the home page and the manual, the game's menu and a level (on a computer
// and on a phone, whose touch controls add their buttons), the editor's size
// screen and its grid. Any violation fails, named with the elements it
// concerns, once every state was looked at.
//   node harness.js axe.game --site DIR --artifacts DIR --scenarios axe_checks.js
'use strict';

const fs = require('fs');
const {check, waitUntil, grey, PHONE} = require('./harness.js');

const WELCOME = 'Bienvenue dans le monde du Glouto !';
const EDITOR = 'Editeur de Niveaux : Creez vos niveaux !';
const ONE_PLAYER = [300, 295];  // the middle of the menu's "1 joueur" plate
const FIRST_WIDTH = [200, 120];  // the middle of the editor's "Niveau 1" plate
const IDLE = grey(150);

// Runs axe on the page as it stands; what it found is kept for allClear.
async function audit(site, where) {
  const source = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
  const found = await site.page.evaluate(async (axeSource) => {
    if (!window.axe) (0, eval)(axeSource);
    const {violations} = await axe.run(document, {resultTypes: ['violations']});
    return violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  }, source);
  console.log(`axe: ${found.length} violations on ${where}`);
  (site.violations = site.violations || []).push(...found.map((v) => `${where}: ${v}`));
}

function allClear(site) {
  check(!site.violations?.length, `axe found\n  ${(site.violations || []).join('\n  ')}`);
}

async function home(site) {
  for (const viewport of [site.viewport, PHONE]) {
    await site.resize(viewport);
    for (const page of ['index.html', 'Readme.html']) {
      await site.open(page);
      await audit(site, `${page} at ${viewport.width} x ${viewport.height}`);
    }
  }
  allClear(site);
}

async function game(site) {
  for (const viewport of [site.viewport, PHONE]) {
    const at = `at ${viewport.width} x ${viewport.height}`;
    await site.resize(viewport);
    await site.open('jeu.html');
    await site.waitTitle(WELCOME);
    await site.waitShare('the player-count menu', [255, 275, 90, 40], IDLE);
    await audit(site, `the game's menu ${at}`);
    await site.click(...ONE_PLAYER);
    await site.waitShare('the level-start screen', [237, 360, 125, 40], IDLE);
    await site.key('Enter');
    await site.waitTitle('Glouto seconde generation ! Niveau 1');
    await audit(site, `level 1 ${at}`);
  }
  allClear(site);
}

async function editor(site) {
  for (const viewport of [site.viewport, PHONE]) {
    const at = `at ${viewport.width} x ${viewport.height}`;
    await site.resize(viewport);
    await site.open('editeur.html');
    await site.waitTitle(EDITOR);
    await site.waitShare('the editor\'s width plates', [150, 100, 100, 40], IDLE);
    await audit(site, `the editor's size screen ${at}`);
    await site.click(...FIRST_WIDTH);
    await waitUntil('the 600-wide grid', async () => (await site.canvasSize()).join() === '600,600');
    await site.waitShare('the grid\'s lines', [0, 0, 600, 600], 'return r > 150 && r < 250', 0.03);
    await audit(site, `the editor's grid ${at}`);
  }
  allClear(site);
}

module.exports = {'axe.home': home, 'axe.game': game, 'axe.editor': editor};
