#ifndef GLOUTO_EDITOR_EDITOR_H
#define GLOUTO_EDITOR_EDITOR_H

#include <SDL.h>

extern int FINPROG;  // 1: the editor ends after this cycle, without saving

// The editor's entry: runs editing cycles; returns 0.
extern "C" int SDL_main(int argc, char** argv);

#endif
