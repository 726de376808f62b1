// The 32-bit address space under the stood-in libraries and the kernel library's global memory:
// blobs keep their address for life, every access through an address lies wholly inside one
// live block or moves nothing, and no address or handle ever comes back.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel32.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "runtime/object.h"

using platform::Blob;
namespace t = platform::testing;

namespace {

std::uint32_t u32(long address) { return static_cast<std::uint32_t>(address); }

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override { t::clear(); }
  void TearDown() override { t::clear(); }
};

TEST_F(MemoryTest, BlobsOfEachKindHaveTheirLengthAndAnAddressUnlessNull) {
  struct Case {
    const char* name;
    Blob blob;
    bool null;
    std::string bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"null", Blob(), true, ""});
  cases.push_back({"empty", Blob(std::string_view()), false, ""});
  cases.push_back({"no blanks", platform::blanks(0), false, ""});
  cases.push_back({"blanks", platform::blanks(5), false, "     "});
  cases.push_back({"text", Blob("abc"), false, "abc"});
  cases.push_back({"bytes with a zero", Blob(std::string_view("ab\0c", 4)), false, std::string("ab\0c", 4)});
  cases.push_back({"filled", Blob(3, 0xFF), false, "\xFF\xFF\xFF"});
  std::set<long> addresses;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.blob.isNull(), c.null);
    EXPECT_EQ(c.blob.length(), static_cast<long>(c.bytes.size()));
    EXPECT_EQ(c.blob.str(), c.bytes);
    if (c.null) {
      EXPECT_EQ(c.blob.address(), 0);
      continue;
    }
    EXPECT_GE(c.blob.address(), platform::kBlockFirst);
    EXPECT_LT(c.blob.address() + c.blob.length(), platform::kBlockEnd);
    EXPECT_TRUE(addresses.insert(c.blob.address()).second) << "every blob, empty ones too, has an address of its own";
    EXPECT_TRUE(platform::liesInOneBlock(c.blob.address(), c.blob.length()));
    EXPECT_FALSE(platform::liesInOneBlock(c.blob.address(), c.blob.length() + 1));
  }
  EXPECT_EQ(t::liveBlocks(), static_cast<int>(cases.size()) - 1);
  EXPECT_NE(Blob(), Blob(std::string_view())) << "the null blob is not the empty one";
  EXPECT_EQ(Blob(), Blob());
  EXPECT_EQ(platform::blanks(2), Blob("  "));
}

TEST_F(MemoryTest, ABlobKeepsItsAddressForItsWholeLife) {
  Blob buffer = platform::blanks(32);
  const long address = buffer.address();
  std::vector<Blob> others;
  for (int i = 0; i < 100; ++i) {
    others.emplace_back(i * 7, 0);
    if (i % 3 == 0) others.erase(others.begin());
    platform::GlobalFree(platform::GlobalAlloc(platform::GMEM_MOVEABLE, 64));
  }
  EXPECT_EQ(buffer.address(), address);
  // What is written at its address is what the blob holds: the spooler writes addresses into a
  // buffer that point back into it.
  ASSERT_TRUE(platform::writeBytes(address + 4, bytesOf("name")));
  EXPECT_EQ(buffer.str().substr(0, 10), "    name  ");
  buffer.bytes()[0] = 'x';
  std::vector<std::uint8_t> first(1);
  ASSERT_TRUE(platform::readBytes(address, first));
  EXPECT_EQ(first[0], 'x');

  Blob moved = std::move(buffer);
  EXPECT_EQ(moved.address(), address) << "a move keeps the block";
  EXPECT_TRUE(buffer.isNull());  // NOLINT(bugprone-use-after-move): a moved-from blob is null
  Blob copy = moved;
  EXPECT_NE(copy.address(), address) << "a copy is a blob of its own";
  EXPECT_EQ(copy, moved);
  copy.bytes()[1] = 'y';
  EXPECT_EQ(moved.str().substr(0, 2), "x ");
}

TEST_F(MemoryTest, AssigningABlobFreesTheBlockItHeld) {
  Blob blob("abc");
  const long address = blob.address();
  const int live = t::liveBlocks();
  blob = Blob("longer text");
  EXPECT_EQ(t::liveBlocks(), live);
  EXPECT_FALSE(platform::liesInOneBlock(address, 0)) << "the old block is dead";
  blob = Blob();
  EXPECT_EQ(t::liveBlocks(), live - 1);
  EXPECT_TRUE(blob.isNull());
  Blob other("x");
  blob = other;
  EXPECT_EQ(blob, other);
  blob = blob;  // NOLINT(misc-redundant-expression): a blob assigned to itself keeps its bytes
  EXPECT_EQ(blob.str(), "x");
}

