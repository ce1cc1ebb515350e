// Beside the editor: its saved level to download, a level file to open, and
// "Mettre en jeu", which checks the saved level as glouto-niveau does and
// keeps it as the player's level N for the game page. Each message shows
// beside the button that caused it, in view, and is said aloud.
'use strict';

var Editeur = {
  // `parts`: text and links, one after another.
  tell: function(id, parts, spoken) {
    var said = document.getElementById(id);
    said.textContent = '';
    [].concat(parts).forEach(function(part) { said.append(part); });
    said.hidden = !said.textContent;
    document.getElementById('annonce').textContent = spoken || said.textContent;
    if (!said.hidden) said.scrollIntoView({block: 'nearest'});
  },

  say: function(parts) { Editeur.tell('message', parts); },

  link: function(href, text) {
    var a = document.createElement('a');
    a.href = href;
    a.textContent = text;
    return a;
  },

  offerDownload: function(bytes) {
    if (bytes && Editeur.drawnWidth) Editeur.meantFor(Editeur.drawnWidth);
    var link = document.getElementById('telecharger');
    if (link.href) URL.revokeObjectURL(link.href);
    link.hidden = !bytes;
    document.getElementById('rien').hidden = !!bytes;
    if (bytes) link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
  },

  // A save is meant for the level of the grid's width: the number that
  // "Mettre en jeu" and "Partager" use starts there.
  meantFor: function(width) {
    Partage.checker().then(function(m) {
      var level = m.ccall('LevelForWidth', 'number', ['number'], [width]);
      if (level) document.getElementById('numero').value = level;
    });
  },

  savedBytes: function() {
    var kept = Glouto.store + '/Niveau_.txt';
    return Glouto.exists(kept) ? FS.readFile(kept) : null;
  },

  // The file becomes the saved level, and the editor starts again on it.
  open: function(file) {
    document.getElementById('nom-fichier').textContent = file.name;
    sessionStorage.setItem('glouto.ouvert', file.name);
    Promise.all([file.arrayBuffer(), Glouto.stored]).then(function(read) {
      FS.writeFile(Glouto.store + '/Niveau_.txt', new Uint8Array(read[0]));
      FS.syncfs(false, function() { location.search = '?ouvrir=1'; });
    });
  },

  // Checked first, then asked: the game's own level N goes until put back.
  putIntoPlay: function() {
    var bytes = Editeur.savedBytes();
    var level = Number(document.getElementById('numero').value);
    if (!bytes) return Editeur.say("Aucun niveau enregistré : dessinez-en un, puis enregistrez-le.");
    var text = String.fromCharCode.apply(null, bytes);  // the file's bytes, one char each
    NiveauModule().then(function(checker) {
      var why = checker.ccall('LevelVerdictFor', 'string', ['string', 'number'], [text, level]);
      if (why) return Editeur.say('Niveau refusé. ' + why);
      Ecrans.ask('Le niveau enregistré remplacera le niveau ' + level + ' du jeu. Le mettre en jeu ?',
                 'Oui, remplacer le niveau ' + level, 'Non, le garder', function() { Editeur.replace(bytes, level); });
    });
  },

  replace: function(bytes, level) {
    FS.writeFile(Glouto.levelPath(level, Glouto.store), bytes);
    Glouto.persist(function(err) {
      Editeur.say(err ? "Le navigateur n'a pas pu garder le niveau." :
                  ['Le niveau ' + level + ' est en jeu : ', Editeur.link('jeu.html?niveau=' + level, 'le jouer'), '.']);
    });
  },

  // The levels the player put into play, by number.
  replaced: function() {
    return FS.readdir(Glouto.store).map(function(name) {
      var m = /^Niveau_([0-9]+)\.txt$/.exec(name);
      return m ? Number(m[1]) : 0;
    }).filter(Boolean).sort(function(a, b) { return a - b; });
  },

  // The game's own level N back in place of the player's.
  restore: function() {
    var level = Number(document.getElementById('numero').value);
    var kept = Glouto.levelPath(level, Glouto.store);
    if (!Glouto.exists(kept)) {
      var others = Editeur.replaced();
      return Editeur.say('Le niveau ' + level + " est déjà celui d'origine." +
                         (others.length ? ' Niveaux remplacés : ' + others.join(', ') + '.' : ''));
    }
    FS.unlink(kept);
    Glouto.persist(function(err) {
      Editeur.say(err ? "Le navigateur n'a pas pu rétablir le niveau." :
                  'Le niveau ' + level + " d'origine est de retour dans le jeu.");
    });
  },

  // Quitting or clearing loses the walls not saved: the editor asks first. No
  // key leaves the size screen: there the window is closed, as on a desktop.
  quit: function() {
    if (Ecrans.screen === 'taille') return Module._WindowPageClose();
    if (Ecrans.screen !== 'grille' || !Grille.unsaved()) return Ecrans.tap('Quitter');
    Ecrans.ask("Quitter l'éditeur ? Les murs non enregistrés seront perdus.", 'Oui, quitter', 'Non, continuer',
               function() { Ecrans.tap('Quitter'); });
  },

  clear: function() {
    if (Ecrans.screen !== 'grille') return;
    if (!Grille.walls.size) return Ecrans.tap('Tout effacer');
    Ecrans.ask('Effacer tous les murs de la grille ?', 'Oui, tout effacer', 'Non, continuer',
               function() { Ecrans.tap('Tout effacer'); });
  },

  // Leaving the page loses the walls not saved, as quitting does.
  leaving: function(e) {
    if (Ecrans.screen !== 'grille' || !Grille.unsaved()) return;
    e.preventDefault();
    e.returnValue = '';
  },

  // Back on the size screen from the grid: Return saved the level.
  onScreen: function(screen, was) {
    document.body.dataset.editeur = screen;
    if (screen === 'grille') Editeur.tell('enregistre', '');
    if (screen !== 'taille') return;
    if (was === 'grille') {
      Glouto.keepSavedLevel();
      Editeur.tell('enregistre', Editeur.savedBytes() ? 'Niveau enregistré.' : 'Grille vide : aucun niveau enregistré.');
    } else if (!was && Partage.text) {
      Editeur.openShared();
    }
  },

  // A shared level opens on the grid of its level's width: the size screen's
  // plates, 600 pixels wide and 100 more each.
  openShared: function() {
    Partage.checker().then(function(m) {
      var choose = function() {
        var plates = document.querySelectorAll('#plaques button');
        if (Ecrans.screen !== 'taille') return;
        if (!plates.length) return requestAnimationFrame(choose);
        var chosen = plates[plates.length - 1];
        plates.forEach(function(plate, k) {
          if (m.ccall('LevelForWidth', 'number', ['number'], [600 + 100 * k]) === Partage.level) chosen = plate;
        });
        chosen.click();
      };
      choose();
    });
  },

  // Closed, the editor leaves two ways on, not a toolbar that does nothing.
  closed: function() {
    document.body.dataset.editeur = 'fermee';
    document.getElementById('scene').hidden = true;
    document.getElementById('annonce').textContent = "L'éditeur est fermé.";
    document.getElementById('nouvelle-grille').focus();
  },

  start: function() {
    document.querySelector('button[aria-label="Quitter"]').addEventListener('click', Editeur.quit);
    document.querySelector('button[aria-label="Tout effacer"]').addEventListener('click', Editeur.clear);
    document.getElementById('retablir').addEventListener('click', Editeur.restore);
    Ecrans.listeners.push(Editeur.onScreen);
    var ended = Glouto.ended;
    Glouto.ended = function() {
      ended();
      Editeur.closed();
    };
    var opened = sessionStorage.getItem('glouto.ouvert');
    if (opened && /[?&]ouvrir/.test(location.search)) document.getElementById('nom-fichier').textContent = opened;
    NiveauModule().then(function(m) {
      var field = document.getElementById('numero');
      field.min = m.ccall('LevelFirstNumber', 'number', [], []);
      field.max = m.ccall('LevelLastNumber', 'number', [], []);
    });
  }
};

