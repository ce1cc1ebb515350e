#include "tests/reliability/soak.h"

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#include "tests/support/test_support.h"

extern "C" {
int SDL_main(int argc, char** argv);
int __real_SDL_PollEvent(SDL_Event* event);
int __real_SDL_WaitEvent(SDL_Event* event);
}

namespace {

// Headless however started (ctest, valgrind, by hand).
const bool kDummyDrivers = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

Script* running = nullptr;
// The game's timer thread never waits through SDL_Delay: one thread writes this.
unsigned long long waitedMs = 0;
constexpr const char* kFolders[] = {"Images", "Police", "Musique", "Niveaux"};

}  // namespace

int SoakScale() {
  const char* text = std::getenv("GLOUTO_SOAK_SCALE");
  return std::max(text ? std::atoi(text) : 1, 1);
}

long ResidentKiB() {
  malloc_trim(0);
  long pages = 0, resident = -1;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool ResidentMemoryIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return false;
#endif
  const char* preloaded = std::getenv("LD_PRELOAD");  // valgrind's own, under valgrind
  return !preloaded || !std::strstr(preloaded, "vgpreload");
}

unsigned long long TakeWaitedMs() { return std::exchange(waitedMs, 0); }

void Script::Key(SDLKey key) { Event(KeyDown(key)); }

bool Script::Next(SDL_Event& event) {
  if (eachPoll) eachPoll();
  if (steps_.empty()) {
    event = QuitEvent();
    return true;
  }
  const Step step = steps_.front();
  steps_.pop_front();
  if (step.action) step.action();
  event = step.event;
  return step.hasEvent;
}

int Script::Run() {
  running = this;
  char name[] = "program";
  char* argv[] = {name, nullptr};
  const int result = SDL_main(1, argv);
  running = nullptr;
  return result;
}

extern "C" void __wrap_SDL_Delay(Uint32 ms) { waitedMs += ms; }

// The script's event goes out next, not after what the window queued about itself.
extern "C" int __wrap_SDL_PollEvent(SDL_Event* event) {
  SDL_Event next;
  if (event && running && running->Next(next)) {
    DropWindowEvents();
    SDL_PushEvent(&next);
  }
  return __real_SDL_PollEvent(event);
}

// A screen that waits for input takes the script's next event, skipping idle steps.
extern "C" int __wrap_SDL_WaitEvent(SDL_Event* event) {
  if (running) {
    SDL_Event next;
    while (!running->Next(next)) {
    }
    DropWindowEvents();
    SDL_PushEvent(&next);
  }
  return __real_SDL_WaitEvent(event);
}

std::vector<std::string> ShippedAssets() {
  std::vector<std::string> paths;
  for (const char* folder : kFolders) {
    for (const auto& entry : std::filesystem::directory_iterator(AssetsDir() + "/" + folder)) {
      const std::string name = entry.path().filename();
      if (name.rfind("LICENSE", 0) != 0) paths.push_back(folder + ("/" + name));
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void InstallAssetsWith(const std::string& path, int damage) {
  for (const char* folder : kFolders) mkdir(folder, 0755);
  for (const std::string& shipped : ShippedAssets()) {
    const std::string source = AssetsDir() + "/" + shipped;
    // Levels are copied: they are the one kind a player may edit in place.
    if (shipped.rfind("Niveaux/", 0) == 0) {
      WriteFile(shipped, ReadFile(source));
    } else if (symlink(source.c_str(), shipped.c_str()) != 0) {
      ADD_FAILURE() << "symlink " << shipped;
    }
  }
  const std::string whole = FileExists(path) ? ReadFile(path) : "";
  std::remove(path.c_str());
  if (damage == 1) WriteFile(path, "");
  if (damage == 2) WriteFile(path, "This is not what the name says.\nJust text.\n");
  if (damage == 3) WriteFile(path, whole.substr(0, whole.size() / 2));
}
