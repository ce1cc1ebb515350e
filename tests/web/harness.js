// Plays tests/scenarios/NAME.txt on the built site in headless Chromium (or Firefox), as tests/e2e/run_scenario.py
// plays it on the desktop; STEPS is the browser's side of the language. MORE.js may export NAME as a function of a Site.
//   node harness.js NAME --site DIR --artifacts DIR [--scenarios MORE.js]
'use strict';

const [fs, http, path, {spawn}, dgram, os, crypto] = ['fs', 'http', 'path', 'child_process', 'dgram', 'os', 'crypto'].map(require);
const FOLDER = path.join(__dirname, '..', 'scenarios');
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
               '.png': 'image/png', '.webmanifest': 'application/manifest+json'};
const check = (condition, message) => { if (!condition) throw new Error(message); };
const grey = (level) => `return r === ${level} && g === ${level} && b === ${level}`;
const KEYS = {Return: 'Enter', space: ' ', Up: 'ArrowUp', Control_L: 'ControlLeft'};
const PHONE = {width: 390, height: 844, hasTouch: true, isMobile: true};
const VIEWPORTS = {desktop: {width: 1300, height: 800}, phone: PHONE, sideways: {...PHONE, width: 844, height: 390},
                   tablet: {...PHONE, width: 1024, height: 768}, wide: {width: 1920, height: 1080}};
const ENDINGS = ['WELCOME', 'WON', 'LOST', 'CREDITS'];  // what a program leaving at once never shows
const BUTTONS = {A: 0, X: 2, BACK: 8, START: 9, LEFT: 14};
const PAGES = {game: 'jeu.html', editor: 'editeur.html'};
const PAIR = ['hote', 'invite'];  // the devices of a game on two screens
const ended = () => !document.getElementById('fin').hidden;

// Every wait may take the rest of the test's own time: load only makes a run slower.
const DEADLINE = Date.now() + 1000 * (+process.env.GLOUTO_WEB_BUDGET || 130);
async function waitUntil(what, probe) {
  for (;; await new Promise((resolve) => setTimeout(resolve, 50))) {
    // A probe caught by a navigation sees nothing yet, as on a page still loading.
    const value = await probe().catch((e) => { if (/context was destroyed|Cannot find context/.test(e.message)) return null; throw e; });
    if (value) return value;
    check(Date.now() < DEADLINE, `timed out waiting for ${what}`);
  }
}

