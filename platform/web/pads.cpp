#include "platform/pads.h"

#include <array>

#include "common/pad_keys.h"

namespace {

using C = PadControl;

// The Gamepad API's standard layout; the triggers and stick clicks have no key.
constexpr std::array<PadControl, 16> kButtons = {
    C::kSouth, C::kEast, C::kWest, C::kNorth, C::kLeftShoulder, C::kRightShoulder,
    C::kNone,  C::kNone, C::kBack, C::kStart, C::kNone,         C::kNone,
    C::kUp,    C::kDown, C::kLeft, C::kRight};

constexpr Uint32 kLookEvery = 500;

bool started = false;
Uint32 lastLook = 0;
std::array<SDL_Joystick*, kPadCount> pads{};

// A browser shows a pad only after one of its buttons is pressed, and the
// browser's SDL reads the pads it opened only: look for new ones, and close
// those gone, as a gone pad stops its reading of the others.
void LookForPads() {
  for (int i = 0; i < kPadCount; ++i) {
    if (pads[i] && SDL_JoystickNumButtons(pads[i]) == 0) {
      SDL_JoystickClose(pads[i]);
      pads[i] = nullptr;
    }
    if (!pads[i]) pads[i] = SDL_JoystickOpen(i);
  }
}

}  // namespace

void PadsStart() {
  started = true;
  pads = {};
  PadsForget();
  LookForPads();
  lastLook = SDL_GetTicks();
}

void PadsUpkeep() {
  if (!started) return;
  const Uint32 now = SDL_GetTicks();
  if (now - lastLook >= kLookEvery) {
    lastLook = now;
    LookForPads();
  }
  // The browser's SDL queries the pads only when they were asked of SDL_Init.
  SDL_JoystickUpdate();
}

int PadsTranslate(SDL_Event* event) {
  return PadEventToKey(event, kButtons.data(), static_cast<int>(kButtons.size()));
}
