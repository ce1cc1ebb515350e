#include "level/level_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

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

// The highest n of the "NAME.~n~" beside `target`, 0 when there is none.
int LastBackupNumber(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string prefix = target.substr(slash == std::string::npos ? 0 : slash + 1) + ".~";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return 0;
  int last = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() < prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.back() != '~')
      continue;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    if (digits.empty() || digits[0] == '0' ||
        digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
      continue;
    last = std::max(last, std::atoi(digits.c_str()));
  }
  closedir(dir);
  return last;
}

// 0 with the whole file in `text`, else errno.
int ReadWhole(const std::string& path, std::string* text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return errno;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  const int error = std::ferror(file) ? EIO : 0;
  std::fclose(file);
  return error;
}

}  // namespace

std::string LevelText(int count, const std::vector<LevelWall>& walls, const char* eol) {
  std::string text = std::to_string(count) + eol;
  for (const LevelWall& w : walls) text += std::to_string(w.x) + "\t" + std::to_string(w.y) + eol;
  return text;
}

std::string LevelText(const int* xs, const int* ys, int slotCount, int wallCount) {
  std::vector<LevelWall> walls;
  for (int i = 0; i < slotCount; ++i) {
    if (xs[i] != -1 && ys[i] != -1) walls.push_back({xs[i], ys[i]});
  }
  return LevelText(wallCount, walls, "\n");
}

SaveOutcome SaveLevelText(const std::string& target, const std::string& text, bool replace) {
  std::string temporary = target + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return {SaveStep::kCreate, errno};
  UsualPermissions(fd);
  int error = WriteAll(fd, text);
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    unlink(temporary.c_str());
    return {SaveStep::kWrite, error};
  }
  // link, unlike rename, refuses to replace what is already there.
  const int placed = replace ? rename(temporary.c_str(), target.c_str())
                             : link(temporary.c_str(), target.c_str());
  const int place_error = errno;
  if (!replace || placed != 0) unlink(temporary.c_str());
  if (placed != 0) return {SaveStep::kPlace, place_error};
  return {};
}

SaveOutcome KeepBackup(const std::string& target, std::string* kept) {
  kept->clear();
  std::string text;
  if (const int error = ReadWhole(target, &text); error != 0) {
    if (error == ENOENT) return {};  // nothing there, nothing to lose
    return {SaveStep::kCreate, error};
  }
  // Another run may take a number between our look and our save: take the next.
  for (int number = LastBackupNumber(target) + 1;; ++number) {
    const std::string name = target + ".~" + std::to_string(number) + "~";
    const SaveOutcome saved = SaveLevelText(name, text, false);
    if (saved.failed == SaveStep::kPlace && saved.error == EEXIST) continue;
    if (saved.failed == SaveStep::kDone) *kept = name;
    return saved;
  }
}
