#include "handles.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "frame_p.h"
#include "handles_p.h"
#include "window.h"

namespace rt {

namespace {

// A window handle names a window of the program or the toolbar window of a frame.
struct WindowEntry {
  std::weak_ptr<Window> window;
  std::weak_ptr<detail::ToolbarObject> toolbar;
};
struct DcEntry {
  long hwnd = 0;    // the window a window context came from
  long bitmap = 0;  // the bitmap selected into a memory context
};
struct BitmapEntry {
  QPixmap pixmap;
  bool madeThisEvent = true;  // the running event that made it holds it until it is over
  int holders = 0;            // toolbars keeping it
  long selectedInto = 0;      // the memory context it is selected into
};

struct HandleTable {
  HandleRange<WindowEntry> windows{HandleKind::Window};
  HandleRange<std::weak_ptr<detail::ToolbarObject>> toolbars{HandleKind::Toolbar};
  HandleRange<DcEntry> windowDcs{HandleKind::WindowDC};
  HandleRange<DcEntry> memoryDcs{HandleKind::MemoryDC};
  HandleRange<BitmapEntry> bitmaps{HandleKind::Bitmap};
  HandleRange<LogFont> fonts{HandleKind::Font};
};

HandleTable& table() {
  static HandleTable t;
  return t;
}

// The chrome of the open frame whose toolbar this is; a closed frame's toolbar is dead at once,
// whatever handles a caller still holds.
detail::FrameChrome* chromeOf(const std::weak_ptr<detail::ToolbarObject>& toolbar) {
  const auto tb = toolbar.lock();
  if (!tb) return nullptr;
  for (const auto& w : openWindows())
    if (auto* c = w ? detail::chromeOf(*w) : nullptr; c && c->toolbarObject == tb) return c;
  return nullptr;
}

// An open window, or a live toolbar window: what has a device context.
bool isLiveWindow(long hwnd) {
  const WindowEntry* e = table().windows.find(hwnd);
  if (!e) return false;
  if (auto w = e->window.lock()) return w->isValid() && w->isOpen();
  return chromeOf(e->toolbar) != nullptr;
}

DcEntry* anyDc(long dc) {
  auto& t = table();
  if (DcEntry* e = t.windowDcs.find(dc)) return e;
  return t.memoryDcs.find(dc);
}

// A bitmap nothing holds any more is freed.
void collect(long handle) {
  const BitmapEntry* b = table().bitmaps.find(handle);
  if (b && !b->madeThisEvent && b->holders <= 0 && b->selectedInto == 0) table().bitmaps.erase(handle);
}

// Takes the bitmap out of the context it is selected into.
void deselect(DcEntry& dc) {
  const long handle = std::exchange(dc.bitmap, 0);
  if (BitmapEntry* b = table().bitmaps.find(handle)) b->selectedInto = 0;
  collect(handle);
}

}  // namespace

std::optional<HandleKind> kindOf(long handle) {
  if (handle <= 0) return std::nullopt;
  const long range = handle / kHandleSpan;
  if (range < static_cast<long>(HandleKind::Window) || range > static_cast<long>(HandleKind::Font)) return std::nullopt;
  return static_cast<HandleKind>(range);
}

// ---- window handles

Window* openWindow(long hwnd) {
  const WindowEntry* e = table().windows.find(hwnd);
  auto w = e ? e->window.lock() : nullptr;
  return w && w->isValid() && w->isOpen() ? w.get() : nullptr;
}

long handleOf(const Window& window) {
  auto& windows = table().windows;
  for (auto it = windows.begin(); it != windows.end();) {
    auto w = it->second.window.lock();
    if (w.get() == &window) return it->first;
    // A window gone for good: its handle stays dead.
    const bool gone = !w && it->second.toolbar.expired();
    it = gone ? windows.erase(it) : std::next(it);
  }
  return windows.add({std::static_pointer_cast<Window>(const_cast<Window&>(window).shared_from_this()), {}});
}

long findChildWindow(long parent, long childAfter, const std::string& className) {
  Window* frame = openWindow(parent);
  detail::FrameChrome* chrome = frame ? detail::chromeOf(*frame) : nullptr;
  if (!chrome || !chrome->toolbarObject) return 0;
  const auto& tb = *chrome->toolbarObject;
  if (childAfter != 0 || tb.className != className) return 0;
  return tb.hwnd;
}

long windowLong(long hwnd, int index) {
  const WindowEntry* e = table().windows.find(hwnd);
  if (index != 0 || !e || !chromeOf(e->toolbar)) return 0;
  return e->toolbar.lock()->id;
}

namespace detail {

void registerToolbar(const std::shared_ptr<ToolbarObject>& tb) {
  tb->hwnd = table().windows.add({{}, tb});
  tb->id = table().toolbars.add(tb);
}

FrameChrome* toolbarChrome(long id) {
  const auto* tb = table().toolbars.find(id);
  return tb ? rt::chromeOf(*tb) : nullptr;
}

ToolbarObject* toolbarObject(long id) {
  FrameChrome* c = toolbarChrome(id);
  return c ? c->toolbarObject.get() : nullptr;
}

QPixmap* bitmap(long handle) {
  BitmapEntry* b = table().bitmaps.find(handle);
  return b ? &b->pixmap : nullptr;
}

QPixmap* selectedBitmap(long dc) {
  const DcEntry* e = table().memoryDcs.find(dc);
  return e ? bitmap(e->bitmap) : nullptr;
}

void holdObject(long handle) {
  if (BitmapEntry* b = table().bitmaps.find(handle)) ++b->holders;
}

void releaseObject(long handle) {
  if (BitmapEntry* b = table().bitmaps.find(handle)) {
    --b->holders;
    collect(handle);
  }
}

}  // namespace detail

// ---- device contexts and bitmaps

long getDC(long hwnd) { return isLiveWindow(hwnd) ? table().windowDcs.add({hwnd, 0}) : 0; }

int releaseDC(long hwnd, long dc) {
  const DcEntry* e = table().windowDcs.find(dc);
  if (!e || e->hwnd != hwnd) return 0;
  table().windowDcs.erase(dc);
  return 1;
}

long createCompatibleDC(long dc) { return anyDc(dc) ? table().memoryDcs.add({}) : 0; }

bool deleteDC(long dc) {
  DcEntry* e = table().memoryDcs.find(dc);
  if (!e) return false;
  deselect(*e);
  table().memoryDcs.erase(dc);
  return true;
}

long createCompatibleBitmap(long dc, int width, int height) {
  if (!anyDc(dc) || width <= 0 || height <= 0) return 0;
  BitmapEntry b;
  b.pixmap = QPixmap(width, height);
  b.pixmap.fill(QColor(240, 240, 240));
  const long handle = table().bitmaps.add(std::move(b));
  if (handle == 0) return 0;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [handle] {
        if (BitmapEntry* made = table().bitmaps.find(handle)) {
          made->madeThisEvent = false;
          collect(handle);
        }
      },
      Qt::QueuedConnection);
  return handle;
}

