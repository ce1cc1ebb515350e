#ifndef GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H
#define GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H

// The game's screens (ScreenTest) and a desktop that records what it is asked to open.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "game/flow/globals.h"
#include "game/flow/session.h"
#include "game/screens/screens.h"
#include "tests/support/approved.h"

// The end-to-end tests' stand-in desktop first on PATH, logging each request in the working
// folder as "<argument count> [<arguments>]".
class FakeDesktop {
 public:
  FakeDesktop() : log_(std::filesystem::current_path() / "opened.txt"), oldPath_(getenv("PATH")) {
    setenv("PATH", (GLOUTO_SOURCE_DIR "/tests/e2e/fake_desktop:" + oldPath_).c_str(), 1);
    setenv("GLOUTO_OPENED_LOG", log_.c_str(), 1);
  }
  ~FakeDesktop() {
    setenv("PATH", oldPath_.c_str(), 1);
    unsetenv("GLOUTO_OPENED_LOG"), unsetenv("GLOUTO_VIEWER_FIRST");
  }
  // The viewer runs `first` before it records the request.
  void Viewer(const std::string &first) { setenv("GLOUTO_VIEWER_FIRST", first.c_str(), 1); }
  // The requests, sorted (viewers finish in any order), once `count` came or 20 s passed.
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

 private:
  std::string log_, oldPath_;
};

inline std::string Request(const std::string &target) { return "1 [" + target + "]"; }

#endif
