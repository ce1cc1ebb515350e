#include "game/maze/movement.h"

#include <array>

#include "common/Condition.h"
#include "game/flow/chance.h"
#include "game/flow/globals.h"
#include "game/maze/actors.h"
#include "game/replay/intake.h"

namespace {

constexpr int kActorSize = 50;
// The right and bottom rules let an actor sink this far past the edge first.
constexpr int kEdgeOvershoot = 10;
// A random turn off the left edge lands here, not flush against it.
constexpr int kLeftReentryX = 26;
constexpr int kWallStep = 10;
// Margins that make the actor a 50-pixel square and a wall a 25-pixel one.
constexpr int kActorHigh = 50, kWallHigh = 25;

struct Motion {
  int dx, dy;
};
// Unit motion of each direction code; 0 stands still.
constexpr std::array<Motion, 5> kMotions{{{0, 0}, {1, 0}, {-1, 0}, {0, -1}, {0, 1}}};

struct WallAnswer {
  int step;
  char axis;
};
// How Deplacement asks TMurs for each direction code.
constexpr std::array<WallAnswer, 5> kWallAnswers{
    {{0, 'x'}, {kWallStep, 'x'}, {-kWallStep, 'x'}, {-kWallStep, 'y'}, {kWallStep, 'y'}}};

bool IsMoving(int direction) { return direction >= kRight && direction <= kDown; }

Sint16 To16(int v) { return static_cast<Sint16>(v); }

void Move(SDL_Rect& actor, int direction, int speed) {
  if (!IsMoving(direction)) return;
  actor.x = To16(actor.x + kMotions[direction].dx * speed);
  actor.y = To16(actor.y + kMotions[direction].dy * speed);
}

int RandomDirection() { return Chance() % 4 + 1; }

void RandomTurn(int& direction, int& countdown, int width) {
  if (countdown != 0 || direction == kStopped) return;
  direction = RandomDirection();
  // A window narrower than 4 pixels would divide by zero.
  const int span = width / 4 > 0 ? width / 4 : 1;
  countdown = Chance() % span;
}

// No rule ever stops an actor, so the stopped test at the top holds for all four.
int ApplyEdgeRules(int direction, SDL_Rect& actor, int width, int height, bool randomTurn) {
  if (direction == kStopped) return direction;
  if (actor.x + kActorSize >= width + kEdgeOvershoot) {
    actor.x = To16(width - kActorSize);
    direction = randomTurn ? RandomDirection() : kLeft;
  }
  if (actor.y + kActorSize >= height + kEdgeOvershoot) {
    actor.y = To16(height - kActorSize);
    direction = randomTurn ? RandomDirection() : kUp;
  }
  if (actor.x <= 0) {
    actor.x = To16(randomTurn ? kLeftReentryX : 0);
    direction = randomTurn ? RandomDirection() : kRight;
  }
  if (actor.y <= 0) {
    actor.y = 0;
    direction = randomTurn ? RandomDirection() : kDown;
  }
  return direction;
}

int Reverse(int direction) {
  constexpr std::array<int, 5> kReverse{kStopped, kLeft, kRight, kDown, kUp};
  return direction >= 0 && direction <= kDown ? kReverse[direction] : direction;
}

bool TouchesAWall(SDL_Rect* positions, int index, SDL_Rect* walls, int wallCount) {
  return Condition(positions, walls, PRIEN, PRIEN, wallCount, index, 0, 0, kActorHigh, kWallHigh, 0,
                   0, 0) >= 0;
}

}  // namespace

int Deplacement(int* directions, SDL_Rect* positions, int index, int speed, int width, int height,
                int mode, SDL_Rect* walls, int wallCount, int* countdowns) {
  int direction = directions[index];
  SDL_Rect& actor = positions[index];
  switch (mode) {
    case kModeMove:
      Move(actor, direction, speed);
      direction = ApplyEdgeRules(direction, actor, width, height, false);
      break;
    case kModeRandomTurn:
      RandomTurn(direction, countdowns[index], width);
      direction = ApplyEdgeRules(direction, actor, width, height, true);
      break;
    case kModeWallResponse:
      if (IsMoving(direction)) {
        const WallAnswer& ask = kWallAnswers[direction];
        direction = TMurs(direction, positions, walls, wallCount, ask.step, index, ask.axis);
        Move(actor, direction, speed);
      }
      break;
    default: break;
  }
  directions[index] = direction;
  return direction;
}

int TMurs(int direction, SDL_Rect* positions, SDL_Rect* walls, int wallCount, int step, int index,
          char axis) {
  SDL_Rect& actor = positions[index];
  const bool alongY = axis == 'y';
  auto& own = alongY ? actor.y : actor.x;
  auto& across = alongY ? actor.x : actor.y;
  int result = direction;

  own = To16(own - step);
  if (!TouchesAWall(positions, index, walls, wallCount)) {
    result = Reverse(direction);
  } else {
    across = To16(across + step);
    if (!TouchesAWall(positions, index, walls, wallCount)) {
      // Point back across the sidestep just taken.
      result = alongY ? (step > 0 ? kLeft : kRight) : (step > 0 ? kUp : kDown);
    } else {
      actor.x = kStartCornerX;
      actor.y = kStartCornerY;
      invulnerable = 3;  // enemies wait at the corner too: don't punish the hero for it
    }
  }
  GameWait(5);
  tamponIMG = 3;
  return result;
}
