#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/surface_fill.h"
#include "tests/support/test_support.h"

namespace {

void Noise(SDL_Surface* s) {
  std::srand(17);
  auto* bytes = static_cast<Uint8*>(s->pixels);
  for (int i = 0; i < s->pitch * s->h; ++i) bytes[i] = static_cast<Uint8>(std::rand());
}

// Fills two equal surfaces, one with SDL_FillRect and one with FillWhole,
// and expects the same bytes everywhere (padding and unused bytes too).
void ExpectFilledAsSdlFills(SDL_Surface* want, SDL_Surface* got, Uint32 colour,
                            const SDL_Rect* clip = nullptr) {
  Noise(want);
  Noise(got);
  SDL_SetClipRect(want, clip);
  SDL_SetClipRect(got, clip);
  EXPECT_EQ(FillWhole(got, colour), SDL_FillRect(want, nullptr, colour));
  EXPECT_EQ(std::memcmp(got->pixels, want->pixels, static_cast<size_t>(want->pitch * want->h)), 0);
}

class SurfaceFill : public SdlTest {};

}  // namespace

TEST_F(SurfaceFill, EveryDepthAndClipIsFilledAsSdlFillsIt) {
  const SDL_Rect clips[] = {
      {0, 0, 37, 21}, {5, 3, 10, 7}, {0, 4, 37, 2}, {36, 20, 1, 1}, {3, 3, 0, 0}};
  for (int bits : {8, 16, 24, 32}) {
    for (Uint32 colour : {0x00FFFFFFu, 0u, 0x00969696u, 0x12345678u}) {
      SCOPED_TRACE(std::to_string(bits) + " bits, colour " + std::to_string(colour));
      SDL_Surface* want = SDL_CreateRGBSurface(SDL_SWSURFACE, 37, 21, bits, 0, 0, 0, 0);
      SDL_Surface* got = SDL_CreateRGBSurface(SDL_SWSURFACE, 37, 21, bits, 0, 0, 0, 0);
      ASSERT_NE(want, nullptr);
      ASSERT_NE(got, nullptr);
      const Uint32 value = bits == 32 ? colour : colour & ((1u << bits) - 1);
      ExpectFilledAsSdlFills(want, got, value);
      for (const SDL_Rect& clip : clips) ExpectFilledAsSdlFills(want, got, value, &clip);
      SDL_FreeSurface(want);
      SDL_FreeSurface(got);
    }
  }
}

TEST_F(SurfaceFill, RowsWiderThanThePictureKeepTheirPadding) {
  // Pixels borrowed with a pitch of 48 bytes for 9 pixels of 4 bytes.
  std::vector<Uint32> wantPixels(12 * 5), gotPixels(12 * 5);
  SDL_Surface* want = SDL_CreateRGBSurfaceFrom(wantPixels.data(), 9, 5, 32, 48, 0xFF0000, 0xFF00,
                                               0xFF, 0);
  SDL_Surface* got = SDL_CreateRGBSurfaceFrom(gotPixels.data(), 9, 5, 32, 48, 0xFF0000, 0xFF00,
                                              0xFF, 0);
  ExpectFilledAsSdlFills(want, got, 0x00FFFFFF);
  const SDL_Rect clip{2, 1, 5, 3};
  ExpectFilledAsSdlFills(want, got, 0x00ABCDEF, &clip);
  SDL_FreeSurface(want);
  SDL_FreeSurface(got);
}

TEST_F(SurfaceFill, TheGameWindowIsFilledAsSdlFillsIt) {
  SDL_Surface* screen = SDL_SetVideoMode(1000, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(screen, nullptr);
  SDL_Surface* want = SDL_CreateRGBSurface(SDL_SWSURFACE, 1000, 600, 32, screen->format->Rmask,
                                           screen->format->Gmask, screen->format->Bmask, 0);
  ASSERT_EQ(want->pitch, screen->pitch);
  const Uint32 white = SDL_MapRGB(screen->format, 255, 255, 255);
  ExpectFilledAsSdlFills(want, screen, white);
  SDL_FreeSurface(want);
}

TEST_F(SurfaceFill, NoSurfaceIsAnErrorNotACrash) { EXPECT_LT(FillWhole(nullptr, 0), 0); }
