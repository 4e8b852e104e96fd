#pragma once

#include "platform/toolkit.h"

// The lamp colours a user sees, as Windows takes them: 0x00BBGGRR.
constexpr tk::Colour kGreen = 0x00FF00;
constexpr tk::Colour kOlive = 0x008080;  // red 0x80, green 0x80, no blue
