#include "platform/surface_fill.h"

#include <cwchar>

namespace {

// wchar_t is the 32-bit unit of wmemset on the platforms the game runs on.
static_assert(sizeof(wchar_t) == sizeof(Uint32), "wmemset must write 32-bit units");

bool PlainThirtyTwoBit(const SDL_Surface* s) {
  return s->format && s->format->BytesPerPixel == 4 && !s->format->palette && s->pixels &&
         !SDL_MUSTLOCK(s) && !(s->flags & SDL_HWSURFACE) && s->pitch % 4 == 0;
}

}  // namespace

int FillWhole(SDL_Surface* surface, Uint32 colour) {
  if (!surface) return -1;  // SDL would crash on it
  if (!PlainThirtyTwoBit(surface)) return SDL_FillRect(surface, nullptr, colour);
  const SDL_Rect& clip = surface->clip_rect;
  if (clip.w == 0 || clip.h == 0) return 0;
  const auto unit = static_cast<wchar_t>(colour);
  auto* first = static_cast<Uint8*>(surface->pixels) + clip.y * surface->pitch + clip.x * 4;
  if (clip.x == 0 && clip.w * 4 == surface->pitch) {
    std::wmemset(reinterpret_cast<wchar_t*>(first), unit, static_cast<size_t>(clip.w) * clip.h);
    return 0;
  }
  for (int row = 0; row < clip.h; ++row)
    std::wmemset(reinterpret_cast<wchar_t*>(first + row * surface->pitch), unit, clip.w);
  return 0;
}
