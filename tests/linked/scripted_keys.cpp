// LD_PRELOAD shim: plays a script into the real game, which knows nothing of
// it. GLOUTO_SCRIPT holds steps "WHAT FLIPS CAPTION" separated by ';': each
// is due at a look for an event once the caption ends with CAPTION ('_' for a
// space) and FLIPS frames were shown since the step before. WHAT is a key
// (pressed and released), close (the window's close), or shot:FILE (the
// screen as a BMP).
#include <SDL.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
  std::string what, caption;
  long flips = 0;
};

constexpr struct {
  const char* name;
  SDLKey key;
} kKeys[] = {{"Return", SDLK_RETURN}, {"Escape", SDLK_ESCAPE}, {"Right", SDLK_RIGHT},
             {"Left", SDLK_LEFT},     {"Up", SDLK_UP},         {"Down", SDLK_DOWN},
             {"p", SDLK_p},           {"d", SDLK_d},           {"t", SDLK_t}};

std::vector<Step> Script() {
  std::vector<Step> steps;
  std::stringstream all(std::getenv("GLOUTO_SCRIPT") ? std::getenv("GLOUTO_SCRIPT") : "");
  for (std::string text; std::getline(all, text, ';');) {
    Step step;
    if (!(std::stringstream(text) >> step.what >> step.flips >> step.caption)) std::abort();
    for (char& c : step.caption) c = c == '_' ? ' ' : c;
    steps.push_back(step);
  }
  return steps;
}

std::vector<Step> steps = Script();
std::size_t next = 0;
long flips = 0, flipsThen = 0;
bool releasing = false;
SDL_Event release;

bool Due() {
  if (next >= steps.size() || flips - flipsThen < steps[next].flips) return false;
  char* title = nullptr;
  char* icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  const std::string caption = title ? title : "", &end = steps[next].caption;
  return caption.size() >= end.size() &&
         caption.compare(caption.size() - end.size(), end.size(), end) == 0;
}

SDLKey KeyNamed(const std::string& name) {
  for (const auto& k : kKeys)
    if (name == k.name) return k.key;
  std::abort();
}

// The step's event, if it makes one.
bool Play(const Step& step, SDL_Event* event) {
  if (step.what.rfind("shot:", 0) == 0) {
    SDL_SaveBMP(SDL_GetVideoSurface(), step.what.c_str() + 5);
    return false;
  }
  *event = SDL_Event{};
  if (step.what == "close") return event->type = SDL_QUIT, true;
  event->type = SDL_KEYDOWN;
  event->key.state = SDL_PRESSED;
  event->key.keysym.sym = KeyNamed(step.what);
  release = *event;
  release.type = SDL_KEYUP;
  release.key.state = SDL_RELEASED;
  releasing = true;
  return true;
}

}  // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
  static const auto real = reinterpret_cast<int (*)(SDL_Surface*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
  ++flips;
  return real(screen);
}

extern "C" int SDL_PollEvent(SDL_Event* event) {
  static const auto real = reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
  if (!event) return real(event);
  if (releasing) return releasing = false, *event = release, 1;
  while (Due()) {
    const Step& step = steps[next++];
    flipsThen = flips;
    if (Play(step, event)) return 1;
  }
  return real(event);
}
