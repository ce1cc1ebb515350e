#ifndef GLOUTO_GAME_FLOW_GAME_H
#define GLOUTO_GAME_FLOW_GAME_H

struct GameState;

// The game's entry: runs games one after another; returns 0.
extern "C" int SDL_main(int argc, char** argv);

// Seams for an in-process test that scripts whole runs; null in the game.
// Start: once per game, when the window is up, before the player-count menu
// (events pushed then are seen by the menu and everything after it).
// End: once per game, after the end screens, before anything is released.
extern void (*gameStartHook)(GameState& state);
extern void (*gameEndHook)(GameState& state);

#endif
