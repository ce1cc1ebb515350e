#include "game/flow/caption.h"

#include <SDL.h>

#include <cstdio>

#include "game/flow/state.h"

void ShowLevelCaption(int level, bool paused) {
  char caption[kCaptionSize];
  std::snprintf(caption, sizeof caption,
                paused ? "Glouto seconde generation ! Niveau %d PAUSE"
                       : "Glouto seconde generation ! Niveau %d",
                level);
  SDL_WM_SetCaption(caption, nullptr);
}
