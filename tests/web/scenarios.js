// Reads tests/scenarios/*.txt, the scenario language the desktop's
// tests/e2e/run_scenario.py reads too, and plays it on the site. A line is a
// step; "desktop:" or "web:" keeps it to one harness; "def NAME" ... "end"
// names steps for "run NAME"; "case WHERE HOW THEN" plays a row of a table
// in a page of its own. Boxes come from geometry.txt by name, or "x y": the
// 25-pixel cell at that corner. Steps both read:
//   open game|editor  caption TEXT...  size W H  see BOX LOOK  click|point|press|release BOX
//   key NAME  exits  opened ADDRESS  mark  changed BOX  still  music on|off|next  file NAME BYTES
// Steps of the browser alone:
//   open PAGE  pads  viewport NAME  fits  touch LABEL [MS]  pad N BUTTON  until|check|do EXPRESSION
//   offline  reload  hide  show  heads left|right  friend EXPRESSION  back  upload FILE BYTES
'use strict';

const fs = require('fs');
const path = require('path');
const {Site, check, sleep, waitUntil, grey, dark, blue, white, DESKTOP, PHONE, PHONE_SIDEWAYS} = require('./harness.js');

const FOLDER = path.join(__dirname, '..', 'scenarios');
const LOOKS = {idle: [grey(150), 0.5], lit: [grey(150), -0.02], dark: [dark, 0.02], wall: [blue, 0.3],
               nowall: [blue, -0], clear: [white, 0.9], sprite: [white, -0.8], black: ['return r + g + b < 120', 0.95]};
const KEYS = {Return: 'Enter', space: ' ', Up: 'ArrowUp', Down: 'ArrowDown', Left: 'ArrowLeft',
              Right: 'ArrowRight', Control_L: 'ControlLeft', Shift_R: 'ShiftRight'};
const VIEWPORTS = {desktop: DESKTOP, phone: PHONE, sideways: PHONE_SIDEWAYS, tablet: {...PHONE, width: 1024, height: 768}};
const ENDINGS = ['WELCOME', 'WON', 'LOST', 'CREDITS'];  // what a program leaving at once never shows
const BUTTONS = {A: 0, X: 2, BACK: 8, START: 9, LEFT: 14};

function read(name) {
  return fs.readFileSync(path.join(FOLDER, name), 'latin1').split('\n').flatMap((line, k) => {
    const words = [...line.matchAll(/"((?:[^"\\]|\\.)*)"|(\S+)/g)].map(([, quoted, bare]) => quoted === undefined ? bare :
      quoted.replace(/\\(x[0-9a-fA-F]{2}|.)/g, (_, e) => e[0] === 'x' ? String.fromCharCode(parseInt(e.slice(1), 16)) :
                     {n: '\n', t: '\t'}[e] || e));
    return words.length && !words[0].startsWith('#') && words[0] !== 'desktop:' ?
      [{place: `${name}:${k + 1}`, words: words[0] === 'web:' ? words.slice(1) : words}] : [];
  });
}

// Records the tabs the program opens instead of opening them.
function recordOpened() {
  window.opened = [];
  window.open = (url) => window.opened.push(url) && null;
}

// Two pads as the Gamepad API shows them, in the standard layout; each read
// gets a copy, as a browser's snapshot.
function stubPads() {
  window.pads = [0, 1].map((index) => ({id: `pad ${index}`, index, mapping: 'standard', timestamp: 0,
                                        axes: [0, 0, 0, 0], buttons: Array(17).fill({pressed: false})}));
  window.padReads = 0;
  navigator.getGamepads = () => ++window.padReads &&
      window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}));
}

// Centre along x of the hero's orange, which no chest, wall or enemy has.
function heroX() {
  const c = Module.canvas, d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let sum = 0, n = 0;
  for (let k = 0; k < d.length; k += 4) {
    if (d[k] > 220 && d[k + 1] > 150 && d[k + 1] < 190 && d[k + 2] < 60) sum += (k / 4) % c.width, ++n;
  }
  return n > 50 ? sum / n : null;
}

