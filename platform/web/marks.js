// What each surface shows, as a mark of the drawing that made it: a frame
// drawn the same as the last one (a menu redrawn at every pass) then leaves
// the page alone, which spares the browser a repaint. A surface drawn in a
// way not followed here gets a mark of its own, never equal to another.
// Marks are two 32-bit numbers: a level draws a thousand walls a frame.
var GloutoMarks = {
  count: 0,

  of: function(data) {
    if (data.markA === undefined) GloutoMarks.fresh(data);
  },

  fresh: function(data) {
    data.markA = ++GloutoMarks.count;
    data.markB = 0x6e6577;
  },

  lanes: new Int32Array(2),

  mix: function(lanes, v) {
    lanes[0] = Math.imul(lanes[0] ^ v, 0x01000193);
    lanes[1] = Math.imul(lanes[1] ^ v ^ (lanes[0] >>> 15), 0x050c5d1f);
  },

  // The surface's mark mixed with what was drawn on it (up to six numbers).
  add: function(data, p0, p1, p2, p3, p4, p5) {
    GloutoMarks.of(data);
    var lanes = GloutoMarks.lanes, mix = GloutoMarks.mix;
    lanes[0] = data.markA;
    lanes[1] = data.markB;
    mix(lanes, p0 | 0); mix(lanes, p1 | 0); mix(lanes, p2 | 0);
    mix(lanes, p3 | 0); mix(lanes, p4 | 0); mix(lanes, p5 | 0);
    data.markA = lanes[0];
    data.markB = lanes[1];
  },

  // An opaque fill of the whole surface leaves nothing of before.
  filled: function(data, colour) {
    data.markA = 0x66696c6c;
    data.markB = 0;
    GloutoMarks.add(data, colour, data.width, data.height);
  },

  same: function(shown, data) {
    GloutoMarks.of(data);
    return shown.shownA === data.markA && shown.shownB === data.markB;
  }
};
