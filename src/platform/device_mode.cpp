#include "platform/device_mode_p.h"

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

}  // namespace platform
