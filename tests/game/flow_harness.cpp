#include "tests/game/flow_harness.h"

#include <sys/stat.h>

#include <array>

#include "game/flow/session.h"

namespace {

// Every picture of the frame loop and the level fill, in a fixed order.
constexpr std::array<const char*, 20> kSprites = {
    "Images/Glouto.png",     "Images/Glouto2.png",   "Images/Glouto3.png",
    "Images/Glouto4.png",    "Images/Glouto2.1.png", "Images/Glouto2.2.png",
    "Images/Glouto2.3.png",  "Images/Glouto2.4.png", "Images/Ennemi.png",
    "Images/Ennemi2.png",    "Images/Ennemi3.png",   "Images/Ennemi4.png",
    "Images/Ennemi2.1.png",  "Images/Ennemi2.2.png", "Images/Ennemi2.3.png",
    "Images/Ennemi2.4.png",  "Images/Mur.png",       "Images/coffre.png",
    "Images/gloutofond.jpg", "Images/Imageperd.png"};

}  // namespace

int SpriteWidth(const std::string& path) {
  for (size_t i = 0; i < kSprites.size(); ++i)
    if (path == kSprites[i]) return 21 + static_cast<int>(i);
  return -1;
}

int WidthOf(const SDL_Surface* image) { return image ? image->w : -1; }

void WriteSprites() {
  mkdir("Images", 0755);
  for (const char* path : kSprites) {
    SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, SpriteWidth(path), 50, 32, 0xFF0000,
                                              0xFF00, 0xFF, 0);
    ASSERT_NE(image, nullptr);
    SDL_FillRect(image, nullptr, SDL_MapRGB(image->format, 200, 30, 30));
    ASSERT_EQ(SDL_SaveBMP(image, path), 0) << path;
    SDL_FreeSurface(image);
  }
}

void WriteLevel(int level, const std::string& body) {
  mkdir("Niveaux", 0755);
  WriteFile("Niveaux/Niveau_" + std::to_string(level) + ".txt", body);
}

void ResetGlobals() {
  tamponIMG = 1;
  FINPROG = 0;
  attente = 0;
  invulnerable = 0;
  Change = 0;
}

void FlowTest::SetUp() {
  SdlTest::SetUp();
  ResetGlobals();
  game_ = std::make_unique<GameState>();
  game_->screen = SDL_SetVideoMode(600, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
  ASSERT_NE(game_->screen, nullptr);
}

void FlowTest::TearDown() {
  SDL_RemoveTimer(game_->timerId);
  ReleaseGameSurfaces(*game_);
  SdlTest::TearDown();
  ResetGlobals();
}

void FlowTest::ClearChests() {
  for (SDL_Rect& chest : game_->chestPositions) chest = At(3000, 3000);
}
