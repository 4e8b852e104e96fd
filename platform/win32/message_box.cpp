#include "platform/toolkit.h"
#include "platform/win32/handles.h"

namespace tk {

void messageBox(const std::string& text, const std::string& title) {
  MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK);
}

}  // namespace tk
