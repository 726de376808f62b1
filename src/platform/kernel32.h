#pragma once

// The global-memory entries of the platform's kernel library and its memory copy, over
// the address space of platform/memory. Handles and addresses are 32-bit values as the
// declarations pass them; every entry is strict: 0, a stale handle or one of another kind
// gets the entry's failure value and changes nothing.

#include <cstdint>

namespace platform {

constexpr std::uint32_t GMEM_MOVEABLE = 0x2;
constexpr std::uint32_t GMEM_ZEROINIT = 0x40;

// A moveable block of `dwbytes` zero bytes and its handle; 0 for any flags but GMEM_MOVEABLE
// (with or without GMEM_ZEROINIT), or when the block cannot be made. A block of 0 bytes is a
// block with an address, as a blob of 0 bytes is.
std::uint32_t GlobalAlloc(std::uint32_t uflags, std::uint32_t dwbytes);
// The block's address, counting one more lock; 0 for a bad handle. The block never moves.
std::uint32_t GlobalLock(std::uint32_t hmem);
// Counts one lock less: true while the block stays locked, false when it is unlocked now or
// was not locked, or the handle is bad.
bool GlobalUnlock(std::uint32_t hmem);
// The block's size in bytes; 0 for a bad handle.
std::uint32_t GlobalSize(std::uint32_t hmem);
// Frees the block, locked or not: 0. A bad handle (a freed one too) frees nothing and comes back.
std::uint32_t GlobalFree(std::uint32_t hmem);

// Copies `length` bytes from the address `source` to the address `destination` (overlapping
// ranges as if through a buffer between). When either range does not lie wholly inside one
// live block, nothing is moved.
void RtlMoveMemory(std::uint32_t destination, std::uint32_t source, std::uint32_t length);

}  // namespace platform
