#ifndef GLOUTO_EDITOR_CYCLE_HOOK_H
#define GLOUTO_EDITOR_CYCLE_HOOK_H

// Called, when set, at the start of every editing cycle once SDL and the
// font library are up and before the first window opens: the moment a test
// can put its input into the fresh event queue. Null in the program.
extern void (*cycleStarted)(int cycle);

#endif
