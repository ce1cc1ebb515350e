// The frame steps driven one by one on a headless game state.
#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "game/flow/frame.h"
#include "game/flow/loop.h"
#include "tests/game/flow_harness.h"

namespace {

class Frame : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    WriteSprites();
    ClearChests();
    game_->wallCount = 0;
  }
};

const char* const kHero1[] = {"Images/Glouto.png", "Images/Glouto.png", "Images/Glouto2.png",
                              "Images/Glouto3.png", "Images/Glouto4.png"};
const char* const kHero2[] = {"Images/Glouto2.1.png", "Images/Glouto2.1.png",
                              "Images/Glouto2.2.png", "Images/Glouto2.3.png",
                              "Images/Glouto2.4.png"};
const char* const kEnemy1[] = {"Images/Ennemi.png", "Images/Ennemi.png", "Images/Ennemi2.png",
                               "Images/Ennemi3.png", "Images/Ennemi4.png"};
const char* const kEnemy2[] = {"Images/Ennemi2.1.png", "Images/Ennemi2.1.png",
                               "Images/Ennemi2.2.png", "Images/Ennemi2.3.png",
                               "Images/Ennemi2.4.png"};

}  // namespace

TEST_F(Frame, AnimationSwapsPhasesWithTheParityOfTheTicks) {
  enum Loaded { kNone, kFirst, kSecond };
  struct Case {
    int change, tampon;
    Loaded loaded;
    int tamponAfter, attenteAfter;
  };
  const Case cases[] = {
      {0, 1, kFirst, 0, 1},  {2, 3, kFirst, 1, 1},  {4, 0, kNone, 0, 1},
      {1, 0, kSecond, 1, 0}, {3, 3, kSecond, 1, 0}, {5, 1, kNone, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "Change " << c.change << ", tamponIMG " << c.tampon);
    for (int direction = 0; direction <= 4; ++direction) {
      SCOPED_TRACE(direction);
      GameState& s = *game_;
      s.heroDirection = direction;
      s.enemyCount = 2;
      s.enemyDirections = {(direction + 1) % 5, direction, 3, 0, 0};
      s.heroImage = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 7, 32, 0, 0, 0, 0);
      s.enemyImages[0] = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 7, 32, 0, 0, 0, 0);
      s.enemyImages[2] = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 7, 32, 0, 0, 0, 0);
      Change = c.change, tamponIMG = c.tampon, attente = 1;
      AnimateSprites(s);
      EXPECT_EQ(tamponIMG, c.tamponAfter);
      EXPECT_EQ(attente, c.attenteAfter);
      const char* const* hero = c.loaded == kFirst ? kHero1 : kHero2;
      const char* const* enemy = c.loaded == kFirst ? kEnemy1 : kEnemy2;
      if (c.loaded == kNone) {
        EXPECT_EQ(WidthOf(s.heroImage), 7);
        EXPECT_EQ(WidthOf(s.enemyImages[0]), 7);
      } else {
        EXPECT_EQ(WidthOf(s.heroImage), SpriteWidth(hero[direction]));
        EXPECT_EQ(WidthOf(s.enemyImages[0]), SpriteWidth(enemy[(direction + 1) % 5]));
        EXPECT_EQ(WidthOf(s.enemyImages[1]), SpriteWidth(enemy[direction]));
      }
      EXPECT_EQ(WidthOf(s.enemyImages[2]), 7) << "beyond enemyCount nothing is loaded";
      SDL_FreeSurface(s.heroImage);
      for (SDL_Surface*& image : s.enemyImages) {
        if (image) SDL_FreeSurface(image);
        image = nullptr;
      }
      s.heroImage = nullptr;
    }
  }
}

TEST_F(Frame, NewDirectionShowsAtOnceAndTheFirstPhaseLoadsOnceMore) {
  GameState& s = *game_;
  s.enemyCount = 0;
  Change = 2, tamponIMG = 0;
  s.heroDirection = 3, tamponIMG = 3;  // what an arrow key does
  AnimateSprites(s);
  EXPECT_EQ(WidthOf(s.heroImage), SpriteWidth("Images/Glouto3.png"));
  EXPECT_EQ(tamponIMG, 1);
  s.heroDirection = 4;  // a direction change without a refresh shows at the next reload
  AnimateSprites(s);
  EXPECT_EQ(WidthOf(s.heroImage), SpriteWidth("Images/Glouto4.png"));
  EXPECT_EQ(tamponIMG, 0);
  Change = 3;
  AnimateSprites(s);
  EXPECT_EQ(WidthOf(s.heroImage), SpriteWidth("Images/Glouto2.4.png"));
  EXPECT_EQ(tamponIMG, 1);
}

