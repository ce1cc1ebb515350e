#include "game/flow/pause.h"

#include "game/flow/caption.h"
#include "game/flow/globals.h"
#include "game/replay/intake.h"
#include "platform/window.h"

namespace {

void HandlePauseEvent(GameState& s) {
  if (s.event.type == SDL_QUIT) {
    s.pauseLoop = 0;
    s.running = 0;
    FINPROG = 1;
    return;
  }
  if (s.event.type != SDL_KEYDOWN) return;
  switch (s.event.key.keysym.sym) {
    case SDLK_SEMICOLON: FSOUND_SetPaused(FSOUND_ALL, 0); break;  // music back, game still paused
    case SDLK_p:
      s.pauseLoop = 0;
      FSOUND_SetPaused(FSOUND_ALL, 0);
      break;
    case SDLK_ESCAPE:  // the game ends with the sound still paused
      s.pauseLoop = 0;
      s.running = 0;
      break;
    default: break;
  }
}

}  // namespace

void PauseGame(GameState& s) {
  SDL_RemoveTimer(s.timerId);
  s.timerId = {};
  FSOUND_SetPaused(FSOUND_ALL, 1);
  GameWait(100);
  if (s.pauseText && s.screen) SDL_BlitSurface(s.pauseText, nullptr, s.screen, &s.pauseRect);
  if (s.screen) WindowFlip(s.screen);
  ShowPlayScreen(s, true);
  IntakeInPause(true);
  while (s.pauseLoop == 1) {
    if (PollGameEvent(&s.event)) HandlePauseEvent(s);
    GameWait(30);
  }
  IntakeInPause(false);
  ShowPlayScreen(s);
  GameWait(100);
  s.timerId = SDL_AddTimer(250, minuteur, nullptr);
  s.pauseLoop = 1;
}
