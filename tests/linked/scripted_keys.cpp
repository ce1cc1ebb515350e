// LD_PRELOAD shim: plays a script into the real game, which knows nothing of it. GLOUTO_SCRIPT
// holds steps "WHAT FLIPS CAPTION" separated by ';', each due at a look for an event once FLIPS
// frames were shown since the step before and the caption ends with CAPTION ('_' a space, '|'
// between endings). WHAT: a key by SDL's name, pressed and released; shot:FILE, the screen
// as a BMP; hold:FILE, read to its end (a pipe holds the game till the test writes and closes it).
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
  std::string what, caption;
  long flips = 0;
};

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
SDL_Event release{};  // the last key's, once

bool Due() {
  if (next >= steps.size()) return false;
  char *title = nullptr, *icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  const std::string caption = title ? title : "";
  std::stringstream endings(steps[next].caption);
  for (std::string end; flips - flipsThen >= steps[next].flips && std::getline(endings, end, '|');)
    if (caption.size() >= end.size() && caption.substr(caption.size() - end.size()) == end)
      return true;
  return false;
}

}  // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
  static const auto real = reinterpret_cast<int (*)(SDL_Surface*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
  ++flips;
  return real(screen);
}

extern "C" int SDL_PollEvent(SDL_Event* event) {
  static const auto real = reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
  if (event && release.type) return *event = release, release.type = 0, 1;
  while (event && Due()) {
    const std::string what = steps[next++].what;
    flipsThen = flips;
    if (what.rfind("shot:", 0) == 0) {
      SDL_SaveBMP(SDL_GetVideoSurface(), what.c_str() + 5);
      continue;
    }
    char byte;
    const int fd = what.rfind("hold:", 0) == 0 ? open(what.c_str() + 5, O_RDONLY) : -2;
    if (fd != -2 && (fd < 0 || (read(fd, &byte, 1) >= 0 && close(fd) >= 0))) continue;
    int key = SDLK_FIRST;
    while (key < SDLK_LAST && what != SDL_GetKeyName(static_cast<SDLKey>(key))) ++key;
    if (key == SDLK_LAST) std::abort();
    *event = SDL_Event{};
    event->type = SDL_KEYDOWN;
    event->key.keysym.sym = static_cast<SDLKey>(key);
    release = *event;
    release.type = SDL_KEYUP;
    return 1;
  }
  return real(event);
}
