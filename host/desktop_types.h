// The Win32 types and constants the setup logic uses, for builds where
// <windows.h> does not exist (the simulated desktop on Linux). Values and
// layouts are the documented Win32 ones, so the logic compiles unchanged and
// the records it fills have the same shape as on Windows.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCSTR = const char*;

struct HWND__;
using HWND = HWND__*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

struct MOUSEINPUT {
  LONG dx;
  LONG dy;
  DWORD mouseData;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};

struct KEYBDINPUT {
  WORD wVk;
  WORD wScan;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};

struct HARDWAREINPUT {
  DWORD uMsg;
  WORD wParamL;
  WORD wParamH;
};

struct INPUT {
  DWORD type;
  union {
    MOUSEINPUT mi;
    KEYBDINPUT ki;
    HARDWAREINPUT hi;
  };
};

constexpr DWORD INPUT_KEYBOARD = 1;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_OEM_1 = 0xBA;

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr WPARAM MK_LBUTTON = 0x0001;

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

inline LPARAM MAKELPARAM(unsigned low, unsigned high) {
  return static_cast<LPARAM>(static_cast<DWORD>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
