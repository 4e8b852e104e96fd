// The program as a whole, one test a run.
//
// app: the program as a user meets it through its notification icon:
// a left click shows the panel; a right click opens "About" / "Exit"; About
// opens one centred window; Exit with About open lets go of the icon and the
// launch keys at once and ends the process when About closes, even after
// another program posted forged destruction messages and close requests to
// its windows; a second copy, or five at once, leave exactly one running, a
// copy started while the first is exiting runs in its place, a second copy
// hands over to Tovix's panel and no other window with its caption, which
// shows for a moment without taking the focus, and no object another program
// holds under the running-copy name decides whether a copy runs.
//
// launch: the notification icon and the launch keys:
// the icon is in the system tray while the program runs; each launch key,
// pressed while another window has the focus, starts exactly Windows' own
// program in the system folder, and keys typed right after it arrive in
// order; a key held down starts one program, each separate tap one more,
// and a flood of hot-key messages posted by another program starts none
// and leaves the panel working.
//
// Stand-ins that record how they were started take the places of explorer
// (in the Windows folder, for the time of the test: Wine's own explorer,
// asked for a folder, would end the desktop and its tray), the calculator
// (in the system folder) and the media player (below the folder Windows
// reports for programs). Planted ones named explorer.exe and calc.exe lie
// beside a copy of tovix.exe and in its current folder, where a search for
// those names would look first: they must never run.
//
// app_driver <tovix.exe> <launch_recorder.exe> <screenshot folder> app | launch

#include <fstream>

#include "driver_support.h"

#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

using namespace e2e;

