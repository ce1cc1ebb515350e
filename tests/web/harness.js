// The browser site driven in headless Chromium (or Firefox): one page of the
// site served from build-web/site, real input, the canvas read back.
//   node harness.js SCENARIO --site DIR --artifacts DIR [--scenarios MORE.js]
// SCENARIO is tests/scenarios/SCENARIO.txt, read by scenarios.js, or a
// function of that name exported by MORE.js, which gets a Site.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
               '.png': 'image/png', '.webmanifest': 'application/manifest+json'};
const check = (condition, message) => { if (!condition) throw new Error(message); };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The limit only ends a test that would wait for ever.
async function waitUntil(what, probe, timeout = 10000) {
  for (const deadline = Date.now() + timeout; ; await sleep(50)) {
    // A probe caught by a navigation sees nothing yet, as on a page still loading.
    const value = await probe().catch((e) => { if (/context was destroyed|Cannot find context/.test(e.message)) return null; throw e; });
    if (value) return value;
    check(Date.now() < deadline, `timed out waiting for ${what}`);
  }
}

// `network.down` makes the server drop every request, as a lost network would.
function serve(site, network) {
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

// Tests of one pixel (r, g, b), as function bodies run in the page.
const grey = (level) => `return r === ${level} && g === ${level} && b === ${level}`;
const [dark, blue, white] = ['return r + g + b < 300', 'return b > r + 40', 'return r > 240 && g > 240 && b > 240'];
// Window sizes of the pages' checks; the touch ones as a phone's.
const DESKTOP = {width: 1300, height: 800};
const PHONE = {width: 390, height: 844, hasTouch: true, isMobile: true};
const PHONE_SIDEWAYS = {width: 844, height: 390, hasTouch: true, isMobile: true};

class Site {
  constructor(browser, base, network) { Object.assign(this, {browser, base, network, viewport: DESKTOP}); }

  // `prepare` runs in the page before any of its scripts.
  async open(page, prepare) {
    if (!this.page) {
      this.page = await this.browser.newPage();
      await this.page.setViewport(this.viewport);
      this.page.on('pageerror', (error) => console.log(`page error: ${error.message} ${error.stack}`));
      this.page.on('console', (m) => m.type() === 'error' && console.log(`console: ${m.text()}`));
    }
    if (prepare) await this.page.evaluateOnNewDocument(prepare);
    const started = Date.now();
    await this.page.goto(`${this.base}/${page}`);
    return started;
  }

  title() { return this.page.title(); }
  waitTitle(title, timeout) { return waitUntil(`the caption ${title}`, async () => (await this.title()) === title, timeout); }
  canvasSize() { return this.page.evaluate(() => window.Module?.canvas ? [Module.canvas.width, Module.canvas.height] : [0, 0]); }
  key(name) { return this.page.keyboard.press(name); }

  // Share of the pixels of [x, y, w, h] on the canvas, as the player sees it, that `test` accepts.
  share(rect, test) {
    return this.page.evaluate(([x, y, w, h], body) => {
      if (!window.Module || !Module.canvas.width) return 0;  // the program not started yet
      const accepts = new Function('r', 'g', 'b', body), d = Module.canvas.getContext('2d').getImageData(x, y, w, h).data;
      let hits = 0;
      for (let k = 0; k < d.length; k += 4) hits += accepts(d[k], d[k + 1], d[k + 2]) ? 1 : 0;
      return hits / (w * h);
    }, rect, test);
  }

  waitShare(what, rect, test, atLeast = 0.5, timeout) {
    return waitUntil(what, async () => (await this.share(rect, test)) >= atLeast, timeout);
  }

  // Where the page shows the canvas's pixel (x, y).
  async onPage(x, y) {
    const box = await (await this.page.$('canvas')).boundingBox(), zoom = box.width / (await this.canvasSize())[0];
    return [box.x + (x + 0.5) * zoom, box.y + (y + 0.5) * zoom];
  }

  async click(x, y) {
    const [px, py] = await this.onPage(x, y);
    await (this.viewport.hasTouch ? this.page.touchscreen.tap(px, py) : this.page.mouse.click(px, py));
  }

  // A finger on the page's button of that aria-label for `ms`.
  async touch(label, ms = 100) {
    const box = await (await this.page.$(`button[aria-label="${label}"]`)).boundingBox();
    check(box && box.width >= 44 && box.height >= 44, `the button ${label} is ${JSON.stringify(box)}`);
    const finger = await this.page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
    await sleep(ms);
    await finger.end();
  }

  async resize(viewport) {
    this.viewport = viewport;
    if (this.page) await this.page.setViewport(viewport);
  }

  // The canvas whole in the window, at its own shape, and clear of every
  // button; else the canvas's place and the window's size.
  fitsWindow() {
    return this.page.evaluate(() => {
      const c = Module.canvas.getBoundingClientRect();
      const inside = c.left >= -0.5 && c.top >= -0.5 && c.right <= innerWidth + 0.5 && c.bottom <= innerHeight + 0.5;
      const shape = Math.abs(c.width / c.height - Module.canvas.width / Module.canvas.height) < 0.01;
      const covered = [...document.querySelectorAll('button')].some((b) => {
        const r = b.getBoundingClientRect();
        return r.width > 0 && r.left < c.right && r.right > c.left && r.top < c.bottom && r.bottom > c.top;
      });
      return (inside && shape && !covered && c.width > 0) ||
        `${c.left},${c.top} ${c.width}x${c.height} in ${innerWidth}x${innerHeight}${covered ? ', under a button' : ''}`;
    });
  }
}

async function main() {
  const [name, , site, , artifacts, , more] = process.argv.slice(2);
  const scenarios = require('./scenarios.js'), coded = more ? require(path.resolve(more)) : {};
  check(coded[name] || scenarios.exists(name), `no scenario ${name}`);
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch (e) {
    console.log('puppeteer-core is missing: npm ci in tests/web (./glouto.sh test does)');
    process.exit(1);
  }
  check(fs.existsSync(path.join(site, 'jeu.html')), `no site in ${site}: ./glouto.sh web build`);
  const network = {down: false}, server = await serve(site, network);
  // GLOUTO_BROWSER=firefox drives firefox-esr through WebDriver BiDi instead.
  const browser = await puppeteer.launch(process.env.GLOUTO_BROWSER === 'firefox' ?
    {browser: 'firefox', executablePath: '/usr/bin/firefox-esr'} :
    {executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox']});
  const s = new Site(browser, `http://127.0.0.1:${server.address().port}`, network);
  let failed = false;
  try {
    await (coded[name] ? coded[name](s) : scenarios.play(s, name));
  } catch (error) {
    failed = true;
    console.log(`FAILED: ${error.message}`);
    fs.mkdirSync(artifacts, {recursive: true});
    await s.page?.screenshot({path: path.join(artifacts, 'failure.png')}).catch(() => {});
  }
  await browser.close();
  server.close();
  process.exit(failed ? 1 : 0);
}

module.exports = {Site, check, sleep, waitUntil, grey, dark, blue, white, DESKTOP, PHONE, PHONE_SIDEWAYS};
if (require.main === module) main();
