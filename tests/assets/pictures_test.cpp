// The pictures under Images/: sizes that the screens' layouts and click areas
// rely on, and the form that the white colour key needs.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

constexpr Rgb kSeeThrough{255, 255, 255};

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Picture = std::unique_ptr<SDL_Surface, SurfaceFree>;

Picture Load(const std::string& name) {
  return Picture(IMG_Load((AssetsDir() + "/Images/" + name).c_str()));
}

const std::vector<std::string>& Sprites() {
  static const std::vector<std::string> names = {
      "Glouto.png",    "Glouto2.png",   "Glouto3.png",   "Glouto4.png",
      "Glouto2.1.png", "Glouto2.2.png", "Glouto2.3.png", "Glouto2.4.png",
      "Ennemi.png",    "Ennemi2.png",   "Ennemi3.png",   "Ennemi4.png",
      "Ennemi2.1.png", "Ennemi2.2.png", "Ennemi2.3.png", "Ennemi2.4.png"};
  return names;
}

// Pictures the game draws with white as the transparent colour.
std::vector<std::string> KeyedPictures() {
  std::vector<std::string> names = Sprites();
  for (const char* n : {"Mur.png", "coffre.png", "ModeEmploi.png", "Readme.png"})
    names.push_back(n);
  return names;
}

bool NearWhite(const Rgb& c) {
  return c.r >= 235 && c.g >= 235 && c.b >= 235 && !(c == kSeeThrough);
}

int CountPixels(SDL_Surface* s, const Rgb& colour) {
  int n = 0;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) n += PixelAt(s, x, y) == colour;
  return n;
}

bool SamePixels(SDL_Surface* a, SDL_Surface* b) {
  if (a->w != b->w || a->h != b->h) return false;
  for (int y = 0; y < a->h; ++y)
    for (int x = 0; x < a->w; ++x)
      if (!(PixelAt(a, x, y) == PixelAt(b, x, y))) return false;
  return true;
}

class Pictures : public SdlTest {};

}  // namespace

TEST_F(Pictures, EveryPictureHasTheSizeItsPlaceNeeds) {
  struct Case {
    const char* name;
    int w, minH, maxH;  // exact width, height range
  };
  // Click areas (Readme button, partner logos) are exactly these sizes; the
  // title picture is centred at cx - 60 and must end above "Niveau" (cy - 30);
  // the end pictures are centred at cx - 50 above the score line 90 pixels
  // below their top; the instructions stop above the Readme button.
  const std::vector<Case> cases = {
      {"Mur.png", 25, 25, 25},           {"blanc.png", 25, 25, 25},
      {"coffre.png", 20, 20, 20},        {"gloutofond.jpg", 120, 90, 125},
      {"ModeEmploi.png", 600, 300, 445}, {"Readme.png", 218, 73, 73},
      {"Imagegagne.png", 100, 60, 90},   {"Imageperd.png", 100, 60, 90},
      {"Tavernique.png", 365, 100, 100}, {"Tilo.png", 448, 96, 96},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Picture p = Load(c.name);
    ASSERT_TRUE(p) << IMG_GetError();
    EXPECT_EQ(p->w, c.w);
    EXPECT_GE(p->h, c.minH);
    EXPECT_LE(p->h, c.maxH);
  }
  for (const std::string& name : Sprites()) {
    SCOPED_TRACE(name);
    Picture p = Load(name);
    ASSERT_TRUE(p) << IMG_GetError();
    EXPECT_EQ(p->w, 50);
    EXPECT_EQ(p->h, 50);
  }
}

TEST_F(Pictures, KeyedPicturesHaveNoAlphaAndClearCorners) {
  // With an alpha channel SDL 1.2 blends per pixel and ignores the colour key.
  for (const std::string& name : KeyedPictures()) {
    SCOPED_TRACE(name);
    Picture p = Load(name);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->format->Amask, 0u);
    if (name == "Mur.png") continue;  // a solid tile, checked below
    for (auto [x, y] : {std::pair{0, 0}, {p->w - 1, 0}, {0, p->h - 1}, {p->w - 1, p->h - 1}})
      EXPECT_EQ(PixelAt(p.get(), x, y), kSeeThrough) << "corner " << x << "," << y;
  }
}

