// The pages' own controls, through harness.js (--scenarios page_checks.js):
// the plates' page buttons from the menu to the credits and from the size
// screen to a level put into play, by touch and by keyboard alone; the
// questions before a game or a grid is lost; a dragged finger's walls.
'use strict';

const {check, waitUntil, PHONE, PHONE_SIDEWAYS} = require('./harness.js');

const LEVEL = /^Glouto seconde generation ! Niveau 1$/;
// Each page button's word, when its text and its name are that word.
const plates = (site) => site.page.$$eval('#plaques button',
    (bs) => bs.map((b) => b.ariaLabel === b.textContent && b.textContent));
const screenIs = (site, words) => waitUntil(`the page buttons ${words}`,
    async () => String(await plates(site)) === String(words));
const shows = (site, selector, pattern) => waitUntil(`${selector} saying ${pattern}`,
    () => site.page.$eval(selector, (e, p) => !e.hidden && new RegExp(p).test(e.textContent), pattern.source));
const asking = (site) => site.page.$eval('#demande', (d) => !d.hidden &&
    [...d.querySelectorAll('p, button')].map((e) => e.textContent).join(' '));
const answer = (site, k) => site.page.click(`#demande button:nth-of-type(${k})`);
const said = (site) => site.page.$eval('#annonce', (a) => a.textContent);

const SIZES = [PHONE_SIDEWAYS, {...PHONE, width: 1024, height: 768}, {width: 1920, height: 1080}, PHONE];

// The page's first screen: its picture while the program loads, gone once the
// program shows the screen, and nothing on the page moved meanwhile.
// `watchShifts` goes to site.open, before the page's scripts.
const watchShifts = () => {
  window.shifted = 0;
  window.shifts = new PerformanceObserver((l) => l.getEntries().forEach((e) => { window.shifted += e.value; }));
  window.shifts.observe({type: 'layout-shift'});
};
async function steady(site) {
  // The page fits the canvas at the next frame, and notes any shift as it paints.
  await site.page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const [still, moved] = await site.page.evaluate(() => [Boolean(document.getElementById('attente')),
    window.shifts.takeRecords().reduce((sum, e) => sum + e.value, window.shifted)]);
  check(!still, 'the first screen\'s picture stays over the program');
  check(moved === 0, `the page moved as its first screen showed (layout shift ${moved})`);
}

// Every control at least 48 CSS px a side, and the canvas whole and clear of them.
async function roomy(site, viewports) {
  for (const viewport of viewports) {
    await site.resize(viewport);
    await waitUntil(`the canvas whole in ${viewport.width} x ${viewport.height}`,
                    async () => (await site.fitsWindow()) === true);
    const small = await site.page.$$eval('button, input, a#telecharger', (all) => all
        .map((b) => [b.textContent, b.getBoundingClientRect()])
        .filter(([, r]) => r.width > 0 && (r.width < 48 || r.height < 48)).map(([t]) => t));
    check(small.length === 0, `controls under 48 px at ${viewport.width} x ${viewport.height}: ${small}`);
    require('fs').mkdirSync(site.artifacts, {recursive: true});
    await site.page.screenshot({path: `${site.artifacts}/${site.name}-${viewport.width}.png`});
  }
}

function heroX(site) {
  return site.page.evaluate(() => {
    const c = Module.canvas, d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let sum = 0, n = 0;
    for (let k = 0; k < d.length; k += 4) {
      if (d[k] > 220 && d[k + 1] > 150 && d[k + 1] < 190 && d[k + 2] < 60) sum += (k / 4) % c.width, ++n;
    }
    return n > 50 ? sum / n : null;
  });
}

