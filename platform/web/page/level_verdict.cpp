// The editor page's "Mettre en jeu" and "Partager", and the pages opening a
// shared level: glouto-niveau's checks and a level's share code, answered in
// French for the page to show.
#include <emscripten.h>

#include <string>

#include "level/level_check.h"
#include "level/level_code.h"
#include "level/level_messages.h"
#include "level/level_rules.h"

namespace {

std::string why;  // the last refusal, for LevelShareWhy
int claimed = 0;  // the level of the last code read

const char* Answer(const std::string& text) {
  static std::string answer;
  answer = text;
  return answer.c_str();
}

}  // namespace

// Empty when the level may be played as level `level`, else why not (UTF-8).
extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelVerdictFor(const char* text, int level) {
  if (!IsNamedLevel(level)) return Answer(LevelRangeText());
  return Answer(
      LevelProblemText(CheckLevelText(text, level), level, {"Ce fichier", "Ce niveau", true}));
}

// The share code of a saved level meant for `level`, or empty and LevelShareWhy says why.
extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelShareCode(const char* text, int level) {
  std::string code;
  why = LevelProblemText(EncodeLevel(text, level, &code), level, {"Ce fichier", "Ce niveau", true});
  return Answer(code);
}

// The level text a code or link carries, or empty and LevelShareWhy says why;
// LevelSharedNumber then gives the level it is meant for.
extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelFromCode(const char* code) {
  std::string text;
  claimed = 0;
  const LevelVerdict verdict = DecodeLevel(code, &text, &claimed);
  why = LevelProblemText(verdict, claimed, {"Ce lien", "Ce niveau", true});
  return Answer(text);
}

extern "C" EMSCRIPTEN_KEEPALIVE int LevelSharedNumber() { return claimed; }

extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelShareWhy() { return why.c_str(); }

// The range of level numbers, for the editor page's number field.
extern "C" EMSCRIPTEN_KEEPALIVE int LevelFirstNumber() { return kFirstLevel; }
extern "C" EMSCRIPTEN_KEEPALIVE int LevelLastNumber() { return kLastLevel; }

// The level whose window the editor drew at `width`, 0 for none.
extern "C" EMSCRIPTEN_KEEPALIVE int LevelForWidth(int width) {
  for (int level = 1; level <= static_cast<int>(kLevelWidths.size()); ++level)
    if (LevelWidth(level) == width) return level;
  return 0;
}

// The editor page's finger drawing skips the cells no wall may take.
extern "C" EMSCRIPTEN_KEEPALIVE int LevelCellReserved(int x, int y, int width) {
  return IsReservedCell(x, y, width, kLevelHeight) ? 1 : 0;
}

int main() { return 0; }
