#include "tests/reliability/game_script.h"

#include <cstdlib>
#include <cstring>

#include "game/flow/game.h"
#include "game/flow/globals.h"
#include "game/flow/state.h"
#include "tests/reliability/soak.h"
#include "tests/support/test_support.h"

namespace {

// Where the player-count menu of the 600 x 600 window has its buttons.
constexpr SDL_Rect kManual{300, 120, 0, 0}, kBack{300, 570, 0, 0}, kOne{300, 290, 0, 0},
    kTwo{300, 345, 0, 0};
constexpr int kPollsPerTick = 6;

SDL_Event PressAt(const SDL_Rect& at) { return MouseButton(SDL_MOUSEBUTTONDOWN, at.x, at.y); }

// Keys that leave the game running and on its level.
constexpr SDLKey kArrows[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_RETURN};
constexpr SDLKey kHarmless[] = {SDLK_SPACE,     SDLK_F1,    SDLK_F2, SDLK_6,
                                SDLK_EQUALS,    SDLK_v,     SDLK_F5, SDLK_RSHIFT,
                                SDLK_BACKSPACE, SDLK_LCTRL, SDLK_x};
constexpr SDLKey kSecondPlayer[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d};

GameRun* current = nullptr;
GameState* playing = nullptr;
unsigned seed = 0;

// The game seeds its draws from the clock; a run must be the same every time.
void AtGameStart(GameState& s) {
  playing = &s;
  std::srand(seed++);
}

void AtGameEnd(GameState& s) {
  current->ends.push_back(
      {s.level, s.playerCount, s.running, s.won, s.score, s.lives, s.clock, ResidentKiB()});
}

}  // namespace

void GameScript::Key(SDLKey key) { Event(KeyDown(key)); }

void GameScript::Menu(int players) {
  Event(MouseMotion(kManual.x, kManual.y));
  Event(PressAt(kManual));
  Event(PressAt(kBack));
  Event(PressAt(players == 2 ? kTwo : kOne));
}

void GameScript::Play(int frames, int players) {
  // Out of reach of the enemies, with lives to spare: the game must not end early.
  Key(SDLK_RSHIFT);
  Key(SDLK_v);
  Key(SDLK_v);
  std::uniform_int_distribution<int> die(0, 199);
  for (int f = 3; f < frames; ++f) {
    const int roll = die(random_);
    if (roll < 25) {
      Key(kArrows[roll % 5]);
    } else if (roll < 31) {
      Key(kHarmless[(roll + f) % 11]);
    } else if (roll < 35 && players == 2) {
      Key(kSecondPlayer[roll % 4]);
    } else if (roll == 35) {
      Key(SDLK_p);  // pause: these two are taken by the pause loop
      Key(SDLK_SEMICOLON);
      Key(SDLK_p);
    } else {
      steps_.push_back({false, {}, nullptr});
    }
  }
  // Wall answers lower the protection to a few seconds: raise it again.
  Key(SDLK_RSHIFT);
}

void GameScript::Luck() {
  // Only one chest may be under the hero: it eats one per frame, and a second
  // one left there would be eaten in the next frame, the frame of the t.
  steps_.push_back({false, {}, [] {
                      if (!playing) return;
                      GameState& s = *playing;
                      s.chestPositions[0] = s.heroPosition;
                      for (int i = 1; i < s.chestCount; ++i)
                        s.chestPositions[i] = {static_cast<Sint16>(s.width + 2000),
                                               static_cast<Sint16>(s.height + 2000), 0, 0};
                    }});
}

void GameScript::NextLevel() {
  Key(SDLK_LCTRL);
  Key(SDLK_g);
  Key(SDLK_RETURN);  // the level-start screen
}

void GameScript::Game(int players, int levels, int framesPerLevel, bool again) {
  Menu(players);
  Key(SDLK_RETURN);  // the first level-start screen
  Play(framesPerLevel, players);
  for (int level = 2; level <= levels; ++level) {
    NextLevel();
    Play(framesPerLevel, players);
  }
  Key(SDLK_t);
  Key(again ? SDLK_RETURN : SDLK_ESCAPE);  // the end screen
  Key(SDLK_RETURN);                        // the credits
}

bool GameScript::Next(SDL_Event& event) {
  if (++polls_ % kPollsPerTick == 0) {
    ++Change;
    ++ticks_;
  }
  if (steps_.empty()) {
    event = QuitEvent();
    return true;
  }
  char* caption = nullptr;
  SDL_WM_GetCaption(&caption, nullptr);
  constexpr const char* kPlaying = "Glouto seconde generation ! Niveau";
  if (caption && std::strncmp(caption, kPlaying, std::strlen(kPlaying)) == 0 &&
      !std::strstr(caption, "PAUSE")) {
    ++frames_;
  }
  const Step step = steps_.front();
  steps_.pop_front();
  if (step.action) step.action();
  event = step.event;
  return step.hasEvent;
}

GameRun RunGame(GameScript& script) {
  GameRun run;
  current = &run;
  seed = script.Seed();
  tamponIMG = 1;
  FINPROG = 0;
  attente = 0;
  invulnerable = 0;
  Change = 0;
  gameStartHook = AtGameStart;
  gameEndHook = AtGameEnd;
  ScriptInput([&script](SDL_Event& e) { return script.Next(e); });
  char name[] = "game";
  char* argv[] = {name, nullptr};
  run.result = SDL_main(1, argv);
  run.residentAtEnd = ResidentKiB();
  ScriptInput(nullptr);
  gameStartHook = nullptr;
  gameEndHook = nullptr;
  current = nullptr;
  playing = nullptr;
  return run;
}
