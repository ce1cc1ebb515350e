// The program's screens as the page knows them: by the window's caption, and
// where screens share one (the menu, its instructions, a level's start) by
// the file picture the frame shows. Each screen's plates come as page buttons
// that send the program the click its plate takes, a live region says each
// screen, and quitting a game or a grid asks first.
'use strict';

var Ecrans = {
  screen: '',
  caption: '',
  picture: '',
  over: false,
  listeners: [],

  // A plate: its word, then its box from the window's centre (x, y, w; 40
  // high), or the key it stands for on a screen without plates.
  PLATES: {
    menu: [['1 joueur', -45, -25, 90], ['2 joueurs', -55, 25, 110], ["Mode d'emploi", -83, -200, 165]],
    mode: [['Retour', -40, 250, 80]],
    debut: [['Commencer', -63, 60, 125]],  // at height - 240: the window is 600 high
    fin: [['Recommencer', 'Entrée'], ['Quitter', 'Quitter']],
    merci: [['Quitter', -46, -200, 93]],
    taille: [['Niveau 1', -50, -100, 100], ['Niveau 2', -50, -50, 100], ['Niveau 3', -50, 0, 100],
             ['Niveau 4', -50, 50, 100], ['Plus que 4', -55, 100, 110]]
  },

  // What the live region says of screens that share a caption.
  SAID: {menu: 'Combien de joueurs ?', mode: "Mode d'emploi", debut: 'Le niveau va commencer.',
         taille: 'Choisissez la largeur du niveau.', grille: 'La grille : touchez une case pour y mettre un mur.'},

  which: function() {
    var c = Ecrans.caption, canvas = Module.canvas;
    if (Ecrans.over) return '';
    if (Glouto.program === 'editor') {
      if (!canvas.width) return '';
      return canvas.width === 400 && canvas.height === 400 ? 'taille' : 'grille';
    }
    if (c === 'Bienvenue dans le monde du Glouto !') {
      if (/ModeEmploi|Readme/.test(Ecrans.picture)) return 'mode';
      return /gloutofond/.test(Ecrans.picture) ? 'debut' : 'menu';
    }
    if (/ Niveau [0-9]+ PAUSE$/.test(c)) return 'pause';
    if (/ Niveau [0-9]+$/.test(c)) return 'jeu';
    if (c === 'Felicitation !!! :)' || c === 'Oh dommage ... :(') return 'fin';
    return c === 'Remerciements ...' ? 'merci' : '';
  },

  // Called from within the program: nothing of the page's may stop it.
  update: function() {
    try {
      Ecrans.change(Ecrans.which());
    } catch (e) {
      console.error(e);
    }
  },

  change: function(screen) {
    if (screen === Ecrans.screen) return;
    var was = Ecrans.screen;
    Ecrans.screen = screen;
    document.body.dataset.ecran = screen;
    Ecrans.showPlates(screen);
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

  choose: function(plate) {
    if (typeof plate[1] === 'string') return Ecrans.tap(plate[1]);
    var canvas = Module.canvas;
    Ecrans.click(canvas.width / 2 + plate[1] + (plate[3] >> 1), canvas.height / 2 + plate[2] + 20);
  },

  // A key pressed and released, as the touch bar's button of that label sends it.
  tap: function(label) {
    Commandes.press(label);
    Commandes.release(label);
  },

  showPlates: function(screen) {
    var bar = document.getElementById('plaques');
    var hadFocus = bar.contains(document.activeElement) || document.activeElement === document.body;
    bar.textContent = '';
    bar.removeAttribute('data-attente');
    (Ecrans.PLATES[screen] || []).forEach(function(plate) {
      var button = document.createElement('button');
      button.type = 'button';
      button.className = 'plaque';
      button.textContent = plate[0];
      button.setAttribute('aria-label', plate[0]);
      // A tap's click comes after its lift: one that went down on the button this
      // plate replaced (the editor's "Enregistrer") is not a choice of this plate.
      button.addEventListener('pointerdown', function() { Ecrans.downOn = button; });
      button.addEventListener('click', function(e) {
        if (e.detail && Ecrans.downOn !== button) return;
        Ecrans.choose(plate);
      });
      Ecrans.keepKeys(button);
      bar.appendChild(button);
    });
    bar.hidden = !bar.firstChild;
    // Escape does nothing on the credits: the touch bar's own button goes.
    document.body.classList.toggle('sans-echap', screen === 'merci' || screen === 'fin');
    if (Glouto.fit) requestAnimationFrame(Glouto.fit);
    // A keyboard player's focus follows the screen.
    if (hadFocus && !Ecrans.asking) (bar.firstChild || Module.canvas).focus();
  },

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
    var said = Ecrans.caption + (Ecrans.SAID[screen] ? ' ' + Ecrans.SAID[screen] : '');
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
  // exactly where it was on "Non, continuer".
  quitGame: function() {
    var paused = Ecrans.screen === 'jeu';
    if (paused) Ecrans.tap('Pause');
    Ecrans.ask('Quitter la partie ?', 'Oui, quitter', 'Non, continuer', function() {
      Ecrans.tap('Quitter');
    }, function() {
      if (paused) Ecrans.tap('Pause');
    });
  },

  start: function() {
    Ecrans.wireQuestion();
    var quit = document.querySelector('button[data-demande]');
    if (quit && Glouto.program === 'game') quit.addEventListener('click', Ecrans.quitGame);
    // Tab moves between the page's buttons: the browser's SDL would keep it.
    window.addEventListener('keydown', function(e) {
      if (e.key === 'Tab') e.stopPropagation();
    }, true);
    Module.onCaption = function(caption) {
      Ecrans.caption = caption;
      Ecrans.update();
    };
    Module.onPicture = function(picture) {
      Ecrans.picture = picture;
      Ecrans.update();
    };
    var sized = Module.onWindowSize;
    Module.onWindowSize = function(width, height) {
      sized(width, height);
      Ecrans.update();
    };
    var ended = Glouto.ended;
    Glouto.ended = function() {
      Ecrans.over = true;
      Ecrans.update();
      ended();
    };
  }
};
