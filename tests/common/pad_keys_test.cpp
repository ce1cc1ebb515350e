#include <gtest/gtest.h>

#include <algorithm>
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
  bool operator==(const FakePad& o) const { return name == o.name && which == o.which; }
};
struct {
  std::vector<FakePad> plugged, listed, plugLater;
  int others = 0, looks = 0, plugAtLook = 0;  // others: keyboards, mice
  long long stamp = 1;
  Uint32 now = 1, step = 0;      // step: the clock's move at each reading
  std::vector<SDL_Event> press;  // readable once the joysticks start
} fake;

constexpr PadDevices kFake = {
    [] {
      fake.listed = fake.plugged;
      std::for_each(fake.press.begin(), fake.press.end(), Push);
      return fake.press.clear(), true;
    },
    [] { fake.listed.clear(); },
    [] { return static_cast<int>(fake.listed.size()); },
    [](int d) { return fake.listed[d].name.c_str(); },
    [](int d, int* b, int* a) {
      return *b = fake.listed[d].buttons, *a = fake.listed[d].axes, true;
    },
    [](int* entries) {
      if (++fake.looks == fake.plugAtLook) fake.plugged = fake.plugLater, ++fake.stamp;
      return *entries = static_cast<int>(fake.plugged.size()) + fake.others, fake.stamp;
    },
    [] { return fake.now += fake.step; },
};

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
    for (int d = 0; d < 16; ++d) PadsAssign(d, d < kPadCount ? d : -1);
    SdlTest::TearDown();
  }
};

}  // namespace

// "DELAY/INTERVAL EVENTS = KEYS", the events as Events() reads them ("b0,1" pad 0's button 1
// down, "x1,0,-20000" pad 1's axis 0), "@40" the clock at 40 ms with nothing queued. Pad 0
// plays the arrows, pad 1 w a s d; a held direction repeats at the key repeat set, two
// players' in turns.
TEST_F(PadKeys, PadEventsStandForKeysAndAHeldDirectionRepeats) {
  static const PadControl kButtons[] = {PadControl::kConfirm, PadControl::kUp};
  for (const char* row :
       {"0/0 b0,0 B0,0 = +return -return", "0/0 b0,1 b1,1 b0,40 = +up +w",
        "0/0 x1,0,-15000 x1,0,-20000 x1,0,-25000 x1,1,29000 x1,0,0 x1,1,0 x1,0,20000 = +a +s +d",
        "0/0 x0,3,20000 x0,4,-20000 =", "0/0 h0,1 h0,3 h0,0 h1,8 h1,0 = +up +right +a",
        "0/0 b2,0 x2,0,20000 =", "0/0 h0,1 @100 @200 = +up", "0/0 enter m3,4 = +return other",
        "5/5 h0,1 @5 @6 @11 @12 @52 @53 = +up +up +up", "5/5 h0,1 @1 h0,0 @40 @80 = +up",
        "5/5 x1,0,30000 @40 @80 = +d +d", "5/5 b0,1 b1,0 @40 @80 = +up +return +up",
        "5/5 h0,1 h1,8 @40 @80 @120 @160 = +up +a +up +a +up",
        "500/30 h0,4 @400 @501 @520 @532 = +down +down"}) {
    SCOPED_TRACE(row);
    PadsForget();
    std::istringstream words(row);
    std::string keys, w;
    int delay = 0, interval = 0;
    Uint32 now = 0;
    for (words >> w, std::sscanf(w.c_str(), "%d/%d", &delay, &interval); words >> w && w != "=";) {
      SDL_Event e = w[0] == '@' ? SDL_Event{} : Events(w).at(0);
      if (w[0] == '@' ? PadRepeat(&e, now = std::stoul(w.substr(1)), delay, interval)
                      : PadEventToKey(&e, {kButtons, 2}, now))
        keys += KeyText(e);
    }
    std::getline(words, w = "");
    EXPECT_EQ(" " + keys, w + " ");
  }
}