// Before the page's scripts: tabs opened recorded, pad listeners counted (each costs a poll 60 times a second), timers
// summed as they fire ("still"'s clock), layout shifts summed; two stubbed pads, or a Nintendo one announced at load;
// with `relay`, WebRTC offered no direct path, as between two phones on networks that allow none.
function prepare(pads, relay) {
  if (window.opened) return;  // prepared at an earlier "open" of this tab
  if (relay) {
    window.RTCPeerConnection = class extends RTCPeerConnection {
      constructor(config, ...rest) { super({...config, iceTransportPolicy: 'relay'}, ...rest); }
    };
  }
  [window.opened, window.padWatch, window.clock, window.open] = [[], 0, 0, (url) => window.opened.push(url) && null];
  const counted = (original, change) => function(type, ...rest) {
    return (window.padWatch += type === 'gamepadconnected' ? change : 0, original.call(this, type, ...rest));
  };
  [window.addEventListener, window.removeEventListener] = [counted(window.addEventListener, 1), counted(window.removeEventListener, -1)];
  window.setTimeout = ((timeout) => (f, ms = 0, ...rest) => timeout((...a) => (window.clock += ms, f(...a)), ms, ...rest))(setTimeout);
  window.getImageData = () => Module.canvas.getContext('2d').getImageData(0, 0, Module.canvas.width, Module.canvas.height).data;
  const centreX = (colour) => () => {  // centre along x of the pixels of that colour, if a sprite's worth
    const c = Module.canvas, d = getImageData();
    let sum = 0, n = 0;
    for (let k = 0; k < d.length; k += 4) if (colour(d[k], d[k + 1], d[k + 2])) sum += (k / 4) % c.width, ++n;
    return n > 50 ? sum / n : null;
  };
  window.heroX = centreX((r, g, b) => r > 220 && g > 150 && g < 190 && b < 60);  // the hero's orange, which nothing else has
  window.monsterX = centreX((r, g, b) => r > 120 && r < 200 && g < 100 && b > 150);  // the monsters' purple
  window.told = (id) => {  // the page's message, if shown within its panel and said aloud
    const e = document.getElementById(id), r = e.getBoundingClientRect(), o = e.closest('#outils').getBoundingClientRect();
    return !e.hidden && r.top >= o.top && r.bottom <= o.bottom && document.getElementById('annonce').textContent && e.textContent;
  };
  window.settled = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
  [window.shifted, window.shifts] = [0, new PerformanceObserver((l) => l.getEntries().forEach((e) => { window.shifted += e.value; }))];
  if (PerformanceObserver.supportedEntryTypes.includes('layout-shift')) window.shifts.observe({type: 'layout-shift'});
  if (!pads) return;
  window.pads = [0, 1].map((index) => ({id: `pad ${index}`, index, mapping: 'standard', timestamp: 0,
                                        axes: [0, 0, 0, 0], buttons: Array(17).fill({pressed: false})}));
  [window.padReads, navigator.getGamepads] = [0, () => ++window.padReads && window.pads.map((p) => ({...p, axes: [...p.axes], buttons: [...p.buttons]}))];
  if (pads !== 'nintendo') return;
  window.pads = [{...window.pads[0], id: 'Nintendo Switch Pro Controller (STANDARD GAMEPAD Vendor: 057e Product: 2009)'}];
  const loading = setInterval(() => window.Module?.calledRun ? clearInterval(loading) : dispatchEvent(new Event('gamepadconnected')), 10);
}

function read(name) {
  return fs.readFileSync(path.join(FOLDER, name), 'latin1').split('\n').flatMap((line, k) => {
    const words = [...line.matchAll(/"((?:[^"\\]|\\.)*)"|(\S+)/g)].map(([, quoted, bare]) => bare ?? Function(`return "${quoted}"`)());
    if (!words.length || words[0].startsWith('#') || words[0] === 'desktop:') return [];
    const steps = [[]];  // "a ; b" are two steps
    for (const word of words[0] === 'web:' ? words.slice(1) : words) word === ';' ? steps.push([]) : steps.at(-1).push(word);
    return steps.map((step) => ({place: `${name}:${k + 1}`, words: step}));
  });
}

// One tab of the site; bench/web drives it directly.
class Site {
  constructor(browser, base, network) { Object.assign(this, {browser, base, network, viewport: VIEWPORTS.desktop}); }
  async open(page, prepare) {  // `prepare` runs in the page before any of its scripts
    if (!this.page) {
      (this.page = await this.browser.newPage()).setDefaultTimeout(Math.max(1000, DEADLINE - Date.now()));  // puppeteer's waits too
      this.errors = [];
      this.page.on('pageerror', (error) => this.errors.push(`page error: ${error.message} ${error.stack}`));
      this.page.on('console', (m) => m.type() === 'error' && this.errors.push(`console: ${m.text()}`));
      this.page.on('dialog', (d) => this.leaving || d.accept());  // a page the scenario opens anew is left, asked or not
      await this.page.setViewport(this.viewport);
    }
    if (prepare) await this.page.evaluateOnNewDocument(prepare);
    if (this.otherVersion) await this.foreign();
    await this.page.goto(`${this.base}/${page}`);
  }
  title() { return this.page.title(); }
  canvasSize() { return this.page.evaluate(() => window.Module?.canvas ? [Module.canvas.width, Module.canvas.height] : [0, 0]); }
  key(name) { return this.page.keyboard.press(name); }
  share([x, y, w, h], test) {  // of the canvas's pixels in the box, as the player sees them, that `test` accepts
    return this.page.evaluate(([x, y, w, h], body) => {
      if (!window.Module?.canvas?.width) return 0;
      const accepts = new Function('r', 'g', 'b', body), d = Module.canvas.getContext('2d').getImageData(x, y, w, h).data;
      return d.filter((_, k) => k % 4 === 0 && accepts(d[k], d[k + 1], d[k + 2])).length / (w * h);
    }, [x, y, w, h], test);
  }
  waitShare(what, rect, test, atLeast = 0.5) { return waitUntil(what, async () => (await this.share(rect, test)) >= atLeast); }
  async onPage(x, y) {  // where the page shows the canvas's pixel (x, y)
    const width = await waitUntil('a canvas', async () => (await this.canvasSize())[0]);
    const box = await (await this.page.$('canvas')).boundingBox(), zoom = box.width / width;
    return [box.x + (x + 0.5) * zoom, box.y + (y + 0.5) * zoom];
  }
  async foreign() {  // this tab's site says it is another version
    [this.otherVersion] = [false, await this.page.setBypassServiceWorker(true), await this.page.setRequestInterception(true)];
    this.page.on('request', (r) => r.url().endsWith('/version.json') ?
      r.respond({contentType: 'application/json', body: '{"version": "0000000000000000"}'}) : r.continue());
  }
  async click(x, y) {
    const at = await this.onPage(x, y);
    await (this.viewport.hasTouch ? this.page.touchscreen.tap(...at) : this.page.mouse.click(...at));
  }
}

