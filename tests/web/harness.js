// The browser site driven in headless Chromium: one page of the site served
// from build-web/site, real input, and what the canvas shows read back.
//   node harness.js SCENARIO --site DIR --artifacts DIR [--scenarios MORE.js]
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const SKIP = 77;
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
               '.png': 'image/png', '.webmanifest': 'application/manifest+json'};

function check(condition, message) {
  if (!condition) throw new Error(message);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitUntil(what, probe, timeout = 10000) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

function serve(site) {
  const server = http.createServer((request, response) => {
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
const dark = 'return r + g + b < 300';
const blue = 'return b > r + 40';
const white = 'return r > 240 && g > 240 && b > 240';

class Site {
  constructor(browser, base) {
    Object.assign(this, {browser, base});
  }

  // `prepare` runs in the page before any of its scripts.
  async open(page, prepare) {
    if (!this.page) {
      this.page = await this.browser.newPage();
      await this.page.setViewport({width: 1300, height: 800});
      this.page.on('pageerror', (error) => console.log(`page error: ${error.message} ${error.stack}`));
      this.page.on('console', (m) => m.type() === 'error' && console.log(`console: ${m.text()}`));
    }
    if (prepare) await this.page.evaluateOnNewDocument(prepare);
    const started = Date.now();
    await this.page.goto(`${this.base}/${page}`);
    return started;
  }

  title() { return this.page.title(); }

  waitTitle(title, timeout) {
    return waitUntil(`the caption ${JSON.stringify(title)}`, async () => (await this.title()) === title, timeout);
  }

  canvasSize() {
    return this.page.evaluate(() => [Module.canvas.width, Module.canvas.height]);
  }

  // Share of the pixels of [x, y, w, h] on the canvas, as the player sees
  // it, that `test` accepts.
  share(rect, test) {
    return this.page.evaluate(([x, y, w, h], body) => {
      const accepts = new Function('r', 'g', 'b', body);
      const d = Module.canvas.getContext('2d').getImageData(x, y, w, h).data;
      let hits = 0;
      for (let k = 0; k < d.length; k += 4) hits += accepts(d[k], d[k + 1], d[k + 2]) ? 1 : 0;
      return hits / (w * h);
    }, rect, test);
  }

  waitShare(what, rect, test, atLeast = 0.5, timeout) {
    return waitUntil(what, async () => (await this.share(rect, test)) >= atLeast, timeout);
  }

  async click(x, y) {
    const box = await (await this.page.$('canvas')).boundingBox();
    const zoom = box.width / (await this.canvasSize())[0];
    await this.page.mouse.click(box.x + (x + 0.5) * zoom, box.y + (y + 0.5) * zoom);
  }

  key(name) { return this.page.keyboard.press(name); }
}

async function main() {
  const [name, , site, , artifacts, , more] = process.argv.slice(2);
  const scenarios = Object.assign({}, require('./scenarios.js'), more ? require(path.resolve(more)) : {});
  check(scenarios[name], `no scenario ${name}`);
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch (e) {
    console.log('puppeteer-core is not installed (npm ci in tests/web): skipped');
    process.exit(SKIP);
  }
  if (!fs.existsSync(path.join(site, 'jeu.html'))) {
    console.log(`no site in ${site} (./glouto.sh web build): skipped`);
    process.exit(SKIP);
  }
  const server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox'],  // music only after the first input, as for a player
  });
  const s = new Site(browser, `http://127.0.0.1:${server.address().port}`);
  let failed = false;
  try {
    await scenarios[name](s);
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

module.exports = {Site, check, sleep, waitUntil, grey, dark, blue, white};
if (require.main === module) main();
