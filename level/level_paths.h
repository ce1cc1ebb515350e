#ifndef GLOUTO_LEVEL_LEVEL_PATHS_H
#define GLOUTO_LEVEL_LEVEL_PATHS_H

#include <string>

// Where the levels live, relative to the folder the programs run in.

// The file the game plays as level n: "Niveaux/Niveau_n.txt".
std::string LevelPath(int level);

// The editor's save, which glouto-niveau puts into play.
constexpr const char* kSavedLevelPath = "Niveaux/Niveau_.txt";

#endif