TEST_F(MemoryTest, BlobsTheAddressSpaceCannotTakeAreRuntimeErrors) {
  EXPECT_THROW(Blob(-1, 0), rt::RuntimeError);
  EXPECT_THROW(platform::blanks(0x7FFFFFFFL), rt::RuntimeError);
  EXPECT_EQ(t::liveBlocks(), 0);
}

// Two live blocks of 16 bytes and the address of a freed one, with their bytes put back.
class MoveTest : public MemoryTest {
 protected:
  static constexpr const char* kA = "0123456789abcdef";
  static constexpr const char* kB = "ghijklmnopqrstuv";
  Blob a{kA};
  Blob b{kB};
  long freed = Blob("wxyz").address();
  void restore() {
    std::ranges::copy(std::string_view(kA), a.bytes().begin());
    std::ranges::copy(std::string_view(kB), b.bytes().begin());
  }
};

TEST_F(MoveTest, AMoveLiesWhollyInsideOneLiveBlockOnEachSideOrMovesNothing) {
  const long A = a.address(), B = b.address(), end = A + 16;
  ASSERT_LT(A, B);
  ASSERT_FALSE(platform::liesInOneBlock(freed, 0));
  const struct {
    const char* name;
    long destination, source, length;
    std::string a, b;  // afterwards
  } cases[] = {
      {"inside one block, overlapping", A + 2, A, 8, "0101234567abcdef", kB},
      {"from one block to another", B, A + 12, 4, kA, "cdefklmnopqrstuv"},
      {"up to a block's end", A, B + 12, 4, "stuv456789abcdef", kB},
      {"no bytes at a block's end", end, B, 0, kA, kB},
      {"source crosses a block's end", B, A + 10, 8, kA, kB},
      {"destination crosses a block's end", A + 10, B, 8, kA, kB},
      {"source in a freed block", A, freed, 4, kA, kB},
      {"destination in a freed block", freed, A, 4, kA, kB},
      {"source spans two blocks", B, A, B - A + 4, kA, kB},
      {"destination spans two blocks", A + 8, B, B - A, kA, kB},
      {"source at 0", A, 0, 4, kA, kB},
      {"destination at 0", 0, A, 4, kA, kB},
      {"source before every block", A, platform::kBlockFirst - 4, 4, kA, kB},
      {"source in the gap after a block", B, end + 1, 1, kA, kB},
      {"a length beyond any block", A, B, 0xFFFFFFFFL, kA, kB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool moves = c.a != kA || c.b != kB || c.length == 0;
    restore();
    EXPECT_EQ(platform::moveBytes(c.destination, c.source, c.length), moves);
    EXPECT_EQ(a.str(), c.a);
    EXPECT_EQ(b.str(), c.b);
    restore();
    platform::RtlMoveMemory(u32(c.destination), u32(c.source), u32(c.length));
    EXPECT_EQ(a.str(), c.a) << "through the kernel library's entry";
    EXPECT_EQ(b.str(), c.b);
  }
}

TEST_F(MoveTest, AReadOrWriteAcrossABlocksEndTouchesNoByte) {
  std::vector<std::uint8_t> out(8, '.');
  EXPECT_FALSE(platform::readBytes(a.address() + 12, out));
  EXPECT_EQ(out, bytesOf("........"));
  EXPECT_FALSE(platform::writeBytes(a.address() + 12, bytesOf("XXXXXXXX")));
  EXPECT_EQ(a.str(), kA);
  EXPECT_FALSE(platform::writeBytes(freed, bytesOf("X")));
  EXPECT_TRUE(platform::readBytes(a.address() + 8, out));
  EXPECT_EQ(out, bytesOf("89abcdef"));
  EXPECT_TRUE(platform::writeBytes(a.address() + 8, bytesOf("XXXXXXXX")));
  EXPECT_EQ(a.str(), "01234567XXXXXXXX");
}

TEST_F(MoveTest, ACopyIntoARecordNeverWritesPastItsSize) {
  // The record is the first 8 bytes of a larger frame; the rest of the frame must stay as it is.
  const struct {
    const char* name;
    long source, length;
    std::string frame;  // afterwards
  } cases[] = {
      {"the whole record", a.address(), 8, "01234567----"},
      {"part of the record", a.address() + 4, 2, "45~~~~~~----"},
      {"more than the record holds", a.address(), 9, "~~~~~~~~----"},
      {"a negative length", a.address(), -1, "~~~~~~~~----"},
      {"a source that crosses a block's end", a.address() + 12, 8, "~~~~~~~~----"},
      {"a freed source", freed, 4, "~~~~~~~~----"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> frame = bytesOf("~~~~~~~~----");
    const std::span<std::uint8_t> record(frame.data(), 8);
    EXPECT_EQ(platform::copyIntoRecord(record, c.source, c.length), c.frame != "~~~~~~~~----");
    EXPECT_EQ(std::string(frame.begin(), frame.end()), c.frame);
  }
}

TEST_F(MoveTest, ACopyFromARecordNeverReadsPastItsSize) {
  const std::vector<std::uint8_t> frame = bytesOf("RECORD##");
  const std::span<const std::uint8_t> record(frame.data(), 6);
  const struct {
    const char* name;
    long destination, length;
    std::string a;  // afterwards
  } cases[] = {
      {"the whole record", a.address(), 6, "RECORD6789abcdef"},
      {"part of it", a.address() + 14, 2, "0123456789abcdRE"},
      {"more than the record holds", a.address(), 8, kA},
      {"a destination that crosses a block's end", a.address() + 12, 6, kA},
      {"a freed destination", freed, 6, kA},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restore();
    EXPECT_EQ(platform::copyFromRecord(c.destination, record, c.length), c.a != kA);
    EXPECT_EQ(a.str(), c.a);
  }
}

TEST_F(MemoryTest, ABlobOfNoBytesHasAnAddressButNoRoom) {
  Blob empty(std::string_view{});
  Blob next("n");
  EXPECT_NE(empty.address(), 0);
  EXPECT_NE(empty.address(), next.address());
  EXPECT_TRUE(platform::liesInOneBlock(empty.address(), 0));
  EXPECT_FALSE(platform::liesInOneBlock(empty.address(), 1));
  EXPECT_TRUE(platform::moveBytes(empty.address(), next.address(), 0));
  EXPECT_FALSE(platform::moveBytes(empty.address(), next.address(), 1));
  EXPECT_EQ(next.str(), "n");
  EXPECT_TRUE(platform::copyIntoRecord({}, empty.address(), 0));
}

TEST_F(MemoryTest, FreedAddressesAndHandlesNeverComeBack) {
  std::set<long> addresses;
  std::set<std::uint32_t> handles;
  for (int i = 0; i < 200; ++i) {
    const long address = Blob(i % 5, 0).address();
    EXPECT_TRUE(addresses.insert(address).second) << "address " << address << " came back";
    EXPECT_FALSE(platform::liesInOneBlock(address, 0));
    const std::uint32_t handle = platform::GlobalAlloc(platform::GMEM_MOVEABLE, i % 5);
    EXPECT_TRUE(handles.insert(handle).second) << "handle " << handle << " came back";
    const std::uint32_t locked = platform::GlobalLock(handle);
    EXPECT_TRUE(addresses.insert(locked).second) << "a global block's address " << locked << " came back";
    EXPECT_EQ(platform::GlobalFree(handle), 0u);
    EXPECT_FALSE(platform::liesInOneBlock(locked, 0)) << "the block went with its handle";
    EXPECT_EQ(platform::GlobalLock(handle), 0u);
  }
  EXPECT_GE(*addresses.begin(), platform::kBlockFirst);
  EXPECT_LT(*addresses.rbegin(), platform::kBlockEnd);
  EXPECT_GE(*handles.begin(), u32(platform::kGlobalMemoryFirst));
  EXPECT_LT(*handles.rbegin(), u32(platform::kPrinterFirst));
  EXPECT_EQ(t::liveBlocks(), 0);
  EXPECT_EQ(t::liveGlobalMemoryHandles(), 0);
}

// ---- Global memory.

TEST_F(MemoryTest, GlobalAllocServesMoveableBlocksOnly) {
  const struct {
    const char* name;
    std::uint32_t flags, bytes;
    bool made;
  } cases[] = {
      {"moveable", platform::GMEM_MOVEABLE, 66, true},
      {"moveable, zeroed", platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT, 104, true},
      {"moveable, no bytes", platform::GMEM_MOVEABLE, 0, true},
      {"fixed", 0, 66, false},
      {"zeroed, fixed", platform::GMEM_ZEROINIT, 66, false},
      {"moveable, another flag", platform::GMEM_MOVEABLE | 0x100, 66, false},
      {"more than the address space holds", platform::GMEM_MOVEABLE, 0x7FFFFFFF, false},
      {"a negative size", platform::GMEM_MOVEABLE, 0xFFFFFFFF, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int blocks = t::liveBlocks(), handles = t::liveGlobalMemoryHandles();
    const std::uint32_t handle = platform::GlobalAlloc(c.flags, c.bytes);
    EXPECT_EQ(handle != 0, c.made);
    EXPECT_EQ(t::liveBlocks(), blocks + (c.made ? 1 : 0));
    EXPECT_EQ(t::liveGlobalMemoryHandles(), handles + (c.made ? 1 : 0));
    if (!c.made) continue;
    EXPECT_EQ(platform::GlobalSize(handle), c.bytes);
    const std::uint32_t address = platform::GlobalLock(handle);
    EXPECT_NE(address, 0u);
    EXPECT_NE(address, handle) << "a handle is not its block's address";
    std::vector<std::uint8_t> bytes(c.bytes, 0xEE);
    EXPECT_TRUE(platform::readBytes(address, bytes));
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(c.bytes, 0)) << "a new block holds zero bytes";
  }
}

TEST_F(MemoryTest, ALockedBlockStaysWhereItIsAndCountsItsLocks) {
  const std::uint32_t handle = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 8);
  EXPECT_FALSE(platform::GlobalUnlock(handle)) << "not locked yet";
  const std::uint32_t address = platform::GlobalLock(handle);
  EXPECT_EQ(platform::GlobalLock(handle), address);
  Blob source("devnames");
  platform::RtlMoveMemory(address, u32(source.address()), 8);
  EXPECT_TRUE(platform::GlobalUnlock(handle)) << "one lock is left";
  EXPECT_FALSE(platform::GlobalUnlock(handle)) << "unlocked now";
  EXPECT_FALSE(platform::GlobalUnlock(handle)) << "no lock is left to undo";
  Blob copy(8, 0);
  platform::RtlMoveMemory(u32(copy.address()), platform::GlobalLock(handle), 8);
  EXPECT_EQ(copy.str(), "devnames") << "the block kept its bytes and its address";
  EXPECT_EQ(platform::GlobalFree(handle), 0u) << "a locked block is freed too";
  EXPECT_EQ(t::liveGlobalMemoryHandles(), 0);
}

TEST_F(MemoryTest, ASecondGlobalFreeReturnsTheHandleAndFreesNothing) {
  const std::uint32_t kept = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4);
  const std::uint32_t handle = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4);
  const std::uint32_t address = platform::GlobalLock(handle);
  EXPECT_EQ(platform::GlobalFree(handle), 0u);
  EXPECT_FALSE(platform::liesInOneBlock(address, 4));
  EXPECT_EQ(platform::GlobalFree(handle), handle);
  EXPECT_EQ(t::liveGlobalMemoryHandles(), 1);
  EXPECT_EQ(t::liveBlocks(), 1);
  EXPECT_EQ(platform::GlobalSize(kept), 4u);
}

