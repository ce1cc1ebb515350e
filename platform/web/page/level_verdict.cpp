// The editor page's "Mettre en jeu": glouto-niveau's check of a saved level,
// answered in French for the page to show.
#include <emscripten.h>

#include <string>

#include "level/level_check.h"
#include "level/level_messages.h"

// Empty when the level may be played as level `level`, else why not (UTF-8).
extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelVerdictFor(const char* text, int level) {
  static std::string said;
  said = LevelProblemText(CheckLevelText(text, level), level, {"Ce fichier", "Ce niveau", true});
  return said.c_str();
}

int main() { return 0; }
