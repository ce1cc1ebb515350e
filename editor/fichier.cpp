#include "editor/fichier.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "level/level_save.h"

namespace {

void ReportFailure(const char* what, int error) {
  std::fprintf(stderr, "editor: cannot save %s: %s (%s)\n", kSavedLevelPath, std::strerror(error),
               what);
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

const char* StepName(SaveStep step) {
  switch (step) {
    case SaveStep::kCreate: return "create";
    case SaveStep::kWrite: return "write";
    case SaveStep::kPlace: return "rename";
    case SaveStep::kDone: break;
  }
  return "";
}

}  // namespace

void Fichier(int* xs, int* ys, int slotCount, int wallCount) {
  if (wallCount == 0) {
    // An empty grid leaves no file, and takes away an earlier one.
    if (std::remove(kSavedLevelPath) != 0 && errno != ENOENT) ReportFailure("remove", errno);
    return;
  }
  const SaveOutcome saved = SaveLevelText(SaveTarget(), LevelText(xs, ys, slotCount, wallCount),
                                          true);
  if (saved.failed != SaveStep::kDone) ReportFailure(StepName(saved.failed), saved.error);
}