// A phone, by its page buttons alone: the instructions as text, one player,
// "Quitter" asking and play going on from where it stood, the end and its
// score said, the credits' "Quitter".
async function game_by_buttons(site) {
  Object.assign(site, {name: 'jeu', artifacts: process.env.GLOUTO_SHOTS || '/tmp'});
  await site.resize(PHONE);
  await site.open('jeu.html', watchShifts);
  await screenIs(site, ['1 joueur', '2 joueurs', "Mode d'emploi"]);
  await steady(site);
  await roomy(site, SIZES);
  // Two players on a sideways phone: the maze as large as one player's, and
  // the second pad saying whom it steers.
  await site.resize(PHONE_SIDEWAYS);
  const maze = () => site.page.evaluate(() => Module.canvas.getBoundingClientRect().height);
  const alone = await waitUntil('the canvas whole sideways', async () => (await site.fitsWindow()) === true && maze());
  await site.page.click('#deux-joueurs');
  await waitUntil('the second pad', () => site.page.$eval('#pad-2', (p) => p.offsetWidth > 0));
  // The page fits the canvas at the next frame.
  await site.page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  check(await site.fitsWindow() === true, `two players: ${await site.fitsWindow()}`);
  check((await maze()) >= alone, `two players' maze ${await maze()} px, one player's ${alone}`);
  check(await site.page.$eval('#pad-2', (p) => p.innerText.startsWith('Joueur 2 : le monstre')), 'pad 2 unnamed');
  await site.page.click('#deux-joueurs');
  await site.resize(PHONE);
  await site.touch("Mode d'emploi");
  await screenIs(site, ['Retour']);
  const help = await site.page.$eval('#aide',
      (a) => getComputedStyle(a).display !== 'none' && parseFloat(getComputedStyle(a).fontSize));
  check(help >= 16, `the instructions as text: ${help}`);
  await site.touch('Retour');
  await screenIs(site, ['1 joueur', '2 joueurs', "Mode d'emploi"]);
  await site.touch('1 joueur');
  await screenIs(site, ['Commencer']);
  await site.touch('Commencer');
  await waitUntil('play', async () => LEVEL.test(await site.title()));
  const start = await waitUntil('the hero on the field', () => heroX(site));
  await site.touch('Droite');
  await waitUntil('the hero running', async () => (await heroX(site)) > start + 15);
  await site.touch('Quitter');
  const question = await waitUntil('the question', () => asking(site));
  check(/Quitter la partie \? Oui, quitter Non, continuer/.test(question), question);
  await site.waitTitle('Glouto seconde generation ! Niveau 1 PAUSE');
  const stood = await heroX(site);
  await answer(site, 2);
  await waitUntil('play going on', async () => LEVEL.test(await site.title()));
  const first = await heroX(site);
  check(first >= stood, `the hero back at ${first} after the pause, ${stood} before`);
  await site.touch('Quitter');
  await waitUntil('the question', () => asking(site));
  await answer(site, 1);
  await screenIs(site, ['Recommencer', 'Quitter']);
  check(/^(Felicitation|Oh dommage).* Votre score : -?[0-9]+\.$/.test(await said(site)), `said: ${await said(site)}`);
  await site.touch('Quitter');
  await screenIs(site, ['Quitter']);
  check(await site.page.$eval('#actions button[data-demande]', (b) => b.offsetWidth === 0),
        'the Escape button shown on the credits');
  await site.touch('Quitter');
  await waitUntil('the game ended', () => site.page.$eval('#fin', (fin) => !fin.hidden));
}

// The keyboard alone: Tab to a button, Return presses it.
async function keyboard_only(site) {
  await site.open('jeu.html');
  const focused = () => site.page.evaluate(() => document.activeElement.ariaLabel);
  // Once the screen shows its buttons `words`, Tab to `label` and press Return.
  const pressOn = async (label, words) => {
    await screenIs(site, words);
    await waitUntil(`${label} reached by Tab`,
                    async () => (await focused()) === label || (await site.key('Tab'), false));
    await site.key('Enter');
  };
  const MENU = ['1 joueur', '2 joueurs', "Mode d'emploi"];
  await pressOn("Mode d'emploi", MENU);
  await pressOn('Retour', ['Retour']);
  await pressOn('1 joueur', MENU);
  await pressOn('Commencer', ['Commencer']);
  await waitUntil('play', async () => LEVEL.test(await site.title()));
  await site.key('t');
  await pressOn('Quitter', ['Recommencer', 'Quitter']);
  await site.waitTitle('Remerciements ...');
  await pressOn('Quitter', ['Quitter']);
  await waitUntil('the game ended', () => site.page.$eval('#fin', (fin) => !fin.hidden));
}

// Cells [x, y] of the 700-wide grid a finger crosses along a row.
const ROW = [100, 125, 150, 175, 200, 225, 250].map((x) => [x, 200]);

async function drag(site, cells) {
  const points = [];
  for (const [x, y] of cells) points.push(await site.onPage(x + 12, y + 12));
  const finger = await site.page.touchscreen.touchStart(...points[0]);
  for (const p of points.slice(1)) await site.page.touchscreen.touchMove(...p);
  await finger.end();
}

const saved = (site) => site.page.evaluate(() => Glouto.exists('/stockage/Niveau_.txt') &&
    FS.readFile('/stockage/Niveau_.txt', {encoding: 'utf8'}));
const playedLevel2 = async (site) => {
  await site.open('jeu.html?niveau=2');
  return waitUntil('the game\'s level 2', () => site.page.evaluate(() => window.Ecrans && Ecrans.screen === 'menu' &&
      FS.readFile('/Niveaux/Niveau_2.txt', {encoding: 'utf8'})));
};

