#pragma once

#include <cstdint>

#include "platform/toolkit.h"
#include "platform/win_constants.h"

class IndicatorPanel;

enum class Lamp { Num, Caps, Scroll };

constexpr tk::Colour LampOnColor = 0x00FF00;   // green
constexpr tk::Colour LampOffColor = 0x008080;  // olive

struct LampKey {
  Lamp lamp;
  int virtualKey;
};

// In the order the start-up rule visits them.
constexpr LampKey kLampKeys[] = {
    {Lamp::Num, win::VK_NUMLOCK},
    {Lamp::Caps, win::VK_CAPITAL},
    {Lamp::Scroll, win::VK_SCROLL},
};

// The lamp that watches a key, or nullptr for any other key.
const LampKey* lampKeyFor(std::uint32_t virtualKey);

// The colour of a lock key's lamp from GetKeyState read at its release.
// Only "down with its toggle on" and nothing else lights it.
tk::Colour releaseColor(std::int16_t lockKeyState);

// Lights every lamp whose key has a non-zero byte in the keyboard snapshot;
// the others keep their colour.
void lightLampsFromKeyboard(IndicatorPanel& panel);

// Sets every lamp from its key's toggle state as it is now.
void lightLampsFromToggles(IndicatorPanel& panel);
