// LD_PRELOAD shim for whole-program figures: records, for every SDL_Flip of
// the main thread, the monotonic time and the thread's CPU time, as two
// 64-bit nanosecond counts, appended to the file named by FLIP_CLOCK_LOG.
// The program itself is unchanged and knows nothing of it.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

using FlipFunction = int (*)(SDL_Surface*);

int OpenLog() {
  const char* path = std::getenv("FLIP_CLOCK_LOG");
  return path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

std::int64_t Nanoseconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
  static const auto real = reinterpret_cast<FlipFunction>(dlsym(RTLD_NEXT, "SDL_Flip"));
  static const int log = OpenLog();
  const int result = real ? real(screen) : -1;
  if (log >= 0) {
    const std::int64_t record[2] = {Nanoseconds(CLOCK_MONOTONIC),
                                    Nanoseconds(CLOCK_THREAD_CPUTIME_ID)};
    if (write(log, record, sizeof record) != static_cast<ssize_t>(sizeof record)) {
      // A lost record only shortens the measurement.
    }
  }
  return result;
}
