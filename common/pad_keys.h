#ifndef GLOUTO_COMMON_PAD_KEYS_H
#define GLOUTO_COMMON_PAD_KEYS_H

#include <SDL.h>

// What a pad's control does, whatever number its library gives the button and
// wherever its make puts it: Confirm is A on Xbox- and Nintendo-style pads, the
// cross on PlayStation-style ones.
enum class PadControl {
  kNone,
  kUp,
  kDown,
  kLeft,
  kRight,
  kConfirm,
  kTwoPlayers,  // the left face button: X, the square, Y
  kTop,         // the top face button: Y, the triangle, X
  kLeftShoulder,
  kRightShoulder,
  kBack,
  kStart
};

// The makes whose buttons differ, recognised from what SDL 1.2 tells of a pad.
enum class PadFamily { kXbox, kPlayStation, kNintendo, kGeneric };

// `name` as SDL_JoystickName gives it (null for none).
PadFamily PadFamilyOf(const char* name);

// Button i of a pad is buttons[i]; past `count`, a button does nothing.
struct PadLayout {
  const PadControl* buttons;
  int count;
};

// The first pad plays the hero, the second player 2's enemy; others are left alone.
constexpr int kPadCount = 2;

// The key that `control` of pad `pad` stands for, 0 (SDLK_UNKNOWN) for none. The
// player-count menu reads a pad's Confirm key as "1 joueur", TwoPlayers as
// "2 joueurs" and Top as "Mode d'emploi" and "Retour".
int PadKey(int pad, PadControl control);

// Turns a pad's event into the key event it stands for, in place, and returns
// 1; returns 0 for a pad's event that stands for no key, to be skipped. Other
// events are left alone (1). A device without a layout of its own uses
// `fallback`. `now` (SDL_GetTicks) starts a held direction's repeat.
int PadEventToKey(SDL_Event* event, PadLayout fallback, Uint32 now);

// A held direction repeats as SDL repeats a held key, `delay` and `interval` as
// SDL_EnableKeyRepeat's, looked at once a pass: once `delay` ms have gone, each
// look more than `interval` ms after the last gives one more press. Returns 1
// with that press in `event`, else 0.
int PadRepeat(SDL_Event* event, Uint32 now, int delay, int interval);

// Whether the last event PadEventToKey or PadRepeat let through was a pad's:
// the menus take a pad's buttons as clicks, never the keyboard's keys; in
// play, a pad's Back pauses.
bool LastKeyFromPad();
// A replay's event says whether a pad's button stood for it.
void SetLastKeyFromPad(bool fromPad);

// Forgets where the sticks and hats stood and what was held, when the pads are
// opened anew.
void PadsForget();

// Makes SDL's joystick `device` player `pad`'s pad (-1: nobody's, its events
// skipped), its buttons as `layout` (a null `buttons`: the fallback). Until
// told otherwise, device 0 is player 1's and device 1 player 2's.
void PadsAssign(int device, int pad, PadLayout layout = {nullptr, 0});

// A pad as a target lists it: its name (null: no usable pad there) and the
// player it still plays for, -1 when it is newly listed.
struct PadListed {
  const char* name;
  int keeps;
};

// Seats the pads listed: a pad still there keeps its player; a pad back goes
// to the player it had, known by its name and its order among pads of that
// name; a new pad takes a player without a pad. seats[i] gets the player of
// pads[i], -1 for none.
void PadsSeat(const PadListed* pads, int count, int* seats);

// Forgets which pads the players had, as at the program's start.
void PadsForgetSeats();

#endif
