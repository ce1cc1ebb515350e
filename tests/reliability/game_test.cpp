// The real game through its own SDL_main: long play of three games, and with a file spoiled.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "game/flow/chance.h"
#include "game/flow/game.h"
#include "game/flow/globals.h"
#include "game/flow/state.h"
#include "tests/reliability/soak.h"

namespace {

struct GameEnd {
  int level, playerCount, running, won;
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
// A player who clicks through the screens, plays with keys that keep a game going, moves on with
// g. Every sixth poll is a quarter second more on `Change`, as the timer gives between frames.
struct GameScript : Script {
  explicit GameScript(unsigned s) : random(s) {
    seed = s;  // the next run's
    eachPoll = [this] {
      if (++polls % 6 == 0) ++Change;
      const std::string caption = WindowCaption();
      frames += caption.rfind("Glouto seconde generation ! Niveau", 0) == 0 &&
                caption.find("PAUSE") == std::string::npos;
    };
  }

  // The player-count menu (the instructions page and back), then the number of players.
  void Menu(int players) {
    for (const SDL_Event& e : Events(players == 2 ? "m300,120 d300,120 d300,570 d300,345"
                                                  : "m300,120 d300,120 d300,570 d300,290"))
      Event(e);
  }
  // Return (then music, every track); each level: the enemies sent away (one eating a chest as
  // g is pressed would end the game), frames of harmless keys or none; g, Return to go on.
  void Play(int players, int levels, int frames, int lastFrames, bool music = false) {
    Keys({SDLK_RETURN});
    if (music) Keys({SDLK_SPACE, SDLK_F1, SDLK_F1, SDLK_F1, SDLK_F1, SDLK_F1});
    for (int level = 1; level <= levels; ++level) {
      if (level > 1) Keys({SDLK_LCTRL, SDLK_g, SDLK_RETURN});
      Keys({SDLK_RSHIFT, SDLK_v, SDLK_v});
      std::uniform_int_distribution<int> die(0, 199);
      for (int f = 3; f < (level == levels ? lastFrames : frames); ++f) {
        const int roll = die(random);
        if (roll == 35)
          Keys({SDLK_p, SDLK_SEMICOLON, SDLK_p});  // the ; taken by the pause
        else if (roll < 31 || (roll < 35 && players == 2))
          Keys({kKeys[roll < 25 ? roll % 5 : roll < 31 ? 5 + (roll + f) % 11 : 16 + roll % 4]});
        else
          Idle();
      }
      Keys({SDLK_RSHIFT});  // wall answers lower the protection to a few seconds
    }
  }

  std::mt19937 random;
  long polls = 0, frames = 0;
};
// A run from fresh globals; the game's draws (from the clock in play) seeded from the script.
int RunGame(GameScript& script) {
  ends.clear();
  tamponIMG = 1;
  FINPROG = attente = invulnerable = Change = 0;
  gameStartHook = [](GameState& s) { playing = &s, SeedChance(seed++); };
  gameEndHook = [](GameState& s) {
    ends.push_back({s.level, s.playerCount, s.running, s.won, ResidentKiB()});
  };
  const int result = script.Run();
  gameStartHook = gameEndHook = nullptr, playing = nullptr;
  return result;
}

}  // namespace

TEST(GameSoak, ThreeGamesOfManyLevelsPlayThroughAndKeepMemoryFlat) {
  ScopedWorkDir dir;
  LinkAssets(true);
  // 30 levels from GLOUTO_SOAK_SCALE=10 on (then empty mazes); beyond, longer: 200, an hour.
  const int levels = std::min(3 * kSoakScale, 30);
  const int framesPerLevel = 50 * std::max(1, kSoakScale / 10);
  GameScript script(424242u);
  const int players[] = {1, 2, 1};
  for (int g = 0; g < 3; ++g) {
    script.Menu(players[g]);
    script.Play(players[g], levels, framesPerLevel, framesPerLevel);
    // t ends the game; again, or leave, on the end screen; the credits.
    script.Keys({SDLK_t, g < 2 ? SDLK_RETURN : SDLK_ESCAPE, SDLK_RETURN});
  }
  EXPECT_EQ(RunGame(script), 0);
  EXPECT_TRUE(script.steps.empty());
  ASSERT_EQ(ends.size(), 3u);
  for (int g = 0; g < 3; ++g)  // the level reached (none ended the game early), players, again
    EXPECT_EQ(std::tie(ends[g].level, ends[g].playerCount, ends[g].running),
              std::make_tuple(levels, players[g], g < 2 ? 1 : 0));
  EXPECT_GE(script.frames, 3L * levels * (framesPerLevel - 5)) << "frames skipped";
  // The second game settles 200-350 KiB above the first (new threads' heaps) and stays there.
  EXPECT_LE(ends[2].resident, ends[0].resident + 1024);
}
// Every shipped file spoiled every way (long runs) or one way in turn: the menu, all tracks,
// the levels up to the spoiled one (short runs: up to 4), a game won and its credits, one lost.
TEST(GameBrokenAssets, AnyFileSpoiledTheGameStillPlaysUpToIt) {
  int turn = -1;
  for (const std::string& path : ShippedAssets()) {
    const int last = path.rfind("Niveaux/Niveau_", 0) == 0 ? std::stoi(path.substr(15)) : 2;
    if (kSoakScale == 1 && last > 4) continue;
    ++turn;
    for (int k = 0; k < 4; ++k) {
      if (kSoakScale == 1 && k != turn % 4) continue;
      SCOPED_TRACE(path + " " + kDamage[k]);
      ScopedWorkDir dir;
      InstallAssetsWith(path, k);
      GameScript script(static_cast<unsigned>(turn));
      script.Menu(1);
      script.Play(1, last, 4, 20, true);  // the end screen then plays its own music too
      // A chest under the hero, the others out of reach: t then wins (the clock at 0 would lose).
      script.Keys({SDLK_RETURN});
      script.Idle([] {
        GameState& s = *playing;
        s.chestPositions[0] = s.heroPosition;
        for (int i = 1; i < s.chestCount; ++i)
          s.chestPositions[i] = {static_cast<Sint16>(s.width + 2000),
                                 static_cast<Sint16>(s.height + 2000), 0, 0};
      });
      // t, again, credits; a game lost at once (Escape on its start screen), leave, credits.
      script.Keys({SDLK_t, SDLK_RETURN, SDLK_RETURN});
      script.Menu(1);
      script.Keys({SDLK_ESCAPE, SDLK_ESCAPE, SDLK_RETURN});
      EXPECT_EQ(RunGame(script), 0);
      EXPECT_TRUE(script.steps.empty());
      ASSERT_EQ(ends.size(), 2u);
      EXPECT_EQ(std::tie(ends[0].level, ends[0].won, ends[1].won), std::make_tuple(last, 1, 0));
    }
  }
}
