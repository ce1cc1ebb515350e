// The maze is drawn from pictures decoded once and copied, through copies in
// the window's format: what lands on the screen, in the tables and in the
// rectangles must be what IMG_Load and SDL_UpperBlit alone would give.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "tests/common/surface_compare.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kWidth = 1000, kHeight = 600;
constexpr int kWalls = 1000, kChests = 300, kEnemies = 5;

constexpr std::array<const char*, 17> kSprites = {
    "Images/Glouto.png",    "Images/Glouto2.png",   "Images/Glouto3.png",   "Images/Glouto4.png",
    "Images/Glouto2.1.png", "Images/Glouto2.2.png", "Images/Glouto2.3.png", "Images/Glouto2.4.png",
    "Images/Ennemi.png",    "Images/Ennemi2.png",   "Images/Ennemi3.png",   "Images/Ennemi4.png",
    "Images/Ennemi2.1.png", "Images/Ennemi2.2.png", "Images/Ennemi2.3.png", "Images/Ennemi2.4.png",
    "Images/Mur.png"};

// The game's tables at their limits. Positions reach past every edge, so
// clipping and the rectangles written back are part of what is compared.
struct Tables {
  std::vector<SDL_Rect> walls, chests, enemies;
  std::vector<SDL_Surface*> wallImages, chestImages, enemyImages;
  SDL_Rect hero{};
  SDL_Surface* heroImage = nullptr;

  Tables()
      : walls(kWalls),
        chests(kChests),
        enemies(kEnemies),
        wallImages(kWalls),
        chestImages(kChests),
        enemyImages(kEnemies) {
    std::srand(5);
    const auto spot = [](int low, int high) {
      return static_cast<Sint16>(low + std::rand() % (high - low));
    };
    for (SDL_Rect& r : walls) r = {spot(-40, kWidth + 10), spot(-40, kHeight + 10), 0, 0};
    for (SDL_Rect& r : chests) r = {spot(-30, kWidth), spot(-30, kHeight), 0, 0};
    for (SDL_Rect& r : enemies) r = {spot(-60, kWidth), spot(-60, kHeight), 0, 0};
    hero = {-12, 580, 0, 0};
  }
  ~Tables() {
    for (auto* table : {&wallImages, &chestImages, &enemyImages})
      for (SDL_Surface* s : *table) SDL_FreeSurface(s);
    SDL_FreeSurface(heroImage);
  }

  void Draw(SDL_Surface* screen) {
    Dessin(screen, wallImages.data(), walls.data(), kWalls);
    Dessin(screen, chestImages.data(), chests.data(), kChests);
    Dessin(screen, &heroImage, &hero, 1);
    Dessin(screen, enemyImages.data(), enemies.data(), kEnemies);
  }
};

// The frame as plain SDL draws it: every picture from IMG_Load, keyed on
// white, blitted with its table entry as the destination rectangle.
void DrawWithSdlAlone(SDL_Surface* screen, std::vector<SDL_Surface*>& images,
                      std::vector<SDL_Rect>& rects) {
  for (size_t i = 0; i < images.size(); ++i) {
    SDL_SetColorKey(images[i], SDL_SRCCOLORKEY, SDL_MapRGB(images[i]->format, 255, 255, 255));
    SDL_UpperBlit(images[i], nullptr, screen, &rects[i]);
  }
}

void ExpectSameRects(const std::vector<SDL_Rect>& want, const std::vector<SDL_Rect>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
    EXPECT_EQ(got[i].w, want[i].w);
    EXPECT_EQ(got[i].h, want[i].h);
  }
}

class DrawingPixels : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    LinkAssets();
  }
  ScopedWorkDir dir_;
};

}  // namespace

TEST_F(DrawingPixels, ReloadedSpritesAreWhatImgLoadGives) {
  SDL_Surface* slot = nullptr;
  // Twice round, so the second load of each file is a copy.
  for (int round = 0; round < 2; ++round) {
    for (const char* path : kSprites) {
      SCOPED_TRACE(path);
      ReloadImage(&slot, path);
      SDL_Surface* fresh = IMG_Load(path);
      ExpectSameSurface(fresh, slot);
      SDL_FreeSurface(fresh);
    }
  }
  SDL_FreeSurface(slot);
}

TEST_F(DrawingPixels, AWorstCaseFrameIsDrawnAsPlainSdlDrawsIt) {
  SDL_Surface* screen = SDL_SetVideoMode(kWidth, kHeight, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(screen, nullptr);
  const size_t bytes = static_cast<size_t>(screen->pitch) * kHeight;

  Tables game;
  for (SDL_Surface*& s : game.wallImages) ReloadImage(&s, "Images/Mur.png");
  for (SDL_Surface*& s : game.chestImages) ReloadImage(&s, "Images/coffre.png");
  std::array<int, kEnemies> directions{};
  std::vector<SDL_Rect> enemyStart = game.enemies;
  Ennemis(kWidth, kHeight, directions.data(), kEnemies, &game.hero, game.enemies.data(),
          game.enemyImages.data());
  game.enemies = enemyStart;
  ReloadImage(&game.heroImage, "Images/Glouto2.3.png");

  Tables plain;
  for (SDL_Surface*& s : plain.wallImages) s = IMG_Load("Images/Mur.png");
  for (SDL_Surface*& s : plain.chestImages) s = IMG_Load("Images/coffre.png");
  for (SDL_Surface*& s : plain.enemyImages) s = IMG_Load("Images/Ennemi.png");
  plain.heroImage = IMG_Load("Images/Glouto2.3.png");
  std::vector<SDL_Rect> heroWant{plain.hero};
  std::vector<SDL_Surface*> heroImages{plain.heroImage};

  // Two frames: the first makes the window-format copies, the second uses them.
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 255, 255, 255));
    DrawWithSdlAlone(screen, plain.wallImages, plain.walls);
    DrawWithSdlAlone(screen, plain.chestImages, plain.chests);
    DrawWithSdlAlone(screen, heroImages, heroWant);
    DrawWithSdlAlone(screen, plain.enemyImages, plain.enemies);
    const std::vector<Uint8> want(static_cast<Uint8*>(screen->pixels),
                                  static_cast<Uint8*>(screen->pixels) + bytes);

    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 255, 255, 255));
    game.Draw(screen);
    EXPECT_EQ(std::memcmp(screen->pixels, want.data(), bytes), 0) << "the frames differ";
    ExpectSameRects(plain.walls, game.walls);
    ExpectSameRects(plain.chests, game.chests);
    ExpectSameRects(plain.enemies, game.enemies);
    ExpectSameRects(heroWant, {game.hero});
  }
  // The tables hold what plain SDL left in its own: keyed pictures, alike.
  ExpectSameSurface(plain.wallImages[999], game.wallImages[999]);
  ExpectSameSurface(plain.chestImages[0], game.chestImages[0]);
  ExpectSameSurface(plain.enemyImages[4], game.enemyImages[4]);
  ExpectSameSurface(heroImages[0], game.heroImage);
}
