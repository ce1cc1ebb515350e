#include "editor/fichier.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void ReportFailure(const char* what, int error) {
  std::fprintf(stderr, "editor: cannot save %s: %s (%s)\n", kSavedLevelPath, std::strerror(error), what);
}

// The permissions a plain fopen would have given the file.
void UsualPermissions(int fd) {
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

bool WriteWalls(std::FILE* file, const int* xs, const int* ys, int slotCount, int wallCount) {
  bool ok = std::fprintf(file, "%d\n", wallCount) >= 0;
  for (int i = 0; ok && i < slotCount; ++i) {
    if (xs[i] != -1 && ys[i] != -1) ok = std::fprintf(file, "%d\t%d\n", xs[i], ys[i]) >= 0;
  }
  return ok && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

// Where the level really lives: a designer may have linked the saved level
// to another file, and the save must reach that file, not replace the link.
std::string SaveTarget() {
  char* resolved = realpath(kSavedLevelPath, nullptr);
  if (!resolved) return kSavedLevelPath;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

}  // namespace

// The new level is written beside the old one and renamed into place, so a
// crash or a full disk never leaves half a level behind.
void Fichier(int* xs, int* ys, int slotCount, int wallCount) {
  if (wallCount == 0) {
    // An empty grid leaves no file, and takes away an earlier one.
    if (std::remove(kSavedLevelPath) != 0 && errno != ENOENT) ReportFailure("remove", errno);
    return;
  }
  const std::string target = SaveTarget();
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    ReportFailure("create", errno);
    return;
  }
  UsualPermissions(fd);
  std::FILE* file = fdopen(fd, "w+");
  if (!file) {
    ReportFailure("open", errno);
    close(fd);
    std::remove(temporary.c_str());
    return;
  }
  const bool written = WriteWalls(file, xs, ys, slotCount, wallCount);
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    ReportFailure("write", written ? errno : writeError);
    std::remove(temporary.c_str());
    return;
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    ReportFailure("rename", errno);
    std::remove(temporary.c_str());
  }
}
