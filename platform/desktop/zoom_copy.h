#ifndef GLOUTO_PLATFORM_DESKTOP_ZOOM_COPY_H
#define GLOUTO_PLATFORM_DESKTOP_ZOOM_COPY_H

#include <SDL.h>

#include <vector>

// Keeps a window surface showing a program's surface with every pixel a
// zoom x zoom block (nearest neighbour). Enlarging a whole 1000 x 600 frame
// writes 9.6 MB, more than a frame may cost, while a frame of the game
// changes only where something moved: so only the parts whose pixels differ
// from the last update are enlarged again.
class ZoomedCopy {
 public:
  // The next Update redraws everything (a new window, a page flip).
  void Forget() { known_ = false; }

  // Redraws `to` from `from`, both of one pixel format and ready to be
  // written, as far as `to` reaches. Returns the rectangles of `to` redrawn.
  const std::vector<SDL_Rect>& Update(const SDL_Surface* from, SDL_Surface* to, int zoom);

 private:
  bool known_ = false;
  int width_ = 0, height_ = 0, zoom_ = 0, bytesPerPixel_ = 0;
  std::vector<Uint8> last_;  // `from` as of the last update, rows packed
  std::vector<SDL_Rect> redrawn_;
};

#endif
