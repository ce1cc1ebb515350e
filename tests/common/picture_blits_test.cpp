#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/picture_blits.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kW = 120, kH = 90;

struct Masks {
  Uint32 r, g, b, a;
};
constexpr Masks kXrgb{0xFF0000, 0xFF00, 0xFF, 0};  // what SDL gives a 32-bit window
constexpr Masks kXbgr{0xFF, 0xFF00, 0xFF0000, 0};
constexpr Masks kPngRgb{0xFF, 0xFF00, 0xFF0000, 0};  // how SDL_image lays out an RGB PNG
constexpr Masks kBmpRgb{0xFF0000, 0xFF00, 0xFF, 0};

SDL_Surface* Make(int w, int h, int bits, Masks m) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, m.r, m.g, m.b, m.a);
}

// Every byte set, so a pixel left alone and a pixel drawn tell apart.
void Noise(SDL_Surface* s, unsigned seed) {
  std::srand(seed);
  auto* bytes = static_cast<Uint8*>(s->pixels);
  for (int i = 0; i < s->pitch * s->h; ++i) bytes[i] = static_cast<Uint8>(std::rand());
}

// A picture whose pixels take one of a few colours, white (the key) among them.
SDL_Surface* Patchwork(int w, int h, Masks m, unsigned seed, int bits = 24) {
  SDL_Surface* s = Make(w, h, bits, m);
  std::srand(seed);
  const Uint32 colours[] = {SDL_MapRGB(s->format, 255, 255, 255),
                            SDL_MapRGB(s->format, 254, 255, 255), SDL_MapRGB(s->format, 0, 0, 0),
                            SDL_MapRGB(s->format, 12, 200, 99)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
      SDL_FillRect(s, &r, colours[std::rand() % 4]);
    }
  return s;
}

void KeyWhite(SDL_Surface* s) {
  SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 255, 255, 255));
}

struct Spot {
  int x, y;
};
// Inside, past each edge, and wholly outside.
constexpr Spot kSpots[] = {{10, 10},   {-7, 5},     {5, -9}, {kW - 10, kH - 6},
                           {-60, -60}, {kW + 5, 0}, {0, kH}, {-3, -3}};

// Draws `picture` at every spot both ways onto equal screens and expects the
// same pixels, the same written-back rectangle and the same answer.
void ExpectDrawnAsSdlDraws(SDL_Surface* picture, Masks screenMasks = kXrgb,
                           const SDL_Rect* clip = nullptr) {
  SDL_Surface* want = Make(kW, kH, 32, screenMasks);
  SDL_Surface* got = Make(kW, kH, 32, screenMasks);
  Noise(want, 3);
  Noise(got, 3);
  if (clip) {
    SDL_SetClipRect(want, clip);
    SDL_SetClipRect(got, clip);
  }
  for (const Spot& spot : kSpots) {
    // Twice: the second draw goes through what the first one kept.
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE("at " + std::to_string(spot.x) + ", " + std::to_string(spot.y) + " pass " +
                   std::to_string(pass));
      SDL_Rect a{static_cast<Sint16>(spot.x), static_cast<Sint16>(spot.y), 3, 4};
      SDL_Rect b = a;
      const int wantResult = SDL_UpperBlit(picture, nullptr, want, &a);
      const int gotResult = BlitPicture(picture, got, &b);
      EXPECT_EQ(gotResult, wantResult);
      EXPECT_EQ(b.x, a.x);
      EXPECT_EQ(b.y, a.y);
      EXPECT_EQ(b.w, a.w);
      EXPECT_EQ(b.h, a.h);
      ASSERT_TRUE(Colours(got) == Colours(want)) << "the screens show different colours";
    }
  }
  SDL_FreeSurface(want);
  SDL_FreeSurface(got);
}

class PictureBlits : public SdlTest {};

}  // namespace

TEST_F(PictureBlits, ShippedPicturesDrawAsSdlDrawsThemKeyedOrNot) {
  ScopedWorkDir dir;
  LinkAssets();
  for (const char* path :
       {"Images/Mur.png", "Images/coffre.png", "Images/blanc.png", "Images/Glouto.png",
        "Images/Glouto2.3.png", "Images/Ennemi.png", "Images/Ennemi2.4.png",
        "Images/Imagegagne.png", "Images/gloutofond.jpg"}) {
    SCOPED_TRACE(path);
    SDL_Surface* picture = IMG_Load(path);
    ASSERT_NE(picture, nullptr);
    ExpectDrawnAsSdlDraws(picture);  // as the editor draws its cells
    KeyWhite(picture);
    ExpectDrawnAsSdlDraws(picture);  // as the game draws its actors
    SDL_FreeSurface(picture);
  }
}

