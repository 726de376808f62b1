#pragma once

// The handles the toolbar and status-bar utilities pass around: window handles, the toolbar
// object, device contexts, bitmaps and fonts, all values of one table. Each kind has a range
// of its own, every value is positive and never reused, and every call is strict: 0, a
// negative or stale handle, a handle of another kind, or a bitmap still selected into a
// device context gets the call's failure value and changes nothing.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace rt {

class Window;

// ---- The table: one range of values per kind.
enum class HandleKind { Window = 1, Toolbar, WindowDC, MemoryDC, Bitmap, Font };
constexpr long kHandleSpan = 1L << 24;  // values per range; every range lies below 2^31
constexpr long firstHandle(HandleKind kind) { return static_cast<long>(kind) * kHandleSpan; }
// The kind whose range holds `handle`; nullopt for 0, a negative value or one beyond every range.
std::optional<HandleKind> kindOf(long handle);

// The live objects of one kind. Values come from the kind's range in order and never again, so
// a stale handle stays dead for ever; a spent range hands out 0.
template <class Record>
class HandleRange {
 public:
  explicit HandleRange(HandleKind kind) : HandleRange(firstHandle(kind)) {}
  // A range of its own that starts at `first` (another layer's kinds, beyond the runtime's).
  explicit HandleRange(long first) : first_(first), next_(first) {}
  long add(Record record) {
    if (next_ >= first_ + kHandleSpan) return 0;
    live_.emplace(next_, std::move(record));
    return next_++;
  }
  Record* find(long handle) {
    auto it = live_.find(handle);
    return it == live_.end() ? nullptr : &it->second;
  }
  bool erase(long handle) { return live_.erase(handle) > 0; }
  auto erase(typename std::map<long, Record>::iterator it) { return live_.erase(it); }
  int size() const { return static_cast<int>(live_.size()); }
  auto begin() { return live_.begin(); }
  auto end() { return live_.end(); }

 private:
  long first_, next_;
  std::map<long, Record> live_;
};

// ---- Window handles.
// The window's handle, the same for its whole life.
long handleOf(const Window& window);
// The open window whose handle this is; nullptr for any other value (a closed window's too).
Window* openWindow(long hwnd);
// The first direct child window of the open window `parent` after `childAfter` (0: from the
// first) whose window class is `className`; 0 when there is none.
long findChildWindow(long parent, long childAfter, const std::string& className);
// A window's extra data word: index 0 of the toolbar window holds its toolbar object; 0 for
// anything else.
long windowLong(long hwnd, int index);

// ---- Device contexts and bitmaps.
// A device context of an open window (or the toolbar's window), given back by releaseDC.
long getDC(long hwnd);
int releaseDC(long hwnd, long dc);  // 1, or 0 when `dc` is not a context `hwnd` gave
// A memory context like `dc` (either kind), freed by deleteDC; 0 when `dc` is none.
long createCompatibleDC(long dc);
bool deleteDC(long dc);  // a memory context only
long createCompatibleBitmap(long dc, int width, int height);
// Selects a bitmap into a memory context and returns the bitmap selected before (0 when none
// was). A bitmap is selected into one context at a time; anything else selects nothing and
// returns 0.
long selectObject(long dc, long bitmap);
// Frees a font, or a bitmap the running event made that is not selected into a context (what
// a toolbar keeps stays with it); false for anything else.
bool deleteObject(long object);
// A bitmap's size, for tests; nullopt when no such bitmap lives.
std::optional<std::pair<int, int>> bitmapSize(long bitmap);
// How many bitmaps live now. A bitmap lives while something holds it: a toolbar, a device
// context it is selected into, or the running event that made it.
int liveBitmaps();
int liveDeviceContexts();  // of both kinds

// ---- Fonts.
struct LogFont {
  std::int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  std::uint8_t italic = 0, underline = 0, strikeout = 0, charset = 0, outprecision = 0, clipprecision = 0, quality = 0,
               pitchandfamily = 0;
  std::string facename;
};
long createFontIndirect(const LogFont& font);
std::optional<LogFont> fontOf(long font);  // for tests
int liveFonts();

}  // namespace rt