namespace {

std::string tovixCommand;
std::string shots;

// A visible window of this class and caption (either null for any).
HWND shown(const char* className, const char* caption) {
  HWND found = FindWindowA(className, caption);
  return IsWindowVisible(found) ? found : nullptr;
}
HWND menu() { return shown("#32768", nullptr); }
HWND aboutWindow() { return shown(nullptr, "About"); }

// Top-level windows with this caption, visible or not.
int windowsTitled(const std::string& caption) {
  const std::vector<HWND> windows = childWindows(nullptr);
  return static_cast<int>(
      std::count_if(windows.begin(), windows.end(), [&](HWND w) { return windowText(w) == caption; }));
}

bool onePanelOneIcon() { return windowsTitled("Tovix") == 1 && visibleTrayIcons() == 1; }

// Right-clicks the icon and picks a menu item by its place: 0 About, 1 Exit.
bool chooseFromMenu(int item, bool keepScreenshot) {
  if (!check(clickIcon(2), "the icon is there to click") ||
      !check(waitFor([] { return menu() != nullptr; }, 3000), "a right click opens the menu")) {
    return false;
  }
  const RECT r = windowRect(menu());
  if (keepScreenshot) screenshot(menu(), shots, "menu");
  click({(r.left + r.right) / 2, r.top + (r.bottom - r.top) * (2 * item + 1) / 4}, 1);
  return check(waitFor([] { return menu() == nullptr; }, 3000), "the menu closes on a choice");
}

// Wine draws a caption button's glyph in the Marlett face; without it the
// close box shows the letter "r". The close glyph is an X: as a close button
// draws it, its dark pixels read the same mirrored left to right; an "r"'s
// do not.
bool closeGlyphDrawn() {
  constexpr int kSide = 32;
  HDC memory = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(memory, CreateCompatibleBitmap(screen, kSide, kSide));
  ReleaseDC(nullptr, screen);
  RECT button = {0, 0, kSide, kSide};
  DrawFrameControl(memory, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
  const auto dark = [&](int x, int y) { return GetBValue(GetPixel(memory, x, y)) < 0x60; };
  int glyph = 0;
  int unmatched = 0;
  for (int y = 3; y < kSide - 3; ++y) {
    for (int x = 3, mirrored = kSide - 4; x < kSide - 3; ++x, --mirrored) {
      glyph += dark(x, y);
      unmatched += dark(x, y) && !dark(mirrored, y) && !dark(mirrored - 1, y) && !dark(mirrored + 1, y);
    }
  }
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  std::printf("close glyph: %d dark pixels, %d without a mirror image\n", glyph, unmatched);
  return glyph >= 10 && unmatched * 10 <= glyph;
}

bool centred(HWND window) {
  const RECT r = windowRect(window);
  const int dx = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2 - r.left;
  const int dy = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2 - r.top;
  return std::abs(dx) <= 1 && std::abs(dy) <= 1;
}

void checkAbout(HWND about) {
  check(centred(about), "the About window is centred");
  // Shown first, activated after: the focus arrives a moment later.
  const bool okFocused = waitFor(
      [about] {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &gui);
        return windowText(gui.hwndFocus) == "OK" && GetParent(gui.hwndFocus) == about;
      },
      3000);
  check(okFocused, "OK has the focus in About");
  screenshot(about, shots, "about");
  checkCaptionFits("Tovix", 3375, 495, 13.5f);
  checkCaptionFits("For WIndows 2000/XP/Vista/7", 2295, 735, 13.5f);
  checkCaptionFits("OK", 1575, 615, 13.5f);
  check((GetWindowLongA(about, GWL_STYLE) & WS_SYSMENU) != 0 && closeGlyphDrawn(),
        "the About window has a close box, drawn with its glyph");
  // Moved out of the centre, and clear of the icon, which must stay clickable.
  const int half = GetSystemMetrics(SM_CYSCREEN) / 2;
  SetWindowPos(about, nullptr, 5, windowRect(trayWindow()).top < half ? half : 5, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (chooseFromMenu(0, false)) {
    waitFor([about] { return centred(about); }, 3000);
    check(aboutWindow() == about && windowsTitled("About") == 1 && centred(about),
          "\"About\" again re-centres the same window");
  }
}

void checkTrayAndAbout(HANDLE tovix) {
  if (check(clickIcon(1) && panelShown(), "a left click on the icon shows the panel")) {
    check(!waitFor([] { return GetForegroundWindow() == panel(); }, 300), "the panel does not take the focus");
    const DWORD since = GetTickCount();
    screenshot(panel(), shots, "panel");
    const bool hid = panelHidden();
    check(hid, "and it hides again (" + std::to_string(GetTickCount() - since) + " ms)");
  }

  if (chooseFromMenu(0, true)) {
    check(waitFor([] { return aboutWindow() != nullptr; }, 3000), "\"About\" opens the About window");
    if (aboutWindow() != nullptr) checkAbout(aboutWindow());
  }

  // What any program can post to any window: it must not end either form.
  // Only the panel takes a close request as the program's exit; the icon's
  // receiver and About take none from another program.
  HWND about = aboutWindow();
  HWND receiver = FindWindowExA(panel(), nullptr, "TovixPicture", nullptr);
  PostMessageA(panel(), WM_NCDESTROY, 0, 0);
  PostMessageA(about, WM_NCDESTROY, 0, 0);
  PostMessageA(receiver, WM_CLOSE, 0, 0);
  PostMessageA(about, WM_CLOSE, 0, 0);
  check(receiver != nullptr && waitForExit(tovix, 1500) == STILL_ACTIVE && IsWindow(panel()) && aboutWindow() == about,
        "forged WM_NCDESTROY and WM_CLOSE messages leave Tovix running, its panel there and About open");
  check(clickIcon(1) && panelShown(), "and a click on the icon still shows the panel");
  // The window manager's frame first appears in the top-left corner: the
  // panel must not follow it there, over the icons.
  const RECT frame = windowRect(panel());
  check(frame.right == GetSystemMetrics(SM_CXSCREEN) &&
            frame.bottom == GetSystemMetrics(SM_CYSCREEN) - twipsToPixels(500),
        "at the bottom-right, 500 twips above the screen's bottom edge");

  if (chooseFromMenu(1, false)) {
    check(waitFor([] { return visibleTrayIcons() == 0; }, 3000), "\"Exit\" removes the icon at once");
    check(waitFor(launchKeysFree, 2000), "\"Exit\" frees the launch keys at once");
    check(running(tovix) && aboutWindow() != nullptr, "the program lives on while About is open");
    HWND about = aboutWindow();
    if (HWND ok = about != nullptr ? FindWindowExA(about, nullptr, "Button", "OK") : nullptr) click(centreOf(ok), 1);
    check(waitForExit(tovix, 5000) == 0, "OK in About ends the program");
  }
}

// Another program's visible window captioned "Tovix", topmost and newest:
// the first a search by caption alone finds. It counts the focus messages
// it gets.
int lookalikeFocusMessages = 0;
LRESULT CALLBACK lookalike(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFOCUS) ++lookalikeFocusMessages;
  return DefWindowProcA(window, msg, wParam, lParam);
}

// The running panel, hidden, shows for a second when a second copy starts,
// and leaves the focus where the user has it.
void checkSecondCopy(HANDLE first) {
  check(panelHidden(), "the panel hides after start-up");
  HWND other = createWindow("Tovix", lookalike, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                            WS_POPUP | WS_VISIBLE, {0, 300, 80, 330});
  lookalikeFocusMessages = 0;  // counted from here: shown, it may take the focus of this new process
  TypingWindow target;
  check(FindWindowA(nullptr, "Tovix") == other, "another program's window is the first one titled \"Tovix\"");
  check(target.takeFocus(), "a window of another program has the focus");
  const DWORD started = GetTickCount();
  const Handle second(startProcess(tovixCommand));
  // Sampled at every poll: the panel shown must never be the foreground window.
  bool activated = false;
  const auto visible = [&activated] {
    activated = activated || GetForegroundWindow() == panel();
    return panelVisible();
  };
  const bool shown = waitFor(visible, 8000);
  const DWORD shownAt = GetTickCount();
  const bool ended = waitForExit(second.get(), 5000) == 0;
  check(ended, "a second copy ends by itself (" + std::to_string(GetTickCount() - started) + " ms)");
  check(lookalikeFocusMessages == 0, "and hands over to Tovix's panel only: the other window gets nothing");
  check(shown, "the running panel shows");
  const bool hid = shown && waitFor([&] { return !visible(); }, 3000);
  check(hid, "and hides again (" + std::to_string(GetTickCount() - shownAt) + " ms)");
  check(!activated && target.hasFocus(), "the panel never takes the focus: the other window keeps it");
  DestroyWindow(target.frame);
  DestroyWindow(other);
  check(running(first) && windowsTitled("Tovix") == 1 && windowsTitled("Bexil's Tovix") == 0 && visibleTrayIcons() == 1,
        "the first copy runs on, with one panel and one icon");
}

// The copy told to close, and whether the copy started after it has looked
// for a running panel: it renames its own before it does.
DWORD endingCopy = 0;
bool newCopyHasLooked() {
  for (HWND window : childWindows(nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (windowText(window) == "Bexil's Tovix" && owner != endingCopy) return true;
  }
  return false;
}

// A slow taskbar: it lets go of an icon only once the new copy has looked,
// so the ending copy is still inside Shell_NotifyIcon, its panel there.
LRESULT CALLBACK slowTaskbar(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COPYDATA) return DefWindowProcA(window, msg, wParam, lParam);
  if (reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == NIM_DELETE) waitFor(newCopyHasLooked, 5000);
  return TRUE;
}

// Each time, the running copy is told to close and a new one started at once.
void checkCopyStartedWhileTheFirstEnds() {
  if (!check(standInTaskbar(slowTaskbar) != nullptr, "a slow taskbar stands in for Wine's")) return;
  constexpr int kRaces = 10;
  Handle running(startProcess(tovixCommand));
  if (!check(panelShown(10000), "Tovix starts behind it")) return;
  int one = 0;
  for (int race = 0; race < kRaces && one == race; ++race) {
    endingCopy = GetProcessId(running.get());
    PostMessageA(panel(), WM_CLOSE, 0, 0);
    Handle next(startProcess(tovixCommand));
    const bool ended = waitForExit(running.get(), 8000) != STILL_ACTIVE;
    const bool runs = waitFor([&] { return !e2e::running(next.get()) || panelVisible(); }, 5000) &&
                      waitFor([] { return windowsTitled("Tovix") == 1; }, 3000) && e2e::running(next.get());
    one += ended && runs ? 1 : 0;
    running = std::move(next);
  }
  check(one == kRaces, "a copy started while the first is exiting runs in its place, " + std::to_string(one) +
                           " times of " + std::to_string(kRaces));
  check(closeTovix(running.get()), "and ends when closed");
}

void checkFiveAtOnce() {
  Handle copies[5];
  for (Handle& copy : copies) copy.reset(startProcess(tovixCommand));
  const auto left = [&] {
    return std::count_if(std::begin(copies), std::end(copies), [](const Handle& copy) { return running(copy.get()); });
  };
  waitFor([&] { return left() <= 1; }, 15000);
  check(left() == 1, "five copies started at once leave one running (" + std::to_string(left()) + ")");
  check(waitFor(onePanelOneIcon, 5000), "with one panel and one icon");
  PostMessageA(panel(), WM_CLOSE, 0, 0);
  for (const Handle& copy : copies) waitForExit(copy.get(), 5000);
  check(visibleTrayIcons() == 0 && launchKeysFree(), "closing it leaves no icon and frees the launch keys");
}

// The name a running copy marks itself with: per user, as SID this driver,
// run as the same user, computes the same.
std::string runningMarkName() {
  HANDLE token = nullptr;
  alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  char* sid = nullptr;
  const bool known = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                     GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                     ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid);
  CloseHandle(token);
  const std::string name = known ? std::string("Local\\Tovix.Running.") + sid : "";
  LocalFree(sid);
  return name;
}

