#pragma once

// The Windows API, in the ANSI forms the program calls: Windows' own
// headers. The host tests compile the program against Wine's copies of them
// (Debian's libwine-dev) and link a fake of Windows behind them, so the seam
// for the tests is the Windows calls themselves.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#ifdef __MINGW32__
static_assert(sizeof(void*) == 4, "Tovix is a 32-bit Windows program");
#endif
