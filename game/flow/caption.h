#ifndef GLOUTO_GAME_FLOW_CAPTION_H
#define GLOUTO_GAME_FLOW_CAPTION_H

struct GameState;

// Caption "Glouto seconde generation ! Niveau %d", with " PAUSE" while paused.
void ShowLevelCaption(int level, bool paused = false);

// The level's caption, and play (or the pause) told as a screen, with its keys.
void ShowPlayScreen(const GameState& s, bool paused = false);

#endif
