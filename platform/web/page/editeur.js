// Beside the editor: its saved level to download, a level file to open, and
// "Mettre en jeu", which checks the saved level as glouto-niveau does and
// keeps it as the player's level N for the game page.
'use strict';

var Editeur = {
  say: function(html) { document.getElementById('message').innerHTML = html; },

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
    Promise.all([file.arrayBuffer(), Glouto.stored]).then(function(read) {
      FS.writeFile(Glouto.store + '/Niveau_.txt', new Uint8Array(read[0]));
      FS.syncfs(false, function() { location.search = '?ouvrir=1'; });
    });
  },

  putIntoPlay: function() {
    var bytes = Editeur.savedBytes();
    var level = Number(document.getElementById('numero').value);
    if (!bytes) return Editeur.say("Aucun niveau enregistré : dessinez-en un, puis enregistrez-le.");
    var text = String.fromCharCode.apply(null, bytes);  // the file's bytes, one char each
    NiveauModule().then(function(checker) {
      var why = checker.ccall('LevelVerdictFor', 'string', ['string', 'number'], [text, level]);
      if (why) return Editeur.say('Niveau refusé. ' + why);
      FS.writeFile(Glouto.levelPath(level, Glouto.store), bytes);
      Glouto.persist(function(err) {
        Editeur.say(err ? "Le navigateur n'a pas pu garder le niveau." :
                    'Le niveau ' + level + ' est en jeu : <a href="jeu.html?niveau=' + level + '">le jouer</a>.');
      });
    });
  }
};

Glouto.onSave = Editeur.offerDownload;
Glouto.onStored = function() { Editeur.offerDownload(Editeur.savedBytes()); };
document.getElementById('charger').addEventListener('change', function(e) {
  if (e.target.files[0]) Editeur.open(e.target.files[0]);
});
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
// Return saves: the grid is still on the canvas when its key goes down.
document.addEventListener('keydown', function(e) {
  if (e.key === 'Enter' && e.target.tagName !== 'INPUT' && window.Module && Module.canvas) {
    Editeur.drawnWidth = Module.canvas.width;
  }
}, true);
