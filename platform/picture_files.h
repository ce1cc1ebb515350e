#ifndef GLOUTO_PLATFORM_PICTURE_FILES_H
#define GLOUTO_PLATFORM_PICTURE_FILES_H

#include <SDL.h>

// IMG_Load(path), decoding each file's content only once: every call returns
// a new surface that the caller owns and frees, equal in size, format, flags
// and pixels to what IMG_Load would return. The file is still read on every
// call, so a picture changed on disk, or another one under the same relative
// path, is decoded afresh.
SDL_Surface* LoadPicture(const char* path);

#endif