// Whatever another program holds under the running-copy name, one copy runs
// and a second hands over to it: the running panel decides, not the object.
void checkRunningMarkSquatted(const char* exe) {
  const std::string name = runningMarkName();
  const char* const kinds[] = {"a mutex it owns", "an event", "a semaphore"};
  for (int kind = 0; kind < 3; ++kind) {
    // Closed before the next kind: the kinds share one namespace.
    const Handle squatter(kind == 0   ? CreateMutexA(nullptr, TRUE, name.c_str())
                          : kind == 1 ? CreateEventA(nullptr, TRUE, FALSE, name.c_str())
                                      : CreateSemaphoreA(nullptr, 0, 1, name.c_str()));
    const std::string held = std::string("another program holds ") + kinds[kind] + " of the running-copy name";
    if (!check(!name.empty() && squatter != nullptr, held)) continue;
    const Tovix tovix(exe);
    if (!check(tovix.started, "tovix.exe starts all the same")) continue;
    const Handle second(startProcess(tovixCommand));
    check(waitForExit(second.get(), 10000) == 0 && running(tovix.process()), "the second copy ends, the first runs on");
    check(waitFor(onePanelOneIcon, 3000), "one panel and one icon");
    check(tovix.close(), "and it ends when closed");
    // Should both run, the close above may have met the second's panel.
    if (running(second.get())) closeTovix(second.get());
  }
}

