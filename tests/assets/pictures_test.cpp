// The pictures under Images/: the sizes the screens' layouts and click areas
// rely on, and the form the white colour key needs.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

constexpr Rgb kKey{255, 255, 255};

bool Light(Rgb c) { return c.r >= 235 && c.g >= 235 && c.b >= 235; }

class Pictures : public SdlTest {};

}  // namespace

TEST_F(Pictures, EachPictureHasItsSizeKeyAndEdges) {
  std::vector<std::string> sprites;
  for (const char* actor : {"Glouto", "Ennemi"})
    for (const char* phase : {"", "2", "3", "4", "2.1", "2.2", "2.3", "2.4"})
      sprites.push_back(std::string(actor) + phase + ".png");
  enum Kind { kSprite, kKeyed, kWall, kCell, kOnWhite, kOnBlack };
  // Click areas (Readme, the partners' logos) are exactly their pictures; the
  // title ends above "Niveau", the end pictures above the score line, the
  // instructions above the Readme button.
  struct Case {
    std::string name;
    int w, minH, maxH;
    Kind kind;
  };
  std::vector<Case> cases = {{"Mur.png", 25, 25, 25, kWall},
                             {"blanc.png", 25, 25, 25, kCell},
                             {"coffre.png", 20, 20, 20, kSprite},
                             {"gloutofond.jpg", 120, 90, 125, kOnWhite},
                             {"ModeEmploi.png", 600, 300, 445, kKeyed},
                             {"Readme.png", 218, 73, 73, kKeyed},
                             {"Imagegagne.png", 100, 60, 90, kOnBlack},
                             {"Imageperd.png", 100, 60, 90, kOnBlack},
                             {"Tavernique.png", 365, 100, 100, kOnWhite},
                             {"Tilo.png", 448, 96, 96, kOnWhite}};
  for (const std::string& s : sprites) cases.push_back({s, 50, 50, 50, kSprite});
  std::vector<std::vector<Rgb>> seen;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SDL_Surface* p = IMG_Load((AssetsDir() + "/Images/" + c.name).c_str());
    ASSERT_NE(p, nullptr) << IMG_GetError();
    EXPECT_EQ(p->w, c.w);
    EXPECT_TRUE(p->h >= c.minH && p->h <= c.maxH) << p->h;
    // With an alpha channel SDL 1.2 blends per pixel and ignores the key.
    EXPECT_TRUE(c.kind > kCell || p->format->Amask == 0u);
    const Rgb corners[] = {PixelAt(p, 0, 0), PixelAt(p, p->w - 1, p->h - 1)};
    int clear = 0, fringe = 0;
    for (int y = 0; y < p->h; ++y)
      for (int x = 0; x < p->w; ++x) {
        const Rgb here = PixelAt(p, x, y);
        clear += here == kKey;
        // A near-white pixel beside a see-through one shows as a pale rim over walls.
        if (!Light(here) || here == kKey) continue;
        for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
          if (x + dx >= 0 && y + dy >= 0 && x + dx < p->w && y + dy < p->h &&
              PixelAt(p, x + dx, y + dy) == kKey) {
            ++fringe;
            break;
          }
      }
    switch (c.kind) {
      case kSprite:
        EXPECT_FALSE(PixelAt(p, p->w / 2, p->h / 2) == kKey) << "hollow";
        EXPECT_TRUE(clear > p->w * p->h / 10 && clear < p->w * p->h * 6 / 10) << clear;
        EXPECT_EQ(fringe, 0);
        seen.push_back(Colours(p));
        [[fallthrough]];
      case kKeyed: EXPECT_TRUE(corners[0] == kKey && corners[1] == kKey); break;
      case kWall: EXPECT_EQ(clear, 0) << "a hole under the key"; break;
      case kCell:  // drawn unkeyed over a removed wall: white with a faint grid edge
        EXPECT_EQ(PixelAt(p, 12, 12), kKey);
        EXPECT_FALSE(PixelAt(p, 24, 12) == kKey);
        EXPECT_GE(PixelAt(p, 24, 12).r, 180);
        break;
      case kOnWhite: EXPECT_TRUE(Light(corners[0])) << corners[0]; break;
      case kOnBlack:
        for (Rgb c : corners) EXPECT_LE(c.r + c.g + c.b, 60) << c;
        break;
    }
    SDL_FreeSurface(p);
  }
  // Two phases alike would not animate, two directions alike not show the way.
  for (size_t i = 0; i < seen.size(); ++i)
    for (size_t j = i + 1; j < seen.size(); ++j) EXPECT_FALSE(seen[i] == seen[j]) << i << " " << j;
}
