// Reads tests/scenarios/*.txt, the language tests/e2e/run_scenario.py reads
// on the desktop, and plays it on the site. A line holds steps split by " ; ";
// a line that begins "desktop:" or "web:" is one harness's alone; "def NAME"
// to "end" names steps for "run NAME"; "case WHERE HOW THEN" plays a row of a
// table afresh. BOX is a name of geometry.txt, or "x y": the 25-pixel cell
// at that corner. LOOK is one of LOOKS. Steps both harnesses take:
//   open game|editor [ARGS]   caption TEXT...   size W H   see BOX... LOOK
//   click|point BOX   key NAME   close   exits   opened ADDRESS
//   mark   changed BOX   still   music on|off|next   file NAME BYTES
// The desktop's alone: level NAME BYTES, only NAME..., motion AXIS, launch LAUNCHER ARGS.
// The browser's alone: open PAGE, pads, viewport NAME, fits, touch LABEL [MS],
//   pad N BUTTON, until|check|do EXPRESSION, offline, reload, hide, show,
//   heads left|right, friend EXPRESSION, back, upload FILE BYTES.
'use strict';

const fs = require('fs');
const path = require('path');
const {Site, check, sleep, waitUntil, grey, dark, blue, white, DESKTOP, PHONE, PHONE_SIDEWAYS} = require('./harness.js');

const FOLDER = path.join(__dirname, '..', 'scenarios');
// Share of a box's pixels that pass, at least (or at most when negative).
const LOOKS = {idle: [grey(150), 0.5], lit: [grey(150), -0.02], dark: [dark, 0.02], wall: [blue, 0.3], nowall: [blue, -0],
               clear: [white, 0.9], sprite: [white, -0.8], black: ['return r + g + b < 120', 0.95]};
const KEYS = {Return: 'Enter', space: ' ', Up: 'ArrowUp', Control_L: 'ControlLeft'};
const VIEWPORTS = {desktop: DESKTOP, phone: PHONE, sideways: PHONE_SIDEWAYS, tablet: {...PHONE, width: 1024, height: 768}};
const ENDINGS = ['WELCOME', 'WON', 'LOST', 'CREDITS'];  // what a program leaving at once never shows
const BUTTONS = {A: 0, X: 2, BACK: 8, START: 9, LEFT: 14};
const unescape = (text) => text.replace(/\\(x..|.)/g, (_, e) => e[0] === 'x' ? String.fromCharCode(parseInt(e.slice(1), 16)) :
                                        {n: '\n', t: '\t'}[e] || e);

function read(name) {
  return fs.readFileSync(path.join(FOLDER, name), 'latin1').split('\n').flatMap((line, k) => {
    let words = [...line.matchAll(/"((?:[^"\\]|\\.)*)"|(\S+)/g)].map(([, quoted, bare]) => bare ?? unescape(quoted));
    if (!words.length || words[0].startsWith('#') || words[0] === 'desktop:') return [];
    const steps = [];
    for (words = words[0] === 'web:' ? words.slice(1) : words; words.length; words = words.slice(steps.at(-1).words.length + 1)) {
      steps.push({place: `${name}:${k + 1}`, words: words.includes(';') ? words.slice(0, words.indexOf(';')) : words});
    }
    return steps;
  });
}

// Run in the page before its scripts: the tabs the program opens recorded
// instead; with pads, two pads as the Gamepad API shows them, in the
// standard layout, each read a copy, as a browser's snapshot.
// The page's listeners for pads counted: listening costs a poll 60 times a second.
function prepare(pads) {
  [window.opened, window.padWatch, window.open] = [[], 0, (url) => window.opened.push(url) && null];
  const counted = (original, change) => function(type, ...rest) {
    window.padWatch += type === 'gamepadconnected' ? change : 0;
    return original.call(this, type, ...rest);
  };
  [window.addEventListener, window.removeEventListener] = [counted(window.addEventListener, 1), counted(window.removeEventListener, -1)];
  if (!pads) return;
  window.pads = [0, 1].map((index) => ({id: `pad ${index}`, index, mapping: 'standard', timestamp: 0,
                                        axes: [0, 0, 0, 0], buttons: Array(17).fill({pressed: false})}));
  window.padReads = 0;
  navigator.getGamepads = () => ++window.padReads && window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}));
}

// Centre along x of the hero's orange, which no chest, wall or enemy has.
function heroX() {
  const c = Module.canvas, d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let sum = 0, n = 0;
  for (let k = 0; k < d.length; k += 4) if (d[k] > 220 && d[k + 1] > 150 && d[k + 1] < 190 && d[k + 2] < 60) sum += (k / 4) % c.width, ++n;
  return n > 50 ? sum / n : null;
}

// Whether [x, y, w, h] of the canvas differs from what "mark" kept.
function differs([x, y, w, h]) {
  const width = Module.canvas.width, now = Module.canvas.getContext('2d').getImageData(0, 0, width, Module.canvas.height).data;
  for (let row = y; row < y + h; ++row) {
    for (let k = (row * width + x) * 4; k < (row * width + x + w) * 4; ++k) if (now[k] !== window.marked[k]) return true;
  }
  return false;
}

class Player {
  constructor(site) {
    Object.assign(this, {site, defs: {}, boxes: {}, texts: {}, opened: 0});
    for (const {words: [kind, name, ...rest]} of read('geometry.txt')) {
      if (kind === 'box') this.boxes[name] = rest; else this.texts[name] = rest[0];
    }
  }

