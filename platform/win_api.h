#pragma once

// The Windows API, in the ANSI forms the program calls. Windows builds take
// Windows' own headers; the host tests get the same names declared here,
// just the part the program uses, and link a fake of Windows behind them.

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

static_assert(sizeof(void*) == 4, "Tovix is a 32-bit Windows program");

#else

#include <cstdint>

#define CALLBACK
#define WINAPI

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using UINT = unsigned;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using ATOM = WORD;
using COLORREF = DWORD;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HRESULT = LONG;

#define TOVIX_HANDLE(name) using name = struct name##__*
TOVIX_HANDLE(HWND);
TOVIX_HANDLE(HINSTANCE);
TOVIX_HANDLE(HICON);
TOVIX_HANDLE(HCURSOR);
TOVIX_HANDLE(HMENU);
TOVIX_HANDLE(HHOOK);
TOVIX_HANDLE(HDC);
TOVIX_HANDLE(HBRUSH);
TOVIX_HANDLE(HFONT);
#undef TOVIX_HANDLE
using HGDIOBJ = void*;
using HMODULE = HINSTANCE;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT (*)(int, WPARAM, LPARAM);

struct RECT {
  LONG left, top, right, bottom;
};
struct POINT {
  LONG x, y;
};
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};
struct CREATESTRUCTA {
  void* lpCreateParams;
};
struct WINDOWPOS {
  HWND hwnd, hwndInsertAfter;
  int x, y, cx, cy;
  UINT flags;
};
struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra, cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
};
struct KBDLLHOOKSTRUCT {
  DWORD vkCode, scanCode, flags, time;
  ULONG_PTR dwExtraInfo;
};
struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformId;
  char szCSDVersion[128];
};
struct NOTIFYICONDATAA;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<const char*>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define LOWORD(l) (static_cast<WORD>(static_cast<ULONG_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<ULONG_PTR>(l) >> 16) & 0xFFFF))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// Messages.
constexpr UINT WM_NULL = 0x0000, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
               WM_ENDSESSION = 0x0016, WM_SETFOCUS = 0x0007, WM_SETFONT = 0x0030, WM_WINDOWPOSCHANGING = 0x0046,
               WM_MOUSEACTIVATE = 0x0021, WM_COMMAND = 0x0111, WM_TIMER = 0x0113, WM_MOUSEMOVE = 0x0200,
               WM_LBUTTONUP = 0x0202, WM_RBUTTONUP = 0x0205, WM_POWERBROADCAST = 0x0218, WM_HOTKEY = 0x0312,
               WM_APP = 0x8000;
constexpr WPARAM PBT_APMRESUMECRITICAL = 6, PBT_APMRESUMESUSPEND = 7, PBT_APMRESUMEAUTOMATIC = 0x12;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr int IDOK = 1;
constexpr WORD BN_CLICKED = 0;

// Window styles, placement and showing.
constexpr DWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_CAPTION = 0x00C00000,
                WS_SYSMENU = 0x00080000, WS_TABSTOP = 0x00010000, WS_EX_DLGMODALFRAME = 0x1, WS_EX_TOOLWINDOW = 0x80,
                BS_DEFPUSHBUTTON = 0x1;
constexpr int GWLP_USERDATA = -21;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_SHOWNA = 8;
constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOACTIVATE = 0x10;
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1;
constexpr int COLOR_BTNFACE = 15, COLOR_BTNTEXT = 18;
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Painting.
constexpr int LOGPIXELSX = 88, TRANSPARENT = 1, BLACK_PEN = 7, DC_BRUSH = 18, FW_NORMAL = 400, FW_BOLD = 700;
constexpr UINT DT_LEFT = 0, DT_TOP = 0, DT_WORDBREAK = 0x10;
constexpr DWORD DEFAULT_CHARSET = 1, OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0,
                DEFAULT_PITCH = 0, FF_DONTCARE = 0;

// Menus, message boxes.
constexpr UINT MF_STRING = 0, TPM_RIGHTBUTTON = 0x2, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100, MB_OK = 0;

// Keyboard, hooks and hot keys.
constexpr int WH_KEYBOARD_LL = 13, HC_ACTION = 0;
constexpr DWORD LLKHF_UP = 0x80;
constexpr int VK_CAPITAL = 0x14, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LAUNCH_MEDIA_SELECT = 0xB5,
              VK_LAUNCH_APP1 = 0xB6, VK_LAUNCH_APP2 = 0xB7;

// The shell, messages to other processes.
constexpr DWORD NIM_ADD = 0, NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4;
constexpr UINT SMTO_ABORTIFHUNG = 2;
constexpr int CSIDL_PROGRAM_FILES = 0x26;
constexpr DWORD SHGFP_TYPE_CURRENT = 0;
constexpr UINT MAX_PATH = 260;

ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                            ULONG_PTR* result);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
UINT RegisterWindowMessageA(const char* name);
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
int GetSystemMetrics(int index);
int GetWindowTextA(HWND hwnd, char* text, int size);
BOOL SetWindowTextA(HWND hwnd, const char* text);
HWND FindWindowA(const char* className, const char* caption);
BOOL SetForegroundWindow(HWND hwnd);
HWND SetFocus(HWND hwnd);
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
HMODULE GetModuleHandleA(const char* name);
HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
int GetDeviceCaps(HDC dc, int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
BOOL DeleteObject(HGDIOBJ object);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const char* face);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetDCBrushColor(HDC dc, COLORREF colour);
DWORD GetSysColor(int index);
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);

HMENU CreatePopupMenu();
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
BOOL DestroyMenu(HMENU menu);
BOOL GetCursorPos(POINT* at);

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
BOOL UnhookWindowsHookEx(HHOOK hook);
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* keys);

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);
ATOM GlobalAddAtomA(const char* name);
BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey);
BOOL UnregisterHotKey(HWND hwnd, int id);
HINSTANCE ShellExecuteA(HWND hwnd, const char* verb, const char* file, const char* parameters, const char* folder,
                        int show);
BOOL GetVersionExA(OSVERSIONINFOA* version);
UINT GetSystemWindowsDirectoryA(char* path, UINT size);
UINT GetSystemDirectoryA(char* path, UINT size);
HRESULT SHGetFolderPathA(HWND hwnd, int csidl, void* token, DWORD flags, char* path);

#endif
