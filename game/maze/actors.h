#ifndef GLOUTO_GAME_MAZE_ACTORS_H
#define GLOUTO_GAME_MAZE_ACTORS_H

#include <SDL.h>

// Where every enemy starts and where a stuck actor is sent back.
constexpr int kStartCornerX = 26, kStartCornerY = 26;

// Loads the walls of `level` and one "Images/Mur.png" per wall; returns the wall count.
int Murs(SDL_Surface** wallImages, SDL_Rect* wallPositions, int width, int height,
         SDL_Surface* screen, int level);

// Scatters chestCount chests at free random spots; returns chestCount.
int Carres(int width, int height, SDL_Rect* chestPositions, SDL_Surface** chestImages,
           int chestCount, SDL_Rect* walls, int wallCount);

// Puts every enemy at the start corner with a random direction; returns enemyCount.
int Ennemis(int width, int height, int* enemyDirections, int enemyCount, SDL_Rect* heroPosition,
            SDL_Rect* enemyPositions, SDL_Surface** enemyImages);

// Draws a table of images at their positions with white as the transparent colour.
void Dessin(SDL_Surface* screen, SDL_Surface** images, SDL_Rect* rectangles, int count);

#endif
