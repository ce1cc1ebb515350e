#ifndef GLOUTO_PLATFORM_PADS_H
#define GLOUTO_PLATFORM_PADS_H

#include <SDL.h>

// Gamepads, through each target's SDL joysticks: the first steers the hero, the
// second player 2's enemy, and their buttons stand for keys (common/pad_keys.h).
// A program that never calls PadsStart sees no pad, as the editor.

// Opens the pads plugged in now; the window's event functions then take those
// plugged in or out later.
void PadsStart();

// For the window's event functions: takes pads plugged in or out since the last
// look, at most twice a second.
void PadsUpkeep();

// PadEventToKey with this target's button numbers for each make of pad.
int PadsTranslate(SDL_Event* event);

// PadRepeat at the key repeat the program set.
int PadsRepeat(SDL_Event* event);

#endif