  async play(lines, within = '') {
    for (let k = 0; k < lines.length; ++k) {
      const [command, ...words] = lines[k].words;
      this.place = lines[k].place + within;
      if (command !== 'def') {
        await this.step(command, words);
        continue;
      }
      const end = lines.findIndex((line, j) => j > k && line.words[0] === 'end');
      this.defs[words[0]] = lines.slice(k + 1, end);
      k = end;
    }
  }

  async places(words) {
    const found = [], width = (await this.site.canvasSize())[0];
    for (let k = 0; k < words.length; k += this.boxes[words[k]] ? 1 : 2) {
      found.push(this.boxes[words[k]]?.map((v) => v[0] === 'c' ? width / 2 + +v.slice(1) : +v) ?? [+words[k], +words[k + 1], 25, 25]);
    }
    return found;
  }

  async onPage(words) {
    const [[x, y, w, h]] = await this.places(words);
    return this.site.onPage(x + Math.floor(w / 2), y + Math.floor(h / 2));
  }

  page(body, ...args) { return this.site.page.evaluate(body, ...args); }

  async step(command, words) {
    const site = this.site, text = (word) => this.texts[word] ?? word;
    const expression = (body) => this.page(`(async () => (${body}))()`);
    const message = (expected) => `document.querySelector('#message').textContent.includes(${JSON.stringify(expected)})`;
    switch (command) {
      case 'open':
        this.opened = 0;
        return site.open({game: 'jeu.html', editor: 'editeur.html'}[words[0]] || words[0], `(${prepare})(${!!this.pads})`);
      case 'pads': this.pads = true; return;
      case 'run': return this.play(this.defs[words[0]], ` from ${this.place}`);
      case 'case':
        this.case = ` (case ${words.join(' ')})`;
        if (words[1] === 'close') return console.log(`case ${words.join(' ')}: a page has no window to close`);
        await site.page?.close();
        site.page = null;
        await this.play(this.defs[words[0]]);
        await this.step('key', [words[1]]);
        return this.play(this.defs[words[2]]);
      case 'caption': return waitUntil(`the caption ${words}`, async () => words.map(text).includes(await site.title()));
      case 'size': return waitUntil(`a ${words} canvas`, async () => `${await site.canvasSize()}` === `${words}`);
      case 'see': {
        const [test, least] = LOOKS[words.at(-1)];
        for (const box of await this.places(words.slice(0, -1))) {
          await waitUntil(`${words.at(-1)} at ${box}`, async () => {
            const share = await site.share(box, test);
            return least > 0 ? share >= least : share <= -least;
          });
        }
        return;
      }
      case 'click': return site.viewport.hasTouch ? site.page.touchscreen.tap(...await this.onPage(words)) :
        site.page.mouse.click(...await this.onPage(words));
      case 'point': return site.page.mouse.move(...await this.onPage(words));
      case 'key': return site.key(KEYS[words[0]] || words[0]);
      case 'exits': {
        const first = await site.title(), shown = new Set();
        await waitUntil('the page saying the program ended', async () => shown.add(await site.title()) &&
                        this.page(() => !document.getElementById('fin').hidden));
        const endings = ENDINGS.map(text).filter((t) => t !== first && shown.has(t));
        return check(!endings.length, `it showed ${endings} on its way out`);
      }
      case 'opened': {  // a page of the site must be there to open
        const n = ++this.opened;
        return waitUntil(`${words[0]} opened`, () => this.page((k, url) => window.opened[k - 1] === url &&
                         (/:\/\//.test(url) || fetch(url).then((r) => r.ok)), n, words[0]));
      }
      case 'mark': return this.page(() => {
        window.marked = Module.canvas.getContext('2d').getImageData(0, 0, Module.canvas.width, Module.canvas.height).data;
      });
      case 'changed': return waitUntil(`${words} changed`, async () => this.page(differs, (await this.places(words))[0]));
      case 'still':  // a check that nothing happens: it watches a second, four of the game's ticks
        await sleep(1000);
        return check(!await this.page(differs, [0, 0, ...await site.canvasSize()]), 'the canvas changed');
      case 'music': {
        const before = this.music;
        return waitUntil(`the music ${words[0]}`, async () => (words[0] === 'off') === !(this.music = await this.page(() =>
          (SDL.music?.audio && !SDL.music.audio.paused && SDL.music.audio.currentTime > 0 && SDL.music.audio.src) || '')) &&
          (words[0] !== 'next' || this.music !== before));
      }
      case 'file': return waitUntil(`the level saved as ${JSON.stringify(words[1])}`, () => this.page((bytes) => {
        const link = document.getElementById('telecharger');
        return !link.hidden && fetch(link.href).then((r) => r.text()).then((t) => t === bytes);
      }, words[1]));
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
        const from = await waitUntil('the hero on the field', () => this.page(heroX)), sign = words[0] === 'left' ? -1 : 1;
        return waitUntil(`the hero heading ${words[0]}`, async () => sign * ((await this.page(heroX)) - from) > 10);
      }
      case 'friend': {  // the address the page gives, opened in another browser profile
        const address = await expression(words[0]);
        [this.first, this.site, this.opened] = [site, new Site(await site.browser.createBrowserContext(), site.base, site.network), 0];
        return this.site.open(address.slice(site.base.length + 1), `(${prepare})()`);
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
