#include "tests/support/test_support.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string CurrentDir() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

void RemoveTree(const std::string& path) {
  const std::string command = "rm -rf '" + path + "'";
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

}  // namespace

ScopedWorkDir::ScopedWorkDir() : previous_(CurrentDir()) {
  char pattern[] = "/tmp/glouto-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (!made) ADD_FAILURE() << "mkdtemp failed";
  path_ = made ? made : "/tmp";
  if (chdir(path_.c_str()) != 0) ADD_FAILURE() << "chdir " << path_;
}

ScopedWorkDir::~ScopedWorkDir() {
  if (chdir(previous_.c_str()) != 0) std::fprintf(stderr, "chdir back failed\n");
  RemoveTree(path_);
}

std::string AssetsDir() { return GLOUTO_ASSETS_DIR; }

void LinkAssets(bool withLevels) {
  for (const char* folder : {"Images", "Police", "Musique"}) {
    const std::string target = AssetsDir() + "/" + folder;
    if (symlink(target.c_str(), folder) != 0) ADD_FAILURE() << "symlink " << folder;
  }
  mkdir("Niveaux", 0755);
  if (withLevels) {
    const std::string command = "cp " + AssetsDir() + "/Niveaux/*.txt Niveaux/ 2>/dev/null";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "no shipped levels to copy";
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
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
  if (previous)
    setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_VIDEODRIVER");
  return status;
}

void SdlTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
}

void SdlTest::TearDown() { SDL_Quit(); }

void DropWindowEvents() {
  SDL_PumpEvents();
  constexpr Uint32 kWindowOwn = SDL_ACTIVEEVENTMASK | SDL_VIDEOEXPOSEMASK | SDL_VIDEORESIZEMASK;
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, kWindowOwn) > 0) {
  }
}

SDL_Surface* TestWindow(int width, int height, Uint32 flags) {
  SDL_Surface* window = SDL_SetVideoMode(width, height, 32, flags);
  DropWindowEvents();
  return window;
}

SDL_Event KeyDown(SDLKey key) {
  SDL_Event e{};
  e.key = {SDL_KEYDOWN, 0, SDL_PRESSED, {0, key, KMOD_NONE, 0}};
  return e;
}

SDL_Event MouseMotion(int x, int y) {
  SDL_Event e{};
  e.motion = {SDL_MOUSEMOTION, 0, 0, Uint16(x), Uint16(y), 0, 0};
  return e;
}

SDL_Event MouseButton(Uint8 type, int x, int y) {
  SDL_Event e{};
  e.button = {type, 0, SDL_BUTTON_LEFT, Uint8(type == SDL_MOUSEBUTTONDOWN), Uint16(x), Uint16(y)};
  return e;
}

SDL_Event QuitEvent() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  return e;
}

SDL_Event PadButton(int pad, int button, bool down) {
  SDL_Event e{};
  e.jbutton = {Uint8(down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP), Uint8(pad), Uint8(button), down};
  return e;
}

SDL_Event PadAxis(int pad, int axis, int value) {
  SDL_Event e{};
  e.jaxis = {SDL_JOYAXISMOTION, Uint8(pad), Uint8(axis), Sint16(value)};
  return e;
}

SDL_Event PadHat(int pad, Uint8 value) {
  SDL_Event e{};
  e.jhat = {SDL_JOYHATMOTION, Uint8(pad), 0, value};
  return e;
}

void Push(const SDL_Event& event) {
  SDL_Event copy = event;
  ASSERT_EQ(SDL_PushEvent(&copy), 0);
}

Rgb PixelAt(SDL_Surface* surface, int x, int y) {
  Rgb c{0, 0, 0};
  if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return c;
  SDL_LockSurface(surface);
  const int bpp = surface->format->BytesPerPixel;
  const Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
  Uint32 value = 0;
  switch (bpp) {
    case 1: value = *p; break;
    case 2: value = *reinterpret_cast<const Uint16*>(p); break;
    case 3: value = p[0] | (p[1] << 8) | (p[2] << 16); break;
    default: value = *reinterpret_cast<const Uint32*>(p); break;
  }
  SDL_UnlockSurface(surface);
  SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
  return c;
}

std::vector<Rgb> Colours(SDL_Surface* surface) {
  std::vector<Rgb> colours;
  if (surface->format->BytesPerPixel != 4) {
    for (int y = 0; y < surface->h; ++y)
      for (int x = 0; x < surface->w; ++x) colours.push_back(PixelAt(surface, x, y));
    return colours;
  }
  // Windows are 32-bit; pixel by pixel, whole windows crawl under ASan.
  colours.resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
  Rgb* out = colours.data();
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                                      static_cast<size_t>(y) * surface->pitch);
    for (int x = 0; x < surface->w; ++x, ++out)
      SDL_GetRGB(row[x], surface->format, &out->r, &out->g, &out->b);
  }
  SDL_UnlockSurface(surface);
  return colours;
}

::std::ostream& operator<<(::std::ostream& os, const Rgb& c) {
  return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}
