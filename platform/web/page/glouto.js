// Starts one program of the site (game or editor) in its page: the canvas at
// the largest whole zoom that fits, the font, the levels kept in the browser's
// storage, and a word when the program ends.
'use strict';

var Glouto = {
  store: '/stockage',
  saved: '/Niveaux/Niveau_.txt',

  // The page's query (?niveau=N) as the program's command line.
  argumentsFor: function(program) {
    var query = new URLSearchParams(location.search);
    if (program === 'editor' && query.has('ouvrir')) return ['Niveaux/Niveau_.txt'];
    var level = query.get('niveau');
    if (!level || !/^[0-9]{1,2}$/.test(level)) return [];
    return program === 'game' ? ['--niveau', level] : ['Niveaux/Niveau_' + level + '.txt'];
  },

  fit: function() {
    var canvas = Module.canvas;
    if (!canvas.width) return;
    var room = document.getElementById('scene').getBoundingClientRect();
    var tools = document.getElementById('outils');  // the editor's, beside the canvas
    var width = window.innerWidth - room.left - (tools ? tools.offsetWidth : 0);
    var zoom = Math.max(1, Math.floor(Math.min(width / canvas.width,
                                               (window.innerHeight - room.top) / canvas.height)));
    canvas.style.width = canvas.width * zoom + 'px';
    canvas.style.height = canvas.height * zoom + 'px';
  },

  exists: function(path) {
    try { FS.stat(path); return true; } catch (e) { return false; }
  },

  // Every level the player put into play, and the editor's last save, over
  // the shipped files.
  restoreLevels: function() {
    FS.readdir(Glouto.store).forEach(function(name) {
      if (/^Niveau_[0-9]*\.txt$/.test(name)) {
        FS.writeFile('/Niveaux/' + name, FS.readFile(Glouto.store + '/' + name));
      }
    });
  },

  persist: function(then) {
    FS.syncfs(false, function(err) {
      if (err) console.error('stockage : ' + err);
      if (then) then(err);
    });
  },

  // The editor saves into the program's files; its save is kept in storage.
  keepSavedLevel: function() {
    var kept = Glouto.store + '/Niveau_.txt';
    var now = Glouto.exists(Glouto.saved) ? FS.readFile(Glouto.saved) : null;
    var before = Glouto.exists(kept) ? FS.readFile(kept) : null;
    var same = now && before && now.length === before.length && now.every(function(b, i) { return b === before[i]; });
    if (same || (!now && !before)) return;
    if (now) FS.writeFile(kept, now); else FS.unlink(kept);
    Glouto.persist();
    if (Glouto.onSave) Glouto.onSave(now);
  },

  start: function(program) {
    Glouto.program = program;
    var canvas = document.getElementById('canvas');
    var font = new FontFace('Police/comic.ttf', 'url(Police/comic.ttf)');
    window.Module = {
      canvas: canvas,
      arguments: Glouto.argumentsFor(program),
      // Music plays in <audio> elements, decoded when first played.
      noAudioDecoding: true,
      SDL_canPlayWithWebAudio: function() { return false; },
      print: function(text) { console.log(text); },
      printErr: function(text) { console.error(text); },
      preRun: [function() {
        // The browser's SDL_ttf draws with the canvas font of the file's name.
        Module.addRunDependency('police');
        font.load().then(function(f) { document.fonts.add(f); }, function() {})
            .then(function() { Module.removeRunDependency('police'); });
        Module.addRunDependency('stockage');
        FS.mkdir(Glouto.store);
        FS.mount(IDBFS, {}, Glouto.store);
        FS.syncfs(true, function() { Module.removeRunDependency('stockage'); });
      }],
      // Only once the shipped files are in place can the player's go over them.
      onRuntimeInitialized: function() {
        Glouto.restoreLevels();
        if (Glouto.onStored) Glouto.onStored();
        if (program === 'editor') setInterval(Glouto.keepSavedLevel, 500);
      },
      onWindowSize: function() { Glouto.fit(); },
      onExit: function() { Glouto.ended(); },
      onAbort: function() { Glouto.ended(); }
    };
    window.addEventListener('resize', Glouto.fit);
    var script = document.createElement('script');
    script.src = program + '.js';
    document.body.appendChild(script);
  },

  ended: function() {
    if (Glouto.program === 'editor') Glouto.keepSavedLevel();
    document.getElementById('fin').hidden = false;
  }
};
