// The real game through its own SDL_main: long play of three games, and play
// with any one of its files spoiled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "game/flow/game.h"
#include "game/flow/globals.h"
#include "game/flow/state.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

struct GameEnd {
  int level, playerCount, running, won, score, lives, clock;
  long resident;
};
std::vector<GameEnd> ends;  // what each game left, before it was released
GameState* playing = nullptr;
unsigned seed = 0;

// Keys that leave the game running and on its level: arrows, others, the second player's.
constexpr SDLKey kKeys[] = {SDLK_UP,    SDLK_DOWN, SDLK_LEFT,   SDLK_RIGHT,     SDLK_RETURN,
                            SDLK_SPACE, SDLK_F1,   SDLK_F2,     SDLK_6,         SDLK_EQUALS,
                            SDLK_v,     SDLK_F5,   SDLK_RSHIFT, SDLK_BACKSPACE, SDLK_LCTRL,
                            SDLK_x,     SDLK_w,    SDLK_a,      SDLK_s,         SDLK_d};

// A player who clicks through the screens, plays frames with keys that keep
// a game going, and moves on with g. Every sixth poll is a quarter second
// more on `Change`, as the 250 ms timer would give between 40 ms frames.
struct GameScript : Script {
  explicit GameScript(unsigned seed) : random(seed), seed(seed) {
    eachPoll = [this] {
      if (++polls % 6 == 0) ++Change, ++ticks;
      char* caption = nullptr;
      SDL_WM_GetCaption(&caption, nullptr);
      const char* kPlaying = "Glouto seconde generation ! Niveau";
      if (caption && !std::strncmp(caption, kPlaying, std::strlen(kPlaying)) &&
          !std::strstr(caption, "PAUSE"))
        ++frames;
    };
  }

  // The player-count menu (the instructions page and back) then the number of players.
  void Menu(int players) {
    Event(MouseMotion(300, 120));
    for (const int y : {120, 570, players == 2 ? 345 : 290})
      Event(MouseButton(SDL_MOUSEBUTTONDOWN, 300, y));
  }
  // Frames of arrows and harmless keys now and then (music, volume, lives,
  // clock, pause), idle otherwise; out of the enemies' reach, with lives to spare.
  void Play(int count, int players) {
    for (const SDLKey key : {SDLK_RSHIFT, SDLK_v, SDLK_v}) Key(key);
    std::uniform_int_distribution<int> die(0, 199);
    for (int f = 3; f < count; ++f) {
      const int roll = die(random);
      if (roll < 25) {
        Key(kKeys[roll % 5]);
      } else if (roll < 31) {
        Key(kKeys[5 + (roll + f) % 11]);
      } else if (roll < 35 && players == 2) {
        Key(kKeys[16 + roll % 4]);
      } else if (roll == 35) {
        for (const SDLKey key : {SDLK_p, SDLK_SEMICOLON, SDLK_p}) Key(key);  // taken by the pause
      } else {
        Idle();
      }
    }
    Key(SDLK_RSHIFT);  // wall answers lower the protection to a few seconds
  }
  // g, then Return on the level-start screen. The enemies go away first (left
  // Ctrl): a chest eaten by one in the frame of the g would end the game.
  void NextLevel() {
    for (const SDLKey key : {SDLK_LCTRL, SDLK_g, SDLK_RETURN}) Key(key);
  }
  // A chest under the hero, eaten by the rules, and every other one out of
  // reach (a second under the hero would be eaten in the frame of the t): t then wins.
  void Luck() {
    Idle([] {
      if (!playing) return;
      GameState& s = *playing;
      s.chestPositions[0] = s.heroPosition;
      for (int i = 1; i < s.chestCount; ++i)
        s.chestPositions[i] = {static_cast<Sint16>(s.width + 2000),
                               static_cast<Sint16>(s.height + 2000), 0, 0};
    });
  }

  std::mt19937 random;
  unsigned seed;
  long polls = 0, ticks = 0, frames = 0;
};

// A run from fresh globals; the game's draws, seeded from the clock in play,
// seeded from the script game after game.
int RunGame(GameScript& script) {
  ends.clear();
  seed = script.seed;
  tamponIMG = 1;
  FINPROG = attente = invulnerable = Change = 0;
  gameStartHook = [](GameState& s) {
    playing = &s;
    std::srand(seed++);
  };
  gameEndHook = [](GameState& s) {
    ends.push_back(
        {s.level, s.playerCount, s.running, s.won, s.score, s.lives, s.clock, ResidentKiB()});
  };
  const int result = script.Run();
  gameStartHook = gameEndHook = nullptr;
  playing = nullptr;
  return result;
}

}  // namespace

