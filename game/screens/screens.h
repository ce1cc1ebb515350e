#ifndef GLOUTO_GAME_SCREENS_SCREENS_H
#define GLOUTO_GAME_SCREENS_SCREENS_H

#include <SDL.h>
#include <SDL_ttf.h>

#include "platform/fsound.h"

// Level-start screen; fills the level's walls, chests and enemies on leaving.
// 1: play the level; 0: Escape or window closed.
int init(int width, int height, SDL_Surface* screen, int level, int chestCount,
         SDL_Surface** chestImages, SDL_Surface** wallImages, SDL_Rect* chestPositions,
         int enemyCount, SDL_Rect* enemyPositions, SDL_Surface** enemyImages, int* enemyDirections,
         SDL_Rect* heroPosition, FSOUND_STREAM* stream, TTF_Font* font, SDL_Rect* wallPositions,
         int* wallCount);

// Player-count menu with its instructions page: 1 or 2 players, 0 when left.
int Joueurs(int width, int height, SDL_Surface* screen, TTF_Font* font);

// End-of-game screen: 1 when a new game is wanted, 0 otherwise.
int FIN(int won, int score, SDL_Surface* screen, TTF_Font* font, int width, int height,
        int musicSwitch);

// Credits screen with the two partners' logos.
void Merci(int width, int height, SDL_Surface* screen, TTF_Font* font);

#endif
