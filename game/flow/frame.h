#ifndef GLOUTO_GAME_FLOW_FRAME_H
#define GLOUTO_GAME_FLOW_FRAME_H

#include "game/flow/state.h"

// The steps of one frame, in the order RunFrame (loop.h) calls them.
// The timer's quarter seconds since the last frame, all at once into Change.
void SeeTicks(GameState& s);
void RenderHud(GameState& s);
void MoveHero(GameState& s);        // waits 10 ms
void MoveEnemies(GameState& s);     // waits 10/enemyCount ms after each enemy
void AnimateSprites(GameState& s);  // driven by the parity of Change and tamponIMG
void TickClock(GameState& s);       // one second per four timer ticks
void DrawFrame(GameState& s);       // releases the frame's HUD texts
void TakeEvent(GameState& s);       // at most one event

#endif
