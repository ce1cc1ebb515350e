#include "platform/pads.h"

#include <emscripten.h>

#include <array>

#include "common/pad_keys.h"

// 0: no pad yet, 1: one came since the last ask, 2: some came before. The
// page's ear is pads.js; a frame shown lately means the picture moves, and
// the page stops listening once it has moved for half a second: a screen's
// first frames leave it listening.
// clang-format off
EM_JS(int, PadNews, (), {
  var pads = GloutoPads;
  var now = performance.now();
  var still = now - (Module.gloutoFrameShown || 0) > 250;
  if (still) pads.movingSince = null;
  else if (pads.movingSince == null) pads.movingSince = now;
  pads.listen(pads.seen || still || now - pads.movingSince < 500);
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

// The Gamepad API's standard layout: south, east, west, north, the shoulders,
// the triggers, Back, Start, the sticks' clicks, the d-pad, the make's own
// button. Triggers, clicks and that button do nothing.
constexpr C kStandard[] = {C::kConfirm,      C::kNone,          C::kTwoPlayers, C::kTop,
                           C::kLeftShoulder, C::kRightShoulder, C::kNone,       C::kNone,
                           C::kBack,         C::kStart,         C::kNone,       C::kNone,
                           C::kUp,           C::kDown,          C::kLeft,       C::kRight};
// Nintendo's A is east, its B south.
constexpr C kNintendo[] = {C::kNone,         C::kConfirm,       C::kTwoPlayers, C::kTop,
                           C::kLeftShoulder, C::kRightShoulder, C::kNone,       C::kNone,
                           C::kBack,         C::kStart,         C::kNone,       C::kNone,
                           C::kUp,           C::kDown,          C::kLeft,       C::kRight};

PadLayout LayoutOf(const char* name) {
  const C* buttons = PadFamilyOf(name) == PadFamily::kNintendo ? kNintendo : kStandard;
  return {buttons, static_cast<int>(std::size(kStandard))};
}

constexpr Uint32 kLookEvery = 500;
constexpr int kNoPad = 0, kPadCame = 1;
// The Gamepad API keeps a pad's index while it stays; a few past the players'.
constexpr int kLooked = 4;

bool started = false;
Uint32 lastLook = 0;
std::array<SDL_Joystick*, kLooked> opened{};
std::array<int, kLooked> seatOf{};
int repeatDelay = 0, repeatInterval = 0;

// A browser shows a pad only after one of its buttons is pressed, and the
// browser's SDL reads the pads it opened only: look for new ones, and close
// those gone, as a gone pad stops its reading of the others.
void LookForPads() {
  std::array<PadListed, kLooked> listed{};
  for (int i = 0; i < kLooked; ++i) {
    if (opened[i] && SDL_JoystickNumButtons(opened[i]) == 0) {
      SDL_JoystickClose(opened[i]);
      opened[i] = nullptr;
      PadsAssign(i, -1);
    }
    listed[i] = {SDL_JoystickName(i), opened[i] ? seatOf[i] : -1};
  }
  std::array<int, kLooked> seats{};
  PadsSeat(listed.data(), kLooked, seats.data());
  for (int i = 0; i < kLooked; ++i) {
    seatOf[i] = seats[i];
    if (seats[i] < 0 || opened[i]) continue;
    if (!(opened[i] = SDL_JoystickOpen(i))) continue;
    OpenAtRest(i);
    PadsAssign(i, seats[i], LayoutOf(listed[i].name));
  }
}

}  // namespace

// The browser's SDL drops the key repeat asked, the browser repeating keys
// itself: kept for the pads' own.
extern "C" int SDL_EnableKeyRepeat(int delay, int interval) {
  repeatDelay = delay;
  repeatInterval = interval;
  return 0;
}

void PadsStart() {
  started = true;
  opened = {};
  for (int i = 0; i < kLooked; ++i) PadsAssign(i, -1);
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
  return PadEventToKey(event, {kStandard, static_cast<int>(std::size(kStandard))}, SDL_GetTicks());
}

int PadsRepeat(SDL_Event* event) {
  return PadRepeat(event, SDL_GetTicks(), repeatDelay, repeatInterval);
}
