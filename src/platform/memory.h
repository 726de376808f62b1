#pragma once

// One 32-bit address space for the blocks the stood-in libraries read and write by address:
// the bytes of every blob and every global-memory block. Addresses and handles are positive
// and below 2^31, 0 is invalid; each kind has a range of its own and no value is ever handed
// out twice, so a stale address or handle stays invalid for ever. Every read and write
// through an address must lie wholly inside one live block; one that does not moves no byte.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/handles.h"

namespace platform {

// ---- The ranges, beyond the runtime's handle kinds and apart from one another.
constexpr long kGlobalMemoryFirst = 8 * rt::kHandleSpan;  // global-memory handles
constexpr long kPrinterFirst = 9 * rt::kHandleSpan;       // printer handles
constexpr long kPrinterDcFirst = 10 * rt::kHandleSpan;    // printer device contexts
constexpr long kBlockFirst = 16 * rt::kHandleSpan;        // addresses of memory blocks
constexpr long kBlockEnd = 0x7FFF0000L;                   // no block reaches this address

// A byte buffer that knows its length. Its bytes are a block of the address space that stays
// at one address for the blob's whole life: the spooler writes addresses into a caller's
// buffer that point back into the same buffer. A blob of 0 bytes is valid and has an address;
// the null blob (the default) has neither bytes nor address. A copy is a blob of its own at
// an address of its own; a moved-from blob is null.
class Blob {
 public:
  Blob() = default;
  explicit Blob(std::string_view bytes);
  // `length` bytes of `fill`; a negative length or one the address space cannot take is a
  // runtime error.
  Blob(long length, std::uint8_t fill);
  Blob(const Blob& other);
  Blob(Blob&& other) noexcept;
  Blob& operator=(const Blob& other);
  Blob& operator=(Blob&& other) noexcept;
  ~Blob();

  bool isNull() const { return address_ == 0; }
  long address() const { return address_; }  // 0 for the null blob
  long length() const;                       // 0 for the null blob
  std::span<std::uint8_t> bytes();
  std::span<const std::uint8_t> bytes() const;
  std::string str() const { return {bytes().begin(), bytes().end()}; }

  // Equal when both are null, or neither is and their bytes are the same.
  friend bool operator==(const Blob& a, const Blob& b);

 private:
  long address_ = 0;
};

// A buffer of `length` blanks (bytes 0x20).
Blob blanks(long length);

// ---- Blocks by address, for the stood-in libraries.
// A new block of `length` zero bytes; 0 when the length is negative or the space is spent.
long allocateBlock(long length);
// Frees a live block by its address; false for anything else (a freed block stays dead).
bool freeBlock(long address);
// The length of the live block starting at `address`; -1 for anything else.
long blockLength(long address);
// The bytes from `address` to the end of the live block that holds it (0 at its very end);
// -1 when no live block holds it. What an entry given only a pointer may touch.
long bytesFrom(long address);
// Whether the `length` bytes at `address` lie wholly inside one live block (a length of 0 fits
// at any point of a live block, its end included).
bool liesInOneBlock(long address, long length);

// Copies bytes between addresses, as memmove does when the two ranges overlap. Both ranges
// must each lie wholly inside one live block; otherwise nothing is moved and it is false.
bool moveBytes(long destination, long source, long length);
// Reads `out.size()` bytes at `address`, or writes `in`, all or nothing.
bool readBytes(long address, std::span<std::uint8_t> out);
bool writeBytes(long address, std::span<const std::uint8_t> in);

// A copy from an address into a record's bytes and back: `length` bytes, never more than the
// record holds. A length beyond the record, a negative one or a bad address moves nothing.
bool copyIntoRecord(std::span<std::uint8_t> record, long source, long length);
bool copyFromRecord(long destination, std::span<const std::uint8_t> record, long length);

}  // namespace platform
