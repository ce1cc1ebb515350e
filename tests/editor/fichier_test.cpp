#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include <array>
#include <string>
#include <vector>

#include "editor/fichier.h"
#include "level/level_file.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kSlots = 3000;

struct Record {
  std::array<int, kSlots> xs, ys;
  int next = 1, count = 0;
  Record() {
    xs.fill(-1);
    ys.fill(-1);
  }
  int Place(int x, int y) {
    xs[next] = x;
    ys[next] = y;
    ++count;
    return next++;
  }
  void Remove(int slot) {
    xs[slot] = ys[slot] = -1;
    --count;
  }
  void Save() { Fichier(xs.data(), ys.data(), next, count); }
};

}  // namespace

TEST(Fichier, SavesTheExactBytesInPlacementOrderSkippingRemovedWalls) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  Record record;
  record.Place(0, 0);
  const int b = record.Place(25, 0);
  record.Place(575, 550);
  record.Remove(b);
  record.Save();
  EXPECT_EQ(ReadFile("Niveaux/Niveau_.txt"), "2\n0\t0\n575\t550\n");
}

TEST(Fichier, ASavedLevelReadsBackAsTheSameWallsInOrder) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  Record record;
  for (int i = 0; i < 40; ++i) record.Place((i * 7 % 24) * 25, (i * 5 % 24) * 25);
  record.Remove(3);
  record.Remove(17);
  record.Save();
  std::array<SDL_Rect, kMaxWalls> walls{};
  const int n = ReadLevelFile("Niveaux/Niveau_.txt", walls.data(), kMaxWalls);
  ASSERT_EQ(n, 38);
  int k = 0;
  for (int slot = 1; slot < record.next; ++slot) {
    if (record.xs[slot] == -1) continue;
    EXPECT_EQ(walls[k].x, record.xs[slot]);
    EXPECT_EQ(walls[k].y, record.ys[slot]);
    ++k;
  }
}

TEST(Fichier, EmptyGridLeavesNoFileAndRemovesAnEarlierOne) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  Record record;
  record.Save();
  EXPECT_FALSE(FileExists("Niveaux/Niveau_.txt"));
  Record walls;
  walls.Place(100, 100);
  walls.Save();
  ASSERT_TRUE(FileExists("Niveaux/Niveau_.txt"));
  Record cleared;
  const int slot = cleared.Place(100, 100);
  cleared.Remove(slot);
  cleared.Save();
  EXPECT_FALSE(FileExists("Niveaux/Niveau_.txt"));
}

TEST(Fichier, SavingAgainReplacesThePreviousFileWholeAndLeavesNoTemporary) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  Record big;
  for (int i = 0; i < 20; ++i) big.Place(i * 25, 0);
  big.Save();
  Record small;
  small.Place(50, 75);
  small.Save();
  EXPECT_EQ(ReadFile("Niveaux/Niveau_.txt"), "1\n50\t75\n");
  EXPECT_EQ(std::system("test $(ls -A Niveaux | wc -l) -eq 1"), 0);
  struct stat info = {};
  ASSERT_EQ(stat("Niveaux/Niveau_.txt", &info), 0);
  EXPECT_NE(info.st_mode & S_IRGRP, 0u) << "a saved level is readable like any file";
}

TEST(Fichier, MissingFolderWritesNothingAndSaysWhy) {
  ScopedWorkDir dir;
  Record record;
  record.Place(25, 75);
  testing::internal::CaptureStderr();
  record.Save();
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("Niveaux/Niveau_.txt"), std::string::npos) << message;
  EXPECT_FALSE(FileExists("Niveaux"));
}

TEST(Fichier, SaveThatRunsOutOfRoomKeepsTheEarlierFileWhole) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  Record first;
  first.Place(25, 75);
  first.Save();
  Record second;
  for (int i = 0; i < 200; ++i) second.Place(i * 25 % 1000, i / 40 * 25);
  // A file size limit stands in for a full disk, for root too.
  struct rlimit saved = {};
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit tiny = saved;
  tiny.rlim_cur = 64;
  void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  testing::internal::CaptureStderr();
  second.Save();
  const std::string message = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_NE(message.find("Niveaux/Niveau_.txt"), std::string::npos) << message;
  EXPECT_EQ(ReadFile("Niveaux/Niveau_.txt"), "1\n25\t75\n");
  EXPECT_EQ(std::system("test $(ls -A Niveaux | wc -l) -eq 1"), 0) << "no temporary left behind";
}

TEST(Fichier, ASaveThroughALinkReachesTheLinkedLevelAndKeepsTheLink) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_5.txt", "1\n100\t100\n");
  ASSERT_EQ(symlink("Niveau_5.txt", "Niveaux/Niveau_.txt"), 0);
  Record record;
  record.Place(25, 75);
  record.Place(50, 75);
  record.Save();
  struct stat info = {};
  ASSERT_EQ(lstat("Niveaux/Niveau_.txt", &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFile("Niveaux/Niveau_5.txt"), "2\n25\t75\n50\t75\n");
  EXPECT_EQ(std::system("test $(ls -A Niveaux | wc -l) -eq 2"), 0) << "no temporary left behind";
}
