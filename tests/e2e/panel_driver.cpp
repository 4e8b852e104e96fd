// The panel as a user meets it, one test a run, each starting tovix.exe:
//
// indicator: the panel 4680 x 1455 twips, topmost, hiding itself; each
// lock key's lamp showing the key's real toggle state after its release; and
// the window the user types into keeping the focus and every character.
//
// placement: Tovix started ten times in a row under the window manager, its
// panel at the bottom-right each time, as Windows reports it and as the X
// server shows it, and still there when it hides and shows again. Given a
// desktop panel that reserves a strip of the screen ("bottom 48": 48 pixels
// at the bottom; "right 80"), one start, the panel clear of that strip,
// moved no more than it must.
//
// dpi: on a screen of 144 dots per inch (10 twips per pixel) the panel keeps
// its twips geometry: a client area of 4680 x 1455 twips, that is 468 x 146
// pixels (145.5 rounded half away from zero), on the screen's right edge and
// 500 twips (50 pixels) above its bottom; and a left click on its icon,
// whose messages arrive scaled by the twips per pixel, shows it again. Then,
// with a stand-in for Wine's taskbar, the icon the taskbar receives has the
// small-icon size at 96, 120, 144 and 168 dots per inch: 16, 20 and 24
// pixels, drawn for the size, and 28, scaled down. The program's icon holds
// an image of every size from 16 to 48 pixels in 256 colours and in 32-bit
// colour.
//
// soak: key events typed into an edit control, digits mixed with the three
// lock keys; every character arrives in order, the focus never moves, the
// lamps match the keys at the end, and Tovix's GDI objects, windows and
// memory stay where they were after the first thousand events.
//
// robustness: what Tovix survives while it runs: the taskbar restarting, ten
// thousand random messages from another program, and a resume from sleep
// after which its keyboard hook is a new one; and that its stack canary is
// not the one in its image (its place from the link map), which anyone can
// read.
//
// panel_driver <tovix.exe> <tovix.map> <screenshot folder>
//              indicator | placement [bottom|right <pixels>] | dpi | soak [key events, 20000 if not given] | robustness

#include <fstream>
#include <iterator>
#include <random>

#include "driver_support.h"

#include <psapi.h>
#include <shellapi.h>

using namespace e2e;

namespace {

void indicator(int, char** argv) {
  // The user is typing somewhere when Tovix starts.
  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");
  const Tovix tovix(argv[1]);
  if (!check(tovix.process() != nullptr, "tovix.exe starts")) return;

  // Of the tests, this one checks the start-up show and hide; the others
  // wait for them.
  if (check(tovix.started, "the panel appears after start-up")) {
    const DWORD shown = GetTickCount();
    const RECT frame = windowRect(panel());
    RECT client;
    GetClientRect(panel(), &client);
    std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld, screen %dx%d at %.2f twips/pixel\n", frame.left,
                frame.top, frame.right, frame.bottom, client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), twipsPerPixel());
    // Where it shows, to the pixel, the placement test checks.
    check(client.right == twipsToPixels(4680) && client.bottom == twipsToPixels(1455), "client area 4680 x 1455 twips");
    const LONG exStyle = GetWindowLongA(panel(), GWL_EXSTYLE);
    check((exStyle & WS_EX_TOPMOST) != 0, "the panel is topmost");
    check((exStyle & WS_EX_TOOLWINDOW) != 0 && (GetWindowLongA(panel(), GWL_STYLE) & WS_SYSMENU) == 0,
          "the panel is a tool window without a control box");
    for (const auto& [caption, width] : {std::pair{"Num", 615}, {"Caps", 615}, {"Scroll", 735}}) {
      checkCaptionFits(caption, width, 375, 12.0f);
    }
    check(target.hasFocus(), "the typing window keeps the focus while the panel shows");
    const bool hid = panelHidden();
    check(hid, "the panel hides by itself after start-up (" + std::to_string(GetTickCount() - shown) + " ms)");
  }
  check(target.hasFocus(), "the typing window has the focus after start-up");

  // Digits typed before each lock key, and at the end, must all arrive.
  std::string typed;
  const auto type = [&typed](const std::string& digits) {
    tapKeys(std::vector<WORD>(digits.begin(), digits.end()));
    typed += digits;
  };
  for (int round = 0; round < 6; ++round) {
    const Lamp& lamp = kLamps[round % 3];
    type(std::to_string(10 + round));
    std::string name = lamp.caption;
    CharLowerA(&name[0]);
    const std::string what = name + " lock release " + std::to_string(round / 3 + 1);
    checkLockKey(lamp.key, what);
    screenshot(panel(), argv[3], "panel-" + name + (GetKeyState(lamp.key) & 1 ? "-on" : "-off"));
    check(target.hasFocus(), what + ": the typing window keeps the focus");
    check(panelHidden(), what + ": the panel hides again");
  }

  // Every key event starts the second over: the panel stays up while the
  // user types on after a lock key, and hides a second after the last key.
  tapKeys({VK_SCROLL});
  if (check(panelShown(), "scroll lock shows the panel before typing on")) {
    bool stayed = true;
    DWORD lastKey = 0;
    for (int i = 0; i < 8 && stayed; ++i) {
      type("7");
      lastKey = GetTickCount();
      stayed = !panelHidden(250);
    }
    check(stayed, "the panel stays up through two seconds of typing");
    const bool hid = panelHidden();
    const DWORD after = GetTickCount() - lastKey;
    check(hid && after >= 800, "and hides a second after the last key (" + std::to_string(after) + " ms)");
  }
  tapKeys({VK_SCROLL});

  type("99");
  const bool arrived = waitFor([&] { return target.text() == typed; }, 3000);
  check(arrived, "every character typed arrives: \"" + target.text() + "\" (expected \"" + typed + "\")");
  check(target.hasFocus(), "the typing window has the focus at the end");
  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
}

