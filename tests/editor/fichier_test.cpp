#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "tests/editor/editor_fixture.h"

namespace {

// Slots as the editor keeps them: placed walls, -1 where one was taken away.
void Save(const std::vector<Wall>& slots) {
  std::vector<int> xs{-1}, ys{-1};
  int count = 0;
  for (const Wall& w : slots) {
    xs.push_back(w.x);
    ys.push_back(w.y);
    count += w.x != -1;
  }
  Fichier(xs.data(), ys.data(), static_cast<int>(xs.size()), count);
}

int FilesIn(const char* folder) {
  return std::system((std::string("exit $(ls -A ") + folder + " | wc -l)").c_str()) >> 8;
}

}  // namespace

TEST(Fichier, SavesInPlacementOrderReplacingTheOldFileWholeOrRemovingIt) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  struct Case {
    std::vector<Wall> slots;
    const char* bytes;
  };
  const Case cases[] = {
      {{{0, 0}, {-1, -1}, {575, 550}, {25, 0}}, "3\n0\t0\n575\t550\n25\t0\n"},
      {{{50, 75}}, "1\n50\t75\n"},
      {{{-1, -1}}, nullptr},  // an empty grid leaves no file
      {{{100, 100}}, "1\n100\t100\n"},
      {{}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slots.size());
    Save(c.slots);
    EXPECT_EQ(FileExists(kSavedLevelPath), c.bytes != nullptr);
    EXPECT_EQ(c.bytes ? ReadFile(kSavedLevelPath) : "", c.bytes ? c.bytes : "");
    EXPECT_EQ(FilesIn("Niveaux"), c.bytes ? 1 : 0) << "no temporary left behind";
  }
  Save({{25, 75}});
  struct stat info = {};
  ASSERT_EQ(stat(kSavedLevelPath, &info), 0);
  EXPECT_NE(info.st_mode & S_IRGRP, 0u) << "a saved level is readable like any file";
}

TEST(Fichier, AFailedSaveSaysWhyAndKeepsTheEarlierFileWhole) {
  ScopedWorkDir dir;
  testing::internal::CaptureStderr();
  Save({{25, 75}});  // no Niveaux folder
  EXPECT_NE(testing::internal::GetCapturedStderr().find(kSavedLevelPath), std::string::npos);
  EXPECT_FALSE(FileExists("Niveaux"));

  mkdir("Niveaux", 0755);
  Save({{25, 75}});
  std::vector<Wall> many;
  for (int i = 0; i < 200; ++i) many.push_back({i * 25 % 1000, i / 40 * 25});
  // A file size limit stands in for a full disk, for root too.
  struct rlimit saved = {};
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit tiny = saved;
  tiny.rlim_cur = 64;
  void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  testing::internal::CaptureStderr();
  Save(many);
  const std::string message = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_NE(message.find(kSavedLevelPath), std::string::npos) << message;
  EXPECT_EQ(ReadFile(kSavedLevelPath), "1\n25\t75\n");
  EXPECT_EQ(FilesIn("Niveaux"), 1) << "no temporary left behind";
}

TEST(Fichier, ASaveThroughALinkReachesTheLinkedLevelAndKeepsTheLink) {
  ScopedWorkDir dir;
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_5.txt", "1\n100\t100\n");
  ASSERT_EQ(symlink("Niveau_5.txt", kSavedLevelPath), 0);
  Save({{25, 75}, {50, 75}});
  struct stat info = {};
  ASSERT_EQ(lstat(kSavedLevelPath, &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadFile("Niveaux/Niveau_5.txt"), "2\n25\t75\n50\t75\n");
  EXPECT_EQ(FilesIn("Niveaux"), 2) << "no temporary left behind";
}
