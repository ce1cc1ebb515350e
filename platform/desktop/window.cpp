#include "platform/window.h"

#include <cstdlib>
#include <vector>

#include "platform/desktop/zoom_copy.h"
#include "platform/pads.h"

namespace {

int zoomFactor = 1;
bool scalingAsked = false;  // of sdl12-compat, by us

// Zoomed on classic SDL, the program draws into `drawn`, at its own size, and
// each flip copies it enlarged onto `shown`, the window's own surface.
SDL_Surface* drawn = nullptr;
SDL_Surface* shown = nullptr;
ZoomedCopy zoomed;

// sdl12-compat scales the window itself, on the GPU where there is one, and
// maps the pointer back; classic SDL 1.2 (1.2.15) cannot. Tried from 1.2.60,
// Debian 12's; an older sdl12-compat gets our copy, which works there too.
bool LibraryScales() {
  const SDL_version* v = SDL_Linked_Version();
  return v->major == 1 && v->minor == 2 && v->patch >= 60;
}

bool Copying() { return zoomFactor > 1 && !LibraryScales(); }

bool Fits(const SDL_Surface* surface, int width, int height, const SDL_PixelFormat* format) {
  const SDL_PixelFormat* f = surface->format;
  return surface->w == width && surface->h == height && f->BitsPerPixel == format->BitsPerPixel &&
         f->Rmask == format->Rmask && f->Gmask == format->Gmask && f->Bmask == format->Bmask &&
         f->Amask == format->Amask;
}

// A surface like the window's at the program's size, cleared as
// SDL_SetVideoMode clears the screen; the same one while the size holds, as
// SDL keeps its screen surface.
SDL_Surface* DrawnSurface(int width, int height) {
  const SDL_PixelFormat* f = shown->format;
  if (drawn && Fits(drawn, width, height, f)) {
    SDL_FillRect(drawn, nullptr, 0);
    return drawn;
  }
  SDL_FreeSurface(drawn);
  drawn = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, f->BitsPerPixel, f->Rmask, f->Gmask,
                               f->Bmask, f->Amask);
  return drawn;
}

Sint16 Unzoomed(Sint16 position) { return static_cast<Sint16>(position / zoomFactor); }

void MapPointer(SDL_Event* event) {
  if (event->type == SDL_MOUSEMOTION) {
    event->motion.x = static_cast<Uint16>(event->motion.x / zoomFactor);
    event->motion.y = static_cast<Uint16>(event->motion.y / zoomFactor);
    event->motion.xrel = Unzoomed(event->motion.xrel);
    event->motion.yrel = Unzoomed(event->motion.yrel);
  } else if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
    event->button.x = static_cast<Uint16>(event->button.x / zoomFactor);
    event->button.y = static_cast<Uint16>(event->button.y / zoomFactor);
  }
}

}  // namespace

void WindowSetZoom(int zoom) {
  zoomFactor = zoom;
  if (zoom > 1 && LibraryScales()) {
    // sdl12-compat reads these when its video starts.
    const char factor[2] = {static_cast<char>('0' + zoom), '\0'};
    setenv("SDL12COMPAT_WINDOW_SCALING", factor, 1);
    setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 1);
    scalingAsked = true;
  } else if (scalingAsked) {
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    unsetenv("SDL12COMPAT_SCALE_METHOD");
    scalingAsked = false;
  }
}

SDL_Surface* WindowSetVideoMode(int width, int height, int bpp, Uint32 flags) {
  if (!Copying()) return SDL_SetVideoMode(width, height, bpp, flags);
  shown = SDL_SetVideoMode(width * zoomFactor, height * zoomFactor, bpp, flags);
  if (!shown) return nullptr;
  zoomed.Forget();
  return DrawnSurface(width, height);
}

int WindowFlip(SDL_Surface* screen) {
  if (!Copying() || screen != drawn || !shown) return SDL_Flip(screen);
  // A flip between two video pages needs the whole frame in the hidden one.
  const Uint32 pages = SDL_HWSURFACE | SDL_DOUBLEBUF;
  const bool pageFlip = (shown->flags & pages) == pages;
  if (pageFlip) zoomed.Forget();
  if (SDL_MUSTLOCK(shown) && SDL_LockSurface(shown) != 0) return -1;
  const std::vector<SDL_Rect>& redrawn = zoomed.Update(drawn, shown, zoomFactor);
  if (SDL_MUSTLOCK(shown)) SDL_UnlockSurface(shown);
  if (pageFlip) return SDL_Flip(shown);
  // Only what changed goes to the display: the whole zoomed window is megabytes.
  SDL_UpdateRects(shown, static_cast<int>(redrawn.size()), const_cast<SDL_Rect*>(redrawn.data()));
  return 0;
}

// SDL 1.2 has no hot-plug events: a wait is woken now and then by this
// event, of ours alone, to look for pads plugged in since.
constexpr Uint32 kWakeEvery = 250;
constexpr int kWakeCode = 0x676c70;

Uint32 WakeWaiter(Uint32 interval, void* /*param*/) {
  SDL_Event wake{};
  wake.type = SDL_USEREVENT;
  wake.user.code = kWakeCode;
  SDL_PushEvent(&wake);
  return interval;
}

bool IsWake(const SDL_Event& event) {
  return event.type == SDL_USEREVENT && event.user.code == kWakeCode;
}

// A pad's event that stands for no key (a stick's small moves) is skipped, not
// handed out: the loops take one event a pass and would fall behind.
int WindowPollEvent(SDL_Event* event) {
  if (!event) return SDL_PollEvent(nullptr);
  PadsUpkeep();
  while (SDL_PollEvent(event)) {
    if (IsWake(*event) || !PadsTranslate(event)) continue;
    if (Copying()) MapPointer(event);
    return 1;
  }
  // As SDL repeats a held key, once the queue is empty.
  return PadsRepeat(event);
}

bool WindowTakePagePress(int* /*x*/, int* /*y*/) { return false; }

int WindowWaitEvent(SDL_Event* event) {
  if (!event) return SDL_WaitEvent(nullptr);
  const SDL_TimerID wake = SDL_WasInit(SDL_INIT_TIMER)
                               ? SDL_AddTimer(kWakeEvery, WakeWaiter, nullptr)
                               : SDL_TimerID{};
  int got;
  do {
    PadsUpkeep();
    got = SDL_WaitEvent(event);
  } while (got > 0 && (IsWake(*event) || !PadsTranslate(event)));
  if (wake) SDL_RemoveTimer(wake);
  if (got > 0 && Copying()) MapPointer(event);
  return got;
}
