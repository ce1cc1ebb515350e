// Filling a level: the walls from its file, the chests at random free spots,
// the enemies at the start corner. One row per case.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/maze/actors.h"
#include "level/level_rules.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

using namespace maze_test;

namespace {

class Placement : public SdlTest {
 protected:
  ScopedWorkDir dir_;
};

SDL_Rect At(int x, int y) { return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }

std::string ManyWalls(int n) {
  std::string text = std::to_string(n) + "\n";
  for (int i = 0; i < n; ++i) text += std::to_string(i) + "\t0\n";
  return text;
}

// The chest rule written out: draw x, then y, until the spot keeps 30 pixels
// from the top and left edges and is more than 50 pixels from every wall on
// one axis at least; after 10000 tries the chest goes off the field.
std::vector<SDL_Rect> PredictChests(unsigned seed, int width, int height,
                                    const std::vector<SDL_Rect>& walls, int count, int* next) {
  std::srand(seed);
  std::vector<SDL_Rect> spots;
  for (int i = 0; i < count; ++i) {
    SDL_Rect spot = At(width + 2000, height + 2000);
    for (int t = 0; t < 10000 && width > 0 && height > 0; ++t) {
      const int x = std::rand() % width - 30, y = std::rand() % height - 30;
      bool free = x >= 30 && y >= 30;
      for (const SDL_Rect& w : walls) free = free && !(abs(x - w.x) <= 50 && abs(y - w.y) <= 50);
      if (free) {
        spot = At(x, y);
        break;
      }
    }
    spots.push_back(spot);
  }
  *next = std::rand();
  std::srand(seed);
  return spots;
}

}  // namespace

TEST_F(Placement, WallsComeFromTheLevelFileEachWithItsOwnPicture) {
  struct Row {
    const char* name;
    const char* file;  // null: no file for the level
    int count;
    std::vector<SDL_Rect> first;
  };
  const std::string many = ManyWalls(1200);
  const std::vector<Row> rows = {
      {"no file: no walls, the tables as they were", nullptr, 0, {At(5, 6), At(7, 8)}},
      {"three walls, CR LF",
       "3\r\n0\t0\r\n25\t0\r\n575\t550\r\n",
       3,
       {At(0, 0), At(25, 0), At(575, 550)}},
      {"fewer pairs than the count", "5\n1\t2\n3\t4\n", 2, {At(1, 2), At(3, 4)}},
      {"more walls than the table holds", many.c_str(), kMaxWalls, {At(0, 0), At(1, 0)}},
  };
  for (bool pictures : {false, true}) {
    if (pictures) SavePicture("Images/Mur.png", 25, 25);
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::Message() << row.name << (pictures ? "" : ", no picture"));
      mkdir("Niveaux", 0755);
      if (row.file) {
        WriteFile("Niveaux/Niveau_4.txt", row.file);
      } else {
        std::remove("Niveaux/Niveau_4.txt");
      }
      const int pastIndex = std::max(row.count, 1);
      std::vector<SDL_Surface*> images(kMaxWalls + 1, nullptr);
      std::vector<SDL_Rect> spots(kMaxWalls + 1, At(-7, -7));
      spots[0] = At(5, 6), spots[1] = At(7, 8);
      SDL_Surface* const old0 = images[0] = Watched();
      SDL_Surface* const past = images[pastIndex] = Watched();
      EXPECT_EQ(Murs(images.data(), spots.data(), 600, 600, nullptr, 4), row.count);
      for (size_t i = 0; i < row.first.size(); ++i) {
        EXPECT_EQ(spots[i].x, row.first[i].x);
        EXPECT_EQ(spots[i].y, row.first[i].y);
      }
      EXPECT_EQ(spots[std::max(row.count, 2)].x, -7) << "read past the count";
      ExpectUntouched(past, images[pastIndex]);
      images[pastIndex] = nullptr;
      if (row.count == 0) {
        ExpectUntouched(old0, images[0]);
        continue;
      }
      ExpectFreedOnce(old0, images[0]);
      for (int i = 0; i < row.count; ++i) {
        ASSERT_EQ(WidthOrNone(images[i]), pictures ? 25 : -1) << i;
        if (i > 0 && pictures) {
          ASSERT_NE(images[i], images[i - 1]) << "one surface per wall";
        }
      }
      FreeAll(images.data(), row.count);
    }
  }
}

