// The game page's ear for pads (see pads.cpp). A browser shows a pad at a
// pressed button, and only while a page listens for pads or has asked for
// them: it then polls them sixty times a second, about 2 % of a core. The
// page listens from its load, while its picture stands still (a menu, a
// level's start, a pause), and always once a pad showed itself. In play it
// asks instead, at each pass until a pad shows: a pad first pressed there is
// announced to no one, and an event missed is not fired again.
var GloutoPads = (function() {
  var pads = {seen: false, came: false, looking: false, movingSince: null};
  pads.heard = function() { pads.seen = pads.came = true; };
  function ask() {
    var list = navigator.getGamepads ? navigator.getGamepads() : [];
    for (var i = 0; i < list.length; ++i)
      if (list[i]) return pads.heard();
  }
  pads.listen = function(on) {
    if (!on) ask();
    if (pads.looking === on) return;
    pads.looking = on;
    window[on ? 'addEventListener' : 'removeEventListener']('gamepadconnected', pads.heard);
  };
  if (typeof window !== 'undefined') pads.listen(true);
  return pads;
})();
