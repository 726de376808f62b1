#pragma once

// What the stood-in libraries share behind their entries: the seams a test library arms (the
// call log, the injected faults, the scripted dialogs, the profile's value) and the clearing
// of what a case left open. The program arms none of them: each entry then costs one test of
// an empty hook, and nothing is formatted or kept.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ansi.h"

namespace platform::detail {

using Args = std::vector<std::pair<std::string, std::string>>;

// Failures a test injects.
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

// What a dialog was given and showed.
struct DialogShown {
  std::string kind;                  // "print" or "page setup"
  std::vector<std::uint8_t> record;  // the record's bytes as passed
  long owner = 0;                    // the owner's window handle, 0 for none
  std::string queue;                 // the queue it started on
  int paper = 0, paperWidth = 0, paperLength = 0, orientation = 0, copies = 0, collate = 0, duplex = 0;
};

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

// Seams the test library fills in.
struct Hooks {
  // One call of an entry: its name and its arguments by name, as text.
  std::function<void(std::string_view entry, Args args)> call;
  // The failures to inject; nullptr for none.
  const Faults* faults = nullptr;
  // A dialog about to be shown: an answer in its place, or nullopt to show it.
  std::function<std::optional<DialogAnswer>(DialogShown shown)> dialog;
  // win.ini's "device" in place of the live one (nullopt inside: no value); nullptr for the
  // live one.
  const std::optional<std::string>* profileDevice = nullptr;
};

inline Hooks& hooks() {
  static Hooks h;
  return h;
}

// Notes one call of an entry; its arguments are made only when a test listens.
template <class MakeArgs>
void logCall(std::string_view entry, MakeArgs&& args) {
  if (const auto& log = hooks().call) log(entry, std::forward<MakeArgs>(args)());
}

inline const Faults& faults() {
  static const Faults none;
  return hooks().faults ? *hooks().faults : none;
}

// A name argument as the log shows it: UTF-8, or "(null)".
inline std::string logName(const char* ansi) { return ansi ? fromAnsi(ansi) : "(null)"; }

// What the entries hold open, for the tests to count and clear between cases.
int liveBlocks();
int liveGlobalMemoryHandles();
int livePrinterHandles();
int livePrinterDcs();
void clearGlobalMemory();
void clearPrinterHandles();
void clearPrinterDcs();

}  // namespace platform::detail
