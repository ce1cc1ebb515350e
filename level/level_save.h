#ifndef GLOUTO_LEVEL_LEVEL_SAVE_H
#define GLOUTO_LEVEL_LEVEL_SAVE_H

#include <string>
#include <vector>

#include "level/level_rules.h"

// The one writer of level text: `count`, then "x<TAB>y" for each wall in its
// order, every line ended by `eol` ("\n", or "\r\n" for a file saved so).
std::string LevelText(int count, const std::vector<LevelWall>& walls, const char* eol);

// The text of a level as the editor saves it: the wall count, then "x<TAB>y"
// for each slot below slotCount that holds a wall (neither coordinate -1).
std::string LevelText(const int* xs, const int* ys, int slotCount, int wallCount);

// Where a safe save stopped; kDone when the level is in place.
enum class SaveStep { kDone, kCreate, kWrite, kPlace };

struct SaveOutcome {
  SaveStep failed = SaveStep::kDone;
  int error = 0;  // errno of the failed step
};

// Writes `text` to a new file beside `target`, with the permissions fopen
// would give it, syncs it and moves it in place in one step, so a reader never
// sees half a level and a crash leaves the old one whole. Without `replace`
// an existing target stays and the save fails at kPlace with EEXIST. A failed
// save leaves no temporary behind.
SaveOutcome SaveLevelText(const std::string& target, const std::string& text, bool replace);

// Before a level is replaced: keeps the file at `target`, if there is one, as
// its next numbered backup, named as cp --backup=numbered names it
// ("Niveau_5.txt.~1~", then "~2~"...), never over an earlier one. `*kept` is
// that name, or empty when there was no file to keep. A failed read stops at
// kCreate, a failed copy where its save stopped.
SaveOutcome KeepBackup(const std::string& target, std::string* kept);

#endif
