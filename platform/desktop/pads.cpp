#include "platform/pads.h"

#include <sys/stat.h>

#include <array>
#include <cstring>

#include "common/pad_keys.h"

namespace {

using C = PadControl;

// Linux numbers buttons in the order of their kernel codes: on the usual pads
// A, B, X, Y, LB, RB, Back, Start, Guide, the sticks' clicks, then the d-pad
// of those that have buttons and no hat for it.
constexpr std::array<PadControl, 15> kButtons = {
    C::kSouth,         C::kEast, C::kWest,  C::kNorth, C::kLeftShoulder,
    C::kRightShoulder, C::kBack, C::kStart, C::kNone,  C::kNone,
    C::kNone,          C::kLeft, C::kRight, C::kUp,    C::kDown};

constexpr Uint32 kLookEvery = 1000;

bool started = false;
Uint32 lastLook = 0;
timespec devicesSeen{};
int restartsLeft = 0;

// SDL 1.2 has no hot-plug events, and classic SDL 1.2 lists pads only when its
// joysticks start. A pad plugged in or out adds or removes a node here.
timespec DevicesChanged() {
  struct stat st;
  if (stat("/dev/input", &st) != 0) return {};
  return st.st_mtim;
}

// Classic SDL 1.2 lists a laptop's accelerometer, or a pad's motion sensors,
// as joysticks: tilting the machine would steer the hero.
bool IsSensor(const char* name) {
  return name && (std::strstr(name, "ccelerometer") || std::strstr(name, "Motion Sensors"));
}

void OpenPads() {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;
  int pads = 0;
  for (int device = 0; device < SDL_NumJoysticks(); ++device) {
    const bool wanted = pads < kPadCount && !IsSensor(SDL_JoystickName(device));
    PadsAssign(device, wanted && SDL_JoystickOpen(device) ? pads++ : -1);
  }
  PadsForget();
}

}  // namespace

void PadsStart() {
  started = true;
  restartsLeft = 0;
  devicesSeen = DevicesChanged();
  lastLook = SDL_GetTicks();
  OpenPads();
}

void PadsUpkeep() {
  if (!started || !SDL_WasInit(SDL_INIT_JOYSTICK)) return;
  const Uint32 now = SDL_GetTicks();
  if (now - lastLook < kLookEvery) return;
  lastLook = now;
  const timespec changed = DevicesChanged();
  if (changed.tv_sec != devicesSeen.tv_sec || changed.tv_nsec != devicesSeen.tv_nsec) {
    devicesSeen = changed;
    // udev lets the player open a new node a moment after it appears: twice.
    restartsLeft = 2;
  }
  if (restartsLeft == 0) return;
  --restartsLeft;
  // Starting the joysticks again lists the pads anew on both SDL 1.2 libraries.
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  OpenPads();
}

int PadsTranslate(SDL_Event* event) {
  return PadEventToKey(event, kButtons.data(), static_cast<int>(kButtons.size()));
}
