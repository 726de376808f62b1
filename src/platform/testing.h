#pragma once

// What tests of the stood-in libraries look at, inject and clear between cases: a library
// of its own that the program never links. Linked into a test, it arms the libraries' seams
// before the test starts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform_p.h"

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
using Faults = detail::Faults;
Faults& faults();

using DialogAnswer = detail::DialogAnswer;
// The next dialog answers this; each scripted answer serves one dialog.
void scriptDialog(DialogAnswer answer);

// What a dialog was given and showed.
using DialogShown = detail::DialogShown;
std::vector<DialogShown> dialogsShown();

// Sets (a value) or removes (nullopt) win.ini's "device" key in place of the live one.
void setProfileDevice(std::optional<std::string> value);

// Frees what an earlier case left allocated: every global-memory handle and its block, every
// printer handle and device context. The handles and addresses stay spent. Empties the call
// log, the faults, the profile setting and the dialog scripts. Blobs belong to whoever holds them and stay.
void clear();

}  // namespace platform::testing
