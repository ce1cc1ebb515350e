#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/command_line.h"

// Each case: the arguments, what the program takes, and what is read; a zoom
// of 0 means the line is refused.
TEST(CommandLine, TakesWhatEachProgramAcceptsAndRefusesTheRest) {
  struct Case {
    std::vector<const char*> args;
    Accepts accepts;
    int zoom = 0, level = 0;
    const char* file = nullptr;
  };
  const Case cases[] = {
      {{}, Accepts::Level, 1, 1, nullptr},
      {{"--zoom=3", "--niveau", "12"}, Accepts::Level, 3, 12, nullptr},
      {{"--niveau=99", "--zoom", "2"}, Accepts::Level, 2, 99, nullptr},
      {{"Niveaux/Niveau_3.txt", "--zoom", "1"}, Accepts::File, 1, 1, "Niveaux/Niveau_3.txt"},
      {{"--zoom", "4"}, Accepts::Level},
      {{"--zoom", "0"}, Accepts::File},
      {{"--zoom", "2x"}, Accepts::Level},
      {{"--zoom"}, Accepts::Level},
      {{"--niveau", "0"}, Accepts::Level},
      {{"--niveau", "100"}, Accepts::Level},
      {{"--niveau", "3"}, Accepts::File},
      {{"level.txt"}, Accepts::Level},
      {{"a.txt", "b.txt"}, Accepts::File},
      {{"--zoomer"}, Accepts::File},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv{const_cast<char*>("program")};
    std::string said;
    for (const char* arg : c.args)
      argv.push_back(const_cast<char*>(arg)), said += std::string(arg) + " ";
    SCOPED_TRACE(said);
    CommandLine out;
    testing::internal::CaptureStderr();
    const bool ok = ReadCommandLine(static_cast<int>(argv.size()), argv.data(), "game", c.accepts,
                                    out);
    const std::string complaint = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ok, c.zoom != 0);
    if (ok) {
      EXPECT_TRUE(complaint.empty());
      EXPECT_EQ(out.zoom, c.zoom);
      EXPECT_EQ(out.level, c.level);
      EXPECT_STREQ(out.file, c.file);
    } else {  // one line, naming the program, for the player to read
      EXPECT_EQ(complaint.rfind("game : ", 0), 0u) << complaint;
      EXPECT_EQ(complaint.find('\n'), complaint.size() - 1) << complaint;
    }
  }
}
