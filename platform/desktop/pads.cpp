#include "platform/pads.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "common/pad_keys.h"
#include "platform/desktop/pad_devices.h"

namespace {

using C = PadControl;

// Linux numbers a pad's buttons in the order of their kernel codes: south,
// east, north, west, the shoulders, the triggers where they are buttons,
// select, start, the make's own button, the sticks' clicks, then the d-pad of
// those that have buttons and no hat for it.

// xpad: A, B, X, Y, LB, RB, Back, Start, Guide, the clicks, the d-pad.
constexpr C kXbox[] = {C::kConfirm,       C::kNone, C::kTwoPlayers, C::kTop,  C::kLeftShoulder,
                       C::kRightShoulder, C::kBack, C::kStart,      C::kNone, C::kNone,
                       C::kNone,          C::kLeft, C::kRight,      C::kUp,   C::kDown};
// hid-playstation and hid-sony: cross, circle, triangle, square, L1, R1, L2,
// R2, Share, Options, PS, the clicks; the PS3's d-pad after them.
constexpr C kPlayStation[] = {
    C::kConfirm, C::kNone, C::kTop,  C::kTwoPlayers, C::kLeftShoulder, C::kRightShoulder,
    C::kNone,    C::kNone, C::kBack, C::kStart,      C::kNone,         C::kNone,
    C::kNone,    C::kUp,   C::kDown, C::kLeft,       C::kRight};
// A PlayStation pad through the kernel's plain HID driver (14 buttons): square,
// cross, circle, triangle, L1, R1, L2, R2, Share, Options, the clicks, PS, touch.
constexpr C kPlayStationHid[] = {C::kTwoPlayers,   C::kConfirm,       C::kNone, C::kTop,
                                 C::kLeftShoulder, C::kRightShoulder, C::kNone, C::kNone,
                                 C::kBack,         C::kStart};
// hid-nintendo, by place: B (south), A (east), X (north), Y (west), Capture,
// L, R, ZL, ZR, -, +, Home, the clicks.
constexpr C kNintendo[] = {C::kNone, C::kConfirm,      C::kTop,           C::kTwoPlayers,
                           C::kNone, C::kLeftShoulder, C::kRightShoulder, C::kNone,
                           C::kNone, C::kBack,         C::kStart};
// Other pads: the four face buttons first, then the shoulders; Back and Start
// follow at once where the triggers are axes, after two trigger buttons where not.
constexpr C kGenericShort[] = {C::kConfirm,      C::kNone,          C::kTwoPlayers, C::kTop,
                               C::kLeftShoulder, C::kRightShoulder, C::kBack,       C::kStart};
constexpr C kGenericLong[] = {C::kConfirm,      C::kNone,          C::kTwoPlayers, C::kTop,
                              C::kLeftShoulder, C::kRightShoulder, C::kNone,       C::kNone,
                              C::kBack,         C::kStart};

template <size_t N>
constexpr PadLayout Layout(const C (&buttons)[N]) {
  return {buttons, static_cast<int>(N)};
}

// The layout for a pad, from what SDL 1.2 tells of it.
PadLayout LayoutOf(const char* name, int buttons, int axes) {
  switch (PadFamilyOf(name)) {
    case PadFamily::kXbox: return Layout(kXbox);
    case PadFamily::kPlayStation:
      return buttons == 14 ? Layout(kPlayStationHid) : Layout(kPlayStation);
    case PadFamily::kNintendo: return Layout(kNintendo);
    case PadFamily::kGeneric: break;
  }
  // Two sticks and two trigger axes leave no trigger buttons.
  const bool triggerButtons = buttons >= 10 && axes < 6;
  return triggerButtons ? Layout(kGenericLong) : Layout(kGenericShort);
}

constexpr Uint32 kLookEvery = 500;

// SDL 1.2 has no hot-plug events, and classic SDL 1.2 lists pads only when its
// joysticks start. A pad plugged in or out adds or removes nodes here.
long long InputStamp(int* entries) {
  *entries = 0;
  struct stat st = {};
  if (stat("/dev/input", &st) != 0) return 0;
  if (DIR* dir = opendir("/dev/input")) {
    while (readdir(dir)) ++*entries;
    closedir(dir);
  }
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

bool SdlStart() { return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0; }
void SdlStop() { SDL_QuitSubSystem(SDL_INIT_JOYSTICK); }
int SdlCount() { return SDL_NumJoysticks(); }
const char* SdlName(int device) { return SDL_JoystickName(device); }
bool SdlOpen(int device, int* buttons, int* axes) {
  SDL_Joystick* joystick = SDL_JoystickOpen(device);
  if (!joystick) return false;
  *buttons = SDL_JoystickNumButtons(joystick);
  *axes = SDL_JoystickNumAxes(joystick);
  return true;
}

constexpr PadDevices kSdl = {SdlStart, SdlStop,    SdlCount,    SdlName,
                             SdlOpen,  InputStamp, SDL_GetTicks};
const PadDevices* sys = &kSdl;

bool started = false;
bool running = false;  // the joysticks, started by us
Uint32 lastLook = 0;
long long devicesSeen = 0;
int entriesSeen = 0;
int restartsLeft = 0;

// Classic SDL 1.2 lists a laptop's accelerometer, or a pad's motion sensors or
// touch surface, as joysticks: tilting the machine would steer the hero.
bool IsSensor(const char* name) {
  return name && (std::strstr(name, "ccelerometer") || std::strstr(name, "Motion Sensors") ||
                  std::strstr(name, "Touchpad"));
}

constexpr int kMostListed = 16;

void OpenPads() {
  running = sys->start();
  if (!running) return;
  const int count = std::min(sys->count(), kMostListed);
  std::array<PadListed, kMostListed> listed{};
  for (int device = 0; device < count; ++device) {
    const char* name = sys->name(device);
    listed[device] = {IsSensor(name) ? nullptr : name ? name : "", -1};
  }
  std::array<int, kMostListed> seats{};
  PadsSeat(listed.data(), count, seats.data());
  for (int device = 0; device < count; ++device) {
    int buttons = 0, axes = 0;
    if (seats[device] >= 0 && sys->open(device, &buttons, &axes)) {
      PadsAssign(device, seats[device], LayoutOf(listed[device].name, buttons, axes));
    } else {
      PadsAssign(device, -1);
    }
  }
  PadsForget();
}

}  // namespace

void PadsUseDevices(const PadDevices* devices) {
  sys = devices ? devices : &kSdl;
  started = false;
  PadsForgetSeats();
}

void PadsStart() {
  started = true;
  restartsLeft = 0;
  devicesSeen = sys->stamp(&entriesSeen);
  lastLook = sys->ticks();
  OpenPads();
}

void PadsUpkeep() {
  if (!started || !running) return;
  if (sys == &kSdl && !SDL_WasInit(SDL_INIT_JOYSTICK)) return;  // SDL shut since
  const Uint32 now = sys->ticks();
  if (now - lastLook < kLookEvery) return;
  lastLook = now;
  int entries = 0;
  const long long changed = sys->stamp(&entries);
  if (changed != devicesSeen) {
    devicesSeen = changed;
    // A pad gone needs no new list: the others play on as they are, where a
    // new list could not tell two pads of one make apart.
    // udev lets the player open a new node a moment after it appears: twice.
    if (entries >= entriesSeen) restartsLeft = 2;
    entriesSeen = entries;
  }
  if (restartsLeft == 0) return;
  --restartsLeft;
  // Starting the joysticks again lists the pads anew on both SDL 1.2 libraries.
  sys->stop();
  OpenPads();
}

int PadsTranslate(SDL_Event* event) { return PadEventToKey(event, Layout(kXbox), SDL_GetTicks()); }

int PadsRepeat(SDL_Event* event) {
  int delay = 0, interval = 0;
  SDL_GetKeyRepeat(&delay, &interval);
  return PadRepeat(event, SDL_GetTicks(), delay, interval);
}
