// The shipped levels under Niveaux/: exact file format, the grid, the free
// start places, room for the chests, and a field where everything is in reach.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/Condition.h"
#include "level/level_file.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kHeight = 600;
constexpr int kActor = 50;
constexpr int kStep = 5;  // the actors' speed, pixels per frame

SDL_Rect Rect(int x, int y) {
  return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
}
const SDL_Rect kNone = Rect(0, 0);

int LevelWidth(int level) { return std::min(600 + 100 * (level - 1), 1000); }

struct Level {
  int number = 0;
  int width = 0;
  std::string bytes;
  std::vector<SDL_Rect> walls;  // as the game's reader loads them
};

// The numbers n of the shipped "Niveau_n.txt" files, in order.
std::vector<int> ShippedLevelNumbers() {
  std::vector<int> numbers;
  const std::string folder = AssetsDir() + "/Niveaux";
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      const std::string head = "Niveau_", tail = ".txt";
      if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
          name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        continue;
      const std::string digits = name.substr(head.size(), name.size() - head.size() - tail.size());
      if (digits.find_first_not_of("0123456789") == std::string::npos)
        numbers.push_back(std::atoi(digits.c_str()));
    }
    closedir(dir);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

Level LoadLevel(int n) {
  Level level;
  level.number = n;
  level.width = LevelWidth(n);
  const std::string path = AssetsDir() + "/Niveaux/Niveau_" + std::to_string(n) + ".txt";
  level.bytes = ReadFile(path);
  std::vector<SDL_Rect> table(kMaxWalls);
  const int count = ReadLevelFile(path.c_str(), table.data(), kMaxWalls);
  if (count > 0) level.walls.assign(table.begin(), table.begin() + count);
  return level;
}

// The exact bytes a level file holds: "%d\n", then "%d\t%d\n" per wall, and
// nothing else. Returns the problem, or "" when the bytes are in that form.
std::string FormatProblem(const std::string& bytes, const std::vector<SDL_Rect>& walls) {
  std::string expected = std::to_string(walls.size()) + "\n";
  for (const SDL_Rect& w : walls)
    expected += std::to_string(w.x) + "\t" + std::to_string(w.y) + "\n";
  if (bytes == expected) return "";
  if (bytes.find('\r') != std::string::npos) return "CR in the file";
  return "bytes differ from the count and pairs the reader found";
}

bool Touches(const SDL_Rect& actor, std::vector<SDL_Rect>& walls) {
  SDL_Rect mover = actor;
  return Condition(&mover, walls.data(), kNone, kNone, static_cast<int>(walls.size()), 0, 0, 0,
                   kActor, 25, 0, 0, 0) >= 0;
}

// Accepted chest spots (x, y) of the draws x = rand() % W - 30, y = rand() % 600 - 30:
// x and y at least 30 and no wall within 50 pixels on both axes. One flag per spot.
std::vector<char> AcceptedChestSpots(const Level& level) {
  const int w = level.width;
  std::vector<char> ok(static_cast<size_t>(w * kHeight), 0);
  for (int y = 30; y <= kHeight - 31; ++y) {
    std::vector<int> cover(static_cast<size_t>(w) + 1, 0);
    for (const SDL_Rect& wall : level.walls) {
      if (std::abs(y - wall.y) > 50) continue;
      cover[static_cast<size_t>(std::clamp(wall.x - 50, 0, w))] += 1;
      cover[static_cast<size_t>(std::clamp(wall.x + 51, 0, w))] -= 1;
    }
    int run = 0;
    for (int x = 0; x <= w - 31; ++x) {
      run += cover[static_cast<size_t>(x)];
      if (x >= 30 && run == 0) ok[static_cast<size_t>(y * w + x)] = 1;
    }
  }
  return ok;
}

// Positions the hero can reach from its start, on its 5-pixel lattice.
std::vector<char> Reachable(Level& level, int* cols, int* rows, int* ox, int* oy) {
  const int w = level.width;
  *ox = (w / 2 + 1) % kStep;
  *oy = (kHeight / 2 + 1) % kStep;
  *cols = (w - kActor - *ox) / kStep + 1;
  *rows = (kHeight - kActor - *oy) / kStep + 1;
  std::vector<char> seen(static_cast<size_t>(*cols * *rows), 0);
  auto index = [&](int x, int y) {
    return static_cast<size_t>(((y - *oy) / kStep) * *cols + (x - *ox) / kStep);
  };
  std::vector<std::pair<int, int>> todo = {{w / 2 + 1, kHeight / 2 + 1}};
  seen[index(todo[0].first, todo[0].second)] = 1;
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    for (auto [dx, dy] : {std::pair{kStep, 0}, {-kStep, 0}, {0, kStep}, {0, -kStep}}) {
      const int nx = x + dx, ny = y + dy;
      if (nx < 0 || ny < 0 || nx > w - kActor || ny > kHeight - kActor || seen[index(nx, ny)])
        continue;
      if (Touches(Rect(nx, ny), level.walls)) continue;
      seen[index(nx, ny)] = 1;
      todo.push_back({nx, ny});
    }
  }
  return seen;
}

class ShippedLevels : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int n : ShippedLevelNumbers()) levels_.push_back(LoadLevel(n));
  }
  std::vector<Level> levels_;
};

}  // namespace

TEST_F(ShippedLevels, LevelsOneToTwelveAtLeastAreShippedWithoutGaps) {
  ASSERT_GE(levels_.size(), 12u);
  for (size_t i = 0; i < levels_.size(); ++i) EXPECT_EQ(levels_[i].number, static_cast<int>(i) + 1);
}