// Whether [x, y, w, h] of the canvas differs from what "mark" kept.
function differs([x, y, w, h]) {
  const now = Module.canvas.getContext('2d').getImageData(0, 0, Module.canvas.width, Module.canvas.height).data;
  for (let row = y; row < y + h; ++row) {
    for (let k = (row * Module.canvas.width + x) * 4; k < (row * Module.canvas.width + x + w) * 4; ++k) {
      if (now[k] !== window.marked[k]) return true;
    }
  }
  return false;
}

class Player {
  constructor(site) {
    this.site = site;
    this.defs = {};
    [this.boxes, this.texts] = [{}, {}];
    for (const {words: [kind, name, ...rest]} of read('geometry.txt')) {
      if (kind === 'box') this.boxes[name] = rest; else this.texts[name] = rest[0];
    }
  }

  async play(lines) {
    for (let k = 0; k < lines.length; ++k) {
      this.place = lines[k].place;
      const [command, ...words] = lines[k].words;
      if (command !== 'def') {
        await this.step(command, words);
        continue;
      }
      const end = lines.findIndex((line, j) => j > k && line.words[0] === 'end');
      this.defs[words[0]] = lines.slice(k + 1, end);
      k = end;
    }
  }

  async box(words) {
    if (!this.boxes[words[0]]) return [+words[0], +words[1], 25, 25];
    const width = (await this.site.canvasSize())[0];
    return this.boxes[words[0]].map((v) => v.startsWith('c') ? width / 2 + +v.slice(1) : +v);
  }

  async middle(words) {
    const [x, y, w, h] = await this.box(words);
    return [x + Math.floor(w / 2), y + Math.floor(h / 2)];
  }

  page(body, ...args) {
    return this.site.page.evaluate(body, ...args);
  }

