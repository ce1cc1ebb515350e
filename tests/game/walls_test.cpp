#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/maze/actors.h"
#include "level/level_file.h"
#include "tests/game/maze_helpers.h"
#include "tests/support/test_support.h"

using namespace maze_test;

namespace {

int CallMurs(SDL_Surface** images, SDL_Rect* positions, int level) {
  return Murs(images, positions, 600, 600, SDL_GetVideoSurface(), level);
}

}  // namespace

class Walls : public SdlTest {
 protected:
  ScopedWorkDir dir_;
};

TEST_F(Walls, MissingLevelFileGivesNoWallsAndKeepsTheTables) {
  SavePicture("Images/Mur.png", 25, 25);
  mkdir("Niveaux", 0755);
  std::array<SDL_Surface*, 2> images{Watched(), nullptr};
  std::array<SDL_Rect, 2> positions{{{5, 6, 0, 0}, {7, 8, 0, 0}}};
  EXPECT_EQ(CallMurs(images.data(), positions.data(), 404), 0);
  EXPECT_EQ(images[1], nullptr);
  EXPECT_EQ(positions[0].x, 5);
  EXPECT_EQ(positions[1].y, 8);
  ExpectUntouched(images[0], images[0]);
}

TEST_F(Walls, ThreeWallsGetThreeFreshSurfacesAndTheOldOnesAreFreed) {
  SavePicture("Images/Mur.png", 25, 25);
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_2.txt", "1\n300\t300\n");
  WriteFile("Niveaux/Niveau_3.txt", "3\r\n0\t0\r\n25\t0\r\n575\t550\r\n");
  const std::array<SDL_Surface*, 4> old{Watched(), nullptr, Watched(), Watched()};
  std::array<SDL_Surface*, 4> images = old;
  std::array<SDL_Rect, 4> positions{};
  positions[3] = {-7, -7, 0, 0};

  ASSERT_EQ(CallMurs(images.data(), positions.data(), 3), 3);
  const int expected[3][2] = {{0, 0}, {25, 0}, {575, 550}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(positions[i].x, expected[i][0]);
    EXPECT_EQ(positions[i].y, expected[i][1]);
    ASSERT_NE(images[i], nullptr);
    EXPECT_EQ(images[i]->w, 25);
    EXPECT_EQ(images[i]->refcount, 1);
    for (int j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << "one surface per wall";
  }
  ExpectFreedOnce(old[0], images[0]);
  ExpectFreedOnce(old[2], images[2]);
  // Entries past the count belong to an earlier level and stay loaded.
  ExpectUntouched(old[3], images[3]);
  EXPECT_EQ(positions[3].x, -7);

  // The next level frees what this one loaded.
  std::array<SDL_Surface*, 3> loaded{images[0], images[1], images[2]};
  for (SDL_Surface* s : loaded) ++s->refcount;
  ASSERT_EQ(CallMurs(images.data(), positions.data(), 2), 1);
  ExpectFreedOnce(loaded[0], images[0]);
  ExpectUntouched(loaded[1], images[1]);
  ExpectUntouched(loaded[2], images[2]);
  EXPECT_EQ(positions[0].x, 300);
  images[1] = images[2] = nullptr;  // released through ExpectUntouched
  FreeAll(images.data(), 1);
}

TEST_F(Walls, MalformedFileGivesTheWallsItHoldsAndNeverMoreThanTheTable) {
  SavePicture("Images/Mur.png", 25, 25);
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_1.txt", "5\n1\t2\n3\t4\n");
  std::array<SDL_Surface*, 3> images{nullptr, nullptr, Watched()};
  std::array<SDL_Rect, 3> positions{};
  EXPECT_EQ(CallMurs(images.data(), positions.data(), 1), 2);
  EXPECT_NE(images[0], nullptr);
  EXPECT_NE(images[1], nullptr);
  ExpectUntouched(images[2], images[2]);
  FreeAll(images.data(), 2);

  std::string big = "1200\n";
  for (int i = 0; i < 1200; ++i) big += std::to_string(i) + "\t0\n";
  WriteFile("Niveaux/Niveau_2.txt", big);
  std::vector<SDL_Surface*> many(kMaxWalls + 1, nullptr);
  std::vector<SDL_Rect> spots(kMaxWalls + 1, SDL_Rect{-7, -7, 0, 0});
  EXPECT_EQ(CallMurs(many.data(), spots.data(), 2), kMaxWalls);
  EXPECT_NE(many[kMaxWalls - 1], nullptr);
  EXPECT_EQ(many[kMaxWalls], nullptr);
  EXPECT_EQ(spots[kMaxWalls].x, -7);
  FreeAll(many.data(), kMaxWalls);
}

TEST_F(Walls, WithoutPicturesTheWallsAreStillRead) {
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_1.txt", "2\n50\t75\n100\t125\n");
  std::array<SDL_Surface*, 2> images{Watched(), nullptr};
  SDL_Surface* old = images[0];
  std::array<SDL_Rect, 2> positions{};
  EXPECT_EQ(CallMurs(images.data(), positions.data(), 1), 2);
  EXPECT_EQ(positions[1].y, 125);
  EXPECT_EQ(images[0], nullptr);
  EXPECT_EQ(images[1], nullptr);
  ExpectFreedOnce(old, images[0]);
}