TEST_F(Frame, ClockCountsOneSecondPerFourTicksOnce) {
  struct Case {
    int change, attente, invulnerable;
    int clock, changeAfter, attenteAfter, invulnerableAfter;
  };
  const Case cases[] = {
      {0, 0, 0, 99, 0, 1, 0},  // first frame of a game: a second at once
      {4, 0, 3, 99, 0, 1, 2},         {8, 0, 999, 99, 0, 1, 998},
      {4, 0, 1000, 99, 0, 1, 1000},  // 1000 and above never count down
      {4, 0, 10000, 99, 0, 1, 10000}, {4, 0, 1, 99, 0, 1, 0},
      {4, 0, -2, 99, 0, 1, -2},       {4, 1, 3, 100, 4, 1, 3},  // this second was counted already
      {2, 0, 3, 100, 2, 0, 3},        {5, 0, 3, 100, 5, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "Change " << c.change << ", attente " << c.attente);
    game_->clock = 100;
    Change = c.change, attente = c.attente, invulnerable = c.invulnerable;
    TickClock(*game_);
    EXPECT_EQ(game_->clock, c.clock);
    EXPECT_EQ(Change.load(), c.changeAfter);
    EXPECT_EQ(attente, c.attenteAfter);
    EXPECT_EQ(invulnerable, c.invulnerableAfter);
  }
}

TEST_F(Frame, SecondPhaseLoadReArmsTheClock) {
  GameState& s = *game_;
  s.enemyCount = 0;
  s.clock = 50;
  Change = 0, attente = 0, tamponIMG = 1;
  // Timer ticks between frames; four ticks with no odd frame in between count no second.
  const int ticks[] = {0, 0, 1, 0, 1, 1, 1, 0, 4, 1, 3};
  const int clocks[] = {49, 49, 49, 49, 49, 49, 48, 48, 48, 48, 47};
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    Change += ticks[i];
    AnimateSprites(s);
    TickClock(s);
    EXPECT_EQ(s.clock, clocks[i]);
  }
}

TEST_F(Frame, EnemiesMoveCountDownAndTurnWhenTheirCountdownEnds) {
  GameState& s = *game_;
  s.enemyCount = 3;
  s.enemyPositions[0] = At(100, 100);
  s.enemyPositions[1] = At(200, 100);
  s.enemyPositions[2] = At(300, 100);
  s.enemyDirections = {1, 4, 0, 1, 1};
  s.enemyModes = {3, 0, 1, 0, 0};
  s.turnCountdowns = {1, 0, 9, 9, 9};
  const Uint32 before = SDL_GetTicks();
  MoveEnemies(s);
  EXPECT_GE(SDL_GetTicks() - before + 1, 3u * (10 / 3));
  EXPECT_EQ(s.enemyModes[0], 1);  // countdown reached 0: a random turn next frame
  EXPECT_EQ(s.enemyModes[1], 0);  // 0 went on to -1: no more turns
  EXPECT_EQ(s.enemyModes[2], 0);
  EXPECT_EQ(s.turnCountdowns[0], 0);
  EXPECT_EQ(s.turnCountdowns[1], -1);
  EXPECT_EQ(s.turnCountdowns[2], 8);
  EXPECT_EQ(s.turnCountdowns[3], 9) << "beyond enemyCount nothing counts down";
  EXPECT_EQ(s.enemyPositions[1].y, 105);
  EXPECT_EQ(s.enemyPositions[2].x, 300);
}

TEST_F(Frame, WithoutEnemiesOnlyTheHeroMoves) {
  GameState& s = *game_;
  s.enemyCount = 0;
  s.enemyPositions[0] = At(100, 100);
  s.enemyDirections[0] = 1;
  s.heroDirection = 2, s.heroMode = 3, s.heroPosition = At(301, 301);
  MoveEnemies(s);
  MoveHero(s);
  EXPECT_EQ(s.enemyPositions[0].x, 100);
  EXPECT_EQ(s.heroMode, 0) << "a wall answer lasts one frame";
}

TEST_F(Frame, HudTextsAreLeftOutWithoutAFont) {
  GameState& s = *game_;
  RenderHud(s);
  EXPECT_EQ(s.remainingText, nullptr);
  EXPECT_EQ(s.clockText, nullptr);
  EXPECT_EQ(s.livesText, nullptr);
  DrawFrame(s);
  EXPECT_EQ(s.remainingRect.y, -5);
}

