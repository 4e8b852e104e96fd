// tovix.exe is built without exceptions. The few failures of the standard
// library it can meet (memory exhausted, a string or vector grown past its
// maximum, an empty std::function called) would throw into code that
// catches nothing, and so end the program through std::terminate. These end
// it at once instead, as the library does when it is built without
// exceptions itself, and keep the runtime's exception machinery, which the
// library's own versions would bring along, out of the executable.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  // Every allocation, even of nothing, must have an address of its own.
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  std::abort();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// The library's headers call these where they would throw.
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std
