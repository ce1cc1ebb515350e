#include "platform/desktop/zoom_copy.h"

#include <algorithm>
#include <cstring>

namespace {

void WidenRow(const Uint8* from, Uint8* to, int pixels, int bytesPerPixel, int zoom) {
  if (bytesPerPixel == 4) {
    // The windows' own format, worth a loop of its own.
    const auto* in = reinterpret_cast<const Uint32*>(from);
    auto* out = reinterpret_cast<Uint32*>(to);
    for (int x = 0; x < pixels; ++x)
      for (int k = 0; k < zoom; ++k) *out++ = in[x];
    return;
  }
  for (int x = 0; x < pixels; ++x, from += bytesPerPixel)
    for (int k = 0; k < zoom; ++k, to += bytesPerPixel) std::memcpy(to, from, bytesPerPixel);
}

}  // namespace

void ZoomCopy(const SDL_Surface* from, SDL_Surface* to, int zoom) {
  const int bytesPerPixel = from->format->BytesPerPixel;
  const int columns = std::min(from->w, to->w / zoom);
  const int rows = std::min(from->h, to->h / zoom);
  const size_t rowBytes = static_cast<size_t>(columns) * zoom * bytesPerPixel;
  for (int y = 0; y < rows; ++y) {
    const auto* in = static_cast<const Uint8*>(from->pixels) + static_cast<size_t>(y) * from->pitch;
    auto* first = static_cast<Uint8*>(to->pixels) + static_cast<size_t>(y) * zoom * to->pitch;
    // Widen each row once; the rows below it are plain copies.
    WidenRow(in, first, columns, bytesPerPixel, zoom);
    for (int k = 1; k < zoom; ++k) std::memcpy(first + static_cast<size_t>(k) * to->pitch, first, rowBytes);
  }
}
