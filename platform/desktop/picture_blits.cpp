#include "platform/picture_blits.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Distinct pictures kept in the screen's format; the game draws about twenty.
constexpr size_t kMaxCopies = 64;
constexpr Uint32 kRgb24 = 0xFFFFFF;

bool EightBitChannels(const SDL_PixelFormat* f) {
  return !f->palette && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0;
}

// The cases where SDL converts each pixel channel by channel without loss,
// so a copy made once in the screen's format draws exactly the same pixels,
// and its colour key picks exactly the same ones.
bool Convertible(const SDL_Surface* picture, const SDL_Surface* screen) {
  const SDL_PixelFormat* p = picture->format;
  const SDL_PixelFormat* s = screen->format;
  const Uint32 pictureFlags = SDL_SRCALPHA | SDL_RLEACCEL | SDL_RLEACCELOK | SDL_HWSURFACE;
  const bool keyInRange = !(picture->flags & SDL_SRCCOLORKEY) || (p->colorkey & ~kRgb24) == 0;
  return p->BytesPerPixel == 3 && EightBitChannels(p) && p->Amask == 0 &&
         (p->Rmask | p->Gmask | p->Bmask) == kRgb24 && keyInRange &&
         !(picture->flags & pictureFlags) && picture->locked == 0 && picture->pixels &&
         s->BytesPerPixel == 4 && EightBitChannels(s) && s->Amask == 0 &&
         !(screen->flags & SDL_HWSURFACE);
}

Uint32 PixelAt(const Uint8* p) {
  return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 |
         static_cast<Uint32>(p[2]) << 16;
}

Uint32 Converted(Uint32 pixel, const SDL_PixelFormat* from, const SDL_PixelFormat* to) {
  const Uint32 r = (pixel & from->Rmask) >> from->Rshift;
  const Uint32 g = (pixel & from->Gmask) >> from->Gshift;
  const Uint32 b = (pixel & from->Bmask) >> from->Bshift;
  return r << to->Rshift | g << to->Gshift | b << to->Bshift;
}

struct FreeSurface {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, FreeSurface>;

// One picture's content and its copy in one screen format.
struct Copy {
  int w = 0, h = 0;
  Uint32 masks[3] = {};
  Uint32 screenMasks[3] = {};
  bool keyed = false;
  Uint32 key = 0;
  int pitch = 0;
  std::vector<Uint8> pixels;  // the picture's, padding included
  Surface converted;

  bool Fits(const SDL_Surface* picture, const SDL_Surface* screen) const {
    const SDL_PixelFormat* p = picture->format;
    const SDL_PixelFormat* s = screen->format;
    const bool pictureKeyed = (picture->flags & SDL_SRCCOLORKEY) != 0;
    return w == picture->w && h == picture->h && masks[0] == p->Rmask && masks[1] == p->Gmask &&
           masks[2] == p->Bmask && screenMasks[0] == s->Rmask && screenMasks[1] == s->Gmask &&
           screenMasks[2] == s->Bmask && keyed == pictureKeyed && (!keyed || key == p->colorkey);
  }

  bool SamePixels(const SDL_Surface* picture) const {
    const auto* source = static_cast<const Uint8*>(picture->pixels);
    // One comparison of the whole buffer settles almost every case: SDL
    // clears new pixels, so the bytes that pad the rows agree as well.
    if (picture->pitch == pitch && std::memcmp(source, pixels.data(), pixels.size()) == 0)
      return true;
    const size_t rowBytes = 3 * static_cast<size_t>(w);
    for (int y = 0; y < h; ++y) {
      if (std::memcmp(source + static_cast<size_t>(y) * picture->pitch,
                      pixels.data() + static_cast<size_t>(y) * pitch, rowBytes) != 0)
        return false;
    }
    return true;
  }
};

std::unique_ptr<Copy> MakeCopy(const SDL_Surface* picture, const SDL_Surface* screen) {
  const SDL_PixelFormat* p = picture->format;
  const SDL_PixelFormat* s = screen->format;
  auto copy = std::make_unique<Copy>();
  copy->converted.reset(SDL_CreateRGBSurface(SDL_SWSURFACE, picture->w, picture->h, 32, s->Rmask,
                                             s->Gmask, s->Bmask, 0));
  if (!copy->converted) return nullptr;
  copy->w = picture->w;
  copy->h = picture->h;
  copy->masks[0] = p->Rmask, copy->masks[1] = p->Gmask, copy->masks[2] = p->Bmask;
  copy->screenMasks[0] = s->Rmask, copy->screenMasks[1] = s->Gmask, copy->screenMasks[2] = s->Bmask;
  copy->keyed = (picture->flags & SDL_SRCCOLORKEY) != 0;
  copy->key = p->colorkey;

  copy->pitch = picture->pitch;
  const auto* from = static_cast<const Uint8*>(picture->pixels);
  copy->pixels.assign(from,
                      from + static_cast<size_t>(picture->pitch) * static_cast<size_t>(picture->h));
  SDL_Surface* to = copy->converted.get();
  for (int y = 0; y < picture->h; ++y) {
    const Uint8* row = from + static_cast<size_t>(y) * picture->pitch;
    auto* out = reinterpret_cast<Uint32*>(static_cast<Uint8*>(to->pixels) +
                                          static_cast<size_t>(y) * to->pitch);
    for (int x = 0; x < picture->w; ++x) out[x] = Converted(PixelAt(row + 3 * x), p, to->format);
  }
  // Run-length encoded on its first blit, the copy is drawn run by run with
  // memcpy, skipping the keyed pixels. A picture without a key gets one that
  // no pixel of the copy can have (the copy leaves the unused byte 0), so it
  // is drawn the same way: SDL's plain copy is far slower on small rows.
  const Uint32 noPixel = ~(s->Rmask | s->Gmask | s->Bmask);
  const Uint32 key = copy->keyed ? Converted(p->colorkey, p, to->format) : noPixel;
  SDL_SetColorKey(to, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
  return copy;
}

class ScreenCopies {
 public:
  SDL_Surface* For(const SDL_Surface* picture, const SDL_Surface* screen) {
    for (size_t i = 0; i < copies_.size(); ++i) {
      Copy& c = *copies_[i];
      if (!c.Fits(picture, screen) || !c.SamePixels(picture)) continue;
      // The most recent first: a table of walls finds its copy at once.
      if (i > 0)
        std::rotate(copies_.begin(), copies_.begin() + static_cast<long>(i),
                    copies_.begin() + static_cast<long>(i) + 1);
      return copies_.front()->converted.get();
    }
    std::unique_ptr<Copy> made = MakeCopy(picture, screen);
    if (!made) return nullptr;
    if (copies_.size() >= kMaxCopies) copies_.pop_back();
    copies_.insert(copies_.begin(), std::move(made));
    return copies_.front()->converted.get();
  }

 private:
  std::vector<std::unique_ptr<Copy>> copies_;
};

}  // namespace

int BlitPicture(SDL_Surface* picture, SDL_Surface* screen, SDL_Rect* at) {
  if (picture && screen && Convertible(picture, screen)) {
    static ScreenCopies copies;
    if (SDL_Surface* copy = copies.For(picture, screen))
      return SDL_UpperBlit(copy, nullptr, screen, at);
  }
  return SDL_UpperBlit(picture, nullptr, screen, at);
}