function differs([x, y, w, h]) {  // whether the box differs from what "mark" kept
  const width = Module.canvas.width, now = getImageData();
  return now.some((v, k) => v !== window.marked[k] && (k >> 2) % width - x >>> 0 < w && ((k >> 2) / width | 0) - y >>> 0 < h);
}

// The canvas whole in the window, at its shape, clear of buttons, `roomy`: controls 48 CSS px a side; else what's wrong.
function fitsWindow(roomy) {
  const c = Module.canvas.getBoundingClientRect(), rect = (e) => e.getBoundingClientRect();
  const inside = c.left >= -0.5 && c.top >= -0.5 && c.right <= innerWidth + 0.5 && c.bottom <= innerHeight + 0.5;
  const shape = Math.abs(c.width / c.height - Module.canvas.width / Module.canvas.height) < 0.01;
  const see = (b) => /rgba\(.*, 0(\.\d+)?\)$/.test(getComputedStyle(b).backgroundColor);  // the maze shows through
  const covered = [...document.querySelectorAll('button')].filter((b) => !see(b)).map(rect)
    .some((r) => r.width > 0 && r.left < c.right && r.right > c.left && r.top < c.bottom && r.bottom > c.top);
  const small = [...document.querySelectorAll('button, input, a#telecharger')].filter((b) => roomy &&
    rect(b).width > 0 && (rect(b).width < 48 || rect(b).height < 48)).map((b) => b.textContent);
  return (inside && shape && !covered && !small.length && c.width > 0) || `${c.left},${c.top} ${c.width}x${c.height} in ` +
    `${innerWidth}x${innerHeight}${covered ? ', under a button' : ''}${small.length ? `, under 48 px: ${small}` : ''}`;
}

// The buttons a player sees (those of a question or sheet over the page, if one is open), by name; each at least
// 48 CSS px a side with text of 16 CSS px or more, or what is wrong.
function controls() {
  const over = document.querySelector('[role=dialog]:not([hidden]), [role=alertdialog]:not([hidden])') || document;
  return [...over.querySelectorAll('button')].filter((b) => b.getBoundingClientRect().width > 0).map((b) => {
    const r = b.getBoundingClientRect(), size = parseFloat(getComputedStyle(b).fontSize);
    return r.width < 48 || r.height < 48 || size < 16 ? `${b.ariaLabel || b.textContent} ${r.width}x${r.height} ${size}px` : b.ariaLabel || b.textContent;
  });
}

