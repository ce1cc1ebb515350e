#ifndef GLOUTO_TESTS_SUPPORT_TEST_SUPPORT_H
#define GLOUTO_TESTS_SUPPORT_TEST_SUPPORT_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// A fresh temporary folder that is the working directory while it lives.
struct ScopedWorkDir {
  ScopedWorkDir();
  ~ScopedWorkDir();
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  const std::string& path() const { return path_; }
  std::string path_, previous_;
};

std::string AssetsDir();  // the shipped Images/, Police/, Musique/, Niveaux/
// Every shipped file under those four folders, sorted ("Images/Mur.png", ...).
std::vector<std::string> ShippedAssets();
// The asset folders here, each file linked, but for the levels: copies (edited in place) if
// `withLevels`, else none.
void LinkAssets(bool withLevels = false);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// A program's SDL_main run with SDL_VIDEODRIVER=`driver`: its status and its stderr.
int RunWithVideoDriver(const char* driver, int (*entry)(int, char**), std::string* errors);

// SDL with the dummy video driver, started for each test and shut after it.
class SdlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { SDL_Quit(); }
};

// Drops the focus, exposure and size events some SDL 1.2 libraries queue as a
// window opens, which a test counting its own events would take instead.
void DropWindowEvents();
SDL_Surface* TestWindow(int width, int height, Uint32 flags);  // with none of those queued

// Events for SDL_PushEvent; a pad's as SDL 1.2 sends them (these machines have none).
SDL_Event KeyDown(SDLKey key);
SDL_Event MouseMotion(int x, int y);
SDL_Event MouseButton(Uint8 type, int x, int y);  // SDL_MOUSEBUTTONDOWN or SDL_MOUSEBUTTONUP
SDL_Event QuitEvent();
SDL_Event PadButton(int pad, int button, bool down = true);
SDL_Event PadAxis(int pad, int axis, int value);
SDL_Event PadHat(int pad, Uint8 value);
void Push(const SDL_Event& event);
std::string WindowCaption();
// "m355,365 d217,100 u10,10 esc": m motion, d press, u release at x,y; b, B pad,button down,
// up; x pad,axis,value; h pad,hat; q a close; enter esc bksp kpenter del, or a key by its
// SDL name, `_` for a space: Up, F1, left_ctrl, g.
std::vector<SDL_Event> Events(const std::string& text);

struct Rgb {
  Uint8 r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
::std::ostream& operator<<(::std::ostream& os, const Rgb& c);
Rgb PixelAt(SDL_Surface* surface, int x, int y);  // black off the surface
// Every pixel's colour, row by row, without the byte of 32-bit pixels that
// holds no colour (each SDL 1.2 library fills it its own way).
std::vector<Rgb> Colours(SDL_Surface* surface);

#endif
