// The screen's lazy frames (platform/web/frames.js) on canvases whose pixels tell what was drawn: after each flip the
// screen and the page hold what the frame drew, each source as it was when drawn, in few draws.
'use strict';

const [fs, vm] = ['fs', 'vm'].map(require);
const [W, H] = [40, 30];

function canvas(name = '', width = W, height = H) {
  const c = {width, height, draws: 0, px: Array.from({length: width * height}, (_, i) => `${name}${i}`)};
  const paint = (ctx, x0, y0, w, h, what) => {
    const inside = (x, y) => ([rx, ry, rw, rh]) => x >= rx && x < rx + rw && y >= ry && y < ry + rh;
    c.px = c.px.map((p, i) => (at => at([x0, y0, w, h]) && (!ctx.clipped || ctx.clipped.some(at)) ?
                                     what(p, i % width - x0, Math.floor(i / width) - y0) : p)(inside(i % width, Math.floor(i / width))));
    ++c.draws;
  };
  c.ctx = {globalAlpha: 1, clipped: null, saved: [], save() { this.saved.push([this.globalAlpha, this.clipped]); },
           restore() { [this.globalAlpha, this.clipped] = this.saved.pop(); }, beginPath() { this.path = []; },
           rect(...r) { this.path.push(r); }, clip() { this.clipped = this.path; },
           fillRect(x, y, w, h) { paint(this, x, y, w, h, () => this.fillStyle); }, getImageData() { return [...c.px]; },
           drawImage(from, ...a) {
             const [sx, sy, w, h, x, y] = a.length === 2 ? [0, 0, from.width, from.height, ...a] : a, alpha = this.globalAlpha;
             paint(this, x, y, w, h, (under, dx, dy) => {
               const at = (sy + dy) * from.width + sx + dx, over = from.px[at], a = alpha * (from.alpha?.[at] ?? 255) / 255;
               return a === 1 ? over : a === 0 ? under : `(${under}|${over}*${a})`;
             });
           }};
  return c;
}
const made = {SDL: {makeSurface() {}, freeSurface() {}}};
vm.createContext(made);
for (const file of ['marks.js', 'frames.js']) vm.runInContext(fs.readFileSync(`${__dirname}/../../platform/web/${file}`, 'utf8'), made);
const {GloutoMarks: marks, GloutoFrames: frames} = made;
const surface = (c) => ({canvas: c, ctx: c.ctx, alpha: 255, width: c.width, height: c.height});
const [screen, page, reference] = [surface(canvas()), surface(canvas()), canvas()];
frames.start(screen);

// As the programs draw through SDL_FillRect and SDL_BlitSurface.
const fill = (target, colour) => {
  marks.filled(target, colour);
  frames.fill(target, colour, `#${colour.toString(16)}`, 0, 0, target.width, target.height, true);
  if (target === screen) Object.assign(reference.ctx, {fillStyle: `#${colour.toString(16)}`}).fillRect(0, 0, W, H);
};
const blit = ([source, sx, sy, w, h, x, y]) => {
  marks.of(source);
  marks.add(screen, source.markA, source.markB, source.alpha, sx * 65536 + sy, w * 65536 + h, x * 65536 + y);
  frames.blit(screen, source, sx, sy, w, h, x, y);
  Object.assign(reference.ctx, {globalAlpha: source.alpha / 255}).drawImage(source.canvas, sx, sy, w, h, x, y, w, h);
  reference.ctx.globalAlpha = 1;
};
// A frame from a fill of `colour`, or over the last one if null; with at most 0 draws, not given to the page.
function frame(what, draws, mostDraws = Infinity, colour = 0xffffff) {
  const before = screen.canvas.draws + page.canvas.draws;
  if (colour !== null) fill(screen, colour);
  draws.forEach((d) => (typeof d === 'function' ? d() : blit(d)));
  const shown = frames.show(page), drawn = screen.canvas.draws + page.canvas.draws - before;
  if ([page, screen].some((s) => s.canvas.px.join() !== reference.px.join()) || drawn > mostDraws || (!mostDraws && shown)) {
    console.log(`FAILED: ${what} (${drawn} draws${shown ? ', given to the page' : ''})`), process.exitCode = 1;
  }
}

