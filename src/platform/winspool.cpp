#include "platform/winspool.h"

#include <cups/cups.h>

#include <cstdio>

#include <QPageSize>
#include <QSizeF>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/memory.h"
#include "platform/platform_p.h"
#include "platform/print_server_p.h"
#include "platform/spooler_p.h"
#include "runtime/handles.h"

namespace platform {

namespace detail {

// ---- Papers: a queue's media names and the paper codes of the device mode.

namespace {

// A medium's size in hundredths of a millimetre, by any of the names a server or a user's
// options may give it.
const pwg_media_t* mediumNamed(const std::string& name) {
  if (const pwg_media_t* m = pwgMediaForPWG(name.c_str())) return m;
  if (const pwg_media_t* m = pwgMediaForPPD(name.c_str())) return m;
  return pwgMediaForLegacy(name.c_str());
}

bool startsWith(const std::string& s, std::string_view head) { return s.rfind(head, 0) == 0; }

// "Custom.WxHmm" or "Custom.WxHin" (the first is the form this code writes), in tenths of a
// millimetre.
std::optional<Paper> customPaper(const std::string& name) {
  if (!startsWith(name, "Custom.")) return std::nullopt;
  double w = 0, l = 0;
  char unit[3] = {};
  if (std::sscanf(name.c_str() + 7, "%lfx%lf%2s", &w, &l, unit) != 3) return std::nullopt;
  const std::string_view u(unit);
  if (u != "mm" && u != "in") return std::nullopt;
  const double scale = u == "mm" ? 10 : 254;
  return Paper{kCustomPaper, static_cast<int>(std::lround(w * scale)), static_cast<int>(std::lround(l * scale))};
}

}  // namespace

Paper paperOfPageSize(const QPageSize& size) {
  const int code = size.id() == QPageSize::Custom ? 0 : QPageSize::windowsId(size.id());
  const QSizeF mm = size.size(QPageSize::Millimeter);
  const int width = static_cast<int>(std::lround(mm.width() * 10)),
            length = static_cast<int>(std::lround(mm.height() * 10));
  if (code <= 0 || code >= kCustomPaper) return {kCustomPaper, width, length};
  return {code, width, length};
}

QPageSize pageSizeOf(const Paper& paper) {
  if (paper.code == kCustomPaper)
    return QPageSize(QSizeF(paper.width / 10.0, paper.length / 10.0), QPageSize::Millimeter);
  const QPageSize::PageSizeId id = QPageSize::id(paper.code);
  return QPageSize(id == QPageSize::Custom ? QPageSize::A4 : id);
}

std::optional<Paper> paperOfMedium(const std::string& name) {
  if (auto custom = customPaper(name)) return custom;
  if (startsWith(name, "custom_")) return std::nullopt;  // a range's ends, not a paper
  const pwg_media_t* m = mediumNamed(name);
  if (!m) return std::nullopt;
  const QPageSize::PageSizeId id =
      QPageSize::id(QSizeF(m->width / 100.0, m->length / 100.0), QPageSize::Millimeter, QPageSize::FuzzyMatch);
  if (id == QPageSize::Custom) return std::nullopt;
  // The standard's size, not a description's rounded points.
  const Paper paper = paperOfPageSize(QPageSize(id));
  if (paper.code == kCustomPaper) return std::nullopt;  // a standard size without a code
  return paper;
}

std::optional<CustomRange> customRange(const Queue& q) {
  // The library answers a size it had to work out in one buffer per thread: copy at once.
  std::optional<std::pair<int, int>> least, most;
  for (const std::string& name : q.media) {
    const bool isLeast = startsWith(name, "custom_min_"), isMost = startsWith(name, "custom_max_");
    if (!isLeast && !isMost) continue;
    if (const pwg_media_t* m = pwgMediaForPWG(name.c_str())) (isLeast ? least : most) = {m->width, m->length};
  }
  if (!least || !most) return std::nullopt;
  return CustomRange{least->first, least->second, most->first, most->second};
}

std::vector<std::uint16_t> paperCodes(const Queue& q) {
  std::vector<std::uint16_t> codes;
  for (const std::string& name : q.media) {
    const auto paper = paperOfMedium(name);
    if (paper && paper->code != kCustomPaper && std::find(codes.begin(), codes.end(), paper->code) == codes.end())
      codes.push_back(static_cast<std::uint16_t>(paper->code));
  }
  if (customRange(q)) codes.push_back(kCustomPaper);
  return codes;
}

std::string mediumFor(const Queue& q, const Paper& paper) {
  if (paper.code == kCustomPaper) {
    auto mm = [](int tenths) {
      std::string s = std::to_string(tenths / 10);
      if (tenths % 10) s += "." + std::to_string(tenths % 10);
      return s;
    };
    return "Custom." + mm(paper.width) + "x" + mm(paper.length) + "mm";
  }
  for (const std::string& name : q.media)
    if (auto p = paperOfMedium(name); p && p->code == paper.code) return name;
  return {};
}

// ---- What a queue prints with for this user.

namespace {

std::string optionOr(const std::map<std::string, std::string>& options, const std::string& name) {
  auto it = options.find(name);
  return it == options.end() ? std::string() : it->second;
}

int sidesCode(const std::string& sides) {
  if (sides == "one-sided") return 1;
  if (sides == "two-sided-long-edge") return 2;
  if (sides == "two-sided-short-edge") return 3;
  return 0;
}

}  // namespace

bool offersTwoSided(const Queue& q) {
  return std::any_of(q.sides.begin(), q.sides.end(), [](const std::string& s) { return sidesCode(s) >= 2; });
}

Settings settingsOf(const Queue& q, const std::map<std::string, std::string>& options) {
  Settings s;
  const std::string orientation = optionOr(options, "orientation-requested");
  if (orientation == "3" || orientation == "4")
    s.orientation = orientation == "4" ? 2 : 1;
  else if (optionOr(options, "landscape") == "true")
    s.orientation = 2;
  else
    s.orientation = q.orientationDefault == 4 ? 2 : 1;

  // A media option may list a size and a tray: the first name that is a paper counts.
  auto firstPaper = [](const std::string& list) -> std::optional<Paper> {
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t comma = std::min(list.find(',', start), list.size());
      if (auto p = paperOfMedium(list.substr(start, comma - start))) return p;
      start = comma + 1;
    }
    return std::nullopt;
  };
  const std::string medium = optionOr(options, "media");
  if (auto p = medium.empty() ? std::nullopt : firstPaper(medium))
    s.paper = *p;
  else if (auto d = q.mediaDefault.empty() ? std::nullopt : firstPaper(q.mediaDefault))
    s.paper = *d;

