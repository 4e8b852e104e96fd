#include "indicator/lamps.h"

#include "indicator/indicator_panel.h"

const LampKey* lampKeyFor(DWORD virtualKey) {
  for (const LampKey& key : kLampKeys) {
    if (static_cast<DWORD>(key.virtualKey) == virtualKey) return &key;
  }
  return nullptr;
}

COLORREF releaseColor(SHORT lockKeyState) {
  return static_cast<WORD>(lockKeyState) == 0xFF81 ? LampOnColor : LampOffColor;
}

void lightLampsFromKeyboard(IndicatorPanel& panel) {
  BYTE snapshot[256] = {};
  GetKeyboardState(snapshot);
  for (const LampKey& key : kLampKeys) {
    if (snapshot[key.virtualKey] != 0) panel.setLamp(key.lamp, LampOnColor);
  }
}

void lightLampsFromToggles(IndicatorPanel& panel) {
  for (const LampKey& key : kLampKeys) {
    panel.setLamp(key.lamp, (GetKeyState(key.virtualKey) & 1) != 0 ? LampOnColor : LampOffColor);
  }
}
