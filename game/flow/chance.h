#ifndef GLOUTO_GAME_FLOW_CHANCE_H
#define GLOUTO_GAME_FLOW_CHANCE_H

#include <cstdint>

// The game's one source of chance: chests, enemies' turns, bonus chests. Ours,
// not the C library's, so that one seed gives the same game on every target;
// its numbers are those of glibc's rand() (random(), TYPE_3) for that seed.

// Starts the sequence of `seed`, as srand(seed) does.
void SeedChance(std::uint32_t seed);

// The next number, 0 to 2^31 - 1, as rand() gives it.
int Chance();

// A seed from the machine's entropy, so that no two games share their draw.
std::uint32_t FreshSeed();

#endif
