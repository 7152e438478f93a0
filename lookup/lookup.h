// Finding the mail client's windows: its main window, the menu bar inside
// it, and the wait for a window to come to the front. Nothing is kept
// between calls; every call looks up afresh.
#pragma once

#include "host/platform.h"

// The top-level window of the mail client's main-window class, any title;
// null if there is none.
HWND FindMailClientWindow();

// The menu bar: the third toolbar in the rebar inside the main window's
// rebar host. Null if the main window is null or any link is missing.
HWND FindMenuBar(HWND main_window);

// Polls every 50 ms, 20 polls per second of time-out, for the window of
// that class (and whole title, when one is given) to be the foreground
// window. True as soon as it is; false when the polls run out.
bool WaitForWindow(LPCSTR class_name, LPCSTR title, float timeout_seconds);
