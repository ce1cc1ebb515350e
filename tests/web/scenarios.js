// The site's game and editor, played in headless Chromium through harness.js.
'use strict';

const {Site, check, sleep, waitUntil, grey, dark, blue, white, DESKTOP, PHONE, PHONE_SIDEWAYS} =
    require('./harness.js');

const WELCOME = 'Bienvenue dans le monde du Glouto !';
const WON = 'Felicitation !!! :)';
const LOST = 'Oh dommage ... :(';
const CREDITS = 'Remerciements ...';
const EDITOR = 'Editeur de Niveaux : Creez vos niveaux !';
const level = (n) => `Glouto seconde generation ! Niveau ${n}`;

// Boxes [x, y, w, h] of the 600 x 600 menu, the level-start screen and the editor.
const ONE_PLAYER = [255, 275, 90, 40];
const INSTRUCTIONS = [217, 100, 165, 40];
const BACK = [260, 550, 80, 40];
const README_PICTURE = [191, 450, 218, 73];
const startPlate = (width) => [width / 2 - 63, 360, 125, 40];
const QUIT = [304, 100, 93, 40];  // on the credits of a 700-wide game
const FIRST_WIDTH = [150, 100, 100, 40];  // the editor's "Niveau 1" (600 wide)
const IDLE = grey(150);
const middle = ([x, y, w, h]) => [x + Math.floor(w / 2), y + Math.floor(h / 2)];

async function canvasIs(site, width, height) {
  await waitUntil(`a ${width} x ${height} canvas`, async () => {
    const [w, h] = await site.canvasSize();
    return w === width && h === height;
  });
}

async function beginLevel(site, n, width) {
  await site.waitShare(`the level-start screen of level ${n}`, startPlate(width), IDLE);
  await site.key('Enter');
  await site.waitTitle(level(n));
  await canvasIs(site, width, 600);
  await site.waitShare('the first frame, with "Restant" at the top left', [0, 0, 150, 35], dark, 0.02);
}

// The source of the music playing now.
function playing(site, what) {
  return waitUntil(`${what} playing`, () => site.page.evaluate(() => {
    const audio = SDL.music.audio;
    return audio && !audio.paused && audio.currentTime > 0 && audio.src;
  }));
}

// Centre along x of the hero's orange, which no chest, wall or enemy has.
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

// How often the program wakes (the page's timers), and whether it looks for pads.
function spy() {
  const [setTimeout, add, remove] = [window.setTimeout, window.addEventListener, window.removeEventListener];
  [window.wakes, window.padWatch] = [0, 0];
  window.setTimeout = (...args) => ++window.wakes && setTimeout(...args);
  const pads = (type, change) => { if (type === 'gamepadconnected') window.padWatch += change; };
  window.addEventListener = (type, ...rest) => pads(type, 1) || add.call(window, type, ...rest);
  window.removeEventListener = (type, ...rest) => pads(type, -1) || remove.call(window, type, ...rest);
}
const lookingForPads = (site) => site.page.evaluate(() => window.padWatch > 0);
async function wakesPerSecond(site) {
  const before = await site.page.evaluate(() => window.wakes);
  await sleep(1000);
  return (await site.page.evaluate(() => window.wakes)) - before;
}

async function fits(site, viewport) {
  await site.resize(viewport);
  const why = () => site.fitsWindow();
  await waitUntil(`the canvas whole in ${viewport.width} x ${viewport.height}`, async () => (await why()) === true)
    .catch(async (e) => { throw new Error(`${e.message}: ${await why()}`); });
}

async function ended(site) {
  await waitUntil('the page saying the program ended',
                  () => site.page.$eval('#fin', (fin) => !fin.hidden));
}