TEST_F(Pictures, SpritesShowNoWhiteFringeAndAreSolidInside) {
  // A near-white pixel next to a see-through one is an anti-aliasing halo: it
  // shows as a pale rim wherever the sprite passes over a wall.
  std::vector<std::string> names = Sprites();
  names.push_back("coffre.png");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Picture p = Load(name);
    ASSERT_TRUE(p);
    EXPECT_FALSE(PixelAt(p.get(), p->w / 2, p->h / 2) == kSeeThrough);
    const int clear = CountPixels(p.get(), kSeeThrough);
    EXPECT_GT(clear, p->w * p->h / 10);
    EXPECT_LT(clear, p->w * p->h * 6 / 10);
    int fringe = 0;
    for (int y = 0; y < p->h; ++y)
      for (int x = 0; x < p->w; ++x) {
        if (!NearWhite(PixelAt(p.get(), x, y))) continue;
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < p->w && ny < p->h &&
              PixelAt(p.get(), nx, ny) == kSeeThrough) {
            ++fringe;
            break;
          }
        }
      }
    EXPECT_EQ(fringe, 0);
  }
}

TEST_F(Pictures, EveryDirectionAndPhaseIsItsOwnPicture) {
  // Two phases that were the same picture would not animate; two directions
  // that were the same would not show where an actor goes.
  const auto& names = Sprites();
  std::vector<Picture> all;
  for (const std::string& name : names) all.push_back(Load(name));
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = i + 1; j < all.size(); ++j) {
      ASSERT_TRUE(all[i] && all[j]);
      EXPECT_FALSE(SamePixels(all[i].get(), all[j].get())) << names[i] << " = " << names[j];
    }
}

TEST_F(Pictures, WallTileIsSolidAndTheEmptyCellShowsTheGrid) {
  Picture wall = Load("Mur.png");
  ASSERT_TRUE(wall);
  // A white pixel in the wall would be a hole under the key.
  EXPECT_EQ(CountPixels(wall.get(), kSeeThrough), 0);

  // The editor blits the empty cell without a key over a removed wall, so it
  // covers its whole cell; a faint edge keeps the grid visible.
  Picture cell = Load("blanc.png");
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->format->Amask, 0u);
  EXPECT_EQ(PixelAt(cell.get(), 12, 12), kSeeThrough);
  const Rgb edge = PixelAt(cell.get(), 24, 12);
  EXPECT_FALSE(edge == kSeeThrough);
  EXPECT_GE(edge.r, 180);
  EXPECT_GE(edge.g, 180);
  EXPECT_GE(edge.b, 180);
}

TEST_F(Pictures, ScreenPicturesBlendWithTheirPage) {
  // Drawn without a key: the title picture and the logos sit on a white page,
  // the end pictures on a black one; their corners match the page.
  for (const char* name : {"gloutofond.jpg", "Tavernique.png", "Tilo.png"}) {
    SCOPED_TRACE(name);
    Picture p = Load(name);
    ASSERT_TRUE(p);
    const Rgb c = PixelAt(p.get(), 0, 0);
    EXPECT_GE(c.r, 235);
    EXPECT_GE(c.g, 235);
    EXPECT_GE(c.b, 235);
  }
  for (const char* name : {"Imagegagne.png", "Imageperd.png"}) {
    SCOPED_TRACE(name);
    Picture p = Load(name);
    ASSERT_TRUE(p);
    for (auto [x, y] : {std::pair{0, 0}, {p->w - 1, p->h - 1}}) {
      const Rgb c = PixelAt(p.get(), x, y);
      EXPECT_LE(c.r + c.g + c.b, 60) << c;
    }
  }
}
