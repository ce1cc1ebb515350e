#ifndef GLOUTO_TESTS_RELIABILITY_BROKEN_ASSETS_H
#define GLOUTO_TESTS_RELIABILITY_BROKEN_ASSETS_H

// Asset folders with one file spoiled, as a careless install might leave them.

#include <array>
#include <string>
#include <vector>

enum class Damage { kMissing, kEmpty, kGarbage, kCutShort };
constexpr std::array<Damage, 4> kAllDamage{Damage::kMissing, Damage::kEmpty, Damage::kGarbage,
                                           Damage::kCutShort};
const char* Describe(Damage damage);

// Every shipped file under Images/, Police/, Musique/ and Niveaux/ (as
// "Images/Mur.png", ...).
std::vector<std::string> ShippedAssets();

// In the working directory: the shipped asset folders, file by file (levels
// copied, the rest linked), with `path` missing, empty, a text file under
// its name, or its first half only.
void InstallAssetsWith(const std::string& path, Damage damage);

#endif
