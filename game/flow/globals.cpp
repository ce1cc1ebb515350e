#include "game/flow/globals.h"

int tamponIMG = 1;
int FINPROG = 0;
int attente = 0;
int invulnerable = 0;
std::atomic<int> Change{0};
std::atomic<int> keptTicks{0};
SDL_Rect PRIEN = {0, 0, 0, 0};

// Runs on SDL's timer thread: it must touch nothing but its count.
Uint32 minuteur(Uint32 interval, void* /*param*/) {
  keptTicks.fetch_add(1);
  return interval;
}