// Each step: `this` is the Player, words what follows the step's name.
const STEPS = {
  open([page]) { this.opened = 0; return this.site.open(PAGES[page] || page, `(${prepare})(${JSON.stringify(this.pads || false)}, ${this.relay})`); },
  pads([kind]) { this.pads = kind || true; },
  run([name]) { return this.play(this.defs[name], ` from ${this.place}`); },
  async case(words) {  // where, how, then: a run of its own
    if ((this.case = ` (case ${words.join(' ')})`) && words[1] === 'close') return console.log(`${this.case}: a page has no window to close`);
    [this.site.page] = [null, await this.site.page?.close()];
    await this.play([...this.defs[words[0]], {place: this.place, words: ['key', words[1]]}, ...this.defs[words[2]]]);
  },
  caption(words) { return waitUntil(`the caption ${words}`, async () => words.map(this.text).includes(await this.site.title())); },
  size(words) { return waitUntil(`a ${words} canvas`, async () => `${await this.site.canvasSize()}` === `${words}`); },
  async see(words) {
    const [test, least] = this.looks[words.at(-1)];
    for (let n = 0; n < words.length - 1; n += words[n] in this.boxes_ ? 1 : 2) {  // a box placed by the canvas now
      await waitUntil(`${words.at(-1)} at ${words.slice(n, -1)}`, async () => (s => least > 0 ? s >= least : s <= -least)(
        await this.site.share((await this.boxes(words.slice(n, -1)))[0], test)));
    }
  },
  async click(words) { const [[x, y, w, h]] = await this.boxes(words); await this.site.click(x + (w >> 1), y + (h >> 1)); },
  async point(words) { const [[x, y, w, h]] = await this.boxes(words); await this.site.page.mouse.move(...await this.site.onPage(x + (w >> 1), y + (h >> 1))); },
  key([name]) { return this.site.key(KEYS[name] || name); },
  async exits() {  // the page says the program ended, showing no end screen or new game on its way
    const first = await this.site.title(), shown = new Set();
    await waitUntil('the page saying the program ended', async () => shown.add(await this.site.title()) && this.eval(ended));
    check(!ENDINGS.map(this.text).some((t) => t !== first && shown.has(t)), `it showed ${[...shown]} on its way out`);
  },
  opened([url]) {  // a page of the site must be there to open
    return this.until(`window.opened[${this.opened++}] === '${url}' && (/:\\/\\//.test('${url}') || fetch('${url}').then((r) => r.ok))`);
  },
  mark() { return this.until('Module.canvas.width && (window.clockAtMark = clock, window.marked = getImageData(), true)'); },
  async changed(words) { const [box] = await this.boxes(words); await waitUntil(`${words} changed`, () => this.eval(differs, box)); },
  async still() {  // nothing changes while the page's timers run a second (a pause's waits, four ticks hidden)
    await this.until('clock >= clockAtMark + 1000');
    check(!await this.eval(differs, [0, 0, ...await this.site.canvasSize()]), 'the canvas changed');
  },
  music([how], before = this.music) {
    return waitUntil(`the music ${how}`, async () => (how === 'off') === !(this.music = await this.eval(() =>
      ((a) => (a && !a.paused && a.currentTime > 0 && a.src) || '')(Module.gloutoMusic?.audio))) &&
      (how !== 'next' || this.music !== before));
  },
  file([, bytes]) {
    return this.until(`(l => !l.hidden && fetch(l.href).then((r) => r.text()).then((t) => t === ${JSON.stringify(bytes)}))` +
      '(document.getElementById(\'telecharger\'))');
  },
  viewport([name]) { return (this.site.viewport = VIEWPORTS[name], this.site.page?.setViewport(this.site.viewport)); },
  fits([roomy], why) {  // `what` says, if it times out, what was last wrong
    return waitUntil({toString: () => `the canvas whole in the window: ${why}`}, async () => (why = await this.eval(fitsWindow, !!roomy)) === true);
  },
  // A tap on the first button shown of that aria-label, lifted at once, left once the program read press and release (or ended,
  // or the page went for another).
  // A question's answer (a button of an alertdialog, over a program held) is the page's own.
  async touch([label]) {
    const [box, own] = await waitUntil(`the button ${label} shown`, async () => (await Promise.all((await this.site.page
      .$$(`button[aria-label="${label}"]`)).map(async (b) => [await b.boundingBox(), await b.evaluate((e) =>
      Boolean(e.closest('[role=alertdialog]')))]))).find(([shown]) => shown));  // a screen's row is made anew
    check(box && box.width >= 44 && box.height >= 44, `the button ${label} is ${JSON.stringify(box)}`);
    await (await this.site.page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2)).end();
    if (!own) await waitUntil(`${label} read`, () => this.eval(`!window.SDL || !SDL.events.length || (${ended})()`));
  },
  // Held until the browser's SDL read the press, then the release (or it ended); a browser tells of a pad at a press.
  async pad([index, name]) {
    for (const down of [true, false]) {
      await waitUntil(`pad ${index}'s ${name} read ${down ? 'down' : 'up'}`, () => this.eval((p, b, d, late) => {
        window.pads[p].buttons[b] = {pressed: d};
        if (d && !late) window.dispatchEvent(new Event('gamepadconnected'));
        return SDL.lastJoystickState[p + 1]?.buttons[b] === d || (!d && !document.getElementById('fin').hidden);
      }, +index, BUTTONS[name] ?? +name, down, this.pads === 'nintendo'));
    }
  },
  async choose([label, file]) {  // the file chooser the button of that label opens, given FILE of the source tree
    const [chooser] = await Promise.all([this.site.page.waitForFileChooser(), this.site.page.click(`button[aria-label="${label}"]`)]);
    await chooser.accept([path.join(__dirname, '..', '..', file)]);
  },
  until([expression]) { return this.until(expression); },
  async check([expression]) { check(await this.expression(expression), expression); },
  do([expression]) { return this.expression(expression); },
  async answer([n, pattern]) {  // once the page asks a question saying PATTERN, its Nth answer
    await this.until(`(d => !d.hidden && new RegExp(${JSON.stringify(pattern)}).test([...d.querySelectorAll('p, button')]` +
      `.map((e) => e.textContent).join(' ')))(document.getElementById('demande'))`);
    await this.site.page.click(`#demande button:nth-of-type(${n})`);
  },
  controls(words, seen) {
    return waitUntil({toString: () => `the controls ${words}, not ${seen}`}, async () => `${seen = await this.eval(controls)}` === `${words}`);
  },
  async leaving([asks]) {  // the page left for the home page: asks whether to, or not (once answered, it stays)
    this.site.leaving = true;
    const question = new Promise((resolve) => this.site.page.once('dialog', (d) => resolve(d)));
    const gone = this.site.page.waitForNavigation().catch(() => null);
    const sent = this.eval(() => { location.href = 'index.html'; }).catch(() => null);  // held while the page asks
    const first = await Promise.race([question, gone.then(() => null)]);
    if (first) await first.dismiss();
    [this.site.leaving] = [false, await sent];
    check(Boolean(first) === (asks === 'asks') && (!first || first.type() === 'beforeunload'), `leaving ${first ? 'asked' : 'did not ask'}`);
  },
  plates(words) {  // the page's own buttons for the screen, each named by its word
    return waitUntil(`the page buttons ${words}`, async () => `${await this.site.page.$$eval('#plaques button',
      (bs) => bs.map((b) => b.ariaLabel === b.textContent && b.textContent))}` === `${words}`);
  },
  async tab([label]) {  // Tab until LABEL has the focus, and Return
    await waitUntil(`${label} reached by Tab`, async () => (await this.eval(() => document.activeElement.ariaLabel)) === label ||
      this.site.key('Tab').then(() => false)).then(() => this.site.key('Enter'));
  },
  // A finger (the mouse without touch) along row Y of the grid, from cell X to cell X2, one move a cell; MIDWAY, an
  // expression, run half way.
  async drag([x, x2, y, midway]) {
    const step = Math.sign(x2 - x) * 25, at = (k) => this.site.onPage(+x + k * step + 12, +y + 12), cells = (x2 - x) / step;
    const {touchscreen, mouse} = this.site.page, touch = this.site.viewport.hasTouch;
    const finger = touch ? await touchscreen.touchStart(...await at(0)) : await mouse.move(...await at(0));
    if (!touch) await mouse.down();
    for (let k = 1; k <= cells; ++k) {
      if (midway && k === Math.ceil(cells / 2)) await this.expression(midway);
      await (touch ? finger.move(...await at(k)) : mouse.move(...await at(k)));
    }
    await (touch ? finger.end() : mouse.up());
  },
  // Two fingers 60 CSS px apart at the middle of the grid's room, moved apart by SPREAD CSS px each (negative: together).
  async pinch([spread]) {
    const [x, y] = await this.eval(() => (({left, top, width, height}) => [left + width / 2, top + height / 2])(cadre.getBoundingClientRect()));
    const fingers = [await this.site.page.touchscreen.touchStart(x - 30, y), await this.site.page.touchscreen.touchStart(x + 30, y)];
    await fingers[0].move(x - 30 - +spread, y);
    await fingers[1].move(x + 30 + +spread, y);
    for (const finger of fingers) await finger.end();
  },
  walls([x, x2, y]) {  // once drawn, walls on the cells of row Y from X to X2 (none without words) and nowhere else
    const want = x === undefined ? [] : Array.from({length: Math.abs(x2 - x) / 25 + 1}, (_, k) => `${Math.min(x, x2) + 25 * k},${y}`);
    return waitUntil(`walls on ${want.join(' ') || 'no cell'}`, async () => `${await this.eval((test, least) => {
      const c = Module.canvas, d = getImageData(), found = [], accepts = new Function('r', 'g', 'b', test);
      for (let cy = 0; cy < c.height; cy += 25) for (let cx = 0; cx < c.width; cx += 25) {
        let n = 0;
        for (let k = 0, at; k < 625; ++k) at = 4 * ((cy + (k / 25 | 0)) * c.width + cx + k % 25), n += !!accepts(d[at], d[at + 1], d[at + 2]);
        if (n >= least * 625) found.push(`${cx},${cy}`);
      }
      return found;
    }, ...this.looks.wall)}` === `${want}`);
  },
  async axe() {
    const found = await this.eval(async (axeSource) => (window.axe || (0, eval)(axeSource), (await axe.run(document,
      {resultTypes: ['violations']})).violations.map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)),
    fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
    check(!found.length, `axe found\n  ${found.join('\n  ')}`);
  },
  clean() { check(!this.site.errors.length, `the page said\n  ${this.site.errors.join('\n  ')}`); },
  offline() { this.site.network.down = true; },
  reload() { return this.site.page.reload(); },
  async hide() { this.other = await this.site.browser.newPage(); await this.until('document.hidden'); },
  async show() { await this.other.close(); await this.site.page.bringToFront(); },
  async heads([way]) { await this.until(`${way === 'left' ? -1 : 1} * (heroX() - ${await this.until('heroX()')}) > 10`); },
  async watch() {  // from now on, how far left and right of where they are the hero and level 1's monster go: far.hero, far.monster
    await this.until('heroX() !== null && monsterX() !== null');  // the maze drawn, not the screen before it
    return this.eval(() => {
      const from = {hero: heroX(), monster: monsterX()};
      window.far = {hero: [0, 0], monster: [0, 0]};
      (function look() {
        for (const [who, x] of [['hero', heroX()], ['monster', monsterX()]]) {
          if (x !== null) far[who] = [Math.min(far[who][0], x - from[who]), Math.max(far[who][1], x - from[who])];
        }
        if (far.monster[1] <= 40) requestAnimationFrame(look);  // seen enough
      })();
    });
  },
  async friend([expression]) {  // the address the page gives, opened in another browser profile
    const address = await this.expression(expression), site = this.site;
    [this.first, this.site, this.opened] = [site, new Site(await site.browser.createBrowserContext(), site.base, site.network), 0];
    await this.site.open(address.slice(site.base.length + 1), `(${prepare})()`);
  },
  async back() { await this.site.browser.close(); this.site = this.first; },
  // From here on the site comes from its own server, started as ./glouto.sh web starts it; `relais`: configured with a
  // coturn of its own, and the pages opened later with no direct path between them; `relais faux`: with a secret that
  // coturn does not share.
  async serveur([relay, wrong]) {
    const turn = relay ? await relayServer() : {};
    if (wrong) turn.GLOUTO_TURN_SECRET += 'faux';
    this.relay = Boolean(relay);
    const server = spawn(path.join(__dirname, '..', '..', 'glouto.sh'), ['web', 'serve'],
      {env: {...process.env, ...turn, GLOUTO_PORT: '0', GLOUTO_SITE: this.site.root}, stdio: ['ignore', 'pipe', 'inherit']});
    process.on('exit', () => server.kill());
    this.site.base = await new Promise((resolve, reject) => {
      server.stdout.on('data', (out) => /(http:\S+)\/$/m.test(out) && resolve(/(http:\S+)\/$/m.exec(out)[1]));
      server.on('exit', (status) => reject(new Error(`the server ended (${status})`)));
    });
  },
  async device([name]) {  // later steps play on device NAME, a browser profile of its own (the first one named: this one)
    const before = this.site;
    this.site = this.devices[name] ??= Object.keys(this.devices).length ? Object.assign(new Site(await this.browser
      .createBrowserContext(), before.base, before.network), {viewport: before.viewport, root: before.root}) : before;
  },
  async join([name]) {  // device NAME opens the link of the host's room, anew
    const address = await waitUntil('the room\'s link', () => this.devices[PAIR[0]].page.evaluate(() => document.querySelector('#salle-adresse').href));
    await STEPS.device.call(this, [name]);
    await this.site.page?.goto('about:blank');
    await this.site.open(address.slice(this.site.base.length + 1), `(${prepare})(false, ${this.relay})`);
  },
  async both(words) {  // the step on the two devices of a game, the host's and the guest's, in turn
    const here = this.site;
    for (const name of PAIR) {
      this.site = this.devices[name];
      await this.play([{place: this.place, words}]);
    }
    this.site = here;
  },
  same([expression], seen) {  // the expression's value the same on both devices of the game
    return waitUntil({toString: () => `${expression} the same on both devices, not ${seen}`}, async () => new Set(seen =
      await Promise.all(PAIR.map((name) => this.devices[name].page.evaluate(`(async () => (${expression}))()`)))).size === 1);
  },
  foreign() { this.site.otherVersion = true; },
  dit([key]) {  // the page shows Salle.SAID[KEY] (in its room's panel, over the game or above it), and says it
    return this.until(`(t => annonce.textContent === t && [...document.querySelectorAll('#salle-dit, #partage, #salle-pause p')]
      .some((e) => e.textContent === t && e.getClientRects().length))(Salle.SAID.${key})`);
  },  // the device's next page is of another version of the site
};

