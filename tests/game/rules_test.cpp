// The game's rules, keys, moves and levels as frame scripts, one row a case, on the quiet field:
// hero stopped at (301, 301), no chest, enemy or wall, level 1, clock 135, remaining 104, 1 life.
#include <string>

#include "game/flow/game.h"
#include "tests/game/flow_harness.h"

using Rules = FlowTest;
using Keys = FlowTest;

TEST_F(Rules, ContactsCountersLevelsAndFrames) {
  RunRows(R"(
# The hero's square reaches a chest at a with a-50 <= x <= a+20 (the first touched: the recordings).
a chest both reach is the hero's | set enemies=1 invulnerable=5 | enemy 0 340,340
  | chest 0 345,345 | seed plain | rules | expect score=1 remaining=103 eaten=1
# A level's fill: each wall and chest its own picture; a chest with no free spot off the field
# (the recorded games play where chests go).
walls | walls 0,0 25,0 575,550 | expect walls=3 wallpics=3 | walls | expect walls=0
no free spot | set width=100 chests=2 | walls 50,80 50,180 50,280 50,380 50,480 50,580 | fill
  | expect chest0.x=2100 chest0.y=2600 chest1.x=2100 chestpics=2 | set width=0 | fill
  | expect chest1.x=2000
enemies | set enemies=3 chests=0 | seed 5 | mark | fill | only e0.x=26 e0.y=26 e0.dir=r0%4+1
  e1.x=26 e1.y=26 e1.dir=r1%4+1 e2.x=26 e2.y=26 e2.dir=r2%4+1 | expect draws=3 e2image=Ennemi
  e3image=none
caught, by one of three | set enemies=3 lives=2 | enemy 2 340,260 left | mark | rules
  | only e2.x=10000 e2.y=10000 e2.dir=stop lives=1 waited>=30
caught with no life: lost, the clock out | set enemies=1 lives=0 remaining=30
  | enemy 0 320,320 | rules | expect running=0 clock=75 lives=-1 e0.x=320 | finish
  | expect won=0
only exactly no life loses | set enemies=1 lives=-1 | enemy 0 320,320 | rules
  | expect lives=-2 running=1 enemies=0
invulnerable | set enemies=1 invulnerable=1 | enemy 0 300,300 | mark | rules | only
no longer | set enemies=1 invulnerable=-1 | enemy 0 300,300 | rules | expect lives=0
two players | set players=2 enemies=1 lives=0 | enemy 0 320,320 | mark | rules | only
# No chest left while the clock runs: the level-start screen of the next one
# takes a Return (a closed window after it ends a run gone wrong).
level complete | set remaining=0 clock=5 | hero 40,40 left | timer | queue Return q | rules
  | expect level=2 chests=100 clock=155 remaining=205 enemies=2 lives=2 width=700 hero.x=351
  hero.y=301 hero.dir=stop running=1 eaten=0 timer=1 stale=0 waited>=100 screenw=700 pausetext=260
a bonus overshoot | set remaining=-2 clock=5 enemies=1 | queue Return q | rules
  | expect chests=98 clock=152 remaining=205 enemies=1
one chest left | set remaining=1 clock=5 | mark | rules | only clocktext=470
the last chest as the clock reached 0 | set remaining=0 clock=0 | queue Return q | rules
  | expect level=2 clock=150 lives=2
lost in this frame stays lost | set remaining=0 clock=0 running=0 | mark | rules
  | only clocktext=470
Escape on the level-start screen | set level=2 | walls 100,100 | set level=1 walls=0 remaining=0
  | queue Escape | rules | expect running=0 finprog=0 level=2 walls=1
closing the menu shows no level-start screen | queue q Return | begin | expect running=0
below no life loses | set clock=0 remaining=5 lives=-1 | rules | expect clock=0 running=0
only exactly 0 runs out | set clock=-1 | mark | rules | only clocktext=470
a clock run out loses | set score=5 clock=0 | finish | expect won=0
999 stays, its text placed | set clock=999 clocktext=0 | mark | rules | only clocktext=460
# Starting later is winning each level before at once. The clock carries
# over: 135 + 150 + 225 at level 3; at 5 its 1185 passes 999: 250 x 3 / 2 and a life.
start at level 5 | set enemies=1 | advance 5 | expect clock=375 lives=6 chests=250 enemies=2
  width=1000 hero.x=501 | advance 7 | expect width=1000 hero.x=501
every enemy lost: level mod 4 | set remaining=0 enemies=0 | next | expect chests=100 enemies=2
level 4: 0 + 1 | set level=3 remaining=0 enemies=0 | next | expect chests=200 enemies=1
at most 300 chests | set level=7 remaining=-1 enemies=0 | next | expect chests=300 enemies=1
level 19: 3 | set level=18 remaining=0 enemies=0 | next | expect enemies=3
beyond 19: 5 | set level=19 remaining=0 enemies=0 | next | expect enemies=5
five: a multiple of 4 adds none | set level=15 remaining=0 enemies=5 | next | expect enemies=5
four: a multiple of 4 adds one | set level=11 remaining=0 enemies=4 | next | expect enemies=5
eating the last chest starts the next level | set remaining=1 clock=40 | hero 301,301 right
  | chest 0 356,301 | seed plain | frame m1,1 Return q | expect level=2 chests=100 clock=190
  remaining=206 enemies=2 lives=2 width=700 hero.x=351 hero.dir=stop timer=1 running=1
key g wins over a chest an enemy eats | set enemies=1 remaining=57 clock=80 | enemy 0 100,100
  | chest 0 110,110 | frame g Return q | expect level=2 chests=100 clock=160 enemies=1
  running=1
key t with no life loses | set score=3 lives=0 | frame t | expect lives=-1 | finish
  | expect won=0
key t in the frame the hero eats | set score=0 | chest 0 320,320 | seed plain | frame t
  | expect score=1 remaining=1 lives=0 | finish | expect won=1
# The hero's picture for each direction in either phase, stopped looking right (the enemies'
# are in the approved maze pictures).
phase 1 | set change=0 tampon=1 | animate | expect tampon=0 attente=1 heroimage=Glouto
  | set tampon=1 hero.dir=1 | animate | expect heroimage=Glouto | set tampon=1 hero.dir=2
  | animate | expect heroimage=Glouto2 | set tampon=1 hero.dir=3 | animate
  | expect heroimage=Glouto3 | set tampon=1 hero.dir=4 | animate | expect heroimage=Glouto4
phase 2 | set change=1 tampon=0 | animate | expect tampon=1 attente=0 heroimage=Glouto2.1
  | set tampon=0 hero.dir=1 | animate | expect heroimage=Glouto2.1 | set tampon=0 hero.dir=2
  | animate | expect heroimage=Glouto2.2 | set tampon=0 hero.dir=3 | animate
  | expect heroimage=Glouto2.3 | set tampon=0 hero.dir=4 | animate | expect heroimage=Glouto2.4
)");
}

