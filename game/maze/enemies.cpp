#include "common/screen_kit.h"
#include "game/flow/chance.h"
#include "game/maze/actors.h"
#include "game/maze/images.h"

int Ennemis(int /*width*/, int /*height*/, int* enemyDirections, int enemyCount,
            SDL_Rect* /*heroPosition*/, SDL_Rect* enemyPositions, SDL_Surface** enemyImages) {
  for (int i = 0; i < enemyCount; ++i) {
    enemyPositions[i].x = kStartCornerX;
    enemyPositions[i].y = kStartCornerY;
    enemyDirections[i] = Chance() % 4 + 1;
    ReloadImage(&enemyImages[i], "Images/Ennemi.png");
    SetWhiteKey(enemyImages[i]);
  }
  return enemyCount;
}
