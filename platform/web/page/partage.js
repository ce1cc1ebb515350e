// A level shared as a link: the editor's "Partager" makes one to jeu.html, and
// jeu.html or editeur.html with a #code open the level it carries, checked as
// glouto-niveau checks a file. The code stays in the fragment: no server sees it.
'use strict';

var Partage = {
  code: location.hash.slice(1),
  // The editor opens the shared level from here: the player's last save stays
  // theirs until they save again.
  file: '/Niveaux/Partage.txt',

  // The checker's module, with niveau.js loaded on a page that lacks it.
  checker: function() {
    if (window.NiveauModule) return NiveauModule();
    return new Promise(function(done) {
      var script = document.createElement('script');
      script.src = 'niveau.js';
      script.onload = done;
      document.head.appendChild(script);
    }).then(function() { return NiveauModule(); });
  },

  // Before the program starts: the level of the page's code, or why there is
  // none, in which case the program starts as without a code.
  beforeMain: function(program) {
    if (!Partage.code) return;
    Module.addRunDependency('partage');
    Partage.checker().then(function(m) {
      var text = m.ccall('LevelFromCode', 'string', ['string'], [Partage.code]);
      if (text) {
        Partage.text = text;
        Partage.level = m.ccall('LevelSharedNumber', 'number', [], []);
        // The program reads this very array when it starts.
        Module.arguments.length = 0;
        if (program === 'game') Module.arguments.push('--niveau', String(Partage.level));
        else Module.arguments.push(Partage.file.slice(1));
      } else {
        Partage.show(m.ccall('LevelShareWhy', 'string', [], []));
      }
      Module.removeRunDependency('partage');
    });
  },

  // Over the player's own levels: the shared one, for this page only.
  overLevels: function(program) {
    if (!Partage.text) return;
    FS.writeFile(program === 'game' ? Glouto.levelPath(Partage.level) : Partage.file, Partage.text);
    var open = document.getElementById('ouvrir-editeur');
    if (open) {
      open.href = 'editeur.html#' + Partage.code;
      open.parentNode.hidden = false;
    }
    var number = document.getElementById('numero');
    if (number) number.value = Partage.level;
    // Said from the start, with the way to the editor.
    var said = document.getElementById('partage');
    if (said) {
      said.textContent = 'Niveau partagé (niveau ' + Partage.level + ') · ';
      var edit = document.createElement('a');
      edit.href = 'editeur.html#' + Partage.code;
      edit.textContent = "Ouvrir dans l'éditeur";
      said.appendChild(edit);
      said.hidden = false;
    } else {
      Partage.show('Niveau partagé (niveau ' + Partage.level + ') : enregistrez-le pour le garder.');
    }
  },

  // The game page's word, or the editor's beside its "Partager".
  show: function(text) {
    var said = document.getElementById('partage');
    if (!said) return Editeur.tell('partage-dit', text);
    said.textContent = text;
    said.hidden = false;
  },

  // The editor's "Partager": a link to the game page with the saved level. The
  // checker says which levels a code carries.
  share: function(bytes, level) {
    if (!bytes) return Partage.show('Aucun niveau enregistré : dessinez-en un, puis enregistrez-le.');
    var text = String.fromCharCode.apply(null, bytes);
    Partage.checker().then(function(m) {
      var code = m.ccall('LevelShareCode', 'string', ['string', 'number'], [text, level]);
      if (!code) return Partage.show('Niveau non partagé. ' + m.ccall('LevelShareWhy', 'string', [], []));
      var link = new URL('jeu.html#' + code, location.href).href, a = Editeur.link(link, link);
      a.id = 'lien-partage';
      var said = ['Le niveau ' + level + ' à partager : ', a];
      Editeur.tell('partage-dit', said, 'Le lien du niveau ' + level + ' à partager est prêt.');
      // The system's share sheet where there is one; the clipboard elsewhere.
      if (navigator.share) {
        navigator.share({title: 'Glouto : niveau ' + level, url: link}).catch(function() {});
        return;
      }
      var copied = navigator.clipboard ? navigator.clipboard.writeText(link) : Promise.reject();
      copied.then(function() {
        Editeur.tell('partage-dit', said.concat(' (copié)'), 'Le lien du niveau ' + level + ' est copié.');
      }, function() {});
    });
  }
};

Glouto.beforeMain = Partage.beforeMain;
Glouto.overLevels = Partage.overLevels;
