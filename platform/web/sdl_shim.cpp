// Where the browser's SDL 1.2 behaves unlike the desktop's in ways the
// programs rely on, these definitions take the place of its own.
#include <SDL.h>
#include <SDL_ttf.h>
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "platform/web/waits.h"

// clang-format off
EM_JS(bool, PageHidden, (), { return document.hidden; });
// clang-format on

namespace {

std::string Utf8FromLatin1(const char* text) {
  std::string out;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    if (*c < 0x80) {
      out += static_cast<char>(*c);
    } else {
      out += static_cast<char>(0xC0 | *c >> 6);
      out += static_cast<char>(0x80 | (*c & 0x3F));
    }
  }
  return out;
}

struct Timer {
  Uint32 interval;
  SDL_TimerCallback callback;
  void* param;
  long pending;
};
std::map<SDL_TimerID, Timer> timers;
SDL_TimerID lastTimer = 0;

void Fire(void* data) {
  const auto id = static_cast<SDL_TimerID>(reinterpret_cast<std::intptr_t>(data));
  auto timer = timers.find(id);
  if (timer == timers.end()) return;
  if (PageHidden()) {  // the game's clock stops with the rest of it
    timer->second.pending = emscripten_set_timeout(Fire, timer->second.interval, data);
    return;
  }
  const Uint32 next = timer->second.callback(timer->second.interval, timer->second.param);
  timer = timers.find(id);  // the callback may have removed it
  if (timer == timers.end()) return;
  if (next == 0) {
    timers.erase(timer);
    return;
  }
  timer->second.interval = next;
  timer->second.pending = emscripten_set_timeout(Fire, next, data);
}

}  // namespace

// A frame is many short waits (2, 5, 7, 10 ms), and the browser's timers are
// neither that fine nor that exact. The waits run up a debt against the clock
// instead, slept off with one timer once a new frame is shown (see
// SleepOffWaits), or once it is long enough to keep the program from its
// input: one wake a frame, and a screen that shows nothing new wakes seldom.
// A sleep that ended late is owed back by the next ones. The pace over a
// frame stays the desktop's, drawing time not included, and nothing spins. A
// hidden page sleeps until it is shown again, its debt forgiven: a
// background tab keeps its game paused rather than running slow.
// clang-format off
EM_JS(double, OweWait, (double ms), {
  var wait = Module.gloutoWait || (Module.gloutoWait = {debt: 0});
  wait.debt = Math.max(wait.debt + ms, -50);
  return document.hidden || wait.debt >= 60 ? wait.debt : 0;
});
EM_JS(double, DebtWorthATimer, (), {
  var wait = Module.gloutoWait;
  return wait && wait.debt >= 8 ? wait.debt : 0;
});
// clang-format on

// The program's stretch on the page's thread starts when it wakes
// (BeginStretch), or else at its first look in a task; the next task starts
// anew.
// clang-format off
EM_JS(void, BeginStretch, (), {
  if (!Module.gloutoStretch) setTimeout(function() { Module.gloutoStretch = 0; }, 0);
  Module.gloutoStretch = performance.now();
});
EM_JS(double, StretchSoFar, (), {
  return Module.gloutoStretch ? performance.now() - Module.gloutoStretch : -1;
});
// clang-format on

// A wait in SDL_Delay, on a screen that showed nothing new for a while, ends
// at a press the page hands the program (Module.gloutoWait.wake), its rest
// forgiven: a still grid shows the finger's first wall at once, not after the
// tenth of a second the desktop would not have made it wait.
// clang-format off
EM_ASYNC_JS(void, SleepOff, (double ms, bool wakeable), {
  var wait = Module.gloutoWait;
  if (document.hidden) {
    await new Promise(function(shown) {
      document.addEventListener('visibilitychange', function seen() {
        if (document.hidden) return;
        document.removeEventListener('visibilitychange', seen);
        shown();
      });
    });
    wait.debt = 0;
    return;
  }
  var start = performance.now();
  var woken = await new Promise(function(resolve) {
    if (wakeable) wait.wake = function() { resolve(true); };
    setTimeout(resolve, ms);
  });
  wait.wake = null;
  wait.debt = woken ? 0 : wait.debt - (performance.now() - start);
});
// clang-format on

