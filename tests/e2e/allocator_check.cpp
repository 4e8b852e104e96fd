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

// Writes a block whole and counts it if it is not aligned as asked.
void use(void* block, std::size_t size, std::size_t alignment) {
  std::memset(block, 0xA5, size);
  misaligned += reinterpret_cast<std::uintptr_t>(block) % alignment != 0 ? 1 : 0;
}

// Fifty objects of a type aligned to this many bytes, three times that size.
template <std::size_t Alignment>
void overAligned() {
  struct alignas(Alignment) Block {
    unsigned char bytes[Alignment * 3];
  };
  std::vector<std::unique_ptr<Block>> blocks(50);
  for (auto& block : blocks) use((block = std::make_unique<Block>()).get(), sizeof(Block), Alignment);
}

}  // namespace

int main() {
  std::vector<std::unique_ptr<char[]>> blocks(300);
  for (std::size_t size = 0; size < blocks.size(); ++size) {
    use((blocks[size] = std::unique_ptr<char[]>(new char[size])).get(), size, __STDCPP_DEFAULT_NEW_ALIGNMENT__);
  }
  overAligned<32>();
  overAligned<4096>();
  std::printf("%s: blocks of 0 to 299 bytes and over-aligned objects, %d misaligned\n", misaligned == 0 ? "ok" : "FAIL",
              misaligned);
  return misaligned == 0 ? 0 : 1;
}