const [wall, hero, text] = ['wall', 'hero', 'text'].map((n) => surface(canvas(n, 6, 6)));
const level = (heroX, gone = -1) => [...Array(12).keys()].filter((i) => i !== gone)
    .map((i) => [wall, i % 3, 0, 4, 4, (i * 5) % 36, (i * 7) % 26]).concat([[hero, 0, 0, 6, 6, heroX, 12]]);
frame('a first frame', level(3));
frame('the hero moved', level(5), 6);  // not the 15 of a whole frame
frame('a wall gone', level(5, 4), 3);
frame('the same frame again', level(5, 4), 0);
frame('a source changed after its draw', [...level(5), () => fill(wall, 0x00aa00), [wall, 0, 0, 6, 6, 30, 2]]);
frame('the screen read mid-frame', [...level(7), () => screen.ctx.getImageData(), [text, 1, 1, 5, 3, 2, 2]]);
// The browser's SDL hands a freed surface's canvas on.
frame('a surface freed with its draw waiting', [...level(7), () => (made.SDL.freeSurface(), wall.canvas.px.fill('reused'), marks.fresh(wall))]);

// Pictures as decoded, their alpha in memory: opaque, keyed out or blended in places; and a surface filled whole.
const [cell, keyed, soft, black] = [['cell', 255, 255], ['keyed', 0, 255], ['soft', 128, 255], ['black']].map(([name, ...a]) => {
  const p = surface(canvas(name, 6, 6)), alpha = a.length && (p.canvas.alpha = [...Array(36).keys()].map((i) => a[+!!(i % (name === 'soft' ? 5 : 4))]));
  return alpha ? Object.assign(p, {image: {data: Uint8ClampedArray.from(alpha.flatMap((v) => [0, 0, 0, v]))}}) : p;
});
fill(black, 0xff000000);

// The editor's grid, drawn over the last frame without a fill, leaving a strip on the right where nothing opaque is.
const grid = (...over) => [...Array(42).keys()].map((i) => [i % 6 ? cell : black, 0, 0, 5, 5, (i % 7) * 5, Math.floor(i / 7) * 5])
    .concat(over);
const faded = [() => (cell.alpha = 128), [cell, 0, 0, 5, 5, 35, 25], () => (cell.alpha = 255)];
const blended = () => (frames.writing(black),  // as a picture's copy is made
  [black.canvas.px, black.canvas.alpha, black.picture] = [[...soft.canvas.px], [...soft.canvas.alpha], soft], marks.fresh(black));
frame('the editor\'s loading screen', [[text, 0, 0, 6, 6, 17, 12]]);
for (const [what, over, most] of [['a grid over it', []], ['the same grid again', [], 0],
  ['a wall placed', [[keyed, 0, 0, 5, 5, 10, 10]], 3], ['the same grid with its wall', [[keyed, 0, 0, 5, 5, 10, 10]], 0],
  ['a blended picture over the strip', [[soft, 0, 0, 5, 5, 35, 5]]], ['again', [[soft, 0, 0, 5, 5, 35, 5]]],
  ['a faded cell over the strip', faded], ['again', faded], ['the black square filled again', [() => fill(black, 0xff000000)]],
  ['the black square given a blended picture', [blended]], ['the blended black square', []], ['again', []]]) {
  frame(what, grid(...over), most, null);
}

// Frames that each change the last at random: draws gone, moved, new, faded; some from a fill, some over the last.
let seed = 7, draws = level(9);
const random = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n, sources = [wall, hero, text, cell, keyed, soft, black];
for (let n = 0; n < 400; ++n) {
  draws = draws.filter(() => random(12)).map((d) => (random(10) ? d : [...d.slice(0, 5), random(W), random(H)]));
  while (random(3)) draws.splice(random(draws.length + 1), 0, [sources[random(sources.length)], random(2), random(2), 1 + random(5), 1 + random(5), random(W) - 2, random(H) - 2]);
  [hero, text, keyed].forEach((s) => (s.alpha = random(4) ? 255 : 128));
  frame(`random frame ${n}`, draws, Infinity, [0xffffff, 0, null, null][random(4)]);
}
process.exit();
