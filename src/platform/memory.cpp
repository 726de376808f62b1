#include "platform/memory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform_p.h"
#include "runtime/object.h"

namespace platform {

namespace {

// No block is larger: a size read from a corrupt record must not take the machine's memory.
constexpr std::int64_t kLargestBlock = 1 << 28;
// Bytes left unused after every block (a block of 0 bytes still takes an address of its own),
// and block addresses are aligned as the platform's heap aligns them.
constexpr std::int64_t kGap = 16;

struct Space {
  std::map<long, std::vector<std::uint8_t>> blocks;
  long next = kBlockFirst;
};

// Never destroyed: a blob held by a static object may outlive every other static.
Space& space() {
  static Space* s = new Space;
  return *s;
}

// The `length` bytes at `address` inside the live block that holds them all; nullopt when no
// block does. (A block of 0 bytes may have no storage, so an empty span is still a found one.)
std::optional<std::span<std::uint8_t>> locate(long address, long length) {
  if (address <= 0 || length < 0) return std::nullopt;
  auto& blocks = space().blocks;
  auto it = blocks.upper_bound(address);
  if (it == blocks.begin()) return std::nullopt;
  --it;
  const std::int64_t offset = std::int64_t{address} - it->first;
  if (offset + length > static_cast<std::int64_t>(it->second.size())) return std::nullopt;
  return std::span(it->second).subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

long allocateOrThrow(long length) {
  const long address = allocateBlock(length);
  if (address == 0) throw rt::RuntimeError("A blob of " + std::to_string(length) + " bytes cannot be made");
  return address;
}

std::span<std::uint8_t> blockBytes(long address) {
  auto& blocks = space().blocks;
  auto it = blocks.find(address);
  if (it == blocks.end()) return {};
  return it->second;
}

}  // namespace

// ---- Blocks.

long allocateBlock(long length) {
  auto& s = space();
  const std::int64_t start = s.next;
  if (length < 0 || length > kLargestBlock || start + length > kBlockEnd) return 0;
  s.next = static_cast<long>((start + length + kGap) / kGap * kGap + kGap);
  s.blocks.emplace(static_cast<long>(start), std::vector<std::uint8_t>(static_cast<std::size_t>(length)));
  return static_cast<long>(start);
}

bool freeBlock(long address) { return address != 0 && space().blocks.erase(address) > 0; }

long blockLength(long address) {
  auto& blocks = space().blocks;
  auto it = blocks.find(address);
  return it == blocks.end() ? -1 : static_cast<long>(it->second.size());
}

long bytesFrom(long address) {
  if (address <= 0) return -1;
  auto& blocks = space().blocks;
  auto it = blocks.upper_bound(address);
  if (it == blocks.begin()) return -1;
  --it;
  const std::int64_t left = static_cast<std::int64_t>(it->second.size()) - (std::int64_t{address} - it->first);
  return left < 0 ? -1 : static_cast<long>(left);
}

bool liesInOneBlock(long address, long length) { return locate(address, length).has_value(); }

bool moveBytes(long destination, long source, long length) {
  const auto to = locate(destination, length), from = locate(source, length);
  if (!to || !from) return false;
  if (length > 0) std::memmove(to->data(), from->data(), static_cast<std::size_t>(length));
  return true;
}

bool readBytes(long address, std::span<std::uint8_t> out) {
  const auto from = locate(address, static_cast<long>(out.size()));
  if (!from) return false;
  std::ranges::copy(*from, out.begin());
  return true;
}

bool writeBytes(long address, std::span<const std::uint8_t> in) {
  const auto to = locate(address, static_cast<long>(in.size()));
  if (!to) return false;
  std::ranges::copy(in, to->begin());
  return true;
}

bool copyIntoRecord(std::span<std::uint8_t> record, long source, long length) {
  if (length < 0 || static_cast<std::size_t>(length) > record.size()) return false;
  return readBytes(source, record.first(static_cast<std::size_t>(length)));
}

bool copyFromRecord(long destination, std::span<const std::uint8_t> record, long length) {
  if (length < 0 || static_cast<std::size_t>(length) > record.size()) return false;
  return writeBytes(destination, record.first(static_cast<std::size_t>(length)));
}

// ---- Blobs.

Blob::Blob(std::string_view bytes) : address_(allocateOrThrow(static_cast<long>(bytes.size()))) {
  std::copy(bytes.begin(), bytes.end(), blockBytes(address_).begin());
}

Blob::Blob(long length, std::uint8_t fill) : address_(allocateOrThrow(length)) {
  std::ranges::fill(blockBytes(address_), fill);
}

Blob::Blob(const Blob& other) {
  if (other.isNull()) return;
  address_ = allocateOrThrow(other.length());
  std::ranges::copy(other.bytes(), blockBytes(address_).begin());
}

Blob::Blob(Blob&& other) noexcept : address_(other.address_) { other.address_ = 0; }

Blob& Blob::operator=(const Blob& other) {
  if (this != &other) *this = Blob(other);
  return *this;
}

Blob& Blob::operator=(Blob&& other) noexcept {
  if (this != &other) {
    freeBlock(address_);
    address_ = std::exchange(other.address_, 0);
  }
  return *this;
}

Blob::~Blob() { freeBlock(address_); }

long Blob::length() const { return static_cast<long>(blockBytes(address_).size()); }
std::span<std::uint8_t> Blob::bytes() { return blockBytes(address_); }
std::span<const std::uint8_t> Blob::bytes() const { return blockBytes(address_); }

bool operator==(const Blob& a, const Blob& b) {
  return a.isNull() == b.isNull() && std::ranges::equal(a.bytes(), b.bytes());
}

Blob blanks(long length) { return Blob(length, ' '); }

namespace detail {
int liveBlocks() { return static_cast<int>(space().blocks.size()); }
}  // namespace detail

}  // namespace platform