// Menu, instructions and the manual's tab, a level, pause, the next level
// on a wider canvas, the end page, the credits and their "Quitter".
async function whole_game(site) {
  const started = await site.open('jeu.html', spy);
  await site.waitTitle(WELCOME);
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  console.log(`menu shown ${Date.now() - started} ms after the page started loading`);
  // A pass every 30 ms, the same frame each time: a wake every other pass.
  const menuWakes = await wakesPerSecond(site);
  check(menuWakes <= 25, `the menu woke ${menuWakes} times a second`);
  await fits(site, DESKTOP);

  await site.click(...middle(INSTRUCTIONS));
  await site.waitShare('the instructions page with its "Retour" plate', BACK, IDLE);
  const tab = site.browser.waitForTarget((t) => t.url().endsWith('/Readme.html'), {timeout: 10000});
  await site.click(...middle(README_PICTURE));
  const manual = await (await tab).page();
  await waitUntil('the manual in its tab', async () => (await manual.title()) !== '');
  check(/Glouto/.test(await manual.title()), `the new tab is ${await manual.title()}`);
  await site.page.bringToFront();
  await site.click(...middle(BACK));
  await site.waitShare('the menu again', ONE_PLAYER, IDLE);

  await site.click(...middle(ONE_PLAYER));
  await playing(site, 'the level-start screen\'s music');
  await beginLevel(site, 1, 600);
  // Some 28 frames a second and the clocks: one wake a frame, not one a wait.
  const playWakes = await wakesPerSecond(site);
  check(playWakes <= 45, `level 1 woke ${playWakes} times a second`);
  check(!await lookingForPads(site), 'play looks for pads, which costs the browser a poll 60 times a second');
  await site.key(' ');  // Space: play begins with the music off
  const first = await playing(site, 'the first track');
  await site.key('F1');
  await waitUntil('F1 playing the next track', async () => (await playing(site, 'a track')) !== first);
  await site.key('ArrowRight');
  await site.key('p');
  await site.waitTitle(level(1) + ' PAUSE');
  const before = await site.page.screenshot();
  await sleep(500);
  check(Buffer.compare(before, await site.page.screenshot()) === 0, 'the field moved during the pause');
  await site.key('p');
  await site.waitTitle(level(1));

  await site.key('g');  // the level is won at once
  await site.waitTitle(WELCOME);
  await beginLevel(site, 2, 700);

  await site.key('t');  // the clock runs out on the last life
  // Won or lost by the chests eaten on the way.
  await waitUntil('an end page', async () => [WON, LOST].includes(await site.title()));
  await site.key('Escape');  // no next game after the credits
  await site.waitTitle(CREDITS);
  await site.waitShare('the credits\' "Quitter" plate', QUIT, IDLE);
  await site.click(...middle(QUIT));
  await ended(site);
  check(/terminée/.test(await site.title()), `the title says ${await site.title()} once the game ended`);
  check(await site.share([0, 0, 700, 600], 'return r + g + b > 0') === 0, 'the last frame stayed on the canvas');
}

// On a phone, once visited, with the network gone: the canvas whole at every
// turn of the window, and a game started and its hero moved by touch alone.
async function by_touch(site) {
  await site.resize(PHONE);
  await site.open('jeu.html');
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await waitUntil('the site kept for offline play', () => site.page.evaluate(
    () => navigator.serviceWorker.getRegistration().then((r) => Boolean(r && r.active))));
  site.network.down = true;
  await site.page.reload();
  await site.waitShare('the menu with no network', ONE_PLAYER, IDLE);

  await site.click(...middle(ONE_PLAYER));
  await site.waitShare('the level-start screen', startPlate(600), IDLE);
  await site.touch('Entrée');
  await site.waitTitle(level(1));
  const start = await waitUntil('the hero on the field', () => heroX(site));
  await site.touch('Gauche', 600);
  await waitUntil('the hero moved to the left by the pad', async () => (await heroX(site)) < start - 20);
  // Behind another tab the game waits, and goes on once shown again.
  await site.touch('Droite');
  const moving = await heroX(site);
  await waitUntil('the hero running to the right', async () => (await heroX(site)) > moving + 10);
  const other = await site.browser.newPage();
  await waitUntil('the game\'s tab hidden', () => site.page.evaluate(() => document.hidden));
  const hidden = await heroX(site);
  await sleep(1000);
  check(await heroX(site) === hidden, 'the game ran on in a hidden tab');
  await other.close();
  await site.page.bringToFront();
  await waitUntil('the game going on once shown', async () => (await heroX(site)) > hidden + 10);
  // Two players on a tablet held sideways: a pad on either side of the maze.
  await site.page.click('#deux-joueurs');
  await fits(site, {...PHONE, width: 1024, height: 768});
  const [one, two, maze] = await site.page.evaluate(() => ['#pads', '#pad-2', '#canvas'].map(
      (id) => document.querySelector(id).getBoundingClientRect().toJSON()));
  check(one.right <= maze.left && two.left >= maze.right, `pads ${one.left}, ${two.left}; maze ${maze.left} to ${maze.right}`);
  // Last: a page that stops being a touch screen takes no more taps.
  for (const viewport of [PHONE_SIDEWAYS, DESKTOP, PHONE]) await fits(site, viewport);
}

