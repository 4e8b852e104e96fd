#pragma once

#include "platform/win_api.h"

enum class Lamp { Num, Caps, Scroll };

constexpr COLORREF LampOnColor = 0x00FF00;   // green
constexpr COLORREF LampOffColor = 0x008080;  // olive

struct LampKey {
  Lamp lamp;
  int virtualKey;
};

// Left to right on the panel, in the order the start-up rule visits them.
constexpr LampKey kLampKeys[] = {
    {Lamp::Num, VK_NUMLOCK},
    {Lamp::Caps, VK_CAPITAL},
    {Lamp::Scroll, VK_SCROLL},
};

// The start-up rule, from the key's byte in a keyboard snapshot: any bit
// lights it, the key's being held down too.
COLORREF startUpColor(BYTE snapshotByte);
// The colour of a lock key's lamp from GetKeyState read at its release.
// Only "down with its toggle on" and nothing else lights it.
COLORREF releaseColor(SHORT lockKeyState);
// The colour for the toggle state of GetKeyState.
COLORREF toggleColor(SHORT lockKeyState);
