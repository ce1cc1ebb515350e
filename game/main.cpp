#include "game/flow/game.h"

// SDL 1.2 leaves main alone on Linux; the game's entry is its SDL_main.
int main(int argc, char** argv) { return SDL_main(argc, argv); }
