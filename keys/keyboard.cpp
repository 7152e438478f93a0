#include "keys/keyboard.h"

#include <cstring>

namespace {

constexpr DWORD kEventPauseMs = 1;

void SendKeyEvent(INPUT& record, WORD key, DWORD flags) {
  host::Sleep(kEventPauseMs);
  record.ki.wVk = key;
  record.ki.dwFlags = flags;
  host::SendInput(1, &record, sizeof(INPUT));
  record.ki.dwFlags = 0;
}

}  // namespace

void CreateKeyboardRecord(INPUT& record) {
  std::memset(&record, 0, sizeof(record));
  record.type = INPUT_KEYBOARD;
  record.ki.wScan = 0;
  record.ki.dwFlags = 0;
  record.ki.time = 0;
  record.ki.dwExtraInfo = 0;
}

void PressKey(INPUT& record, WORD key) {
  SendKeyEvent(record, key, 0);
  SendKeyEvent(record, key, KEYEVENTF_KEYUP);
}

void HoldShift(INPUT& record) { SendKeyEvent(record, VK_SHIFT, 0); }
void ReleaseShift(INPUT& record) { SendKeyEvent(record, VK_SHIFT, KEYEVENTF_KEYUP); }
void HoldAlt(INPUT& record) { SendKeyEvent(record, VK_MENU, 0); }
void ReleaseAlt(INPUT& record) { SendKeyEvent(record, VK_MENU, KEYEVENTF_KEYUP); }
