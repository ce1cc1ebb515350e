#include "tests/support/approved.h"

#include <SDL_image.h>
#include <png.h>
#include <sys/stat.h>

#include <cstdlib>

namespace {

bool WritePng(const std::vector<Rgb>& pixels, int w, int h, const std::string& path) {
  static_assert(sizeof(Rgb) == 3, "three bytes a pixel, as libpng takes them");
  png_image image = {
      nullptr, PNG_IMAGE_VERSION, png_uint_32(w), png_uint_32(h), PNG_FORMAT_RGB, 0, 0, 0, {}};
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

// A pixel of the approved picture off by at most 8 per channel, on a colour edge.
bool Agrees(const std::vector<Rgb>& p, int w, int h, size_t i, const Rgb& c) {
  const Rgb& a = p[i];
  if (a == c) return true;
  if (std::abs(a.r - c.r) > 8 || std::abs(a.g - c.g) > 8 || std::abs(a.b - c.b) > 8) return false;
  for (int y = std::max(0, int(i / w) - 1); y <= std::min(h - 1, int(i / w) + 1); ++y)
    for (int x = std::max(0, int(i % w) - 1); x <= std::min(w - 1, int(i % w) + 1); ++x)
      if (!(p[size_t(y) * w + x] == a)) return true;
  return false;
}

}  // namespace

::testing::AssertionResult MatchesApproved(SDL_Surface* surface, const std::string& name) {
  const std::string path = GLOUTO_SOURCE_DIR "/tests/approved/" + name + ".png";
  const int w = surface->w, h = surface->h;
  const std::vector<Rgb> actual = Colours(surface);
  std::vector<Rgb> approved;
  if (SDL_Surface* file = IMG_Load(path.c_str())) {
    if (file->w == w && file->h == h) approved = Colours(file);
    SDL_FreeSurface(file);
  }
  // The difference picture: agreeing pixels faded, differing ones red.
  std::vector<Rgb> diff(actual.size(), Rgb{255, 0, 0});
  int differing = approved.empty() ? 1 : 0;
  for (size_t i = 0; i < approved.size(); ++i) {
    const Rgb& a = approved[i];
    if (Agrees(approved, w, h, i, actual[i]))
      diff[i] = Rgb{Uint8(191 + a.r / 4), Uint8(191 + a.g / 4), Uint8(191 + a.b / 4)};
    else
      ++differing;
  }
  // Only a picture that changed is written anew, so git shows what to look at.
  const char* approve = getenv("GLOUTO_APPROVE");
  if (differing == 0 || (approve && approve == std::string("1") && WritePng(actual, w, h, path)))
    return ::testing::AssertionSuccess();
  const std::string dir = GLOUTO_BINARY_DIR "/tests/approved-failures/" + name;
  mkdir(GLOUTO_BINARY_DIR "/tests/approved-failures", 0755);
  WritePng(actual, w, h, dir + ".actual.png");
  WritePng(diff, w, h, dir + ".diff.png");
  return ::testing::AssertionFailure()
         << (approved.empty() ? "no approved picture of this size, " + path
                              : std::to_string(differing) + " pixels differ from " + path)
         << "\n  actual: " << dir << ".actual.png\n  difference: " << dir << ".diff.png"
         << "\n  after looking, approve with GLOUTO_APPROVE=1 and the same test";
}