// Two pads as the Gamepad API shows them, in the standard layout; the test
// sets window.pads, and each read gets a copy, as a browser's snapshot.
function stubPads() {
  window.pads = [0, 1].map((index) => ({id: `pad ${index}`, index, mapping: 'standard', timestamp: 0,
                                        axes: [0, 0, 0, 0], buttons: Array(17).fill({pressed: false})}));
  window.padReads = 0;
  navigator.getGamepads = () => ++window.padReads &&
      window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}));
}
const [A, X, BACK_BUTTON, START, LEFT] = [0, 2, 8, 9, 14];

// Held until the browser's SDL has read the press, then until it has read the
// release (or the program ended on the press): a loop slowed by a busy
// machine still sees both. A browser tells of a pad at a press it sees.
async function tap(site, pad, button) {
  for (const down of [true, false]) {
    await site.page.evaluate((p, b, d) => { window.pads[p].buttons[b] = {pressed: d}; }, pad, button, down);
    await waitUntil(`pad ${pad}'s button ${button} read ${down ? 'down' : 'up'}`, () => site.page.evaluate(
        (p, b, d) => {
          if (d) window.dispatchEvent(new Event('gamepadconnected'));  // to a page looking for pads
          return SDL.lastJoystickState[p + 1]?.buttons[b] === d || (!d && !document.getElementById('fin').hidden);
        }, pad, button, down));
  }
}

// Two pads through every screen; only the clock's run-out is a key, to spare its wait.
async function two_pads(site) {
  await site.open('jeu.html', stubPads);
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  // Asking for pads sets the browser polling them: not before one shows itself.
  check(await site.page.evaluate(() => window.padReads) === 0, 'the pads were read before any was seen');
  await tap(site, 0, X);  // "2 joueurs"
  await site.waitShare('the level-start screen', startPlate(600), IDLE);
  await tap(site, 1, A);
  await site.waitTitle(level(1));
  await site.waitShare('the first frame, with "Restant" at the top left', [0, 0, 150, 35], dark, 0.02);
  const hero = [301, 301, 50, 50], enemy = [26, 26, 50, 50];
  // Sprites with white around them: a place left is white through.
  check(await site.share(hero, white) < 0.8 && await site.share(enemy, white) < 0.8,
        'the hero and the first enemy are not at their start');
  await tap(site, 0, LEFT);
  await site.waitShare('the hero gone left, steered by the first pad', hero, white, 0.97);
  await site.page.evaluate(() => { window.pads[1].axes[0] = 1; });  // second pad's stick, right
  await site.waitShare('the enemy gone right, steered by the second pad', enemy, white, 0.97);
  await tap(site, 1, START);
  await site.waitTitle(level(1) + ' PAUSE');
  await tap(site, 0, START);
  await site.waitTitle(level(1));
  await site.key('t');
  await waitUntil('an end page', async () => [WON, LOST].includes(await site.title()));
  await tap(site, 0, BACK_BUTTON);
  await site.waitTitle(CREDITS);
  await tap(site, 1, A);
  await ended(site);
}

async function savedLink(site) {
  return site.page.$eval('#telecharger', async (a) => !a.hidden && (await fetch(a.href)).text());
}

async function message(site, expected) {
  return waitUntil(`a message saying ${expected}`, async () => {
    const said = await site.page.$eval('#message', (m) => m.textContent);
    return expected.test(said) && said;
  });
}

