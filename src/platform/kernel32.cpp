#include "platform/kernel32.h"

#include "platform/memory.h"
#include "platform/platform_p.h"
#include "runtime/handles.h"

namespace platform {

namespace {

struct GlobalBlock {
  long address = 0;
  int locks = 0;
};

rt::HandleRange<GlobalBlock>& globals() {
  static auto* range = new rt::HandleRange<GlobalBlock>(kGlobalMemoryFirst);
  return *range;
}

}  // namespace

std::uint32_t GlobalAlloc(std::uint32_t uflags, std::uint32_t dwbytes) {
  if ((uflags & GMEM_MOVEABLE) == 0 || (uflags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) != 0) return 0;
  const long address = allocateBlock(static_cast<long>(dwbytes));
  if (address == 0) return 0;
  const long handle = globals().add({address, 0});
  if (handle == 0) freeBlock(address);
  return static_cast<std::uint32_t>(handle);
}

std::uint32_t GlobalLock(std::uint32_t hmem) {
  GlobalBlock* block = globals().find(hmem);
  if (!block) return 0;
  ++block->locks;
  return static_cast<std::uint32_t>(block->address);
}

bool GlobalUnlock(std::uint32_t hmem) {
  GlobalBlock* block = globals().find(hmem);
  if (!block || block->locks == 0) return false;
  return --block->locks > 0;
}

std::uint32_t GlobalSize(std::uint32_t hmem) {
  const GlobalBlock* block = globals().find(hmem);
  return block ? static_cast<std::uint32_t>(blockLength(block->address)) : 0;
}

std::uint32_t GlobalFree(std::uint32_t hmem) {
  const GlobalBlock* block = globals().find(hmem);
  if (!block) return hmem;
  freeBlock(block->address);
  globals().erase(hmem);
  return 0;
}

void RtlMoveMemory(std::uint32_t destination, std::uint32_t source, std::uint32_t length) {
  moveBytes(static_cast<long>(destination), static_cast<long>(source), static_cast<long>(length));
}

namespace detail {

int liveGlobalMemoryHandles() { return globals().size(); }

void clearGlobalMemory() {
  for (auto it = globals().begin(); it != globals().end();) {
    freeBlock(it->second.address);
    it = globals().erase(it);
  }
}

}  // namespace detail

}  // namespace platform
