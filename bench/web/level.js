// The heavy level of the pace figures: 1000 walls on the 25-pixel grid of the
// 1000 x 600 window (level 5), cells used again past the first round, leaving
// the hero's rows (y 250 to 374) free so it can run across the window.
'use strict';

function heavyLevel() {
  const cells = [];
  for (let y = 0; y < 600; y += 25) {
    for (let x = 0; x < 1000; x += 25) if (y < 250 || y >= 375) cells.push(`${x}\t${y}`);
  }
  const walls = Array.from({length: 1000}, (_, i) => cells[i % cells.length]);
  return `1000\n${walls.join('\n')}\n`;
}

module.exports = {heavyLevel};
if (require.main === module) process.stdout.write(heavyLevel());