void app(int, char** argv) {
  tovixCommand = "\"" + std::string(argv[1]) + "\"";
  shots = argv[3];

  // After "Exit", that the launch keys stay free the five copies below show.
  if (const Tovix tovix(argv[1]); check(tovix.started, "tovix.exe starts")) {
    checkSecondCopy(tovix.process());
    checkTrayAndAbout(tovix.process());
  }
  checkFiveAtOnce();
  checkRunningMarkSquatted(argv[1]);
  checkCopyStartedWhileTheFirstEnds();
}

const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
std::string logFile;

bool samePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

struct Launch {
  std::string program, commandLine, folder;
};

// What the recorder logged, a line "program|command line|current folder" a
// start, in order: the starts of this program, or all.
std::vector<Launch> launches(const std::string& program = "") {
  std::vector<Launch> found;
  std::ifstream in(logFile);
  for (Launch l;
       std::getline(in, l.program, '|') && std::getline(in, l.commandLine, '|') && std::getline(in, l.folder);) {
    if (program.empty() || samePath(l.program, program)) found.push_back(l);
  }
  return found;
}

// Holds a key down as a keyboard does: a press, then repeated presses at
// the keyboard's repeat rate, then a release. The interval is the input
// itself, not a wait for an outcome: sent at once, the presses would meet
// a start still in flight rather than a finished one.
void holdKey(BYTE vk, int presses, DWORD intervalMs) {
  for (int i = 0; i < presses; ++i) {
    const DWORD sent = GetTickCount();
    keybd_event(vk, 0, 0, 0);
    waitFor([&] { return GetTickCount() - sent >= intervalMs; }, intervalMs);
  }
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

// Wine's explorer.exe moved aside and a stand-in put in its place for as
// long as this lives. Wine's runs on as the desktop from its own image.
struct ExplorerStandIn {
  const std::string explorer, standIn;
  const bool ready = MoveFileExA(explorer.c_str(), (explorer + ".wine").c_str(), MOVEFILE_REPLACE_EXISTING) &&
                     CopyFileA(standIn.c_str(), explorer.c_str(), FALSE);
  ~ExplorerStandIn() {
    DeleteFileA(explorer.c_str());
    MoveFileExA((explorer + ".wine").c_str(), explorer.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
};

void launchKeys(int, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "tovix-launch\\";
  const std::string current = folder + "current\\";
  const std::string system = knownFolder(CSIDL_SYSTEM);
  const std::string programs = knownFolder(CSIDL_PROGRAM_FILES);
  const std::string playerFolder = programs + "\\Windows Media Player\\";
  for (const std::string& made : {folder, current, playerFolder}) CreateDirectoryA(made.c_str(), nullptr);
  logFile = folder + "launches.log";
  DeleteFileA(logFile.c_str());
  SetEnvironmentVariableA("TOVIX_LAUNCH_LOG", logFile.c_str());
  const WORD version = LOWORD(GetVersion());  // the major version in the low byte, the minor in the high
  std::printf("Windows %u.%u, programs in %s\n", LOBYTE(version), HIBYTE(version), programs.c_str());

  const std::string tovixExe = folder + "tovix.exe";
  const std::string explorer = knownFolder(CSIDL_WINDOWS) + "\\explorer.exe";
  const std::string calc = system + "\\calc.exe";
  const std::string player = playerFolder + (version == 0x0005 ? "mplayer2.exe" : "wmplayer.exe");
  const std::string planted[] = {folder + "explorer.exe", folder + "calc.exe", current + "explorer.exe",
                                 current + "calc.exe"};
  const ExplorerStandIn explorerStandIn{explorer, argv[2]};
  bool ready = check(explorerStandIn.ready, "stand-in in place: " + explorer);
  // A copy of tovix.exe, the rest the recorder.
  for (const std::string& to : {tovixExe, calc, playerFolder + "wmplayer.exe", playerFolder + "mplayer2.exe",
                                planted[0], planted[1], planted[2], planted[3]}) {
    const char* from = to == tovixExe ? argv[1] : argv[2];
    ready = ready && check(CopyFileA(from, to.c_str(), FALSE) != FALSE, "stand-in in place: " + to);
  }
  if (!ready) return;

  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");
  // The panel shows once start-up has acquired everything.
  const Tovix tovix(tovixExe, current.c_str());
  if (!check(tovix.started, "tovix.exe starts")) return;
  const DWORD tovixId = GetProcessId(tovix.process());
  panelHidden();
  DWORD idleThreads = 0;
  childProcesses(tovixId, &idleThreads);
  const bool iconShown = waitFor([] { return visibleTrayIcons() == 1; }, 5000);
  check(iconShown, "the icon is in Wine's system tray (" + std::to_string(visibleTrayIcons()) + " icon)");
  // That the launch keys are taken while it runs, the robustness test checks.

  // Every start is over once Tovix is back to its own threads and whatever
  // it started has ended.
  const auto quiet = [&] {
    DWORD threads = 0;
    return childProcesses(tovixId, &threads).empty() && threads <= idleThreads;
  };
  // Every hot key sent before is handled once the panel has shown for a lock
  // key pressed after it; then the starts they made are waited out.
  // Returns how long the panel took to show, ~0 when it or the starts did
  // not settle.
  const auto settle = [&] {
    tapKeys({VK_CAPITAL, VK_CAPITAL});
    const DWORD since = GetTickCount();
    const bool shown = panelShown(5000);
    const DWORD took = GetTickCount() - since;
    return shown && waitFor(quiet, 10000) && panelHidden() ? took : ~0ul;
  };

  const struct {
    WORD vk;
    std::string name, program, commandLine;
    const char* typed;  // letters typed right after the launch key
  } keys[] = {
      {0xB6, "My Computer key", explorer, "\"" + explorer + "\" " + kMyComputer, "AB"},
      {0xB7, "Calculator key", calc, "\"" + calc + "\"", "CD"},
      {0xB5, "media key", player, "\"" + player + "\"", "EF"},
  };
  std::string typed;
  for (const auto& key : keys) {
    tapKeys({key.vk, static_cast<WORD>(key.typed[0]), static_cast<WORD>(key.typed[1])});
    for (const char* c = key.typed; *c != 0; ++c) typed += static_cast<char>(*c - 'A' + 'a');
    const bool arrived = waitFor([&] { return target.text() == typed; }, 3000);
    check(arrived, key.name + ": the keys typed after it arrive in order (\"" + target.text() + "\")");
    const bool started = waitFor([&] { return launches(key.program).size() == 1; }, 5000);
    if (!check(started, key.name + " starts " + key.program)) continue;
    const Launch launch = launches(key.program)[0];
    std::printf("%s started %s as [%s] in %s\n", key.name.c_str(), launch.program.c_str(), launch.commandLine.c_str(),
                launch.folder.c_str());
    check(launch.commandLine == key.commandLine, key.name + " command line is " + key.commandLine);
    check(samePath(launch.folder, system) || samePath(launch.folder, system + "\\"),
          key.name + ": the program starts in the system folder");
    check(target.hasFocus(), key.name + ": the typing window keeps the focus");
  }
  check(settle() != ~0ul && launches().size() == 3, "nothing else was started");

  holdKey(0xB7, 15, 30);
  const bool settled = settle() != ~0ul;
  const int held = static_cast<int>(launches(calc).size()) - 1;
  check(settled && held == 1, "the Calculator key held down starts one program (" + std::to_string(held) + ")");
  tapKeys({0xB7});
  check(waitFor([&] { return launches(calc).size() == 3; }, 5000) && settle() != ~0ul && launches(calc).size() == 3,
        "a separate tap starts another");

  // Anyone can look up the atoms and post the hot keys.
  for (int i = 0; i < 200; ++i) {
    const char* atom = i % 3 == 0 ? "Bexil" : i % 3 == 1 ? "Bexil1" : "Bexil2";
    const SHORT id = static_cast<SHORT>(GlobalFindAtomA(atom));
    PostMessageA(panel(), WM_HOTKEY, static_cast<WPARAM>(static_cast<LONG>(id)), 0);
  }
  const DWORD shownAfter = settle();
  std::printf("after 200 posted hot keys the panel showed for Caps Lock in %lu ms\n", shownAfter);
  // The hook saw no press for them, and the keys are up.
  check(launches(explorer).size() == 1 && launches(calc).size() == 3 && launches(player).size() == 1 &&
            running(tovix.process()),
        "200 posted hot keys start no program and leave Tovix running");
  check(shownAfter <= 2000, "and the panel still shows for Caps Lock");
  size_t plantedRuns = 0;
  for (const std::string& program : planted) plantedRuns += launches(program).size();
  check(plantedRuns == 0, "no planted explorer.exe or calc.exe ran");
  check(visibleTrayIcons() == 1, "the desktop's tray is still there");
  // That the icon goes and the keys are free after a close, the app test checks.
  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
}

}  // namespace

int main(int argc, char** argv) {
  const std::pair<const char*, void (*)(int, char**)> tests[] = {{"app", app}, {"launch", launchKeys}};
  for (const auto& [name, test] : tests) {
    if (argc >= 5 && std::string(argv[4]) == name) {
      test(argc, argv);
      return exitCode();
    }
  }
  return usage("app_driver <tovix.exe> <launch_recorder.exe> <screenshot folder> app|launch");
}
