#include "toolbar.h"

#include <QPainter>
#include <algorithm>

#include "frame_p.h"
#include "handles_p.h"
#include "runtime_p.h"
#include "widgets_p.h"

namespace rt {

// ---- environment

namespace {
std::optional<int>& reportedVersion() {
  static std::optional<int> version = 8;
  return version;
}
}  // namespace

int getEnvironment(Environment& environment) {
  if (!reportedVersion()) return -1;
  environment.majorVersion = *reportedVersion();
  return 1;
}

void reportRuntimeVersion(std::optional<int> majorVersion) { reportedVersion() = majorVersion; }

// ---- the toolbar object's settings and the entries of each runtime version

bool writeToolbar(long toolbar, ToolbarSetting setting, long value) {
  detail::FrameChrome* chrome = detail::toolbarChrome(toolbar);
  if (!chrome) return false;
  detail::ToolbarObject* tb = chrome->toolbarObject.get();
  const bool face = setting == ToolbarSetting::PlainFace || setting == ToolbarSetting::SunkenFace;
  if (face) {
    // The toolbar holds the face it uses and lets go of the one it replaces.
    detail::holdObject(value);
    if (auto old = tb->settings.find(setting); old != tb->settings.end()) detail::releaseObject(old->second);
  }
  tb->settings[setting] = value;
  // The frame shows what was written once the running event is over.
  chrome->scheduleApplyToolbar();
  return true;
}

std::optional<long> readToolbar(long toolbar, ToolbarSetting setting) {
  detail::ToolbarObject* tb = detail::toolbarObject(toolbar);
  if (!tb) return std::nullopt;
  auto it = tb->settings.find(setting);
  if (it == tb->settings.end()) return std::nullopt;
  return it->second;
}

namespace {
int lastEntryVersion = 0;

template <int Version>
long setFontEntry(long toolbar, const std::string& face, long size, long bitmap, const std::string& extent) {
  lastEntryVersion = Version;
  detail::FrameChrome* chrome = detail::toolbarChrome(toolbar);
  if (!chrome) return 0;
  detail::ToolbarObject* tb = chrome->toolbarObject.get();
  tb->textFace = QString::fromStdString(face);
  tb->textSize = static_cast<int>(std::clamp<long>(size, -1000, 1000));
  tb->extent = QString::fromStdString(extent);
  detail::holdObject(bitmap);
  detail::releaseObject(tb->iconBitmap);
  tb->iconBitmap = detail::bitmap(bitmap) ? bitmap : 0;
  chrome->scheduleApplyToolbar();
  return 1;
}

template <int Version>
void showTextEntry(long toolbar, bool show) {
  lastEntryVersion = Version;
  if (detail::FrameChrome* chrome = detail::toolbarChrome(toolbar)) {
    chrome->toolbarObject->showText = show;
    chrome->scheduleApplyToolbar();
  }
}

// The platform's edge drawing: BF_LEFT 1, BF_TOP 2, BF_RIGHT 4, BF_BOTTOM 8, BF_MIDDLE 0x800;
// edges BDR_RAISEDOUTER 1, BDR_SUNKENOUTER 2, BDR_RAISEDINNER 4, BDR_SUNKENINNER 8.
template <int Version>
void drawEdgeEntry(long dc, EdgeRect& rc, int edge, int flags) {
  lastEntryVersion = Version;
  QPixmap* pm = detail::selectedBitmap(dc);
  if (!pm) return;
  QPainter p(pm);
  const QRect r(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  if (flags & 0x800) p.fillRect(r, detail::toQColor(Color::buttonFace()));
  const bool raised = edge & (1 | 4);
  const QColor light(255, 255, 255), dark(128, 128, 128);
  const QColor topLeft = raised ? light : dark, bottomRight = raised ? dark : light;
  const QRect e = r.adjusted(0, 0, -1, -1);
  if (flags & 1) {
    p.setPen(topLeft);
    p.drawLine(e.topLeft(), e.bottomLeft());
  }
  if (flags & 2) {
    p.setPen(topLeft);
    p.drawLine(e.topLeft(), e.topRight());
  }
  if (flags & 4) {
    p.setPen(bottomRight);
    p.drawLine(e.topRight(), e.bottomRight());
  }
  if (flags & 8) {
    p.setPen(bottomRight);
    p.drawLine(e.bottomLeft(), e.bottomRight());
  }
}

template <int Version>
constexpr ToolbarEntries entriesOf() {
  return {Version, &setFontEntry<Version>, &showTextEntry<Version>, &drawEdgeEntry<Version>};
}

constexpr ToolbarEntries kEntries6 = entriesOf<6>();
constexpr ToolbarEntries kEntries7 = entriesOf<7>();
constexpr ToolbarEntries kEntries8 = entriesOf<8>();

}  // namespace

const ToolbarEntries* toolbarEntries(int majorVersion) {
  switch (majorVersion) {
    case 6: return &kEntries6;
    case 7: return &kEntries7;
    case 8: return &kEntries8;
    default: return nullptr;
  }
}

int lastToolbarEntryVersion() { return lastEntryVersion; }

}  // namespace rt
