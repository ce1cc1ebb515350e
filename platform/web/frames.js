// The screen's frames, drawn lazily. A frame starts with a fill of the whole
// screen; while it is drawn as the last one was (the same marks, see
// marks.js), its draws wait. Once it strays, what waited is drawn and the
// screen as it stood is kept; the next frame that reaches that mark starts
// from the kept copy instead of drawing it all again: the walls and chests
// of a 1000-wide level are some 1300 draws a frame. Anything that touches
// another surface, or reads the screen, has what waits drawn first.
var GloutoFrames = {
  screen: null,       // the screen's entry in SDL.surfaces
  waiting: null,      // draws not made yet, or null when drawing at once
  waitingA: 0,        // the screen's mark once they are made
  waitingB: 0,
  shownA: undefined,  // the mark of what the screen's canvas holds
  shownB: undefined,
  marks: [],          // this frame's marks after each draw, two numbers each
  last: [],           // the last frame's
  kept: null,         // {canvas, ctx, markA, markB}: the screen at a mark
  keepFrom: 256,      // a copy of the whole screen costs about as many sprite draws
  longest: 8192,      // draws a frame followed

  // A new screen: nothing kept is of its size.
  start: function(screen) {
    var f = GloutoFrames;
    f.flush();
    Object.assign(f, {screen: screen, marks: [], last: [], kept: null});
    f.shown(undefined, undefined);
    f.watchSurfaces();
    var ctx = screen.ctx, read = ctx.getImageData, write = ctx.putImageData;
    ctx.getImageData = function() {
      f.flush();
      return read.apply(ctx, arguments);
    };
    // Pixels written behind the marks' back: the canvas holds no known mark.
    ctx.putImageData = function() {
      f.flush();
      f.shown(undefined, undefined);
      return write.apply(ctx, arguments);
    };
  },

  // Surfaces made or freed by the browser's SDL itself may reuse a canvas
  // a waiting draw reads.
  watchSurfaces: function() {
    if (GloutoFrames.watching) return;
    GloutoFrames.watching = true;
    ['makeSurface', 'freeSurface'].forEach(function(name) {
      var own = SDL[name];
      SDL[name] = function() {
        GloutoFrames.flush();
        return own.apply(SDL, arguments);
      };
    });
  },

  // `draw` puts on `target` what its mark now says, now or later; `source`
  // is what it reads, if a surface.
  draw: function(target, draw, wholeFill, source) {
    var f = GloutoFrames;
    if (target !== f.screen) {
      f.flush();
      draw();
      return;
    }
    if (source === f.screen) f.flush();
    if (wholeFill) {
      f.flush();
      f.last = f.marks;
      f.marks = [];
      f.waiting = [];
    }
    var a = target.markA, b = target.markB, i = f.marks.length;
    if (i < 2 * f.longest) f.marks.push(a, b);
    else f.flush();  // a screen never filled whole: no frames to compare
    if (f.waiting !== null) {
      var kept = f.kept;
      if (i > 0 && kept && kept.markA === a && kept.markB === b) {
        f.waiting = [f.fromKept];
        f.waitingA = a, f.waitingB = b;
        return;
      }
      if (f.last[i] === a && f.last[i + 1] === b) {
        f.waiting.push(draw);
        f.waitingA = a, f.waitingB = b;
        return;
      }
      f.flush();
      if (i >= 2 * f.keepFrom) f.keep(f.marks[i - 2], f.marks[i - 1]);
    }
    draw();
    f.shown(a, b);
  },

  // What the screen's canvas holds; nothing known after pixels written
  // behind the marks' back.
  shown: function(a, b) {
    GloutoFrames.shownA = a;
    GloutoFrames.shownB = b;
  },

  fromKept: function() {
    var ctx = GloutoFrames.screen.ctx;
    ctx.globalCompositeOperation = 'copy';
    ctx.drawImage(GloutoFrames.kept.canvas, 0, 0);
    ctx.globalCompositeOperation = 'source-over';
  },

  // Keeps a copy of the screen's canvas, which holds the mark (a, b).
  keep: function(a, b) {
    var f = GloutoFrames, screen = f.screen, kept = f.kept;
    if (kept && kept.markA === a && kept.markB === b) return;
    if (!kept || kept.canvas.width !== screen.width || kept.canvas.height !== screen.height) {
      var canvas = document.createElement('canvas');
      canvas.width = screen.width;
      canvas.height = screen.height;
      kept = f.kept = {canvas: canvas, ctx: canvas.getContext('2d')};
    }
    kept.ctx.globalCompositeOperation = 'copy';
    kept.ctx.drawImage(screen.canvas, 0, 0);
    kept.ctx.globalCompositeOperation = 'source-over';
    kept.markA = a;
    kept.markB = b;
  },

  // Draws what waits, but none if the canvas already holds what they make:
  // a frame drawn the same as the last.
  flush: function() {
    var f = GloutoFrames, waiting = f.waiting;
    if (waiting === null) return;
    f.waiting = null;
    if (!waiting.length) return;
    if (f.shownA !== f.waitingA || f.shownB !== f.waitingB) {
      for (var k = 0; k < waiting.length; ++k) waiting[k]();
    }
    f.shown(f.waitingA, f.waitingB);
  }
};
