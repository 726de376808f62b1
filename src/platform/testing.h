#pragma once

// What tests of the stood-in libraries look at, and what they clear between cases.

namespace platform::testing {

// Live blocks of the address space: the blobs and the global-memory blocks.
int liveBlocks();
int liveGlobalMemoryHandles();

// Frees what an earlier case left allocated: every global-memory handle and its block. The
// handles and addresses stay spent. Blobs belong to whoever holds them and stay.
void clear();

}  // namespace platform::testing
