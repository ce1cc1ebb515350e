#include "editor/editor.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/command_line.h"
#include "common/screen_kit.h"
#include "editor/cycle_hook.h"
#include "editor/fichier.h"
#include "editor/grid.h"
#include "editor/open_level.h"
#include "editor/press.h"
#include "editor/size_screen.h"
#include "level/level_rules.h"
#include "platform/screens.h"
#include "platform/window.h"

int FINPROG = 0;
void (*cycleStarted)(int cycle) = nullptr;

namespace {

constexpr const char* kCaption = "Editeur de Niveaux : Creez vos niveaux !";
constexpr int kHeight = kLevelHeight;
constexpr Uint32 kVideoFlags = SDL_HWSURFACE | SDL_DOUBLEBUF;

// Everything one editing cycle sets up anew.
struct Cycle {
  std::array<SDL_Surface*, kTableSize> pictures{};
  std::array<SDL_Rect, kTableSize> positions{};
  std::array<int, kTableSize> wallX{};
  std::array<int, kTableSize> wallY{};
  int cellCount = 0;
  int nextSlot = 1;
  int wallCount = 0;
  int width = 400;
  int height = 400;
  SDL_Surface* screen = nullptr;
  SDL_Surface* loading = nullptr;
  SDL_Rect loadingPosition{0, 0, 0, 0};
};

void ShowLoading(Cycle& c) {
  FillGrey(c.screen, c.screen, 255);
  BlitAt(c.loading, c.screen, c.loadingPosition);
  if (c.screen) WindowFlip(c.screen);
}

void BuildGrid(Cycle& c) {
  c.cellCount = Init(c.screen, c.pictures.data(), c.positions.data(), c.width, c.height, kCellSize,
                     c.wallX.data(), c.wallY.data());
  c.nextSlot = 1;
  c.wallCount = 0;
}

// Every cycle starts from the level being changed, as the file now holds it.
void OpenFile(Cycle& c, const char* file) {
  errno = 0;
  const int leftOut = OpenLevel(file, c.pictures.data(), c.positions.data(), c.cellCount,
                                c.wallX.data(), c.wallY.data(), &c.nextSlot, &c.wallCount, c.width,
                                c.height);
  if (leftOut < 0) {
    std::fprintf(stderr, "editor: cannot read the level %s (%s); the grid starts empty\n", file,
                 errno ? std::strerror(errno) : "unreadable");
  } else if (leftOut > 0) {
    std::fprintf(stderr,
                 "editor: %d wall(s) of %s are not on free cells of the %d-wide grid "
                 "and were left out\n",
                 leftOut, file, c.width);
  }
}

// One event of the editing loop; returns 0 when the cycle ends.
int Handle(Cycle& c, const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      Appui(c.pictures.data(), c.positions.data(), c.cellCount, c.wallX.data(), c.wallY.data(),
            &c.nextSlot, &c.wallCount, c.width, c.height, event.button.x, event.button.y);
      SDL_Delay(150);
      return 1;
    case SDL_KEYDOWN:
      switch (event.key.keysym.sym) {
        case SDLK_RETURN: return 0;
        case SDLK_ESCAPE: FINPROG = 1; return 0;
        case SDLK_BACKSPACE:
          ShowLoading(c);
          BuildGrid(c);
          return 1;
        default: return 1;
      }
    case SDL_QUIT: FINPROG = 1; return 0;
    default: return 1;
  }
}

// A finger's stroke across the grid, queued by the browser's page: every
// cell by the press rule, at once, in the order crossed and before any event
// that came after them; taken before the grid is drawn, and again once the
// frame's wait let more in. The desktop's presses come one a pass, below.
void TakePagePresses(Cycle& c) {
  int x = 0;
  int y = 0;
  while (WindowTakePagePress(&x, &y)) {
    Appui(c.pictures.data(), c.positions.data(), c.cellCount, c.wallX.data(), c.wallY.data(),
          &c.nextSlot, &c.wallCount, c.width, c.height, x, y);
  }
}

void Edit(Cycle& c) {
  ScreenShown("grille", nullptr, 0);
  int running = 1;
  while (running == 1 && FINPROG == 0) {
    TakePagePresses(c);
    Dessin(c.screen, c.pictures.data(), c.positions.data(), c.width, c.height, kCellSize,
           c.cellCount);
    TakePagePresses(c);
    SDL_Event event;
    if (WindowPollEvent(&event)) running = Handle(c, event);
    SDL_Delay(50);
  }
}

// False, with nothing started, when SDL cannot start its video (no display):
// the size screen would otherwise wait for ever for a click.
bool RunCycle(int number, const char* file) {
  if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "editor: cannot open the editor's window: %s\n", SDL_GetError());
    return false;
  }
  TTF_Init();
  if (cycleStarted) cycleStarted(number);
  SDL_Surface* icon = IMG_Load(kWallPicture);
  SDL_WM_SetIcon(icon, nullptr);
  TTF_Font* font = OpenGameFont();

  // Some 70 KB of tables: on the heap, as cycles may follow one another.
  auto c = std::make_unique<Cycle>();
  c->wallX.fill(-1);
  c->wallY.fill(-1);

  c->screen = WindowSetVideoMode(c->width, c->height, 32, kVideoFlags);
  FillGrey(c->screen, c->screen, 255);
  SDL_WM_SetCaption(kCaption, nullptr);
  c->width = Taille(c->screen, c->width, c->height);

  c->height = kHeight;
  c->screen = WindowSetVideoMode(c->width, c->height, 32, kVideoFlags);
  c->loadingPosition.x = static_cast<Sint16>(c->width / 2 - 80);
  c->loadingPosition.y = static_cast<Sint16>(c->height / 2 - 30);
  c->loading = RenderText(font, "Chargement ...", kTextBlack);
  ShowLoading(*c);

  if (FINPROG == 0) {
    BuildGrid(*c);
    if (file) OpenFile(*c, file);
    Edit(*c);
  }
  if (FINPROG == 0) Fichier(c->wallX.data(), c->wallY.data(), c->nextSlot, c->wallCount);

  // Released while SDL is still up: the surfaces may live in video memory.
  for (SDL_Surface*& picture : c->pictures) {
    SDL_FreeSurface(picture);
    picture = nullptr;
  }
  SDL_FreeSurface(c->loading);
  SDL_FreeSurface(icon);

  SDL_Quit();
  CloseFont(font);
  TTF_Quit();
  return true;
}

}  // namespace

int SDL_main(int argc, char** argv) {
  CommandLine options;
  if (!ReadCommandLine(argc, argv, "editor", Accepts::File, options)) return 2;
  WindowSetZoom(options.zoom);
  // A loop rather than a call of SDL_main per cycle: the stack stays flat
  // however many levels are drawn in one session.
  int cycle = 0;
  do {
    if (!RunCycle(++cycle, options.file)) return 1;
  } while (FINPROG == 0);
  return 0;
}
