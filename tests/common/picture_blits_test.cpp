// BlitPicture draws every picture as SDL_UpperBlit does, through its copies.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/picture_blits.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kW = 120, kH = 90;
constexpr Uint32 kXrgb[] = {0xFF0000, 0xFF00, 0xFF, 0};  // a 32-bit window
constexpr Uint32 kXbgr[] = {0xFF, 0xFF00, 0xFF0000, 0};  // SDL_image's RGB PNG
constexpr Uint32 kArgb[] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
constexpr Uint32 k565[] = {0xF800, 0x7E0, 0x1F, 0};

SDL_Surface* Make(int w, int h, int bits, const Uint32* m) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, m[0], m[1], m[2], m[3]);
}

void Noise(SDL_Surface* s, unsigned seed) {
  std::srand(seed);
  for (int i = 0; i < s->pitch * s->h; ++i) static_cast<Uint8*>(s->pixels)[i] = std::rand();
}

// Pixels of a few colours, white (the key) among them.
SDL_Surface* Patchwork(int w, int h, unsigned seed, bool keyed = true, int bits = 24,
                       const Uint32* masks = kXbgr) {
  SDL_Surface* s = Make(w, h, bits, masks);
  std::srand(seed);
  const Uint32 colours[] = {SDL_MapRGB(s->format, 255, 255, 255),
                            SDL_MapRGB(s->format, 254, 255, 255), SDL_MapRGB(s->format, 0, 0, 0),
                            SDL_MapRGB(s->format, 12, 200, 99)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
      SDL_FillRect(s, &r, colours[std::rand() % 4]);
    }
  if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, SDL_MapRGB(s->format, 255, 255, 255));
  return s;
}

// Draws `picture` twice at spots inside, past each edge and outside, both
// ways onto equal screens: the same pixels, rectangle written back and result.
void ExpectDrawnAsSdlDraws(SDL_Surface* picture, const Uint32* screenMasks = kXrgb,
                           const SDL_Rect* clip = nullptr) {
  SDL_Surface* want = Make(kW, kH, 32, screenMasks);
  SDL_Surface* got = Make(kW, kH, 32, screenMasks);
  Noise(want, 3);
  Noise(got, 3);
  SDL_SetClipRect(want, clip);
  SDL_SetClipRect(got, clip);
  for (auto [x, y] : std::vector<std::pair<int, int>>{
           {10, 10}, {-7, 5}, {5, -9}, {kW - 10, kH - 6}, {-60, -60}, {kW + 5, 0}, {0, kH}}) {
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(testing::Message() << "at " << x << ", " << y << " pass " << pass);
      SDL_Rect a{static_cast<Sint16>(x), static_cast<Sint16>(y), 3, 4}, b = a;
      EXPECT_EQ(BlitPicture(picture, got, &b), SDL_UpperBlit(picture, nullptr, want, &a));
      EXPECT_TRUE(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h) << b.w << "x" << b.h;
      ASSERT_TRUE(Colours(got) == Colours(want)) << "the screens show different colours";
    }
  }
  SDL_FreeSurface(want);
  SDL_FreeSurface(got);
}

class PictureBlits : public SdlTest {};

}  // namespace

TEST_F(PictureBlits, EveryPictureDrawsAsSdlDrawsItKeyedOrNot) {
  ScopedWorkDir dir;
  LinkAssets();
  for (const char* path : {"Images/Mur.png", "Images/coffre.png", "Images/blanc.png",
                           "Images/Glouto2.3.png", "Images/Ennemi.png", "Images/gloutofond.jpg"}) {
    SCOPED_TRACE(path);
    SDL_Surface* picture = IMG_Load(path);
    ASSERT_NE(picture, nullptr);
    ExpectDrawnAsSdlDraws(picture);  // as the editor draws its cells
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 255, 255, 255));
    ExpectDrawnAsSdlDraws(picture);  // as the game draws its actors
    SDL_FreeSurface(picture);
  }
  const SDL_Rect clip{20, 15, 50, 40};
  const struct {
    const char* name;
    std::function<SDL_Surface*()> make;
    const Uint32* screen;
    const SDL_Rect* clip;
  } kCases[] = {
      {"png layout on xrgb", [] { return Patchwork(17, 13, 1); }, kXrgb, nullptr},
      {"bmp layout on xrgb", [] { return Patchwork(17, 13, 2, true, 24, kXrgb); }, kXrgb, nullptr},
      {"png layout on xbgr", [] { return Patchwork(17, 13, 3); }, kXbgr, nullptr},
      {"plain on xbgr", [] { return Patchwork(17, 13, 4, false); }, kXbgr, nullptr},
      {"on a clipped screen", [] { return Patchwork(30, 30, 5); }, kXrgb, &clip},
      {"32-bit", [] { return Patchwork(17, 13, 6, true, 32, kXrgb); }, kXrgb, nullptr},
      {"32-bit with alpha", [] { return Patchwork(17, 13, 7, false, 32, kArgb); }, kXrgb, nullptr},
      {"16-bit", [] { return Patchwork(17, 13, 8, true, 16, k565); }, kXrgb, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SDL_Surface* picture = c.make();
    ExpectDrawnAsSdlDraws(picture, c.screen, c.clip);
    SDL_FreeSurface(picture);
  }
}

TEST_F(PictureBlits, APictureChangedFreedOrMissingNeverDrawsAnothersPixels) {
  SDL_Surface* picture = Patchwork(25, 25, 8);
  ExpectDrawnAsSdlDraws(picture);
  SDL_Rect last{24, 24, 1, 1};  // one pixel of the last row, then the key
  SDL_FillRect(picture, &last, SDL_MapRGB(picture->format, 1, 2, 3));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 0, 0, 0));
  ExpectDrawnAsSdlDraws(picture);
  SDL_SetColorKey(picture, 0, 0);
  ExpectDrawnAsSdlDraws(picture);
  SDL_FreeSurface(picture);
  // Made again at the same size, a new picture most likely lands where the
  // old one was; and many pictures at once.
  std::vector<SDL_Surface*> pictures;
  for (unsigned seed = 20; seed < 60; ++seed) {
    SCOPED_TRACE(seed);
    pictures.push_back(Patchwork(seed < 26 ? 50 : 6, seed < 26 ? 50 : 5, seed));
    ExpectDrawnAsSdlDraws(pictures.back());
    if (seed < 26) SDL_FreeSurface(pictures.back()), pictures.pop_back();
  }
  for (SDL_Surface* p : pictures) ExpectDrawnAsSdlDraws(p), SDL_FreeSurface(p);
  SDL_Surface* screen = Make(kW, kH, 32, kXrgb);
  Noise(screen, 7);
  const std::vector<Rgb> before = Colours(screen);
  SDL_Rect at{1, 1, 0, 0};
  EXPECT_LT(BlitPicture(nullptr, screen, &at), 0);
  EXPECT_TRUE(Colours(screen) == before);
  SDL_FreeSurface(screen);
}