class Player {
  constructor(site) {
    Object.assign(this, {site, browser: site.browser, devices: {}, defs: {}, boxes_: {}, texts: {}, looks: {}, opened: 0});
    for (const {words: [kind, name, ...rest]} of read('geometry.txt')) {
      Object.assign(this[{box: 'boxes_', look: 'looks', text: 'texts'}[kind]], {[name]: {box: rest, look: [`return ${rest[0]}`, +rest[1]]}[kind] ?? rest[0]});
    }
    this.text = (word) => this.texts[word] ?? word;
  }
  async play(lines, within = '') {
    for (let k = 0; k < lines.length; ++k) {
      const [command, ...words] = lines[k].words;
      this.place = lines[k].place + within;
      const end = command === 'def' && lines.findIndex((line, j) => j > k && line.words[0] === 'end');
      if (end) [this.defs[words[0]], k] = [lines.slice(k + 1, end), end];
      else await (STEPS[command] || check(false, `no such step ${command}`)).call(this, words);
    }
  }
  eval(...args) { return this.site.page.evaluate(...args); }
  expression(body) { return this.eval(`(async () => (${body}))()`); }
  until(body) { return waitUntil(body, () => this.expression(body).catch(() => false)); }  // a page on its way: not yet
  async boxes([word, ...rest]) {  // named boxes, or x y: the 25-pixel cell at that corner
    const width = (await this.site.canvasSize())[0], box = this.boxes_[word]?.map((v) => v[0] === 'c' ? width / 2 + +v.slice(1) : +v);
    return word === undefined ? [] : [box ?? [+word, +rest[0], 25, 25], ...await this.boxes(rest.slice(box ? 0 : 1))];
  }
}

