// Starts one program of the site (game or editor) in its page: the canvas as
// large as the window allows, the font, the levels kept in the browser's
// storage, and a word when the program ends.
'use strict';

var Glouto = {
  store: '/stockage',
  saved: '/Niveaux/Niveau_.txt',

  // The page's query (?niveau=N) as the program's command line; the program
  // judges the number by the level library's range.
  argumentsFor: function(program) {
    var query = new URLSearchParams(location.search);
    if (program === 'editor' && query.has('ouvrir')) return ['Niveaux/Niveau_.txt'];
    var level = query.get('niveau');
    if (!level || !/^[0-9]+$/.test(level)) return [];
    return program === 'game' ? ['--niveau', level] : [Glouto.levelPath(level, 'Niveaux')];
  },

  // The file of level n in `folder` ('/Niveaux' unless said), named as the
  // programs name it (LevelPath in level/).
  levelPath: function(level, folder) {
    return (folder || '/Niveaux') + '/Niveau_' + level + '.txt';
  },

  // The canvas as large as its room allows, keeping its shape. The editor
  // keeps one scale across its screens: that of its 600 x 600 grid, unless a
  // wider grid needs less.
  fit: function() {
    // Until the program sets its size the canvas keeps the box site.css
    // reserves for it: a 300 x 150 canvas fitted meanwhile would shift the page.
    var canvas = Glouto.sized && Module.canvas;
    if (!canvas) return;
    var room = document.getElementById('cadre');
    var least = Glouto.program === 'editor' ? 600 : 0;
    var scale = Math.min(room.clientWidth / Math.max(canvas.width, least),
                         room.clientHeight / Math.max(canvas.height, least));
    // The editor's grid enlarged: its cells at least 25 CSS px, moved within the room.
    if (Glouto.zoom && canvas.height === 600) scale = Math.max(scale, Glouto.zoom);
    canvas.style.width = canvas.width * scale + 'px';
    canvas.style.height = canvas.height * scale + 'px';
    // What the maze leaves at its sides, for the controls there; and whether
    // it is wider than tall, which a phone shows larger sideways.
    room.parentNode.style.setProperty('--cote', (room.clientWidth - canvas.width * scale) / 2 + 'px');
    document.body.classList.toggle('large', canvas.width > canvas.height);
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

  // The browser's SDL_mixer starts a track without waiting on play(): a track
  // changed meanwhile, or one refused before the player's first input (which
  // starts it again), rejects it, and neither is a fault.
  quietMusic: function() {
    var play = HTMLMediaElement.prototype.play;
    HTMLMediaElement.prototype.play = function() {
      var started = play.apply(this, arguments);
      if (started && started.catch) {
        started.catch(function(e) {
          if (e.name !== 'AbortError' && e.name !== 'NotAllowedError') return console.error(e);
          Glouto.musicHeld = (Glouto.musicHeld || 0) + 1;  // told to the tests
        });
      }
      return started;
    };
  },

  start: function(program) {
    Glouto.program = program;
    Glouto.quietMusic();
    // The storage exists once the program's files are in place: a file
    // chosen before that waits for it.
    Glouto.stored = new Promise(function(stored) { Glouto.isStored = stored; });
    Glouto.keepOffline();
    var canvas = document.getElementById('canvas');
    var font = new FontFace('Police/comic.ttf', 'url(Police/comic.ttf)');
    window.Module = {
      canvas: canvas,
      arguments: Glouto.argumentsFor(program),
      // Ahead of the browser's own: pictures decoded off the page's thread.
      preloadPlugins: [Glouto.pictures],
      print: function(text) { console.log(text); },
      printErr: function(text) { console.error(text); },
      preRun: [function() {
        Glouto.spareStartUp();
        // The browser's SDL_ttf draws with the canvas font of the file's name.
        Module.addRunDependency('police');
        font.load().then(function(f) { document.fonts.add(f); }, function() {})
            .then(function() { Module.removeRunDependency('police'); });
        Glouto.standInTracks();
        Module.addRunDependency('stockage');
        FS.mkdir(Glouto.store);
        FS.mount(IDBFS, {}, Glouto.store);
        FS.syncfs(true, function() { Module.removeRunDependency('stockage'); });
        if (Glouto.beforeMain) Glouto.beforeMain(program);
      }],
      // Only once the shipped files are in place can the player's go over them.
      onRuntimeInitialized: function() {
        Glouto.restoreLevels();
        if (Glouto.overLevels) Glouto.overLevels(program);
        if (Glouto.onStored) Glouto.onStored();
        Glouto.isStored();
        if (program === 'editor') setInterval(Glouto.keepSavedLevel, 500);
      },
      onWindowSize: function() {
        Glouto.sized = true;
        Glouto.stopWaiting();
        Glouto.fit();
      },
      onExit: function() { Glouto.ended(); },
      onAbort: function() { Glouto.ended(); }
    };
    window.addEventListener('resize', Glouto.fit);
    if (window.ResizeObserver) new ResizeObserver(Glouto.fit).observe(document.getElementById('cadre'));
    // The program and its 2 MB of files are asked for once the page is on
    // screen with its first screen's picture: neither waits for them.
    var script = document.createElement('script');
    script.src = program + '.js';
    var load = function() { if (!script.parentNode) document.body.appendChild(script); };
    var shown = function() { requestAnimationFrame(function() { setTimeout(load, 0); }); };
    var still = document.getElementById('attente');
    var told = window.PerformanceObserver && (PerformanceObserver.supportedEntryTypes || []).indexOf('element') >= 0;
    if (document.hidden || !still) {
      load();
    } else if (told) {
      // Chromium says when the picture reached the screen (a frame can reach
      // it well after it was drawn, on a busy machine).
      new PerformanceObserver(function(list, observer) {
        if (!list.getEntries().some(function(e) { return e.identifier === 'attente'; })) return;
        observer.disconnect();
        load();
      }).observe({type: 'element', buffered: true});
      // A page hidden meanwhile shows nothing, and a picture that fails never shows.
      document.addEventListener('visibilitychange', load);
      still.addEventListener('error', load);
      // Should the browser never tell, the program still comes.
      setTimeout(load, 3000);
    } else if (!still.complete) {
      still.addEventListener('load', shown);
      still.addEventListener('error', shown);
    } else {
      shown();
    }
  },

  // The programs' pictures, decoded before main, as the browser's SDL does,
  // but by createImageBitmap, away from the page's thread: an <img> drawn
  // into a canvas is decoded on it, which held the page a tenth of a second.
  // Only where the browser's SDL keeps its pictures in Module.preloadedImages
  // (Debian 12's emscripten); a later one keeps them out of reach, and its
  // own decoding serves.
  pictures: {
    canHandle: function(name) {
      return Boolean(window.createImageBitmap && Module.preloadedImages) && /\.(png|jpe?g|bmp)$/i.test(name);
    },
    // Each picture in a task of its own: the data package hands over all 26
    // at once, which held the page's thread a tenth of a second.
    handle: function(bytes, name, onload, onerror) {
      setTimeout(function() { Glouto.pictures.decode(bytes, name, onload, onerror); }, 0);
    },
    decode: function(bytes, name, onload, onerror) {
      // The bitmap itself is kept, as SDL draws it like a canvas: copying
      // each into a canvas here made one long task of all 26, since their
      // decodings end together.
      createImageBitmap(new Blob([bytes])).then(function(bitmap) {
        Module.preloadedImages[name] = bitmap;
        if (onload) onload(bytes);
      }, function() {
        if (onerror) onerror();
      });
    }
  },

  // What the browser's SDL sets up and the site never uses, left out: it
  // listens for `unload` to post SDL_QUIT to a main loop the programs do not
  // have, which keeps the page out of the browser's back/forward cache.
  spareStartUp: function() {
    var listen = window.addEventListener;
    window.addEventListener = function(type) {
      if (type !== 'unload') return listen.apply(this, arguments);
    };
  },

  // The first screen's picture goes once the program draws in its place.
  // Each program starts on that screen (the editor given a level too).
  stopWaiting: function() {
    var still = document.getElementById('attente');
    if (still) still.remove();
  },

  // The music stays on the site, each track fetched by its <audio> element
  // when first played, not with the program's files (1.3 MB of its 1.6 MB,
  // which held the first screen): the program finds each as an empty file.
  standInTracks: function() {
    var tracks = Module.gloutoTracks || [];
    if (tracks.length) FS.mkdirTree('/Musique');
    tracks.forEach(function(name) { FS.writeFile('/Musique/' + name, ''); });
  },

  keepOffline: function() {
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(function() {});
  },

  // The last frame would stay under the word that the program ended.
  ended: function() {
    if (Glouto.program === 'editor') Glouto.keepSavedLevel();
    var canvas = Module.canvas;
    canvas.getContext('2d').clearRect(0, 0, canvas.width, canvas.height);
    document.title = Glouto.program === 'editor' ? 'Glouto : éditeur fermé' : 'Glouto : partie terminée';
    document.body.classList.remove('tactile');
    document.getElementById('fin').hidden = false;
  }
};
