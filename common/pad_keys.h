#ifndef GLOUTO_COMMON_PAD_KEYS_H
#define GLOUTO_COMMON_PAD_KEYS_H

#include <SDL.h>

// A pad's controls by where a player finds them, whatever number each
// library gives the button: South is A on most pads, Back is Select.
enum class PadControl {
  kNone,
  kUp,
  kDown,
  kLeft,
  kRight,
  kSouth,
  kEast,
  kWest,
  kNorth,
  kLeftShoulder,
  kRightShoulder,
  kBack,
  kStart
};

// The first pad plays the hero, the second player 2's enemy; others are left alone.
constexpr int kPadCount = 2;

// The key that `control` of pad `pad` stands for, 0 (SDLK_UNKNOWN) for none. The
// player-count menu reads the South key of a pad as "1 joueur", the West as "2 joueurs".
int PadKey(int pad, PadControl control);

// Turns a pad's event into the key event it stands for, in place, and returns
// 1; returns 0 for a pad's event that stands for no key, to be skipped. Other
// events are left alone (1). `buttons[i]` is button i's control on this target.
int PadEventToKey(SDL_Event* event, const PadControl* buttons, int buttonCount);

// Whether the last event PadEventToKey let through was a pad's: the menus take
// a pad's buttons as clicks, never the keyboard's keys.
bool LastKeyFromPad();

// Forgets where the sticks and hats stood, when the pads are opened anew.
void PadsForget();

// Makes SDL's joystick `device` player `pad`'s pad (-1: nobody's, its events
// skipped). Until told otherwise, device 0 is player 1's and device 1 player 2's.
void PadsAssign(int device, int pad);

#endif