TEST(GameSoak, ThreeGamesOfManyLevelsPlayThroughAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets(true);
  // 30 levels in a row from GLOUTO_SOAK_SCALE=10 on (past the shipped ones
  // the maze is empty); beyond, longer levels: at 200, an hour of play.
  const int levels = std::min(3 * SoakScale(), 30);
  const int framesPerLevel = 50 * std::max(1, SoakScale() / 10);
  GameScript script(424242u);
  const int players[] = {1, 2, 1};
  for (int g = 0; g < 3; ++g) {
    script.Menu(players[g]);
    script.Key(SDLK_RETURN);  // the first level-start screen
    script.Play(framesPerLevel, players[g]);
    for (int level = 2; level <= levels; ++level) {
      script.NextLevel();
      script.Play(framesPerLevel, players[g]);
    }
    // t ends the game; again, or leave, on the end screen; the credits.
    for (const SDLKey key : {SDLK_t, g < 2 ? SDLK_RETURN : SDLK_ESCAPE, SDLK_RETURN})
      script.Key(key);
  }
  TakeWaitedMs();
  EXPECT_EQ(RunGame(script), 0);
  const long residentAtEnd = ResidentKiB();
  EXPECT_TRUE(script.Exhausted());
  ASSERT_EQ(ends.size(), 3u);
  for (int g = 0; g < 3; ++g) {
    SCOPED_TRACE("game " + std::to_string(g + 1));
    EXPECT_EQ(ends[g].level, levels) << "a level ended the game early";
    EXPECT_EQ(ends[g].playerCount, players[g]);
    EXPECT_EQ(ends[g].running, g < 2 ? 1 : 0);
  }
  EXPECT_GE(script.frames, 3L * levels * (framesPerLevel - 5)) << "frames skipped";
  std::printf(
      "game soak: 3 games of %d levels, %ld frames, %ld quarter seconds by hand, %.1f min "
      "of waits skipped; resident after each game %ld, %ld, %ld KiB, %ld KiB at the end\n",
      levels, script.frames, script.ticks, TakeWaitedMs() / 60000.0, ends[0].resident,
      ends[1].resident, ends[2].resident, residentAtEnd);
  // The second game settles some 200 to 350 KiB above the first (the sound
  // and timer threads' heaps, made anew) and stays there; a sprite a frame or
  // a level's chests leaked would pass this within a few levels.
  EXPECT_TRUE(!ResidentMemoryIsMeaningful() || ends[2].resident <= ends[0].resident + 1024);
}

// Every shipped file spoiled in every way (long runs) or in one, taken in
// turn so that each way meets every kind of file: the menu and instructions,
// all five tracks, the levels up to the spoiled one (short runs: up to 4),
// a won game with its end screen and credits, then a lost one.
TEST(GameBrokenAssets, AnyFileSpoiledTheGameStillPlaysUpToIt) {
  int index = 0;
  for (const std::string& path : ShippedAssets()) {
    const std::string prefix = "Niveaux/Niveau_";
    const int last = path.rfind(prefix, 0) == 0 ? std::stoi(path.substr(prefix.size())) : 2;
    if (SoakScale() == 1 && last > 4) continue;
    const int turn = index++;
    for (int k = 0; k < 4; ++k) {
      if (SoakScale() == 1 && k != turn % 4) continue;
      SCOPED_TRACE(path + " " + kDamage[k]);
      ScopedWorkDir dir;
      InstallAssetsWith(path, k);
      GameScript script(static_cast<unsigned>(turn));
      script.Menu(1);
      // Music on, so that the end screen plays its own too; every track.
      for (const SDLKey key :
           {SDLK_RETURN, SDLK_SPACE, SDLK_F1, SDLK_F1, SDLK_F1, SDLK_F1, SDLK_F1})
        script.Key(key);
      script.Play(20, 1);
      for (int level = 2; level <= last; ++level) {
        script.NextLevel();
        script.Play(level == last ? 20 : 4, 1);
      }
      // Stopped, the hero eats no chest in the frame of the t, which would
      // leave the clock at 0 and lose the game.
      script.Key(SDLK_RETURN);
      script.Luck();
      // t, again on the won end screen, the credits; a game lost at once
      // (Escape on the level-start screen), leave, the credits.
      for (const SDLKey key : {SDLK_t, SDLK_RETURN, SDLK_RETURN}) script.Key(key);
      script.Menu(1);
      for (const SDLKey key : {SDLK_ESCAPE, SDLK_ESCAPE, SDLK_RETURN}) script.Key(key);
      EXPECT_EQ(RunGame(script), 0);
      EXPECT_TRUE(script.Exhausted());
      ASSERT_EQ(ends.size(), 2u);
      EXPECT_EQ(ends[0].level, last);
      EXPECT_EQ(ends[0].won, 1) << "score " << ends[0].score << ", lives " << ends[0].lives
                                << ", clock " << ends[0].clock;
      EXPECT_EQ(ends[1].won, 0);
    }
  }
}
