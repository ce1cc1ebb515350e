#ifndef GLOUTO_GAME_FLOW_GLOBALS_H
#define GLOUTO_GAME_FLOW_GLOBALS_H

#include <SDL.h>

#include <atomic>

// What the game's functions and the timer callback share. These live for the
// whole program and are not reset when a new game begins.
extern int tamponIMG;            // sprite phase: 0 first, 1 second, 3 reload now
extern int FINPROG;              // 1: the program must end, no end screens
extern int attente;              // a second was counted, no second-phase load since
extern int invulnerable;         // > 0: enemies cannot catch the hero
extern std::atomic<int> Change;  // quarter seconds since the last counted second
// Quarter seconds the timer counted that no frame has seen yet: each frame
// takes them all at once into Change, so that none is lost to its reset.
extern std::atomic<int> keptTicks;
extern SDL_Rect PRIEN;  // the empty rectangle, for arguments that play no part

// The 250 ms SDL timer callback: one more quarter second for the next frame.
Uint32 minuteur(Uint32 interval, void* param);

#endif
