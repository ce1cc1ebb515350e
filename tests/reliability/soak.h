#ifndef GLOUTO_TESTS_RELIABILITY_SOAK_H
#define GLOUTO_TESTS_RELIABILITY_SOAK_H

// What the long runs share, included by each program's one test file. The programs take over
// SDL_Delay and the event intake at link time (-Wl,--wrap=...): an hour of play in seconds.

#include <SDL.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/support/test_support.h"

extern "C" {
int SDL_main(int argc, char** argv);
int __real_SDL_PollEvent(SDL_Event* event);
int __real_SDL_WaitEvent(SDL_Event* event);
}
// Headless however started (ctest, valgrind, by hand).
const bool kDummyDrivers = setenv("SDL_VIDEODRIVER", "dummy", 0) +
                           setenv("SDL_AUDIODRIVER", "dummy", 0);
// GLOUTO_SOAK_SCALE, 1 when unset: the soaks run this many times longer.
const int kSoakScale = std::max(
    1, std::atoi(getenv("GLOUTO_SOAK_SCALE") ? getenv("GLOUTO_SOAK_SCALE") : "1"));
// Once free heap pages went back; -1 under valgrind or the sanitizers (their bookkeeping grows).
long ResidentKiB() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return -1;
#endif
  const char* preloaded = std::getenv("LD_PRELOAD");  // valgrind's own, under valgrind
  if (preloaded && std::strstr(preloaded, "vgpreload")) return -1;
  malloc_trim(0);
  long pages = 0, resident = -1;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

extern "C" void __wrap_SDL_Delay(Uint32) {}  // every wait skipped

// SDL_main's input: a poll takes the next step (action first), a wait up to an event; then Quit.
struct Script* running = nullptr;
struct Script {
  std::deque<std::pair<SDL_Event, std::function<void()>>> steps;  // SDL_NOEVENT: none
  std::function<void()> eachPoll;

  void Event(const SDL_Event& event) { steps.push_back({event, nullptr}); }
  void Keys(std::initializer_list<SDLKey> keys) {
    for (SDLKey key : keys) Event(KeyDown(key));
  }
  void Idle(std::function<void()> action = nullptr) { steps.push_back({{}, action}); }
  bool Next(SDL_Event& event) {
    if (eachPoll) eachPoll();
    if (steps.empty()) return event = QuitEvent(), true;
    const auto [next, action] = steps.front();
    steps.pop_front();
    if (action) action();
    return (event = next).type != SDL_NOEVENT;
  }
  int Run() {  // SDL_main on the script, in the working directory
    char name[] = "program", *argv[] = {name, nullptr};
    running = this;
    const int result = SDL_main(1, argv);
    return running = nullptr, result;
  }
};
// The script's event goes before what the window queued about itself.
extern "C" int __wrap_SDL_PollEvent(SDL_Event* event) {
  SDL_Event next;
  if (event && running && running->Next(next)) DropWindowEvents(), SDL_PushEvent(&next);
  return __real_SDL_PollEvent(event);
}
extern "C" int __wrap_SDL_WaitEvent(SDL_Event* event) {
  SDL_Event next;
  if (running) {
    while (!running->Next(next)) continue;
    DropWindowEvents(), SDL_PushEvent(&next);
  }
  return __real_SDL_WaitEvent(event);
}
// Ways a careless install spoils a file.
constexpr const char* kDamage[] = {"missing", "empty", "text under the name", "cut short"};
// The shipped folders here, levels copied (edited in place), the rest linked; `path` spoiled.
void InstallAssetsWith(const std::string& path, int damage) {
  LinkAssets(true);
  const std::string whole = FileExists(path) ? ReadFile(path) : "";
  const std::string spoiled[] = {"", "", "This is not what the name says.\nJust text.\n",
                                 whole.substr(0, whole.size() / 2)};
  std::remove(path.c_str());
  if (damage) WriteFile(path, spoiled[damage]);
}

#endif