long selectObject(long dc, long object) {
  DcEntry* e = table().memoryDcs.find(dc);
  BitmapEntry* b = table().bitmaps.find(object);
  if (!e || !b || (b->selectedInto != 0 && b->selectedInto != dc)) return 0;
  const long before = e->bitmap;
  if (before == object) return before;
  deselect(*e);
  e->bitmap = object;
  b->selectedInto = dc;
  return before;
}

bool deleteObject(long object) {
  auto& t = table();
  if (t.fonts.erase(object)) return true;
  BitmapEntry* b = t.bitmaps.find(object);
  if (!b || !b->madeThisEvent || b->selectedInto != 0) return false;
  b->madeThisEvent = false;
  collect(object);
  return true;
}

std::optional<std::pair<int, int>> bitmapSize(long handle) {
  const QPixmap* pm = detail::bitmap(handle);
  if (!pm) return std::nullopt;
  return std::pair{pm->width(), pm->height()};
}

int liveBitmaps() { return table().bitmaps.size(); }

int liveDeviceContexts() { return table().windowDcs.size() + table().memoryDcs.size(); }

// ---- fonts

long createFontIndirect(const LogFont& font) { return table().fonts.add(font); }

std::optional<LogFont> fontOf(long font) {
  const LogFont* f = table().fonts.find(font);
  if (!f) return std::nullopt;
  return *f;
}

int liveFonts() { return table().fonts.size(); }

}  // namespace rt
