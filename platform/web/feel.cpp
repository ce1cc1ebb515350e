#include "platform/feel.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, Vibrate, (), {
  if (navigator.vibrate) navigator.vibrate(150);
});
// clang-format on

void FeelCaught() { Vibrate(); }
