#ifndef GLOUTO_GAME_REPLAY_RECORDING_CODE_H
#define GLOUTO_GAME_REPLAY_RECORDING_CODE_H

#include <string>

#include "game/replay/recording.h"
#include "level/code_bits.h"

// A recording's bytes: the format's version, then everything packed in bits
// (small numbers short, a key pressed and released, a held key or a steady
// timer in a few bits), then a 16-bit check of all that came before. The file of a game holds these
// bytes; its code is them in base64url.

constexpr std::uint8_t kRecordingVersion = 2;

CodeBytes EncodeRecording(const Recording& recording);

// Reads bytes written by EncodeRecording, and nothing else: anything damaged,
// cut, lengthened, foreign or of another version is refused. Returns "" with
// `*out` filled, or one French sentence saying why, `*out` left alone.
std::string DecodeRecording(const CodeBytes& bytes, Recording* out);

std::string RecordingCode(const Recording& recording);

// A code, or a link to the game's page holding one ("jeu.html#partie=CODE").
std::string DecodeRecordingCode(const std::string& codeOrLink, Recording* out);

// The 16-bit check the bytes end with, of every byte before it.
std::uint16_t RecordingCheck(const CodeBytes& bytes, std::size_t length);

#endif
