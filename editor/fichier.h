#ifndef GLOUTO_EDITOR_FICHIER_H
#define GLOUTO_EDITOR_FICHIER_H

constexpr const char* kSavedLevelPath = "Niveaux/Niveau_.txt";

// Writes the walls of the non-empty slots below slotCount to
// "Niveaux/Niveau_.txt"; an empty grid (wallCount 0) leaves no file.
void Fichier(int* xs, int* ys, int slotCount, int wallCount);

#endif
