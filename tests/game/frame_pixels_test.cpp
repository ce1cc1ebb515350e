// A whole drawn frame of the game, fill and head-up texts included, against
// the same frame drawn with plain SDL calls from freshly loaded pictures.
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "game/flow/frame.h"
#include "game/flow/session.h"
#include "game/flow/state.h"
#include "game/maze/images.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kWidth = 1000, kHeight = 600;

SDL_Rect Spot(int low, int high) {
  return {static_cast<Sint16>(low + std::rand() % (high - low)),
          static_cast<Sint16>(low + std::rand() % (high - low)), 0, 0};
}

void PlainDraw(SDL_Surface* screen, SDL_Surface* image, SDL_Rect* at) {
  SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 255, 255));
  SDL_UpperBlit(image, nullptr, screen, at);
}

void PlainText(SDL_Surface* screen, TTF_Font* font, const char* text, SDL_Rect* at) {
  SDL_Surface* rendered = TTF_RenderText_Blended(font, text, SDL_Color{0, 0, 0, 0});
  SDL_UpperBlit(rendered, nullptr, screen, at);
  SDL_FreeSurface(rendered);
}

bool SameRect(const SDL_Rect& a, const SDL_Rect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

class FramePixels : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    LinkAssets();
    TTF_Init();
    s = std::make_unique<GameState>();
    s->width = kWidth;
    s->height = kHeight;
    s->screen = SDL_SetVideoMode(kWidth, kHeight, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    s->font = TTF_OpenFont("Police/comic.ttf", 25);
    ASSERT_NE(s->font, nullptr);
    s->clockRect.x = kWidth - 130;
    std::srand(12);
    s->wallCount = kMaxWalls;
    s->chestCount = kChestCapacity;
    s->enemyCount = kEnemyCapacity;
    // Some of everything hangs over an edge, so clipping is compared too.
    for (int i = 0; i < kMaxWalls; ++i) {
      s->wallPositions[i] = Spot(-20, kWidth + 5);
      ReloadImage(&s->wallImages[i], "Images/Mur.png");
    }
    for (int i = 0; i < kChestCapacity; ++i) {
      s->chestPositions[i] = Spot(-15, kWidth);
      ReloadImage(&s->chestImages[i], "Images/coffre.png");
    }
    const char* enemies[] = {"Images/Ennemi.png", "Images/Ennemi2.png", "Images/Ennemi2.3.png",
                             "Images/Ennemi4.png", "Images/Ennemi2.1.png"};
    for (int i = 0; i < kEnemyCapacity; ++i) {
      s->enemyPositions[i] = Spot(-40, kWidth);
      ReloadImage(&s->enemyImages[i], enemies[i]);
    }
    s->heroPosition = {-7, 590, 0, 0};
    ReloadImage(&s->heroImage, "Images/Glouto3.png");
    s->clock = 87;
    s->remaining = 1234;
    s->lives = 3;
  }

  void TearDown() override {
    ReleaseGameSurfaces(*s);
    TTF_CloseFont(s->font);
    TTF_Quit();
    SdlTest::TearDown();
  }

  // What the frame would show drawn by plain SDL, and the rectangles after.
  std::vector<Uint8> PlainFrame(GameState& copy) {
    SDL_Surface* screen = s->screen;
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 255, 255, 255));
    std::vector<SDL_Surface*> loaded;
    auto draw = [&](const char* path, SDL_Rect* at) {
      loaded.push_back(IMG_Load(path));
      PlainDraw(screen, loaded.back(), at);
    };
    for (int i = 0; i < copy.wallCount; ++i) draw("Images/Mur.png", &copy.wallPositions[i]);
    for (int i = 0; i < copy.chestCount; ++i) draw("Images/coffre.png", &copy.chestPositions[i]);
    draw("Images/Glouto3.png", &copy.heroPosition);
    const char* enemies[] = {"Images/Ennemi.png", "Images/Ennemi2.png", "Images/Ennemi2.3.png",
                             "Images/Ennemi4.png", "Images/Ennemi2.1.png"};
    for (int i = 0; i < copy.enemyCount; ++i) draw(enemies[i], &copy.enemyPositions[i]);
    PlainText(screen, s->font, "Temps : 87", &copy.clockRect);
    PlainText(screen, s->font, "Restant : 1234", &copy.remainingRect);
    PlainText(screen, s->font, "Vies : 3", &copy.livesRect);
    for (SDL_Surface* picture : loaded) SDL_FreeSurface(picture);
    const auto* p = static_cast<Uint8*>(screen->pixels);
    return {p, p + static_cast<size_t>(screen->pitch) * kHeight};
  }

  ScopedWorkDir dir_;
  std::unique_ptr<GameState> s;
};

}  // namespace

TEST_F(FramePixels, TheGameDrawsItsFrameAsPlainSdlWould) {
  // The second frame draws through what the first one set up.
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    auto plain = std::make_unique<GameState>();
    plain->wallPositions = s->wallPositions;
    plain->chestPositions = s->chestPositions;
    plain->enemyPositions = s->enemyPositions;
    plain->heroPosition = s->heroPosition;
    plain->clockRect = s->clockRect;
    plain->remainingRect = s->remainingRect;
    plain->livesRect = s->livesRect;
    plain->wallCount = s->wallCount;
    plain->chestCount = s->chestCount;
    plain->enemyCount = s->enemyCount;
    const std::vector<Uint8> want = PlainFrame(*plain);

    SDL_FillRect(s->screen, nullptr, SDL_MapRGB(s->screen->format, 1, 2, 3));
    RenderHud(*s);
    DrawFrame(*s);
    EXPECT_EQ(std::memcmp(s->screen->pixels, want.data(), want.size()), 0) << "the frames differ";
    for (int i = 0; i < kMaxWalls; ++i)
      ASSERT_TRUE(SameRect(s->wallPositions[i], plain->wallPositions[i])) << "wall " << i;
    for (int i = 0; i < kChestCapacity; ++i)
      ASSERT_TRUE(SameRect(s->chestPositions[i], plain->chestPositions[i])) << "chest " << i;
    for (int i = 0; i < kEnemyCapacity; ++i)
      ASSERT_TRUE(SameRect(s->enemyPositions[i], plain->enemyPositions[i])) << "enemy " << i;
    EXPECT_TRUE(SameRect(s->heroPosition, plain->heroPosition));
    EXPECT_TRUE(SameRect(s->clockRect, plain->clockRect));
    EXPECT_TRUE(SameRect(s->remainingRect, plain->remainingRect));
    EXPECT_TRUE(SameRect(s->livesRect, plain->livesRect));
    EXPECT_EQ(s->clockText, nullptr);
  }
}