TEST_F(Keys, WaitsThePauseAndWhatReplaysCannotSee) {
  // What each key does to the game is in the recorded games (tests/games); their replays
  // skip the waits and take the timer's ticks from the recording, so those are here, and
  // left Ctrl, whose part a catch had already played in them.
  RunRows(R"(
Escape | mark | press Escape | only running=0 finprog=1 waited>=100
left Ctrl | set enemies=2 | mark | press left_ctrl | only enemies=0
waits | press Space | expect waited>=50 | press g | expect waited>=100 | press v
  | expect waited>=50 | press F5 | expect waited>=50 | press F1 | expect waited>=100
# The pause takes events until p, Escape or a closed window; play keys mean nothing there.
pause: p resumes, "Pause" where the start window put it | set level=3 width=900 | timer
  | queue ; v g Up p Down q | mark | press p | only timer=1 stale=0 waited>=330
  | caption Glouto seconde generation ! Niveau 3 | set change=0 | frame | expect hero.dir=down
a pad's Back pauses, and in the pause ends the game | frame b0,6 b0,6 Up q
  | expect running=0 finprog=0
closing the window | frame q | expect running=0 finprog=1
)");
}

TEST(Game, WithoutADisplaySaysWhyAndFails) {
  std::string said;
  EXPECT_EQ(RunWithVideoDriver("no-such-driver", SDL_main, &said), 1);
  EXPECT_NE(said.find("cannot open the game's window"), std::string::npos) << said;
}

// Deplacement on enemy 1, its neighbours still. Mode 0: a step, edges turning
// it back; 1: a turn to rand % 4 + 1 once the countdown is 0, then countdown
// rand % (width / 4), edges drawing a direction; 3: the wall answer: back 10
// and reverse, else aside 10 and point back across, else the start corner.
TEST_F(Rules, ActorsStepTurnAtEdgesAndAnswerWalls) {
  RunRows(R"(
edges in order, the last one turns | move 0 555,-4 right | only e1.x=550 e1.y=0 e1.dir=down
stopped: no move, edge, turn or answer | walls 100,100 | move 0 700,-40 stop | only
  | move 1 300,200 stop | only | move 3 100,100 stop | only draws=0
countdown past 0 | set e1.countdown=-1 | move 1 300,200 up | only draws=0
window narrower than 4 pixels | seed 99 | set width=3 | move 1 300,200 up
  | only e1.dir=r3%4+1 e1.x=26 draws=4
short of the right edge | set e1.countdown=7 | move 1 559,100 left | only draws=0
top left corner | set e1.countdown=7 | move 1 -3,-3 right
  | only e1.dir=r1%4+1 e1.x=26 e1.y=0 draws=2
bottom right corner | seed 2 | set e1.countdown=7 | move 1 600,600 down
  | only e1.dir=r1%4+1 e1.x=550 e1.y=550 draws=2
up: aside | walls 100,75 150,100 | move 3 100,100 up | only e1.x=95 e1.y=110 e1.dir=right tampon=3
down: aside | walls 100,150 75,100 | move 3 100,100 down | only e1.x=105 e1.y=90 e1.dir=left
  tampon=3
# A wall past the count (an earlier level's, or one Backspace took) is not there.
a wall past the count | walls 150,100 100,100 | set walls=1 | move 3 100,100 right
  | only e1.x=85 e1.dir=left tampon=3
modes 2, 4 do nothing | walls 100,100 | move 2 100,100 left | only | move 4 | only draws=0
)");
}
