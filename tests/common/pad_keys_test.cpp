#include <gtest/gtest.h>

#include <cstdio>
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
  if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return "other ";
  return (e.type == SDL_KEYDOWN ? "+" : "-") + std::string(SDL_GetKeyName(e.key.keysym.sym)) + " ";
}

// What the window hands out: "+key " for a press, "-key " for a release.
std::string Drain() {
  std::string seen;
  for (SDL_Event e; WindowPollEvent(&e);) seen += KeyText(e);
  return seen;
}

// The desktop's pads without a device: those plugged, those SDL listed when its
// joysticks last started, /dev/input's entries and stamp, and a clock of our own.
// `which` tells apart two pads of one make, as SDL cannot.
struct FakePad {
  std::string name;
  int buttons = 11, axes = 6, which = 0;
};
struct {
  std::vector<FakePad> plugged, listed, plugLater;
  int others = 0, looks = 0, plugAtLook = 0;  // others: keyboards, mice
  long long stamp = 1;
  Uint32 now = 1, step = 0;      // step: the clock's move at each reading
  std::vector<SDL_Event> press;  // readable once the joysticks start
} fake;

constexpr PadDevices kFake = {[] {
                                fake.listed = fake.plugged;
                                for (const SDL_Event& e : fake.press) Push(e);
                                return fake.press.clear(), true;
                              },
                              [] { fake.listed.clear(); },
                              [] { return static_cast<int>(fake.listed.size()); },
                              [](int d) { return fake.listed[d].name.c_str(); },
                              [](int d, int* buttons, int* axes) {
                                return *buttons = fake.listed[d].buttons,
                                       *axes = fake.listed[d].axes, true;
                              },
                              [](int* entries) {
                                if (++fake.looks == fake.plugAtLook)
                                  fake.plugged = fake.plugLater, ++fake.stamp;
                                *entries = static_cast<int>(fake.plugged.size()) + fake.others;
                                return fake.stamp;
                              },
                              [] { return fake.now += fake.step; }};

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
  // Who each pad plugged plays for, by its hat's up, sent from where SDL listed it.
  std::string Players() {
    std::string who;
    for (const FakePad& p : fake.plugged) {
      int d = 0;
      while (fake.listed[d].name != p.name || fake.listed[d].which != p.which) ++d;
      Push(PadHat(d, SDL_HAT_UP));
      Push(PadHat(d, SDL_HAT_CENTERED));
      const std::string keys = Drain();
      who += keys.empty() ? "- " : keys == "+up " ? "hero " : "enemy ";
    }
    return who;
  }
};

// A line of events, each at the clock's time: "b0.1"/"B0.1" pad 0's button 1
// down/up, "x1.0=-20000" pad 1's axis 0, "h0=1" pad 0's hat (SDL_HAT_*), "k"
// Return, "m" the mouse; "@40": the clock at 40 ms, the loop looks with nothing queued.
std::string Play(const std::string& line, int delay, int interval) {
  static const PadControl kButtons[] = {PadControl::kConfirm, PadControl::kUp};
  std::istringstream words(line);
  std::string keys;
  Uint32 now = 0;
  for (std::string w; words >> w;) {
    int pad = 0, n = 0, value = 0;
    std::sscanf(w.c_str() + 1, w[0] == 'h' ? "%d=%d" : "%d.%d=%d", &pad, w[0] == 'h' ? &value : &n,
                &value);
    SDL_Event e = w[0] == 'k'   ? KeyDown(SDLK_RETURN)
                  : w[0] == 'm' ? MouseMotion(3, 4)
                  : w[0] == 'h' ? PadHat(pad, value)
                  : w[0] == 'x' ? PadAxis(pad, n, value)
                                : PadButton(pad, n, w[0] == 'b');
    if (w[0] == '@' ? PadRepeat(&e, now = std::stoul(w.substr(1)), delay, interval)
                    : PadEventToKey(&e, {kButtons, 2}, now))
      keys += KeyText(e);
  }
  return keys;
}

}  // namespace

