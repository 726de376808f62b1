#pragma once

// What tests of the stood-in libraries look at, inject and clear between cases.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::testing {

// Live blocks of the address space: the blobs and the global-memory blocks.
int liveBlocks();
int liveGlobalMemoryHandles();
int livePrinterHandles();
int livePrinterDcs();

// One call of a stood-in entry: its name and its arguments by name, as text (numbers in
// decimal, names as UTF-8). Mode-9 calls of DocumentPropertiesA add "dmfields", the field
// bits of the device mode they received; DeviceCapabilitiesA adds "outputbytes", the bytes
// from its output address to the end of that block (0 for no output).
struct Call {
  std::string entry;
  std::vector<std::pair<std::string, std::string>> args;
  // The argument's text; empty when the call has no such argument.
  std::string arg(std::string_view name) const;
};
std::vector<Call> calls();
// The calls of one entry, in order.
std::vector<Call> calls(std::string_view entry);

// Failures a test injects; each holds until clear().
struct Faults {
  std::optional<std::int32_t> sizeQuery;             // DocumentPropertiesA mode 0 returns this
  bool failDevModeRead = false;                      // DocumentPropertiesA mode 2 returns -1
  std::optional<std::vector<std::uint16_t>> papers;  // DeviceCapabilitiesA lists these codes
  bool failPapers = false;                           // DeviceCapabilitiesA returns -1
  bool failGetPrinter = false;                       // GetPrinterA: false, needed 0
  bool getPrinterWantsMore = false;                  // GetPrinterA: needs more than given, always
  std::optional<std::uint32_t> getPrinterNeeds;      // GetPrinterA: needs this many bytes, given fewer
  std::optional<std::uint32_t> attributes;           // the attribute word of every printer record
};
Faults& faults();

// What a scripted dialog answers, in place of showing one. Unset choices keep what the
// dialog showed for the queue chosen.
struct DialogAnswer {
  bool ok = false;
  std::optional<std::string> queue;                   // unset: the queue it started on
  bool toFile = false;                                // the print dialog's file entry
  std::optional<int> paper, paperWidth, paperLength;  // a code; width and length in 1/10 mm
  std::optional<int> orientation, copies, collate, duplex;
  double margins[4] = {};  // millimetres: left, top, right, bottom (page set-up)
  // Blocks the test made itself, handed back in place of the dialog's own.
  std::optional<std::uint32_t> devModeBlock, devNamesBlock;
};
// The next dialog answers this; each scripted answer serves one dialog.
void scriptDialog(DialogAnswer answer);

// What a dialog was given and showed.
struct DialogShown {
  std::string kind;                  // "print" or "page setup"
  std::vector<std::uint8_t> record;  // the record's bytes as passed
  long owner = 0;                    // the owner's window handle, 0 for none
  std::string queue;                 // the queue it started on
  int paper = 0, paperWidth = 0, paperLength = 0, orientation = 0, copies = 0, collate = 0, duplex = 0;
};
std::vector<DialogShown> dialogsShown();

// Sets (a value) or removes (nullopt) win.ini's "device" key in place of the live one.
void setProfileDevice(std::optional<std::string> value);

// Frees what an earlier case left allocated: every global-memory handle and its block, every
// printer handle and device context. The handles and addresses stay spent. Empties the call
// log, the faults, the profile setting and the dialog scripts. Blobs belong to whoever holds them and stay.
void clear();

}  // namespace platform::testing
