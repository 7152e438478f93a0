#include "keys/scripts.h"

#include "keys/keyboard.h"

namespace {

constexpr KeyStep Press(WORD key, int times = 1) { return {KeyOp::Press, key, times}; }
constexpr KeyStep Pause(WORD ms) { return {KeyOp::Pause, ms, 0}; }
constexpr KeyStep kShiftDown = {KeyOp::HoldShift, 0, 0};
constexpr KeyStep kShiftUp = {KeyOp::ReleaseShift, 0, 0};

constexpr KeyStep kOpenNewRuleFromList[] = {Press(VK_TAB), Press(VK_RETURN)};

constexpr KeyStep kOpenWordsDialog[] = {
    Pause(150),  Press(VK_DOWN), Press(VK_SPACE), Press(VK_TAB),
    Press(VK_SPACE), Press(VK_TAB), Press(VK_DOWN), Press(VK_RETURN)};

constexpr KeyStep kEnterMatchWords[] = {
    kShiftDown,         Press(VK_LETTER_B), Press(VK_LETTER_U), Press(VK_LETTER_L),
    Press(VK_LETTER_K), Press(VK_OEM_1),    kShiftUp,           Press(VK_RETURN),
    Press(VK_TAB, 3),   Press(VK_RETURN)};

constexpr KeyStep kOpenMoveDialog[] = {Press(VK_DOWN, 2), Press(VK_RETURN)};

constexpr KeyStep kSetUpBulkFolder[] = {
    Press(VK_LEFT, 30), Press(VK_RIGHT, 2),  Press(VK_TAB, 2),   Press(VK_RETURN),
    kShiftDown,         Press(VK_LETTER_B),  kShiftUp,           Press(VK_LETTER_U),
    Press(VK_LETTER_L), Press(VK_LETTER_K),  Press(VK_RETURN),   Press(VK_TAB),
    Press(VK_RETURN)};

constexpr KeyStep kNameRule[] = {
    Press(VK_TAB),
    kShiftDown, Press(VK_LETTER_B), kShiftUp, Press(VK_LETTER_U), Press(VK_LETTER_L), Press(VK_LETTER_K),
    Press(VK_SPACE),
    kShiftDown, Press(VK_LETTER_M), kShiftUp, Press(VK_LETTER_A), Press(VK_LETTER_I), Press(VK_LETTER_L),
    Press(VK_SPACE),
    kShiftDown, Press(VK_LETTER_R), kShiftUp, Press(VK_LETTER_U), Press(VK_LETTER_L), Press(VK_LETTER_E)};

constexpr KeyStep kSaveRule[] = {Press(VK_TAB), Press(VK_RETURN)};

constexpr KeyStep kCloseRulesList[] = {Press(VK_TAB, 8), Press(VK_RETURN)};

template <std::size_t N>
constexpr KeyScript Script(const char* name, const KeyStep (&steps)[N]) {
  return {name, steps, N};
}

}  // namespace

const KeyScript OpenNewRuleFromList = Script("OpenNewRuleFromList", kOpenNewRuleFromList);
const KeyScript OpenWordsDialog = Script("OpenWordsDialog", kOpenWordsDialog);
const KeyScript EnterMatchWords = Script("EnterMatchWords", kEnterMatchWords);
const KeyScript OpenMoveDialog = Script("OpenMoveDialog", kOpenMoveDialog);
const KeyScript SetUpBulkFolder = Script("SetUpBulkFolder", kSetUpBulkFolder);
const KeyScript NameRule = Script("NameRule", kNameRule);
const KeyScript SaveRule = Script("SaveRule", kSaveRule);
const KeyScript CloseRulesList = Script("CloseRulesList", kCloseRulesList);

void SendKeyScript(INPUT& record, const KeyScript& script) {
  for (std::size_t i = 0; i < script.step_count; ++i) {
    const KeyStep& step = script.steps[i];
    switch (step.op) {
      case KeyOp::Press:
        for (int n = 0; n < step.times; ++n) PressKey(record, step.key_or_ms);
        break;
      case KeyOp::HoldShift:
        HoldShift(record);
        break;
      case KeyOp::ReleaseShift:
        ReleaseShift(record);
        break;
      case KeyOp::Pause:
        host::Sleep(step.key_or_ms);
        break;
    }
  }
}
