#ifndef GLOUTO_TESTS_RELIABILITY_GAME_SCRIPT_H
#define GLOUTO_TESTS_RELIABILITY_GAME_SCRIPT_H

// Scripted runs of the whole game (its SDL_main) on the real code: a player
// who clicks through the screens, plays frames with the keys that keep a
// game going, and moves on with g; time is compressed, and `Change` is
// advanced by hand as the 250 ms timer would between frames of about 40 ms.

#include <SDL.h>

#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

struct GameState;

class GameScript {
 public:
  explicit GameScript(unsigned seed) : random_(seed), seed_(seed) {}

  // The player-count menu: a look at the instructions page and back, then
  // one or two players.
  void Menu(int players);
  // `frames` frames of play: arrows and the other harmless keys now and
  // then (music, volume, lives, clock, pause), idle frames otherwise.
  void Play(int frames, int players);
  // Leaves the level with g and starts the next with Return. The enemies
  // are sent away first (left Ctrl): a chest one of them eats in the frame
  // of the g raises the count again, and the game ends instead.
  void NextLevel();
  // One whole game of `levels` levels, ended by t; then Return (again) or Escape on the end
  // screen, and Return on the credits.
  void Game(int players, int levels, int framesPerLevel, bool again);
  void Event(const SDL_Event& event) { steps_.push_back({true, event, nullptr}); }
  void Key(SDLKey key);
  // A frame in which the player's luck puts a chest under the hero, who
  // then eats it by the rules, and takes every other chest out of reach:
  // a game ended with t is won.
  void Luck();

  // Feeds one step per poll; an idle step gives no event. Every sixth poll
  // is a quarter second more on `Change`. Once the steps run out, the
  // window closes.
  bool Next(SDL_Event& event);
  bool Exhausted() const { return steps_.empty(); }
  // Polls made by the frame loop (told by the window caption), and ticks given.
  long Frames() const { return frames_; }
  long Ticks() const { return ticks_; }
  // Also seeds the game's own draws, game after game.
  unsigned Seed() const { return seed_; }

 private:
  struct Step {
    bool hasEvent;
    SDL_Event event;
    std::function<void()> action;
  };
  std::mt19937 random_;
  unsigned seed_;
  std::deque<Step> steps_;
  long frames_ = 0;
  long polls_ = 0;
  long ticks_ = 0;
};

// What a scripted run saw at the end of each game, before it was released.
struct GameEnd {
  int level, playerCount, running, won, score, lives, clock;
  long resident;
};
struct GameRun {
  int result = -1;
  std::vector<GameEnd> ends;
  long residentAtEnd = 0;
};

// Runs the whole game on the script, in the working directory, from fresh globals.
GameRun RunGame(GameScript& script);

#endif
