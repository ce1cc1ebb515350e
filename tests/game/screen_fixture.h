#ifndef GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H
#define GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H

// Shared by the tests of the menu screens: a 600 x 600 dummy window, the
// font, small pictures, and a stand-in desktop that records what it is asked to open.

#include <SDL.h>
#include <SDL_ttf.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "game/flow/globals.h"
#include "tests/support/test_support.h"

// A screen that never leaves would hang the suite: after a few seconds the
// watchdog closes the window, which every screen obeys, and the test fails.
class Watchdog {
 public:
  explicit Watchdog(Uint32 ms = 5000) : id_(SDL_AddTimer(ms, Bite, &fired_)) {}
  ~Watchdog() {
    SDL_RemoveTimer(id_);
    EXPECT_FALSE(fired_) << "the screen did not leave by itself";
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static Uint32 Bite(Uint32, void* fired) {
    *static_cast<std::atomic<bool>*>(fired) = true;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    return 0;
  }
  std::atomic<bool> fired_{false};
  SDL_TimerID id_;
};

class ScreenTest : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenWindow(600, 600));
    ASSERT_EQ(TTF_Init(), 0);
    FINPROG = 0;
  }
  void TearDown() override {
    if (font_) TTF_CloseFont(font_);
    TTF_Quit();
    FINPROG = 0;
    SdlTest::TearDown();
  }
  void OpenWindow(int width, int height) {
    screen_ = SDL_SetVideoMode(width, height, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    ASSERT_NE(screen_, nullptr) << SDL_GetError();
  }
  // The game's font if it is shipped, else a look-alike; null when neither is there.
  TTF_Font* Font() {
    if (font_) return font_;
    const std::string shipped = AssetsDir() + "/Police/comic.ttf";
    for (const std::string& path :
         {shipped, std::string("/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf")}) {
      if ((font_ = TTF_OpenFont(path.c_str(), 25))) break;
    }
    return font_;
  }
  Rgb At(int x, int y) { return PixelAt(screen_, x, y); }
  // Pixels in [x0, x1) x [y0, y1) that differ from `background`.
  int InkIn(int x0, int y0, int x1, int y1, Rgb background) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += !(At(x, y) == background);
    return n;
  }
  struct Placed {
    const char* text;
    int x, y;
  };
  // Does the screen show these texts, drawn in this order over `background`,
  // as the font renders them? Compared within the texts' boxes.
  bool ShowsTexts(const std::vector<Placed>& texts, SDL_Color colour, Rgb background) {
    SDL_Surface* expected = SDL_CreateRGBSurface(SDL_SWSURFACE, screen_->w, screen_->h, 32,
                                                 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(expected, nullptr,
                 SDL_MapRGB(expected->format, background.r, background.g, background.b));
    std::vector<SDL_Rect> boxes;
    for (const Placed& t : texts) {
      SDL_Surface* ink = TTF_RenderText_Blended(Font(), t.text, colour);
      if (!ink) continue;
      SDL_Rect at{static_cast<Sint16>(t.x), static_cast<Sint16>(t.y), 0, 0};
      boxes.push_back({at.x, at.y, static_cast<Uint16>(ink->w), static_cast<Uint16>(ink->h)});
      SDL_BlitSurface(ink, nullptr, expected, &at);
      SDL_FreeSurface(ink);
    }
    bool same = boxes.size() == texts.size();
    for (const SDL_Rect& b : boxes)
      for (int y = std::max(0, int(b.y)); y < std::min(screen_->h, b.y + b.h) && same; ++y)
        for (int x = std::max(0, int(b.x)); x < std::min(screen_->w, b.x + b.w) && same; ++x)
          same = PixelAt(expected, x, y) == At(x, y);
    SDL_FreeSurface(expected);
    return same;
  }
  bool ShowsText(const char* text, SDL_Color colour, int x, int y, Rgb background) {
    return ShowsTexts({{text, x, y}}, colour, background);
  }
  // Events still queued: a screen takes one per pass and leaves the rest.
  int EventsLeft() {
    SDL_Event e;
    int n = 0;
    while (SDL_PollEvent(&e)) ++n;
    return n;
  }
  const char* Caption() {
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    return title ? title : "";
  }

  SDL_Surface* screen_ = nullptr;
  TTF_Font* font_ = nullptr;
};

constexpr Rgb kWhitePixel{255, 255, 255};
constexpr Rgb kBlackPixel{0, 0, 0};
constexpr Rgb kIdlePixel{150, 150, 150};
constexpr SDL_Color kBlackText{0, 0, 0, 0};
constexpr SDL_Color kWhiteText{255, 255, 255, 0};

// A solid picture; SDL_image tells the format from the content, not the name.
inline SDL_Surface* SolidSurface(int w, int h, Rgb c) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, c.r, c.g, c.b));
  return s;
}

inline void Paint(SDL_Surface* s, int x, int y, int w, int h, Rgb c) {
  SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
             static_cast<Uint16>(h)};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

inline void SavePicture(const std::string& path, SDL_Surface* s) {
  mkdir("Images", 0755);
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
  SDL_FreeSurface(s);
}

// A fake xdg-open first on PATH; each request is one line "<argument count> [<arguments>]".
class FakeDesktop {
 public:
  FakeDesktop() {
    char pattern[] = "/tmp/glouto-desktop-XXXXXX";
    if (!mkdtemp(pattern)) {
      ADD_FAILURE() << "mkdtemp failed";
      return;
    }
    dir_ = pattern;
    log_ = dir_ + "/requests";
    const std::string script = dir_ + "/xdg-open";
    WriteFile(script, "#!/bin/sh\nprintf '%s [%s]\\n' \"$#\" \"$*\" >> '" + log_ + "'\n");
    chmod(script.c_str(), 0755);
    const char* path = getenv("PATH");
    oldPath_ = path ? path : "";
    setenv("PATH", (dir_ + ":" + oldPath_).c_str(), 1);
  }
  ~FakeDesktop() {
    if (dir_.empty()) return;
    setenv("PATH", oldPath_.c_str(), 1);
    const std::string command = "rm -rf '" + dir_ + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not remove " << dir_;
  }
  FakeDesktop(const FakeDesktop&) = delete;
  FakeDesktop& operator=(const FakeDesktop&) = delete;

  // The requests seen once `count` have arrived or the time is up, sorted:
  // detached openers may finish in any order.
  std::vector<std::string> WaitFor(size_t count, int timeoutMs = 3000) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> lines = Requests();
    while (lines.size() < count && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      lines = Requests();
    }
    return lines;
  }
  // What has arrived after a grace period in which a stray request would show.
  std::vector<std::string> Settled(size_t expected) const {
    WaitFor(expected);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return Requests();
  }
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    const std::string text = ReadFile(log_);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_, log_, oldPath_;
};

inline std::string Request(const std::string& target) { return "1 [" + target + "]"; }

#endif
