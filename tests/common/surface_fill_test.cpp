// FillWhole fills as SDL_FillRect does, byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/surface_fill.h"
#include "tests/support/test_support.h"

namespace {

// Both surfaces alike first; then every byte alike, padding and unused bytes too.
void ExpectFilledAsSdlFills(SDL_Surface* want, SDL_Surface* got, Uint32 colour,
                            const SDL_Rect* clip = nullptr) {
  std::srand(17);
  for (int i = 0; i < want->pitch * want->h; ++i)
    static_cast<Uint8*>(want->pixels)[i] = std::rand();
  std::memcpy(got->pixels, want->pixels, static_cast<size_t>(want->pitch * want->h));
  SDL_SetClipRect(want, clip);
  SDL_SetClipRect(got, clip);
  EXPECT_EQ(FillWhole(got, colour), SDL_FillRect(want, nullptr, colour));
  EXPECT_EQ(std::memcmp(got->pixels, want->pixels, static_cast<size_t>(want->pitch * want->h)), 0);
}

class SurfaceFill : public SdlTest {};

}  // namespace

TEST_F(SurfaceFill, EveryDepthClipPaddingAndTheWindowAreFilledAsSdlFills) {
  const SDL_Rect clips[] = {
      {0, 0, 37, 21}, {5, 3, 10, 7}, {0, 4, 37, 2}, {36, 20, 1, 1}, {3, 3, 0, 0}};
  for (int bits : {8, 16, 24, 32}) {
    for (Uint32 colour : {0x00FFFFFFu, 0u, 0x12345678u}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, colour " << colour);
      SDL_Surface* want = SDL_CreateRGBSurface(SDL_SWSURFACE, 37, 21, bits, 0, 0, 0, 0);
      SDL_Surface* got = SDL_CreateRGBSurface(SDL_SWSURFACE, 37, 21, bits, 0, 0, 0, 0);
      const Uint32 value = bits == 32 ? colour : colour & ((1u << bits) - 1);
      ExpectFilledAsSdlFills(want, got, value);
      for (const SDL_Rect& clip : clips) ExpectFilledAsSdlFills(want, got, value, &clip);
      SDL_FreeSurface(want);
      SDL_FreeSurface(got);
    }
  }
  // Rows of 48 bytes for 9 pixels of 4 bytes.
  std::vector<Uint32> wantPixels(12 * 5), gotPixels(12 * 5);
  SDL_Surface* want = SDL_CreateRGBSurfaceFrom(wantPixels.data(), 9, 5, 32, 48, 0xFF0000, 0xFF00,
                                               0xFF, 0);
  SDL_Surface* got = SDL_CreateRGBSurfaceFrom(gotPixels.data(), 9, 5, 32, 48, 0xFF0000, 0xFF00,
                                              0xFF, 0);
  const SDL_Rect clip{2, 1, 5, 3};
  ExpectFilledAsSdlFills(want, got, 0x00FFFFFF);
  ExpectFilledAsSdlFills(want, got, 0x00ABCDEF, &clip);
  SDL_FreeSurface(want);
  SDL_FreeSurface(got);
  SDL_Surface* screen = SDL_SetVideoMode(1000, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(screen, nullptr);
  const SDL_PixelFormat* f = screen->format;
  want = SDL_CreateRGBSurface(SDL_SWSURFACE, 1000, 600, 32, f->Rmask, f->Gmask, f->Bmask, 0);
  ASSERT_EQ(want->pitch, screen->pitch);
  ExpectFilledAsSdlFills(want, screen, SDL_MapRGB(f, 255, 255, 255));
  SDL_FreeSurface(want);
  EXPECT_LT(FillWhole(nullptr, 0), 0);
}
