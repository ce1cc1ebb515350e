#include <gtest/gtest.h>

#include <array>
#include <chrono>

#include "game/screens/composer.h"
#include "tests/game/screen_fixture.h"

namespace {

SDL_Rect Pos(int x, int y) {
  return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
}

constexpr Rgb kBackdrop{200, 0, 0};
constexpr std::array<Rgb, 4> kItems{{{0, 200, 0}, {0, 0, 200}, {200, 200, 0}, {0, 200, 200}}};
constexpr int kGrey1 = 40, kGrey2 = 90, kScreenGrey = 230;

// Every element is a 40 x 40 square at (100, 100); the pixel there shows the topmost.
class ComposerTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    backdrop_ = SolidSurface(40, 40, kBackdrop);
    for (auto& plate : plates_) plate = SDL_CreateRGBSurface(SDL_HWSURFACE, 40, 40, 32, 0, 0, 0, 0);
    for (size_t i = 0; i < items_.size(); ++i) items_[i] = SolidSurface(40, 40, kItems[i]);
  }
  void TearDown() override {
    SDL_FreeSurface(backdrop_);
    for (auto* s : plates_) SDL_FreeSurface(s);
    for (auto* s : items_) SDL_FreeSurface(s);
    ScreenTest::TearDown();
  }
  // With `onlyUsed`, slots beyond the counts are null, as the screens pass them.
  void Compose(int plates, int items, int flag, bool onlyUsed) {
    auto plate = [&](int k) { return onlyUsed && k >= plates ? nullptr : plates_[k]; };
    auto item = [&](int k) { return onlyUsed && k >= items ? nullptr : items_[k]; };
    const SDL_Rect p = Pos(100, 100);
    Texte(screen_, plate(0), plate(1), onlyUsed && flag != 1 ? nullptr : backdrop_, item(0),
          item(1), item(2), item(3), p, p, p, p, p, p, p, kGrey1, kGrey2, kScreenGrey, plates,
          items, flag);
  }

  SDL_Surface* backdrop_ = nullptr;
  std::array<SDL_Surface*, 2> plates_{};
  std::array<SDL_Surface*, 4> items_{};
};

Rgb Grey(int g) { return Rgb{Uint8(g), Uint8(g), Uint8(g)}; }

}  // namespace

TEST_F(ComposerTest, PaintsFillBackdropPlatesThenItemsUpToTheCounts) {
  struct Case {
    int plates, items, flag;
    Rgb top;
  };
  const Case cases[] = {
      {0, 0, 0, Grey(kScreenGrey)},  {0, 0, 1, kBackdrop},    {0, 0, 2, Grey(kScreenGrey)},
      {0, 0, -1, Grey(kScreenGrey)}, {1, 0, 1, Grey(kGrey1)}, {2, 0, 1, Grey(kGrey2)},
      {7, 0, 0, Grey(kGrey2)},       {-3, -3, 1, kBackdrop},  {2, 1, 1, kItems[0]},
      {0, 2, 0, kItems[1]},          {1, 3, 1, kItems[2]},    {2, 4, 1, kItems[3]},
      {2, 12, 1, kItems[3]},
  };
  for (bool onlyUsed : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message()
                   << "plates " << c.plates << ", items " << c.items << ", backdrop flag " << c.flag
                   << ", only used " << onlyUsed);
      Compose(c.plates, c.items, c.flag, onlyUsed);
      EXPECT_EQ(At(120, 120), c.top);
      EXPECT_EQ(At(99, 120), Grey(kScreenGrey));
      EXPECT_EQ(At(140, 140), Grey(kScreenGrey));
    }
  }
}

