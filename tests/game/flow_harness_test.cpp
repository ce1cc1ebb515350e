// Whole frames, frame by frame, with the timer driven by hand. Each scenario's
// expectations are worked out from the rules in its comments.
#include <gtest/gtest.h>

#include "game/flow/frame.h"
#include "tests/game/flow_harness.h"

namespace {
class Frames : public FlowTest {};
}  // namespace

TEST_F(Frames, Scenarios) {
  RunRows({
      // Wall (400, 300), the level's first: the hero at x touches it once
      // x >= 350, after 10 frames of 5; the next frame steps back 10 (free),
      // turns left and moves 5: 336; then 331.
      {"the hero bounces off the level's first wall",
       "walls 400,300 | hero 301,301 right | frames 10 | expect hero.x=351 hero.mode=3"
       "| frame | expect hero.x=336 hero.dir=left | frame | expect hero.x=331 hero.y=301"},
      // The same for an enemy at (100, 300) heading for a wall at (200, 300);
      // its countdown runs down one a frame.
      {"an enemy bounces off the level's first wall",
       "walls 200,300 | set enemies=1 enemy0.countdown=100 | enemy 0 100,300 right | frames 10"
       "| expect enemy0.x=150 enemy0.mode=3 | frame"
       "| expect enemy0.x=135 enemy0.dir=left enemy0.countdown=89 | frame | expect enemy0.x=130"},
      // A countdown that reaches 0 turns the enemy at random next frame.
      {"an enemy's countdown runs out",
       "set enemies=1 enemy0.countdown=2 | enemy 0 100,100 right | frame"
       "| expect enemy0.countdown=1 enemy0.mode=0 | frame | expect enemy0.countdown=0 "
       "enemy0.mode=1"},
      // A wall over the hero blocks both tries: to the start corner, moved on
      // by 5, and three counted seconds safe from the enemy standing there
      // (a second: an odd frame of the second phase, then four ticks).
      {"a stuck hero goes to the start corner and is safe for three seconds",
       "walls 320,320 | hero 301,301 right | set enemies=1 | enemy 0 60,26 | frame"
       "| expect hero.x=306 hero.mode=3 | frame | expect hero.x=31 hero.y=26 invulnerable=3"
       "| hero 31,26 stop | set tampon=0 | tick 1 | frame | tick 3 | frame | expect invulnerable=2 "
       "clock=134"
       "| tick 1 | frame | tick 3 | frame | expect invulnerable=1 lives=1"
       "| tick 1 | frame | tick 3 | frame | expect invulnerable=0 lives=0 enemy0.x=10000"},
      // First frame of a game: a second at once. Then one a second: four
      // ticks, an odd frame between to re-arm, and Change back to 0.
      {"the clock counts a second per four ticks",
       "set attente=0 invulnerable=1000 | frame | expect clock=134 change=0 attente=1"
       "| tick 1 | frame | expect attente=0 clock=134 | tick 3 | frame | expect clock=133 change=0"
       "| tick 4 | frame | expect clock=133 change=4 | tick 1 | frame | tick 3 | frame"
       "| expect clock=132 invulnerable=1000"},
      // The move comes before the keys: the hero eats where it moved to, then turns.
      {"a frame moves, then listens, then eats",
       "hero 301,301 right | chest 0 356,301 | seed plain | frame Down"
       "| expect hero.x=306 hero.y=301 hero.dir=down score=1 remaining=103 | frame"
       "| expect hero.y=306"},
      // The last chest: level 2 with 100 chests, clock 40 + 150, remaining
      // 200 + 190 / 30, 2 enemies (none before), a life more, a wider window.
      {"eating the last chest starts the next level",
       "set remaining=1 clock=40 | hero 301,301 right | chest 0 356,301 | seed plain"
       "| frame - Return quit | expect level=2 chests=100 clock=190 remaining=206 enemies=2 lives=2"
       " width=700 hero.x=351 hero.dir=stop timer=1 running=1"},
      // g wins over a chest an enemy eats in its frame: level 2 with clock 10 + 150.
      {"key g completes the level",
       "set enemies=1 remaining=57 clock=80 | enemy 0 100,100 | chest 0 110,110 | frame g Return "
       "quit"
       "| expect level=2 chests=100 clock=160 enemies=1 running=1"},
      // t runs the clock out: a life less, the clock refilled, the game over.
      {"key t with a life left wins",
       "set score=3 | frame t | expect running=0 clock=75 lives=0 | finish | expect won=1"},
      {"key t with no life loses",
       "set score=3 lives=0 | frame t | expect lives=-1 | finish | expect won=0"},
      {"key t in the frame the hero eats",
       "set score=0 | chest 0 320,320 | seed plain | frame t | expect score=1 remaining=1 lives=0"
       "| finish | expect won=1"},
      {"player 2 steers enemy 0",
       "set players=2 enemies=1 | enemy 0 100,100 stop | frame d | expect enemy0.dir=right"
       "| frame | expect enemy0.x=105 | frame s | frame | expect enemy0.x=110 enemy0.y=105"},
  });
}

