#include "tests/support/test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir() : previous_(fs::current_path()) {
  char pattern[] = "/tmp/glouto-test-XXXXXX";
  path_ = mkdtemp(pattern) ? pattern : "";  // none: nothing to remove afterwards
  if (path_.empty() || chdir(path_.c_str()) != 0) ADD_FAILURE() << "no working folder " << path_;
}

ScopedWorkDir::~ScopedWorkDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

std::string AssetsDir() { return GLOUTO_ASSETS_DIR; }

std::vector<std::string> ShippedAssets() {
  std::vector<std::string> paths;
  for (const char* folder : {"Images", "Police", "Musique", "Niveaux"}) {
    for (const auto& entry : fs::directory_iterator(AssetsDir() + "/" + folder)) {
      const std::string name = entry.path().filename();
      if (name.rfind("LICENSE", 0) != 0) paths.push_back(folder + ("/" + name));
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void LinkAssets(bool withLevels) {
  for (const std::string& shipped : ShippedAssets()) {
    const std::string source = AssetsDir() + "/" + shipped;
    fs::create_directory(shipped.substr(0, shipped.find('/')));
    if (shipped.rfind("Niveaux/", 0) != 0)
      fs::create_symlink(source, shipped);
    else if (withLevels)
      fs::copy_file(source, shipped);
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ostringstream content;
  content << std::ifstream(path, std::ios::binary).rdbuf();
  return content.str();
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

int RunWithVideoDriver(const char* driver, int (*entry)(int, char**), std::string* errors) {
  const char* previous = getenv("SDL_VIDEODRIVER");
  const std::string saved = previous ? previous : "";
  setenv("SDL_VIDEODRIVER", driver, 1);
  testing::internal::CaptureStderr();
  const int status = entry(0, nullptr);
  *errors = testing::internal::GetCapturedStderr();
  previous ? setenv("SDL_VIDEODRIVER", saved.c_str(), 1) : unsetenv("SDL_VIDEODRIVER");
  return status;
}

void SdlTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
}

void DropWindowEvents() {
  SDL_PumpEvents();
  const Uint32 mask = SDL_ACTIVEEVENTMASK | SDL_VIDEOEXPOSEMASK | SDL_VIDEORESIZEMASK;
  for (SDL_Event e; SDL_PeepEvents(&e, 1, SDL_GETEVENT, mask) > 0;) {
  }
}

SDL_Surface* TestWindow(int width, int height, Uint32 flags) {
  SDL_Surface* window = SDL_SetVideoMode(width, height, 32, flags);
  DropWindowEvents();
  return window;
}

// An event of SDL_Event's `part`, its fields in order.
#define EVENT(part, ...)  \
  SDL_Event e{};          \
  e.part = {__VA_ARGS__}; \
  return e

SDL_Event KeyDown(SDLKey key) { EVENT(key, SDL_KEYDOWN, 0, SDL_PRESSED, {0, key, KMOD_NONE, 0}); }
SDL_Event MouseMotion(int x, int y) {
  EVENT(motion, SDL_MOUSEMOTION, 0, 0, Uint16(x), Uint16(y), 0, 0);
}
SDL_Event MouseButton(Uint8 type, int x, int y) {
  EVENT(button, type, 0, SDL_BUTTON_LEFT, type == SDL_MOUSEBUTTONDOWN, Uint16(x), Uint16(y));
}
SDL_Event QuitEvent() { EVENT(quit, SDL_QUIT); }
SDL_Event PadButton(int pad, int button, bool down) {
  EVENT(jbutton, Uint8(down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP), Uint8(pad), Uint8(button),
        down);
}
SDL_Event PadAxis(int pad, int axis, int value) {
  EVENT(jaxis, SDL_JOYAXISMOTION, Uint8(pad), Uint8(axis), Sint16(value));
}
SDL_Event PadHat(int pad, Uint8 value) { EVENT(jhat, SDL_JOYHATMOTION, Uint8(pad), 0, value); }
#undef EVENT

void Push(const SDL_Event& event) {
  SDL_Event copy = event;
  ASSERT_EQ(SDL_PushEvent(&copy), 0);
}

std::string WindowCaption() {
  char* title = nullptr;
  SDL_WM_GetCaption(&title, nullptr);
  return title ? title : "";
}

static SDL_Event KeyNamed(std::string name) {
  static const std::map<std::string, SDLKey> kShort = {{"enter", SDLK_RETURN},
                                                       {"esc", SDLK_ESCAPE},
                                                       {"bksp", SDLK_BACKSPACE},
                                                       {"kpenter", SDLK_KP_ENTER},
                                                       {"del", SDLK_DELETE}};
  if (kShort.count(name)) return KeyDown(kShort.at(name));
  for (char& c : name) c = c == '_' ? ' ' : static_cast<char>(std::tolower(c));
  for (int k = 0; k < SDLK_LAST; ++k)
    if (name == SDL_GetKeyName(static_cast<SDLKey>(k))) return KeyDown(static_cast<SDLKey>(k));
  EXPECT_EQ(name.size(), 1u) << "no key " << name;
  return KeyDown(static_cast<SDLKey>(name.at(0)));  // sdl12-compat names ; otherwise
}

std::vector<SDL_Event> Events(const std::string& text) {
  std::vector<SDL_Event> events;
  std::istringstream words(text);
  for (std::string w; words >> w;) {
    int a = 0, b = 0, c = 0;
    const bool at = w.size() > 1 && std::isdigit(w[1]) && std::strchr("mduBbxh", w[0]);
    std::sscanf(w.c_str() + 1, "%d,%d,%d", &a, &b, &c);
    const Uint8 button = w[0] == 'd' ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    events.push_back(!at                          ? (w == "q" ? QuitEvent() : KeyNamed(w))
                     : w[0] == 'm'                ? MouseMotion(a, b)
                     : w[0] == 'd' || w[0] == 'u' ? MouseButton(button, a, b)
                     : w[0] == 'x'                ? PadAxis(a, b, c)
                     : w[0] == 'h'                ? PadHat(a, Uint8(b))
                                                  : PadButton(a, b, w[0] == 'b'));
  }
  return events;
}

::std::ostream& operator<<(::std::ostream& os, const Rgb& c) {
  return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

// A pixel's colour, the surface locked (sdl12-compat redraws its screen at each unlock).
static Rgb ColourAt(SDL_Surface* s, int x, int y) {
  const int bpp = s->format->BytesPerPixel;
  const Uint8* p = static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch + x * bpp;
  Uint32 value = 0;  // little-endian, as SDL lays out 24-bit pixels here
  for (int i = bpp; i-- > 0;) value = value << 8 | p[i];
  Rgb c;
  SDL_GetRGB(value, s->format, &c.r, &c.g, &c.b);
  return c;
}

Rgb PixelAt(SDL_Surface* surface, int x, int y) {
  if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return {0, 0, 0};
  SDL_LockSurface(surface);
  const Rgb c = ColourAt(surface, x, y);
  SDL_UnlockSurface(surface);
  return c;
}

std::vector<Rgb> Colours(SDL_Surface* surface) {
  std::vector<Rgb> colours;
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; ++y)
    for (int x = 0; x < surface->w; ++x) colours.push_back(ColourAt(surface, x, y));
  SDL_UnlockSurface(surface);
  return colours;
}
