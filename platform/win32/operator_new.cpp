// The program's own operator new and delete. The library's would throw
// std::bad_alloc when memory is exhausted, and bring the runtime's exception
// machinery into the executable with it; these end the program at once.
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// The compiler takes every block from operator new to be aligned for any
// type (__STDCPP_DEFAULT_NEW_ALIGNMENT__, 16 bytes here); 32-bit Windows'
// malloc gives 8. Each block is placed at the alignment asked for, with the
// address malloc returned kept just before it.
void* allocate(std::size_t size, std::size_t alignment) {
  if (alignment < __STDCPP_DEFAULT_NEW_ALIGNMENT__) alignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
  const std::size_t extra = alignment + sizeof(void*);
  if (size > SIZE_MAX - extra) std::abort();
  void* raw = std::malloc(size + extra);
  if (raw == nullptr) std::abort();
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
  void** block = reinterpret_cast<void**>((start + alignment - 1) & ~(alignment - 1));
  block[-1] = raw;
  return block;
}

void release(void* block) {
  if (block != nullptr) std::free(static_cast<void**>(block)[-1]);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size, __STDCPP_DEFAULT_NEW_ALIGNMENT__); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete(void* block, std::align_val_t) noexcept { release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { release(block); }
