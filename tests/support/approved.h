#ifndef GLOUTO_TESTS_SUPPORT_APPROVED_H
#define GLOUTO_TESTS_SUPPORT_APPROVED_H

// Screens compared with PNGs under tests/approved/ a person looked at (HACKING.md).

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

extern int FINPROG;  // each program's own

// Flat areas exactly, a colour edge within 8 per channel (font renderers smooth
// glyphs their own way). A failure writes the actual and a difference picture
// under <build>/tests/approved-failures/; GLOUTO_APPROVE=1 approves instead.
::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name);

// A screen that never leaves would hang the suite: this closes the window.
class Watchdog {
  static Uint32 Bite(Uint32, void* fired) {
    *static_cast<std::atomic<bool>*>(fired) = true;
    Push(QuitEvent());
    return 0;
  }
  std::atomic<bool> fired_{false};
  SDL_TimerID id_ = SDL_AddTimer(10000, Bite, &fired_);

 public:
  ~Watchdog() {
    SDL_RemoveTimer(id_);
    EXPECT_FALSE(fired_) << "the screen did not leave by itself";
  }
};

// The screens with the shipped pictures, font and levels on a dummy window.
class ScreenTest : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    LinkAssets(true);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(600, 600));
    ASSERT_EQ(TTF_Init(), 0);
    ASSERT_NE(font_ = TTF_OpenFont("Police/comic.ttf", 25), nullptr);
    FINPROG = 0;
  }
  void TearDown() override {
    TTF_CloseFont(font_);
    TTF_Quit();
    FINPROG = 0;
    SdlTest::TearDown();
  }
  void OpenWindow(int width, int height) {
    ASSERT_NE(screen_ = TestWindow(width, height, SDL_HWSURFACE | SDL_DOUBLEBUF), nullptr);
  }
  // "SCRIPT =RESULT[*] [PICTURE]; ...": each script queued and the screen run:
  // its answer, FINPROG set (*) or not, the picture it leaves, and a pass of
  // at least 30 ms an event, the end screen's last one aside.
  template <typename Screen>
  void Play(const std::string& visits, Screen screen) {
    std::istringstream rows(visits);
    for (std::string v; std::getline(rows, v, ';');) {
      SCOPED_TRACE(v);
      std::string answer, picture;
      std::istringstream(v.substr(v.find('=') + 1)) >> answer >> picture;
      FINPROG = 0;
      const std::vector<SDL_Event> events = Events(v.substr(0, v.find('=')));
      for (const SDL_Event& e : events) Push(e);
      const auto start = std::chrono::steady_clock::now();
      const int result = [&] {
        Watchdog watchdog;
        return screen();
      }();
      EXPECT_GE(std::chrono::steady_clock::now() - start, (events.size() - 1) * kPass);
      EXPECT_EQ(result, std::stoi(answer));
      EXPECT_EQ(FINPROG, answer.back() == '*');
      for (SDL_Event e; SDL_PollEvent(&e);) ADD_FAILURE() << "a screen takes one event a pass";
      if (!picture.empty()) {
        EXPECT_TRUE(MatchesApproved(screen_, picture));
      }
    }
  }

  static constexpr std::chrono::milliseconds kPass{30};
  ScopedWorkDir dir_;
  SDL_Surface* screen_ = nullptr;
  TTF_Font* font_ = nullptr;
};

#endif
