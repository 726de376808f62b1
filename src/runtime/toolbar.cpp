#include "toolbar.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPainter>
#include <algorithm>
#include <map>
#include <memory>

#include "frame_p.h"
#include "runtime_p.h"
#include "window.h"
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

// ---- handles: one counter for every kind, never reused

namespace {
long nextHandle = 1000;

std::map<long, std::weak_ptr<Window>>& windowHandles() {
  static std::map<long, std::weak_ptr<Window>> m;
  return m;
}

Window* windowOf(long hwnd) {
  auto it = windowHandles().find(hwnd);
  if (it == windowHandles().end()) return nullptr;
  auto w = it->second.lock();
  return w && w->isValid() && w->isOpen() ? w.get() : nullptr;
}

// The chrome of the open frame whose toolbar matches; a closed frame's toolbar is dead at
// once, whatever handles or ids a caller still holds.
template <class Match>
detail::FrameChrome* chromeWhoseToolbar(Match match) {
  for (const auto& w : openWindows())
    if (auto* c = w ? detail::chromeOf(*w) : nullptr; c && c->toolbarObject && match(*c->toolbarObject)) return c;
  return nullptr;
}

bool isToolbarWindow(long hwnd) {
  return hwnd > 0 && chromeWhoseToolbar([hwnd](const detail::ToolbarObject& tb) { return tb.hwnd == hwnd; });
}
}  // namespace

long handleOf(const Window& window) {
  auto& handles = windowHandles();
  for (auto it = handles.begin(); it != handles.end();) {
    auto w = it->second.lock();
    if (w.get() == &window) return it->first;
    it = w ? std::next(it) : handles.erase(it);  // a window gone for good: its handle stays dead
  }
  const long h = nextHandle++;
  handles[h] = std::static_pointer_cast<Window>(const_cast<Window&>(window).shared_from_this());
  return h;
}

long findChildWindow(long parent, long childAfter, const std::string& className) {
  Window* frame = windowOf(parent);
  detail::FrameChrome* chrome = frame ? detail::chromeOf(*frame) : nullptr;
  if (!chrome || !chrome->toolbarObject) return 0;
  const auto& tb = *chrome->toolbarObject;
  if (childAfter != 0 || tb.className != className) return 0;
  return tb.hwnd;
}

long windowLong(long hwnd, int index) {
  if (index != 0 || hwnd <= 0) return 0;
  auto* c = chromeWhoseToolbar([hwnd](const detail::ToolbarObject& tb) { return tb.hwnd == hwnd; });
  return c ? c->toolbarObject->id : 0;
}

namespace detail {

// Called by the frame when it makes its toolbar: gives it its handles.
void registerToolbar(const std::shared_ptr<ToolbarObject>& tb) {
  tb->hwnd = nextHandle++;
  tb->id = nextHandle++;
}

ToolbarObject* toolbarObject(long id) {
  if (id <= 0) return nullptr;
  auto* c = chromeWhoseToolbar([id](const ToolbarObject& tb) { return tb.id == id; });
  return c ? c->toolbarObject.get() : nullptr;
}

}  // namespace detail

// ---- bitmaps, fonts and device contexts

namespace {

struct Bitmap {
  QPixmap pixmap;
  int holds = 0;
};
struct DeviceContext {
  long hwnd = 0;
  long selected = 0;
};

std::map<long, Bitmap>& bitmaps() {
  static std::map<long, Bitmap> m;
  return m;
}
std::map<long, LogFont>& fonts() {
  static std::map<long, LogFont> m;
  return m;
}
std::map<long, DeviceContext>& dcs() {
  static std::map<long, DeviceContext> m;
  return m;
}

}  // namespace

namespace detail {

QPixmap* bitmap(long handle) {
  auto it = bitmaps().find(handle);
  return it == bitmaps().end() ? nullptr : &it->second.pixmap;
}

void holdObject(long handle) {
  auto it = bitmaps().find(handle);
  if (it != bitmaps().end()) ++it->second.holds;
}

// A bitmap nobody holds any more is freed.
void releaseObject(long handle) {
  auto it = bitmaps().find(handle);
  if (it != bitmaps().end() && --it->second.holds <= 0) bitmaps().erase(it);
}

}  // namespace detail

long getDC(long hwnd) {
  if (!windowOf(hwnd) && !isToolbarWindow(hwnd)) return 0;
  const long dc = nextHandle++;
  dcs()[dc] = {hwnd, 0};
  return dc;
}

int releaseDC(long hwnd, long dc) {
  auto it = dcs().find(dc);
  if (it == dcs().end() || it->second.hwnd != hwnd) return 0;
  detail::releaseObject(it->second.selected);
  dcs().erase(it);
  return 1;
}

