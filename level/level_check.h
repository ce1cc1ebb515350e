#ifndef GLOUTO_LEVEL_LEVEL_CHECK_H
#define GLOUTO_LEVEL_LEVEL_CHECK_H

#include <string>
#include <vector>

#include "level/level_rules.h"

// What keeps a saved level out of play; the first one found wins, in this order.
enum class LevelProblem {
  kNone,
  kFormat,        // not a count line then exactly that many "x<TAB>y" lines
  kTooManyWalls,  // more walls than the game's tables hold
  kOffGrid,       // a wall off the 25-pixel grid or outside the level's window
  kReserved,      // a wall where the enemies or the hero start
  kCode,          // a shared level's code that is none (level_code.h)
  kShare,         // a level the game plays but no code can carry (level_code.h)
};

struct LevelVerdict {
  LevelProblem problem = LevelProblem::kNone;
  int line = 0;  // 1-based line of the fault, 0 when it is not one line's
  int x = 0;     // the wall at fault, for kOffGrid and kReserved
  int y = 0;
  int walls = 0;       // the declared count, once the format is right
  std::string detail;  // what is wrong with the format, in French
};

// Checks the text of a level file as the editor writes it for `level`:
// "%d\n" then "%d\t%d\n" per wall, each line break LF or CR LF.
LevelVerdict CheckLevelText(const std::string& text, int level);

// The one reader of level text: CheckLevelText, which also gives the walls in
// their order (into `walls`, cleared first) once the format is right.
LevelVerdict ReadLevelText(const std::string& text, int level, std::vector<LevelWall>* walls);

#endif