Glouto.onSave = Editeur.offerDownload;
Glouto.onStored = function() { Editeur.offerDownload(Editeur.savedBytes()); };
document.getElementById('charger').addEventListener('change', function(e) {
  if (e.target.files[0]) Editeur.open(e.target.files[0]);
});
document.getElementById('ouvrir').addEventListener('click', function() { document.getElementById('charger').click(); });
document.getElementById('mettre').addEventListener('click', Editeur.putIntoPlay);
document.getElementById('partager').addEventListener('click', function() {
  Partage.share(Editeur.savedBytes(), Number(document.getElementById('numero').value));
});
// Keys typed in the page's fields are theirs, not the editor's: there Escape
// would close it and Return save the grid. Return in the level's number
// puts the level into play.
['keydown', 'keyup', 'keypress'].forEach(function(type) {
  document.getElementById('outils').addEventListener(type, function(e) {
    if (e.target.tagName !== 'INPUT') return;
    e.stopPropagation();
    if (type === 'keydown' && e.key === 'Enter' && e.target.id === 'numero') Editeur.putIntoPlay();
  });
});
// Backspace and Escape ask first, as "Tout effacer" and "Quitter" do; the
// key each sends once answered is the page's own.
window.addEventListener('keydown', function(e) {
  var asks = {Backspace: Editeur.clear, Escape: Editeur.quit}[e.key];
  if (!asks || !e.isTrusted || e.target.tagName === 'INPUT' || Ecrans.screen !== 'grille') return;
  e.stopPropagation();
  e.preventDefault();
  if (!Ecrans.asking) asks();
}, true);
window.addEventListener('beforeunload', Editeur.leaving);
// Return saves: the grid is still on the canvas when its key goes down.
document.addEventListener('keydown', function(e) {
  if (e.key === 'Enter' && e.target.tagName !== 'INPUT' && window.Module && Module.canvas) {
    Editeur.drawnWidth = Module.canvas.width;
  }
}, true);
