// The program's own operator new and delete. The library's would throw
// std::bad_alloc when memory is exhausted, and bring the runtime's exception
// machinery into the executable with it; these end the program at once.
#include <malloc.h>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// The compiler takes every block from operator new to be aligned for any
// type (__STDCPP_DEFAULT_NEW_ALIGNMENT__, 16 bytes here); 32-bit Windows'
// malloc gives 8, and Windows 2000's C runtime has no aligned allocation:
// MinGW's own, linked in, places each block.
void* allocate(std::size_t size, std::size_t alignment) {
  if (alignment < __STDCPP_DEFAULT_NEW_ALIGNMENT__) alignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
  if (size > PTRDIFF_MAX - alignment) std::abort();  // no room left for the block's placing
  void* block = __mingw_aligned_malloc(size == 0 ? 1 : size, alignment);
  if (block == nullptr) std::abort();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size, __STDCPP_DEFAULT_NEW_ALIGNMENT__); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept { __mingw_aligned_free(block); }
void operator delete(void* block, std::size_t) noexcept { __mingw_aligned_free(block); }
void operator delete(void* block, std::align_val_t) noexcept { __mingw_aligned_free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { __mingw_aligned_free(block); }
