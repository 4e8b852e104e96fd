// Checks the operator new that tovix.exe links, built here alone: every
// block is aligned as the compiler takes it to be, over-aligned types get
// their own alignment, and each block can be written whole.
//
// allocator_check <screenshot folder>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

int misaligned = 0;

void use(void* block, std::size_t size, std::size_t alignment) {
  std::memset(block, 0xA5, size);
  misaligned += reinterpret_cast<std::uintptr_t>(block) % alignment != 0 ? 1 : 0;
}

template <std::size_t Alignment>
void overAligned() {
  struct alignas(Alignment) Block {
    unsigned char bytes[Alignment * 3];
  };
  std::vector<std::unique_ptr<Block>> blocks;
  for (int i = 0; i < 50; ++i) {
    blocks.push_back(std::make_unique<Block>());
    use(blocks.back().get(), sizeof(Block), Alignment);
  }
}

}  // namespace

int main() {
  std::vector<std::unique_ptr<char[]>> blocks;
  for (std::size_t size = 0; size < 300; ++size) {
    blocks.emplace_back(new char[size]);
    use(blocks.back().get(), size, __STDCPP_DEFAULT_NEW_ALIGNMENT__);
  }
  overAligned<32>();
  overAligned<4096>();
  std::printf("%s: blocks of 0 to 299 bytes and over-aligned objects, %d misaligned\n", misaligned == 0 ? "ok" : "FAIL",
              misaligned);
  return misaligned == 0 ? 0 : 1;
}
