// glouto-niveau N [--force]: puts the level last saved by the editor into
// play as level N of the player's game, once it is sure the game can load it.
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "level/level_check.h"
#include "level/level_messages.h"
#include "level/level_save.h"

namespace {

// Exit codes, listed in glouto-niveau(6).
enum Exit {
  kInstalled = 0,
  kUsage = 2,
  kNoSavedLevel = 3,
  kBadFormat = 4,
  kTooManyWalls = 5,
  kOffGrid = 6,
  kReservedCell = 7,
  kTargetExists = 8,
  kWriteFailed = 9,
};

// A level file is a few kilobytes; anything far bigger is not one.
constexpr std::streamsize kMaxFileSize = 1 << 20;

const char kUsageText[] =
    "Usage : glouto-niveau N [--force]\n"
    "Installe le niveau enregistr\u00e9 par l'\u00e9diteur (Niveaux/Niveau_.txt)\n"
    "comme niveau N du jeu (Niveaux/Niveau_N.txt), dans le dossier du joueur.\n"
    "  --force  remplace un niveau N d\u00e9j\u00e0 pr\u00e9sent\n";

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "glouto-niveau : %s\n", message.c_str());
  return code;
}

// The folder the launchers run the programs in: $XDG_DATA_HOME/glouto, or
// ~/.local/share/glouto when that variable is unset or not an absolute path.
bool PlayerDir(std::string* dir) {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') {
    *dir = std::string(data) + "/glouto";
    return true;
  }
  const char* home = std::getenv("HOME");
  if (!home || home[0] == '\0') return false;
  *dir = std::string(home) + "/.local/share/glouto";
  return true;
}

bool ParseLevel(const char* text, int* level) {
  if (!text[0] || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < 1 || value > INT_MAX) return false;
  *level = static_cast<int>(value);
  return true;
}

bool ReadSmallFile(const std::string& path, std::string* text, bool* too_big) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string chunk(kMaxFileSize + 1, '\0');
  in.read(&chunk[0], kMaxFileSize + 1);
  if (in.bad()) return false;
  chunk.resize(static_cast<std::size_t>(in.gcount()));
  *too_big = chunk.size() > static_cast<std::size_t>(kMaxFileSize);
  *text = std::move(chunk);
  return true;
}

int ReportVerdict(const LevelVerdict& verdict, int level, const std::string& source) {
  const std::string why = LevelProblemText(verdict, level, {source, source, false});
  switch (verdict.problem) {
    case LevelProblem::kNone: return kInstalled;
    case LevelProblem::kFormat: return Fail(kBadFormat, why);
    case LevelProblem::kTooManyWalls: return Fail(kTooManyWalls, why);
    case LevelProblem::kOffGrid: return Fail(kOffGrid, why);
    case LevelProblem::kReserved: return Fail(kReservedCell, why);
  }
  return kBadFormat;
}

// Without --force an existing level stays.
int Install(const std::string& text, const std::string& target, bool force) {
  const SaveOutcome saved = SaveLevelText(target, text, force);
  const std::string why = std::strerror(saved.error);
  switch (saved.failed) {
    case SaveStep::kDone: return kInstalled;
    case SaveStep::kCreate: return Fail(kWriteFailed, "impossible d'\u00e9crire dans " + target + " : " + why);
    case SaveStep::kWrite: return Fail(kWriteFailed, "impossible d'\u00e9crire " + target + " : " + why);
    case SaveStep::kPlace: break;
  }
  if (saved.error == EEXIST) {
    return Fail(kTargetExists, target + " existe d\u00e9j\u00e0 ; ajoutez --force pour le remplacer.");
  }
  return Fail(kWriteFailed, "impossible d'installer " + target + " : " + why);
}

}  // namespace

int main(int argc, char** argv) {
  int level = 0;
  bool force = false;
  bool have_level = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "--aide") {
      std::fputs(kUsageText, stdout);
      return kInstalled;
    }
    if (arg == "--force" || arg == "-f") {
      force = true;
    } else if (!have_level && ParseLevel(argv[i], &level)) {
      have_level = true;
    } else {
      std::fputs(kUsageText, stderr);
      return Fail(kUsage, "argument inattendu : " + arg + " (N est un num\u00e9ro de niveau, 1 ou plus).");
    }
  }
  if (!have_level) {
    std::fputs(kUsageText, stderr);
    return Fail(kUsage, "indiquez le num\u00e9ro du niveau \u00e0 installer.");
  }

  std::string dir;
  if (!PlayerDir(&dir)) return Fail(kNoSavedLevel, "ni XDG_DATA_HOME ni HOME ne donnent le dossier du joueur.");
  const std::string source = dir + "/Niveaux/Niveau_.txt";
  const std::string target = dir + "/Niveaux/Niveau_" + std::to_string(level) + ".txt";

  std::string text;
  bool too_big = false;
  if (!ReadSmallFile(source, &text, &too_big)) {
    const std::string why = errno == ENOENT ? "est introuvable" : std::string("est illisible (") + std::strerror(errno) + ")";
    return Fail(kNoSavedLevel, "aucun niveau enregistr\u00e9 : " + source + " " + why +
                                   ". Dessinez un niveau avec glouto-editeur et enregistrez-le avec Entr\u00e9e.");
  }
  if (too_big) return Fail(kBadFormat, source + " est bien trop gros pour un niveau.");

  const LevelVerdict verdict = CheckLevelText(text, level);
  if (verdict.problem != LevelProblem::kNone) return ReportVerdict(verdict, level, source);

  struct stat existing;
  const bool replacing = stat(target.c_str(), &existing) == 0;
  const int installed = Install(text, target, force);
  if (installed != kInstalled) return installed;
  std::printf("Niveau %d %s : %s (%d murs, fen\u00eatre %d x 600).\n", level,
              replacing ? "remplac\u00e9" : "install\u00e9", target.c_str(), verdict.walls, LevelWidth(level));
  return kInstalled;
}