TEST_F(ShippedLevels, EveryFileHasTheExactFormatAndAtMostAThousandWalls) {
  for (const Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    EXPECT_FALSE(level.walls.empty());
    EXPECT_LE(level.walls.size(), static_cast<size_t>(kMaxWalls));
    EXPECT_EQ(FormatProblem(level.bytes, level.walls), "");
  }
}

TEST_F(ShippedLevels, WallsLieOnTheGridInsideTheirWindowOnceEach) {
  for (const Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    std::set<std::pair<int, int>> seen;
    for (const SDL_Rect& w : level.walls) {
      EXPECT_EQ(w.x % 25, 0) << w.x;
      EXPECT_EQ(w.y % 25, 0) << w.y;
      EXPECT_GE(w.x, 0);
      EXPECT_LE(w.x, level.width - 25);
      EXPECT_GE(w.y, 0);
      EXPECT_LE(w.y, kHeight - 25);
      EXPECT_TRUE(seen.insert({w.x, w.y}).second) << "twice: " << w.x << "," << w.y;
    }
  }
}

TEST_F(ShippedLevels, TheEditorsReservedCellsAreFree) {
  for (const Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    const int cx = level.width / 2, cy = kHeight / 2;
    const std::vector<std::pair<int, int>> reserved = {
        {25, 25}, {25, 50},      {50, 25},      {50, 50},
        {cx, cy}, {cx, cy + 25}, {cx + 25, cy}, {cx + 25, cy + 25}};
    for (const SDL_Rect& w : level.walls)
      for (auto [x, y] : reserved) EXPECT_FALSE(w.x == x && w.y == y) << x << "," << y;
  }
}

TEST_F(ShippedLevels, NoWallTouchesTheStartSquares) {
  for (Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    EXPECT_FALSE(Touches(Rect(26, 26), level.walls)) << "enemies' start";
    EXPECT_FALSE(Touches(Rect(level.width / 2 + 1, kHeight / 2 + 1), level.walls))
        << "hero's start";
  }
}

TEST_F(ShippedLevels, AtLeastAQuarterOfTheChestDrawsAreAccepted) {
  for (Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    const std::vector<char> ok = AcceptedChestSpots(level);
    long accepted = 0;
    for (char c : ok) accepted += c;
    // Every spot the draws can give is one of the W x 600 draws.
    EXPECT_GE(accepted * 4, static_cast<long>(level.width) * kHeight);

    // The count follows the game's own chest test on a spread of spots.
    std::srand(static_cast<unsigned>(level.number));
    for (int k = 0; k < 3000; ++k) {
      const int x = std::rand() % level.width - 30, y = std::rand() % kHeight - 30;
      SDL_Rect chest = Rect(x, y);
      const bool refused = x <= 29 || y <= 29 ||
                           Condition(&chest, level.walls.data(), kNone, kNone,
                                     static_cast<int>(level.walls.size()), 0, -20, -30, 20, 30, 0,
                                     0, 0) >= 0;
      const bool counted = x >= 0 && y >= 0 && ok[static_cast<size_t>(y * level.width + x)];
      ASSERT_EQ(!refused, counted) << x << "," << y;
    }
  }
}

TEST_F(ShippedLevels, TheHeroCanReachTheEnemiesStartAndEveryChestSpot) {
  for (Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    int cols = 0, rows = 0, ox = 0, oy = 0;
    const std::vector<char> seen = Reachable(level, &cols, &rows, &ox, &oy);
    EXPECT_TRUE(seen[static_cast<size_t>(((26 - oy) / kStep) * cols + (26 - ox) / kStep)])
        << "enemies' start";

    // A chest at (cx, cy) is eaten by a hero at (hx, hy) with cx - 50 <= hx <= cx + 20
    // and the same on y: mark every chest spot some reachable position eats.
    const int w = level.width;
    std::vector<int> eat(static_cast<size_t>((w + 1) * (kHeight + 1)), 0);
    auto add = [&](int x, int y, int v) {
      eat[static_cast<size_t>(std::clamp(y, 0, kHeight) * (w + 1) + std::clamp(x, 0, w))] += v;
    };
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) {
        if (!seen[static_cast<size_t>(r * cols + c)]) continue;
        const int hx = ox + c * kStep, hy = oy + r * kStep;
        add(hx - 20, hy - 20, 1);
        add(hx + 51, hy - 20, -1);
        add(hx - 20, hy + 51, -1);
        add(hx + 51, hy + 51, 1);
      }
    for (int y = 0; y <= kHeight; ++y)
      for (int x = 0; x <= w; ++x) {
        int v = eat[static_cast<size_t>(y * (w + 1) + x)];
        if (x > 0) v += eat[static_cast<size_t>(y * (w + 1) + x - 1)];
        if (y > 0) v += eat[static_cast<size_t>((y - 1) * (w + 1) + x)];
        if (x > 0 && y > 0) v -= eat[static_cast<size_t>((y - 1) * (w + 1) + x - 1)];
        eat[static_cast<size_t>(y * (w + 1) + x)] = v;
      }
    const std::vector<char> ok = AcceptedChestSpots(level);
    int unreachable = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < w; ++x)
        if (ok[static_cast<size_t>(y * w + x)] && eat[static_cast<size_t>(y * (w + 1) + x)] <= 0)
          ++unreachable;
    EXPECT_EQ(unreachable, 0) << "chest spots out of the hero's reach";
  }
}

TEST_F(ShippedLevels, LaterLevelsAreNotEmptierThanTheFirst) {
  ASSERT_GE(levels_.size(), 2u);
  for (const Level& level : levels_) {
    SCOPED_TRACE("level " + std::to_string(level.number));
    EXPECT_GE(level.walls.size(), levels_.front().walls.size());
  }
}
