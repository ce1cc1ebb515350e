#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "game/maze/actors.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

using namespace maze_test;

namespace {

struct Spot {
  int x, y;
};
bool operator==(const Spot& a, const Spot& b) { return a.x == b.x && a.y == b.y; }
void PrintTo(const Spot& s, std::ostream* os) { *os << "(" << s.x << ", " << s.y << ")"; }

constexpr int kTries = 10000;

struct Layout {
  const char* name;
  int width, height;
  std::vector<SDL_Rect> walls;
};

// The chest rule written out: draw x, then y, until the spot keeps 30 pixels
// from the top and left edges and is more than 50 pixels from every wall on
// one axis at least; after 10000 tries the chest is put off the field.
struct Prediction {
  std::vector<Spot> spots;
  int nextDraw;  // what rand gives once the chests are placed
};
Prediction Predict(unsigned seed, const Layout& layout, int count) {
  std::srand(seed);
  Prediction p;
  for (int i = 0; i < count; ++i) {
    Spot spot{layout.width + 2000, layout.height + 2000};
    for (int t = 0; t < kTries; ++t) {
      const int x = std::rand() % layout.width - 30;
      const int y = std::rand() % layout.height - 30;
      bool free = x >= 30 && y >= 30;
      for (const SDL_Rect& w : layout.walls) {
        if (std::abs(x - w.x) <= 50 && std::abs(y - w.y) <= 50) free = false;
      }
      if (free) {
        spot = {x, y};
        break;
      }
    }
    p.spots.push_back(spot);
  }
  p.nextDraw = std::rand();
  std::srand(seed);
  return p;
}

std::vector<Spot> Place(const Layout& layout, int count, std::vector<SDL_Surface*>& images) {
  std::vector<SDL_Rect> chests(static_cast<size_t>(count));
  std::vector<SDL_Rect> walls = layout.walls;
  images.resize(static_cast<size_t>(count), nullptr);
  EXPECT_EQ(Carres(layout.width, layout.height, chests.data(), images.data(), count, walls.data(),
                   static_cast<int>(walls.size())),
            count);
  std::vector<Spot> spots;
  for (const SDL_Rect& c : chests) spots.push_back({c.x, c.y});
  return spots;
}

bool OffField(const Spot& s, const Layout& l) { return s == Spot{l.width + 2000, l.height + 2000}; }

// Every spot the function can draw in a 100 x 120 window lies within 50 pixels of a wall.
Layout Walled() {
  return {"walled", 100, 120, {{0, 0, 0, 0}, {100, 0, 0, 0}, {0, 100, 0, 0}, {100, 100, 0, 0}}};
}

}  // namespace

class Chests : public SdlTest {
 protected:
  ScopedWorkDir dir_;
};

TEST_F(Chests, EveryChestKeepsClearOfEdgesAndWallsOverManySeeds) {
  std::vector<SDL_Rect> scattered;
  for (int i = 0; i < 40; ++i)
    scattered.push_back(
        {static_cast<Sint16>(i * 97 % 1000), static_cast<Sint16>(i * 53 % 600), 0, 0});
  const Layout layouts[] = {
      {"no walls", 600, 600, {}},
      {"one wall", 600, 600, {{300, 300, 0, 0}}},
      {"scattered walls", 1000, 600, scattered},
  };
  for (const Layout& layout : layouts) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
      SCOPED_TRACE(::testing::Message() << layout.name << ", seed " << seed);
      const Prediction expected = Predict(seed, layout, 300);
      std::vector<SDL_Surface*> images;
      const std::vector<Spot> spots = Place(layout, 300, images);
      EXPECT_EQ(spots, expected.spots);
      EXPECT_EQ(std::rand(), expected.nextDraw);
      for (const Spot& s : spots) {
        ASSERT_GE(s.x, 30);
        ASSERT_GE(s.y, 30);
        ASSERT_LE(s.x, layout.width - 31);
        ASSERT_LE(s.y, layout.height - 31);
        for (const SDL_Rect& w : layout.walls) {
          ASSERT_FALSE(std::abs(s.x - w.x) <= 50 && std::abs(s.y - w.y) <= 50)
              << ::testing::PrintToString(s);
        }
      }
      FreeAll(images.data(), 300);
    }
  }
}

