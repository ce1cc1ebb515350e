// The recorded games of tests/games/ watched fast in the browser (jeu.html#partie=CODE&vite): each must reach the end
// line reviewed in ends.txt with every frame as recorded (the program's status 0), said on the page.
'use strict';
const [fs, path] = ['fs', 'path'].map(require);
const {check, waitUntil} = require('./harness.js');
const GAMES = path.join(__dirname, '..', 'games');

for (const [, name, end] of fs.readFileSync(path.join(GAMES, 'ends.txt'), 'utf8').matchAll(/^([a-z_0-9]+) (.*)$/gm)) {
  const code = fs.readFileSync(path.join(GAMES, `${name}.partie`)).toString('base64url');
  module.exports[name] = async (site) => {
    await site.open(`jeu.html#partie=${code}&vite`, '[window.felt, navigator.vibrate] = [0, () => ++window.felt > 0]');
    const [said, status, felt] = await waitUntil(`${name} played to its end`, () => site.page.evaluate(() =>
      !document.getElementById('fin').hidden && [document.getElementById('partage').textContent, Partie.status, felt]));
    check(said === end && status === 0, `ended "${said}", status ${status}; recorded "${end}"`);
    // A hero caught is felt in the hand.
    check(!name.startsWith('caught') || felt > 0, 'the hero was caught and the phone never vibrated');
    check(!site.errors.length, `the page said\n  ${site.errors.join('\n  ')}`);
  };
}
