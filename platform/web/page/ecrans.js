// The program's screens as the program tells them (platform/web/screens.cpp):
// each screen's name and what it offers, plates at their boxes or keys. Each
// becomes a page button that sends the program the click its plate takes or
// the key it stands for; a live region says each screen, and quitting a game
// asks first.
'use strict';

var Ecrans = {
  screen: '',
  plates: [],  // what the screen now showing offers
  PLATES: {},  // what each screen offered when it last showed, by its name
  over: false,
  listeners: [],

  // What the live region says of each screen, after the caption.
  SAID: {menu: 'Combien de joueurs ?', mode: "Mode d'emploi", debut: 'Le niveau va commencer.',
         pause: 'Touchez « Reprendre » pour continuer.',
         taille: 'Choisissez la largeur du niveau.', grille: 'La grille : touchez une case pour y mettre un mur.'},

  // Called from within the program: nothing of the page's may stop it.
  shown: function(screen, plates) {
    try {
      Ecrans.change(screen, plates);
    } catch (e) {
      console.error(e);
    }
  },

  change: function(screen, plates) {
    var was = Ecrans.screen;
    Ecrans.screen = screen;
    Ecrans.plates = plates;
    if (screen) Ecrans.PLATES[screen] = plates;
    document.body.dataset.ecran = screen;
    Ecrans.showPlates(screen, plates);
    if (screen === was) return;
    Ecrans.announce(screen);
    Ecrans.listeners.forEach(function(listener) { listener(screen, was); });
  },

  // The program's own click at the canvas's pixel (x, y), press and release.
  click: function(x, y) {
    var canvas = Module.canvas, box = canvas.getBoundingClientRect(), zoom = box.width / canvas.width;
    var at = {clientX: box.left + (x + 0.5) * zoom, clientY: box.top + (y + 0.5) * zoom, button: 0,
              bubbles: true, cancelable: true};
    canvas.dispatchEvent(new MouseEvent('mousedown', at));
    canvas.dispatchEvent(new MouseEvent('mouseup', at));
  },

  // A plate's choice: a click in the middle of its box, or its key.
  choose: function(plate) {
    if (!plate.w) return Commandes.tapKey(plate.key);
    Ecrans.click(plate.x + (plate.w >> 1), plate.y + (plate.h >> 1));
  },

  // A key pressed and released, as the page's button of that label sends it.
  tap: function(label) {
    Commandes.press(label);
    Commandes.release(label);
  },

  // The word a page button shows: the credits' way out says what follows it.
  wordOf: function(screen, plate) {
    if (screen === 'merci' && Module.gloutoNewGameNext) return 'Nouvelle partie';
    return plate.word;
  },

  // Keys the page holds a place for (the pads, the options) show there; the
  // other plates become buttons of the screen's row.
  showPlates: function(screen, plates) {
    var bar = document.getElementById('plaques');
    var hadFocus = bar.contains(document.activeElement) || document.activeElement === document.body;
    document.querySelectorAll('[data-place]').forEach(function(place) {
      place.classList.remove('offert');
      place.querySelectorAll('button[aria-label]').forEach(function(button) {
        if (Commandes.KEYS[button.getAttribute('aria-label')]) button.hidden = true;
      });
      if (!place.hidden && place.dataset.place) Ecrans.closeSheet(place);
    });
    bar.textContent = '';
    bar.removeAttribute('data-attente');
    plates.forEach(function(plate) {
      var spot = plate.w ? null : document.querySelector('[data-place] button[aria-label="' + plate.word + '"]');
      if (!spot) return bar.appendChild(Ecrans.button(screen, plate));
      spot.hidden = false;
      // A sheet's keys: its button takes the place of the first.
      var place = spot.closest('[data-place]');
      if (place.dataset.place && !place.classList.contains('offert')) bar.appendChild(Ecrans.opener(place));
      place.classList.add('offert');
    });
    // Which places show, for the page's layout (a second pad takes the other side).
    document.body.dataset.offert = [].map.call(document.querySelectorAll('[data-place].offert'),
                                               function(place) { return place.id; }).join(' ');
    bar.hidden = !bar.querySelector('button:not([hidden])');
    if (Glouto.fit) requestAnimationFrame(Glouto.fit);
    // A keyboard player's focus follows the screen; play keeps it on the maze.
    var steered = plates.some(function(plate) { return plate.key === 'ArrowUp'; });
    var first = !steered && bar.querySelector('button:not([hidden])');
    if (hadFocus && !Ecrans.asking && !document.body.classList.contains('tactile')) (first || Module.canvas).focus();
  },

  button: function(screen, plate) {
    var button = document.createElement('button'), word = Ecrans.wordOf(screen, plate);
    button.type = 'button';
    button.className = 'plaque';
    button.textContent = word;
    button.setAttribute('aria-label', word);
    // A tap's click comes after its lift: one that went down on the button this
    // plate replaced is not a choice of this plate.
    button.addEventListener('pointerdown', function() { Ecrans.downOn = button; });
    button.addEventListener('click', function(e) {
      if (e.detail && Ecrans.downOn !== button) return;
      if (plate.key === 'Escape' && Ecrans.playing()) return Ecrans.quitGame();
      Ecrans.choose(plate);
    });
    Ecrans.keepKeys(button);
    return button;
  },

  // The button that opens a sheet of keys (the options), named by the sheet.
  opener: function(sheet) {
    var button = document.createElement('button');
    button.type = 'button';
    button.className = 'plaque';
    button.textContent = sheet.dataset.place;
    button.setAttribute('aria-label', sheet.dataset.place);
    button.setAttribute('aria-haspopup', 'dialog');
    button.addEventListener('click', function() { Ecrans.openSheet(sheet, button); });
    Ecrans.keepKeys(button);
    return button;
  },

  openSheet: function(sheet, from) {
    sheet.hidden = false;
    Ecrans.sheetFrom = from;
    sheet.querySelector('button:not([hidden])').focus();
    if (sheet.onOpen) sheet.onOpen();
  },

  closeSheet: function(sheet) {
    sheet.hidden = true;
    if (sheet.onClose) sheet.onClose();
    var from = Ecrans.sheetFrom;
    Ecrans.sheetFrom = null;
    if (from && document.contains(from)) from.focus();
  },

  playing: function() { return Ecrans.screen === 'jeu' || Ecrans.screen === 'pause'; },

  // Enter and Space on a page button press the button, not the program's keys.
  keepKeys: function(element) {
    ['keydown', 'keyup', 'keypress'].forEach(function(type) {
      element.addEventListener(type, function(e) {
        if (e.key === 'Enter' || e.key === ' ') e.stopPropagation();
      });
    });
  },

  announce: function(screen) {
    if (!screen) return;
    var said = document.title + (Ecrans.SAID[screen] ? ' ' + Ecrans.SAID[screen] : '');
    if (screen === 'fin') said += ' ' + Ecrans.score();
    Ecrans.say(said);
  },

  say: function(text) { document.getElementById('annonce').textContent = text; },

  // The end screen's score, as the program wrote it.
  score: function() {
    for (var key in SDL.surfaces) {
      var source = SDL.surfaces[key] && SDL.surfaces[key].source;
      if (source && source.indexOf('text:Votre score') === 0) return source.slice(5) + '.';
    }
    return '';
  },

  // A question over the page; `no` also on Escape.
  ask: function(question, yesLabel, noLabel, yes, no) {
    var box = document.getElementById('demande');
    var buttons = box.querySelectorAll('button');
    var back = document.activeElement;
    document.getElementById('question').textContent = question;
    buttons[0].textContent = yesLabel;
    buttons[1].textContent = noLabel;
    Ecrans.asking = function(answer) {
      Ecrans.asking = null;
      box.hidden = true;
      if (back && back.focus && document.contains(back)) back.focus();
      (answer ? yes : no || function() {})();
    };
    box.hidden = false;
    buttons[1].focus();
  },

  wireQuestion: function() {
    var box = document.getElementById('demande');
    var buttons = box.querySelectorAll('button');
    buttons[0].addEventListener('click', function() { if (Ecrans.asking) Ecrans.asking(true); });
    buttons[1].addEventListener('click', function() { if (Ecrans.asking) Ecrans.asking(false); });
    box.addEventListener('keydown', function(e) {
      if (e.key === 'Escape' && Ecrans.asking) Ecrans.asking(false);
      if (e.key !== 'Tab') e.stopPropagation();
    });
    ['keyup', 'keypress'].forEach(function(type) {
      box.addEventListener(type, function(e) { e.stopPropagation(); });
    });
  },

  // The game's "Quitter": play pauses while the player answers, and goes on
  // exactly where it was on "Non, continuer". The answer's key waits for the
  // pause to show: on two screens a key reaches the game some frames after
  // it was pressed, and one that came before the pause would wait behind it.
  quitGame: function() {
    var paused = Ecrans.screen === 'jeu';
    if (paused) Ecrans.tap('Pause');
    var once = function(act) {
      return function() { Ecrans.inPause(paused, act); };
    };
    Ecrans.ask('Quitter la partie ?', 'Oui, quitter', 'Non, continuer', once(function() {
      Ecrans.tap('Quitter');
    }), once(function() {
      if (paused) Ecrans.tap('Pause');
    }));
  },

  inPause: function(paused, act) {
    if (!paused || Ecrans.screen === 'pause') return act();
    Ecrans.listeners.push(function shown(screen) {
      if (screen !== 'pause') return;
      Ecrans.listeners.splice(Ecrans.listeners.indexOf(shown), 1);
      act();
    });
  },

  start: function() {
    Ecrans.wireQuestion();
    // Tab moves between the page's buttons: the browser's SDL would keep it.
    window.addEventListener('keydown', function(e) {
      if (e.key === 'Tab') e.stopPropagation();
    }, true);
    Module.onScreen = Ecrans.shown;
    var ended = Glouto.ended;
    Glouto.ended = function() {
      Ecrans.over = true;
      Ecrans.shown('', []);
      ended();
    };
  }
};
