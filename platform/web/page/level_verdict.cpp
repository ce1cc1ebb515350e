// The editor page's "Mettre en jeu": glouto-niveau's check of a saved level,
// answered in French for the page to show.
#include <emscripten.h>

#include <string>

#include "packaging/niveau/level_check.h"

namespace {

std::string Say(const LevelVerdict& v, int level) {
  const std::string width = std::to_string(LevelWidth(level));
  const std::string where = v.line > 0 ? " (ligne " + std::to_string(v.line) + ")" : "";
  const std::string wall = "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ")";
  switch (v.problem) {
    case LevelProblem::kNone:
      return "";
    case LevelProblem::kFormat:
      return "Ce fichier n'est pas un niveau de l'\u00e9diteur" + where + " : " + v.detail + ".";
    case LevelProblem::kTooManyWalls:
      return "Ce niveau a " + std::to_string(v.walls) + " murs ; le jeu n'en charge pas plus de 1000.";
    case LevelProblem::kOffGrid:
      return "Le mur " + wall + where + " sort de la grille du niveau " + std::to_string(level) +
             " (fen\u00eatre " + width + " x 600, cases de 25 pixels). Refaites-le dans l'\u00e9diteur \u00e0 la largeur " +
             width + ".";
    case LevelProblem::kReserved:
      return "Le mur " + wall + where + " occupe une case r\u00e9serv\u00e9e au d\u00e9part des ennemis ou de Glouto.";
  }
  return "Ce fichier n'est pas un niveau de l'\u00e9diteur.";
}

}  // namespace

// Empty when the level may be played as level `level`, else why not (UTF-8).
extern "C" EMSCRIPTEN_KEEPALIVE const char* LevelVerdictFor(const char* text, int level) {
  static std::string said;
  said = Say(CheckLevelText(text, level), level);
  return said.c_str();
}

int main() { return 0; }
