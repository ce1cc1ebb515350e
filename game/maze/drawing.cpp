#include "common/screen_kit.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"
#include "game/replay/intake.h"
#include "platform/picture_blits.h"

void Dessin(SDL_Surface* screen, SDL_Surface** images, SDL_Rect* rectangles, int count) {
  for (int i = 0; i < count; ++i) {
    if (!images[i]) continue;  // a picture that failed to load is simply not drawn
    SetWhiteKey(images[i]);
    // The entry itself takes SDL's clipped rectangle: an actor past the left or top
    // edge is moved onto it.
    BlitPicture(images[i], screen, &rectangles[i]);
  }
  GameWait(2);
}