TEST_F(MemoryTest, GlobalMemoryEntriesTurnAwayBadHandles) {
  const std::uint32_t live = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4);
  const std::uint32_t stale = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4);
  platform::GlobalFree(stale);
  Blob blob("blob");
  const struct {
    const char* name;
    std::uint32_t handle;
  } cases[] = {
      {"0", 0},
      {"negative", 0xFFFFFFFF},
      {"freed", stale},
      {"never handed out", stale + 1},
      {"a block's address", u32(blob.address())},
      {"a live block's address", platform::GlobalLock(live)},
      {"a printer's range", u32(platform::kPrinterFirst)},
      {"a window handle's range", u32(rt::firstHandle(rt::HandleKind::Window))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(platform::GlobalLock(c.handle), 0u);
    EXPECT_FALSE(platform::GlobalUnlock(c.handle));
    EXPECT_EQ(platform::GlobalSize(c.handle), 0u);
    EXPECT_EQ(platform::GlobalFree(c.handle), c.handle);
    EXPECT_EQ(t::liveGlobalMemoryHandles(), 1);
    EXPECT_EQ(t::liveBlocks(), 2);
  }
  EXPECT_EQ(blob.str(), "blob");
  EXPECT_EQ(platform::GlobalSize(live), 4u);
}

TEST_F(MemoryTest, ClearingFreesGlobalMemoryAndLeavesBlobs) {
  Blob blob("kept");
  const std::uint32_t handle = platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4);
  const std::uint32_t address = platform::GlobalLock(handle);
  t::clear();
  EXPECT_EQ(t::liveGlobalMemoryHandles(), 0);
  EXPECT_EQ(t::liveBlocks(), 1);
  EXPECT_FALSE(platform::liesInOneBlock(address, 0));
  EXPECT_EQ(platform::GlobalSize(handle), 0u) << "a cleared handle stays spent";
  EXPECT_NE(platform::GlobalAlloc(platform::GMEM_MOVEABLE, 4), handle);
  EXPECT_EQ(blob.str(), "kept");
}

}  // namespace
