#include "game/flow/chance.h"

#include <array>
#include <random>

namespace {

// glibc's additive feedback generator: r[i] = r[i-3] + r[i-31], outputs r >> 1.
constexpr int kDegree = 31, kSeparation = 3, kWarmUp = 310;

struct Sequence {
  std::array<std::uint32_t, kDegree> table{};
  int front = kSeparation, rear = 0;  // where r[i-3] and r[i-31] sit in the ring

  void Seed(std::uint32_t seed) {
    // The Lehmer step glibc fills the table with (Schrage's method, signed as glibc's).
    std::int32_t word = seed == 0 ? 1 : static_cast<std::int32_t>(seed);
    table[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
      const std::int32_t hi = word / 127773, lo = word % 127773;
      word = 16807 * lo - 2836 * hi;
      if (word < 0) word += 2147483647;
      table[i] = static_cast<std::uint32_t>(word);
    }
    front = kSeparation;
    rear = 0;
    for (int i = 0; i < kWarmUp; ++i) Next();
  }

  int Next() {
    table[front] += table[rear];
    const int result = static_cast<int>(table[front] >> 1);
    front = (front + 1) % kDegree;
    rear = (rear + 1) % kDegree;
    return result;
  }
};

Sequence& TheSequence() {
  static Sequence sequence = [] {
    Sequence s;
    s.Seed(1);  // as rand() before any srand()
    return s;
  }();
  return sequence;
}

}  // namespace

void SeedChance(std::uint32_t seed) { TheSequence().Seed(seed); }

int Chance() { return TheSequence().Next(); }

std::uint32_t FreshSeed() {
  // getrandom on Linux, the page's crypto.getRandomValues under emscripten.
  std::random_device entropy;
  return static_cast<std::uint32_t>(entropy());
}
