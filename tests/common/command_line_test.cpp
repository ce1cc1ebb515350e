#include <gtest/gtest.h>

#include <vector>

#include "common/command_line.h"

namespace {

struct Case {
  std::vector<const char*> args;  // after the program name
  Accepts accepts;
  bool ok;
  int zoom, level;
  const char* file;
};

}  // namespace

TEST(CommandLine, TakesWhatEachProgramAcceptsAndRefusesTheRest) {
  const Case cases[] = {
      {{}, Accepts::Level, true, 1, 1, nullptr},
      {{"--zoom", "2"}, Accepts::Level, true, 2, 1, nullptr},
      {{"--zoom=3", "--niveau", "12"}, Accepts::Level, true, 3, 12, nullptr},
      {{"--niveau=99"}, Accepts::Level, true, 1, 99, nullptr},
      {{"Niveaux/Niveau_3.txt", "--zoom", "1"}, Accepts::File, true, 1, 1, "Niveaux/Niveau_3.txt"},
      {{"--zoom", "4"}, Accepts::Level, false, 0, 0, nullptr},
      {{"--zoom", "0"}, Accepts::File, false, 0, 0, nullptr},
      {{"--zoom", "2x"}, Accepts::Level, false, 0, 0, nullptr},
      {{"--zoom"}, Accepts::Level, false, 0, 0, nullptr},
      {{"--niveau", "0"}, Accepts::Level, false, 0, 0, nullptr},
      {{"--niveau", "100"}, Accepts::Level, false, 0, 0, nullptr},
      {{"--niveau", "3"}, Accepts::File, false, 0, 0, nullptr},
      {{"level.txt"}, Accepts::Level, false, 0, 0, nullptr},
      {{"a.txt", "b.txt"}, Accepts::File, false, 0, 0, nullptr},
      {{"--zoomer"}, Accepts::File, false, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("program")};
    for (const char* arg : c.args) argv.push_back(const_cast<char*>(arg));
    std::string said;
    for (const char* arg : c.args) said += std::string(arg) + " ";
    SCOPED_TRACE(said);
    CommandLine out;
    testing::internal::CaptureStderr();
    const bool ok = ReadCommandLine(static_cast<int>(argv.size()), argv.data(), "game", c.accepts, out);
    const std::string complaint = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, c.ok);
    if (!ok) {
      // One line, naming the program, for the player to read.
      EXPECT_EQ(complaint.rfind("game: ", 0), 0u) << complaint;
      EXPECT_EQ(complaint.find('\n'), complaint.size() - 1) << complaint;
      continue;
    }
    EXPECT_TRUE(complaint.empty());
    EXPECT_EQ(out.zoom, c.zoom);
    EXPECT_EQ(out.level, c.level);
    EXPECT_STREQ(out.file, c.file);
  }
}
