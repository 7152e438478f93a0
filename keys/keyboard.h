// Synthesized keyboard input: single key strokes and the Shift and Alt
// modifiers, each event sent on its own after a 1 ms pause.
#pragma once

#include "host/platform.h"

// Letters go out as the virtual key of the capital letter; whether they
// come out in capitals is decided by the Shift state held, not by the code.
constexpr WORD VK_LETTER_A = 'A';
constexpr WORD VK_LETTER_B = 'B';
constexpr WORD VK_LETTER_E = 'E';
constexpr WORD VK_LETTER_I = 'I';
constexpr WORD VK_LETTER_K = 'K';
constexpr WORD VK_LETTER_L = 'L';
constexpr WORD VK_LETTER_M = 'M';
constexpr WORD VK_LETTER_R = 'R';
constexpr WORD VK_LETTER_T = 'T';
constexpr WORD VK_LETTER_U = 'U';

// Fills in the run's one keyboard record: a keyboard event with no scan
// code, no flags, no time stamp and no extra information.
void CreateKeyboardRecord(INPUT& record);

void PressKey(INPUT& record, WORD key);
void HoldShift(INPUT& record);
void ReleaseShift(INPUT& record);
void HoldAlt(INPUT& record);
void ReleaseAlt(INPUT& record);
