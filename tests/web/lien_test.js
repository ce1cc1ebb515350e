// The link of "Deux écrans" (platform/web/page/lien.js) without a browser: each row a linked page, what reaches it
// in order (an ArrayBuffer or a text from the other page, or an act of this one), then its state, what its program
// got (each message's bytes, or how many when a number) and what it sent the other page (#N a game message, else a
// control's kind).
'use strict';
const [fs, path, vm, assert] = ['fs', 'path', 'vm', 'assert'].map(require);
const SOURCE = fs.readFileSync(path.join(__dirname, '..', '..', 'platform', 'web', 'page', 'lien.js'), 'utf8');

const G = (n, ...bytes) => Uint8Array.from([71, (n >> 8) & 255, n & 255, ...bytes]).buffer;
const T = (o) => JSON.stringify(o);
const many = (count, from = 0) => (L) => { for (let n = from; n < from + count; ++n) L.heard(G(n & 0xffff, 9)); };
const send = (...sizes) => () => sizes.forEach((size) => page.Module.lien.envoyer(new Uint8Array(size)));
const meet = (holds) => (L, wire) => L.attach(wire, holds);
const [drop, hide, again, beat] = [(L) => L.lost(), (L) => L.hold('cache'), (L) => L.again(), (L) => L.beat()];
const at = (ms) => () => { clock = ms; };
let page, clock;