TEST_F(Frames, AnimationSwapsPhasesWithTheParityOfTheTicks) {
  const char* const hero1[] = {"Images/Glouto.png", "Images/Glouto.png", "Images/Glouto2.png",
                               "Images/Glouto3.png", "Images/Glouto4.png"};
  const char* const hero2[] = {"Images/Glouto2.1.png", "Images/Glouto2.1.png",
                               "Images/Glouto2.2.png", "Images/Glouto2.3.png",
                               "Images/Glouto2.4.png"};
  const char* const enemy1[] = {"Images/Ennemi.png", "Images/Ennemi.png", "Images/Ennemi2.png",
                                "Images/Ennemi3.png", "Images/Ennemi4.png"};
  const char* const enemy2[] = {"Images/Ennemi2.1.png", "Images/Ennemi2.1.png",
                                "Images/Ennemi2.2.png", "Images/Ennemi2.3.png",
                                "Images/Ennemi2.4.png"};
  struct Case {
    int change, tampon, phase, tamponAfter, attenteAfter;  // phase 0: nothing loaded
  };
  const Case cases[] = {{0, 1, 1, 0, 1}, {2, 3, 1, 1, 1}, {4, 0, 0, 0, 1},
                        {1, 0, 2, 1, 0}, {3, 3, 2, 1, 0}, {5, 1, 0, 1, 1}};
  for (const Case& c : cases) {
    for (int direction = 0; direction <= 4; ++direction) {
      SCOPED_TRACE(testing::Message() << "Change " << c.change << ", tamponIMG " << c.tampon
                                      << ", direction " << direction);
      Fresh();
      GameState& s = *game_;
      s.heroDirection = direction;
      s.enemyCount = 2;
      s.enemyDirections = {(direction + 1) % 5, direction, 3, 0, 0};
      Change = c.change, tamponIMG = c.tampon;
      AnimateSprites(s);
      EXPECT_EQ(tamponIMG, c.tamponAfter);
      EXPECT_EQ(attente, c.attenteAfter);
      const char* const* hero = c.phase == 1 ? hero1 : hero2;
      const char* const* enemy = c.phase == 1 ? enemy1 : enemy2;
      EXPECT_EQ(WidthOf(s.heroImage), c.phase ? SpriteWidth(hero[direction]) : -1);
      EXPECT_EQ(WidthOf(s.enemyImages[0]), c.phase ? SpriteWidth(enemy[(direction + 1) % 5]) : -1);
      EXPECT_EQ(WidthOf(s.enemyImages[1]), c.phase ? SpriteWidth(enemy[direction]) : -1);
      EXPECT_EQ(s.enemyImages[2], nullptr) << "beyond enemyCount nothing is loaded";
    }
  }
}
