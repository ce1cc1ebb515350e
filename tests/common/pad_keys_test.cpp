#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/pad_keys.h"
#include "platform/window.h"
#include "tests/support/test_support.h"

namespace {

// What the window hands out: "+key" for a press, "-key" for a release.
std::vector<std::string> Drain() {
  std::vector<std::string> seen;
  SDL_Event e;
  while (WindowPollEvent(&e)) {
    const bool key = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP;
    seen.push_back(key ? (e.type == SDL_KEYDOWN ? "+" : "-") +
                             std::string(SDL_GetKeyName(e.key.keysym.sym))
                       : "other");
  }
  return seen;
}

class PadKeys : public SdlTest {};

}  // namespace

TEST_F(PadKeys, PadEventsReachTheProgramsAsTheKeysTheyStandFor) {
  constexpr int kPast = 20000, kShort = 15000;  // either side of the dead zone
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"A pressed and let go", {PadButton(0, 0), PadButton(0, 0, false)}, {"+return", "-return"}},
      {"buttons of play",
       {PadButton(0, 7), PadButton(0, 6), PadButton(1, 3), PadButton(1, 5), PadButton(0, 4),
        PadButton(0, 2)},
       {"+p", "+escape", "+space", "+f1", "+f2", "+2"}},
      {"B, Guide and buttons past the table do nothing",
       {PadButton(0, 1), PadButton(0, 8), PadButton(0, 40)},
       {}},
      {"d-pad buttons", {PadButton(0, 13), PadButton(1, 11)}, {"+up", "+a"}},
      {"stick leans once per direction, small moves skipped",
       {PadAxis(1, 0, -kShort), PadAxis(1, 0, -kPast), PadAxis(1, 0, -kPast - 5000),
        PadAxis(1, 1, kPast + 9000), PadAxis(1, 0, 0), PadAxis(1, 1, 0), PadAxis(1, 0, kPast)},
       {"+a", "+s", "+d"}},
      {"the right stick does not steer", {PadAxis(0, 3, kPast), PadAxis(0, 4, -kPast)}, {}},
      {"hat: the side just pressed",
       {PadHat(0, SDL_HAT_UP), PadHat(0, SDL_HAT_RIGHTUP), PadHat(0, SDL_HAT_CENTERED),
        PadHat(1, SDL_HAT_LEFT)},
       {"+up", "+right", "+a"}},
      {"a third pad is left alone", {PadButton(2, 0), PadAxis(2, 0, kPast)}, {}},
      {"keyboard and mouse pass as they are",
       {KeyDown(SDLK_RETURN), MouseMotion(3, 4)},
       {"+return", "other"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PadsForget();
    for (const SDL_Event& e : c.events) Push(e);
    EXPECT_EQ(Drain(), c.keys);
  }
}

TEST_F(PadKeys, DevicesPlayAsTheyAreAssigned) {
  PadsAssign(0, -1);  // a sensor, say, before the two pads
  PadsAssign(1, 0);
  PadsAssign(2, 1);
  for (const SDL_Event& e : {PadButton(0, 7), PadButton(1, 13), PadHat(2, SDL_HAT_DOWN)}) Push(e);
  EXPECT_EQ(Drain(), (std::vector<std::string>{"+up", "+s"}));
  PadsAssign(0, 0);
  PadsAssign(1, 1);
  PadsAssign(2, -1);
}
