#ifndef GLOUTO_GAME_REPLAY_INTAKE_H
#define GLOUTO_GAME_REPLAY_INTAKE_H

#include <SDL.h>

#include <cstdint>
#include <string>

#include "game/replay/recording.h"

struct GameState;

// Everything a game takes from outside its rules passes here, the one place:
// the draw's seed, the globals it starts with, every event its loop, pause and
// screens take, the timer's quarter seconds each frame sees, the level files
// and the waits. A game played is recorded as it goes; a game watched takes
// all of it from its recording instead, and a challenge plays anew on a
// recording's draw and levels. A game on two screens (host and guest) takes
// them from both devices in lockstep (linked.h): the same game, and the same
// recording, on both.

enum class IntakeMode { kPlay, kWatch, kChallenge, kHost, kGuest };

// Before the first game: how the games of this run take their input. `fast`
// (watching only) leaves out every wait.
void IntakeBegin(IntakeMode mode, const Recording* recording = nullptr, bool fast = false);
IntakeMode CurrentIntakeMode();

// The start of a game, before SDL starts: the seed of its draw. Watching, the
// globals become the recording's.
std::uint32_t IntakeStartGame();
// The first level a game plays: the recording's when there is one.
int IntakeFirstLevel(int asked);

// A game on two screens starts with two players, without the player-count
// menu: returns 2 then, its recording saying the menu was answered so (a
// replay's menu takes that answer); 0 when the menu asks.
int IntakeSkippedMenu();

// While the pause is on screen: on two screens, the guest's p ends it too.
void IntakeInPause(bool paused);

// Once a frame, at its start: the quarter seconds the timer counted since the
// last frame, which the frame adds to Change.
int IntakeFrame(const GameState& s);

// SDL_PollEvent and SDL_WaitEvent for the game, its pause and its screens.
int PollGameEvent(SDL_Event* event);
int WaitGameEvent(SDL_Event* event);

// SDL_Delay for the game: none when watching fast, shorter at a higher speed.
void GameWait(Uint32 ms);

// A level file's walls, as ReadLevelFile gives them (-1: no file).
int ReadGameLevel(int level, SDL_Rect* walls, int capacity);

// Opens a page for the player; never while watching.
void OpenGamePage(const char* target, int showCommand);

// The end of a game, after its end screens: writes "Fin de partie : ...", keeps
// the game played, says how a challenge or a replay went. Returns the game's
// recording.
const Recording& IntakeEndGame(const GameState& s);

// 0, or 1 when a watched game did not go as recorded (said on stderr).
int IntakeStatus();

#endif
