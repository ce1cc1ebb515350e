#ifndef GLOUTO_TESTS_COMMON_SURFACE_COMPARE_H
#define GLOUTO_TESTS_COMMON_SURFACE_COMPARE_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

// Two surfaces alike in everything a caller can see: size, flags, format,
// palette, clip rectangle and every byte of pixels.
inline void ExpectSameSurface(const SDL_Surface* want, const SDL_Surface* got) {
  ASSERT_NE(want, nullptr);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->flags, want->flags);
  EXPECT_EQ(got->w, want->w);
  EXPECT_EQ(got->h, want->h);
  ASSERT_EQ(got->pitch, want->pitch);
  EXPECT_EQ(got->offset, want->offset);
  EXPECT_EQ(got->refcount, want->refcount);
  EXPECT_EQ(got->locked, want->locked);
  EXPECT_EQ(got->clip_rect.x, want->clip_rect.x);
  EXPECT_EQ(got->clip_rect.y, want->clip_rect.y);
  EXPECT_EQ(got->clip_rect.w, want->clip_rect.w);
  EXPECT_EQ(got->clip_rect.h, want->clip_rect.h);
  const SDL_PixelFormat* a = want->format;
  const SDL_PixelFormat* b = got->format;
  EXPECT_EQ(b->BitsPerPixel, a->BitsPerPixel);
  EXPECT_EQ(b->BytesPerPixel, a->BytesPerPixel);
  EXPECT_EQ(b->Rmask, a->Rmask);
  EXPECT_EQ(b->Gmask, a->Gmask);
  EXPECT_EQ(b->Bmask, a->Bmask);
  EXPECT_EQ(b->Amask, a->Amask);
  EXPECT_EQ(b->Rshift, a->Rshift);
  EXPECT_EQ(b->Gshift, a->Gshift);
  EXPECT_EQ(b->Bshift, a->Bshift);
  EXPECT_EQ(b->Ashift, a->Ashift);
  EXPECT_EQ(b->Rloss, a->Rloss);
  EXPECT_EQ(b->Gloss, a->Gloss);
  EXPECT_EQ(b->Bloss, a->Bloss);
  EXPECT_EQ(b->Aloss, a->Aloss);
  EXPECT_EQ(b->colorkey, a->colorkey);
  EXPECT_EQ(b->alpha, a->alpha);
  ASSERT_EQ(b->palette != nullptr, a->palette != nullptr);
  if (a->palette) {
    ASSERT_EQ(b->palette->ncolors, a->palette->ncolors);
    EXPECT_EQ(std::memcmp(b->palette->colors, a->palette->colors,
                          sizeof(SDL_Color) * static_cast<size_t>(a->palette->ncolors)),
              0);
  }
  EXPECT_EQ(std::memcmp(got->pixels, want->pixels,
                        static_cast<size_t>(want->pitch) * static_cast<size_t>(want->h)),
            0)
      << "pixels differ";
}

#endif
