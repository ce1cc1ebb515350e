// A game is not lost by leaving its page. Hidden (another app, the screen
// locked), play pauses and stays paused until "Reprendre"; Escape in play
// asks as "Quitter" does (it also leaves full screen: one press too many
// would end the game); and the browser asks before a page with a game on
// is left.
'use strict';

var Garde = {
  PLAYING: {debut: true, jeu: true, pause: true},
  paused: false,  // a pause sent and not yet shown: a second would undo it

  hidden: function() {
    if (Ecrans.screen !== 'jeu' || Garde.paused || Ecrans.asking) return;
    Garde.paused = true;
    Ecrans.tap('Pause');
  },

  // The player's own Escape only: the page's buttons send theirs once answered.
  key: function(e) {
    if (e.key !== 'Escape' || !e.isTrusted || !Ecrans.playing() || Ecrans.asking) return;
    e.stopImmediatePropagation();
    e.preventDefault();
    if (e.type === 'keydown' && !e.repeat) Ecrans.quitGame();
  },

  leaving: function(e) {
    e.preventDefault();
    e.returnValue = '';
  },

  // Only while a game is on: a page that asks is kept out of some browsers' back-forward cache.
  screen: function(screen) {
    Garde.paused = false;
    var on = Boolean(Garde.PLAYING[screen]);
    window[on ? 'addEventListener' : 'removeEventListener']('beforeunload', Garde.leaving);
  },

  start: function() {
    document.addEventListener('visibilitychange', function() { if (document.hidden) Garde.hidden(); });
    window.addEventListener('pagehide', Garde.hidden);
    window.addEventListener('keydown', Garde.key, true);
    window.addEventListener('keyup', Garde.key, true);
    Ecrans.listeners.push(Garde.screen);
  }
};
