#include "tests/reliability/broken_assets.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/test_support.h"

namespace {
constexpr std::array<const char*, 4> kFolders{"Images", "Police", "Musique", "Niveaux"};
}  // namespace

const char* Describe(Damage damage) {
  switch (damage) {
    case Damage::kMissing: return "missing";
    case Damage::kEmpty: return "empty";
    case Damage::kGarbage: return "text under the name";
    case Damage::kCutShort: return "cut short";
  }
  return "?";
}

std::vector<std::string> ShippedAssets() {
  std::vector<std::string> paths;
  for (const char* folder : kFolders) {
    DIR* dir = opendir((AssetsDir() + "/" + folder).c_str());
    if (!dir) continue;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name[0] != '.' && name.rfind("LICENSE", 0) != 0)
        paths.push_back(std::string(folder) + "/" + name);
    }
    closedir(dir);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void InstallAssetsWith(const std::string& path, Damage damage) {
  for (const char* folder : kFolders) mkdir(folder, 0755);
  for (const std::string& shipped : ShippedAssets()) {
    const std::string source = AssetsDir() + "/" + shipped;
    // Levels are copied: they are the one kind a user may edit in place.
    if (shipped.rfind("Niveaux/", 0) == 0) {
      WriteFile(shipped, ReadFile(source));
    } else if (symlink(source.c_str(), shipped.c_str()) != 0) {
      ADD_FAILURE() << "symlink " << shipped;
    }
  }
  const std::string whole = FileExists(path) ? ReadFile(path) : "";
  std::remove(path.c_str());
  switch (damage) {
    case Damage::kMissing: break;
    case Damage::kEmpty: WriteFile(path, ""); break;
    case Damage::kGarbage: WriteFile(path, "This is not what the name says.\nJust text.\n"); break;
    case Damage::kCutShort: WriteFile(path, whole.substr(0, whole.size() / 2)); break;
  }
}
