#include "common/Condition.h"

namespace {

bool Within(int value, int low, int high) { return low <= value && value <= high; }

// Is one of the four corners of the square [x+lo, x+hi] x [y+lo, y+hi] inside
// the square [ox+olo, ox+ohi] x [oy+olo, oy+ohi]?
bool CornerInside(int x, int y, int lo, int hi, int ox, int oy, int olo, int ohi) {
  const bool lowX = Within(x + lo, ox + olo, ox + ohi), highX = Within(x + hi, ox + olo, ox + ohi);
  const bool lowY = Within(y + lo, oy + olo, oy + ohi), highY = Within(y + hi, oy + olo, oy + ohi);
  return (lowX || highX) && (lowY || highY);
}

// Corners of either square inside the other: for squares this is the shared-point test.
bool Touches(const SDL_Rect& mover, const SDL_Rect& other, int m1, int m2, int m3, int m4) {
  const int mx = mover.x, my = mover.y, ox = other.x, oy = other.y;  // widened before sums
  return CornerInside(mx, my, m1, m3, ox, oy, m2, m4) ||
         CornerInside(ox, oy, m2, m4, mx, my, m1, m3);
}

int FirstContact(SDL_Rect* movers, SDL_Rect* others, int count, int index, int m1, int m2, int m3,
                 int m4) {
  for (int i = 0; i < count; ++i) {
    if (Touches(movers[index], others[i], m1, m2, m3, m4)) return i;
  }
  return -1;
}

}  // namespace

int Condition(SDL_Rect* movers, SDL_Rect* others, SDL_Rect point, SDL_Rect box, int count,
              int index, int margin1, int margin2, int margin3, int margin4, int margin5,
              int margin6, int mode) {
  switch (mode) {
    case 0:
      return FirstContact(movers, others, count, index, margin1, margin2, margin3, margin4) >= 0
                 ? 1
                 : -1;
    case 1: return FirstContact(movers, others, count, index, margin1, margin2, margin3, margin4);
    case 2: {
      const int px = point.x + margin1, py = point.y + margin3;
      return Within(px, box.x + margin2, box.x + margin4) &&
                     Within(py, box.y + margin5, box.y + margin6)
                 ? 1
                 : 0;
    }
    default: return -1;
  }
}
