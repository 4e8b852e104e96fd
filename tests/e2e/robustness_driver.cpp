// Checks what Tovix survives while it runs: the taskbar restarting, ten
// thousand random messages from another program, and a resume from sleep
// after which its keyboard hook is a new one; and that its stack canary is
// not the one in its image, which anyone can read.
//
// robustness_driver <tovix.exe> <tovix.map> <screenshot folder>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "driver_support.h"

#include <shellapi.h>

using namespace e2e;

namespace {

HWND picture() { return FindWindowExA(panel(), nullptr, "TovixPicture", nullptr); }

// Waits until Tovix has handled everything posted to it before.
bool settled() {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(panel(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Toggles Caps Lock twice and checks its lamp each time.
void lampsFollowKeys(TypingWindow& target, const std::string& when) {
  target.takeFocus();
  for (const char* tap : {" 1", " 2"}) {
    panelHidden();
    checkLockKey(VK_CAPITAL, when + ": caps lock release" + tap);
  }
}

void checkTaskbarRestart() {
  HWND taskbar = standInTaskbar();
  if (!check(taskbar != nullptr, "Wine's shell has ended and a new taskbar has started")) return;

  // What Windows' shell broadcasts when its taskbar starts.
  SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  const bool added = waitFor([] { return !trayRequests.empty(); }, 5000);
  if (!check(added, "Tovix puts its icon back on the new taskbar")) return;
  const auto& [message, icon] = trayRequests.front();
  std::printf("icon request: message %lu, owner %08lx, id %u, flags %u, callback 0x%x\n", message, icon.owner, icon.id,
              icon.flags, icon.callback);
  const HWND owner = picture();
  check(message == NIM_ADD && icon.owner == static_cast<LONG>(reinterpret_cast<UINT_PTR>(owner)) && icon.id == 1 &&
            icon.flags == 7 && icon.callback == 0x200 && std::wstring(icon.tip) == L"Tovix",
        "the same icon: NIM_ADD, trayReceiver, id 1, message | icon | tip, callback 0x200, tip \"Tovix\"");

  // A left click on it, as the new taskbar reports it.
  panelHidden();
  PostMessageA(owner, icon.callback, icon.id, WM_LBUTTONDOWN);
  PostMessageA(owner, icon.callback, icon.id, WM_LBUTTONUP);
  check(panelShown(), "a click on the restored icon shows the panel");
  DestroyWindow(taskbar);
}

void checkRandomMessages(TypingWindow& target) {
  std::mt19937 rng(20261208);
  const HWND targets[] = {panel(), picture()};
  // Half of the messages are ones Tovix handles or whose arguments are
  // addresses, the rest any number Windows lets a program post.
  constexpr UINT kWmWtsSessionChange = 0x02B1;
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  const UINT pointed[] = {
      WM_NCCREATE, WM_CREATE,     WM_TIMER,    WM_SETFOCUS,      WM_HOTKEY,    WM_MOUSEMOVE,        WM_POWERBROADCAST,
      WM_PAINT,    WM_SHOWWINDOW, WM_ACTIVATE, WM_MOUSEACTIVATE, WM_NCHITTEST, kWmWtsSessionChange, taskbarCreated};
  // Those that end a program or run its commands are never posted.
  const UINT ending[] = {WM_CLOSE,           WM_DESTROY,    WM_NCDESTROY,  WM_QUIT,
                         WM_QUERYENDSESSION, WM_ENDSESSION, WM_SYSCOMMAND, WM_COMMAND};
  int posted = 0;
  for (int i = 0; i < 10000; ++i) {
    UINT msg = rng() % 2 ? pointed[rng() % std::size(pointed)] : rng() & 0xFFFF;
    if (std::find(std::begin(ending), std::end(ending), msg) != std::end(ending)) continue;
    if (PostMessageA(targets[rng() % 2], msg, rng(), static_cast<LPARAM>(rng()))) ++posted;
    if (i % 500 == 0) settled();
  }
  std::printf("random messages: 10000 tried, %d posted\n", posted);
  check(settled(), "Tovix still answers after 10,000 random messages");
  check(visibleTrayIcons() == 1, "its icon is still there");
  check(!launchKeysFree(), "its launch keys are still held");
  panelHidden();
  check(clickIcon(1) && panelShown(), "a click on its icon still shows the panel");
  lampsFollowKeys(target, "after the random messages");
}

// Which low-level hook runs first: the input is read by this driver's thread
// (its window has the focus), so a hook of its own that runs first is
// called directly, while one that runs after Tovix's is called from inside
// Tovix's hook and arrives as a sent message. The newest hook runs first.
bool releaseSeen = false;
bool calledFromAnotherHook = false;

LRESULT CALLBACK observer(int code, WPARAM wParam, LPARAM lParam) {
  const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && event->vkCode == VK_CAPITAL && (event->flags & LLKHF_UP)) {
    calledFromAnotherHook = InSendMessage() != FALSE;
    releaseSeen = true;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool tovixHookRunsFirst(TypingWindow& target) {
  target.takeFocus();
  releaseSeen = false;
  tapKeys({VK_CAPITAL});
  waitFor([] { return releaseSeen; }, 3000);
  return releaseSeen && calledFromAnotherHook;
}

void checkResume(TypingWindow& target) {
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, observer, GetModuleHandleA(nullptr), 0);
  if (!check(hook != nullptr, "the observing hook is installed")) return;
  check(!tovixHookRunsFirst(target), "before resume, Tovix's hook is the older one");
  PostMessageA(panel(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  settled();
  check(tovixHookRunsFirst(target), "after resume, Tovix's hook is a new one");
  UnhookWindowsHookEx(hook);
  lampsFollowKeys(target, "after resume");
}

void checkCanarySeeded(HANDLE process, const char* exe, const char* map) {
  // Its place in the image, from the link map's "0x0040a008  __stack_chk_guard"
  // and "0x00400000  __image_base__ = 0x400000".
  DWORD guard = 0, imageBase = 0;
  std::ifstream lines(map);
  for (std::string line, at, name; std::getline(lines, line);) {
    std::istringstream fields(line);
    if (!(fields >> at >> name) || at.rfind("0x", 0) != 0) continue;
    if (name == "__stack_chk_guard") guard = std::stoul(at, nullptr, 16);
    if (name == "__image_base__") imageBase = std::stoul(at, nullptr, 16);
  }
  const DWORD rva = guard - imageBase;
  // Its value in the image file, mapped here with its sections in place.
  const HMODULE image = LoadLibraryExA(exe, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!check(guard != 0 && imageBase != 0 && image != nullptr, "the canary's place is known")) return;
  DWORD linked = 0;
  std::memcpy(&linked, reinterpret_cast<const BYTE*>(image) + rva, sizeof linked);
  FreeLibrary(image);
  constexpr SIZE_T kImageBaseAddress = 0x08;  // in a 32-bit PEB
  const DWORD base = pebField(process, kImageBaseAddress);
  DWORD running = 0;
  const bool read = base != 0 && ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<UINT_PTR>(base + rva)),
                                                   &running, sizeof running, nullptr);
  const std::string values = hex(linked) + " in the image, " + hex(running) + " running";
  check(read && running != linked && running != 0, "the stack canary is seeded at start: " + values);
}

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 4, "robustness_driver <tovix.exe> <tovix.map> <screenshot folder>")) return 2;
  TypingWindow target;
  target.takeFocus();
  const Tovix tovix(argv[1]);
  if (!check(tovix.started(), "tovix.exe starts")) return exitCode();
  waitFor([] { return visibleTrayIcons() == 1; }, 5000);

  checkCanarySeeded(tovix.process(), argv[1], argv[2]);
  checkRandomMessages(target);
  checkResume(target);
  checkTaskbarRestart();

  check(running(tovix.process()), "Tovix is still running");
  check(tovix.close(), "and ends when closed");
  return exitCode();
}
