// The screen's lazy frames (platform/web/frames.js) against canvases that
// record what they hold: after each flip the screen must hold exactly what
// the frame drew, in order, with each source as it was when drawn.
'use strict';

const [fs, path, vm] = ['fs', 'path', 'vm'].map(require);

function canvas() {
  const c = {width: 600, height: 600, draws: 0};
  c.ctx = {log: [], globalAlpha: 1, globalCompositeOperation: 'source-over', save() {}, restore() {},
           fillRect() { this.log = [this.fillStyle]; },
           drawImage(source, x) {
             this.log = this.globalCompositeOperation === 'copy' ? [...source.ctx.log] :
                 [...this.log, `${source.ctx.log.join('+')}@${x}`], ++c.draws;
           },
           getImageData() { return this.log.join(); }, putImageData() {}};
  return Object.assign(c, {getContext: () => c.ctx});
}
const made = {SDL: {makeSurface() {}, freeSurface() {}}, document: {createElement: canvas}};
vm.createContext(made);
for (const file of ['marks.js', 'frames.js']) {
  vm.runInContext(fs.readFileSync(path.join(__dirname, '../../platform/web', file), 'utf8'), made);
}
const {GloutoMarks: marks, GloutoFrames: frames} = made;
frames.keepFrom = 8;  // frames of 20 draws here, not 1300

const surface = (content, c = canvas()) =>
  ({canvas: c, ctx: Object.assign(c.ctx, {log: content ? [content] : []}), alpha: 255, width: 600, height: 600});
const screen = surface();
frames.start(screen);
let expected = [];
const fill = (target, colour) => {
  marks.filled(target, colour);
  if (target === screen) expected = [`#${colour}`];
  frames.draw(target, () => { target.ctx.fillStyle = `#${colour}`; target.ctx.fillRect(); }, true);
};
const blit = (source, x) => {
  marks.of(source);
  marks.add(screen, source.markA, source.markB, 255, 0, 0, x);
  expected.push(`${source.ctx.log.join('+')}@${x}`);
  frames.draw(screen, () => screen.ctx.drawImage(source.canvas, x));
};
let failed = 0;
function frame(what, draw, mostDraws) {
  const before = screen.canvas.draws;
  fill(screen, 'fff');
  draw();
  frames.flush();
  const drawn = screen.canvas.draws - before;
  const ok = screen.ctx.log.join() === expected.join() && !(drawn > mostDraws);
  failed += !ok;
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what} (${drawn} draws)`);
}

const [wall, hero, chest] = ['wall', 'hero', 'chest'].map((name) => surface(name));
const walls = (except) => { for (let x = 0; x < 20; ++x) blit(x === except ? chest : wall, x); };
frame('a first frame', () => { walls(); blit(hero, 100); });
frame('the hero moved', () => { walls(); blit(hero, 105); });
frame('the walls from the kept copy', () => { walls(); blit(hero, 110); }, 2);
frame('a wall changed before the kept point', () => { walls(5); blit(hero, 110); });
frame('the same frame again, drawn by none', () => { walls(5); blit(hero, 110); }, 0);
frame('a source changed while its draw waited', () => {
  walls(5);
  fill(wall, '0a0');  // the program redraws the wall's picture mid-frame
  blit(wall, 200);
  blit(hero, 115);
});
frame('the wall redrawn', () => { walls(5); blit(hero, 120); });
frame('a surface freed while draws waited', () => {
  walls(5);
  made.SDL.freeSurface();
  wall.ctx.log = ['reused'];  // the browser's SDL hands the canvas on
  marks.fresh(wall);
  blit(hero, 125);
});
process.exit(failed ? 1 : 0);
