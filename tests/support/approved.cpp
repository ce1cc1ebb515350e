#include "tests/support/approved.h"

#include <SDL_image.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "tests/support/test_support.h"

namespace {

void PutBig32(std::string& out, uLong v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  PutBig32(png, data.size());
  const std::string body = type + data;
  png += body;
  PutBig32(png, crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size()));
}

// 8-bit RGB rows, each behind filter byte 0, deflated by zlib: every reader takes it.
bool WriteRgbPng(const std::vector<Rgb>& pixels, int w, int h, const std::string& path) {
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += '\0';
    for (int x = 0; x < w; ++x) {
      const Rgb& c = pixels[size_t(y) * w + x];
      raw += {char(c.r), char(c.g), char(c.b)};
    }
  }
  uLongf size = compressBound(raw.size());
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &size,
                reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 9) != Z_OK)
    return false;
  packed.resize(size);
  std::string header;
  PutBig32(header, w);
  PutBig32(header, h);
  header += {8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, no filter choice, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  WriteFile(path, png);
  return FileExists(path);
}

bool FlatAround(const std::vector<Rgb>& p, int w, int h, int x, int y) {
  const Rgb& c = p[size_t(y) * w + x];
  for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
    for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx)
      if (!(p[size_t(ny) * w + nx] == c)) return false;
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

bool WritePng(SDL_Surface* surface, const std::string& path) {
  return surface && WriteRgbPng(Colours(surface), surface->w, surface->h, path);
}

::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name) {
  if (!surface) return ::testing::AssertionFailure() << "no picture to compare with " << name;
  const std::string approvedPath = std::string(GLOUTO_SOURCE_DIR) + "/tests/approved/" + name +
                                   ".png";
  const char* approve = getenv("GLOUTO_APPROVE");
  if (approve && std::string(approve) == "1") {
    if (!WritePng(surface, approvedPath))
      return ::testing::AssertionFailure() << "could not write " << approvedPath;
    return ::testing::AssertionSuccess() << "approved " << approvedPath;
  }
  const int w = surface->w, h = surface->h;
  const std::vector<Rgb> actual = Colours(surface);
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
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < h && !approved.empty(); ++y) {
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * w + x;
      const Rgb& a = approved[i];
      const bool same = actual[i] == a || (Near(actual[i], a) && !FlatAround(approved, w, h, x, y));
      if (same) {
        diff[i] = Rgb{Uint8(191 + a.r / 4), Uint8(191 + a.g / 4), Uint8(191 + a.b / 4)};
      } else if (differing++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (fault.empty() && differing == 0) return ::testing::AssertionSuccess();
  if (fault.empty())
    fault = std::to_string(differing) + " pixels differ from " + approvedPath + ", the first at (" +
            std::to_string(firstX) + ", " + std::to_string(firstY) + ")";

  const std::string dir = std::string(GLOUTO_BINARY_DIR) + "/tests/approved-failures";
  mkdir((std::string(GLOUTO_BINARY_DIR) + "/tests").c_str(), 0755);
  mkdir(dir.c_str(), 0755);
  const std::string actualPath = dir + "/" + name + ".actual.png";
  const std::string diffPath = dir + "/" + name + ".diff.png";
  WriteRgbPng(actual, w, h, actualPath);
  if (!approved.empty()) WriteRgbPng(diff, w, h, diffPath);
  return ::testing::AssertionFailure()
         << name << ": " << fault << "\n  actual: " << actualPath
         << (approved.empty() ? "" : "\n  difference: " + diffPath)
         << "\n  after looking, approve with GLOUTO_APPROVE=1 and the same test";
}