  async step(command, words) {
    const site = this.site;
    const text = (word) => this.texts[word] ?? word;
    const expression = (body) => this.page(`(async () => (${body}))()`);
    switch (command) {
      case 'open': {
        const page = {game: 'jeu.html', editor: 'editeur.html'}[words[0]] || words[0];
        this.opened = 0;
        const pads = this.pads;
        return site.open(page, pads ? `(${recordOpened})(); (${stubPads})()` : `(${recordOpened})()`);
      }
      case 'pads': this.pads = true; return;
      case 'run': return this.play(this.defs[words[0]]);
      case 'case':
        this.case = ` (case ${words.join(' ')})`;
        if (words[1] === 'close') return console.log(`case ${words.join(' ')}: a page has no window to close`);
        await site.page?.close();
        site.page = null;
        await this.play(this.defs[words[0]]);
        await this.step('key', [words[1]]);
        return this.play(this.defs[words[2]]);
      case 'caption': {
        const wanted = words.map(text);
        return waitUntil(`the caption ${wanted}`, async () => wanted.includes(await site.title()));
      }
      case 'size':
        return waitUntil(`a ${words[0]} x ${words[1]} canvas`, async () => `${await site.canvasSize()}` === words.join(','));
      case 'see': {
        const [test, least] = LOOKS[words[words.length - 1]];
        const box = await this.box(words);
        return waitUntil(`${words.join(' ')} ${box}`, async () => {
          const share = await site.share(box, test);
          return Object.is(least, -0) || least < 0 ? share <= -least : share >= least;
        });
      }
      case 'click': return site.click(...await this.middle(words));
      case 'point': return site.page.mouse.move(...await site.onPage(...await this.middle(words)));
      case 'press': case 'release':
        await site.page.mouse.move(...await site.onPage(...await this.middle(words)));
        return command === 'press' ? site.page.mouse.down() : site.page.mouse.up();
      case 'key': return site.key(KEYS[words[0]] || words[0]);
      case 'close': throw new Error('a page has no window to close');
      case 'exits': {
        const first = await site.title(), shown = new Set();
        await waitUntil('the page saying the program ended', async () => shown.add(await site.title()) &&
                        this.page(() => !document.getElementById('fin').hidden));
        const endings = ENDINGS.map(text).filter((t) => t !== first && shown.has(t));
        return check(endings.length === 0, `it showed ${endings} on its way out`);
      }
      case 'opened': {
        const n = ++this.opened;
        // A page of the site must be there to open.
        return waitUntil(`${words[0]} opened`, () => this.page((k, url) => window.opened[k - 1] === url &&
                         (/:\/\//.test(url) || fetch(url).then((r) => r.ok)), n, words[0]));
      }
      case 'mark': return this.page(() => {
        window.marked = Module.canvas.getContext('2d').getImageData(0, 0, Module.canvas.width, Module.canvas.height).data;
      });
      case 'changed': {
        const box = await this.box(words);
        return waitUntil(`${words} changed`, () => this.page(differs, box));
      }
      case 'still':  // a negative check: it watches one second, four of the game's ticks
        await sleep(1000);
        return check(!await this.page(differs, [0, 0, ...await site.canvasSize()]), 'the canvas changed');
      case 'music': {
        const source = () => this.page(() => {
          const audio = SDL.music && SDL.music.audio;
          return audio && !audio.paused && audio.currentTime > 0 ? audio.src : '';
        });
        const before = this.music;
        await waitUntil(`the music ${words[0]}`, async () => (words[0] === 'off') === !(this.music = await source()) &&
                        (words[0] !== 'next' || this.music !== before));
        return;
      }
      case 'file': return waitUntil(`the level saved as ${JSON.stringify(words[1])}`, () => this.page(
          (bytes) => { const a = document.getElementById('telecharger'); return !a.hidden && fetch(a.href).then((r) => r.text()).then((t) => t === bytes); },
          words[1]));
      case 'viewport': return site.resize(VIEWPORTS[words[0]]);
      case 'fits': {
        let why;
        return waitUntil('the canvas whole in the window', async () => (why = await site.fitsWindow()) === true)
          .catch((e) => { throw new Error(`${e.message}: ${why}`); });
      }
      case 'touch': return site.touch(words[0], +(words[1] || 100));
      case 'pad': return this.pad(+words[0], BUTTONS[words[1]]);
      case 'until': return waitUntil(words[0], () => expression(words[0]).catch(() => false));  // a page on its way
      case 'check': return check(await expression(words[0]), words[0]);
      case 'do': return expression(words[0]);
      case 'offline': site.network.down = true; return;
      case 'reload': return site.page.reload();
      case 'hide':
        this.other = await site.browser.newPage();
        return waitUntil('the game\'s tab hidden', () => this.page(() => document.hidden));
      case 'show': await this.other.close(); return site.page.bringToFront();
      case 'heads': {
        const from = await waitUntil('the hero on the field', () => this.page(heroX));
        const sign = words[0] === 'left' ? -1 : 1;
        return waitUntil(`the hero heading ${words[0]}`, async () => sign * ((await this.page(heroX)) - from) > 10);
      }
      case 'friend': {  // the address the page gives, opened in another browser profile
        const address = await expression(words[0]);
        this.first = site;
        this.site = new Site(await site.browser.createBrowserContext(), site.base, site.network);
        this.opened = 0;
        return this.site.open(address.slice(site.base.length + 1), `(${recordOpened})()`);
      }
      case 'back': await site.browser.close(); this.site = this.first; return;
      case 'upload': {
        const file = path.join(require('os').tmpdir(), words[0]);
        fs.writeFileSync(file, words[1], 'latin1');
        return (await site.page.$('#charger')).uploadFile(file);
      }
      default: throw new Error(`no such step ${command}`);
    }
  }

  // Held until the browser's SDL has read the press, then the release (or
  // the program ended on the press): a loop slowed by a busy machine still
  // sees both. A browser tells of a pad at a press it sees.
  async pad(index, button) {
    for (const down of [true, false]) {
      await this.page((p, b, d) => { window.pads[p].buttons[b] = {pressed: d}; }, index, button, down);
      await waitUntil(`pad ${index}'s button ${button} read ${down ? 'down' : 'up'}`, () => this.page((p, b, d) => {
        if (d) window.dispatchEvent(new Event('gamepadconnected'));
        return SDL.lastJoystickState[p + 1]?.buttons[b] === d || (!d && !document.getElementById('fin').hidden);
      }, index, button, down));
    }
  }
}

// Plays tests/scenarios/NAME.txt, after the steps every scenario shares.
async function play(site, name) {
  const player = new Player(site);
  try {
    await player.play(read('steps.txt'));
    await player.play(read(`${name}.txt`));
  } catch (error) {
    error.message = `${player.place}${player.case || ''}: ${error.message}`;
    throw error;
  }
}

module.exports = {play, exists: (name) => fs.existsSync(path.join(FOLDER, `${name}.txt`))};
