#include "common/pad_keys.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

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

// The same on both pads: Confirm confirms, Start pauses, Back leaves (in play
// the game pauses on it). TwoPlayers has no role in play; the menu reads it.
constexpr std::array<ButtonKey, 7> kButtonKeys = {{
    {PadControl::kConfirm, SDLK_RETURN},
    {PadControl::kTwoPlayers, SDLK_2},
    {PadControl::kTop, SDLK_SPACE},
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

// The direction a pad holds, as SDL keeps the key it repeats.
struct Held {
  PadControl direction = PadControl::kNone;
  Uint32 since = 0;
  bool repeating = false;
};

constexpr int kDevices = 16;

struct Device {
  int pad;
  PadLayout layout;
};

std::array<Device, kDevices> MakeDevices() {
  std::array<Device, kDevices> devices{};
  for (int d = 0; d < kDevices; ++d) devices[d] = {d < kPadCount ? d : -1, {nullptr, 0}};
  return devices;
}

std::array<Device, kDevices> devices = MakeDevices();
std::array<Stick, kPadCount> sticks;
std::array<Uint8, kPadCount> hats{};
std::array<Held, kPadCount> held;
bool lastFromPad = false;

// Whose pad each player had: its name and its order among pads of that name.
struct Seat {
  std::string name;
  int order = -1;
};
std::array<Seat, kPadCount> seats;

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

Uint8 HatBit(PadControl direction) {
  switch (direction) {
    case PadControl::kUp: return SDL_HAT_UP;
    case PadControl::kDown: return SDL_HAT_DOWN;
    case PadControl::kLeft: return SDL_HAT_LEFT;
    case PadControl::kRight: return SDL_HAT_RIGHT;
    default: return 0;
  }
}

bool IsDirection(PadControl c) {
  return c == PadControl::kUp || c == PadControl::kDown || c == PadControl::kLeft ||
         c == PadControl::kRight;
}

void Hold(int pad, PadControl direction, Uint32 now) { held[pad] = {direction, now, false}; }

void LetGo(int pad, PadControl direction) {
  if (held[pad].direction == direction) held[pad] = {};
}

// Directions count when pressed: the game steers on a key's press, never its release.
PadControl NewDirection(const SDL_Event& e, int pad, Uint32 now) {
  if (e.type == SDL_JOYHATMOTION) {
    if (e.jhat.hat != 0) return PadControl::kNone;
    const PadControl d = HatDirection(hats[pad], e.jhat.value);
    hats[pad] = e.jhat.value;
    if (d != PadControl::kNone) {
      Hold(pad, d, now);
    } else if (!(e.jhat.value & HatBit(held[pad].direction))) {
      held[pad] = {};  // the side held was let go
    }
    return d;
  }
  if (e.jaxis.axis > 1) return PadControl::kNone;  // only the left stick steers
  Stick& s = sticks[pad];
  (e.jaxis.axis == 0 ? s.x : s.y) = e.jaxis.value;
  const PadControl was = s.leaning;
  s.leaning = StickDirection(s);
  if (s.leaning == was) return PadControl::kNone;
  LetGo(pad, was);
  if (s.leaning != PadControl::kNone) Hold(pad, s.leaning, now);
  return s.leaning;
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

void MakeKey(SDL_Event* event, bool down, int key) {
  SDL_Event k{};
  k.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  k.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  k.key.keysym.sym = static_cast<decltype(k.key.keysym.sym)>(key);
  *event = k;
}

bool Contains(const char* name, const char* part) { return std::strstr(name, part) != nullptr; }

}  // namespace

PadFamily PadFamilyOf(const char* name) {
  if (!name) return PadFamily::kGeneric;
  for (const char* sony : {"Sony", "PLAYSTATION", "PlayStation", "DualSense", "DualShock", "PS3",
                           "PS4", "PS5", "Wireless Controller"})
    if (Contains(name, sony)) {
      // Microsoft's own pads call themselves "Xbox Wireless Controller".
      return Contains(name, "Xbox") ? PadFamily::kXbox : PadFamily::kPlayStation;
    }
  for (const char* nintendo : {"Nintendo", "Pro Controller", "Joy-Con", "Switch"})
    if (Contains(name, nintendo)) return PadFamily::kNintendo;
  for (const char* xbox : {"Xbox", "X-Box", "XBOX", "Microsoft", "XInput", "X360"})
    if (Contains(name, xbox)) return PadFamily::kXbox;
  return PadFamily::kGeneric;
}

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

int PadEventToKey(SDL_Event* event, PadLayout fallback, Uint32 now) {
  const int device = DeviceOf(*event);
  if (device < 0) {
    lastFromPad = false;
    return 1;
  }
  const Device& d = device < kDevices ? devices[device] : Device{-1, {nullptr, 0}};
  const int pad = d.pad;
  if (pad < 0 || pad >= kPadCount) return 0;
  int key = SDLK_UNKNOWN;
  bool down = true;
  if (event->type == SDL_JOYBUTTONDOWN || event->type == SDL_JOYBUTTONUP) {
    const PadLayout layout = d.layout.buttons ? d.layout : fallback;
    const int button = event->jbutton.button;
    const PadControl control = button < layout.count ? layout.buttons[button] : PadControl::kNone;
    down = event->type == SDL_JOYBUTTONDOWN;
    if (IsDirection(control)) {
      if (down) {
        Hold(pad, control, now);
      } else {
        LetGo(pad, control);
      }
    }
    key = PadKey(pad, control);
  } else {
    key = PadKey(pad, NewDirection(*event, pad, now));
  }
  if (key == SDLK_UNKNOWN) return 0;
  MakeKey(event, down, key);
  lastFromPad = true;
  return 1;
}

int PadRepeat(SDL_Event* event, Uint32 now, int delay, int interval) {
  if (delay <= 0) return 0;  // repeat off, as SDL_EnableKeyRepeat(0, 0)
  int due = -1;
  for (int pad = 0; pad < kPadCount; ++pad) {
    Held& h = held[pad];
    if (h.direction == PadControl::kNone) continue;
    const Uint32 gone = now - h.since;
    // SDL's own order: past the delay the repeat starts; a key only after an interval more.
    if (!h.repeating) {
      if (gone > static_cast<Uint32>(delay)) {
        h.since = now;
        h.repeating = true;
      }
    } else if (gone > static_cast<Uint32>(interval) && (due < 0 || now - held[due].since < gone)) {
      due = pad;  // the longest waiting first: two players hold at once
    }
  }
  if (due < 0) return 0;
  held[due].since = now;
  MakeKey(event, true, PadKey(due, held[due].direction));
  lastFromPad = true;
  return 1;
}

bool LastKeyFromPad() { return lastFromPad; }
void SetLastKeyFromPad(bool fromPad) { lastFromPad = fromPad; }

void PadsForget() {
  sticks = {};
  hats = {};
  held = {};
}

void PadsAssign(int device, int pad, PadLayout layout) {
  if (device >= 0 && device < kDevices) devices[device] = {pad, layout};
}

void PadsSeat(const PadListed* pads, int count, int* seats_) {
  std::array<bool, kPadCount> taken{};
  auto orderOf = [&](int i) {
    int order = 0;
    for (int j = 0; j < i; ++j)
      order += pads[j].name && std::strcmp(pads[j].name, pads[i].name) == 0;
    return order;
  };
  auto sit = [&](int i, int player) {
    seats_[i] = player;
    taken[player] = true;
    seats[player] = {pads[i].name, orderOf(i)};
  };
  for (int i = 0; i < count; ++i) seats_[i] = -1;
  for (int i = 0; i < count; ++i)
    if (pads[i].name && pads[i].keeps >= 0 && pads[i].keeps < kPadCount) sit(i, pads[i].keeps);
  // A pad back, by its name and order first, then by its name alone.
  for (const bool byOrder : {true, false})
    for (int player = 0; player < kPadCount; ++player) {
      if (taken[player] || seats[player].order < 0) continue;
      for (int i = 0; i < count; ++i) {
        if (seats_[i] >= 0 || !pads[i].name || pads[i].keeps >= 0) continue;
        if (seats[player].name != pads[i].name || (byOrder && orderOf(i) != seats[player].order))
          continue;
        sit(i, player);
        break;
      }
    }
  for (int i = 0; i < count; ++i) {
    if (seats_[i] >= 0 || !pads[i].name) continue;
    for (int player = 0; player < kPadCount; ++player)
      if (!taken[player]) {
        sit(i, player);
        break;
      }
  }
}

void PadsForgetSeats() { seats = {}; }
