#include "level/level_paths.h"

std::string LevelPath(int level) { return "Niveaux/Niveau_" + std::to_string(level) + ".txt"; }
