#include "platform/window.h"

#include <emscripten.h>
#include <sys/stat.h>

#include "platform/pads.h"
#include "platform/web/first_input.h"
#include "platform/web/waits.h"

namespace {

SDL_Surface* page = nullptr;   // the page's canvas
SDL_Surface* drawn = nullptr;  // where the program draws; shown whole at each flip
void (*firstInputHook)() = nullptr;
bool hadInput = false;
bool shownOnce = false;

// The browser's process starts with umask 0777: every file saved would be unreadable.
struct SaneUmask {
  SaneUmask() { umask(022); }
} saneUmask;

}  // namespace

// The browser's SDL draws straight into the page, where a frame half drawn
// would show whenever a wait yields; it also copies the pixels of any other
// surface back to memory at every blit into it, which the screen is spared.
// clang-format off
EM_JS(void, MakeScreen, (SDL_Surface * surface), { SDL.screen = surface; });
EM_JS(void, DrawFramesLazily, (SDL_Surface * surface), { GloutoFrames.start(SDL.surfaces[surface]); });
// clang-format on
// The page is given what changed of the screen; a frame the same as the one
// shown is not shown again (see frames.js).
// clang-format off
EM_JS(bool, CopyToPage, (SDL_Surface * page), {
  if (!GloutoFrames.show(SDL.surfaces[page])) return false;
  Module.gloutoFrameShown = performance.now();  // see pads.cpp
  Module.gloutoFramesShown = (Module.gloutoFramesShown || 0) + 1;  // the pace, for bench/web
  return true;
});
EM_JS(void, TellPageSize, (int width, int height), {
  if (Module.onWindowSize) Module.onWindowSize(width, height);
});
// clang-format on

// The page shows the canvas at the largest whole zoom that fits, by itself.
void WindowSetZoom(int /*zoom*/) {}

void WindowOnFirstInput(void (*hook)()) { firstInputHook = hook; }

SDL_Surface* WindowSetVideoMode(int width, int height, int bpp, Uint32 flags) {
  if (page) MakeScreen(page);  // SDL frees its screen; ours goes below
  page = SDL_SetVideoMode(width, height, bpp, flags);
  if (drawn) SDL_FreeSurface(drawn);
  drawn = nullptr;
  if (!page) return nullptr;
  const SDL_PixelFormat* f = page->format;
  drawn = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, f->Rmask, f->Gmask, f->Bmask, 0);
  if (!drawn) return page;
  MakeScreen(drawn);
  DrawFramesLazily(drawn);
  TellPageSize(width, height);
  // The start up to here (the fonts, the pictures) and the first screen's
  // drawing, each a task of its own.
  if (!shownOnce) YieldToPage();
  shownOnce = true;
  return drawn;
}

int WindowFlip(SDL_Surface* screen) {
  // The page shows the frame while the program sleeps.
  if (screen && screen == drawn && page && CopyToPage(page)) SleepOffWaits();
  return 0;
}

int WindowPollEvent(SDL_Event* event) {
  PadsUpkeep();
  while (SDL_PollEvent(event)) {
    const auto type = event->type;
    // A touch arrives as a mouse event and again as a finger event, which
    // the programs never read: a loop that takes one event a pass would
    // react a pass late.
    if (type == SDL_FINGERDOWN || type == SDL_FINGERUP || type == SDL_FINGERMOTION) continue;
    if (!hadInput && (type == SDL_KEYDOWN || type == SDL_MOUSEBUTTONDOWN)) {
      hadInput = true;
      if (firstInputHook) firstInputHook();
    }
    // A pad's press is no input a browser lets start sound with.
    if (!PadsTranslate(event)) continue;
    return 1;
  }
  // As a held key repeats, once the queue is empty.
  return PadsRepeat(event);
}

// clang-format off
EM_JS(void, WakeFromWait, (), {
  var wait = Module.gloutoWait;
  if (wait && wait.wake) wait.wake();
});
// clang-format on

// The page's press at the window's pixel (x, y), queued as the mouse's would
// be, but placed when made: the browser's SDL places its own events when the
// program reads them, on the canvas as it is then, zoomed since perhaps.
extern "C" EMSCRIPTEN_KEEPALIVE void WindowPagePress(int x, int y) {
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_LEFT;
  press.button.state = SDL_PRESSED;
  press.button.x = x;
  press.button.y = y;
  SDL_PushEvent(&press);
  WakeFromWait();
}

// The page's "Quitter" where no key leaves: the window closed, as a desktop's.
extern "C" EMSCRIPTEN_KEEPALIVE void WindowPageClose() {
  SDL_Event close{};
  close.type = SDL_QUIT;
  SDL_PushEvent(&close);
  WakeFromWait();
}

// The browser's SDL queues the browser's events as they came and those pushed
// in C as copies, by address: of those, only the page's presses.
// clang-format off
EM_JS(const SDL_Event*, PushedFirst, (), {
  var first = SDL.events[0];
  return typeof first === 'number' ? first : 0;
});
// clang-format on

bool WindowTakePagePress(int* x, int* y) {
  const SDL_Event* first = PushedFirst();
  if (!first || first->type != SDL_MOUSEBUTTONDOWN) return false;
  SDL_Event press;
  SDL_PollEvent(&press);
  *x = press.button.x;
  *y = press.button.y;
  return true;
}

// The browser's SDL has no SDL_WaitEvent.
int WindowWaitEvent(SDL_Event* event) {
  while (!WindowPollEvent(event)) SDL_Delay(10);
  return 1;
}
