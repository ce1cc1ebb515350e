#include "game/replay/state_check.h"

#include "game/flow/globals.h"
#include "game/flow/state.h"

namespace {

struct Fnv {
  std::uint32_t hash = 2166136261u;
  void Add(int value) {
    for (int i = 0; i < 4; ++i)
      hash = (hash ^ ((static_cast<unsigned>(value) >> (8 * i)) & 255)) * 16777619u;
  }
  void Add(const SDL_Rect& r) { Add(r.x), Add(r.y); }
  template <typename Table>
  void AddFirst(const Table& table, int count) {
    for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i) Add(table[i]);
  }
};

}  // namespace

std::uint32_t StateChecksum(const GameState& s) {
  Fnv f;
  for (const int v : {s.width,
                      s.height,
                      s.running,
                      s.playerCount,
                      s.level,
                      s.lives,
                      s.clock,
                      s.remaining,
                      s.score,
                      s.enemyScore,
                      s.chestCount,
                      s.enemyCount,
                      s.wallCount,
                      s.eatenSinceRefill,
                      s.chestBonus,
                      s.keyRemaining,
                      s.speed,
                      s.won,
                      s.pauseLoop,
                      s.heroDirection,
                      s.heroMode,
                      s.music.trackIndex,
                      s.music.musicSwitch,
                      s.music.volume,
                      tamponIMG,
                      FINPROG,
                      attente,
                      invulnerable,
                      Change.load()})
    f.Add(v);
  f.Add(s.heroPosition);
  f.AddFirst(s.wallPositions, s.wallCount);
  f.AddFirst(s.chestPositions, s.chestCount);
  f.AddFirst(s.enemyPositions, kEnemyCapacity);
  f.AddFirst(s.enemyDirections, kEnemyCapacity);
  f.AddFirst(s.enemyModes, kEnemyCapacity);
  f.AddFirst(s.turnCountdowns, kEnemyCapacity);
  f.Add(s.clockRect), f.Add(s.remainingRect), f.Add(s.livesRect);
  return f.hash;
}