// Both what Windows reports and where the X server shows the panel: right
// and bottom edges where they belong.
bool placedAt(const POINT& corner, const std::string& shots, const std::string& when) {
  POINT x = {-1, -1};
  const bool shown = waitFor([&] { return xWindowOrigin(shots, "Tovix", &x); }, 3000);
  const RECT frame = windowRect(panel());
  std::printf("%s: panel frame (%ld,%ld)-(%ld,%ld), X window at (%ld,%ld)\n", when.c_str(), frame.left, frame.top,
              frame.right, frame.bottom, x.x, x.y);
  return frame.right == corner.x && frame.bottom == corner.y && shown && x.x == frame.left && x.y == frame.top;
}

void placement(int argc, char** argv) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  RECT work = {0, 0, width, height};
  if (argc == 7) (std::string(argv[5]) == "right" ? work.right : work.bottom) -= std::atol(argv[6]);
  // The screen's right edge, 500 twips above its bottom, inside the work area.
  const POINT corner = {std::min(width, work.right), std::min(height - twipsToPixels(500), work.bottom)};
  int right = 0;
  const int starts = argc == 7 ? 1 : 10;
  for (int start = 1; start <= starts; ++start) {
    const std::string what = "start " + std::to_string(start);
    const Tovix tovix(argv[1]);
    if (!tovix.started) break;
    bool placed = placedAt(corner, argv[3], what);
    panelHidden();
    // Scroll Lock shows the panel again; pressed twice, it keeps its state.
    tapKeys({VK_SCROLL, VK_SCROLL});
    placed = panelShown() && placedAt(corner, argv[3], what + ", shown again") && placed;
    right += placed ? 1 : 0;
    check(tovix.close(), what + ": Tovix ends when closed");
  }
  check(right == starts, "the panel opened with its corner at (" + std::to_string(corner.x) + "," +
                             std::to_string(corner.y) + ") on " + std::to_string(right) + " starts of " +
                             std::to_string(starts) + ", and stayed there when shown again");
}

// Wine reads the screen density of each new process from here.
bool setScreenDensity(DWORD dotsPerInch) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dotsPerInch,
                         sizeof dotsPerInch) == ERROR_SUCCESS;
}

// The images of tovix.exe's icon, as "width x bits per pixel" in a row.
std::string iconImages(const char* exe) {
  std::string images;
  const HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
  const auto* bytes = group != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  // Six bytes, the count at 4, then 14 an image: its width first, its bits
  // per pixel at 6.
  for (int i = 0; bytes != nullptr && i < bytes[4]; ++i) {
    images += " " + std::to_string(bytes[6 + 14 * i]) + "x" + std::to_string(bytes[6 + 14 * i + 6]);
  }
  FreeLibrary(module);
  return images;
}

