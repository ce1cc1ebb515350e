// Recorded games on the game page. jeu.html#partie=CODE plays a game back
// (the program's --revoir, with &vite its --vite) under the page's own
// controls, #defi=CODE takes up its challenge (--defi), and a game that ended
// is offered to be watched again and shared. The program keeps every game it
// plays in its memory files (Parties/): the newest file's bytes, in base64url,
// are its code.
'use strict';

var Partie = {
  LONGEST_LINK: 2000,  // longer, a chat app may cut the link: the game goes as a file
  FASTEST: 8,
  ARGUMENT: {partie: '--revoir', defi: '--defi'},
  CONTROLS: ['Pause', 'Plus vite', 'Moins vite', 'Recommencer'],
  speed: 1,
  paused: false,

  // The page's address: {kind, code, fast}, or null for a game of one's own.
  asked: function() {
    var found = /^#(partie|defi)=([^&]*)(&vite)?$/.exec(location.hash);
    return found && {kind: found[1], code: found[2], fast: Boolean(found[3])};  // the program judges the code
  },

  // Before the program loads: its command line, and ears for what it says.
  start: function() {
    var asked = Partie.given = Partie.asked();
    var print = Module.print, printErr = Module.printErr;
    Module.print = function(text) { Partie.heard(text); print(text); };
    Module.printErr = function(text) {
      if (/^game : /.test(text)) Partie.why = text.slice(7);
      printErr(text);
    };
    Module.onExit = function(status) { Partie.status = status; Glouto.ended(); };
    var ended = Glouto.ended;
    Glouto.ended = function() { ended(); Partie.offer(); };
    // A new game's menu offers the game just played, kept as it ended.
    var show = Ecrans.showPlates;
    Ecrans.showPlates = function(screen, plates) {
      show(screen, plates);
      var watched = Partie.given && Partie.given.kind === 'partie';
      if (screen !== 'menu' || !Partie.end || watched) return;
      var bar = document.getElementById('plaques');
      Partie.offers(Partie.lastCode()).forEach(function(button) { bar.appendChild(button); });
    };
    if (!asked) return;
    Partage.code = '';  // not a level's code
    Module.arguments = [Partie.ARGUMENT[asked.kind], asked.code].concat(asked.fast ? ['--vite'] : []);
    if (asked.kind === 'partie') Partie.watch();
  },

  // What the program writes at a game's end: its last line, and a challenge's verdict.
  heard: function(text) {
    if (/^Fin de partie : /.test(text)) Partie.end = text;
    var watched = Partie.given && Partie.given.kind === 'partie';
    if (!/^Défi /.test(text) && !(watched && Partie.end === text)) return;
    Partage.show(text);
    Ecrans.say(text);
  },

  // A replay: the watcher's buttons on every screen, in place of the game's,
  // and no game of the player's to lose by leaving.
  watch: function() {
    Commandes.KEYS['Plus vite'] = {key: '=', code: 'Equal', keyCode: 61};
    Commandes.KEYS['Moins vite'] = {key: '6', code: 'Digit6', keyCode: 54};
    Garde.PLAYING = {};
    Garde.hidden = function() { if (!Partie.paused) Ecrans.tap('Pause'); };
    Ecrans.playing = function() { return false; };
    document.body.classList.add('revoir');
    var show = Ecrans.showPlates;
    Ecrans.showPlates = function(screen) {
      show(screen, []);
      if (!screen) return;
      var bar = document.getElementById('plaques');
      Partie.CONTROLS.forEach(function(word) { bar.appendChild(Partie.button(word, Partie.control)); });
      Partie.mark();
      bar.hidden = false;
    };
    // The watcher's keys, from these buttons or the keyboard, as the program takes them.
    window.addEventListener('keydown', function(e) {
      if (e.key === 'p') Partie.paused = !Partie.paused;
      else if (e.key === '=' || e.key === '+') Partie.speed = Math.min(Partie.speed * 2, Partie.FASTEST);
      else if (e.key === '6' || e.key === '-') Partie.speed = Math.max(Partie.speed / 2, 1);
      else return;
      Partie.mark();
      Ecrans.say(Partie.paused ? 'Pause' : 'Vitesse × ' + Partie.speed);
    });
  },

  control: function(word) {
    if (word === 'Recommencer') return location.reload();
    Ecrans.tap(word);
  },

  mark: function() {
    var pause = document.querySelector('#plaques [aria-label=Pause]');
    if (pause) pause.setAttribute('aria-pressed', String(Partie.paused));
    var faster = document.querySelector('#plaques [aria-label="Plus vite"]');
    if (faster) faster.textContent = 'Plus vite (× ' + Partie.speed + ')';
  },

  button: function(word, act) {
    var button = document.createElement('button');
    button.type = 'button';
    button.className = 'plaque';
    button.textContent = word;
    button.setAttribute('aria-label', word);
    button.addEventListener('click', function() { act(word); });
    Ecrans.keepKeys(button);
    return button;
  },

  // The newest game the program kept, as a code ('' if none).
  lastCode: function() {
    var names = [];
    try {
      names = FS.readdir('Parties').filter(function(name) { return /\.partie$/.test(name); }).sort();
    } catch (e) {}
    return names.length ? Partie.code(FS.readFile('Parties/' + names[names.length - 1])) : '';
  },

  code: function(bytes) {
    var text = '';
    for (var k = 0; k < bytes.length; ++k) text += String.fromCharCode(bytes[k]);
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  },

  bytes: function(code) {
    var text = atob(code.replace(/-/g, '+').replace(/_/g, '/'));
    return Uint8Array.from(text, function(c) { return c.charCodeAt(0); });
  },

  // Another page: a game to watch or a challenge to take up.
  go: function(kind, code) {
    location.hash = kind + '=' + code;
    location.reload();
  },

  // Once the program ended: why a recording was refused or left its course,
  // and what the game just watched or played offers.
  offer: function() {
    var given = Partie.given, watched = given && given.kind === 'partie';
    var code = watched ? given.code : Partie.lastCode();
    if (Partie.why) Partage.show(Partie.why);
    var row = document.createElement('div');
    row.id = 'partie-fin';
    if (code && watched && Partie.status === 0) {
      row.appendChild(Partie.button('À toi de jouer', function() { Partie.go('defi', code); }));
    }
    Partie.offers(code).forEach(function(button) { row.appendChild(button); });
    row.appendChild(Partie.button('Ouvrir une partie', Partie.choose));
    document.getElementById('fin').appendChild(row);
    if (!document.body.classList.contains('tactile')) row.querySelector('button').focus();
  },

  // A game's buttons: watch it again, and share it as a link or, too long, as a file.
  offers: function(code) {
    if (!code) return [];
    var share = code.length <= Partie.LONGEST_LINK ?
        Partie.button('Partager la partie', function() { Partie.share(code); }) :
        Partie.button('Télécharger la partie', function() { Partie.download(code); });
    return [Partie.button('Revoir la partie', function() { Partie.go('partie', code); }), share];
  },

  // The system's share sheet where there is one; else the link, copied.
  share: function(code) {
    var link = new URL('jeu.html#partie=' + code, location.href).href;
    if (navigator.share) return navigator.share({title: 'Glouto : une partie', url: link}).catch(function() {});
    var said = document.getElementById('partage'), a = document.createElement('a');
    a.href = a.textContent = link;
    said.textContent = 'Le lien de la partie : ';
    said.appendChild(a);
    said.hidden = false;
    Ecrans.say('Le lien de la partie est prêt.');
    var copied = navigator.clipboard ? navigator.clipboard.writeText(link) : Promise.reject();
    copied.then(function() {
      said.appendChild(document.createTextNode(' (copié)'));
      Ecrans.say('Le lien de la partie est copié.');
    }, function() {});
  },

  download: function(code) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([Partie.bytes(code)], {type: 'application/octet-stream'}));
    a.download = 'glouto.partie';
    document.body.appendChild(a);
    a.click();
    a.remove();
  },

  // A .partie file, or a text file holding a code or a link, watched.
  choose: function() {
    var input = document.createElement('input');
    input.type = 'file';
    input.accept = '.partie,.txt';
    input.addEventListener('change', function() {
      if (input.files[0]) input.files[0].arrayBuffer().then(Partie.open);
    });
    input.click();
  },

  open: function(buffer) {
    var bytes = new Uint8Array(buffer), text = new TextDecoder('latin1').decode(bytes).trim();
    var written = /^(?:.*#partie=)?([A-Za-z0-9_-]+)$/.exec(text);
    Partie.go('partie', written ? written[1] : Partie.code(bytes));
  }
};
