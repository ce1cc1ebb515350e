// The page's buttons that stand for keys: the touch pads, the game's and the
// editor's buttons. Each sends the program what its key would, down while
// pressed and up when released, so the programs never know the difference.
'use strict';

var Commandes = {
  // aria-label -> the key the button stands for (KeyboardEvent fields).
  KEYS: {
    'Haut': {key: 'ArrowUp', code: 'ArrowUp', keyCode: 38},
    'Bas': {key: 'ArrowDown', code: 'ArrowDown', keyCode: 40},
    'Gauche': {key: 'ArrowLeft', code: 'ArrowLeft', keyCode: 37},
    'Droite': {key: 'ArrowRight', code: 'ArrowRight', keyCode: 39},
    'Haut joueur 2': {key: 'w', code: 'KeyW', keyCode: 87},
    'Bas joueur 2': {key: 's', code: 'KeyS', keyCode: 83},
    'Gauche joueur 2': {key: 'a', code: 'KeyA', keyCode: 65},
    'Droite joueur 2': {key: 'd', code: 'KeyD', keyCode: 68},
    'Pause': {key: 'p', code: 'KeyP', keyCode: 80},
    'Reprendre': {key: 'p', code: 'KeyP', keyCode: 80},
    'Recommencer': {key: 'Enter', code: 'Enter', keyCode: 13},
    'Musique': {key: ' ', code: 'Space', keyCode: 32},
    'Piste suivante': {key: 'F1', code: 'F1', keyCode: 112},
    'Piste précédente': {key: 'F2', code: 'F2', keyCode: 113},
    // The browser's SDL takes these key codes as the keys '6' and '='.
    'Moins fort': {key: '6', code: 'Digit6', keyCode: 54},
    'Plus fort': {key: '=', code: 'Equal', keyCode: 61},
    'Tout effacer': {key: 'Backspace', code: 'Backspace', keyCode: 8},
    'Quitter': {key: 'Escape', code: 'Escape', keyCode: 27},
    'Enregistrer': {key: 'Enter', code: 'Enter', keyCode: 13}
  },

  send: function(type, key) {
    var fields = Object.assign({bubbles: true, which: key.keyCode}, key);
    document.dispatchEvent(new KeyboardEvent(type, fields));
  },

  // Any other source of the same keys (a gamepad) goes through here too.
  press: function(label) { Commandes.send('keydown', Commandes.KEYS[label]); },
  release: function(label) { Commandes.send('keyup', Commandes.KEYS[label]); },

  // The key a screen offers, by its KeyboardEvent.key, pressed and released.
  tapKey: function(name) {
    for (var label in Commandes.KEYS) {
      if (Commandes.KEYS[label].key !== name) continue;
      Commandes.press(label);
      return Commandes.release(label);
    }
  },

  wire: function(button) {
    var label = button.getAttribute('aria-label');
    var held = false;
    var up = function() {
      if (held) Commandes.release(label);
      held = false;
    };
    button.addEventListener('pointerdown', function(e) {
      e.preventDefault();  // no focus taken from the game, no text selected
      if (button.setPointerCapture) button.setPointerCapture(e.pointerId);
      if (!held) Commandes.press(label);
      held = true;
    });
    ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function(type) {
      button.addEventListener(type, up);
    });
    button.addEventListener('contextmenu', function(e) { e.preventDefault(); });
  },

  // Touch screens get the touch controls and instructions; a computer its
  // keyboard, with the same buttons for the mouse. Asked again as the page
  // changes (a tablet's keyboard, a browser's device mode).
  touchScreen: function() {
    return navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
  },

  feel: function() {
    var touch = Commandes.touchScreen();
    if (touch === document.body.classList.contains('tactile')) return;
    document.body.classList.toggle('tactile', touch);
    if (Glouto.fit) requestAnimationFrame(Glouto.fit);
  },

  // A page button keeps no focus: Space or Entrée meant for the game would
  // press it again.
  giveBackKeys: function(button) {
    button.blur();
    if (window.Module && Module.canvas) Module.canvas.focus();
  },

  fullScreen: function() {
    var button = document.getElementById('plein-ecran');
    if (!button) return;
    button.hidden = !document.fullscreenEnabled;
    button.addEventListener('click', function() {
      Commandes.giveBackKeys(button);
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(function() {});
    });
  },

  // The options sheet: the music's state said on its button while it is open.
  options: function() {
    var sheet = document.getElementById('options');
    if (!sheet) return;
    var music = sheet.querySelector('button[aria-label="Musique"]'), watch = null;
    var show = function() {
      var audio = window.Module && Module.gloutoMusic && Module.gloutoMusic.audio;
      var on = Boolean(audio && !audio.paused);
      music.setAttribute('aria-pressed', String(on));
    };
    sheet.onOpen = function() { show(); watch = setInterval(show, 250); };
    sheet.onClose = function() { clearInterval(watch); };
    document.getElementById('fermer').addEventListener('click', function() { Ecrans.closeSheet(sheet); });
    sheet.addEventListener('keydown', function(e) {
      if (e.key === 'Escape') Ecrans.closeSheet(sheet);
      if (e.key !== 'Tab') e.stopPropagation();
    });
  },

  start: function() {
    document.querySelectorAll('button[aria-label]').forEach(function(button) {
      // A button that asks first sends its key once answered.
      if (Commandes.KEYS[button.getAttribute('aria-label')] && !button.hasAttribute('data-demande')) {
        Commandes.wire(button);
      }
    });
    Commandes.feel();
    window.addEventListener('resize', Commandes.feel);
    Commandes.fullScreen();
    Commandes.options();
  }
};

Commandes.start();
