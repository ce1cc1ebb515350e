// The suites run on both SDL 1.2 libraries: a run meant for sdl12-compat must
// not quietly test the classic one, which a stray LD_LIBRARY_PATH would do.
#include <SDL.h>
#include <gtest/gtest.h>
#include <limits.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The SDL library file mapped into this process.
std::string LoadedSdl() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    const size_t path = line.find('/');
    if (path != std::string::npos && line.find("/libSDL-1.2.so", path) != std::string::npos)
      return line.substr(path);
  }
  return "";
}

// The file behind the folder's library: where the system's SDL 1.2 is
// sdl12-compat, the folder holds a link to it.
std::string RealFile(const std::string& path) {
  char real[PATH_MAX];
  return realpath(path.c_str(), real) ? real : path;
}

}  // namespace

// GLOUTO_SDL_DIR names the folder the run's library must come from.
TEST(SdlLibrary, TheRunHasTheLibraryItAsksFor) {
  const SDL_version* linked = SDL_Linked_Version();
  const std::string file = LoadedSdl();
  std::printf("SDL %d.%d.%d from %s\n", linked->major, linked->minor, linked->patch, file.c_str());
  const char* wanted = std::getenv("GLOUTO_SDL_DIR");
  if (wanted && *wanted) {
    EXPECT_EQ(file, RealFile(std::string(wanted) + "/libSDL-1.2.so.0"))
        << "not loaded from " << wanted;
    EXPECT_GE(static_cast<int>(linked->patch), 50)
        << "sdl12-compat counts from 1.2.50; the classic library is older";
  } else {
    // The library the headers were installed with.
    EXPECT_EQ(SDL_VERSIONNUM(linked->major, linked->minor, linked->patch),
              SDL_VERSIONNUM(SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL));
  }
}
