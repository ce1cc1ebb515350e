#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/pad_keys.h"
#include "platform/desktop/pad_devices.h"
#include "platform/pads.h"
#include "platform/window.h"
#include "tests/support/test_support.h"

namespace {

std::string KeyText(const SDL_Event& e) {
  if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return "other";
  return (e.type == SDL_KEYDOWN ? "+" : "-") + std::string(SDL_GetKeyName(e.key.keysym.sym));
}

// What the window hands out: "+key" for a press, "-key" for a release.
std::vector<std::string> Drain() {
  std::vector<std::string> seen;
  SDL_Event e;
  while (WindowPollEvent(&e)) seen.push_back(KeyText(e));
  return seen;
}

// The pads as the desktop would list them, with no device: what is plugged,
// what SDL listed when its joysticks last started, and a clock of our own.
// `which` tells apart two pads of one make, as SDL cannot.
struct FakePad {
  std::string name;
  int buttons, axes;
  int which = 0;
};
struct FakeDevices {
  std::vector<FakePad> plugged, listed;
  int others = 0;  // keyboards and mice in /dev/input
  long long stamp = 1;
  Uint32 now = 1;
  int looks = 0;
  bool clockRuns = false;  // a second at every reading: every look comes due
  int plugAtLook = 0;      // and a pad plugged just before that look
  std::vector<FakePad> plugLater;
  std::vector<SDL_Event> atStart;  // pushed as the joysticks start: presses then readable
} fake;

constexpr PadDevices kFake = {
    [] {
      fake.listed = fake.plugged;
      for (const SDL_Event& e : fake.atStart) Push(e);
      fake.atStart.clear();
      return true;
    },
    [] { fake.listed.clear(); },
    [] { return static_cast<int>(fake.listed.size()); },
    [](int d) { return fake.listed[d].name.c_str(); },
    [](int d, int* buttons, int* axes) {
      *buttons = fake.listed[d].buttons;
      *axes = fake.listed[d].axes;
      return true;
    },
    [](int* entries) {
      if (++fake.looks == fake.plugAtLook) {
        fake.plugged = fake.plugLater;
        ++fake.stamp;
      }
      *entries = static_cast<int>(fake.plugged.size()) + fake.others;
      return fake.stamp;
    },
    [] { return fake.clockRuns ? fake.now += 1000 : fake.now; },
};

// Plugs in or out: /dev/input changes, and the next look comes due.
void Plug(std::vector<FakePad> pads, int others) {
  fake.plugged = std::move(pads);
  fake.others = others;
  ++fake.stamp;
  fake.now += 1000;
}

class PadKeys : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    fake = {};
    PadsForget();
  }
  void TearDown() override {
    PadsUseDevices(nullptr);
    for (int device = 0; device < 16; ++device)
      PadsAssign(device, device < kPadCount ? device : -1);
    PadsForget();
    SdlTest::TearDown();
  }
  void StartWith(std::vector<FakePad> pads) {
    fake.plugged = std::move(pads);
    PadsUseDevices(&kFake);
    PadsStart();
  }
  // Who each pad plugged plays for, by where its hat's up goes, sent from
  // where SDL listed it.
  std::vector<std::string> Players() {
    std::vector<std::string> who;
    for (const FakePad& p : fake.plugged) {
      int d = 0;
      while (d < static_cast<int>(fake.listed.size()) &&
             (fake.listed[d].name != p.name || fake.listed[d].which != p.which))
        ++d;
      Push(PadHat(d, SDL_HAT_UP));
      Push(PadHat(d, SDL_HAT_CENTERED));
      const std::vector<std::string> keys = Drain();
      who.push_back(keys.empty() ? "nobody" : keys[0] == "+up" ? "hero" : keys[0]);
    }
    return who;
  }
};

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
      {"d-pad buttons", {PadButton(0, 13), PadButton(1, 11)}, {"+up", "+a"}},
      {"stick leans once per direction, small moves skipped",
       {PadAxis(1, 0, -kShort), PadAxis(1, 0, -kPast), PadAxis(1, 0, -kPast - 5000),
        PadAxis(1, 1, kPast + 9000), PadAxis(1, 0, 0), PadAxis(1, 1, 0), PadAxis(1, 0, kPast),
        PadAxis(1, 0, 0)},
       {"+a", "+s", "+d"}},
      {"the right stick does not steer", {PadAxis(0, 3, kPast), PadAxis(0, 4, -kPast)}, {}},
      {"hat: the side just pressed",
       {PadHat(0, SDL_HAT_UP), PadHat(0, SDL_HAT_RIGHTUP), PadHat(0, SDL_HAT_CENTERED),
        PadHat(1, SDL_HAT_LEFT), PadHat(1, SDL_HAT_CENTERED)},
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

// Each make's buttons as its Linux driver numbers them; "" does nothing. The
// cases name the buttons in that order.
TEST_F(PadKeys, EachMakeConfirmsWithItsOwnButtonAndItsTriggersDoNothing) {
  struct Case {
    const char* name;
    int buttons, axes;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      // A, B, X, Y, LB, RB, Back, Start, Guide, clicks, d-pad left right up down
      {"Microsoft X-Box 360 pad",
       15,
       6,
       {"+return", "", "+2", "+space", "+f2", "+f1", "+escape", "+p", "", "", "", "+left", "+right",
        "+up", "+down"}},
      {"Xbox Wireless Controller",
       11,
       6,
       {"+return", "", "+2", "+space", "+f2", "+f1", "+escape", "+p", "", "", ""}},
      // cross, circle, triangle, square, L1, R1, L2, R2, Share, Options, PS, clicks
      {"Sony Interactive Entertainment Wireless Controller",
       13,
       6,
       {"+return", "", "+space", "+2", "+f2", "+f1", "", "", "+escape", "+p", "", "", ""}},
      {"Sony Interactive Entertainment DualSense Wireless Controller",
       13,
       6,
       {"+return", "", "+space", "+2", "+f2", "+f1", "", "", "+escape", "+p", "", "", ""}},
      // the same, then the PS3's d-pad: up down left right
      {"Sony PLAYSTATION(R)3 Controller",
       17,
       6,
       {"+return", "", "+space", "+2", "+f2", "+f1", "", "", "+escape", "+p", "", "", "", "+up",
        "+down", "+left", "+right"}},
      // the plain HID driver: square, cross, circle, triangle, L1, R1, L2, R2,
      // Share, Options, clicks, PS, touch
      {"Sony Computer Entertainment Wireless Controller",
       14,
       6,
       {"+2", "+return", "", "+space", "+f2", "+f1", "", "", "+escape", "+p", "", "", "", ""}},
      // B, A, X, Y, Capture, L, R, ZL, ZR, -, +, Home, clicks
      {"Nintendo Switch Pro Controller",
       14,
       4,
       {"", "+return", "+space", "+2", "", "+f2", "+f1", "", "", "+escape", "+p", "", "", ""}},
      // unknown, triggers as buttons: 1 to 4, L1, R1, L2, R2, Select, Start, clicks
      {"USB Gamepad",
       12,
       4,
       {"+return", "", "+2", "+space", "+f2", "+f1", "", "", "+escape", "+p", "", ""}},
      // unknown, triggers as axes: Back and Start straight after the shoulders
      {"Generic X-input pad",
       10,
       6,
       {"+return", "", "+2", "+space", "+f2", "+f1", "+escape", "+p", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartWith({{c.name, c.buttons, c.axes}});
    for (int b = 0; b < c.buttons; ++b) {
      SCOPED_TRACE(b);
      Push(PadButton(0, b));
      const std::vector<std::string> keys = Drain();
      EXPECT_EQ(keys, c.keys[b].empty() ? std::vector<std::string>{}
                                        : std::vector<std::string>{c.keys[b]});
      Push(PadButton(0, b, false));
      Drain();
    }
  }
}

// The key repeat the game sets: first after 5 ms, then every 5 ms, one a look.
TEST_F(PadKeys, AHeldDirectionRepeatsAsAHeldKey) {
  const PadControl buttons[] = {PadControl::kUp, PadControl::kConfirm};
  const PadLayout layout = {buttons, 2};
  struct Step {
    Uint32 at;
    bool look;  // a pass of the loop with nothing queued, or the event
    SDL_Event event;
  };
  auto Look = [](Uint32 at) { return Step{at, true, {}}; };
  auto On = [](Uint32 at, SDL_Event e) { return Step{at, false, e}; };
  struct Case {
    const char* what;
    int delay, interval;
    std::vector<Step> steps;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"a hat: past the delay the repeat starts, a key each look past an interval",
       5,
       5,
       {On(0, PadHat(0, SDL_HAT_UP)), Look(5), Look(6), Look(11), Look(12), Look(52), Look(53)},
       {"+up", "+up", "+up"}},
      {"let go, it stops",
       5,
       5,
       {On(0, PadHat(0, SDL_HAT_UP)), On(40, PadHat(0, SDL_HAT_CENTERED)), Look(80), Look(120)},
       {"+up"}},
      {"the side let go of a diagonal stops",
       5,
       5,
       {On(0, PadHat(0, SDL_HAT_UP)), On(1, PadHat(0, SDL_HAT_RIGHTUP)),
        On(2, PadHat(0, SDL_HAT_UP)), Look(40), Look(80)},
       {"+up", "+right"}},
      {"a stick, until back in its dead zone",
       5,
       5,
       {On(0, PadAxis(1, 0, 30000)), Look(40), Look(80), On(90, PadAxis(1, 0, 100)), Look(130),
        Look(170)},
       {"+d", "+d"}},
      {"a d-pad button, until released",
       5,
       5,
       {On(0, PadButton(0, 0)), Look(40), Look(80), On(90, PadButton(0, 0, false)), Look(130),
        Look(170)},
       {"+up", "+up", "-up"}},
      {"buttons do not repeat", 5, 5, {On(0, PadButton(0, 1)), Look(40), Look(80)}, {"+return"}},
      {"two players holding take turns",
       5,
       5,
       {On(0, PadHat(0, SDL_HAT_UP)), On(0, PadHat(1, SDL_HAT_LEFT)), Look(40), Look(80), Look(120),
        Look(160)},
       {"+up", "+a", "+up", "+a", "+up"}},
      {"another repeat set, another pace",
       500,
       30,
       {On(0, PadHat(0, SDL_HAT_DOWN)), Look(400), Look(501), Look(520), Look(532)},
       {"+down", "+down"}},
      {"no repeat set, none",
       0,
       0,
       {On(0, PadHat(0, SDL_HAT_DOWN)), Look(400), Look(800)},
       {"+down"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PadsForget();
    std::vector<std::string> keys;
    for (Step s : c.steps) {
      const bool got = s.look ? PadRepeat(&s.event, s.at, c.delay, c.interval) != 0
                              : PadEventToKey(&s.event, layout, s.at) != 0;
      if (got) keys.push_back(KeyText(s.event));
    }
    EXPECT_EQ(keys, c.keys);
  }
}

TEST_F(PadKeys, EachPlayerKeepsTheirPadThroughPlugsAndUnplugs) {
  const FakePad a = {"Xbox Wireless Controller", 11, 6}, a2 = {a.name, 11, 6, 2};
  const FakePad b = {"Nintendo Switch Pro Controller", 14, 4}, c = {"USB Gamepad", 12, 4};
  struct Step {
    const char* what;
    std::vector<FakePad> plugged;  // in the order SDL would list them
    int others;                    // other devices: one plugged as a pad goes lists the pads anew
    std::vector<std::string> players;  // of the pads plugged
  };
  using V = std::vector<std::string>;
  struct Case {
    const char* what;
    std::vector<FakePad> start;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"two makes",
       {a, b},
       {{"the hero's out: player 2's plays on", {b}, 0, V{"+w"}},
        {"back, the hero's again", {a, b}, 0, V{"hero", "+w"}},
        {"back listed second, still the hero's", {b, a}, 0, V{"+w", "hero"}},
        {"listed anew with the hero's away", {b}, 1, V{"+w"}},
        {"a new pad takes the free player", {b, c}, 1, V{"+w", "hero"}}}},
      {"one make twice",
       {a, a2},
       {{"the first out: the second plays on", {a2}, 0, V{"+w"}},
        {"back", {a, a2}, 0, V{"hero", "+w"}}}},
      {"one pad, then a second", {a}, {{"the second plugged", {a, b}, 0, V{"hero", "+w"}}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    PadsUseDevices(nullptr);  // forgets the seats of the last case
    StartWith(k.start);
    for (const Step& s : k.steps) {
      SCOPED_TRACE(s.what);
      Plug(s.plugged, s.others);
      Drain();  // the look, two for udev's late nodes
      fake.now += 1000;
      Drain();
      EXPECT_EQ(Players(), s.players);
    }
  }
}

// The end screen waits for an event: a pad plugged meanwhile is opened, and its
// press read, without any other event coming.
TEST_F(PadKeys, AWaitingScreenLooksForPadsByItself) {
  StartWith({});
  // Only if the wait never looked again: a failure, not a hang.
  SDL_TimerID guard = SDL_AddTimer(
      10000,
      [](Uint32, void*) -> Uint32 {
        SDL_Event quit = QuitEvent();
        SDL_PushEvent(&quit);
        return 0;
      },
      nullptr);
  fake.clockRuns = true;
  fake.plugAtLook = fake.looks + 2;  // the wait's own first look finds nothing
  fake.plugLater = {{"Xbox Wireless Controller", 11, 6}};
  fake.atStart = {PadButton(0, 0)};
  SDL_Event e;
  ASSERT_EQ(WindowWaitEvent(&e), 1);
  SDL_RemoveTimer(guard);
  EXPECT_EQ(KeyText(e), "+return");
}
