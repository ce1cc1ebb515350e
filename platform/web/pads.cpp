#include "platform/pads.h"

#include <emscripten.h>

#include <array>

#include "common/pad_keys.h"

// Looking for pads, the browser polls them sixty times a second, about 2 % of
// a core. The page looks only while its picture stands still (a menu, a
// level's start, a pause), and always once a pad showed itself, which a pad
// does at a pressed button: in play a new pad waits for the next still
// screen. 0: none yet, 1: one came since the last ask, 2: some came before.
// clang-format off
EM_JS(int, PadNews, (), {
  var pads = Module.gloutoPads;
  if (!pads) {
    pads = Module.gloutoPads = {seen: false, came: false, looking: false};
    pads.heard = function() { pads.seen = pads.came = true; };
  }
  var still = performance.now() - (Module.gloutoFrameShown || 0) > 250;
  if (pads.looking != (pads.seen || still)) {
    pads.looking = !pads.looking;
    if (pads.looking) window.addEventListener('gamepadconnected', pads.heard);
    else window.removeEventListener('gamepadconnected', pads.heard);
  }
  var came = pads.came;
  pads.came = false;
  return came ? 1 : pads.seen ? 2 : 0;
});
// Opened at that first press, a pad would take it for how it rests and lose
// it: opened as at rest, it tells it.
EM_JS(void, OpenAtRest, (int index), {
  var state = SDL.lastJoystickState[index + 1];
  if (!state) return;
  state.buttons.fill(false);
  state.axes.fill(0);
  state.timestamp = -1;
});
// clang-format on

namespace {

using C = PadControl;

// The Gamepad API's standard layout; the triggers and stick clicks have no key.
constexpr std::array<PadControl, 16> kButtons = {
    C::kSouth, C::kEast, C::kWest, C::kNorth, C::kLeftShoulder, C::kRightShoulder,
    C::kNone,  C::kNone, C::kBack, C::kStart, C::kNone,         C::kNone,
    C::kUp,    C::kDown, C::kLeft, C::kRight};

constexpr Uint32 kLookEvery = 500;
constexpr int kNoPad = 0, kPadCame = 1;

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
    if (!pads[i] && (pads[i] = SDL_JoystickOpen(i))) OpenAtRest(i);
  }
}

}  // namespace

void PadsStart() {
  started = true;
  pads = {};
  PadsForget();
  if (PadNews() != kNoPad) LookForPads();
  lastLook = SDL_GetTicks();
}

void PadsUpkeep() {
  if (!started) return;
  const int news = PadNews();
  if (news == kNoPad) return;
  const Uint32 now = SDL_GetTicks();
  if (news == kPadCame || now - lastLook >= kLookEvery) {
    lastLook = now;
    LookForPads();
  }
  // The browser's SDL queries the pads only when they were asked of SDL_Init.
  SDL_JoystickUpdate();
}

int PadsTranslate(SDL_Event* event) {
  return PadEventToKey(event, kButtons.data(), static_cast<int>(kButtons.size()));
}
