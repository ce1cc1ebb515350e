#ifndef GLOUTO_LEVEL_LEVEL_CODE_H
#define GLOUTO_LEVEL_LEVEL_CODE_H

#include <string>

#include "level/level_check.h"

// A level shared as a short, URL-safe code (a link's fragment): the level
// number it is meant for and its walls in their order, so that the decoded text
// is the file's, byte for byte.

// The code of a level file's text for `level`. A text the game would not play
// as that level gets no code: `*code` is left alone and the verdict says why.
LevelVerdict EncodeLevel(const std::string& text, int level, std::string* code);

// The text and level number of a code, or of a whole link (what follows its
// last '#'), checked exactly as a level file is; on any fault the verdict says
// why and `*text` is left alone. `*level` is the level the code claims as soon
// as that can be read, for the message to name it.
LevelVerdict DecodeLevel(const std::string& codeOrLink, std::string* text, int* level);

#endif