TEST_F(Placement, ChestsTakeTheFirstFreeSpotDrawnOrGoOffTheField) {
  std::vector<SDL_Rect> scattered;
  for (int i = 0; i < 40; ++i) scattered.push_back(At(i * 97 % 1000, i * 53 % 600));
  struct Row {
    const char* name;
    int width, height, count;
    std::vector<SDL_Rect> walls;
  };
  const std::vector<Row> rows = {
      {"no walls", 600, 600, 300, {}},
      {"one wall", 600, 600, 300, {At(300, 300)}},
      {"scattered walls, widest level", 1000, 600, 300, scattered},
      // The only free spot is (69, 69); chests that miss it go off the field.
      {"one free spot", 100, 100, 8, {At(18, 50), At(100, 18)}},
      {"no free spot", 100, 120, 3, {At(0, 0), At(100, 0), At(0, 100), At(100, 100)}},
      {"no width", 0, 600, 2, {}},
      {"no height", 600, 0, 2, {}},
  };
  SavePicture("Images/coffre.png", 20, 20);
  for (const Row& row : rows) {
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(testing::Message() << row.name << ", seed " << seed);
      int next = 0;
      const std::vector<SDL_Rect> expected = PredictChests(seed, row.width, row.height, row.walls,
                                                           row.count, &next);
      std::vector<SDL_Rect> chests(row.count + 1, At(-9, -9));
      std::vector<SDL_Rect> walls = row.walls;
      std::vector<SDL_Surface*> images(row.count + 1, nullptr);
      images[0] = Watched();
      SDL_Surface* const old = images[0];
      SDL_Surface* const past = images[row.count] = Watched();
      EXPECT_EQ(Carres(row.width, row.height, chests.data(), images.data(), row.count, walls.data(),
                       static_cast<int>(walls.size())),
                row.count);
      for (int i = 0; i < row.count; ++i) {
        ASSERT_EQ(chests[i].x, expected[i].x) << "chest " << i;
        ASSERT_EQ(chests[i].y, expected[i].y) << "chest " << i;
        ASSERT_EQ(WidthOrNone(images[i]), 20) << "every chest gets its picture";
      }
      EXPECT_EQ(std::rand(), next) << "draws made";
      EXPECT_EQ(chests[row.count].x, -9);
      ExpectFreedOnce(old, images[0]);
      ExpectUntouched(past, images[row.count]);
      FreeAll(images.data(), row.count);
    }
  }
}

TEST_F(Placement, EnemiesStartTogetherAtTheCornerWithRandomDirections) {
  SavePicture("Images/Ennemi.png", 50, 50);
  const std::vector<int> draws = Draws(5, 4);
  std::vector<SDL_Rect> enemies(4, At(-9, -9));
  std::vector<int> directions(4, 0);
  std::vector<SDL_Surface*> images = {Watched(), nullptr, nullptr, nullptr};
  SDL_Surface* const old = images[0];
  EXPECT_EQ(Ennemis(600, 600, directions.data(), 3, nullptr, enemies.data(), images.data()), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(enemies[i].x, 26);
    EXPECT_EQ(enemies[i].y, 26);
    EXPECT_EQ(directions[i], draws[i] % 4 + 1);
    ASSERT_NE(images[i], nullptr);
    EXPECT_TRUE(images[i]->flags & SDL_SRCCOLORKEY) << "white is transparent";
  }
  EXPECT_EQ(std::rand(), draws[3]);
  EXPECT_EQ(enemies[3].x, -9);
  EXPECT_EQ(images[3], nullptr);
  ExpectFreedOnce(old, images[0]);
  FreeAll(images.data(), 3);
}
