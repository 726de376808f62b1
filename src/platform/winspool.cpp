#include "platform/winspool.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/device_mode_p.h"
#include "platform/memory.h"
#include "platform/platform_p.h"
#include "platform/print_server_p.h"
#include "runtime/handles.h"

namespace platform {

// ---- Printer handles.

namespace {

using detail::Queue;
namespace pi = detail::pi;

rt::HandleRange<std::string>& printers() {
  static auto* range = new rt::HandleRange<std::string>(kPrinterFirst);
  return *range;
}

std::string number(long long v) { return std::to_string(v); }

std::uint32_t printerStatus(const Queue& q) {
  if (q.state == 5) return pi::kStatusPaused;
  if (q.state == 4) return pi::kStatusPrinting;
  return 0;
}

std::uint32_t printerAttributes(const Queue& q, bool isDefault) {
  if (detail::faults().attributes) return *detail::faults().attributes;
  return pi::kAttributeLocal | (isDefault ? pi::kAttributeDefault : 0) | (q.shared ? pi::kAttributeShared : 0);
}

// The level-2 records of `queues` as they lie in a buffer at `base`: the records one after
// another, then each queue's texts and device mode.
std::vector<std::uint8_t> printerInfo(const std::vector<Queue>& queues, long base, const std::string& userDefault,
                                      const detail::UserOptions& options) {
  std::vector<std::uint8_t> out(queues.size() * kPrinterInfo2Size);
  auto text = [&](const std::string& utf8) {
    const std::string ansi = toAnsi(utf8);
    const auto at = static_cast<std::uint32_t>(base + static_cast<long>(out.size()));
    out.insert(out.end(), ansi.begin(), ansi.end());
    out.push_back(0);
    return at;
  };
  for (std::size_t i = 0; i < queues.size(); ++i) {
    const Queue& q = queues[i];
    std::uint32_t fields[pi::kFieldCount] = {};
    fields[pi::kPrinterName] = text(q.name);
    fields[pi::kPortName] = text(q.deviceUri);
    fields[pi::kDriverName] = text(q.makeAndModel);
    fields[pi::kComment] = text(q.info);
    fields[pi::kLocation] = text(q.location);
    while (out.size() % 4) out.push_back(0);
    fields[pi::kDevMode] = static_cast<std::uint32_t>(base + static_cast<long>(out.size()));
    const auto dm = detail::devModeOf(q, detail::settingsOf(q, options.options(q.name)));
    out.insert(out.end(), dm.begin(), dm.end());
    fields[pi::kAttributes] = printerAttributes(q, q.name == userDefault);
    fields[pi::kStatus] = printerStatus(q);
    fields[pi::kJobs] = static_cast<std::uint32_t>(q.jobs);
    for (int f = 0; f < pi::kFieldCount; ++f) detail::put32(out, i * kPrinterInfo2Size + f * 4, fields[f]);
  }
  return out;
}

// Writes the laid-out bytes into the caller's buffer when it is large enough and really
// holds `cbBuf` bytes; otherwise false with nothing written.
bool deliver(const std::vector<std::uint8_t>& bytes, std::uint32_t buffer, std::uint32_t cbBuf, std::uint32_t& needed) {
  needed = static_cast<std::uint32_t>(bytes.size());
  if (cbBuf < bytes.size()) return false;
  if (!liesInOneBlock(buffer, cbBuf)) {
    needed = 0;
    return false;
  }
  return writeBytes(buffer, bytes);
}

}  // namespace

bool EnumPrintersA(std::uint32_t flags, const char* name, std::uint32_t level, std::uint32_t pPrinterEnum,
                   std::uint32_t cbBuf, std::uint32_t& pcbNeeded, std::uint32_t& pcReturned) {
  detail::logCall("EnumPrintersA", [&] {
    return detail::Args{
        {"flags", number(flags)}, {"name", detail::logName(name)}, {"level", number(level)}, {"cbbuf", number(cbBuf)}};
  });
  pcbNeeded = 0;
  pcReturned = 0;
  if (flags != PRINTER_ENUM_LOCAL || name != nullptr || level != 2) return false;
  const auto queues = detail::listQueues();
  if (!queues) return false;
  if (queues->empty()) return true;
  const auto options = detail::UserOptions::load();
  const auto bytes = printerInfo(*queues, pPrinterEnum, detail::userDefault(*queues, options), options);
  if (!deliver(bytes, pPrinterEnum, cbBuf, pcbNeeded)) return false;
  pcReturned = static_cast<std::uint32_t>(queues->size());
  return true;
}

bool OpenPrinterA(const char* pPrinterName, std::uint32_t& phPrinter, std::uint32_t pDefault) {
  detail::logCall("OpenPrinterA", [&] {
    return detail::Args{{"name", detail::logName(pPrinterName)}, {"defaults", number(pDefault)}};
  });
  phPrinter = 0;
  if (!pPrinterName || (pDefault != 0 && !liesInOneBlock(pDefault, 12))) return false;
  const std::string name = fromAnsi(pPrinterName);
  if (!detail::findQueue(name)) return false;
  phPrinter = static_cast<std::uint32_t>(printers().add(name));
  return phPrinter != 0;
}

bool ClosePrinter(std::uint32_t hPrinter) {
  detail::logCall("ClosePrinter", [&] { return detail::Args{{"hprinter", number(hPrinter)}}; });
  return printers().erase(hPrinter);
}

bool GetPrinterA(std::uint32_t hPrinter, std::uint32_t Level, std::uint32_t pPrinter, std::uint32_t cbBuf,
                 std::uint32_t& pcbNeeded) {
  detail::logCall("GetPrinterA", [&] {
    return detail::Args{{"hprinter", number(hPrinter)}, {"level", number(Level)}, {"cbbuf", number(cbBuf)}};
  });
  pcbNeeded = 0;
  const std::string* name = printers().find(hPrinter);
  if (!name || Level != 2 || detail::faults().failGetPrinter) return false;
  const auto queues = detail::listQueues();
  if (!queues) return false;
  const Queue* q = detail::queueNamed(*queues, *name);
  if (!q) return false;
  const auto options = detail::UserOptions::load();
  const auto bytes = printerInfo({*q}, pPrinter, detail::userDefault(*queues, options), options);
  if (const auto needs = detail::faults().getPrinterNeeds; needs && cbBuf < *needs) {
    pcbNeeded = *needs;
    return false;
  }
  if (detail::faults().getPrinterWantsMore) {
    pcbNeeded = std::max<std::uint32_t>(cbBuf, static_cast<std::uint32_t>(bytes.size())) + 64;
    return false;
  }
  return deliver(bytes, pPrinter, cbBuf, pcbNeeded);
}

bool SetPrinterA(std::uint32_t hPrinter, std::uint32_t Level, std::uint32_t pPrinter, std::uint32_t Command) {
  detail::logCall("SetPrinterA", [&] {
    return detail::Args{{"hprinter", number(hPrinter)}, {"level", number(Level)}, {"command", number(Command)}};
  });
  const std::string* name = printers().find(hPrinter);
  std::array<std::uint8_t, kPrinterInfo2Size> record{};
  if (!name || Level != 2 || Command != 0 || !readBytes(pPrinter, record)) return false;
  const std::uint32_t attributes = detail::get32(record, pi::kAttributes * 4);
  const auto queues = detail::listQueues();
  if (!queues || !detail::queueNamed(*queues, *name)) return false;
  if ((attributes & pi::kAttributeDefault) == 0) return true;
  auto options = detail::UserOptions::load();
  if (detail::userDefault(*queues, options) == *name && options.defaultQueue() == *name) return true;
  options.setDefault(*name);
  return options.store();
}

std::int32_t DocumentPropertiesA(std::uint32_t hWnd, std::uint32_t hPrinter, const char* pDeviceName,
                                 std::uint32_t pDevModeOutput, std::uint32_t pDevModeInput, std::uint32_t fMode) {
  std::array<std::uint8_t, kDevModeSize> input{};
  const bool merging = fMode == (DM_IN_BUFFER | DM_OUT_DEFAULT);
  const bool inputRead = merging && readBytes(pDevModeInput, input);
  detail::logCall("DocumentPropertiesA", [&] {
    detail::Args args{{"hwnd", number(hWnd)},
                      {"hprinter", number(hPrinter)},
                      {"devicename", detail::logName(pDeviceName)},
                      {"mode", number(fMode)}};
    if (inputRead) args.emplace_back("dmfields", number(detail::get32(input, detail::dm::kFields)));
    return args;
  });

  const std::string* name = printers().find(hPrinter);
  if (!name) return -1;
  if (fMode == 0) return detail::faults().sizeQuery.value_or(kDevModeSize);
  if (fMode != DM_OUT_BUFFER && !merging) return -1;
  if (fMode == DM_OUT_BUFFER && (detail::faults().failDevModeRead || !liesInOneBlock(pDevModeOutput, kDevModeSize)))
    return -1;
  if (merging) {
    // Nothing is read beyond what was passed: the record's own size must lie inside it.
    const long passed = bytesFrom(pDevModeInput);
    if (!inputRead ||
        detail::get16(input, detail::dm::kSize) + detail::get16(input, detail::dm::kDriverExtra) > passed ||
        detail::get16(input, detail::dm::kSize) < kDevModeSize)
      return -1;
  }
  const auto found = detail::findQueue(*name);
  if (!found) return -1;
  const Queue& q = *found;
  auto options = detail::UserOptions::load();
  const detail::Settings current = detail::settingsOf(q, options.options(q.name));
  if (fMode == DM_OUT_BUFFER) {
    const auto dm = detail::devModeOf(q, current);
    return writeBytes(pDevModeOutput, dm) ? 1 : -1;
  }
  const auto next = detail::merged(q, current, input);
  if (!next) return -1;
  const auto changed = detail::changes(q, current, *next);
  if (changed.empty()) return 1;
  for (const auto& [option, value] : changed) options.setOption(q.name, option, value);
  return options.store() ? 1 : -1;
}

std::int32_t DeviceCapabilitiesA(const char* pDevice, const char* pPort, std::uint16_t fwCapability,
                                 std::uint32_t pOutput, std::uint32_t pDevMode) {
  detail::logCall("DeviceCapabilitiesA", [&] {
    return detail::Args{{"device", detail::logName(pDevice)},
                        {"port", detail::logName(pPort)},
                        {"capability", number(fwCapability)},
                        {"output", number(pOutput)},
                        // The entry takes no size: what the block at the output holds.
                        {"outputbytes", number(pOutput ? bytesFrom(pOutput) : 0)},
                        {"devmode", number(pDevMode)}};
  });
  if (fwCapability != DC_PAPERS || !pDevice || detail::faults().failPapers) return -1;
  std::vector<std::uint16_t> codes;
  if (detail::faults().papers) {
    codes = *detail::faults().papers;
  } else {
    const auto found = detail::findQueue(fromAnsi(pDevice));
    if (!found) return -1;
    codes = detail::paperCodes(*found);
  }
  const auto count = static_cast<std::int32_t>(codes.size());
  if (pOutput == 0) return count;
  std::vector<std::uint8_t> bytes(2 * codes.size());
  for (std::size_t i = 0; i < codes.size(); ++i) detail::put16(bytes, 2 * i, codes[i]);
  return writeBytes(pOutput, bytes) ? count : -1;
}

bool PrinterProperties(std::uint32_t hWnd, std::uint32_t hPrinter) {
  detail::logCall("PrinterProperties", [&] {
    return detail::Args{{"hwnd", number(hWnd)}, {"hprinter", number(hPrinter)}};
  });
  return false;
}

namespace detail {
int livePrinterHandles() { return printers().size(); }
void clearPrinterHandles() {
  for (auto it = printers().begin(); it != printers().end();) it = printers().erase(it);
}
}  // namespace detail

}  // namespace platform
