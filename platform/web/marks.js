// What each surface shows, as a mark of the drawing that made it: a frame
// drawn the same as the last one (a menu redrawn at every pass) then leaves
// the page alone, which spares the browser a repaint. A surface drawn in a
// way not followed here gets a mark of its own, never equal to another.
var GloutoMarks = {
  count: 0,

  of: function(data) {
    if (data.mark === undefined) GloutoMarks.fresh(data);
    return data.mark;
  },

  fresh: function(data) { data.mark = 'u' + ++GloutoMarks.count; },

  // Two 32-bit FNV-1a hashes of the surface's mark and what was drawn on it.
  add: function(data, drawing) {
    var text = GloutoMarks.of(data) + '|' + drawing;
    var a = 0x811c9dc5, b = 0x01000193;
    for (var i = 0; i < text.length; ++i) {
      var c = text.charCodeAt(i);
      a = Math.imul(a ^ c, 0x01000193);
      b = Math.imul(b ^ c, 0x050c5d1f) ^ (a >>> 15);
    }
    data.mark = (a >>> 0) + ':' + (b >>> 0);
  },

  // An opaque fill of the whole surface leaves nothing of before.
  filled: function(data, colour) { data.mark = 'F' + (colour >>> 0) + ':' + data.width + 'x' + data.height; }
};
