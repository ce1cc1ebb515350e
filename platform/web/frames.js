// The screen's frames, drawn lazily. A frame starts with an opaque fill of
// the whole screen; its draws are only noted, in a list, until something
// needs the pixels: the flip, a read of the screen, a change to any other
// surface (a noted draw may read it). The list is then compared with the one
// the canvas holds, and only where they differ is the canvas drawn again,
// then copied to the page: of a 1000-wide level's 1300 draws a frame, the
// hero, a chest and the counters change. Draws are compared by what they
// draw, the source's mark (see marks.js) and the rectangles.
//
// A frame may also be drawn over the last without a fill (the editor draws
// its 960 cells so, every 50 ms). Its list then goes on top of what the
// canvas holds, which is exact only while each of its draws is solid: each
// pixel taken whole or left, never blended, so that a draw made twice leaves
// what it left once. Such lists are compared the same way; a draw that is not
// solid is made at once, as any draw on a screen not followed.
var GloutoFrames = {
  screen: null,     // the screen's entry in SDL.surfaces
  lists: [],        // two lists, in turn the one held and the one drawing
  list: null,       // the screen's draws since its last whole fill; null: not followed
  held: null,       // the list whose first `heldLength` draws the canvas holds; null: unknown
  heldLength: 0,
  pending: false,   // draws noted and not made
  dirty: [],        // where the lists differ, four numbers a rectangle
  changed: [],      // where the screen changed since the page's copy
  changedAll: true,
  longest: 8192,    // draws a frame followed
  lookAhead: 32,    // draws of the held list passed over at most to find one again
  stride: 10,       // kind (0 fill, 1 draw), markA, markB, alpha or colour, sx, sy, w, h, x, y
  // A list's onTop: drawn over what the canvas held, not from a fill. Its
  // endA, endB: the screen's mark once the canvas held the list.

  // A new screen: nothing is known of its canvas.
  start: function(screen) {
    var f = GloutoFrames;
    f.flush();
    f.screen = screen;
    f.lists = [f.newList(), f.newList()];
    f.lost();
    f.watchSurfaces();
    var ctx = screen.ctx, read = ctx.getImageData, write = ctx.putImageData;
    ctx.getImageData = function() {
      f.flush();
      return read.apply(ctx, arguments);
    };
    ctx.putImageData = function() {
      f.writing(screen);
      return write.apply(ctx, arguments);
    };
  },

  newList: function() {
    return {n: 0, nums: new Int32Array(64 * GloutoFrames.stride), things: [], onTop: false};
  },

  // Pixels about to be written on `surface` behind the lists' back: what
  // waits is drawn first, and a screen so written is drawn whole next time.
  writing: function(surface) {
    GloutoFrames.flush();
    if (surface === GloutoFrames.screen) GloutoFrames.lost();
  },

  lost: function() {
    var f = GloutoFrames;
    f.list = f.held = null;
    f.changedAll = true;
    if (f.screen) GloutoMarks.fresh(f.screen);
  },

  // Surfaces made or freed by the browser's SDL itself may reuse a canvas
  // a noted draw reads.
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

  // `source`'s canvas drawn on `target`, both entries of SDL.surfaces.
  blit: function(target, source, sx, sy, w, h, x, y) {
    GloutoFrames.note(target, 1, source.markA, source.markB, source.alpha, sx, sy, w, h, x, y,
                      source.canvas, false, GloutoFrames.solid(source));
  },

  // A fill of `colour` (drawn as the CSS `style`); `whole` if opaque and whole.
  fill: function(target, colour, style, x, y, w, h, whole) {
    var alpha = colour >>> 24;
    GloutoFrames.note(target, 0, colour, 0, colour, 0, 0, w, h, x, y, style, whole,
                      alpha === 255 || alpha === 0);
    if (whole) target.opaqueA = target.markA, target.opaqueB = target.markB;
  },

  // Whether every pixel of `source` is opaque or clear: surfaces as a whole
  // opaque fill left them, and pictures as decoded (a copy's or a keyed
  // one's pixels are its picture's, or clear), looked at once each.
  solid: function(source) {
    if (source.alpha !== 255) return false;
    if (source.markA === source.opaqueA && source.markB === source.opaqueB) return true;
    var picture = source.picture || source;
    if (!picture.image || picture.drawnOn) return false;
    if (picture.solid === undefined) {
      var px = picture.image.data, solid = true;
      for (var i = 3; i < px.length && solid; i += 4) solid = px[i] === 255 || px[i] === 0;
      picture.solid = solid;
    }
    return picture.solid;
  },

  // A draw on the screen is noted; any other is made at once, after what
  // waits. A screen that reads itself cannot wait.
  note: function(target, kind, markA, markB, value, sx, sy, w, h, x, y, thing, whole, solid) {
    var f = GloutoFrames, screen = f.screen;
    if (target !== screen || thing === screen.canvas) {
      f.writing(target);
      f.play(target.ctx, kind, value, sx, sy, w, h, x, y, thing);
      return;
    }
    if (whole || (f.list === null && solid)) {  // a new list, never the one the canvas holds
      f.list = f.lists[f.held === f.lists[0] ? 1 : 0];
      f.list.n = 0;
      f.list.onTop = !whole;
    } else if (f.list === null && f.held !== null && f.heldLength === f.held.n) {
      f.list = f.held;  // on from the frame shown
    }
    var list = f.list;
    if (list === null || list.n >= f.longest || (list.onTop && !solid)) {  // draw at once
      f.flush();
      f.play(target.ctx, kind, value, sx, sy, w, h, x, y, thing);
      f.list = f.held = null;
      f.addChanged(x, y, w, h);
      return;
    }
    f.record(list, kind, markA, markB, value, sx, sy, w, h, x, y, thing);
    f.pending = true;
  },

  record: function(list, kind, markA, markB, value, sx, sy, w, h, x, y, thing) {
    var s = GloutoFrames.stride, at = list.n * s, nums = list.nums;
    if (at + s > nums.length) {
      var grown = new Int32Array(nums.length * 2);
      grown.set(nums);
      nums = list.nums = grown;
    }
    nums[at] = kind, nums[at + 1] = markA, nums[at + 2] = markB, nums[at + 3] = value;
    nums[at + 4] = sx, nums[at + 5] = sy, nums[at + 6] = w, nums[at + 7] = h;
    nums[at + 8] = x, nums[at + 9] = y;
    list.things[list.n++] = thing;
  },

  play: function(ctx, kind, value, sx, sy, w, h, x, y, thing) {
    if (kind === 0) {
      ctx.fillStyle = thing;
      ctx.fillRect(x, y, w, h);
      return;
    }
    ctx.globalAlpha = value / 255;
    ctx.drawImage(thing, sx, sy, w, h, x, y, w, h);
    ctx.globalAlpha = 1;
  },

  playAt: function(ctx, list, k) {
    var n = list.nums, at = k * GloutoFrames.stride;
    GloutoFrames.play(ctx, n[at], n[at + 3], n[at + 4], n[at + 5], n[at + 6], n[at + 7],
                      n[at + 8], n[at + 9], list.things[k]);
  },

  // Makes the noted draws: on top of what the canvas holds if the list goes
  // on from it, else again where the lists differ.
  flush: function() {
    var f = GloutoFrames, list = f.list, held = f.held;
    if (!f.pending) return;
    f.pending = false;
    var ctx = f.screen.ctx, at = f.stride * f.heldLength, n = list.nums;
    if (held === list) {
      for (var k = f.heldLength; k < list.n; ++k, at += f.stride) {
        f.playAt(ctx, list, k);
        f.addChanged(n[at + 8], n[at + 9], n[at + 6], n[at + 7]);
      }
    } else if (held !== null && f.compare(held, f.heldLength, list)) {
      f.redraw(ctx, list, f.dirty);
      for (var r = 0; r < f.dirty.length; r += 4) {
        f.addChanged(f.dirty[r], f.dirty[r + 1], f.dirty[r + 2], f.dirty[r + 3]);
      }
      // Drawn over itself, the same frame leaves the canvas as it was.
      if (list.onTop && f.dirty.length === 0 && f.heldLength === list.n) {
        f.screen.markA = held.endA;
        f.screen.markB = held.endB;
      }
    } else {
      f.redraw(ctx, list, null);
      f.changedAll = true;
    }
    f.held = list;
    f.heldLength = list.n;
    list.endA = f.screen.markA;
    list.endB = f.screen.markB;
  },

  same: function(a, i, b, k) {
    var s = GloutoFrames.stride;
    for (var at = i * s, bt = k * s, end = at + s; at < end; ++at, ++bt) {
      if (a[at] !== b[bt]) return false;
    }
    return true;
  },

  // Gathers in `dirty` the rectangles of the draws of one list that the
  // other has not, in the same order; false if they cover half the screen,
  // where drawing it all again costs less.
  compare: function(held, heldLength, list) {
    var f = GloutoFrames, a = held.nums, b = list.nums, s = f.stride;
    var dirty = f.dirty, area = 0, most = f.screen.width * f.screen.height / 2;
    dirty.length = 0;
    function add(nums, k) {
      var at = k * s + 6;
      dirty.push(nums[at + 2], nums[at + 3], nums[at], nums[at + 1]);
      area += nums[at] * nums[at + 1];
    }
    var j = 0;
    for (var k = 0; k < list.n && area < most; ++k) {
      if (j < heldLength && f.same(a, j, b, k)) {
        ++j;
        continue;
      }
      var found = -1, last = Math.min(heldLength, j + 1 + f.lookAhead);
      for (var t = j + 1; t < last && found < 0; ++t) {
        if (f.same(a, t, b, k)) found = t;
      }
      if (found < 0) {
        add(b, k);  // a new draw
        continue;
      }
      for (; j < found; ++j) add(a, j);  // draws gone
      ++j;
    }
    for (; j < heldLength && area < most; ++j) add(a, j);
    return area < most;
  },

  // Draws the list again, only within `dirty` if given.
  redraw: function(ctx, list, dirty) {
    var f = GloutoFrames, n = list.nums, s = f.stride;
    ctx.save();
    if (dirty) {
      ctx.beginPath();
      for (var r = 0; r < dirty.length; r += 4) ctx.rect(dirty[r], dirty[r + 1], dirty[r + 2], dirty[r + 3]);
      ctx.clip();
    }
    for (var k = 0; k < list.n; ++k) {
      var at = k * s;
      if (!dirty || f.meets(n[at + 8], n[at + 9], n[at + 6], n[at + 7], dirty)) f.playAt(ctx, list, k);
    }
    ctx.restore();
  },

  meets: function(x, y, w, h, rects) {
    for (var r = 0; r < rects.length; r += 4) {
      if (x < rects[r] + rects[r + 2] && rects[r] < x + w && y < rects[r + 1] + rects[r + 3] &&
          rects[r + 1] < y + h) {
        return true;
      }
    }
    return false;
  },

  addChanged: function(x, y, w, h) {
    var f = GloutoFrames, screen = f.screen;
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    w = Math.min(w, screen.width - x);
    h = Math.min(h, screen.height - y);
    if (f.changedAll || w <= 0 || h <= 0) return;
    if (f.changed.length >= 4 * 64) f.changedAll = true;  // one whole copy costs less
    else f.changed.push(x, y, w, h);
  },

  // Copies onto the page's canvas what changed on the screen since the last
  // copy; false if the page already shows it.
  show: function(page) {
    var f = GloutoFrames, screen = f.screen, changed = f.changed;
    f.flush();
    f.list = null;  // a draw now starts a frame, or goes on from this one
    var same = GloutoMarks.same(page, screen);
    if (!same) {
      page.shownA = screen.markA;
      page.shownB = screen.markB;
      if (f.changedAll) {
        page.ctx.drawImage(screen.canvas, 0, 0);
      } else {
        for (var r = 0; r < changed.length; r += 4) {
          var x = changed[r], y = changed[r + 1], w = changed[r + 2], h = changed[r + 3];
          page.ctx.drawImage(screen.canvas, x, y, w, h, x, y, w, h);
        }
      }
    }
    changed.length = 0;
    f.changedAll = false;
    return !same;
  }
};