// coturn on a free port of the loopback, as the README sets it up on a public host (a secret shared with the site's
// server), relaying between loopback peers; ready once it answers a STUN binding request (type 1, the magic cookie).
async function relayServer(secret = crypto.randomBytes(16).toString('hex')) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'glouto-turn-')), probe = dgram.createSocket('udp4');
  const port = await new Promise((resolve) => probe.bind(0, '127.0.0.1', () => resolve(probe.address().port)));
  probe.close();
  const turn = spawn('turnserver', ['-n', '-p', port, '-L', '127.0.0.1', '-E', '127.0.0.1', '--allow-loopback-peers', '--no-tcp',
    '--no-tls', '--no-dtls', '--no-cli', '--use-auth-secret', `--static-auth-secret=${secret}`, '-r', 'glouto',
    ...['pidfile', 'db', 'log-file'].flatMap((name) => [`--${name}`, path.join(dir, name)])].map(String), {stdio: 'ignore'});
  process.on('exit', () => { turn.kill(); fs.rmSync(dir, {recursive: true, force: true}); });
  const asking = dgram.createSocket('udp4'), request = Buffer.concat([Buffer.from([0, 1, 0, 0, 33, 18, 164, 66]), crypto.randomBytes(12)]);
  const answered = new Promise((resolve) => asking.on('message', (m) => m.readUInt16BE(0) === 0x0101 && resolve(true)));
  await waitUntil('coturn', () => Promise.race([answered, new Promise((resolve) => asking.send(request, port, '127.0.0.1', () => setTimeout(resolve, 100)))]));
  asking.close();
  return {GLOUTO_TURN: `turn:127.0.0.1:${port}`, GLOUTO_TURN_SECRET: secret};
}

