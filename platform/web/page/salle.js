// "Deux écrans": one game on two devices. The menu's "Deux écrans" makes this
// page the host (jeu.html#hote=ID): it opens room ID on the site's own
// server (PeerJS, platform/web/serveur) and shows the room's link
// (jeu.html#salle=ID) as text and QR code for the guest. Once the two pages
// have greeted each other (the same site version, one guest per room), each
// starts its program, the host as the hero (--deux-ecrans), the guest as a
// monster (--invite), and lien.js carries their messages directly between
// the browsers (the host's program sends its levels along).
'use strict';

var Salle = {
  SERVER: 'deux-ecrans',
  ALPHABET: 'abcdefghijklmnopqrstuvwxyz234567',
  PATIENCE: 120000,  // ms a pause waits for the other player before "Terminer la partie"
  JOINDRE: 15000,    // ms a channel may take to open before the players hear their networks do not meet
  RETRY: 2000,
  SECOND_PAD: {w: true, a: true, s: true, d: true},
  SAID: {
    absent: "« Deux écrans » n'est pas possible sur ce site : il lui manque le serveur qui relie deux appareils.",
    horsLigne: '« Deux écrans » a besoin du réseau, et cet appareil est hors ligne.',
    inconnue: "Cette salle n'existe pas : vérifiez le lien.",
    pleine: 'Cette salle est complète : deux joueurs y jouent déjà.',
    finie: 'La partie de cette salle est terminée.',
    version: "Les deux appareils n'ont pas la même version du jeu : rechargez les deux pages.",
    prise: 'Cette salle est déjà ouverte sur un autre appareil.',
    navigateur: 'Ce navigateur ne sait pas relier deux appareils.',
    serveur: 'Le serveur ne répond pas : nouvelle tentative…',
    ouverture: 'Ouverture de la salle…',
    attente: "En attente de l'autre joueur…",
    connexion: 'Connexion à la salle…',
    perdue: "Connexion perdue — en attente de l'autre joueur",
    reprendre: "Touchez « Reprendre » : la partie repart quand vous l'avez fait tous les deux.",
    pret: "L'autre joueur doit aussi toucher « Reprendre ».",
    refus: "Un message de l'autre appareil a été refusé : la partie est arrêtée.",
    refuse: "L'autre appareil a refusé un message : la partie est arrêtée.",
    autre: "L'autre joueur a terminé la partie.",
    injoignable: "Les deux appareils n'arrivent pas à se joindre par leurs réseaux : essayez tous les deux sur le même Wi-Fi.",
    copie: 'Le lien est copié.',
    copier: 'Copiez le lien ci-dessus pour l\'envoyer.'
  },

  role: '',
  id: '',
  peer: null,
  jeton: '',     // the guest's, which the host keeps: only that guest may come back
  begun: false,  // the programs started
  over: false,   // no more meeting: the game ended, or was refused
  why: '',       // of a game stopped by a refused message
  retry: null,
  patience: null,

  // jeu.html#hote=ID or #salle=ID: {role, id}; null for any other page.
  asked: function() {
    var found = /^#(hote|salle)=(.*)$/.exec(location.hash);
    return found && {role: found[1] === 'hote' ? 'hote' : 'invite', id: found[2]};
  },

  start: function() {
    var asked = Salle.asked();
    if (!asked) return Partie.given || Partage.code ? null : Salle.offer();
    Salle.role = asked.role;
    Salle.id = asked.id;
    Salle.wire();
    if (!/^[a-z2-7]{16}$/.test(asked.id)) return Salle.stop(Salle.SAID.inconnue);
    Salle.meet();
  },

  // The menu's page button.
  offer: function() {
    var show = Ecrans.showPlates;
    Ecrans.showPlates = function(screen, plates) {
      show(screen, plates);
      if (screen !== 'menu') return;
      var bar = document.getElementById('plaques'), button = Partie.button('Deux écrans', Salle.open);
      bar.appendChild(button);
      bar.hidden = false;
    };
  },

  // This device becomes the host of a new room, once the server is there to say so.
  open: function() {
    Salle.config().then(function() {
      history.replaceState(null, '', '#hote=' + Salle.newId());
      location.reload();
    }, function(why) {
      Partage.show(why);
      Ecrans.say(why);
    });
  },

  // The ICE servers the site's server hands out; why not, in a sentence.
  config: function() {
    return fetch(Salle.SERVER + '/config', {cache: 'no-store'}).then(function(response) {
      return response.ok ? response.json() : Promise.reject(Salle.SAID.absent);
    }, function() {
      return Promise.reject(Salle.SAID.horsLigne);
    }).then(function(config) {
      var servers = config && config.iceServers;
      return Array.isArray(servers) ? {iceServers: servers} : Promise.reject(Salle.SAID.absent);
    }, function(why) {
      return Promise.reject(typeof why === 'string' ? why : Salle.SAID.absent);
    });
  },

  version: function() {
    return fetch('version.json').then(function(response) { return response.json(); })
      .then(function(site) { return site.version; });
  },

  newId: function() {
    return Array.from(crypto.getRandomValues(new Uint8Array(16)), function(b) { return Salle.ALPHABET[b & 31]; }).join('');
  },

  load: function(source) {
    return new Promise(function(loaded, failed) {
      var script = document.createElement('script');
      script.src = source;
      script.onload = loaded;
      script.onerror = function() { failed(Salle.SAID.horsLigne); };
      document.head.appendChild(script);
    });
  },

  // Before the program loads: its command line and link, started once the
  // pages have met; the page's controls for this device's player alone.
  wire: function() {
    Partage.code = '';
    Module.arguments = [Salle.role === 'hote' ? '--deux-ecrans' : '--invite'];
    Lien.make(Salle.role);
    Lien.listeners.push(Salle.changed);
    Salle.met = new Promise(function(met) { Salle.isMet = met; });
    var before = Glouto.beforeMain;
    Glouto.beforeMain = function(program) {
      if (before) before(program);
      Module.addRunDependency('salle');
      Salle.met.then(function() { Module.removeRunDependency('salle'); });
    };
    // The screens around play are the host's to answer: the guest's page offers nothing there.
    var show = Ecrans.showPlates;
    Ecrans.showPlates = function(screen, plates) {
      var mine = Salle.role === 'hote' || screen === 'jeu' || screen === 'pause';
      show(screen, mine ? plates.filter(function(plate) { return !Salle.SECOND_PAD[plate.key]; }) : []);
    };
    if (Salle.role === 'invite') {
      document.getElementById('pads').setAttribute('aria-label', 'Joueur 2 : le monstre');
      Ecrans.SAID.debut = "L'autre joueur lance la partie.";
      Ecrans.SAID.fin = Ecrans.SAID.merci = "L'autre joueur choisit la suite.";
    }
    var ended = Glouto.ended;
    Glouto.ended = function() {
      Salle.finished();
      ended();
    };
    Garde.hidden = function() {};
    document.addEventListener('visibilitychange', Salle.seen);
    var buttons = document.querySelectorAll('#salle-pause button');
    buttons[0].addEventListener('click', function() {
      Lien.again();
      Salle.showPause();
    });
    buttons[1].addEventListener('click', function() { Lien.end('moi'); });
    document.getElementById('salle-annuler').addEventListener('click', Salle.leave);
    document.getElementById('salle-partager').addEventListener('click', Salle.share);
    document.body.classList.add('salle');
    document.getElementById('salle').hidden = false;
    Salle.say(Salle.role === 'hote' ? Salle.SAID.ouverture : Salle.SAID.connexion);
  },

  meet: function() {
    var needs = [Salle.config(), Salle.version(), Salle.load('peerjs.min.js')];
    if (Salle.role === 'hote') needs.push(Salle.load('qrcode.js'));
    Promise.all(needs).then(function(got) {
      Salle.ice = got[0];
      Salle.site = got[1];
      return Salle.role === 'hote' ? Salle.host() : Salle.guest();
    }).catch(function(why) {
      Salle.stop(typeof why === 'string' ? why : Salle.SAID.absent);
    });
  },

  options: function() {
    var https = location.protocol === 'https:';
    return {host: location.hostname, port: +location.port || (https ? 443 : 80), secure: https,
            path: new URL(Salle.SERVER, location.href).pathname, config: Salle.ice, debug: 0};
  },

  host: function() {
    Salle.peer = new peerjs.Peer(Salle.id, Salle.options());
    Salle.peer.on('open', Salle.showLink);
    Salle.peer.on('connection', Salle.answer);
    Salle.listen(Salle.peer);
  },

  // The room must be open: a link to nothing says so at once.
  guest: function() {
    Salle.jeton = Salle.jeton || Salle.newId();
    return fetch(Salle.SERVER + '/salle/' + Salle.id, {cache: 'no-store'}).then(function(response) {
      return response.json();
    }).then(function(room) {
      if (room.salle !== 'ouverte') return Salle.stop(Salle.SAID[room.salle === 'finie' ? 'finie' : 'inconnue']);
      if (Salle.peer) return Salle.dial();
      Salle.peer = new peerjs.Peer(Salle.options());
      Salle.peer.on('open', Salle.dial);
      Salle.listen(Salle.peer);
    });
  },

  // The server lost, the page keeps its peer and asks again.
  listen: function(peer) {
    peer.on('disconnected', function() { Salle.later(function() { peer.reconnect(); }); });
    peer.on('error', function(e) {
      if (e.type === 'unavailable-id') return Salle.stop(Salle.SAID.prise);
      if (e.type === 'browser-incompatible') return Salle.stop(Salle.SAID.navigateur);
      if (e.type === 'peer-unavailable' && !Salle.begun) return Salle.later(Salle.guest);  // gone meanwhile: the room says how
      if (!Salle.begun) Salle.say(Salle.SAID.serveur);
      if (Salle.role === 'invite') Salle.later(Salle.redial);
    });
  },

  later: function(then) {
    clearTimeout(Salle.retry);
    if (!Salle.over) Salle.retry = setTimeout(then, Salle.RETRY);
  },

  redial: function() {
    if (Salle.over || Lien.conn) return;
    if (Salle.peer.disconnected) Salle.peer.reconnect();  // its 'open' dials
    else Salle.dial();
  },

  dial: function() {
    if (Salle.over || Lien.conn) return;
    var conn = Salle.peer.connect(Salle.id, {serialization: 'raw', reliable: true});
    Salle.follow(conn);
    conn.on('open', function() {
      conn.send(JSON.stringify({t: 'bonjour', version: Salle.site, jeton: Salle.jeton, recus: Lien.received}));
    });
  },

  // A guest's channel: only a raw one is read, by our own rules.
  answer: function(conn) {
    if (conn.serialization !== 'raw') return conn.close();
    Salle.follow(conn);
  },

  follow: function(conn) {
    if (!Salle.begun) Salle.unmet(conn);
    conn.on('data', function(data) {
      if (conn === Lien.conn) Lien.heard(data);
      else Salle.greeted(conn, typeof data === 'string' ? Lien.parse(data) : null);
    });
    conn.on('close', function() {
      if (conn === Lien.conn) Lien.lost();
      if (Salle.role === 'invite') Salle.later(Salle.redial);
    });
  },

  // Two networks with no path between them and no relay to go round: the
  // channel never opens, and both players are told while it goes on trying.
  unmet: function(conn) {
    var told = function() { if (!Salle.begun && !Salle.over) Salle.say(Salle.SAID.injoignable); };
    var timer = setTimeout(told, Salle.JOINDRE);
    conn.on('open', function() { clearTimeout(timer); });
    conn.on('error', function(e) { if (e.type === 'negotiation-failed') told(); });
  },

  // The first words of a channel: the guest's "bonjour", or the host's answer.
  greeted: function(conn, o) {
    if (Salle.role === 'hote') return Salle.welcome(conn, o);
    if (o && o.t === 'refus') return Salle.stop(Salle.SAID[o.pourquoi === 'message' ? 'refuse' : o.pourquoi]);
    if (!o || o.t !== 'bonjour' || o.jeton !== Salle.jeton) return conn.close();
    if (o.version !== Salle.site) return Salle.stop(Salle.SAID.version);
    Salle.link(conn, o.recus);
  },

  welcome: function(conn, o) {
    if (!o || o.t !== 'bonjour') return conn.close();
    var refused = o.version !== Salle.site ? 'version' : Salle.over ? 'finie' : Salle.jeton && o.jeton !== Salle.jeton ? 'pleine' : '';
    if (refused) {
      conn.send(JSON.stringify({t: 'refus', pourquoi: refused}));
      if (refused === 'version') Salle.say(Salle.SAID.version);
      return setTimeout(function() { conn.close(); }, Salle.RETRY);  // once the refusal is there
    }
    Salle.jeton = o.jeton;
    conn.send(JSON.stringify({t: 'bonjour', version: Salle.site, jeton: o.jeton, recus: Lien.received}));
    Salle.link(conn, o.recus);
  },

  // The pages met: the programs start, or the game goes on from where the
  // other page's messages stopped.
  link: function(conn, theyHold) {
    var old = Lien.conn;
    if (old) {
      Lien.lost();
      old.close();
    }
    Lien.attach(conn, theyHold);
    if (Salle.begun) return;
    Salle.begun = true;
    setInterval(Lien.beat, Lien.LIVELY);
    document.getElementById('salle').hidden = true;
    document.body.classList.remove('salle');
    Salle.isMet();
  },

  // The game's state, on the pause's sheet.
  changed: function(state, why) {
    // Once the page ended the game, the program's "link lost" adds nothing.
    if (state === 'dit') return Module.lien.perdu ? null : Salle.say(why);
    var sheet = document.getElementById('salle-pause');
    var held = state === 'pause' || state === 'arret';
    if (state === 'pause' && why) Salle.wait();
    if (!held) clearTimeout(Salle.patience);
    if (state === 'arret') Salle.over = Boolean(Salle.why = why);
    if (state === 'fin' && why === 'autre') Salle.say(Salle.SAID.autre);
    var was = sheet.hidden;
    sheet.hidden = !held;
    Salle.showPause();
    if (was && held) Ecrans.say(sheet.querySelector('p').textContent);
    if (!was && !held && Module.canvas) Module.canvas.focus();
  },

  wait: function() {
    clearTimeout(Salle.patience);
    document.querySelectorAll('#salle-pause button')[1].hidden = true;
    Salle.patience = setTimeout(function() {
      document.querySelectorAll('#salle-pause button')[1].hidden = false;
    }, Salle.PATIENCE);
  },

  showPause: function() {
    var sheet = document.getElementById('salle-pause'), buttons = sheet.querySelectorAll('button');
    var said = sheet.querySelectorAll('p'), stopped = Lien.state === 'arret';
    var can = Lien.state === 'pause' && Lien.conn && !document.hidden;
    said[0].textContent = stopped ? Salle.SAID[Salle.why] : Salle.SAID.perdue;
    said[1].textContent = can ? (Lien.ready ? Salle.SAID.pret : Salle.SAID.reprendre) : '';
    buttons[0].hidden = !can || Lien.ready;
    if (stopped) buttons[1].hidden = false;
    if (!buttons[0].hidden && !document.body.classList.contains('tactile')) buttons[0].focus();
  },

  // Hidden, the game pauses on both devices; shown again, "Reprendre" is there.
  seen: function() {
    if (!Salle.begun) return;
    if (document.hidden) Lien.hold('cache');
    Salle.showPause();
  },

  // The program ended: the game with it; the host's room answers that it has.
  finished: function() {
    Salle.over = true;
    if (Lien.state !== 'fin') Lien.state = 'fin';
    document.getElementById('salle-pause').hidden = true;
    clearTimeout(Salle.patience);
  },

  stop: function(why) {
    Salle.over = true;
    Salle.say(why);
    document.getElementById('salle-lien').hidden = true;
  },

  // In the room's panel until the programs start, over the game after.
  say: function(text) {
    if (Salle.begun) Partage.show(text);
    else document.getElementById('salle-dit').textContent = text;
    Ecrans.say(text);
  },

  address: function() { return new URL('jeu.html#salle=' + Salle.id, location.href).href; },

  // The room is open: its link, to open on the other device.
  showLink: function() {
    if (Salle.begun) return;
    var link = Salle.address(), a = document.getElementById('salle-adresse'), qr = qrcode(0, 'M');
    a.href = a.textContent = link;
    qr.addData(link);
    qr.make();
    document.getElementById('salle-qr').src = qr.createDataURL(4, 4);
    document.getElementById('salle-lien').hidden = false;
    Salle.say(Salle.SAID.attente);
  },

  // The system's share sheet where there is one; else the link, copied.
  share: function() {
    var link = Salle.address();
    if (navigator.share) return navigator.share({title: 'Glouto : deux écrans', url: link}).catch(function() {});
    var copied = navigator.clipboard ? navigator.clipboard.writeText(link) : Promise.reject();
    copied.then(function() { Salle.say(Salle.SAID.copie); }, function() { Salle.say(Salle.SAID.copier); });
  },

  // Back to the one-device game.
  leave: function() {
    Salle.over = true;
    if (Salle.peer) Salle.peer.destroy();
    history.replaceState(null, '', location.pathname + location.search);
    location.reload();
  }
};