void dpi(int, char** argv) {
  const std::string images = iconImages(argv[1]);
  std::printf("icon images:%s\n", images.c_str());
  check(images == " 32x8 16x8 16x32 20x8 20x32 24x8 24x32 32x32 40x8 40x32 48x8 48x32",
        "the program's icon: today's 32-pixel image first, then each of 16 to 48 pixels in 8 and 32 bits per pixel");
  if (!check(setScreenDensity(144), "the screen is set to 144 dots per inch")) return;
  const Tovix tovix(argv[1]);
  // This driver started at 96 dots per inch: the pixels are given.
  if (tovix.started) {
    const RECT frame = windowRect(panel());
    RECT client;
    GetClientRect(panel(), &client);
    std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld\n", frame.left, frame.top, frame.right, frame.bottom,
                client.right, client.bottom);
    check(client.right == 468 && client.bottom == 146, "client area 468 x 146 pixels = 4680 x 1455 twips");
    check(frame.right == GetSystemMetrics(SM_CXSCREEN), "right edge on the screen's right edge");
    check(std::abs(frame.bottom - (GetSystemMetrics(SM_CYSCREEN) - 50)) <= 1, "bottom edge 500 twips above the bottom");
    screenshot(panel(), argv[3], "panel-144dpi");
    panelHidden();
    check(clickIcon(1) && panelShown(), "a left click on the icon shows the panel");
  }
  check(tovix.close(), "Tovix ends when closed");
  const HWND taskbar = standInTaskbar();
  if (check(taskbar != nullptr, "a stand-in takes the place of Wine's taskbar")) {
    for (const DWORD dots : {96, 120, 144, 168}) {
      trayRequests.clear();
      setScreenDensity(dots);
      const Tovix copy(argv[1]);
      const bool added = copy.started && waitFor([] { return !trayRequests.empty(); }, 5000);
      const TrayIconData icon = added ? trayRequests[0].second : TrayIconData{};
      std::printf("%lu dpi: icon of %ux%u pixels\n", dots, icon.iconWidth, icon.iconHeight);
      check(icon.iconWidth == 16 * dots / 96 && icon.iconHeight == icon.iconWidth,
            std::to_string(dots) + " dots per inch: the taskbar receives an icon of the small-icon size");
    }
    DestroyWindow(taskbar);
  }
  check(setScreenDensity(96), "the screen is back to 96 dots per inch");
}

struct Footprint {
  int gdiObjects;
  int windows;
  SIZE_T memory;
};

// Measured and printed after this many key events.
Footprint footprint(HANDLE process, long events) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  const Footprint f = {gdiObjects(process), windowCount(GetProcessId(process)), memory.WorkingSetSize};
  std::printf("after %ld events: %d GDI objects, %d windows, %lu KiB working set\n", events, f.gdiObjects, f.windows,
              static_cast<unsigned long>(f.memory / 1024));
  return f;
}

