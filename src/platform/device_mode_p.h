#pragma once

// How a queue and the user's options become a device mode and back, for the spooler and the
// dialogs alike: paper codes, the settings a device mode carries, and the published offsets
// and bits of the records the entries read and write: the device mode, the level-2 printer
// record, the print and page set-up records and the device-names header.

#include <QPageSize>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/print_server_p.h"
#include "platform/winspool.h"

namespace platform::detail {

// Offsets and field bits of the published device mode.
namespace dm {
constexpr std::size_t kDeviceName = 0, kSpecVersion = 32, kSize = 36, kDriverExtra = 38, kFields = 40,
                      kOrientationAt = 44, kPaperSizeAt = 46, kPaperLengthAt = 48, kPaperWidthAt = 50, kCopiesAt = 54,
                      kDuplexAt = 62, kCollateAt = 68;
constexpr std::uint32_t kOrientation = 0x1, kPaperSize = 0x2, kPaperLength = 0x4, kPaperWidth = 0x8, kCopies = 0x100,
                        kDuplex = 0x1000, kCollate = 0x8000;
}  // namespace dm

// Field indexes (of 4 bytes each) of the level-2 printer record, and the bits of its
// attribute and status words.
namespace pi {
constexpr int kPrinterName = 1, kPortName = 3, kDriverName = 4, kComment = 5, kLocation = 6, kDevMode = 7,
              kAttributes = 13, kStatus = 18, kJobs = 19, kFieldCount = 21;
constexpr std::uint32_t kAttributeDefault = 0x4, kAttributeShared = 0x8, kAttributeLocal = 0x40;
constexpr std::uint32_t kStatusPaused = 0x1, kStatusPrinting = 0x400;
}  // namespace pi

// The four fields both published dialog records begin with: the record's size, the owner
// window and the two blocks a confirmed dialog hands back.
namespace dlg {
constexpr std::size_t kStructSize = 0, kOwner = 4, kDevMode = 8, kDevNames = 12;
}  // namespace dlg

// The rest of the published print-dialog record: its size, offsets and flags.
namespace pd {
constexpr std::uint32_t kSize = 66;
constexpr std::size_t kFlags = 20, kCopies = 32;
constexpr std::uint32_t kNoSelection = 0x4, kNoPageNums = 0x8, kPrintToFile = 0x20, kDisablePrintToFile = 0x80000,
                        kHidePrintToFile = 0x100000;
}  // namespace pd

// The rest of the published page set-up record.
namespace psd {
constexpr std::uint32_t kSize = 84;
// The paper's width and length, then the margins: left, top, right, bottom, 4 bytes each.
constexpr std::size_t kFlags = 16, kPaperWidth = 20, kPaperLength = 24, kMargins = 44;
constexpr std::uint32_t kInThousandthsOfInches = 0x4;
}  // namespace psd

// The published device-names header: the offsets of the driver, device and output names
// in the block, and whether it names the default printer.
namespace dn {
constexpr std::size_t kDriverOffset = 0, kDeviceOffset = 2, kOutputOffset = 4, kDefault = 6, kHeaderSize = 8;
}  // namespace dn

// Little-endian fields of a record's bytes.
inline void put16(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::span<std::uint8_t> out, std::size_t at, std::uint32_t v) {
  put16(out, at, v & 0xFFFF);
  put16(out, at + 2, v >> 16);
}
inline std::uint32_t get16(std::span<const std::uint8_t> in, std::size_t at) {
  return in[at] | static_cast<std::uint32_t>(in[at + 1]) << 8;
}
inline std::uint32_t get32(std::span<const std::uint8_t> in, std::size_t at) {
  return get16(in, at) | get16(in, at + 2) << 16;
}

constexpr int kCustomPaper = 256;

// A paper code with its width and length in tenths of a millimetre.
struct Paper {
  int code = 0;
  int width = 0;
  int length = 0;
};

// The sizes a queue takes beyond its list, in hundredths of a millimetre.
struct CustomRange {
  int minWidth, minLength, maxWidth, maxLength;
};

// What a device mode says of a queue for this user.
struct Settings {
  int orientation = 1;
  Paper paper;
  int copies = 1;
  int collate = 1;
  int duplex = 0;  // 0 where the queue prints one side only
};

// A page size as a paper: a standard size by its code with the standard's own size, any other
// as a custom paper of its size.
Paper paperOfPageSize(const QPageSize& size);
// And back: a custom paper by its size, a code as its standard size (A4 for a code without one).
QPageSize pageSizeOf(const Paper& paper);
// The paper of a media name (a server's, a description's or the user's); nullopt for one
// without a paper code.
std::optional<Paper> paperOfMedium(const std::string& name);
std::optional<CustomRange> customRange(const Queue& q);
// The queue's paper codes in its own order, each once, then 256 when it takes custom sizes.
std::vector<std::uint16_t> paperCodes(const Queue& q);
// The name the user's options store for a paper of this queue.
std::string mediumFor(const Queue& q, const Paper& paper);
bool offersTwoSided(const Queue& q);

Settings settingsOf(const Queue& q, const std::map<std::string, std::string>& options);
std::array<std::uint8_t, kDevModeSize> devModeOf(const Queue& q, const Settings& s);
// `current` with the marked fields of the device mode `dm` applied; nullopt when one of them
// holds a value the queue refuses.
std::optional<Settings> merged(const Queue& q, const Settings& current, std::span<const std::uint8_t> dm);
// The user's options that take `from` to `to`.
std::vector<std::pair<std::string, std::string>> changes(const Queue& q, const Settings& from, const Settings& to);

}  // namespace platform::detail
