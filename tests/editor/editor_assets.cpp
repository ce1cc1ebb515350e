#include "tests/editor/editor_assets.h"

#include <sys/stat.h>
#include <unistd.h>

void MakePicture(const char* path, Rgb colour, int size) {
  SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 32, 0, 0, 0, 0);
  ASSERT_NE(picture, nullptr);
  SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, colour.r, colour.g, colour.b));
  EXPECT_EQ(SDL_SaveBMP(picture, path), 0) << path;
  SDL_FreeSurface(picture);
}

bool MakeEditorAssets(bool pictures, bool font) {
  mkdir("Niveaux", 0755);
  if (pictures) {
    mkdir("Images", 0755);
    MakePicture("Images/blanc.png", kBlankColour);
    MakePicture("Images/Mur.png", kWallColour);
  }
  if (!font) return false;
  mkdir("Police", 0755);
  const std::string shipped = AssetsDir() + "/Police/comic.ttf";
  return FileExists(shipped) && symlink(shipped.c_str(), "Police/comic.ttf") == 0;
}

Rgb ColourOf(SDL_Surface* picture) { return PixelAt(picture, 0, 0); }