TEST_F(Chests, WithNoWallsTheFirstSpotAwayFromTheTopLeftEdgesIsKept) {
  for (unsigned seed = 1; seed <= 50; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<int> draws = Draws(seed, 200);
    std::vector<SDL_Surface*> images;
    const Spot kept = Place({"", 600, 600, {}}, 1, images)[0];
    size_t i = 0;
    while (draws[i] % 600 - 30 < 30 || draws[i + 1] % 600 - 30 < 30) i += 2;
    EXPECT_EQ(kept, (Spot{draws[i] % 600 - 30, draws[i + 1] % 600 - 30}));
  }
}

TEST_F(Chests, AChestWithNoFreeSpotGoesOffTheFieldAfterTenThousandTries) {
  SavePicture("Images/coffre.png", 20, 20);
  const Layout walled = Walled();
  const std::vector<int> draws = Draws(7, 3 * 2 * kTries + 1);
  std::vector<SDL_Surface*> images{Watched(), nullptr, Watched()};
  const std::vector<SDL_Surface*> old = images;
  const std::vector<Spot> spots = Place(walled, 3, images);
  EXPECT_EQ(spots, std::vector<Spot>(3, Spot{2100, 2120}));
  EXPECT_EQ(std::rand(), draws[3 * 2 * kTries]) << "each chest tries exactly 10000 spots";
  // Off the field, but a chest like any other: it gets its picture.
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_NE(images[i], nullptr);
    EXPECT_EQ(images[i]->w, 20);
  }
  ExpectFreedOnce(old[0], images[0]);
  ExpectFreedOnce(old[2], images[2]);
  FreeAll(images.data(), 3);
}

TEST_F(Chests, ChestsAfterAGivenUpOneArePlacedAsUsual) {
  // The only free spot is (69, 69): left of it the first wall, above it the second.
  const Layout narrow{"narrow", 100, 100, {{18, 50, 0, 0}, {100, 18, 0, 0}}};
  int placed = 0, givenUp = 0;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(seed);
    const Prediction expected = Predict(seed, narrow, 8);
    std::vector<SDL_Surface*> images;
    const std::vector<Spot> spots = Place(narrow, 8, images);
    EXPECT_EQ(spots, expected.spots);
    EXPECT_EQ(std::rand(), expected.nextDraw);
    for (const Spot& s : spots) {
      if (OffField(s, narrow)) {
        ++givenUp;
      } else {
        EXPECT_EQ(s, (Spot{69, 69}));
        ++placed;
      }
    }
    FreeAll(images.data(), 8);
  }
  // The layout must exercise both outcomes for this test to mean anything.
  EXPECT_GT(placed, 0);
  EXPECT_GT(givenUp, 0);
}

TEST_F(Chests, PicturesAreReplacedForTheChestsPlacedOnly) {
  SavePicture("Images/coffre.png", 20, 20);
  std::vector<SDL_Surface*> images{Watched(), Watched(), Watched()};
  const std::vector<SDL_Surface*> old = images;
  std::array<SDL_Rect, 3> chests{};
  std::srand(1);
  Carres(600, 600, chests.data(), images.data(), 2, nullptr, 0);
  ExpectFreedOnce(old[0], images[0]);
  ExpectFreedOnce(old[1], images[1]);
  ExpectUntouched(old[2], images[2]);
  FreeAll(images.data(), 2);
}

TEST_F(Chests, MissingPictureLeavesNoSurfaceAndNoCrash) {
  std::vector<SDL_Surface*> images{Watched()};
  SDL_Surface* old = images[0];
  std::srand(3);
  const std::vector<Spot> spots = Place({"", 600, 600, {}}, 1, images);
  EXPECT_GE(spots[0].x, 30);
  EXPECT_EQ(images[0], nullptr);
  ExpectFreedOnce(old, images[0]);
}

TEST_F(Chests, AWindowWithoutSizeSendsEveryChestOffTheFieldWithoutDrawing) {
  SavePicture("Images/coffre.png", 20, 20);
  for (const Spot size : {Spot{0, 600}, Spot{600, 0}, Spot{-5, -5}}) {
    SCOPED_TRACE(::testing::PrintToString(size));
    const std::vector<int> draws = Draws(11, 1);
    std::vector<SDL_Surface*> images(2, nullptr);
    const std::vector<Spot> spots = Place({"", size.x, size.y, {}}, 2, images);
    EXPECT_EQ(spots, std::vector<Spot>(2, Spot{size.x + 2000, size.y + 2000}));
    EXPECT_EQ(std::rand(), draws[0]) << "no spot drawn";
    ASSERT_NE(images[1], nullptr);
    FreeAll(images.data(), 2);
  }
}
