// Checks tovix.exe's operator new as the program links it: every block is
// aligned as the compiler takes it to be, over-aligned types get their own
// alignment, and a block can be written whole and given back.
//
// allocator_check <screenshot folder>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

int failures = 0;

template <std::size_t Alignment>
struct alignas(Alignment) Aligned {
  unsigned char bytes[Alignment * 3];
};

void expectAligned(const void* block, std::size_t alignment, const char* what) {
  if (reinterpret_cast<std::uintptr_t>(block) % alignment == 0) return;
  std::printf("FAIL: %s at %p is not %u-byte aligned\n", what, block, static_cast<unsigned>(alignment));
  ++failures;
}

template <std::size_t Alignment>
void overAligned() {
  std::vector<std::unique_ptr<Aligned<Alignment>>> blocks;
  for (int i = 0; i < 50; ++i) {
    blocks.push_back(std::make_unique<Aligned<Alignment>>());
    std::memset(blocks.back()->bytes, 0xA5, sizeof blocks.back()->bytes);
    expectAligned(blocks.back().get(), Alignment, "an over-aligned object");
  }
  std::vector<Aligned<Alignment>> array(7);
  expectAligned(array.data(), Alignment, "an array of over-aligned objects");
}

}  // namespace

int main() {
  std::vector<std::unique_ptr<char[]>> blocks;
  for (std::size_t size = 0; size < 300; ++size) {
    blocks.emplace_back(new char[size]);
    std::memset(blocks.back().get(), 0x5A, size);
    expectAligned(blocks.back().get(), __STDCPP_DEFAULT_NEW_ALIGNMENT__, "a block from new");
  }
  overAligned<32>();
  overAligned<64>();
  overAligned<4096>();
  std::printf("%s: %d blocks of every size and over-aligned objects\n", failures == 0 ? "ok" : "FAIL", 300);
  return failures == 0 ? 0 : 1;
}