TEST_F(PictureBlits, AnyLayoutOfPictureAndScreenDrawsAsSdlDraws) {
  struct Case {
    const char* name;
    int bits;
    Masks picture;
    Masks screen;
    bool keyed;
  };
  const Case cases[] = {
      {"png layout on xrgb, keyed", 24, kPngRgb, kXrgb, true},
      {"bmp layout on xrgb, keyed", 24, kBmpRgb, kXrgb, true},
      {"png layout on xbgr, keyed", 24, kPngRgb, kXbgr, true},
      {"bmp layout on xbgr, plain", 24, kBmpRgb, kXbgr, false},
      // Not redrawn through a copy, but they must still come out right.
      {"32-bit picture, keyed", 32, kXrgb, kXrgb, true},
      {"32-bit picture, plain", 32, kXrgb, kXrgb, false},
      {"32-bit picture with alpha", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, kXrgb, false},
      {"16-bit picture, keyed", 16, {0xF800, 0x7E0, 0x1F, 0}, kXrgb, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SDL_Surface* picture = Patchwork(17, 13, c.picture, 11, c.bits);
    if (c.bits == 32) Noise(picture, 5);  // the unused byte too
    if (c.keyed) KeyWhite(picture);
    ExpectDrawnAsSdlDraws(picture, c.screen);
    SDL_FreeSurface(picture);
  }
}

TEST_F(PictureBlits, AScreenClipRectangleIsHonoured) {
  SDL_Surface* picture = Patchwork(30, 30, kPngRgb, 4);
  KeyWhite(picture);
  const SDL_Rect clip{20, 15, 50, 40};
  ExpectDrawnAsSdlDraws(picture, kXrgb, &clip);
  SDL_FreeSurface(picture);
}

TEST_F(PictureBlits, APictureChangedAfterItsFirstDrawIsDrawnAsItIsNow) {
  SDL_Surface* picture = Patchwork(25, 25, kPngRgb, 8);
  KeyWhite(picture);
  ExpectDrawnAsSdlDraws(picture);
  // One pixel of the last row, the key, then the key taken away.
  SDL_Rect last{24, 24, 1, 1};
  SDL_FillRect(picture, &last, SDL_MapRGB(picture->format, 1, 2, 3));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 0, 0, 0));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, 0, 0);
  ExpectDrawnAsSdlDraws(picture);
  SDL_FreeSurface(picture);
}

TEST_F(PictureBlits, AFreedPictureNeverStandsInForANewOne) {
  // Freed and made again with the same size, the new picture most likely
  // lands where the old one was.
  for (unsigned seed = 20; seed < 26; ++seed) {
    SCOPED_TRACE(seed);
    SDL_Surface* picture = Patchwork(50, 50, kPngRgb, seed);
    KeyWhite(picture);
    ExpectDrawnAsSdlDraws(picture);
    SDL_FreeSurface(picture);
  }
}

TEST_F(PictureBlits, ManyDifferentPicturesAllDrawRight) {
  std::vector<SDL_Surface*> pictures;
  for (unsigned seed = 0; seed < 80; ++seed) {
    pictures.push_back(Patchwork(6, 5, kPngRgb, 100 + seed));
    KeyWhite(pictures.back());
  }
  for (int round = 0; round < 2; ++round)
    for (SDL_Surface* picture : pictures) ExpectDrawnAsSdlDraws(picture);
  for (SDL_Surface* picture : pictures) SDL_FreeSurface(picture);
}

TEST_F(PictureBlits, AMissingPictureDrawsNothingAndFailsAsSdlDoes) {
  SDL_Surface* screen = Make(kW, kH, 32, kXrgb);
  Noise(screen, 7);
  const std::vector<Rgb> before = Colours(screen);
  SDL_Rect at{1, 1, 0, 0};
  const int result = BlitPicture(nullptr, screen, &at);
  EXPECT_EQ(result, SDL_UpperBlit(nullptr, nullptr, screen, &at));
  EXPECT_LT(result, 0);
  EXPECT_TRUE(Colours(screen) == before);
  SDL_FreeSurface(screen);
}
