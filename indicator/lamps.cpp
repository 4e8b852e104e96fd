#include "indicator/lamps.h"

COLORREF startUpColor(BYTE snapshotByte) { return snapshotByte != 0 ? LampOnColor : LampOffColor; }

COLORREF releaseColor(SHORT lockKeyState) {
  return static_cast<WORD>(lockKeyState) == 0xFF81 ? LampOnColor : LampOffColor;
}

COLORREF toggleColor(SHORT lockKeyState) { return (lockKeyState & 1) != 0 ? LampOnColor : LampOffColor; }
