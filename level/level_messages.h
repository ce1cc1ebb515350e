#ifndef GLOUTO_LEVEL_LEVEL_MESSAGES_H
#define GLOUTO_LEVEL_LEVEL_MESSAGES_H

#include <string>

#include "level/level_check.h"

// How the sentences name what was checked: glouto-niveau names the file by
// its path, the editor page says "Ce fichier" and "Ce niveau".
struct LevelSubjects {
  std::string file;   // the subject of a format fault
  std::string level;  // the subject of a wall count over the limit
  bool capital;       // whether a sentence about a wall starts with a capital
};

// Why the level cannot be played as level `level`, in French (UTF-8);
// empty when it can.
std::string LevelProblemText(const LevelVerdict& verdict, int level, const LevelSubjects& subjects);

// "Choisissez un num\u00e9ro de niveau de 1 \u00e0 99.": the levels a player may name.
std::string LevelRangeText();

// "le niveau 5 (1000 px de large)": how a code's level is named.
std::string LevelAndWidth(int level);

// Why a code's level, meant for `codeLevel`, cannot be played as `level`,
// given the checker's verdict there: in words of the code, never of a line.
std::string CodeLevelText(int codeLevel, int level, const LevelVerdict& there);

#endif
