#ifndef GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H
#define GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H

// The screens with the shipped pictures, font and levels on a dummy window,
// and a stand-in desktop that records what it is asked to open.

#include <SDL.h>
#include <SDL_ttf.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "game/flow/globals.h"
#include "tests/support/approved.h"
#include "tests/support/test_support.h"

// A screen that never leaves would hang the suite: the watchdog closes the
// window, which every screen obeys, and the test fails.
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

// One way through a screen: its script (see Script), what it answers,
// whether it ends the program, and the approved picture it leaves, if any.
struct Visit {
  const char* script;
  int result, finprog;
  const char* picture = nullptr;
};

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
  // Runs `screen` over each visit's events and checks what it answered and showed.
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
      EXPECT_EQ(EventsLeft(), 0) << "a screen takes one event per pass and leaves the rest";
      if (v.picture) {
        EXPECT_TRUE(MatchesApproved(screen_, v.picture));
      }
    }
  }
  static int EventsLeft() {
    SDL_Event e;
    int n = 0;
    while (SDL_PollEvent(&e)) ++n;
    return n;
  }
  static std::string Caption() {
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    return title ? title : "";
  }

  ScopedWorkDir dir_;
  SDL_Surface* screen_ = nullptr;
  TTF_Font* font_ = nullptr;
};

// A fake xdg-open first on PATH; each request is one line "<argument count> [<arguments>]".
class FakeDesktop {
 public:
  FakeDesktop() {
    char pattern[] = "/tmp/glouto-desktop-XXXXXX";
    dir_ = mkdtemp(pattern) ? pattern : "/tmp";
    log_ = dir_ + "/requests";
    Viewer("");
    const char* path = getenv("PATH");
    oldPath_ = path ? path : "";
    setenv("PATH", (dir_ + ":" + oldPath_).c_str(), 1);
  }
  ~FakeDesktop() {
    setenv("PATH", oldPath_.c_str(), 1);
    if (std::system(("rm -rf '" + dir_ + "'").c_str()) != 0) ADD_FAILURE() << "rm " << dir_;
  }
  // The viewer runs `first` before it records the request.
  void Viewer(const std::string& first) {
    WriteFile(dir_ + "/xdg-open",
              "#!/bin/sh\n" + first + "\nprintf '%s [%s]\\n' \"$#\" \"$*\" >> '" + log_ + "'\n");
    chmod((dir_ + "/xdg-open").c_str(), 0755);
  }
  // The requests, sorted (detached viewers finish in any order), once
  // `count` have arrived; the deadline only ends a failing wait.
  std::vector<std::string> WaitFor(size_t count) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::vector<std::string> lines;
    do {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      lines.clear();
      const std::string text = ReadFile(log_);
      for (size_t s = 0, e; (e = text.find('\n', s)) != std::string::npos; s = e + 1)
        lines.push_back(text.substr(s, e - s));
    } while (lines.size() < count && std::chrono::steady_clock::now() < end);
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_, log_, oldPath_;
};

inline std::string Request(const std::string& target) { return "1 [" + target + "]"; }

#endif