TEST_F(Frame, DrawingWritesTheClippedRectanglesBack) {
  GameState& s = *game_;
  s.heroImage = SDL_LoadBMP("Images/Glouto.png");
  s.heroPosition = At(-3, 200);  // left of the window when drawn
  s.enemyCount = 0;
  auto text = [] {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 30, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  };
  s.remainingText = text(), s.clockText = text(), s.livesText = text();
  SDL_FillRect(s.clockText, nullptr, SDL_MapRGB(s.clockText->format, 0, 0, 0));
  DrawFrame(s);
  EXPECT_EQ(s.remainingRect.y, 0);
  EXPECT_EQ(s.clockRect.y, 0);
  EXPECT_EQ(s.clockRect.x, 470);
  EXPECT_EQ(s.livesRect.y, 565);
  EXPECT_EQ(s.heroPosition.x, 0);
  EXPECT_EQ(s.remainingText, nullptr) << "texts live for one frame";
  EXPECT_EQ(s.clockText, nullptr);
  EXPECT_EQ(s.livesText, nullptr);
  EXPECT_EQ(PixelAt(s.screen, 300, 100), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(s.screen, 480, 10), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(s.screen, 5, 210), (Rgb{200, 30, 30}));
}

TEST_F(Frame, WithoutAWindowAFrameDrawsNothingAndStillReleasesItsTexts) {
  GameState& s = *game_;
  SDL_Surface* window = s.screen;
  s.screen = nullptr;
  s.heroImage = SDL_LoadBMP("Images/Glouto.png");
  s.heroPosition = At(-3, 200);
  s.clockText = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 30, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  DrawFrame(s);
  EXPECT_EQ(s.heroPosition.x, -3) << "nothing drawn, nothing clipped";
  EXPECT_EQ(s.clockText, nullptr);
  s.screen = window;
}

TEST_F(Frame, AFrameMovesBeforeItListensAndEatsWhereTheMoveLeftTheHero) {
  GameState& s = *game_;
  s.enemyCount = 0;
  s.heroPosition = At(301, 301);
  s.heroDirection = 1;
  s.chestPositions[0] = At(356, 301);  // out of reach until the hero moves right
  s.clock = 135, s.remaining = 104;
  Change = 0, attente = 0;
  Push(KeyDown(SDLK_DOWN));
  std::srand(3);
  const int bonus = (std::rand() % 1000000) % 7 == 0 ? 2 : 0;
  std::srand(3);
  RunFrame(s);
  EXPECT_EQ(s.heroPosition.x, 306);
  EXPECT_EQ(s.heroPosition.y, 301);
  EXPECT_EQ(s.heroDirection, 4);
  EXPECT_EQ(s.score, 1);
  EXPECT_EQ(s.remaining, 103 - bonus);
  EXPECT_EQ(s.clock, 134);  // the first frame counts a second at once
  RunFrame(s);
  EXPECT_EQ(s.heroPosition.y, 306);
  EXPECT_EQ(s.clock, 134);
}

TEST_F(Frame, HudShowsTheCountersAndItsTopTextsMoveToTheEdge) {
  const std::string path = AssetsDir() + "/Police/comic.ttf";
  if (!FileExists(path)) GTEST_SKIP() << "no shipped font";
  ASSERT_EQ(TTF_Init(), 0);
  GameState& s = *game_;
  s.font = TTF_OpenFont(path.c_str(), 25);
  ASSERT_NE(s.font, nullptr);
  s.remaining = 104, s.clock = 99, s.lives = -1;
  RenderHud(s);
  struct Case {
    SDL_Surface* text;
    const char* expected;
  };
  const Case cases[] = {
      {s.remainingText, "Restant : 104"}, {s.clockText, "Temps : 99"}, {s.livesText, "Vies : -1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    int w = 0, h = 0;
    ASSERT_EQ(TTF_SizeText(s.font, c.expected, &w, &h), 0);
    ASSERT_NE(c.text, nullptr);
    EXPECT_EQ(c.text->w, w);
    EXPECT_EQ(c.text->h, h);
  }
  const int clockWidth = s.clockText->w;
  DrawFrame(s);
  EXPECT_EQ(s.remainingRect.y, 0);
  EXPECT_EQ(s.clockRect.y, 0);
  EXPECT_EQ(s.clockRect.w, std::min(clockWidth, 600 - 470)) << "clipped at the right edge";
  EXPECT_EQ(s.livesRect.y, 565);
  TTF_CloseFont(s.font);
  s.font = nullptr;
  TTF_Quit();
}