const ROWS = [
  // Game messages: in order, at most 1024 bytes, under their numbers (which wrap at 16 bits).
  ['in order', [G(0, 1, 2), G(1), G(2, 255)], 'jeu', '1.2||255', ''],
  ['1024 bytes', [G(0, ...Array(1024).fill(7))], 'jeu', 1, ''],
  ['1025 bytes', [G(0, ...Array(1025).fill(7))], 'arret', '', 'refus'],
  ['a number skipped', [G(0, 1), G(2, 3)], 'arret', '1', 'refus'],
  ['a number again', [G(0, 1), G(0, 1)], 'arret', '1', 'refus'],
  ['another first byte', [Uint8Array.from([70, 0, 0, 1]).buffer], 'arret', '', 'refus'],
  ['cut short', [Uint8Array.from([71, 0]).buffer], 'arret', '', 'refus'],
  ['a number', [42], 'arret', '', 'refus'],
  ['an object', [{t: 'pause', n: 1}], 'arret', '', 'refus'],
  ['a view, not a buffer', [new Uint8Array([71, 0, 0])], 'arret', '', 'refus'],
  ['numbers wrap', [many(65536), G(0, 5)], 'jeu', 65537, Array.from({length: 1024}, (_, k) => `recu ${64 * k + 64}`).join(' ')],
  // Control texts: exactly one of the kinds, with exactly its fields.
  ['a kind unknown', [T({t: 'salut'})], 'arret', '', 'refus'],
  ['a field more', [T({t: 'pause', n: 1, x: 1})], 'arret', '', 'refus'],
  ['a field less', [T({t: 'pause'})], 'arret', '', 'refus'],
  ['a count as text', [T({t: 'pause', n: '1'})], 'arret', '', 'refus'],
  ['a count below 0', [T({t: 'pause', n: -1})], 'arret', '', 'refus'],
  ['a count not whole', [T({t: 'recu', n: 0.5})], 'arret', '', 'refus'],
  ['a kind of every object', ['{"t":"toString"}', G(0, 1)], 'arret', '', 'refus'],
  ['not JSON', ['pause'], 'arret', '', 'refus'],
  ['null', ['null'], 'arret', '', 'refus'],
  ['too long', [T({t: 'refus', pourquoi: 'message', x: 'x'.repeat(200)})], 'arret', '', 'refus'],
  ['a reason unknown', [T({t: 'refus', pourquoi: 'autre'})], 'arret', '', 'refus'],
  ['a greeting once linked', [T({t: 'bonjour', version: '0123456789abcdef', jeton: 'abcdefghijklmnop', recus: 0})],
   'arret', '', 'refus'],
  ['the other refused', [T({t: 'refus', pourquoi: 'message'}), G(0, 1)], 'arret', '', ''],
  ['the other ended', [T({t: 'fin'}), G(0, 1)], 'fin', '', ''],
  // Paused, nothing reaches the program until both players touched "Reprendre" for the latest pause.
  ['held while paused', [T({t: 'pause', n: 1}), G(0, 1), G(1, 2)], 'pause', '', ''],
  ['both again', [T({t: 'pause', n: 1}), G(0, 1), again, T({t: 'reprendre', n: 1}), G(1, 2)], 'jeu', '1|2', 'reprendre 1'],
  ['the other again first', [hide, G(0, 1), T({t: 'reprendre', n: 1}), again], 'jeu', '1', 'pause 1 reprendre 1'],
  ['an older pause', [hide, T({t: 'reprendre', n: 0}), again], 'pause', '', 'pause 1 reprendre 1'],
  ['a newer pause', [hide, again, T({t: 'pause', n: 2}), T({t: 'reprendre', n: 2})], 'pause', '', 'pause 1 reprendre 1'],
  ['a known pause', [hide, again, T({t: 'pause', n: 1}), T({t: 'reprendre', n: 1})], 'jeu', '', 'pause 1 reprendre 1'],
  ['hidden', [hide, (L) => { page.document.hidden = true; }, again, T({t: 'reprendre', n: 1})], 'pause', '', 'pause 1'],
  // Numbered, a message is kept until the other holds it, and sent again when the pages meet again.
  ['sent', [send(1, 1024)], 'jeu', '', '#0 #1'],
  ['too long to send', [send(1025), () => page.Module.lien.envoyer([1, 2])], 'jeu', '', ''],
  ['lost and met', [send(1, 1), drop, send(1), meet(1)], 'pause', '', '#0 #1 #1 #2 pause 1'],
  ['forgotten once held', [send(1, 1, 1), T({t: 'recu', n: 2}), drop, meet(2)], 'pause', '', '#0 #1 #2 #2 pause 1'],
  ['more held than sent', [send(1), drop, meet(2)], 'arret', '', '#0 refus'],
  ['an acknowledgement beyond', [send(1), T({t: 'recu', n: 2})], 'arret', '', '#0 refus'],
  ['acknowledged every 64', [many(128)], 'jeu', 128, 'recu 64 recu 128'],
  // Still there: a page quiet for a second says so; one that heard nothing for 4 s in play drops the channel.
  ['quiet', [at(999), beat, at(1000), beat, T({t: 'la'}), at(4999), beat], 'jeu', '', 'la la'],
  ['busy', [at(900), send(1), at(1800), beat], 'jeu', '', '#0'],
  ['silent', [at(4001), beat], 'jeu', '', 'close'],
  ['silent while paused', [hide, at(5000), beat], 'pause', '', 'pause 1 la'],
];

const shown = (recus) => recus.map((m) => [...m].join('.')).join('|');
for (const [name, steps, state, recus, sent] of ROWS) {
  clock = 0;
  page = {console: {error: () => {}}, performance: {now: () => clock}, document: {hidden: false}, Module: {}, ArrayBuffer, Uint8Array};
  vm.createContext(page);
  vm.runInContext(`${SOURCE}; this.Lien = Lien;`, page);
  const L = page.Lien, wire = [];
  const other = {close: () => wire.push('close'), send: (d) => wire.push(typeof d === 'string' ? ((o) => `${o.t}${'n' in o ? ` ${o.n}` : ''}`)(JSON.parse(d))
                                                               : `#${(d[1] << 8) | d[2]}`)};
  L.make('hote');
  L.attach(other, 0);
  for (const step of steps) typeof step === 'function' ? step(L, other) : L.heard(step);
  const got = typeof recus === 'number' ? page.Module.lien.recus.length : shown(page.Module.lien.recus);
  assert.deepStrictEqual([L.state, got, wire.join(' ')], [state, recus, sent], name);
  assert.strictEqual(page.Module.lien.perdu, state === 'fin', `${name}: perdu`);
}
console.log(`${ROWS.length} rows`);
