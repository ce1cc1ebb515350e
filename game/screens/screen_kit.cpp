#include "game/screens/screen_kit.h"

SDL_Rect At(int x, int y) {
  SDL_Rect r{};
  r.x = static_cast<Sint16>(x);
  r.y = static_cast<Sint16>(y);
  return r;
}
