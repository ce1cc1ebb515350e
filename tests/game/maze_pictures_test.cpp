// The maze at a few seeded moments: walls, chests, hero, enemies and the
// head-up texts, drawn by the frame's own steps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "game/flow/frame.h"
#include "game/flow/pause.h"
#include "game/maze/images.h"
#include "tests/game/screen_fixture.h"

class Maze : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    s.screen = screen_;
    s.font = font_;
    tamponIMG = 1;
    Change = 0;
    attente = 0;
  }
  void TearDown() override {
    ReleaseGameSurfaces(s);
    ScreenTest::TearDown();
  }
  // Starts `level` with its own width as the game does, `seed` for its chests
  // and enemies.
  void Start(int level, unsigned seed) {
    s.level = level;
    s.width = LevelWidth(level);
    s.clockRect.x = static_cast<Sint16>(s.width - 130);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(s.width, s.height));
    s.screen = screen_;
    Push(KeyDown(SDLK_RETURN));
    std::srand(seed);
    ASSERT_EQ(StartScreen(s, level, screen_, font_), 1);
    ReloadImage(&s.heroImage, "Images/Glouto.png");
  }
  // Frames as the loop runs them, the quarter seconds ticking one a frame.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      RenderHud(s);
      MoveHero(s);
      MoveEnemies(s);
      AnimateSprites(s);
      DrawFrame(s);
      ++Change;
    }
  }
  std::unique_ptr<GameState> state_ = std::make_unique<GameState>();
  GameState &s = *state_;
};

TEST_F(Maze, EnemiesLeaveTheCornerEveryWayWhileTheHeroRunsThenPauses) {
  s.enemyCount = 5;
  s.chestCount = 30;
  ASSERT_NO_FATAL_FAILURE(Start(2, 12));  // the enemies go all four ways at first
  s.heroDirection = 2;
  s.clock = 87;
  s.remaining = 1234;
  s.lives = 3;
  // Each sprite's first phase, its second, and later where they went.
  for (const auto &[frames, picture] : {std::pair{5, "maze.level2.phase1"},
                                        {1, "maze.level2.phase2"},
                                        {19, "maze.level2.moving"}}) {
    Frames(frames);
    EXPECT_TRUE(MatchesApproved(screen_, picture));
  }
  s.pauseText = TTF_RenderText_Blended(font_, "Pause", s.textColor);
  s.pauseRect = {260, 280, 0, 0};  // where the start window puts it, on every level
  Push(KeyDown(SDLK_p));
  PauseGame(s);
  EXPECT_TRUE(MatchesApproved(screen_, "maze.level2.pause"));
}

TEST_F(Maze, ACrowdOverEveryEdgeIsClippedAndDrawnTheSameNextFrame) {
  ASSERT_NO_FATAL_FAILURE(OpenWindow(1000, 600));
  s.screen = screen_;
  s.width = 1000;
  s.clockRect.x = 1000 - 130;
  std::srand(12);
  // Sprites at random spots from `low` to `high` on both axes.
  const auto scatter = [](int count, SDL_Rect *at, SDL_Surface **images, int low, int high,
                          std::vector<const char *> pictures) {
    for (int i = 0; i < count; ++i) {
      at[i] = {Sint16(low + std::rand() % (high - low)), Sint16(low + std::rand() % (high - low)),
               0, 0};
      ReloadImage(&images[i], pictures[i % pictures.size()]);
    }
  };
  scatter(s.wallCount = 300, s.wallPositions.data(), s.wallImages.data(), -20, 1005,
          {"Images/Mur.png"});
  scatter(s.chestCount = 100, s.chestPositions.data(), s.chestImages.data(), -15, 1000,
          {"Images/coffre.png"});
  scatter(s.enemyCount = kEnemyCapacity, s.enemyPositions.data(), s.enemyImages.data(), -40, 1000,
          {"Images/Ennemi.png", "Images/Ennemi2.png", "Images/Ennemi2.3.png", "Images/Ennemi4.png",
           "Images/Ennemi2.1.png"});
  s.heroPosition = {-7, 590, 0, 0};
  ReloadImage(&s.heroImage, "Images/Glouto3.png");
  // The second frame draws at the rectangles the first one clipped: what
  // hung over the top or left edge is drawn against it from then on.
  for (const char *frame : {"maze.crowded.frame1", "maze.crowded.frame2"}) {
    RenderHud(s);
    DrawFrame(s);
    EXPECT_TRUE(MatchesApproved(screen_, frame));
  }
}