namespace {

void SleepOffDebt(double owed, bool wakeable) {
  if (owed <= 0) return;
  SleepOff(owed, wakeable);
  BeginStretch();
}

}  // namespace

extern "C" void SDL_Delay(Uint32 ms) { SleepOffDebt(OweWait(ms), true); }

void YieldToPage() {
  emscripten_sleep(0);
  BeginStretch();
}

void YieldIfLong() {
  const double held = StretchSoFar();
  if (held < 0) {
    BeginStretch();
  } else if (held > 8) {
    YieldToPage();
  }
}

void SleepOffWaits() { SleepOffDebt(DebtWorthATimer(), false); }

// The browser's timers fire once whatever the callback returns.
extern "C" SDL_TimerID SDL_AddTimer(Uint32 interval, SDL_TimerCallback callback, void* param) {
  if (!callback) return 0;
  const SDL_TimerID id = ++lastTimer;
  void* data = reinterpret_cast<void*>(static_cast<std::intptr_t>(id));
  timers[id] = Timer{interval, callback, param, emscripten_set_timeout(Fire, interval, data)};
  return id;
}

extern "C" SDL_bool SDL_RemoveTimer(SDL_TimerID id) {
  auto timer = timers.find(id);
  if (timer == timers.end()) return SDL_FALSE;
  emscripten_clear_timeout(timer->second.pending);
  timers.erase(timer);
  return SDL_TRUE;
}

// clang-format off
EM_JS(void, DrawCanvas, (SDL_Surface * from, int sx, int sy, int w, int h, SDL_Surface* to, int x, int y), {
  var source = SDL.surfaces[from], target = SDL.surfaces[to];
  if (target.picture) target.picture = null;  // drawn on: no longer the picture's pixels
  target.drawnOn = true;
  GloutoMarks.of(source);
  GloutoMarks.add(target, source.markA, source.markB, source.alpha, sx * 65536 + sy,
                  w * 65536 + h, x * 65536 + y);
  GloutoFrames.blit(target, source, sx, sy, w, h, x, y);
});
// clang-format on

// As desktop SDL does: the size comes from the source, not from `at`, and the
// rectangle clipped to the target is written back into `at` (an actor past
// the edge is put back on it). The browser's version does neither.
extern "C" int SDL_UpperBlit(SDL_Surface* src, const SDL_Rect* part, SDL_Surface* dst,
                             SDL_Rect* at) {
  if (!src || !dst) return -1;
  int sx = 0, sy = 0, w = src->w, h = src->h;
  if (part) {
    sx = part->x < 0 ? 0 : part->x;
    sy = part->y < 0 ? 0 : part->y;
    w = std::min(part->w - (sx - part->x), src->w - sx);
    h = std::min(part->h - (sy - part->y), src->h - sy);
  }
  int x = at ? at->x : 0, y = at ? at->y : 0;
  if (x < 0) sx -= x, w += x, x = 0;
  if (y < 0) sy -= y, h += y, y = 0;
  w = std::min(w, dst->w - x);
  h = std::min(h, dst->h - y);
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (at) *at = SDL_Rect{x, y, w, h};
  if (w > 0 && h > 0) DrawCanvas(src, sx, sy, w, h, dst, x, y);
  return 0;
}