// Pad 0 plays the arrows, pad 1 w a s d; a held direction repeats at the key repeat set.
TEST_F(PadKeys, PadEventsStandForKeysAndAHeldDirectionRepeats) {
  struct {
    const char* what;
    int delay, interval;
    const char* events;
    const char* keys;
  } const cases[] = {
      {"a button pressed and let go", 0, 0, "b0.0 B0.0", "+return -return "},
      {"a d-pad button; past the table, none", 0, 0, "b0.1 b1.1 b0.40", "+up +w "},
      {"a stick leans once a way, small moves skipped", 0, 0,
       "x1.0=-15000 x1.0=-20000 x1.0=-25000 x1.1=29000 x1.0=0 x1.1=0 x1.0=20000 x1.0=0",
       "+a +s +d "},
      {"the right stick does not steer", 0, 0, "x0.3=20000 x0.4=-20000", ""},
      {"a hat: the side just pressed", 0, 0, "h0=1 h0=3 h0=0 h1=8 h1=0", "+up +right +a "},
      {"a third pad is left alone", 0, 0, "b2.0 x2.0=20000", ""},
      {"keyboard and mouse pass as they are", 0, 0, "k m", "+return other "},
      {"past the delay, a key each look an interval on", 5, 5, "h0=1 @5 @6 @11 @12 @52 @53",
       "+up +up +up "},
      {"let go, it stops", 5, 5, "h0=1 @1 h0=0 @40 @80", "+up "},
      {"a stick repeats", 5, 5, "x1.0=30000 @40 @80", "+d +d "},
      {"a d-pad button repeats, no other", 5, 5, "b0.1 b1.0 @40 @80", "+up +return +up "},
      {"two players take turns", 5, 5, "h0=1 h1=8 @40 @80 @120 @160", "+up +a +up +a +up "},
      {"another pace", 500, 30, "h0=4 @400 @501 @520 @532", "+down +down "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PadsForget();
    EXPECT_EQ(Play(c.events, c.delay, c.interval), c.keys);
  }
}

// Each make's buttons in its Linux driver's order, as named; "-" does nothing.
TEST_F(PadKeys, EachMakeConfirmsWithItsOwnButtonAndItsTriggersDoNothing) {
  const struct {
    FakePad pad;
    const char* keys;
  } cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pad.name);
    fake.plugged = {c.pad};
    PadsStart();
    std::istringstream keys(c.keys);
    std::string key;
    for (int b = 0; keys >> key; ++b) {
      Push(PadButton(0, b));
      Push(PadButton(0, b, false));
      EXPECT_EQ(Drain(), key == "-" ? "" : "+" + key + " -" + key + " ") << "button " << b;
    }
  }
}

// Plugged in SDL's order as the letters say (a and A: one make twice, s: a
// sensor); others: devices that are no pad, as a pad gone lists all anew.
TEST_F(PadKeys, EachPlayerKeepsTheirPadThroughPlugsAndUnplugs) {
  const FakePad a = {"Xbox Wireless Controller"}, b = {"Nintendo Switch Pro Controller", 14},
                c = {"USB Gamepad", 12}, s = {"ST LIS3LV02DL Accelerometer", 0, 3};
  const struct {
    const char* what;
    const char* plugged;
    int others;
    const char* players;
  } cases[] = {
      {"two makes", "ab", 0, "hero enemy "},
      {"the hero's out: player 2's plays on", "b", 0, "enemy "},
      {"back, the hero's again", "ab", 0, "hero enemy "},
      {"back listed second, still the hero's", "ba", 0, "enemy hero "},
      {"listed anew with the hero's away", "b", 1, "enemy "},
      {"a new pad takes the free player", "bc", 1, "enemy hero "},
      {"one make twice", "aA", 2, "hero enemy "},
      {"the first out: the second plays on", "A", 2, "enemy "},
      {"back", "aA", 2, "hero enemy "},
      {"a sensor is no pad", "saA", 2, "- hero enemy "},
  };
  fake.plugged = {a, b};
  PadsStart();
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    fake.plugged.clear();
    for (const char* p = k.plugged; *p; ++p)
      fake.plugged.push_back(*p == 'A'   ? FakePad{a.name, 11, 6, 2}
                             : *p == 'a' ? a
                             : *p == 'b' ? b
                             : *p == 'c' ? c
                                         : s);
    fake.others = k.others;
    ++fake.stamp;
    for (int look = 0; look < 2; ++look) fake.now += 1000, Drain();  // two, for udev's late nodes
    EXPECT_EQ(Players(), k.players);
  }
}

// The end screen waits: a pad plugged meanwhile is opened and its press read,
// no other event coming (else the guard's quit, ten seconds on).
TEST_F(PadKeys, AWaitingScreenLooksForPadsByItself) {
  PadsStart();
  auto quit = [](Uint32, void*) -> Uint32 { return Push(QuitEvent()), 0; };
  const SDL_TimerID guard = SDL_AddTimer(10000, quit, nullptr);
  fake.step = 1000;
  fake.plugAtLook = fake.looks + 2;  // the wait's own first look finds nothing
  fake.plugLater = {{"Xbox Wireless Controller"}};
  fake.press = {PadButton(0, 0)};
  SDL_Event e;
  ASSERT_EQ(WindowWaitEvent(&e), 1);
  SDL_RemoveTimer(guard);
  EXPECT_EQ(KeyText(e), "+return ");
}
