#include "platform/picture_files.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Past this many files the cache starts over; the programs use about twenty.
constexpr size_t kMaxFiles = 64;
// Bigger files are decoded each time: they are loaded once per screen anyway.
constexpr long kMaxFileBytes = 1 << 20;

using Bytes = std::vector<unsigned char>;

// The whole file, or false when it cannot be read or is too big to keep.
bool ReadWhole(const char* path, Bytes* bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bytes->clear();
  unsigned char chunk[16384];
  size_t got = 0;
  bool fits = true;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes->insert(bytes->end(), chunk, chunk + got);
    if (bytes->size() > static_cast<size_t>(kMaxFileBytes)) {
      fits = false;
      break;
    }
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return fits && !failed && !bytes->empty();
}

// IMG_Load's own rule: the extension is the type hint.
SDL_Surface* Decode(const char* path, const Bytes& bytes) {
  const char* dot = std::strrchr(path, '.');
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!source) return nullptr;
  return IMG_LoadTyped_RW(source, 1, dot ? const_cast<char*>(dot + 1) : nullptr);
}

// Only a plain software surface can be copied field by field: anything SDL
// keeps elsewhere (video memory, RLE data, borrowed pixels) could not be.
bool Copyable(const SDL_Surface* s) {
  return s->format && s->pixels && s->offset == 0 &&
         !(s->flags & (SDL_HWSURFACE | SDL_RLEACCEL | SDL_PREALLOC | SDL_HWACCEL));
}

SDL_Surface* Duplicate(const SDL_Surface* original) {
  const SDL_PixelFormat* f = original->format;
  SDL_Surface* copy = SDL_CreateRGBSurface(SDL_SWSURFACE, original->w, original->h, f->BitsPerPixel,
                                           f->Rmask, f->Gmask, f->Bmask, f->Amask);
  if (!copy) return nullptr;
  if (copy->pitch != original->pitch) {  // SDL sizes rows the same way every time
    SDL_FreeSurface(copy);
    return nullptr;
  }
  if (f->palette && copy->format->palette) {
    SDL_Palette* palette = copy->format->palette;
    palette->ncolors = f->palette->ncolors;
    std::memcpy(palette->colors, f->palette->colors,
                sizeof(SDL_Color) * static_cast<size_t>(f->palette->ncolors));
  }
  std::memcpy(copy->pixels, original->pixels,
              static_cast<size_t>(original->pitch) * static_cast<size_t>(original->h));
  // Nothing has drawn the copy yet, so the key and alpha settings can be
  // taken over as they are, without SDL's side effects.
  copy->flags = original->flags;
  copy->format->colorkey = f->colorkey;
  copy->format->alpha = f->alpha;
  copy->clip_rect = original->clip_rect;
  return copy;
}

struct Decoded {
  Bytes file;
  SDL_Surface* picture = nullptr;  // never handed out, never drawn
};

class DecodedFiles {
 public:
  DecodedFiles() = default;
  DecodedFiles(const DecodedFiles&) = delete;
  DecodedFiles& operator=(const DecodedFiles&) = delete;
  ~DecodedFiles() { Clear(); }

  SDL_Surface* Load(const char* path) {
    if (!ReadWhole(path, &scratch_)) return IMG_Load(path);  // let SDL_image fail, and say why
    auto found = files_.find(path);
    if (found != files_.end() && found->second.file == scratch_)
      return Duplicate(found->second.picture);

    SDL_Surface* decoded = Decode(path, scratch_);
    if (!decoded || !Copyable(decoded)) return decoded;
    SDL_Surface* handedOut = Duplicate(decoded);
    if (!handedOut) return decoded;
    if (found != files_.end()) {
      SDL_FreeSurface(found->second.picture);
      files_.erase(found);
    }
    if (files_.size() >= kMaxFiles) Clear();
    files_.emplace(path, Decoded{scratch_, decoded});
    return handedOut;
  }

 private:
  void Clear() {
    for (auto& entry : files_) SDL_FreeSurface(entry.second.picture);
    files_.clear();
  }

  std::unordered_map<std::string, Decoded> files_;
  Bytes scratch_;
};

}  // namespace

SDL_Surface* LoadPicture(const char* path) {
  static DecodedFiles files;
  if (!path) return nullptr;  // IMG_Load would crash on it
  return files.Load(path);
}
