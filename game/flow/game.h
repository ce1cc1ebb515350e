#ifndef GLOUTO_GAME_FLOW_GAME_H
#define GLOUTO_GAME_FLOW_GAME_H

// The game's entry: runs games one after another; returns 0.
int SDL_main(int argc, char** argv);

#endif
