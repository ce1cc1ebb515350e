#ifndef GLOUTO_LEVEL_LEVEL_RULES_H
#define GLOUTO_LEVEL_LEVEL_RULES_H

#include <array>

// What a level may hold, shared by the game that plays it, the editor that
// draws it and glouto-niveau that puts it into play.

// The game's wall table holds this many walls; a longer file loses the rest.
constexpr int kMaxWalls = 1000;
// Walls sit on a grid of 25-pixel cells.
constexpr int kLevelCell = 25;
// Every level's window is 600 high.
constexpr int kLevelHeight = 600;

// The window widths: level 1 to 4, then every level from 5 on. The editor
// offers exactly these.
constexpr std::array<int, 5> kLevelWidths{{600, 700, 800, 900, 1000}};
constexpr int kWidestLevel = kLevelWidths.back();
constexpr int kWidthStep = kLevelWidths[1] - kLevelWidths[0];

// The levels a player may name: to start at (--niveau), to edit or put into
// play (glouto-editeur N, glouto-niveau N), to share as a code or in the page.
// The game itself plays on past the last.
constexpr int kFirstLevel = 1;
constexpr int kLastLevel = 99;
constexpr bool IsNamedLevel(int level) { return level >= kFirstLevel && level <= kLastLevel; }

// Width of the game's window at `level` (from 1).
constexpr int LevelWidth(int level) {
  if (level >= static_cast<int>(kLevelWidths.size())) return kWidestLevel;
  return kLevelWidths[0] + kWidthStep * (level - 1);
}

// One wall: the top-left corner of its 25-pixel block, in window pixels.
struct LevelWall {
  int x, y;
};

// The game starts its enemies at (26, 26) and its hero at (width/2 + 1,
// height/2 + 1), so the four cells under each start must stay free of walls.
constexpr bool IsReservedCell(int x, int y, int width, int height) {
  const bool corner = (x == kLevelCell || x == 2 * kLevelCell) &&
                      (y == kLevelCell || y == 2 * kLevelCell);
  const bool centre = (x == width / 2 || x == width / 2 + kLevelCell) &&
                      (y == height / 2 || y == height / 2 + kLevelCell);
  return corner || centre;
}

#endif