// The browser's colour key does nothing: the key's pixels become transparent
// instead, once per surface, as the game keys its sprites at every frame. A
// loaded picture, or its copy, is keyed from the pixels the browser's SDL
// read into memory when decoding it, each key worked out once per picture:
// a read-back stalls a GPU.
// clang-format off
EM_JS(void, KeyOut, (SDL_Surface * surface, Uint32 key), {
  var data = SDL.surfaces[surface];
  if (!data || data.keyedOut) return;
  GloutoFrames.writing(data);
  data.keyedOut = true;
  GloutoMarks.add(data, 0x6b6579, key);
  var picture = data.picture || data;
  var known = picture.image && !picture.drawnOn;
  var keyed = known && picture.keyed && picture.keyed[key];
  if (!keyed) {
    var w = data.width, h = data.height;
    var image = known ? new ImageData(new Uint8ClampedArray(picture.image.data), w, h)
                      : data.ctx.getImageData(0, 0, w, h);
    var px = image.data;
    var r = key & 255, g = (key >> 8) & 255, b = (key >> 16) & 255;
    for (var i = 0; i < px.length; i += 4) {
      if (px[i] == r && px[i + 1] == g && px[i + 2] == b) px[i + 3] = 0;
    }
    keyed = document.createElement('canvas');
    keyed.width = w;
    keyed.height = h;
    keyed.getContext('2d').putImageData(image, 0, 0);
    if (known) (picture.keyed = picture.keyed || {})[key] = keyed;
  }
  data.ctx.globalCompositeOperation = 'copy';
  data.ctx.drawImage(keyed, 0, 0);
  data.ctx.globalCompositeOperation = 'source-over';
});
// clang-format on

extern "C" int SDL_SetColorKey(SDL_Surface* surface, int flag, Uint32 key) {
  if (!surface || !(flag & SDL_SRCCOLORKEY) || (surface->flags & SDL_SRCCOLORKEY)) return 0;
  YieldIfLong();
  KeyOut(surface, key);
  // Some 1300 sprites keyed again at every frame of a big level: not a call each.
  surface->flags |= SDL_SRCCOLORKEY;
  return 0;
}

// As the browser's own, but the fill is marked: see marks.js.
// clang-format off
EM_JS(void, FillCanvas, (SDL_Surface * surface, const SDL_Rect* rect, Uint32 colour), {
  var data = SDL.surfaces[surface];
  var r = rect ? SDL.loadRect(rect) : {x: 0, y: 0, w: data.width, h: data.height};
  if (data.clipRect) {
    r = SDL.intersectionOfRects(data.clipRect, r);
    if (rect) SDL.updateRect(rect, r);
  }
  var whole = r.x <= 0 && r.y <= 0 && r.x + r.w >= data.width && r.y + r.h >= data.height;
  data.drawnOn = true;
  if (data.picture) data.picture = null;
  var opaque = whole && colour >>> 24 == 255;
  if (opaque) GloutoMarks.filled(data, colour);
  else GloutoMarks.add(data, 0x66696c6c, colour, r.x * 65536 + r.y, r.w * 65536 + r.h);
  GloutoFrames.fill(data, colour, SDL.translateColorToCSSRGBA(colour), r.x, r.y, r.w, r.h, opaque);
});
// clang-format on

extern "C" int SDL_FillRect(SDL_Surface* surface, const SDL_Rect* rect, Uint32 colour) {
  if (!surface) return -1;
  FillCanvas(surface, rect, colour);
  return 0;
}

// The browser's SDL_ttf reads UTF-8; the programs' texts are Latin-1. It
// has one way to draw, the canvas's anti-aliased text over a transparent
// surface, which is blended: its Blended and Solid are the same function.
extern "C" SDL_Surface* TTF_RenderText_Blended(TTF_Font* font, const char* text, SDL_Color colour) {
  if (!text) return nullptr;
  return TTF_RenderUTF8_Solid(font, Utf8FromLatin1(text).c_str(), colour);
}

// clang-format off
EM_JS(void, SetPageTitle, (const char* title), {
  document.title = UTF8ToString(title);
});
// clang-format on

namespace {
std::string caption;  // as the program set it, in Latin-1
}  // namespace

extern "C" void SDL_WM_SetCaption(const char* title, const char* /*icon*/) {
  if (!title) return;
  caption = title;
  SetPageTitle(Utf8FromLatin1(title).c_str());
}

// The browser's SDL has none; a replay reads the caption to mark it.
extern "C" void SDL_WM_GetCaption(const char** title, const char** icon) {
  if (title) *title = caption.c_str();
  if (icon) *icon = nullptr;
}
