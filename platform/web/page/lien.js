// The link between the two pages of "Deux écrans", over one WebRTC data
// channel, and the program's end of it, Module.lien: the program gives its
// messages to `envoyer` and takes the other's from `recus`, in order.
//
// On the channel a game message is binary: 'G', its number's low 16 bits,
// then the program's bytes, 1024 at most. Everything else is a short JSON
// text of one of the kinds of CONTROL, field by field. Numbered, a message
// lost with a dropped channel is sent again once the two pages meet again
// (each says in its "bonjour" how many it holds, and every ACK_EVERY one
// says so again, so that the sender forgets them); one out of order, or
// anything else, is refused: the game stops, and the page says why.
//
// A page that has sent nothing for a second says it is still there; one that
// heard nothing for SILENT ms in play takes the channel for lost, as a network
// gone may leave it open for half a minute.
//
// Either page hidden or the channel dropped pauses both: nothing reaches
// `recus` until the two players have touched "Reprendre". Pauses are counted:
// a "reprendre" sent before the other's latest pause is not one for it.
'use strict';

var Lien = {
  LONGEST: 1024,
  GAME: 71,  // 'G'
  HEAD: 3,
  ACK_EVERY: 64,
  LONGEST_TEXT: 200,
  LIVELY: 1000,
  SILENT: 4000,
  // The control messages: their fields and each field's test.
  CONTROL: {
    bonjour: {version: 'version', jeton: 'jeton', recus: 'count'},
    recu: {n: 'count'},
    pause: {n: 'count'},
    reprendre: {n: 'count'},
    fin: {},
    la: {},
    refus: {pourquoi: 'why'}
  },
  FIELDS: {
    version: function(v) { return typeof v === 'string' && /^[0-9a-f]{16}$/.test(v); },
    jeton: function(v) { return typeof v === 'string' && /^[a-z2-7]{16}$/.test(v); },
    count: function(v) { return Number.isInteger(v) && v >= 0 && v <= 0x7fffffff; },
    why: function(v) { return ['pleine', 'finie', 'version', 'message'].indexOf(v) >= 0; }
  },

  conn: null,        // the channel of the two pages, once greeted
  sent: [],          // the messages from number `base` on, until the other holds them
  base: 0,
  received: 0,
  held: [],          // received while paused
  state: 'jeu',      // jeu, pause, arret (a message refused), fin
  pauses: 0,
  ready: false,      // this player touched "Reprendre"
  otherReady: false,
  heardAt: 0,
  saidAt: 0,
  bytes: 0,          // sent, for the tests
  listeners: [],     // told each change of state: (state, why)

  // The program's end. `role` is 'hote' or 'invite'.
  make: function(role) {
    Module.lien = {role: role, envoyer: Lien.send, recus: [], perdu: false, dire: Lien.tell};
  },

  tell: function(text) { Lien.emit('dit', String(text)); },

  emit: function(what, why) {
    Lien.listeners.forEach(function(listener) { listener(what, why); });
  },

  // The program's message: numbered, kept, and sent if the other is there.
  send: function(message) {
    if (!(message instanceof Uint8Array) || message.length > Lien.LONGEST) {
      return console.error('Deux écrans : message du jeu refusé');
    }
    var frame = new Uint8Array(Lien.HEAD + message.length), number = Lien.base + Lien.sent.length;
    frame[0] = Lien.GAME;
    frame[1] = (number >> 8) & 255;
    frame[2] = number & 255;
    frame.set(message, Lien.HEAD);
    Lien.sent.push(frame);
    if (Lien.conn) Lien.put(frame);
  },

  put: function(data) {
    Lien.saidAt = performance.now();
    Lien.bytes += data.length;  // the texts are ASCII
    Lien.conn.send(data);
  },

  say: function(kind, fields) {
    if (Lien.conn) Lien.put(JSON.stringify(Object.assign({t: kind}, fields)));
  },

  // A control text, or null if it is not exactly one of CONTROL.
  parse: function(text) {
    if (text.length > Lien.LONGEST_TEXT) return null;
    var o;
    try { o = JSON.parse(text); } catch (e) { return null; }
    if (!o || typeof o !== 'object' || Array.isArray(o)) return null;
    if (typeof o.t !== 'string' || !Object.prototype.hasOwnProperty.call(Lien.CONTROL, o.t)) return null;
    var fields = Lien.CONTROL[o.t], keys = Object.keys(o);
    if (keys.length !== Object.keys(fields).length + 1) return null;
    for (var k = 0; k < keys.length; ++k) {
      if (keys[k] === 't') continue;
      if (!Object.prototype.hasOwnProperty.call(fields, keys[k]) || !Lien.FIELDS[fields[keys[k]]](o[keys[k]])) return null;
    }
    return o;
  },

  // The greeted channel becomes the link: what the other lacks is sent again.
  attach: function(conn, theyHold) {
    Lien.conn = conn;
    Lien.heardAt = performance.now();
    if (!Lien.forget(theyHold)) return Lien.refuse();
    Lien.sent.forEach(Lien.put);
    if (Lien.state === 'pause') Lien.say('pause', {n: Lien.pauses});
    Lien.emit(Lien.state);
  },

  // The other holds every message before number `n`.
  forget: function(n) {
    if (n < Lien.base || n > Lien.base + Lien.sent.length) return false;
    Lien.sent.splice(0, n - Lien.base);
    Lien.base = n;
    return true;
  },

  // What came over the link, judged before anything of it is used.
  heard: function(data) {
    if (Lien.state === 'fin') return;
    Lien.heardAt = performance.now();
    if (data instanceof ArrayBuffer) Lien.game(new Uint8Array(data));
    else if (typeof data === 'string') Lien.control(Lien.parse(data));
    else Lien.refuse();
  },

  game: function(frame) {
    var number = Lien.received & 0xffff;
    if (frame.length < Lien.HEAD || frame.length > Lien.HEAD + Lien.LONGEST || frame[0] !== Lien.GAME ||
        frame[1] !== number >> 8 || frame[2] !== (number & 255)) return Lien.refuse();
    var message = frame.slice(Lien.HEAD);
    Lien.received += 1;
    (Lien.state === 'jeu' ? Module.lien.recus : Lien.held).push(message);
    if (Lien.received % Lien.ACK_EVERY === 0) Lien.say('recu', {n: Lien.received});
  },

  control: function(o) {
    if (!o || o.t === 'bonjour') return Lien.refuse();  // a greeting comes once, before the link
    if (o.t === 'recu' && !Lien.forget(o.n)) return Lien.refuse();
    // A pause already known (both pages say theirs on meeting again) changes nothing.
    if (o.t === 'pause' && (o.n > Lien.pauses || (o.n === Lien.pauses && Lien.state === 'jeu'))) Lien.hold('perdue', o.n);
    if (o.t === 'reprendre' && o.n === Lien.pauses) {
      Lien.otherReady = true;
      Lien.resume();
    }
    if (o.t === 'fin') Lien.end('autre');
    if (o.t === 'refus') Lien.stop('refuse');
  },

  // Paused (by this page, why, or by the other's pause number n).
  hold: function(why, n) {
    if (Lien.state !== 'jeu' && Lien.state !== 'pause') return;
    Lien.pauses = n === undefined ? Lien.pauses + 1 : n;
    Lien.ready = Lien.otherReady = false;
    Lien.state = 'pause';
    if (n === undefined) Lien.say('pause', {n: Lien.pauses});
    Lien.emit('pause', why);
  },

  // Each second: this page is still there, and is the other?
  beat: function() {
    var now = performance.now();
    if (!Lien.conn || Lien.state === 'fin') return;
    if (Lien.state === 'jeu' && now - Lien.heardAt > Lien.SILENT) return Lien.conn.close();
    if (now - Lien.saidAt >= Lien.LIVELY) Lien.say('la', {});
  },

  // This player's "Reprendre"; the game goes on once both have touched it.
  again: function() {
    if (Lien.state !== 'pause' || !Lien.conn || document.hidden) return;
    Lien.ready = true;
    Lien.say('reprendre', {n: Lien.pauses});
    Lien.resume();
  },

  resume: function() {
    if (Lien.state !== 'pause' || !Lien.conn || document.hidden || !Lien.ready || !Lien.otherReady) return;
    Lien.state = 'jeu';
    Lien.held.forEach(function(message) { Module.lien.recus.push(message); });
    Lien.held = [];
    Lien.emit('jeu');
  },

  // The channel dropped: paused until the two pages meet again.
  lost: function() {
    Lien.conn = null;
    Lien.hold('perdue');
  },

  // A message refused: the other is told, once, and the game stops here.
  refuse: function() {
    if (Lien.state === 'arret') return;
    Lien.say('refus', {pourquoi: 'message'});
    Lien.stop('refus');
  },

  stop: function(why) {
    if (Lien.state === 'arret' || Lien.state === 'fin') return;
    Lien.state = 'arret';
    Lien.emit('arret', why);
  },

  // The game ends with the score so far (this player's "Terminer la partie",
  // or the other's).
  end: function(who) {
    if (Lien.state === 'fin') return;
    if (who !== 'autre') Lien.say('fin', {});
    Lien.state = 'fin';
    Module.lien.perdu = true;
    Lien.emit('fin', who);
  }
};
