#include "tray/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/newer_windows.h"
#include "platform/system.h"

namespace {

// Where the first versions kept the receiver, in twips; it never shows.
constexpr win::TwipsRect kReceiverBounds = {3960, 840, 615, 495};
// The program's one icon: ids count from 1.
constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kAllFields = NIF_MESSAGE | NIF_ICON | NIF_TIP;

template <typename Record>
bool notify(DWORD message, Record& record) {
  return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&record)) != FALSE;
}

std::uint32_t handleValue(void* handle) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle)); }

}  // namespace

TrayIcon::TrayIcon(win::MessageHandler& program, HWND panel, const char* tip, int dpi)
    : receiver_(program, kReceiverClass, "", WS_CHILD, 0, win::toPixels(kReceiverBounds, dpi), panel),
      record_{sizeof(Record), handleValue(receiver()), kIconId, kAllFields, kCallbackMessage, 0, {}} {
  // The tip, its NUL, then spaces to the end of the field, as the first
  // versions wrote it. A longer tip is cut so the NUL stays inside.
  std::memset(record_.szTip, ' ', sizeof record_.szTip);
  const std::size_t length = std::min(std::strlen(tip), sizeof record_.szTip - 1);
  std::memcpy(record_.szTip, tip, length);
  record_.szTip[length] = '\0';
  win::allowFromAnyProcess(receiver(), kCallbackMessage);
  restore(dpi);
}

TrayIcon::~TrayIcon() {
  // The icon named by its window and id, every other field zero.
  Record gone = {sizeof(Record), record_.hWnd, record_.uID, kAllFields, 0, 0, {}};
  notify(NIM_DELETE, gone);
}

void TrayIcon::restore(int dpi) {
  // Any program can send the restart message: it costs no loading unless the
  // small-icon size has changed.
  win::Icon image;
  const int size = win::smallIconSize(dpi);
  if (size != imageSize_ && (image = win::smallProgramIcon(size))) {
    record_.hIcon = handleValue(image.get());
    imageSize_ = size;
  }
  // A taskbar that still holds the icon refuses the add: Windows 10 sends
  // its restart message when the screen's scale changes. The icon then
  // takes the new image in place.
  if (!notify(NIM_ADD, record_) && image) notify(NIM_MODIFY, record_);
  // The old image goes once the taskbar has the new one.
  if (image) image_ = std::move(image);
}
