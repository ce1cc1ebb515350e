#include "game/replay/watching.h"

#include <cstring>
#include <string>

#include "platform/window.h"

namespace {

constexpr const char* kCaptionPrefix = "Glouto - revoir la partie - ";
constexpr Uint32 kLook = 30;  // ms between two looks at the watcher's keys while held
constexpr int kFastest = 8;

bool watching = false;
bool fast = false;
bool paused = false;
bool stopped = false;
int speed = 1;

// SDL_WM_GetCaption gives `char**` on the desktop, `const char**` in the browser.
template <typename Text>
const char* CaptionVia(void (*get)(Text**, Text**)) {
  Text* title = nullptr;
  Text* icon = nullptr;
  get(&title, &icon);
  return title;
}

// The game's own caption, said to be a replay.
void MarkCaption() {
  const char* title = CaptionVia(&SDL_WM_GetCaption);
  if (title && std::strncmp(title, kCaptionPrefix, std::strlen(kCaptionPrefix)) == 0) return;
  const std::string marked = std::string(kCaptionPrefix) + (title ? title : "");
  SDL_WM_SetCaption(marked.c_str(), nullptr);
}

void Take(const SDL_Event& event) {
  if (event.type == SDL_QUIT) stopped = true;
  if (event.type != SDL_KEYDOWN) return;
  switch (event.key.keysym.sym) {
    case SDLK_ESCAPE: stopped = true; break;
    case SDLK_p: paused = !paused; break;
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
    case SDLK_EQUALS:
      if (speed < kFastest) speed *= 2;
      break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
    case SDLK_6:
      if (speed > 1) speed /= 2;
      break;
    default: break;
  }
}

void Look() {
  SDL_Event event;
  while (WindowPollEvent(&event)) Take(event);
}

}  // namespace

void WatchBegin(bool isWatching, bool isFast) {
  watching = isWatching;
  fast = isFast;
  paused = stopped = false;
  speed = 1;
}

void WatchUpkeep() {
  if (!watching || !SDL_WasInit(SDL_INIT_VIDEO)) return;
  MarkCaption();
  Look();
  while (paused && !stopped) {
    SDL_Delay(kLook);
    Look();
  }
}

bool WatchStopped() { return stopped; }

void WatchWait(Uint32 ms) {
  if (fast || stopped) return;
  SDL_Delay(ms / static_cast<Uint32>(speed));
}

void WatchPace(Uint32 ms) {
  if (fast) return;
  for (Uint32 waited = 0; !stopped && waited < ms / static_cast<Uint32>(speed); waited += kLook) {
    SDL_Delay(kLook);
    WatchUpkeep();
  }
}
