#pragma once

// What later versions of Windows add, looked up when the program runs, with
// what Windows 2000 has where it is missing.

#include "platform/win_api.h"

namespace win {

// Whether Windows asks programs to pop nothing up now: a full-screen
// Direct3D program or a presentation runs. False where it cannot say
// (before Vista).
bool popupsUnwelcome();

// The dots per inch of the monitor a window is on (Windows 10); the
// screen's before.
int windowDpi(HWND hwnd);
// The small icon's side at a density.
int smallIconSize(int dpi);
// Grows a client rectangle to its window's frame at a density.
void adjustFrame(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// Lets a message reach the window from programs of a lower integrity level,
// which Windows Vista and later filter out: an elevated copy still hears the
// taskbar, which is not elevated.
void allowFromAnyProcess(HWND hwnd, UINT msg);

// Windows 8.1's notice of a new density, beyond the Windows 2000 headers.
constexpr UINT kWmDpiChanged = 0x02E0;

}  // namespace win
