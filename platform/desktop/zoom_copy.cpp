#include "platform/desktop/zoom_copy.h"

#include <algorithm>
#include <cstring>

namespace {

// Pieces compared at once: small enough to skip what stood still, large
// enough for memcmp to run at full speed.
constexpr int kPiece = 32;  // pixels
constexpr int kBand = 32;   // rows sharing one redrawn rectangle

template <int kZoom>
void Widen32(const Uint32* in, Uint32* out, int pixels) {
  for (int x = 0; x < pixels; ++x)
    for (int k = 0; k < kZoom; ++k) *out++ = in[x];
}

void Widen(const Uint8* in, Uint8* out, int pixels, int bytesPerPixel, int zoom) {
  if (bytesPerPixel == 4) {
    // The windows' own format; a fixed zoom lets the compiler unroll it.
    const auto* from = reinterpret_cast<const Uint32*>(in);
    auto* to = reinterpret_cast<Uint32*>(out);
    if (zoom == 2) return Widen32<2>(from, to, pixels);
    if (zoom == 3) return Widen32<3>(from, to, pixels);
  }
  for (int x = 0; x < pixels; ++x, in += bytesPerPixel)
    for (int k = 0; k < zoom; ++k, out += bytesPerPixel) std::memcpy(out, in, bytesPerPixel);
}

}  // namespace

const std::vector<SDL_Rect>& ZoomedCopy::Update(const SDL_Surface* from, SDL_Surface* to,
                                                int zoom) {
  const int bytes = from->format->BytesPerPixel;
  const int columns = std::min(from->w, to->w / zoom);
  const int rows = std::min(from->h, to->h / zoom);
  const size_t rowBytes = static_cast<size_t>(columns) * bytes;
  if (!known_ || columns != width_ || rows != height_ || zoom != zoom_ || bytes != bytesPerPixel_) {
    width_ = columns, height_ = rows, zoom_ = zoom, bytesPerPixel_ = bytes;
    last_.assign(rowBytes * static_cast<size_t>(rows), 0);
  }
  const bool all = !known_;
  known_ = true;
  redrawn_.clear();

  const int pieces = (columns + kPiece - 1) / kPiece;
  for (int band = 0; band < rows; band += kBand) {
    int first = pieces, last = -1;
    for (int y = band; y < std::min(band + kBand, rows); ++y) {
      const auto* in = static_cast<const Uint8*>(from->pixels) +
                       static_cast<size_t>(y) * from->pitch;
      Uint8* kept = last_.data() + static_cast<size_t>(y) * rowBytes;
      if (!all && std::memcmp(in, kept, rowBytes) == 0) continue;  // most rows stand still
      auto* out = static_cast<Uint8*>(to->pixels) + static_cast<size_t>(y) * zoom * to->pitch;
      for (int piece = 0; piece < pieces; ++piece) {
        const int x = piece * kPiece, count = std::min(kPiece, columns - x);
        const size_t at = static_cast<size_t>(x) * bytes,
                     length = static_cast<size_t>(count) * bytes;
        if (!all && std::memcmp(in + at, kept + at, length) == 0) continue;
        std::memcpy(kept + at, in + at, length);
        Uint8* block = out + at * zoom;
        Widen(in + at, block, count, bytes, zoom);
        for (int k = 1; k < zoom; ++k)
          std::memcpy(block + static_cast<size_t>(k) * to->pitch, block, length * zoom);
        first = std::min(first, piece);
        last = std::max(last, piece);
      }
    }
    if (last < 0) continue;
    const int x = first * kPiece, w = std::min(columns, (last + 1) * kPiece) - x;
    const int h = std::min(kBand, rows - band);
    redrawn_.push_back({static_cast<Sint16>(x * zoom), static_cast<Sint16>(band * zoom),
                        static_cast<Uint16>(w * zoom), static_cast<Uint16>(h * zoom)});
  }
  return redrawn_;
}
