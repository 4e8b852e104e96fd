#pragma once

// Owners for the Windows resources the program takes and gives back: each
// is released when its owner goes, so scopes and members release them in
// the reverse order of taking.

#include <utility>

#include "platform/win_api.h"

namespace win {

// Owns a handle that one call releases; a null handle owns nothing.
template <typename Handle, auto Release>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ~Owned() {
    if (handle_ != nullptr) Release(handle_);
  }
  // What this owned goes with the other owner.
  Owned& operator=(Owned&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

// What releases each kind. The program's own functions: as a template's
// argument, one of Windows' would lend the owner its visibility where the
// host tests build the program.
inline void deleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void destroyMenu(HMENU menu) { ::DestroyMenu(menu); }
inline void destroyIcon(HICON icon) { ::DestroyIcon(icon); }
inline void freeLibrary(HMODULE module) { ::FreeLibrary(module); }
inline void closeHandle(HANDLE handle) { ::CloseHandle(handle); }
inline void localFree(void* memory) { ::LocalFree(memory); }

// A font, brush or other object made by GDI.
template <typename Handle>
using GdiObject = Owned<Handle, &deleteGdiObject>;
using Menu = Owned<HMENU, &destroyMenu>;
// An icon image loaded at a size of the program's choosing.
using Icon = Owned<HICON, &destroyIcon>;
// A DLL loaded by this process.
using Library = Owned<HMODULE, &freeLibrary>;
// A process, thread, token, mutex or other kernel object.
using KernelHandle = Owned<HANDLE, &closeHandle>;
// Memory that Windows allocated for the caller to free with LocalFree.
template <typename Pointer>
using LocalMemory = Owned<Pointer, &localFree>;

// A window's device context for one WM_PAINT, validating what it paints.
// What is selected into it meanwhile is put back as it was before it is
// released, so the context never keeps an object that is deleted.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)), saved_(::SaveDC(dc_)) {}
  ~PaintDC() {
    ::RestoreDC(dc_, saved_);
    ::EndPaint(window_, &paint_);
  }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
  int saved_;
};

}  // namespace win
