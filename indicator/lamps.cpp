#include "indicator/lamps.h"

#include "indicator/indicator_panel.h"
#include "platform/win_api.h"

const LampKey* lampKeyFor(std::uint32_t virtualKey) {
  for (const LampKey& key : kLampKeys) {
    if (static_cast<std::uint32_t>(key.virtualKey) == virtualKey) return &key;
  }
  return nullptr;
}

tk::Colour releaseColor(std::int16_t lockKeyState) {
  return static_cast<std::uint16_t>(lockKeyState) == 0xFF81 ? LampOnColor : LampOffColor;
}

void lightLampsFromKeyboard(IndicatorPanel& panel) {
  std::uint8_t snapshot[256] = {};
  win::GetKeyboardState(snapshot);
  for (const LampKey& key : kLampKeys) {
    if (snapshot[key.virtualKey] != 0) panel.setLamp(key.lamp, LampOnColor);
  }
}

void lightLampsFromToggles(IndicatorPanel& panel) {
  for (const LampKey& key : kLampKeys) {
    panel.setLamp(key.lamp, (win::GetKeyState(key.virtualKey) & 1) != 0 ? LampOnColor : LampOffColor);
  }
}
