#ifndef GLOUTO_GAME_FLOW_STATE_H
#define GLOUTO_GAME_FLOW_STATE_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>

#include "game/flow/music.h"
#include "level/level_rules.h"

// The limits of the game are the capacities of its tables; the walls' is a
// level rule.
constexpr int kChestCapacity = 300;
constexpr int kEnemyCapacity = 5;

constexpr int kHudTextSize = 32;
constexpr int kCaptionSize = 64;

// Everything one game owns, from its start-up to its end. A new game starts
// from a fresh GameState; the globals of globals.h carry over.
struct GameState {
  SDL_Surface* screen = nullptr;
  TTF_Font* font = nullptr;
  SDL_Color textColor = {0, 0, 0, 0};
  SDL_Surface* icon = nullptr;  // kept so that the end of a game can release it

  int width = LevelWidth(1);
  int height = kLevelHeight;
  int running = 1;      // after the end screen: 1 means a new game follows
  int playerCount = 1;  // 0 when the player-count menu was left without a choice
  int level = 1;
  int lives = 1;
  int clock = 135;
  int remaining = 104;
  int score = 0;
  int enemyScore = 0;
  int chestCount = 50;
  int enemyCount = 1;
  int wallCount = 1;
  int eatenSinceRefill = 0;
  int chestBonus = 0;
  int keyRemaining = -1;  // set by g or t for their frame's rules; -1 otherwise
  int speed = 5;
  int won = 0;
  int pauseLoop = 1;
  SDL_TimerID timerId = {};
  MusicState music;
  SDL_Event event{};

  SDL_Rect heroPosition = {301, 301, 0, 0};
  SDL_Surface* heroImage = nullptr;
  int heroDirection = 0;
  int heroMode = 0;

  std::array<SDL_Rect, kMaxWalls> wallPositions{};
  std::array<SDL_Surface*, kMaxWalls> wallImages{};
  std::array<SDL_Rect, kChestCapacity> chestPositions{};
  std::array<SDL_Surface*, kChestCapacity> chestImages{};
  std::array<SDL_Rect, kEnemyCapacity> enemyPositions{};
  std::array<SDL_Surface*, kEnemyCapacity> enemyImages{};
  std::array<int, kEnemyCapacity> enemyDirections{};
  std::array<int, kEnemyCapacity> enemyModes{};
  std::array<int, kEnemyCapacity> turnCountdowns{};

  // Head-up display. The texts live for one frame; the rectangles persist,
  // since SDL writes the clipped blit rectangle back into them.
  SDL_Surface* remainingText = nullptr;
  SDL_Surface* clockText = nullptr;
  SDL_Surface* livesText = nullptr;
  SDL_Surface* pauseText = nullptr;
  SDL_Rect remainingRect = {0, -5, 0, 0};
  SDL_Rect clockRect = {470, -5, 0, 0};
  SDL_Rect livesRect = {0, 565, 0, 0};
  SDL_Rect pauseRect = {260, 280, 0, 0};
};

#endif
