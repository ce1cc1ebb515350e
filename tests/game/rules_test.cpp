// The rule steps of a frame, one row each, on the quiet field of the flow
// harness: hero stopped at (301, 301), 50 chests out of the field, no enemy or
// wall, level 1 with clock 135, remaining 104 and one life.
#include <gtest/gtest.h>

#include "tests/game/flow_harness.h"

namespace {
class Rules : public FlowTest {};
}  // namespace

TEST_F(Rules, ContactsCountersAndTheEndOfALevel) {
  RunRows({
      // Hero and chests: the hero's square reaches a chest at a with a-50 <= x <= a+20.
      {"the hero eats the first chest of the table it touches",
       "chest 4 320,320 | chest 7 285,290 | seed plain | mark | rules"
       "| only chest4.x=2600 chest4.y=2600 remaining=103 score=1 eaten=1"},
      {"a bonus chest counts three",
       "chest 0 320,320 | seed bonus | set remaining=104 | rules | expect remaining=101 bonus=2"},
      {"reach: corner", "chest 0 351,351 | rules | expect score=1"},
      {"reach: low corner", "chest 0 281,281 | rules | expect score=1"},
      {"reach: one pixel right", "chest 0 352,301 | mark | rules | only"},
      {"reach: one pixel left", "chest 0 280,301 | mark | rules | only"},
      {"reach: one pixel up", "chest 0 301,280 | mark | rules | only"},
      {"a chest both reach is the hero's",
       "set enemies=1 invulnerable=5 | enemy 0 340,340 | chest 0 345,345 | seed plain | rules"
       "| expect score=1 remaining=103 eaten=1"},
      // Enemies: each eats the first chest it touches; only player 2 scores them.
      {"enemies eat chests and raise the count",
       "set enemies=3 | enemy 0 100,100 | enemy 1 100,100 | enemy 2 400,100 | chest 0 110,110"
       "| chest 1 120,120 | chest 2 420,120 | mark | rules | only remaining=107 eaten=3"
       " chest0.x=2600 chest0.y=2600 chest1.x=2600 chest1.y=2600 chest2.x=2600 chest2.y=2600"},
      {"with two players they score",
       "set players=2 enemies=2 | enemy 0 100,100 | enemy 1 400,100 | chest 0 110,110"
       "| chest 1 420,120 | rules | expect remaining=106 enemyscore=2"},
      {"an enemy on a wall answers it next frame, turn or not",
       "set enemies=2 | walls 200,200 | enemy 0 225,150 | enemy 1 226,150"
       "| set enemy0.mode=1 enemy1.mode=1 | mark | rules | only enemy0.mode=3"},
      // Walls: the hero answers a wall it touches, the level's first as any other.
      {"the level's first wall", "walls 350,325 | rules | expect hero.mode=3"},
      {"a later wall", "walls 100,100 350,325 | rules | expect hero.mode=3"},
      {"a wall one pixel off", "walls 352,325 | rules | expect hero.mode=0"},
      // Hero and enemies: caught while not invulnerable, with one player.
      {"caught: the enemy leaves the level",
       "set enemies=1 | enemy 0 340,260 left | mark | rules"
       "| only enemy0.x=10000 enemy0.y=10000 enemy0.dir=stop lives=0 enemies=0 waited>=30"},
      {"caught by one of three",
       "set enemies=3 lives=2 | enemy 2 340,260 left | rules"
       "| expect enemy2.x=10000 enemy2.dir=stop lives=1 enemies=3"},
      {"caught with no life: lost, and the clock runs out in the same frame",
       "set enemies=1 lives=0 remaining=30 | enemy 0 320,320 | rules"
       "| expect running=0 clock=75 lives=-1 enemy0.x=320 | finish | expect won=0"},
      {"only exactly no life loses",
       "set enemies=1 lives=-1 | enemy 0 320,320 | rules"
       "| expect lives=-2 running=1 enemies=0"},
      {"invulnerable", "set enemies=1 invulnerable=1 | enemy 0 300,300 | mark | rules | only"},
      {"invulnerable for good",
       "set enemies=1 invulnerable=10000 | enemy 0 300,300 | mark | rules | only"},
      {"no longer invulnerable",
       "set enemies=1 invulnerable=-1 | enemy 0 300,300 | rules"
       "| expect lives=0"},
      {"two players never lose lives to enemies",
       "set players=2 enemies=1 lives=0 | enemy 0 320,320 | mark | rules | only"},
      // Chests come back once 95 % were eaten, clear of walls and edges.
      {"46 of 50", "set eaten=46 | mark | rules | only"},
      {"47 of 50",
       "walls 300,300 | set eaten=47 | rules"
       "| expect eaten=0 chest0.x>=30 chest49.x>=30 chest49.y>=30 chest50.x=3000"},
      {"284 of 300", "set chests=300 eaten=284 | mark | rules | only"},
      {"285 of 300", "set chests=300 eaten=285 | rules | expect eaten=0 chest299.x>=30"},
      // The level is complete at no chest left while the clock runs; the
      // level-start screen of the next one takes a Return (a window closed
      // after it ends a run gone wrong instead of waiting for ever).
      {"level complete",
       "set remaining=0 clock=5 | hero 40,40 left | timer | queue Return quit | rules"
       "| expect level=2 chests=100 clock=155 remaining=205 enemies=2 lives=2 width=700"
       " hero.x=351 hero.y=301 hero.dir=stop running=1 eaten=0 timer=1 stale=0 waited>=100"
       "| caption Glouto seconde generation ! Niveau 2"},
      {"a bonus overshoot is taken off the next level's chests",
       "set remaining=-2 clock=5 enemies=1 | queue Return quit | rules"
       "| expect chests=98 clock=152 remaining=205 enemies=1"},
      {"one chest left", "set remaining=1 clock=5 | mark | rules | only clocktext=470"},
      {"the last chest in the frame the clock reached 0",
       "set remaining=0 clock=0 | queue Return quit | rules | expect level=2 clock=150 lives=2"},
      {"key g: the level-start screen decides",
       "set remaining=0 clock=10 running=0 | queue Escape | rules | expect level=2 running=0"},
      {"lost in this frame stays lost",
       "set remaining=0 clock=0 running=0 | mark | rules | only clocktext=470"},
      // The clock: run-out, overflow, and where its text stands.
      {"run-out costs a life", "set clock=0 remaining=5 | rules | expect clock=75 lives=0"},
      {"run-out with no life shows -1",
       "set clock=0 remaining=5 lives=0 | rules | expect clock=75 lives=-1 running=1"},
      {"run-out below no life loses",
       "set clock=0 remaining=5 lives=-1 | rules | expect clock=0 lives=-1 running=0"},
      {"only exactly 0 runs out", "set clock=-1 | mark | rules | only clocktext=470"},
      {"999 stays", "set clock=999 | mark | rules | only clocktext=460"},
      {"above 999 falls back and gives a life",
       "set clock=1000 | rules | expect clock=75 lives=2 | set clock=1234 chests=300 | rules"
       "| expect clock=450 lives=3"},
      {"clock text",
       "set clock=99 | rules | expect clocktext=470 | set clock=100 | rules"
       "| expect clocktext=460 | set width=1000 | rules | expect clocktext=860"
       "| set clock=42 | rules | expect clocktext=870"},
      // The outcome after the frame loop.
      {"won", "set score=1 clock=1 lives=0 | finish | expect won=1"},
      {"no score", "set score=0 | finish | expect won=0"},
      {"no time", "set score=5 clock=0 | finish | expect won=0"},
      {"no life", "set score=5 lives=-1 | finish | expect won=0"},
      {"two players: the hero's chests less the enemies'",
       "set players=2 score=9 enemyscore=4 | finish | expect score=5 won=1"},
      {"two players: a negative score",
       "set players=2 score=4 enemyscore=9 | finish | expect score=-5 won=0"},
  });
}
