// The suites run on both SDL 1.2 libraries: a run meant for sdl12-compat must
// not quietly test the classic one, which a stray LD_LIBRARY_PATH would do.
#include <SDL.h>
#include <gtest/gtest.h>
#include <limits.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// GLOUTO_SDL_DIR names the folder the run's library must come from.
TEST(SdlLibrary, TheRunHasTheLibraryItAsksFor) {
  const SDL_version* linked = SDL_Linked_Version();
  std::ifstream maps("/proc/self/maps");
  std::string line, loaded;
  while (loaded.empty() && std::getline(maps, line))
    if (line.find("/libSDL-1.2.so") != std::string::npos) loaded = line.substr(line.find('/'));
  std::printf("SDL %d.%d.%d from %s\n", linked->major, linked->minor, linked->patch,
              loaded.c_str());
  const char* wanted = std::getenv("GLOUTO_SDL_DIR");
  if (wanted && *wanted) {
    // Where the system's SDL 1.2 is sdl12-compat, the folder holds a link to it.
    char real[PATH_MAX];
    const std::string file = std::string(wanted) + "/libSDL-1.2.so.0";
    EXPECT_EQ(loaded, realpath(file.c_str(), real) ? real : file) << "not loaded from " << wanted;
    EXPECT_GE(linked->patch, 50) << "sdl12-compat counts from 1.2.50; the classic library is older";
  } else {  // the library the headers were installed with
    EXPECT_EQ(SDL_VERSIONNUM(linked->major, linked->minor, linked->patch),
              SDL_VERSIONNUM(SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL));
  }
}
