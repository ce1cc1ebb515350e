#include "platform/picture_files.h"

#include <SDL_image.h>
#include <emscripten.h>

#include <dirent.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/web/waits.h"

namespace {

// The pictures are the site's preloaded files, which never change while the
// page lives: each is decoded once, into a surface kept here.
std::unordered_map<std::string, SDL_Surface*> decoded;
std::unordered_set<std::string> foldersDecoded;

// Decoding reads the new canvas back, and the browser's SDL hands out the
// canvases of freed surfaces again: a canvas read twice makes Chromium warn
// and slow it down. A whole folder is decoded before the first of its
// pictures is used, so no decoding happens in the middle of play.
void DecodeFolderOf(const std::string& path) {
  const std::string folder = path.substr(0, path.find_last_of('/') + 1);
  if (!foldersDecoded.insert(folder).second) return;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() < 5 || name.find_last_of('.') != name.size() - 4) continue;
    const std::string file = folder + name;
    YieldIfLong();
    if (!decoded.count(file)) {
      if (SDL_Surface* picture = IMG_Load(file.c_str())) decoded[file] = picture;
    }
  }
  closedir(dir);
}

}  // namespace

// The copy remembers its picture, whose pixels the browser's SDL already
// read into memory when decoding it: keying the copy needs no read-back.
// clang-format off
EM_JS(void, CopyPicture, (SDL_Surface * from, SDL_Surface* to), {
  var source = SDL.surfaces[from], target = SDL.surfaces[to];
  GloutoFrames.writing(target);
  target.ctx.globalCompositeOperation = 'copy';
  target.ctx.drawImage(source.canvas, 0, 0);
  target.ctx.globalCompositeOperation = 'source-over';
  target.picture = source;
  GloutoMarks.fresh(target);
});
// clang-format on

// The browser's IMG_Load reads every new canvas back into memory, which a
// game loading its sprites several times a second pays at each load.
SDL_Surface* LoadPicture(const char* path) {
  if (!path) return nullptr;
  DecodeFolderOf(path);
  SDL_Surface*& picture = decoded[path];
  if (!picture) picture = IMG_Load(path);
  if (!picture) {
    decoded.erase(path);
    return nullptr;
  }
  const SDL_PixelFormat* f = picture->format;
  SDL_Surface* copy = SDL_CreateRGBSurface(picture->flags, picture->w, picture->h, f->BitsPerPixel,
                                           f->Rmask, f->Gmask, f->Bmask, f->Amask);
  if (copy) CopyPicture(picture, copy);
  return copy;
}
