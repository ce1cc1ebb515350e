#include "platform/screens.h"

// The window shows the screens as drawn: a player clicks their plates.
void ScreenShown(const char* /*name*/, const ScreenPlate* /*plates*/, int /*count*/) {}

void ScreenNewGameNext(bool /*newGame*/) {}
