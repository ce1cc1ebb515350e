#ifndef GLOUTO_GAME_REPLAY_RECORDING_LIMITS_H
#define GLOUTO_GAME_REPLAY_RECORDING_LIMITS_H

#include <cstddef>

// What a recording may hold: far more than any game, far less than would make
// a hostile one cost the reader time or memory.
constexpr int kFirstLevelMin = 1, kFirstLevelMax = 99;
constexpr int kGlobalMin = -1000000000, kGlobalMax = 1000000000;
constexpr int kMaxCarriedLevels = 1000;
constexpr int kMaxCarriedWalls = 1000;
constexpr int kMaxFrames = 1 << 24;   // days of play
constexpr int kMaxMoments = 1 << 22;  // a million events and more
constexpr int kMaxTicks = 1 << 20;
constexpr int kMaxKey = 1 << 20;
constexpr int kMaxPointer = 65535;
constexpr int kMaxWait = 6000;  // hundredths of a second: a minute
constexpr std::size_t kMaxRecordingBytes = std::size_t{1} << 24;
constexpr unsigned kLastLikelyRecordingVersion = 15;

// A wall on the 25-pixel grid of the widest window takes one 10-bit cell.
constexpr int kGridCell = 25, kGridColumns = 40, kCellBits = 10;
inline bool OnGrid(int x, int y) {
  return x >= 0 && y >= 0 && x % kGridCell == 0 && y % kGridCell == 0 &&
         y / kGridCell * kGridColumns + x / kGridCell < (1 << kCellBits) &&
         x / kGridCell < kGridColumns;
}

#endif
