#include "tests/support/approved.h"

#include <SDL_image.h>
#include <png.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

bool WritePng(const std::vector<Rgb>& pixels, int w, int h, const std::string& path) {
  std::vector<png_byte> rgb;
  for (const Rgb& c : pixels) rgb.insert(rgb.end(), {c.r, c.g, c.b});
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool FlatAround(const std::vector<Rgb>& p, int w, int h, int x, int y) {
  for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
    for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx)
      if (!(p[size_t(ny) * w + nx] == p[size_t(y) * w + x])) return false;
  return true;
}

bool Near(const Rgb& a, const Rgb& b) {
  return std::abs(a.r - b.r) <= kEdgeTolerance && std::abs(a.g - b.g) <= kEdgeTolerance &&
         std::abs(a.b - b.b) <= kEdgeTolerance;
}

}  // namespace

std::vector<SDL_Event> Script(const std::string& text) {
  static const std::map<std::string, SDLKey> keys = {
      {"enter", SDLK_RETURN}, {"esc", SDLK_ESCAPE},  {"bksp", SDLK_BACKSPACE},
      {"del", SDLK_DELETE},   {"space", SDLK_SPACE}, {"kpenter", SDLK_KP_ENTER},
      {"a", SDLK_a},          {"2", SDLK_2},         {"p", SDLK_p}};
  std::vector<SDL_Event> events;
  std::istringstream words(text);
  for (std::string w; words >> w;) {
    int a = 0, b = 0, c = 0;
    std::sscanf(w.c_str() + 1, "%d,%d,%d", &a, &b, &c);
    if (keys.count(w)) {
      events.push_back(KeyDown(keys.at(w)));
    } else if (w[0] == 'm') {
      events.push_back(MouseMotion(a, b));
    } else if (w[0] == 'd' || w[0] == 'u') {
      events.push_back(MouseButton(w[0] == 'd' ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, a, b));
    } else if (w[0] == 'b') {
      events.push_back(PadButton(a, b));
    } else if (w[0] == 'x') {
      events.push_back(PadAxis(a, b, c));
    } else {
      EXPECT_EQ(w, "q") << "in the script " << text;
      events.push_back(QuitEvent());
    }
  }
  return events;
}

::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name) {
  if (!surface) return ::testing::AssertionFailure() << "no picture to compare with " << name;
  const std::string approvedPath = GLOUTO_SOURCE_DIR "/tests/approved/" + name + ".png";
  const int w = surface->w, h = surface->h;
  const std::vector<Rgb> actual = Colours(surface);
  const char* approve = getenv("GLOUTO_APPROVE");
  if (approve && std::string(approve) == "1") {
    if (!WritePng(actual, w, h, approvedPath))
      return ::testing::AssertionFailure() << "could not write " << approvedPath;
    return ::testing::AssertionSuccess() << "approved " << approvedPath;
  }
  std::vector<Rgb> approved;
  SDL_Surface* file = IMG_Load(approvedPath.c_str());
  std::string fault;
  if (!file) {
    fault = "no approved picture " + approvedPath;
  } else if (file->w != w || file->h != h) {
    fault = "the approved picture is " + std::to_string(file->w) + " x " + std::to_string(file->h) +
            ", the screen " + std::to_string(w) + " x " + std::to_string(h);
  } else {
    approved = Colours(file);
  }
  SDL_FreeSurface(file);

  // The difference picture: agreeing pixels faded, differing ones red.
  std::vector<Rgb> diff(actual.size(), Rgb{255, 0, 0});
  int differing = 0;
  size_t first = 0;
  for (size_t i = 0; i < approved.size(); ++i) {
    const Rgb& a = approved[i];
    if (actual[i] == a || (Near(actual[i], a) && !FlatAround(approved, w, h, i % w, i / w)))
      diff[i] = Rgb{Uint8(191 + a.r / 4), Uint8(191 + a.g / 4), Uint8(191 + a.b / 4)};
    else if (differing++ == 0)
      first = i;
  }
  if (fault.empty() && differing == 0) return ::testing::AssertionSuccess();
  if (fault.empty())
    fault = std::to_string(differing) + " pixels differ from " + approvedPath + ", the first at (" +
            std::to_string(first % w) + ", " + std::to_string(first / w) + ")";

  const std::string dir = GLOUTO_BINARY_DIR "/tests/approved-failures/";
  mkdir(GLOUTO_BINARY_DIR "/tests", 0755);
  mkdir(dir.c_str(), 0755);
  WritePng(actual, w, h, dir + name + ".actual.png");
  if (!approved.empty()) WritePng(diff, w, h, dir + name + ".diff.png");
  return ::testing::AssertionFailure()
         << name << ": " << fault << "\n  actual: " << dir << name << ".actual.png"
         << (approved.empty() ? "" : "\n  difference: " + dir + name + ".diff.png")
         << "\n  after looking, approve with GLOUTO_APPROVE=1 and the same test";
}
