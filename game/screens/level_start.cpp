#include <SDL_image.h>

#include <cstdio>

#include "game/flow/globals.h"
#include "game/maze/actors.h"
#include "game/replay/intake.h"
#include "game/screens/composer.h"
#include "game/screens/screen_kit.h"
#include "game/screens/screens.h"
#include "platform/screens.h"

namespace {

constexpr int kPlateWidth = 125;

struct Outcome {
  bool running = true;
  int result = 1;
  int grey = kIdleGrey;
};

void Handle(const SDL_Event& event, SDL_Rect plate, Outcome& out) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      SDL_ShowCursor(SDL_ENABLE);
      out.grey = OnPlate(event.motion.x, event.motion.y, plate, kPlateWidth, kPlateHeight)
                     ? kLitGrey
                     : kIdleGrey;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (OnPlate(event.button.x, event.button.y, plate, kPlateWidth, kPlateHeight))
        out.running = false;
      break;
    case SDL_KEYDOWN:
      if (event.key.keysym.sym == SDLK_RETURN) out.running = false;
      if (event.key.keysym.sym == SDLK_ESCAPE) out = {false, 0, out.grey};
      break;
    case SDL_QUIT:
      out = {false, 0, out.grey};
      FINPROG = 1;
      break;
    default: break;
  }
}

}  // namespace

int init(int width, int height, SDL_Surface* screen, int level, int chestCount,
         SDL_Surface** chestImages, SDL_Surface** wallImages, SDL_Rect* chestPositions,
         int enemyCount, SDL_Rect* enemyPositions, SDL_Surface** enemyImages, int* enemyDirections,
         SDL_Rect* heroPosition, FSOUND_STREAM* stream, TTF_Font* font, SDL_Rect* wallPositions,
         int* wallCount) {
  SDL_ShowCursor(SDL_ENABLE);
  Outcome out;
  SDL_Surface* backdrop = IMG_Load("Images/gloutofond.jpg");
  SDL_Surface* plate = MakePlate(kPlateWidth);
  SDL_WM_SetCaption("Bienvenue dans le monde du Glouto !", nullptr);
  char levelText[20];
  std::snprintf(levelText, sizeof levelText, " %d", level);
  SDL_Surface* niveau = RenderText(font, "Niveau", kBlack);
  SDL_Surface* number = RenderText(font, levelText, kBlack);
  constexpr const char* kStart = "Commencer";
  SDL_Surface* commencer = RenderText(font, kStart, kBlack);

  const int cx = width / 2, cy = height / 2;
  const SDL_Rect backdropAt = At(cx - 60, cy - 155);
  // The button hangs from the window's bottom, not from its centre.
  const SDL_Rect plateAt = At(cx - 63, height - 240);
  const SDL_Rect niveauAt = At(cx - 40, cy - 30);
  const SDL_Rect numberAt = At(cx - 15, cy - 5);
  const SDL_Rect commencerAt = At(cx - 63, height - 240);

  const ScreenPlate plates[] = {PlateAt(kStart, plateAt, kPlateWidth, kPlateHeight)};
  ScreenShown("debut", plates, 1);
  while (out.running) {
    Texte(screen, plate, nullptr, backdrop, niveau, number, commencer, nullptr, plateAt, PRIEN,
          backdropAt, niveauAt, numberAt, commencerAt, PRIEN, out.grey, 0, 255, 1, 3, 1);
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    SDL_Event event;
    if (PollGameEvent(&event)) Handle(event, plateAt, out);
    GameWait(kPassDelay);
  }

  // The level is filled whatever the player chose.
  *wallCount = Murs(wallImages, wallPositions, width, height, screen, level);
  Carres(width, height, chestPositions, chestImages, chestCount, wallPositions, *wallCount);
  Ennemis(width, height, enemyDirections, enemyCount, heroPosition, enemyPositions, enemyImages);

  FreeSurface(niveau, number, commencer, backdrop, plate);
  return out.result;
}
