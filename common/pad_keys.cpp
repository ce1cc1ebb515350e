#include "common/pad_keys.h"

#include <array>
#include <cstdlib>

namespace {

struct Directions {
  int up, down, left, right;
};

// What the arrow keys do for player 1, w a s d do for player 2.
constexpr std::array<Directions, kPadCount> kDirections = {
    {{SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT}, {SDLK_w, SDLK_s, SDLK_a, SDLK_d}}};

struct ButtonKey {
  PadControl control;
  int key;
};

// The same on both pads, where today's games put these: A confirms, Start
// pauses, Back leaves. X has no role in play; the player-count menu reads it.
constexpr std::array<ButtonKey, 7> kButtonKeys = {{
    {PadControl::kSouth, SDLK_RETURN},
    {PadControl::kWest, SDLK_2},
    {PadControl::kNorth, SDLK_SPACE},
    {PadControl::kRightShoulder, SDLK_F1},
    {PadControl::kLeftShoulder, SDLK_F2},
    {PadControl::kStart, SDLK_p},
    {PadControl::kBack, SDLK_ESCAPE},
}};

// A stick must lean past about half its travel: a worn stick rests off centre.
constexpr int kDeadZone = 16000;

struct Stick {
  int x = 0, y = 0;
  PadControl leaning = PadControl::kNone;
};

constexpr int kDevices = 16;
std::array<int, kDevices> padOfDevice = {0,  1,  -1, -1, -1, -1, -1, -1,
                                         -1, -1, -1, -1, -1, -1, -1, -1};

std::array<Stick, kPadCount> sticks;
std::array<Uint8, kPadCount> hats{};
bool lastFromPad = false;

PadControl StickDirection(const Stick& s) {
  if (std::abs(s.x) < kDeadZone && std::abs(s.y) < kDeadZone) return PadControl::kNone;
  if (std::abs(s.x) >= std::abs(s.y)) return s.x > 0 ? PadControl::kRight : PadControl::kLeft;
  return s.y > 0 ? PadControl::kDown : PadControl::kUp;
}

// Of a hat's new value, the direction just pressed; a diagonal reached from one
// side turns towards the other.
PadControl HatDirection(Uint8 before, Uint8 now) {
  const Uint8 added = static_cast<Uint8>(now & ~before);
  if (added & SDL_HAT_UP) return PadControl::kUp;
  if (added & SDL_HAT_DOWN) return PadControl::kDown;
  if (added & SDL_HAT_LEFT) return PadControl::kLeft;
  if (added & SDL_HAT_RIGHT) return PadControl::kRight;
  return PadControl::kNone;
}

// Directions count when pressed: the game steers on a key's press, never its release.
PadControl NewDirection(const SDL_Event& e, int pad) {
  if (e.type == SDL_JOYHATMOTION) {
    if (e.jhat.hat != 0) return PadControl::kNone;
    const PadControl d = HatDirection(hats[pad], e.jhat.value);
    hats[pad] = e.jhat.value;
    return d;
  }
  if (e.jaxis.axis > 1) return PadControl::kNone;  // only the left stick steers
  Stick& s = sticks[pad];
  (e.jaxis.axis == 0 ? s.x : s.y) = e.jaxis.value;
  const PadControl was = s.leaning;
  s.leaning = StickDirection(s);
  return s.leaning == was ? PadControl::kNone : s.leaning;
}

int DeviceOf(const SDL_Event& e) {
  switch (e.type) {
    case SDL_JOYAXISMOTION: return e.jaxis.which;
    case SDL_JOYHATMOTION: return e.jhat.which;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: return e.jbutton.which;
    default: return -1;
  }
}

// -1 for no pad's event; kPadCount for a device that is nobody's.
int PadOf(const SDL_Event& e) {
  const int device = DeviceOf(e);
  if (device < 0) return -1;
  const int pad = device < kDevices ? padOfDevice[device] : -1;
  return pad < 0 ? kPadCount : pad;
}

void MakeKey(SDL_Event* event, bool down, int key) {
  SDL_Event k{};
  k.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  k.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  k.key.keysym.sym = static_cast<decltype(k.key.keysym.sym)>(key);
  *event = k;
}

}  // namespace

int PadKey(int pad, PadControl control) {
  if (pad < 0 || pad >= kPadCount) return SDLK_UNKNOWN;
  const Directions& d = kDirections[pad];
  switch (control) {
    case PadControl::kUp: return d.up;
    case PadControl::kDown: return d.down;
    case PadControl::kLeft: return d.left;
    case PadControl::kRight: return d.right;
    default: break;
  }
  for (const ButtonKey& b : kButtonKeys)
    if (b.control == control) return b.key;
  return SDLK_UNKNOWN;
}

int PadEventToKey(SDL_Event* event, const PadControl* buttons, int buttonCount) {
  const int pad = PadOf(*event);
  if (pad < 0) {
    lastFromPad = false;
    return 1;
  }
  if (pad >= kPadCount) return 0;
  int key = SDLK_UNKNOWN;
  bool down = true;
  if (event->type == SDL_JOYBUTTONDOWN || event->type == SDL_JOYBUTTONUP) {
    const int button = event->jbutton.button;
    if (button < buttonCount) key = PadKey(pad, buttons[button]);
    down = event->type == SDL_JOYBUTTONDOWN;
  } else {
    key = PadKey(pad, NewDirection(*event, pad));
  }
  if (key == SDLK_UNKNOWN) return 0;
  MakeKey(event, down, key);
  lastFromPad = true;
  return 1;
}

bool LastKeyFromPad() { return lastFromPad; }

void PadsForget() {
  sticks = {};
  hats = {};
}

void PadsAssign(int device, int pad) {
  if (device >= 0 && device < kDevices) padOfDevice[device] = pad;
}