TEST_F(ComposerTest, OnlyTheLowEightBitsOfAGreyCount) {
  struct Case {
    int grey;
    Rgb seen;
  };
  const Case cases[] = {{255, Grey(255)}, {150, Grey(150)}, {0, Grey(0)},    {256, Grey(0)},
                        {406, Grey(150)}, {-1, Grey(255)},  {511, Grey(255)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.grey);
    // The same grey for the screen, plate 1 at (0, 0) and plate 2 at (300, 300).
    Texte(screen_, plates_[0], plates_[1], nullptr, nullptr, nullptr, nullptr, nullptr, Pos(0, 0),
          Pos(300, 300), PRIEN, PRIEN, PRIEN, PRIEN, PRIEN, c.grey, c.grey, c.grey, 2, 0, 0);
    EXPECT_EQ(At(599, 599), c.seen);
    EXPECT_EQ(At(10, 10), c.seen);
    EXPECT_EQ(At(310, 310), c.seen);
  }
}

TEST_F(ComposerTest, ClippingAtTheEdgesLeavesTheCallersPositionsAlone) {
  SDL_Surface* wide = SolidSurface(320, 40, kItems[0]);
  const SDL_Rect leftOfScreen = Pos(-300, -10);
  SDL_Rect kept = leftOfScreen;
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    Texte(screen_, nullptr, nullptr, wide, wide, nullptr, nullptr, nullptr, PRIEN, PRIEN, kept,
          kept, PRIEN, PRIEN, PRIEN, 0, 0, 255, 0, 1, 1);
    EXPECT_EQ(kept.x, leftOfScreen.x);
    EXPECT_EQ(kept.y, leftOfScreen.y);
    // Only the last 20 columns and 30 rows of the picture are on the screen.
    EXPECT_EQ(At(0, 0), kItems[0]);
    EXPECT_EQ(At(19, 29), kItems[0]);
    EXPECT_EQ(At(20, 0), kWhitePixel);
    EXPECT_EQ(At(0, 30), kWhitePixel);
  }
  SDL_FreeSurface(wide);
}

TEST_F(ComposerTest, AnItemDrawnLaterCoversAnEarlierOneOnlyWhereTheyOverlap) {
  // Item k at (100 + 20k, 100): each overlaps the next by half.
  Texte(screen_, nullptr, nullptr, nullptr, items_[0], items_[1], items_[2], items_[3], PRIEN,
        PRIEN, PRIEN, Pos(100, 100), Pos(120, 100), Pos(140, 100), Pos(160, 100), 0, 0, 255, 0, 4,
        0);
  EXPECT_EQ(At(110, 110), kItems[0]);
  EXPECT_EQ(At(130, 110), kItems[1]);
  EXPECT_EQ(At(150, 110), kItems[2]);
  EXPECT_EQ(At(170, 110), kItems[3]);
  EXPECT_EQ(At(199, 110), kItems[3]);
  EXPECT_EQ(At(200, 110), kWhitePixel);
}

TEST_F(ComposerTest, FreeSurfaceReleasesEveryGivenSurfaceAndAlwaysWaits) {
  using Clock = std::chrono::steady_clock;
  std::array<SDL_Surface*, 3> held{};
  for (auto& s : held) {
    s = SolidSurface(4, 4, kBlackPixel);
    ++s->refcount;  // keeps it alive so the release can be seen
  }
  auto start = Clock::now();
  FreeSurface(held[0], nullptr, held[1], nullptr, held[2]);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(2));
  for (auto* s : held) {
    EXPECT_EQ(s->refcount, 1);
    SDL_FreeSurface(s);
  }

  start = Clock::now();
  FreeSurface(nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(2));
}

TEST_F(ComposerTest, AMissingPlateOrPictureIsLeftOut) {
  Texte(screen_, nullptr, nullptr, nullptr, nullptr, items_[1], nullptr, nullptr, Pos(100, 100),
        Pos(100, 100), Pos(100, 100), Pos(100, 100), Pos(100, 100), PRIEN, PRIEN, 0, 0, 255, 2, 4,
        1);
  EXPECT_EQ(At(120, 120), kItems[1]);
  EXPECT_EQ(At(300, 300), kWhitePixel);
}
