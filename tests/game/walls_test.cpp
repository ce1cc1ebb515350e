// Filling a level: the walls from its file, the chests at random free spots,
// the enemies at the start corner; each picture replaced is freed once, and
// nothing past the count is touched.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "game/maze/actors.h"
#include "tests/game/flow_harness.h"

using Walls = FlowTest;

namespace {

SDL_Rect At(int x, int y) { return {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0}; }
std::pair<int, int> XY(const SDL_Rect& r) { return {r.x, r.y}; }

// Pictures with a second hold by the test, which sees whether the game freed
// them; Release checks the holds left (1: freed by the game) and drops them.
struct Pictures : std::vector<SDL_Surface*> {
  explicit Pictures(size_t n) : std::vector<SDL_Surface*>(n, nullptr) {}
  SDL_Surface* Watch(size_t i) {
    at(i) = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0, 0, 0, 0);
    return ++at(i)->refcount, at(i);
  }
  static void Release(SDL_Surface* s, int holds) {
    EXPECT_EQ(s->refcount, holds);
    while (holds-- > 0) SDL_FreeSurface(s);
  }
  int Width(size_t i) const { return at(i) ? at(i)->w : -1; }
  void Free(int count) {
    for (int i = 0; i < count; ++i) SDL_FreeSurface(at(i));
  }
};

}  // namespace

TEST_F(Walls, ComeFromTheLevelFileEachWithItsOwnPicture) {
  std::string many = "1200\n";
  for (int i = 0; i < 1200; ++i) many += std::to_string(i) + "\t0\n";
  struct Row {
    const char* file;  // null: no file for the level
    int count;
    std::vector<SDL_Rect> first;
  } const rows[] = {{nullptr, 0, {At(5, 6), At(7, 8)}},
                    {"3\r\n0\t0\r\n25\t0\r\n575\t550\r\n", 3, {At(0, 0), At(25, 0), At(575, 550)}},
                    {"5\n1\t2\n3\t4\n", 2, {At(1, 2), At(3, 4)}},  // fewer pairs than the count
                    {many.c_str(), kMaxWalls, {At(0, 0), At(1, 0)}}};
  for (bool pictures : {true, false}) {
    if (!pictures) std::remove("Images/Mur.png");
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::Message() << (row.file ? row.file : "no file") << pictures);
      row.file ? WriteLevel(4, row.file) : (void)std::remove("Niveaux/Niveau_4.txt");
      const int past = std::max(row.count, 1);
      Pictures images(kMaxWalls + 1);
      std::vector<SDL_Rect> spots(kMaxWalls + 1, At(-7, -7));
      spots[0] = At(5, 6), spots[1] = At(7, 8);
      SDL_Surface *const old = images.Watch(0), *const after = images.Watch(past);
      EXPECT_EQ(Murs(images.data(), spots.data(), 600, 600, nullptr, 4), row.count);
      for (size_t i = 0; i < row.first.size(); ++i) {
        EXPECT_EQ(XY(spots[i]), XY(row.first[i]));
      }
      EXPECT_EQ(spots[std::max(row.count, 2)].x, -7) << "read past the count";
      EXPECT_EQ(std::make_pair(images[0] == old, images[past]), std::make_pair(!row.count, after));
      Pictures::Release(after, 2);
      Pictures::Release(old, row.count ? 1 : 2);
      for (int i = 0; i < row.count; ++i) {
        ASSERT_EQ(images.Width(i), pictures ? SpriteWidth("Images/Mur.png") : -1) << i;
        ASSERT_TRUE(!i || !pictures || images[i] != images[i - 1]) << "one surface per wall";
      }
      if (row.count) images.Free(row.count);
    }
  }
}

// The chest rule: draw x, then y, until the spot keeps 30 pixels from the top
// and left edges and more than 50 from every wall on one axis at least; after
// 10000 tries the chest goes off the field.
TEST_F(Walls, ChestsTakeTheFirstFreeSpotDrawnOrGoOffTheField) {
  std::vector<SDL_Rect> scattered;
  for (int i = 0; i < 40; ++i) scattered.push_back(At(i * 97 % 1000, i * 53 % 600));
  struct Row {
    int width, height, count;
    std::vector<SDL_Rect> walls;
  } const rows[] = {{600, 600, 300, {}},
                    {600, 600, 300, {At(300, 300)}},
                    {1000, 600, 300, scattered},
                    {100, 100, 8, {At(18, 50), At(100, 18)}},  // one free spot, (69, 69)
                    {100, 120, 3, {At(0, 0), At(100, 0), At(0, 100), At(100, 100)}},
                    {0, 600, 2, {}},
                    {600, 0, 2, {}}};
  for (const Row& row : rows) {
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(testing::Message() << row.width << "x" << row.height << " seed " << seed);
      std::srand(seed);
      std::vector<SDL_Rect> expected;
      for (int i = 0; i < row.count; ++i) {
        SDL_Rect spot = At(row.width + 2000, row.height + 2000);
        for (int t = 0; t < 10000 && row.width > 0 && row.height > 0; ++t) {
          const int x = std::rand() % row.width - 30, y = std::rand() % row.height - 30;
          bool free = x >= 30 && y >= 30;
          for (const SDL_Rect& w : row.walls)
            free = free && (abs(x - w.x) > 50 || abs(y - w.y) > 50);
          if (free) {
            spot = At(x, y);
            break;
          }
        }
        expected.push_back(spot);
      }
      const int next = std::rand();
      std::srand(seed);
      std::vector<SDL_Rect> chests(row.count + 1, At(-9, -9)), walls = row.walls;
      Pictures images(row.count + 1);
      SDL_Surface *const old = images.Watch(0), *const after = images.Watch(row.count);
      EXPECT_EQ(Carres(row.width, row.height, chests.data(), images.data(), row.count, walls.data(),
                       static_cast<int>(walls.size())),
                row.count);
      for (int i = 0; i < row.count; ++i) {
        ASSERT_EQ(XY(chests[i]), XY(expected[i])) << i;
        ASSERT_EQ(images.Width(i), SpriteWidth("Images/coffre.png")) << "every chest its picture";
      }
      EXPECT_EQ(std::rand(), next) << "draws made";
      EXPECT_EQ(chests[row.count].x, -9);
      Pictures::Release(old, 1);
      Pictures::Release(after, 2);
      images.Free(row.count);
    }
  }
}

TEST_F(Walls, EnemiesStartTogetherAtTheCornerWithRandomDirections) {
  std::srand(5);
  std::vector<int> draws(4);
  for (int& d : draws) d = std::rand();
  std::srand(5);
  std::vector<SDL_Rect> enemies(4, At(-9, -9));
  std::vector<int> directions(4, 0);
  Pictures images(4);
  SDL_Surface* const old = images.Watch(0);
  EXPECT_EQ(Ennemis(600, 600, directions.data(), 3, nullptr, enemies.data(), images.data()), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::make_tuple(enemies[i].x, enemies[i].y, directions[i]),
              std::make_tuple(26, 26, draws[i] % 4 + 1));
    ASSERT_EQ(images.Width(i), SpriteWidth("Images/Ennemi.png"));
    EXPECT_TRUE(images[i]->flags & SDL_SRCCOLORKEY) << "white is transparent";
  }
  EXPECT_EQ(std::rand(), draws[3]);
  EXPECT_EQ(std::make_tuple(enemies[3].x, images[3]), std::make_tuple(-9, nullptr));
  Pictures::Release(old, 1);
  images.Free(3);
}
