#ifndef GLOUTO_TESTS_SUPPORT_APPROVED_H
#define GLOUTO_TESTS_SUPPORT_APPROVED_H

// Approved pictures: what a screen of either program shows, compared with a
// PNG under tests/approved/ that a person looked at (HACKING.md, "Running tests").

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

extern int FINPROG;  // each program's own

// Does `surface` show the approved picture `name`? Where the approved one is
// flat, exactly; on a colour edge within kEdgeTolerance per channel, as font
// renderers of different releases smooth glyph edges their own way. A failure
// writes the actual and a difference picture under <build>/tests/approved-failures/;
// with GLOUTO_APPROVE=1 the actual picture becomes the approved one instead.
::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name);
constexpr int kEdgeTolerance = 8;

// The events of a script, e.g. "m355,365 d217,100 u10,10 esc": m motion,
// d press, u release (left button) at x,y; b pad,button and x pad,axis,value;
// q a close; enter, esc, bksp, kpenter, del, space, a, 2 and p the keys.
std::vector<SDL_Event> Script(const std::string& text);

// A screen that never leaves would hang the suite: this closes the window,
// which every screen obeys, and fails the test.
class Watchdog {
 public:
  Watchdog() : id_(SDL_AddTimer(10000, Bite, &fired_)) {}
  ~Watchdog() {
    SDL_RemoveTimer(id_);
    EXPECT_FALSE(fired_) << "the screen did not leave by itself";
  }

 private:
  static Uint32 Bite(Uint32, void* fired) {
    *static_cast<std::atomic<bool>*>(fired) = true;
    Push(QuitEvent());
    return 0;
  }
  std::atomic<bool> fired_{false};
  SDL_TimerID id_;
};

// One way through a screen: its script, what it answers, FINPROG after it,
// and the approved picture it leaves, if any.
struct Visit {
  std::string script;
  int result, finprog;
  const char* picture = nullptr;
};

// The screens with the shipped pictures, font and levels on a dummy window.
class ScreenTest : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    LinkAssets(true);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(600, 600));
    ASSERT_EQ(TTF_Init(), 0);
    font_ = TTF_OpenFont("Police/comic.ttf", 25);
    ASSERT_NE(font_, nullptr) << "the shipped font, Police/comic.ttf, is missing";
    FINPROG = 0;
  }
  void TearDown() override {
    TTF_CloseFont(font_);
    TTF_Quit();
    FINPROG = 0;
    SdlTest::TearDown();
  }
  void OpenWindow(int width, int height) {
    screen_ = TestWindow(width, height, SDL_HWSURFACE | SDL_DOUBLEBUF);
    ASSERT_NE(screen_, nullptr) << SDL_GetError();
  }
  template <typename Screen>
  void Play(const std::vector<Visit>& visits, Screen screen) {
    for (const Visit& v : visits) {
      SCOPED_TRACE(v.script);
      FINPROG = 0;
      for (const SDL_Event& e : Script(v.script)) Push(e);
      int result;
      {
        Watchdog watchdog;
        result = screen();
      }
      EXPECT_EQ(result, v.result);
      EXPECT_EQ(FINPROG, v.finprog);
      SDL_Event e;
      int left = 0;
      while (SDL_PollEvent(&e)) ++left;
      EXPECT_EQ(left, 0) << "a screen takes one event per pass and leaves the rest";
      if (v.picture) {
        EXPECT_TRUE(MatchesApproved(screen_, v.picture));
      }
    }
  }

  ScopedWorkDir dir_;
  SDL_Surface* screen_ = nullptr;
  TTF_Font* font_ = nullptr;
};

#endif
