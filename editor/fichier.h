#ifndef GLOUTO_EDITOR_FICHIER_H
#define GLOUTO_EDITOR_FICHIER_H

#include "level/level_paths.h"  // kSavedLevelPath, where the editor saves

// Writes the walls of the non-empty slots below slotCount to
// "Niveaux/Niveau_.txt"; an empty grid (wallCount 0) leaves no file.
void Fichier(int* xs, int* ys, int slotCount, int wallCount);

#endif
