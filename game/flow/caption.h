#ifndef GLOUTO_GAME_FLOW_CAPTION_H
#define GLOUTO_GAME_FLOW_CAPTION_H

// Caption "Glouto seconde generation ! Niveau %d", with " PAUSE" while paused.
void ShowLevelCaption(int level, bool paused = false);

#endif