// "NAME|BUTTONS AXES|KEYS": each make's buttons in its Linux driver's order; "-" does nothing.
TEST_F(PadKeys, EachMakeConfirmsWithItsOwnButtonAndItsTriggersDoNothing) {
  for (const char* row :
       {"Microsoft X-Box 360 pad|15 6|return - 2 space f2 f1 escape p - - - left right up down",
        "Xbox Wireless Controller|11 6|return - 2 space f2 f1 escape p - - -",
        "Sony Interactive Entertainment Wireless Controller|13 6|return - space 2 f2 f1 - - "
        "escape p - - -",
        "Sony PLAYSTATION(R)3 Controller|17 6|return - space 2 f2 f1 - - escape p - - - up down "
        "left right",
        "Sony Computer Entertainment Wireless Controller|14 6|2 return - space f2 f1 - - escape "
        "p - - - -",
        "Nintendo Switch Pro Controller|14 4|- return space 2 - f2 f1 - - escape p - - -",
        "USB Gamepad|12 4|return - 2 space f2 f1 - - escape p - -",
        "Generic X-input pad|10 6|return - 2 space f2 f1 escape p - -"}) {
    SCOPED_TRACE(row);
    std::istringstream fields(row);
    FakePad pad;
    std::string key;
    std::getline(fields, pad.name, '|');
    fields >> pad.buttons >> pad.axes;
    fields.ignore();
    fake.plugged = {pad};
    PadsStart();
    for (int b = 0; fields >> key; ++b) {
      Push(PadButton(0, b));
      Push(PadButton(0, b, false));
      EXPECT_EQ(Drain(), key == "-" ? "" : "+" + key + " -" + key + " ") << "button " << b;
    }
  }
}

// Pads plugged in SDL's order (a and A: one make twice, s: a sensor), devices
// that are no pad (one gone lists all anew), who each pad plays for.
TEST_F(PadKeys, EachPlayerKeepsTheirPadThroughPlugsAndUnplugs) {
  const FakePad a = {"Xbox Wireless Controller"}, A = {a.name, 11, 6, 2},
                b = {"Nintendo Switch Pro Controller", 14}, c = {"USB Gamepad", 12},
                s = {"ST LIS3LV02DL Accelerometer", 0, 3};
  const std::tuple<std::vector<FakePad>, int, const char*> cases[] = {
      {{a, b}, 0, "hero enemy "}, {{b}, 0, "enemy "},          // the hero's out
      {{a, b}, 0, "hero enemy "}, {{b, a}, 0, "enemy hero "},  // back, listed first or second
      {{b}, 1, "enemy "},         {{b, c}, 1, "enemy hero "},  // listed anew, a new pad
      {{a, A}, 2, "hero enemy "}, {{A}, 2, "enemy "},          // one make twice, the first out
      {{a, A}, 2, "hero enemy "}, {{s, a, A}, 2, "- hero enemy "},
  };
  fake.plugged = {a, b};
  PadsStart();
  int k = 0;
  for (const auto& [plugged, others, players] : cases) {
    SCOPED_TRACE(k++);
    fake.plugged = plugged, fake.others = others, ++fake.stamp;
    for (int look = 0; look < 2; ++look) fake.now += 1000, Drain();  // two, for udev's late nodes
    std::string who;  // by each pad's hat, sent from where SDL listed it
    for (const FakePad& p : plugged) {
      const int d = std::find(fake.listed.begin(), fake.listed.end(), p) - fake.listed.begin();
      Push(PadHat(d, SDL_HAT_UP));
      Push(PadHat(d, SDL_HAT_CENTERED));
      const std::string keys = Drain();
      who += keys.empty() ? "- " : keys == "+up " ? "hero " : "enemy ";
    }
    EXPECT_EQ(who, players);
  }
}

// A pad plugged while the end screen waits is opened and its press read (else a quit, 10 s on).
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
