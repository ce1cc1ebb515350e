#ifndef GLOUTO_TESTS_RELIABILITY_SOAK_H
#define GLOUTO_TESTS_RELIABILITY_SOAK_H

// What the long runs share. The test programs take over SDL_Delay and the
// event intake at link time (-Wl,--wrap=...): an hour of play runs in seconds.

#include <SDL.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

int SoakScale();     // GLOUTO_SOAK_SCALE, 1 when unset: the soaks run this many times longer
long ResidentKiB();  // once free heap pages went back
// Not under valgrind or the sanitizers, whose bookkeeping grows on purpose.
bool ResidentMemoryIsMeaningful();
unsigned long long TakeWaitedMs();  // asked of SDL_Delay since the last call, all skipped

// The input of a program's whole SDL_main: each poll takes the next step (an
// event or none, its action run first), a wait takes steps until one has an
// event. Once they run out, the window closes.
class Script {
 public:
  void Event(const SDL_Event& event) { steps_.push_back({true, event, nullptr}); }
  void Key(SDLKey key);
  void Idle(std::function<void()> action = nullptr) { steps_.push_back({false, {}, action}); }
  bool Exhausted() const { return steps_.empty(); }
  int Run();  // SDL_main on the script, in the working directory
  bool Next(SDL_Event& event);
  std::function<void()> eachPoll;

 private:
  struct Step {
    bool hasEvent;
    SDL_Event event;
    std::function<void()> action;
  };
  std::deque<Step> steps_;
};

// Ways a careless install spoils a file.
constexpr const char* kDamage[] = {"missing", "empty", "text under the name", "cut short"};
// Every shipped file under Images/, Police/, Musique/, Niveaux/ ("Images/Mur.png", ...).
std::vector<std::string> ShippedAssets();
// The shipped folders here, levels copied and the rest linked, `path` spoiled the kDamage[damage]
// way.
void InstallAssetsWith(const std::string& path, int damage);

#endif
