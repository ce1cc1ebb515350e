#include "game/replay/kept_games.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr const char* kFolder = "Parties";
constexpr const char* kEnding = ".partie";

bool IsKeptGame(const std::string& name) {
  const std::string ending = kEnding;
  return name.size() > ending.size() &&
         name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// Their names sort as their dates.
void RemoveOldest() {
  DIR* folder = opendir(kFolder);
  if (!folder) return;
  std::vector<std::string> kept;
  while (const dirent* entry = readdir(folder))
    if (IsKeptGame(entry->d_name)) kept.push_back(entry->d_name);
  closedir(folder);
  std::sort(kept.begin(), kept.end());
  for (std::size_t i = 0; i + kKeptGames < kept.size(); ++i)
    std::remove((std::string(kFolder) + "/" + kept[i]).c_str());
}

std::string NewName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string name = std::string(kFolder) + "/" + stamp + kEnding;
  // Two games ended in one second: the later one sorts after.
  for (int n = 2; access(name.c_str(), F_OK) == 0; ++n)
    name = std::string(kFolder) + "/" + stamp + "_" + std::to_string(n) + kEnding;
  return name;
}

}  // namespace

void KeepGame(const CodeBytes& recording) {
  mkdir(kFolder, 0755);
  const std::string name = NewName();
  const std::string partial = name + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) return;
  const bool written = std::fwrite(recording.data(), 1, recording.size(), file) == recording.size();
  if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), name.c_str()) != 0) {
    std::remove(partial.c_str());
    return;
  }
  RemoveOldest();
}