// A level drawn and saved by touch in the editor on a phone: its bytes offered for download,
// kept after a reload, refused or put into play, and played by the game.
async function level_into_play(site) {
  await site.resize(PHONE);
  await site.open('editeur.html');
  await site.waitTitle(EDITOR);
  await site.waitShare('the editor\'s width plates', FIRST_WIDTH, IDLE);
  await site.click(...middle(FIRST_WIDTH));
  await canvasIs(site, 600, 600);
  await site.waitShare('the grid\'s lines', [0, 0, 600, 600], 'return r > 150 && r < 250', 0.03);
  await site.click(262, 337);
  await sleep(300);
  await site.touch('Enregistrer');  // saves, and starts a new level
  const saved = await waitUntil('the saved level offered for download', () => savedLink(site));
  const [count, wall, ...rest] = saved.trim().split('\n');
  check(count === '1' && /^\d+\t\d+$/.test(wall) && rest.length === 0, `saved ${JSON.stringify(saved)}`);
  const [x, y] = wall.split('\t').map(Number);

  // Shared: its link, opened in another browser profile, plays the walls
  // drawn, and ends on a way back to the editor with the same level.
  await site.page.click('#partager');
  const link = await waitUntil('the share link', () => site.page.$eval('#message', (m) => m.querySelector('a')?.href));
  check(/\/jeu\.html#[A-Za-z0-9_-]{1,99}$/.test(link), `the link ${link}`);
  const friend = new Site(await site.browser.createBrowserContext(), site.base, site.network);
  await friend.open(link.slice(site.base.length + 1));
  await friend.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await friend.click(...middle(ONE_PLAYER));
  await beginLevel(friend, 1, 600);
  check(await friend.share([x, y, 25, 25], blue) > 0.3, `no wall drawn at (${x}, ${y}) from the link`);
  check(await friend.share([0, 175, 25, 25], blue) === 0, 'the shipped level 1 is still played');
  await friend.key('Escape');
  await ended(friend);
  const edit = await friend.page.$eval('#ouvrir-editeur', (a) => !a.parentNode.hidden && a.href);
  check(edit && edit.endsWith(new URL(link).hash), `"Ouvrir dans l'éditeur" leads to ${edit}`);
  await friend.page.goto(edit);
  await friend.waitShare('the editor\'s width plates', FIRST_WIDTH, IDLE);
  await friend.click(...middle(FIRST_WIDTH));
  await friend.waitShare(`the shared wall at (${x}, ${y}) in the editor`, [x + 2, y + 2, 21, 21], blue, 0.3);
  await friend.browser.close();

  await site.page.reload();
  await site.waitTitle(EDITOR);
  check((await waitUntil('the saved level after a reload', () => savedLink(site))) === saved,
        'the saved level changed across a reload');

  // The number typed with the grid open: its keys are the field's, not the editor's.
  await site.click(...middle(FIRST_WIDTH));
  await canvasIs(site, 600, 600);
  const typeNumber = async (keys) => {
    await site.page.$eval('#numero', (n) => { n.value = ''; n.focus(); });
    for (const key of keys) await site.key(key);
  };
  await typeNumber(['0', 'Enter']);
  await message(site, /de 1 à 99/);
  await typeNumber(['2', 'Escape']);
  await site.page.click('#mettre');
  await message(site, /Le niveau 2 est en jeu/);
  await typeNumber(['3', 'Enter']);
  await message(site, /Le niveau 3 est en jeu/);
  await sleep(300);
  check(await site.page.$eval('#fin', (fin) => fin.hidden), 'Escape in the level\'s number closed the editor');
  check(await savedLink(site) === saved, 'Return in the level\'s number saved the grid');

  // Played at once from its level, as the page's link offers.
  await site.open('jeu.html?niveau=2');
  await site.waitShare('the player-count menu', ONE_PLAYER, IDLE);
  await site.click(...middle(ONE_PLAYER));
  await beginLevel(site, 2, 700);
  check(await site.share([x, y, 25, 25], blue) > 0.3, `no wall drawn at (${x}, ${y})`);
  check(await site.share([0, 175, 25, 25], blue) === 0, 'the shipped level 2 is still played');

  // A level whose wall is off the grid is refused, and says why.
  await site.open('editeur.html');
  const file = '/tmp/glouto-web-refused.txt';
  require('fs').writeFileSync(file, '1\n13\t13\n');
  await (await site.page.$('#charger')).uploadFile(file);
  await waitUntil('the editor opened on the file', async () => /ouvrir/.test(site.page.url()));
  await site.waitTitle(EDITOR);
  await site.page.click('#mettre');
  await message(site, /^Niveau refusé\. Le mur \(13, 13\)/);
}

module.exports = {'game.whole_game': whole_game, 'game.by_touch': by_touch, 'game.two_pads': two_pads,
                  'editor.level_into_play': level_into_play};