void soak(int argc, char** argv) {
  const long events = argc == 6 ? std::atol(argv[5]) : 20000;
  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");
  const Tovix tovix(argv[1]);
  if (!check(tovix.started, "tovix.exe starts")) return;

  std::mt19937 rng(7);
  const WORD locks[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
  Footprint early = {};
  bool inOrder = true;
  bool focusKept = true;
  long sent = 0;
  size_t characters = 0;
  const DWORD started = GetTickCount();
  while (sent < events && inOrder && focusKept) {
    // Fifty presses and releases a batch; the last key of the soak is a
    // lock key, so the panel is up at the end. The edit control is emptied
    // after each batch: its own cost grows with its text.
    std::vector<WORD> keys;
    std::string typed;
    for (int i = 0; i < 50 && sent < events; ++i, sent += 2) {
      if (sent + 2 >= events || rng() % 5 == 0) {
        keys.push_back(locks[rng() % 3]);
      } else {
        keys.push_back(static_cast<WORD>('0' + rng() % 10));
        typed += static_cast<char>(keys.back());
      }
    }
    tapKeys(keys);
    const auto arrived = [&] {
      return lastKeyUp() == keys.back() && GetWindowTextLengthA(target.edit) == static_cast<int>(typed.size());
    };
    inOrder = waitFor(arrived, 10000) && target.text() == typed;
    focusKept = target.hasFocus();
    characters += typed.size();
    SetWindowTextA(target.edit, "");
    if (sent == 1000) early = footprint(tovix.process(), sent);
  }
  std::printf("%ld key events in %lu ms, %zu characters\n", sent, GetTickCount() - started, characters);
  check(inOrder && sent == events, "every character arrived, in order");
  check(focusKept, "the typing window kept the focus throughout");
  if (check(panelShown(), "the panel is up after the last lock key")) {
    for (const Lamp& lamp : kLamps) {
      check(lampColour(lamp.key) == lampFor(lamp.key), std::string(lamp.caption) + " lamp matches its key");
    }
  }
  const Footprint late = footprint(tovix.process(), sent);
  check(early.gdiObjects > 0 && std::abs(late.gdiObjects - early.gdiObjects) <= 2, "GDI objects steady");
  check(early.windows > 0 && late.windows == early.windows, "windows steady");
  check(late.memory <= early.memory + 1024 * 1024, "memory within 1 MiB");
  check(tovix.close(), "Tovix ends when closed");
}

HWND picture() { return FindWindowExA(panel(), nullptr, "TovixPicture", nullptr); }

// Whether Tovix's panel answers a message sent to it, which overtakes
// whatever was posted to it before.
bool answers(UINT msg = WM_NULL, WPARAM wParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(panel(), msg, wParam, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
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
  if (!check(waitFor([] { return !trayRequests.empty(); }, 5000), "Tovix puts its icon back on a new taskbar")) return;
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
    if (i % 500 == 0) answers();
  }
  std::printf("random messages: 10000 tried, %d posted\n", posted);
  check(answers(), "Tovix still answers after 10,000 random messages");
  // Then it has handled them all once a left click posted to the icon's
  // receiver behind them shows the panel; the panel hides first, which
  // waits for them too.
  panelHidden(30000);
  PostMessageA(picture(), 0x200, 1, WM_LBUTTONUP);
  panelShown(30000);
  check(visibleTrayIcons() == 1 && !launchKeysFree(), "its icon is still there, its launch keys still held");
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
  answers(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);  // as Windows sends it
  check(tovixHookRunsFirst(target), "after resume, Tovix's hook is a new one");
  UnhookWindowsHookEx(hook);
  lampsFollowKeys(target, "after resume");
}

void checkCanarySeeded(HANDLE process, const char* exe, const char* map) {
  // Its place in the image, from the link map's "0x0040a008  __stack_chk_guard"
  // and "0x00400000  __image_base__ = 0x400000": the address before the name.
  DWORD guard = 0, imageBase = 0;
  std::ifstream words(map);
  for (std::string before, word; words >> word; before = word) {
    if (before.rfind("0x", 0) != 0) continue;
    if (word == "__stack_chk_guard") guard = std::stoul(before, nullptr, 16);
    if (word == "__image_base__") imageBase = std::stoul(before, nullptr, 16);
  }
  // Its value in the image file, mapped here with its sections in place.
  const auto* image = reinterpret_cast<const BYTE*>(LoadLibraryExA(exe, nullptr, DONT_RESOLVE_DLL_REFERENCES));
  if (!check(guard != 0 && imageBase != 0 && image != nullptr, "the canary's place is known")) return;
  const DWORD rva = guard - imageBase;
  const DWORD linked = *reinterpret_cast<const DWORD*>(image + rva);
  DWORD running = 0;
  constexpr SIZE_T kImageBaseAddress = 0x08;  // in a 32-bit PEB
  const DWORD base = pebField(process, kImageBaseAddress);
  const bool read = base != 0 && ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<UINT_PTR>(base + rva)),
                                                   &running, sizeof running, nullptr);
  const std::string values = hex(linked) + " in the image, " + hex(running) + " running";
  check(read && running != linked && running != 0, "the stack canary is seeded at start: " + values);
}

void robustness(int, char** argv) {
  TypingWindow target;
  target.takeFocus();
  const Tovix tovix(argv[1]);
  if (!check(tovix.started, "tovix.exe starts")) return;
  waitFor([] { return visibleTrayIcons() == 1; }, 5000);

  checkCanarySeeded(tovix.process(), argv[1], argv[2]);
  checkRandomMessages(target);
  checkResume(target);
  checkTaskbarRestart();

  check(running(tovix.process()), "Tovix is still running");
  check(tovix.close(), "and ends when closed");
}

}  // namespace

int main(int argc, char** argv) {
  const std::pair<const char*, void (*)(int, char**)> tests[] = {
      {"indicator", indicator}, {"placement", placement}, {"dpi", dpi}, {"soak", soak}, {"robustness", robustness}};
  for (const auto& [name, test] : tests) {
    if (argc >= 5 && std::string(argv[4]) == name) {
      test(argc, argv);
      return exitCode();
    }
  }
  return usage("panel_driver <tovix.exe> <tovix.map> <screenshot folder> <test> [its arguments]");
}
