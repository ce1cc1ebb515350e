#ifndef GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H
#define GLOUTO_TESTS_GAME_SCREEN_FIXTURE_H

// The game's screens (ScreenTest) and a desktop that records what it is asked to open.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "game/flow/globals.h"
#include "game/flow/session.h"
#include "game/screens/screens.h"
#include "tests/support/approved.h"

// A fake xdg-open first on PATH; each request a line "<argument count> [<arguments>]".
class FakeDesktop {
 public:
  FakeDesktop() {
    char pattern[] = "/tmp/glouto-desktop-XXXXXX";
    dir_ = mkdtemp(pattern) ? pattern : "/tmp";
    log_ = dir_ + "/requests";
    Viewer("");
    const char *path = getenv("PATH");
    oldPath_ = path ? path : "";
    setenv("PATH", (dir_ + ":" + oldPath_).c_str(), 1);
  }
  ~FakeDesktop() {
    setenv("PATH", oldPath_.c_str(), 1);
    if (std::system(("rm -rf '" + dir_ + "'").c_str()) != 0) ADD_FAILURE() << "rm " << dir_;
  }
  // The viewer runs `first` before it records the request.
  void Viewer(const std::string &first) {
    WriteFile(dir_ + "/xdg-open",
              "#!/bin/sh\n" + first + "\nprintf '%s [%s]\\n' \"$#\" \"$*\" >> '" + log_ + "'\n");
    chmod((dir_ + "/xdg-open").c_str(), 0755);
  }
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
  const std::string &dir() const { return dir_; }

 private:
  std::string dir_, log_, oldPath_;
};

inline std::string Request(const std::string &target) { return "1 [" + target + "]"; }

#endif
