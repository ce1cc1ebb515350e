#include "common/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "level/level_rules.h"

namespace {

// A whole decimal number in [low, high], nothing else.
bool ReadNumber(const char* text, int low, int high, int& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

// "--name N" or "--name=N"; advances `i` past the value it took.
const char* OptionValue(int argc, char** argv, int& i, const char* name) {
  const char* arg = argv[i];
  const size_t length = std::strlen(name);
  if (std::strncmp(arg, name, length) != 0) return nullptr;
  if (arg[length] == '=') return arg + length + 1;
  if (arg[length] != '\0') return nullptr;
  return i + 1 < argc ? argv[++i] : "";
}

// --revoir SOURCE, --defi SOURCE, --partager FILE, --vite, --deux-ecrans or
// --invite: true when argv[i] was one of them; `ok` false when a value is missing.
bool ReadGameSource(int argc, char** argv, int& i, const char* program, CommandLine& out,
                    bool& ok) {
  if (std::strcmp(argv[i], "--vite") == 0) return out.fast = true;
  if (std::strcmp(argv[i], "--deux-ecrans") == 0) return out.host = true;
  if (std::strcmp(argv[i], "--invite") == 0) return out.guest = true;
  const struct {
    const char* name;
    const char** value;
  } kSources[] = {{"--revoir", &out.watch}, {"--defi", &out.challenge}, {"--partager", &out.share}};
  for (const auto& source : kSources) {
    const char* value = OptionValue(argc, argv, i, source.name);
    if (!value) continue;
    ok = *value != '\0' && std::strncmp(value, "--", 2) != 0;  // not the next option
    if (!ok) std::fprintf(stderr, "%s : %s attend une partie\n", program, source.name);
    *source.value = value;
    return true;
  }
  return false;
}

}  // namespace

bool ReadCommandLine(int argc, char** argv, const char* program, Accepts accepts,
                     CommandLine& out) {
  bool ok = true;
  for (int i = 1; i < argc && argv; ++i) {
    if (const char* zoom = OptionValue(argc, argv, i, "--zoom")) {
      if (!ReadNumber(zoom, 1, 3, out.zoom)) {
        std::fprintf(stderr, "%s : --zoom prend 1, 2 ou 3, pas \"%s\"\n", program, zoom);
        return false;
      }
    } else if (const char* level = accepts == Accepts::Level
                                       ? OptionValue(argc, argv, i, "--niveau")
                                       : nullptr) {
      if (!ReadNumber(level, kFirstLevel, kLastLevel, out.level)) {
        std::fprintf(stderr, "%s : --niveau prend un niveau de %d \u00e0 %d, pas \"%s\"\n", program,
                     kFirstLevel, kLastLevel, level);
        return false;
      }
    } else if (accepts == Accepts::Level && ReadGameSource(argc, argv, i, program, out, ok)) {
      if (!ok) return false;
    } else if (accepts == Accepts::File && argv[i][0] != '-' && !out.file) {
      out.file = argv[i];
    } else {
      std::fprintf(stderr, "%s : argument inconnu \"%s\" (voir man %s)\n", program, argv[i],
                   accepts == Accepts::Level ? "glouto" : "glouto-editeur");
      return false;
    }
  }
  const int sources = (out.watch != nullptr) + (out.challenge != nullptr) + (out.share != nullptr) +
                      out.host + out.guest;
  if (sources > 1 || (out.fast && !out.watch)) {
    std::fprintf(stderr,
                 "%s : --revoir, --defi, --partager, --deux-ecrans et --invite vont seuls, et "
                 "--vite avec --revoir\n",
                 program);
    return false;
  }
  return true;
}