long createCompatibleDC(long dc) {
  if (dc != 0 && !dcs().count(dc)) return 0;
  const long memory = nextHandle++;
  dcs()[memory] = {0, 0};
  return memory;
}

bool deleteDC(long dc) {
  auto it = dcs().find(dc);
  if (it == dcs().end()) return false;
  detail::releaseObject(it->second.selected);
  dcs().erase(it);
  return true;
}

long createCompatibleBitmap(long dc, int width, int height) {
  if (!dcs().count(dc) || width <= 0 || height <= 0) return 0;
  const long handle = nextHandle++;
  Bitmap& b = bitmaps()[handle];
  b.pixmap = QPixmap(width, height);
  b.pixmap.fill(QColor(240, 240, 240));
  // Held by the running event that made it: it lives at least until that event is over.
  b.holds = 1;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [handle] { detail::releaseObject(handle); }, Qt::QueuedConnection);
  return handle;
}

long selectObject(long dc, long object) {
  auto it = dcs().find(dc);
  if (it == dcs().end()) return 0;
  const long before = it->second.selected;
  detail::holdObject(object);
  it->second.selected = bitmaps().count(object) ? object : 0;
  detail::releaseObject(before);
  return before;
}

bool deleteObject(long object) {
  if (fonts().erase(object) > 0) return true;
  auto it = bitmaps().find(object);
  if (it == bitmaps().end()) return false;
  detail::releaseObject(object);
  return true;
}

std::optional<std::pair<int, int>> bitmapSize(long handle) {
  const QPixmap* pm = detail::bitmap(handle);
  if (!pm) return std::nullopt;
  return std::pair{pm->width(), pm->height()};
}

int liveBitmaps() { return static_cast<int>(bitmaps().size()); }

long createFontIndirect(const LogFont& font) {
  const long handle = nextHandle++;
  fonts()[handle] = font;
  return handle;
}

std::optional<LogFont> fontOf(long font) {
  auto it = fonts().find(font);
  if (it == fonts().end()) return std::nullopt;
  return it->second;
}

int liveFonts() { return static_cast<int>(fonts().size()); }

// ---- the toolbar object's settings and the entries of each runtime version

namespace {
// The frame shows what was written once the running event is over.
void scheduleApply(const detail::ToolbarObject* tb) {
  if (auto* c = chromeWhoseToolbar([tb](const detail::ToolbarObject& t) { return &t == tb; }))
    c->scheduleApplyToolbar();
}
}  // namespace

bool writeToolbar(long toolbar, ToolbarSetting setting, long value) {
  detail::ToolbarObject* tb = detail::toolbarObject(toolbar);
  if (!tb) return false;
  const bool face = setting == ToolbarSetting::PlainFace || setting == ToolbarSetting::SunkenFace;
  if (face) {
    // The toolbar holds the face it uses and lets go of the one it replaces.
    detail::holdObject(value);
    if (auto old = tb->settings.find(setting); old != tb->settings.end()) detail::releaseObject(old->second);
  }
  tb->settings[setting] = value;
  scheduleApply(tb);
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
  detail::ToolbarObject* tb = detail::toolbarObject(toolbar);
  if (!tb) return 0;
  tb->textFace = QString::fromStdString(face);
  tb->textSize = static_cast<int>(std::clamp<long>(size, -1000, 1000));
  tb->extent = QString::fromStdString(extent);
  detail::holdObject(bitmap);
  detail::releaseObject(tb->iconBitmap);
  tb->iconBitmap = detail::bitmap(bitmap) ? bitmap : 0;
  scheduleApply(tb);
  return 1;
}

template <int Version>
void showTextEntry(long toolbar, bool show) {
  lastEntryVersion = Version;
  if (detail::ToolbarObject* tb = detail::toolbarObject(toolbar)) {
    tb->showText = show;
    scheduleApply(tb);
  }
}

// The platform's edge drawing: BF_LEFT 1, BF_TOP 2, BF_RIGHT 4, BF_BOTTOM 8, BF_MIDDLE 0x800;
// edges BDR_RAISEDOUTER 1, BDR_SUNKENOUTER 2, BDR_RAISEDINNER 4, BDR_SUNKENINNER 8.
template <int Version>
void drawEdgeEntry(long dc, EdgeRect& rc, int edge, int flags) {
  lastEntryVersion = Version;
  auto it = dcs().find(dc);
  if (it == dcs().end()) return;
  QPixmap* pm = detail::bitmap(it->second.selected);
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