function serve(site, network) {  // `network.down` drops every request, as a lost network would
  const server = http.createServer((request, response) => {
    if (network.down) return request.socket.destroy();
    let file = path.join(site, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (file.endsWith('/')) file += 'index.html';
    fs.readFile(file, (error, data) => {
      response.writeHead(error ? 404 : 200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
      response.end(error ? '' : data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function main() {
  const [name, , site, , artifacts, , more] = process.argv.slice(2);
  const coded = more ? require(path.resolve(more)) : {};
  const network = {down: false}, server = await serve(site, network);
  const browser = await require('puppeteer-core').launch(process.env.GLOUTO_BROWSER === 'firefox' ?
    {browser: 'firefox', executablePath: '/usr/bin/firefox-esr'} :
    {executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox']});
  const s = Object.assign(new Site(browser, `http://127.0.0.1:${server.address().port}`, network), {root: site});
  const player = new Player(s);
  try {
    if (coded[name]) await coded[name](s);
    else for (const file of ['steps.txt', `${name}.txt`]) await player.play(read(file));
  } catch (error) {
    process.exitCode = 1;
    if (player.site.errors?.length) console.log(player.site.errors.join('\n'));
    console.log(`FAILED: ${coded[name] ? '' : `${player.place}${player.case || ''}: `}${error.message}`);
    fs.mkdirSync(artifacts, {recursive: true});
    await player.site.page?.screenshot({path: path.join(artifacts, 'failure.png')}).catch(() => {});
  }
  await browser.close();
  process.exit();
}
module.exports = {Site, check, waitUntil, grey};
if (require.main === module) main();
