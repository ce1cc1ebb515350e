#include "tests/reliability/soak.h"

#include <malloc.h>
#include <unistd.h>
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "tests/support/test_support.h"

extern "C" {
int __real_SDL_PollEvent(SDL_Event* event);
int __real_SDL_WaitEvent(SDL_Event* event);
}

namespace {

// Headless however the programs are started (ctest, valgrind, by hand).
const bool kDummyDrivers = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

EventSource source;
// The timer thread of the game never waits through SDL_Delay, so one thread writes this.
unsigned long long waitedMs = 0;

}  // namespace

int SoakScale() {
  const char* text = std::getenv("GLOUTO_SOAK_SCALE");
  const int scale = text ? std::atoi(text) : 1;
  return scale > 0 ? scale : 1;
}

long ResidentKiB() {
  // Free heap pages go back first: what stays is what the program holds.
  malloc_trim(0);
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
  std::fclose(statm);
  return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

bool ResidentMemoryIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return false;
#else
  return RUNNING_ON_VALGRIND == 0;
#endif
}

void ScriptInput(EventSource next) { source = std::move(next); }

unsigned long long TakeWaitedMs() { return std::exchange(waitedMs, 0); }

extern "C" void __wrap_SDL_Delay(Uint32 ms) { waitedMs += ms; }

// The script's event goes out next, not after what the window queued about itself.
extern "C" int __wrap_SDL_PollEvent(SDL_Event* event) {
  SDL_Event next;
  if (event && source && source(next)) {
    DropWindowEvents();
    SDL_PushEvent(&next);
  }
  return __real_SDL_PollEvent(event);
}

// A screen that waits for input takes the script's next event, skipping idle steps.
extern "C" int __wrap_SDL_WaitEvent(SDL_Event* event) {
  if (source) {
    SDL_Event next;
    while (!source(next)) {
    }
    DropWindowEvents();
    SDL_PushEvent(&next);
  }
  return __real_SDL_WaitEvent(event);
}