// The editor on a phone: a width by its button, a dragged row of walls, the
// question before losing them, the save said, level 2 replaced after the
// question and put back.
async function editor_by_touch(site) {
  await site.resize(PHONE);
  const shipped = await playedLevel2(site);
  await site.open('editeur.html', watchShifts);
  const sizes = ['Niveau 1', 'Niveau 2', 'Niveau 3', 'Niveau 4', 'Plus que 4'];
  await screenIs(site, sizes);
  await steady(site);
  Object.assign(site, {name: 'editeur', artifacts: process.env.GLOUTO_SHOTS || '/tmp'});
  await roomy(site, SIZES);  // a new touch or mobile setting loads the page again
  await screenIs(site, sizes);
  await site.touch('Niveau 2');
  await waitUntil('the 700-wide grid',
                  () => site.page.evaluate(() => Module.canvas.width === 700 && Ecrans.screen === 'grille'));
  await site.waitShare('the grid\'s lines', [0, 0, 700, 600], 'return r > 150 && r < 250', 0.03);
  site.name = 'grille';
  await roomy(site, [PHONE]);
  await site.page.click('#agrandir');
  const cell = await site.page.evaluate(() => Module.canvas.getBoundingClientRect().width / Module.canvas.width * 25);
  check(cell >= 24, `an enlarged cell is ${cell} px`);
  await drag(site, ROW);
  await drag(site, ROW.slice(4).reverse());  // from a wall: removes
  const kept = ROW.slice(0, 4);
  await site.touch('Quitter');
  check(/Oui, quitter Non, continuer/.test(await waitUntil('the question', () => asking(site))), 'no question');
  await answer(site, 2);
  await site.touch('Enregistrer');
  await shows(site, '#enregistre', /^Niveau enregistré\.$/);
  const walls = kept.map(([x, y]) => `${x}\t${y}`).join('\n');
  check((await saved(site)) === `${kept.length}\n${walls}\n`, `saved ${JSON.stringify(await saved(site))}`);

  await site.page.$eval('#numero', (n) => { n.value = '2'; });
  await site.page.click('#mettre');
  check(/remplacera le niveau 2 /.test(await waitUntil('the question', () => asking(site))), 'no question');
  await answer(site, 1);
  await shows(site, '#message', /Le niveau 2 est en jeu/);
  check((await playedLevel2(site)) === await saved(site), 'the game does not play the level put into play');
  await site.open('editeur.html');
  await site.page.$eval('#numero', (n) => { n.value = '2'; });
  await waitUntil('the storage', () => site.page.evaluate(() => window.FS && FS.readdir('/').includes('stockage')));
  await site.page.click('#retablir');
  await shows(site, '#message', /d'origine est de retour/);
  check((await playedLevel2(site)) === shipped, 'the shipped level 2 is not back');

  // Shared: through the share sheet, or as a link that wraps; the game says
  // it from the start, and the editor opens it on its 700-wide grid.
  await site.open('editeur.html');
  await waitUntil('the saved level', () => site.page.$eval('#telecharger', (a) => !a.hidden));
  await site.page.evaluate(() => {
    document.getElementById('numero').value = '2';
    navigator.share = (data) => { window.shared = data; return Promise.resolve(); };
  });
  await site.page.click('#partager');
  const link = await waitUntil('the share sheet', () => site.page.evaluate(() => window.shared && window.shared.url));
  await site.page.evaluate(() => { navigator.share = undefined; });
  await site.page.click('#partager');
  await waitUntil('the link on the page', () => site.page.$eval('#message a', (a) => a.href));
  check(await site.page.$eval('#message', (m) => m.scrollWidth <= m.clientWidth), 'the link runs off the page');
  await site.open(link.slice(site.base.length + 1));
  await shows(site, '#partage', /^Niveau partagé \(niveau 2\) · Ouvrir dans l'éditeur$/);
  await site.page.click('#partage a');
  await waitUntil('the shared walls on the 700-wide grid', () => site.page.evaluate(
      () => window.Grille && Ecrans.screen === 'grille' && Module.canvas.width === 700 && Grille.walls.size === 4));
  // "Tout effacer", once answered, empties the grid as Backspace does.
  await site.touch('Tout effacer');
  await waitUntil('the question', () => asking(site));
  await answer(site, 1);
  await site.touch('Enregistrer');
  await shows(site, '#enregistre', /^Grille vide/);
}

module.exports = {'page.game_by_buttons': game_by_buttons, 'page.keyboard_only': keyboard_only,
                  'page.editor_by_touch': editor_by_touch};
