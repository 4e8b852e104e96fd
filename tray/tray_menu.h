#pragma once

#include "platform/win_api.h"

enum class TrayChoice { None, About, Exit };

// Opens "About" / "Exit" at the mouse, for the owner's thread, and returns
// the user's choice once the menu has closed.
TrayChoice trackTrayMenu(HWND owner);
