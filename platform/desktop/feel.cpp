#include "platform/feel.h"

// A computer has nothing to shake.
void FeelCaught() {}
