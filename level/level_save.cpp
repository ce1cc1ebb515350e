#include "level/level_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// The permissions a plain fopen would have given the file.
void UsualPermissions(int fd) {
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

// 0, or the errno of the first write or sync that failed.
int WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<std::size_t>(n);
  }
  return fsync(fd) == 0 ? 0 : errno;
}

void Reached(SaveStep step) {
  if (gSaveStepHook) gSaveStepHook(step);
}

}  // namespace

void (*gSaveStepHook)(SaveStep) = nullptr;

std::string LevelText(const int* xs, const int* ys, int slotCount, int wallCount) {
  std::string text = std::to_string(wallCount) + "\n";
  for (int i = 0; i < slotCount; ++i) {
    if (xs[i] != -1 && ys[i] != -1)
      text += std::to_string(xs[i]) + "\t" + std::to_string(ys[i]) + "\n";
  }
  return text;
}

SaveOutcome SaveLevelText(const std::string& target, const std::string& text, bool replace) {
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return {SaveStep::kCreate, errno};
  UsualPermissions(fd);
  Reached(SaveStep::kWrite);
  int error = WriteAll(fd, text);
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    unlink(temporary.c_str());
    return {SaveStep::kWrite, error};
  }
  Reached(SaveStep::kPlace);
  // link, unlike rename, refuses to replace what is already there.
  const int placed = replace ? rename(temporary.c_str(), target.c_str())
                             : link(temporary.c_str(), target.c_str());
  const int place_error = errno;
  if (!replace || placed != 0) unlink(temporary.c_str());
  if (placed != 0) return {SaveStep::kPlace, place_error};
  Reached(SaveStep::kDone);
  return {};
}
