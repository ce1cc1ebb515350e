#include <gtest/gtest.h>

#include <sstream>
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

// The desktop's pads without a device: those plugged, those SDL listed when
// its joysticks last started, /dev/input's stamp and a clock of our own.
// `which` tells apart two pads of one make, as SDL cannot.
struct FakePad {
  std::string name;
  int buttons = 11, axes = 6, which = 0;
};
struct {
  std::vector<FakePad> plugged, listed, plugLater;
  int others = 0, looks = 0, plugAtLook = 0;  // others: keyboards, mice
  long long stamp = 1;
  Uint32 now = 1;
  bool clockRuns = false;        // a second at every reading: every look comes due
  std::vector<SDL_Event> press;  // readable once the joysticks start
} fake;

constexpr PadDevices kFake = {[] {
                                fake.listed = fake.plugged;
                                for (const SDL_Event& e : fake.press) Push(e);
                                fake.press.clear();
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
                                if (++fake.looks == fake.plugAtLook)
                                  fake.plugged = fake.plugLater, ++fake.stamp;
                                *entries = static_cast<int>(fake.plugged.size()) + fake.others;
                                return fake.stamp;
                              },
                              [] { return fake.clockRuns ? fake.now += 1000 : fake.now; }};

class PadKeys : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    fake = {};
    PadsForget();
    PadsUseDevices(&kFake);  // forgets the players' pads too
  }
  void TearDown() override {
    PadsUseDevices(nullptr);
    for (int device = 0; device < 16; ++device)
      PadsAssign(device, device < kPadCount ? device : -1);
    SdlTest::TearDown();
  }
  void StartWith(std::vector<FakePad> pads) {
    fake.plugged = std::move(pads);
    PadsStart();
  }
  // Who each pad plugged plays for, by its hat's up, sent from where SDL listed it.
  std::string Players() {
    std::string who;
    for (const FakePad& p : fake.plugged) {
      int d = 0;
      while (d < static_cast<int>(fake.listed.size()) &&
             (fake.listed[d].name != p.name || fake.listed[d].which != p.which))
        ++d;
      Push(PadHat(d, SDL_HAT_UP));
      Push(PadHat(d, SDL_HAT_CENTERED));
      const std::vector<std::string> keys = Drain();
      who += (keys.empty() ? "-" : keys[0] == "+up" ? "hero" : "enemy") + std::string(" ");
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
      {"d-pad buttons, buttons past the table",
       {PadButton(0, 13), PadButton(1, 11), PadButton(0, 40)},
       {"+up", "+a"}},
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

// Each make's buttons in its Linux driver's order, as named; "-" does nothing.
TEST_F(PadKeys, EachMakeConfirmsWithItsOwnButtonAndItsTriggersDoNothing) {
  struct Case {
    FakePad pad;
    const char* keys;
  };
  const Case cases[] = {
      // A B X Y LB RB Back Start Guide, clicks, d-pad left right up down
      {{"Microsoft X-Box 360 pad", 15}, "return - 2 space f2 f1 escape p - - - left right up down"},
      {{"Xbox Wireless Controller"}, "return - 2 space f2 f1 escape p - - -"},
      // cross circle triangle square L1 R1 L2 R2 Share Options PS, clicks, the PS3's d-pad
      {{"Sony Interactive Entertainment Wireless Controller", 13},
       "return - space 2 f2 f1 - - escape p - - -"},
      {{"Sony PLAYSTATION(R)3 Controller", 17},
       "return - space 2 f2 f1 - - escape p - - - up down left right"},
      // the plain HID driver: square cross circle triangle L1 R1 L2 R2 Share Options, clicks, PS,
      // touch
      {{"Sony Computer Entertainment Wireless Controller", 14},
       "2 return - space f2 f1 - - escape p - - - -"},
      // B A X Y Capture L R ZL ZR - + Home, clicks
      {{"Nintendo Switch Pro Controller", 14, 4}, "- return space 2 - f2 f1 - - escape p - - -"},
      // other makes: four face buttons, shoulders, then triggers as buttons or not
      {{"USB Gamepad", 12, 4}, "return - 2 space f2 f1 - - escape p - -"},
      {{"Generic X-input pad", 10, 6}, "return - 2 space f2 f1 escape p - -"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pad.name);
    StartWith({c.pad});
    std::istringstream keys(c.keys);
    for (int b = 0; b < c.pad.buttons; ++b) {
      std::string key;
      keys >> key;
      Push(PadButton(0, b));
      Push(PadButton(0, b, false));
      const std::vector<std::string> none, pressed = {"+" + key, "-" + key};
      EXPECT_EQ(Drain(), key == "-" ? none : pressed) << "button " << b;
    }
  }
}

// Looks of the loop with nothing queued at the game's key repeat (first after
// 5 ms, then every 5 ms) or another; "+key@ms" a press pushed.
TEST_F(PadKeys, AHeldDirectionRepeatsAsAHeldKey) {
  const PadControl buttons[] = {PadControl::kUp, PadControl::kConfirm};
  struct Case {
    const char* what;
    int delay, interval;
    std::vector<std::pair<Uint32, SDL_Event>> events;
    std::vector<Uint32> looks;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"a hat: past the delay the repeat starts, a key each look an interval on",
       5,
       5,
       {{0, PadHat(0, SDL_HAT_UP)}},
       {5, 6, 11, 12, 52, 53},
       {"+up", "+up", "+up"}},
      {"let go, it stops",
       5,
       5,
       {{0, PadHat(0, SDL_HAT_UP)}, {1, PadHat(0, SDL_HAT_CENTERED)}},
       {40, 80},
       {"+up"}},
      {"a stick", 5, 5, {{0, PadAxis(1, 0, 30000)}}, {40, 80}, {"+d", "+d"}},
      {"a d-pad button; no other button",
       5,
       5,
       {{0, PadButton(0, 0)}, {0, PadButton(1, 1)}},
       {40, 80},
       {"+up", "+return", "+up"}},
      {"two players take turns",
       5,
       5,
       {{0, PadHat(0, SDL_HAT_UP)}, {0, PadHat(1, SDL_HAT_LEFT)}},
       {40, 80, 120, 160},
       {"+up", "+a", "+up", "+a", "+up"}},
      {"another pace",
       500,
       30,
       {{0, PadHat(0, SDL_HAT_DOWN)}},
       {400, 501, 520, 532},
       {"+down", "+down"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PadsForget();
    std::vector<std::string> keys;
    for (auto [at, e] : c.events)
      if (PadEventToKey(&e, {buttons, 2}, at)) keys.push_back(KeyText(e));
    SDL_Event e;
    for (Uint32 at : c.looks)
      if (PadRepeat(&e, at, c.delay, c.interval)) keys.push_back(KeyText(e));
    EXPECT_EQ(keys, c.keys);
  }
}

TEST_F(PadKeys, EachPlayerKeepsTheirPadThroughPlugsAndUnplugs) {
  const FakePad a = {"Xbox Wireless Controller"}, a2 = {a.name, 11, 6, 2};
  const FakePad b = {"Nintendo Switch Pro Controller", 14}, c = {"USB Gamepad", 12};
  const FakePad sensor = {"ST LIS3LV02DL Accelerometer", 0, 3};
  struct Case {
    const char* what;
    std::vector<FakePad> plugged;  // in SDL's order; the first case's at the start
    int others;  // devices that are no pad: one plugged as a pad goes lists all anew
    const char* players;
  };
  const Case cases[] = {
      {"two makes", {a, b}, 0, "hero enemy "},
      {"the hero's out: player 2's plays on", {b}, 0, "enemy "},
      {"back, the hero's again", {a, b}, 0, "hero enemy "},
      {"back listed second, still the hero's", {b, a}, 0, "enemy hero "},
      {"listed anew with the hero's away", {b}, 1, "enemy "},
      {"a new pad takes the free player", {b, c}, 1, "enemy hero "},
      {"one make twice", {a, a2}, 2, "hero enemy "},
      {"the first out: the second plays on", {a2}, 2, "enemy "},
      {"back", {a, a2}, 2, "hero enemy "},
      {"a sensor is no pad", {sensor, a, a2}, 2, "- hero enemy "},
  };
  StartWith(cases[0].plugged);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    fake.plugged = k.plugged;
    fake.others = k.others;
    ++fake.stamp;
    for (int look = 0; look < 2; ++look) {  // two, for udev's late nodes
      fake.now += 1000;
      Drain();
    }
    EXPECT_EQ(Players(), k.players);
  }
}

// The end screen waits: a pad plugged meanwhile is opened and its press read,
// no other event coming.
TEST_F(PadKeys, AWaitingScreenLooksForPadsByItself) {
  StartWith({});
  SDL_TimerID guard = SDL_AddTimer(
      10000,
      [](Uint32, void*) -> Uint32 {
        SDL_Event quit = QuitEvent();  // only if the wait never looked again
        SDL_PushEvent(&quit);
        return 0;
      },
      nullptr);
  fake.clockRuns = true;
  fake.plugAtLook = fake.looks + 2;  // the wait's own first look finds nothing
  fake.plugLater = {{"Xbox Wireless Controller"}};
  fake.press = {PadButton(0, 0)};
  SDL_Event e;
  ASSERT_EQ(WindowWaitEvent(&e), 1);
  SDL_RemoveTimer(guard);
  EXPECT_EQ(KeyText(e), "+return");
}
