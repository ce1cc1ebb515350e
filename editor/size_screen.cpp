#include "editor/size_screen.h"

#include <SDL_ttf.h>

#include <array>

#include "common/screen_kit.h"
#include "editor/editor.h"
#include "level/level_rules.h"
#include "platform/screens.h"
#include "platform/window.h"

namespace {

constexpr int kButtons = static_cast<int>(kLevelWidths.size());

struct Button {
  const char* label;
  int width;   // of the plate
  int dx, dy;  // of the plate's corner from the window's centre
};

// One button per level width, in the order of kLevelWidths.
constexpr std::array<Button, kButtons> kButtonTable{{
    {"Niveau 1", 100, -50, -100},
    {"Niveau 2", 100, -50, -50},
    {"Niveau 3", 100, -50, 0},
    {"Niveau 4", 100, -50, 50},
    {"Plus que 4", 110, -55, 100},
}};

}  // namespace

int Taille(SDL_Surface* screen, int width, int height) {
  TTF_Font* font = OpenGameFont();
  std::array<SDL_Surface*, kButtons> labels{};
  std::array<SDL_Surface*, kButtons> plates{};
  std::array<SDL_Rect, kButtons> positions{};
  std::array<int, kButtons> greys{};
  std::array<ScreenPlate, kButtons> shown{};
  const int cx = width / 2, cy = height / 2;
  for (int k = 0; k < kButtons; ++k) {
    const Button& b = kButtonTable[k];
    labels[k] = RenderText(font, b.label, kTextBlack);
    plates[k] = MakePlate(b.width);
    positions[k] = SDL_Rect{static_cast<Sint16>(cx + b.dx), static_cast<Sint16>(cy + b.dy), 0, 0};
    greys[k] = kIdleGrey;
    shown[k] = PlateAt(b.label, positions[k], b.width, kPlateHeight);
  }
  ScreenShown("taille", shown.data(), kButtons);

  int result = width;
  int running = 1;
  while (running == 1) {
    // The fifth label goes in the backdrop slot, painted over its plate.
    Texte(screen, plates[0], plates[1], plates[2], plates[3], plates[4], labels[4], labels[0],
          labels[1], labels[2], labels[3], positions[0], positions[1], positions[2], positions[3],
          positions[4], positions[4], positions[0], positions[1], positions[2], positions[3],
          greys[0], greys[1], greys[2], greys[3], greys[4], 255, 5, 4, 1);

    SDL_Event event;
    if (WindowPollEvent(&event)) {
      switch (event.type) {
        case SDL_MOUSEMOTION:
          SDL_ShowCursor(SDL_ENABLE);
          for (int k = 0; k < kButtons; ++k) {
            const bool over = OnPlate(event.motion.x, event.motion.y, positions[k],
                                      kButtonTable[k].width, kPlateHeight);
            greys[k] = over ? kLitGrey : kIdleGrey;
          }
          break;
        case SDL_MOUSEBUTTONUP:
          for (int k = 0; k < kButtons; ++k) {
            if (OnPlate(event.button.x, event.button.y, positions[k], kButtonTable[k].width,
                        kPlateHeight)) {
              running = 0;
              result = kLevelWidths[k];
              break;
            }
          }
          break;
        case SDL_QUIT:
          running = 0;
          FINPROG = 1;
          break;
        default: break;
      }
    }
    SDL_Delay(30);
  }

  FreeSurface(labels[0], labels[1], labels[2], labels[3], labels[4], 5);
  FreeSurface(plates[0], plates[1], plates[2], plates[3], plates[4], 5);
  CloseFont(font);
  return result;
}
