// The game page's ear for pads (see pads.cpp). Looking for pads, the browser
// polls them sixty times a second, about 2 % of a core: the page listens only
// while its picture stands still (loading, a menu, a level's start, a pause),
// and always once a pad showed itself, which a pad does at a pressed button.
var GloutoPads = (function() {
  var pads = {seen: false, came: false, looking: false, deaf: false, movingSince: null};
  pads.heard = function() { pads.seen = pads.came = true; };
  // The browser tells of a pad once: one that showed itself while the page
  // did not listen is found by asking, as the page listens again.
  function anyPad() {
    var list = navigator.getGamepads ? navigator.getGamepads() : [];
    for (var i = 0; i < list.length; ++i)
      if (list[i]) return true;
    return false;
  }
  pads.listen = function(on) {
    if (pads.looking === on) return;
    pads.looking = on;
    if (!on) {
      window.removeEventListener('gamepadconnected', pads.heard);
      pads.deaf = true;
      return;
    }
    window.addEventListener('gamepadconnected', pads.heard);
    if (pads.deaf && !pads.seen && anyPad()) pads.heard();
    pads.deaf = false;
  };
  if (typeof window !== 'undefined') pads.listen(true);
  return pads;
})();