  const int copies = std::atoi(optionOr(options, "copies").c_str());
  s.copies = copies >= 1 ? copies : (q.copiesDefault >= 1 ? q.copiesDefault : 1);

  const std::string handling = optionOr(options, "multiple-document-handling");
  const std::string collate = optionOr(options, "collate");
  if (handling == "separate-documents-uncollated-copies")
    s.collate = 0;
  else if (handling == "separate-documents-collated-copies")
    s.collate = 1;
  else
    s.collate = collate == "false" ? 0 : 1;

  if (offersTwoSided(q)) {
    const int chosen = sidesCode(optionOr(options, "sides"));
    s.duplex = chosen ? chosen : (sidesCode(q.sidesDefault) ? sidesCode(q.sidesDefault) : 1);
  }
  return s;
}

// ---- Device modes.

std::array<std::uint8_t, kDevModeSize> devModeOf(const Queue& q, const Settings& s) {
  std::array<std::uint8_t, kDevModeSize> dm{};
  const std::string name(cutAnsi(toAnsi(q.name), 31));
  std::copy(name.begin(), name.end(), dm.begin() + dm::kDeviceName);
  put16(dm, dm::kSpecVersion, 0x0401);
  put16(dm, dm::kSize, kDevModeSize);
  std::uint32_t fields = dm::kOrientation | dm::kCopies | dm::kCollate;
  put16(dm, dm::kOrientationAt, static_cast<std::uint32_t>(s.orientation));
  if (s.paper.code != 0) {
    fields |= dm::kPaperSize | dm::kPaperLength | dm::kPaperWidth;
    put16(dm, dm::kPaperSizeAt, static_cast<std::uint32_t>(s.paper.code));
    put16(dm, dm::kPaperLengthAt, static_cast<std::uint32_t>(s.paper.length));
    put16(dm, dm::kPaperWidthAt, static_cast<std::uint32_t>(s.paper.width));
  }
  put16(dm, dm::kCopiesAt, static_cast<std::uint32_t>(s.copies));
  put16(dm, dm::kCollateAt, static_cast<std::uint32_t>(s.collate));
  if (s.duplex != 0) {
    fields |= dm::kDuplex;
    put16(dm, dm::kDuplexAt, static_cast<std::uint32_t>(s.duplex));
  }
  put32(dm, dm::kFields, fields);
  return dm;
}

std::optional<Settings> merged(const Queue& q, const Settings& current, std::span<const std::uint8_t> dm) {
  Settings s = current;
  const std::uint32_t fields = get32(dm, dm::kFields);
  const auto value = [&](std::size_t at) { return static_cast<int>(get16(dm, at)); };
  const auto signedValue = [&](std::size_t at) { return static_cast<int>(static_cast<std::int16_t>(get16(dm, at))); };
  if (fields & dm::kOrientation) {
    const int v = value(dm::kOrientationAt);
    if (v != 0 && v != 1 && v != 2) return std::nullopt;
    if (v != 0) s.orientation = v;
  }
  if (fields & dm::kPaperSize) {
    const int code = value(dm::kPaperSizeAt);
    if (code != 0) {
      const auto codes = paperCodes(q);
      if (std::find(codes.begin(), codes.end(), code) == codes.end()) return std::nullopt;
      if (code == kCustomPaper) {
        const int width = value(dm::kPaperWidthAt), length = value(dm::kPaperLengthAt);
        const auto range = customRange(q);
        // The range is in hundredths of a millimetre, the device mode in tenths.
        if (!range || width <= 0 || length <= 0 || width * 10 < range->minWidth || width * 10 > range->maxWidth ||
            length * 10 < range->minLength || length * 10 > range->maxLength)
          return std::nullopt;
        s.paper = Paper{kCustomPaper, width, length};
      } else {
        s.paper = paperOfPageSize(pageSizeOf(Paper{code, 0, 0}));
      }
    }
  }
  if (fields & dm::kCopies) {
    const int copies = signedValue(dm::kCopiesAt);
    if (copies < 0) return std::nullopt;
    if (copies != 0) s.copies = copies;
  }
  if (fields & dm::kCollate) {
    const int collate = signedValue(dm::kCollateAt);
    if (collate != 0 && collate != 1) return std::nullopt;
    s.collate = collate;
  }
  if (fields & dm::kDuplex) {
    const int duplex = signedValue(dm::kDuplexAt);
    if (duplex < 0 || duplex > 3 || (duplex >= 2 && !offersTwoSided(q))) return std::nullopt;
    // One-sided on a queue that prints only so changes nothing.
    if (duplex != 0 && offersTwoSided(q)) s.duplex = duplex;
  }
  return s;
}

std::vector<std::pair<std::string, std::string>> changes(const Queue& q, const Settings& from, const Settings& to) {
  std::vector<std::pair<std::string, std::string>> out;
  if (to.orientation != from.orientation) out.emplace_back("orientation-requested", to.orientation == 2 ? "4" : "3");
  if (to.paper.code != from.paper.code ||
      (to.paper.code == kCustomPaper && (to.paper.width != from.paper.width || to.paper.length != from.paper.length)))
    out.emplace_back("media", mediumFor(q, to.paper));
  if (to.copies != from.copies) out.emplace_back("copies", std::to_string(to.copies));
  if (to.collate != from.collate)
    out.emplace_back("multiple-document-handling",
                     to.collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies");
  if (to.duplex != from.duplex) {
    static const char* const sides[] = {"", "one-sided", "two-sided-long-edge", "two-sided-short-edge"};
    out.emplace_back("sides", sides[to.duplex]);
  }
  return out;
}

}  // namespace detail

// ---- Printer handles.

namespace {

using detail::Queue;

rt::HandleRange<std::string>& printers() {
  static auto* range = new rt::HandleRange<std::string>(kPrinterFirst);
  return *range;
}

std::string number(long long v) { return std::to_string(v); }

std::uint32_t printerStatus(const Queue& q) {
  if (q.state == 5) return 0x1;    // paused
  if (q.state == 4) return 0x400;  // printing
  return 0;
}

std::uint32_t printerAttributes(const Queue& q, bool isDefault) {
  if (detail::faults().attributes) return *detail::faults().attributes;
  return 0x40 | (isDefault ? 0x4 : 0) | (q.shared ? 0x8 : 0);
}

// The level-2 records of `queues` as they lie in a buffer at `base`: the records one after
// another, then each queue's texts and device mode.
std::vector<std::uint8_t> printerInfo(const std::vector<Queue>& queues, long base, const std::string& userDefault,
                                      const detail::UserOptions& options) {
  namespace pi = detail::pi;
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
    std::uint32_t fields[21] = {};
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
    for (int f = 0; f < 21; ++f) detail::put32(out, i * kPrinterInfo2Size + f * 4, fields[f]);
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
  const auto found = detail::findQueue(name);
  if (!found || !*found) return false;
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
  const std::uint32_t attributes = detail::get32(record, detail::pi::kAttributes * 4);
  const auto queues = detail::listQueues();
  if (!queues || !detail::queueNamed(*queues, *name)) return false;
  if ((attributes & 0x4) == 0) return true;
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
  if (!found || !*found) return -1;
  const Queue& q = **found;
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
    if (!found || !*found) return -1;
    codes = detail::paperCodes(**found);
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
