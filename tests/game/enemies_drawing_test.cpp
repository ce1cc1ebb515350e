#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "game/maze/actors.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

using namespace maze_test;

namespace {

// An 8-bit picture whose white is palette entry 3, so its own white differs
// from the screen's.
void SavePalettedPicture(const char* path) {
  mkdir("Images", 0755);
  SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, 50, 50, 8, 0, 0, 0, 0);
  SDL_Color colours[4] = {{0, 0, 0, 0}, {200, 30, 30, 0}, {30, 200, 30, 0}, {255, 255, 255, 0}};
  SDL_SetColors(picture, colours, 0, 4);
  SDL_FillRect(picture, nullptr, 1);
  EXPECT_EQ(SDL_SaveBMP(picture, path), 0);
  SDL_FreeSurface(picture);
}

bool KeyedOnWhite(SDL_Surface* image) {
  return (image->flags & SDL_SRCCOLORKEY) &&
         image->format->colorkey == SDL_MapRGB(image->format, 255, 255, 255);
}

int CallEnnemis(int* directions, int count, SDL_Rect* positions, SDL_Surface** images) {
  SDL_Rect hero = {301, 301, 0, 0};
  return Ennemis(600, 600, directions, count, &hero, positions, images);
}

}  // namespace

class Enemies : public SdlTest {
 protected:
  ScopedWorkDir dir_;
};

TEST_F(Enemies, AllStartAtTheCornerWithRandomDirectionsAndWhiteKeyedPictures) {
  SavePalettedPicture("Images/Ennemi.png");
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<int> draws = Draws(seed, 4);
    std::array<int, 4> directions{0, 0, 0, -5};
    std::array<SDL_Rect, 4> positions{{{1, 2, 0, 0}, {3, 4, 0, 0}, {5, 6, 0, 0}, {7, 8, 0, 0}}};
    std::array<SDL_Surface*, 4> images{Watched(), nullptr, Watched(), Watched()};
    const std::array<SDL_Surface*, 4> old = images;
    EXPECT_EQ(CallEnnemis(directions.data(), 3, positions.data(), images.data()), 3);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(positions[i].x, 26);
      EXPECT_EQ(positions[i].y, 26);
      EXPECT_EQ(directions[i], draws[i] % 4 + 1);
      ASSERT_NE(images[i], nullptr);
      EXPECT_EQ(images[i]->format->BitsPerPixel, 8);
      EXPECT_TRUE(KeyedOnWhite(images[i]));
      EXPECT_EQ(images[i]->format->colorkey, 3u);
    }
    EXPECT_EQ(std::rand(), draws[3]);
    EXPECT_EQ(directions[3], -5);
    EXPECT_EQ(positions[3].x, 7);
    ExpectFreedOnce(old[0], images[0]);
    ExpectFreedOnce(old[2], images[2]);
    ExpectUntouched(old[3], images[3]);
    FreeAll(images.data(), 3);
  }
}

TEST_F(Enemies, MissingPictureStillPlacesAndTurnsThem) {
  const std::vector<int> draws = Draws(4, 3);
  std::array<int, 2> directions{};
  std::array<SDL_Rect, 2> positions{};
  std::array<SDL_Surface*, 2> images{Watched(), nullptr};
  SDL_Surface* old = images[0];
  EXPECT_EQ(CallEnnemis(directions.data(), 2, positions.data(), images.data()), 2);
  EXPECT_EQ(directions[1], draws[1] % 4 + 1);
  EXPECT_EQ(positions[1].x, 26);
  EXPECT_EQ(images[0], nullptr);
  EXPECT_EQ(images[1], nullptr);
  ExpectFreedOnce(old, images[0]);
}

class Drawing : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    screen_ = SDL_SetVideoMode(600, 600, 32, SDL_SWSURFACE);
    ASSERT_NE(screen_, nullptr) << SDL_GetError();
    SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 0, 0, 255));
  }
  // 50 x 50: white on its left half, red on its right half.
  static SDL_Surface* HalfWhite() {
    SDL_Surface* s = NewSurface(50, 50);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 0));
    SDL_Rect left = {0, 0, 25, 50};
    SDL_FillRect(s, &left, SDL_MapRGB(s->format, 255, 255, 255));
    return s;
  }
  SDL_Surface* screen_ = nullptr;
};

TEST_F(Drawing, WhiteIsTransparentAndEachEntryTakesItsClippedRectangle) {
  std::array<SDL_Surface*, 4> images{HalfWhite(), nullptr, HalfWhite(), HalfWhite()};
  std::array<SDL_Rect, 4> rects{
      {{-20, 10, 0, 0}, {100, 100, 7, 7}, {700, 10, 0, 0}, {200, 200, 0, 0}}};
  Dessin(screen_, images.data(), rects.data(), 4);

  struct Expected {
    int x, y, w, h;
  };
  // Past the left edge: moved onto it and cut to what shows. A missing picture
  // leaves its entry alone; one wholly off the screen is drawn 0 wide.
  const Expected expected[] = {
      {0, 10, 30, 50}, {100, 100, 7, 7}, {700, 10, 0, 0}, {200, 200, 50, 50}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rects[i].x, expected[i].x);
    EXPECT_EQ(rects[i].y, expected[i].y);
    EXPECT_EQ(rects[i].w, expected[i].w);
    EXPECT_EQ(rects[i].h, expected[i].h);
    if (images[i]) {
      EXPECT_TRUE(KeyedOnWhite(images[i]));
    }
  }
  const Rgb blue{0, 0, 255}, red{255, 0, 0};
  EXPECT_EQ(PixelAt(screen_, 210, 220), blue) << "white is not drawn";
  EXPECT_EQ(PixelAt(screen_, 240, 220), red);
  EXPECT_EQ(PixelAt(screen_, 2, 20), blue);  // image columns 22 to 24, white
  EXPECT_EQ(PixelAt(screen_, 10, 20), red);  // image column 30
  FreeAll(images.data(), 4);
}

TEST_F(Drawing, EveryCallWaitsTwoMillisecondsEvenWithNothingToDraw) {
  std::array<SDL_Surface*, 1> images{HalfWhite()};
  std::array<SDL_Rect, 1> rects{{{5, 5, 0, 0}}};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) Dessin(screen_, images.data(), rects.data(), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_EQ(PixelAt(screen_, 10, 10), (Rgb{0, 0, 255}));
  EXPECT_EQ(rects[0].w, 0) << "count 0 touches no entry";
  FreeAll(images.data(), 1);
}
