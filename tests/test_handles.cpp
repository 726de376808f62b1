// The handle table under the toolbar and status-bar utilities: every handle call turns away 0,
// a negative handle, a stale one, one of another kind and a bitmap still selected into a
// context with its failure value, and changes nothing; values keep to their kind's range and
// never come back.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/handles.h"
#include "runtime/testing.h"
#include "runtime/toolbar.h"
#include "runtime/window.h"

namespace t = rt::testing;
using rt::HandleKind;
using rt::ToolbarSetting;
using Size = std::pair<int, int>;

namespace {

// The window with a toolbar.
struct w_frame : rt::Window {
  RT_CLASS(w_frame)
  w_frame() { windowtype = rt::WindowType::MdiFrame; }
};

constexpr const char* kToolbarClass = "RTFIXEDBAR80";

struct Handle {
  std::string name;
  long value;
};

class HandleTest : public ::testing::Test {
 protected:
  t::Session session;
  rt::Ref<w_frame> frame;
  // One live handle of each kind (two memory contexts, the first with a bitmap selected).
  long window = 0, toolbarWindow = 0, toolbar = 0, windowDc = 0, memoryDc = 0, emptyMemoryDc = 0, bitmap = 0,
       selected = 0, font = 0;
  std::vector<Handle> live, stale;

  void SetUp() override {
    rt::reportRuntimeVersion(8);
    rt::open(frame);
    t::processEvents();
    window = rt::handleOf(*frame);
    toolbarWindow = rt::findChildWindow(window, 0, kToolbarClass);
    toolbar = rt::windowLong(toolbarWindow, 0);
    windowDc = rt::getDC(window);
    memoryDc = rt::createCompatibleDC(windowDc);
    emptyMemoryDc = rt::createCompatibleDC(windowDc);
    bitmap = rt::createCompatibleBitmap(windowDc, 8, 8);
    selected = rt::createCompatibleBitmap(windowDc, 9, 9);
    EXPECT_EQ(rt::selectObject(memoryDc, selected), 0) << "a new context has no bitmap selected";
    rt::LogFont lf;
    lf.facename = "宋体";
    font = rt::createFontIndirect(lf);
    live = {{"window", window},           {"toolbar window", toolbarWindow}, {"toolbar", toolbar},
            {"window context", windowDc}, {"memory context", memoryDc},      {"empty memory context", emptyMemoryDc},
            {"bitmap", bitmap},           {"selected bitmap", selected},     {"font", font}};
    for (const auto& h : live) ASSERT_GT(h.value, 0) << h.name;

    // One dead handle of each kind: its object freed, closed or gone with its frame.
    rt::Ref<w_frame> goneFrame;
    rt::open(goneFrame);
    const long goneWindow = rt::handleOf(*goneFrame);
    const long goneToolbarWindow = rt::findChildWindow(goneWindow, 0, kToolbarClass);
    const long goneToolbar = rt::windowLong(goneToolbarWindow, 0);
    rt::close(goneFrame);
    const long goneWindowDc = rt::getDC(window);
    rt::releaseDC(window, goneWindowDc);
    const long goneMemoryDc = rt::createCompatibleDC(windowDc);
    rt::deleteDC(goneMemoryDc);
    const long goneBitmap = rt::createCompatibleBitmap(windowDc, 8, 8);
    rt::deleteObject(goneBitmap);
    const long goneFont = rt::createFontIndirect(lf);
    rt::deleteObject(goneFont);
    stale = {{"closed window", goneWindow},
             {"closed frame's toolbar window", goneToolbarWindow},
             {"closed frame's toolbar", goneToolbar},
             {"released window context", goneWindowDc},
             {"deleted memory context", goneMemoryDc},
             {"freed bitmap", goneBitmap},
             {"freed font", goneFont}};
    for (const auto& h : stale) ASSERT_GT(h.value, 0) << h.name;
  }
  void TearDown() override { rt::reportRuntimeVersion(8); }

  struct Counts {
    int bitmaps = rt::liveBitmaps(), fonts = rt::liveFonts(), contexts = rt::liveDeviceContexts();
    friend bool operator==(const Counts&, const Counts&) = default;
  };
  // The world as the table test left it: every live handle still does what it did.
  void expectUnchanged(const Counts& before) {
    EXPECT_EQ(Counts{}, before) << "live bitmaps, fonts and contexts";
    EXPECT_EQ(rt::findChildWindow(window, 0, kToolbarClass), toolbarWindow);
    EXPECT_EQ(rt::windowLong(toolbarWindow, 0), toolbar);
    EXPECT_EQ(rt::bitmapSize(bitmap), Size(8, 8));
    EXPECT_EQ(rt::bitmapSize(selected), Size(9, 9));
    EXPECT_EQ(rt::selectObject(memoryDc, selected), selected) << "still selected where it was";
    EXPECT_TRUE(rt::fontOf(font));
    EXPECT_FALSE(rt::readToolbar(toolbar, ToolbarSetting::IconWidth));
  }
};

}  // namespace

TEST_F(HandleTest, EveryHandleCallTurnsAwayABadHandleAndChangesNothing) {
  struct Row {
    std::string call;
    std::set<std::string> accepts;    // the live handles this argument takes
    std::function<bool(long)> fails;  // the call with `h` in the argument, at its failure value
  };
  const Row rows[] = {
      {"findChildWindow(h, 0, class)",
       {"window"},
       [](long h) { return rt::findChildWindow(h, 0, kToolbarClass) == 0; }},
      {"windowLong(h, 0)", {"toolbar window"}, [](long h) { return rt::windowLong(h, 0) == 0; }},
      {"getDC(h)", {"window", "toolbar window"}, [](long h) { return rt::getDC(h) == 0; }},
      {"releaseDC(h, window context)", {"window"}, [this](long h) { return rt::releaseDC(h, windowDc) == 0; }},
      {"releaseDC(window, h)", {"window context"}, [this](long h) { return rt::releaseDC(window, h) == 0; }},
      {"createCompatibleDC(h)",
       {"window context", "memory context", "empty memory context"},
       [](long h) { return rt::createCompatibleDC(h) == 0; }},
      {"deleteDC(h)", {"memory context", "empty memory context"}, [](long h) { return !rt::deleteDC(h); }},
      {"createCompatibleBitmap(h, 8, 8)",
       {"window context", "memory context", "empty memory context"},
       [](long h) { return rt::createCompatibleBitmap(h, 8, 8) == 0; }},
      {"selectObject(h, bitmap)",
       {"memory context", "empty memory context"},
       [this](long h) { return rt::selectObject(h, bitmap) == 0; }},
      {"selectObject(empty memory context, h)",
       {"bitmap"},
       [this](long h) { return rt::selectObject(emptyMemoryDc, h) == 0; }},
      {"deleteObject(h)", {"bitmap", "font"}, [](long h) { return !rt::deleteObject(h); }},
      {"bitmapSize(h)", {"bitmap", "selected bitmap"}, [](long h) { return !rt::bitmapSize(h); }},
      {"fontOf(h)", {"font"}, [](long h) { return !rt::fontOf(h); }},
      {"writeToolbar(h, IconWidth, 30)",
       {"toolbar"},
       [](long h) { return !rt::writeToolbar(h, ToolbarSetting::IconWidth, 30); }},
      {"readToolbar(h, IconWidth)", {"toolbar"}, [](long h) { return !rt::readToolbar(h, ToolbarSetting::IconWidth); }},
      {"setFont entry(h, ...)",
       {"toolbar"},
       [](long h) { return rt::toolbarEntries(8)->setFont(h, "Arial", -9, 0, "") == 0; }},
  };
  const Counts before;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.call);
    // 0, negative values (one the negation of a handle the argument takes), every stale
    // handle, every live handle of another kind, and the selected bitmap.
    std::vector<Handle> bad = {{"0", 0}, {"-1", -1}};
    for (const auto& h : live)
      if (row.accepts.count(h.name)) bad.push_back({"minus the " + h.name, -h.value});
    bad.insert(bad.end(), stale.begin(), stale.end());
    for (const auto& h : live)
      if (!row.accepts.count(h.name)) bad.push_back(h);
    for (const auto& h : bad) {
      SCOPED_TRACE(h.name);
      EXPECT_TRUE(row.fails(h.value));
      expectUnchanged(before);
    }
  }
}

TEST_F(HandleTest, ABitmapSelectedIntoAContextStaysUntilTheContextLetsGoOfIt) {
  const Counts before;
  EXPECT_FALSE(rt::deleteObject(selected)) << "still selected";
  t::processEvents();
  EXPECT_EQ(rt::bitmapSize(selected), Size(9, 9)) << "the event that made it is over; its context keeps it";
  EXPECT_FALSE(rt::bitmapSize(bitmap)) << "a bitmap nothing holds goes with its event";
  EXPECT_FALSE(rt::deleteDC(windowDc)) << "a window's context is given back, not deleted";
  EXPECT_EQ(rt::releaseDC(window, memoryDc), 0) << "and a memory context is deleted, not given back";
  EXPECT_EQ(rt::liveDeviceContexts(), before.contexts);

  EXPECT_TRUE(rt::deleteDC(memoryDc));
  EXPECT_FALSE(rt::bitmapSize(selected)) << "freed with the context it was selected into";
  EXPECT_FALSE(rt::deleteDC(memoryDc)) << "once";
  EXPECT_EQ(rt::releaseDC(window, windowDc), 1);
  EXPECT_EQ(rt::releaseDC(window, windowDc), 0) << "once";
  EXPECT_TRUE(rt::deleteObject(font));
  EXPECT_FALSE(rt::deleteObject(font)) << "once";
  EXPECT_EQ(rt::liveBitmaps(), before.bitmaps - 2);
  EXPECT_EQ(rt::liveFonts(), before.fonts - 1);
  EXPECT_EQ(rt::liveDeviceContexts(), before.contexts - 2);
}

TEST_F(HandleTest, SelectingABitmapHandsBackTheOneBeforeAndFreesItWhenNothingElseHoldsIt) {
  const long other = rt::createCompatibleBitmap(windowDc, 5, 5);
  EXPECT_EQ(rt::selectObject(emptyMemoryDc, other), 0);
  EXPECT_EQ(rt::selectObject(emptyMemoryDc, bitmap), other);
  EXPECT_FALSE(rt::deleteObject(bitmap)) << "selected now";
  EXPECT_TRUE(rt::deleteObject(other)) << "no longer selected, and its event still runs";
  EXPECT_FALSE(rt::bitmapSize(other));
  EXPECT_FALSE(rt::deleteObject(other)) << "once";
  t::processEvents();
  EXPECT_EQ(rt::bitmapSize(bitmap), Size(8, 8)) << "held by its context after the event";
  EXPECT_EQ(rt::selectObject(emptyMemoryDc, selected), 0) << "one context at a time";
  const int bitmaps = rt::liveBitmaps();
  EXPECT_TRUE(rt::deleteDC(emptyMemoryDc));
  EXPECT_EQ(rt::liveBitmaps(), bitmaps - 1);
}

TEST_F(HandleTest, ABitmapTheToolbarKeepsIsTheToolbarsOnceTheEventThatMadeItIsOver) {
  const long face = rt::createCompatibleBitmap(windowDc, 31, 30);
  const long kept = rt::createCompatibleBitmap(windowDc, 31, 30);
  ASSERT_TRUE(rt::writeToolbar(toolbar, ToolbarSetting::PlainFace, face));
  ASSERT_TRUE(rt::writeToolbar(toolbar, ToolbarSetting::SunkenFace, kept));
  EXPECT_TRUE(rt::deleteObject(face)) << "its maker lets go of it while its event runs";
  EXPECT_EQ(rt::bitmapSize(face), Size(31, 30)) << "the toolbar still keeps it";
  EXPECT_FALSE(rt::deleteObject(face)) << "its maker lets go once";
  t::processEvents();
  EXPECT_EQ(rt::bitmapSize(face), Size(31, 30));
  EXPECT_EQ(rt::bitmapSize(kept), Size(31, 30));
  EXPECT_FALSE(rt::deleteObject(kept)) << "the toolbar's now";
  EXPECT_EQ(t::toolbarLook(*frame).sunkenFace, kept);

  const int bitmaps = rt::liveBitmaps();
  rt::close(frame);
  t::processEvents();
  EXPECT_EQ(rt::liveBitmaps(), bitmaps - 2) << "the faces go with the frame";
}

TEST_F(HandleTest, EveryHandleLiesInItsKindsRangeAndNoValueComesBack) {
  struct Made {
    HandleKind kind;
    long value;
  };
  std::vector<Made> made = {{HandleKind::Window, window},     {HandleKind::Window, toolbarWindow},
                            {HandleKind::Toolbar, toolbar},   {HandleKind::WindowDC, windowDc},
                            {HandleKind::MemoryDC, memoryDc}, {HandleKind::Bitmap, bitmap},
                            {HandleKind::Font, font}};
  rt::LogFont lf;
  for (int i = 0; i < 20; ++i) {
    // Each made and freed at once, so a table that reused values would hand the same one back.
    const long dc = rt::getDC(window);
    const long memory = rt::createCompatibleDC(dc);
    const long b = rt::createCompatibleBitmap(dc, 4, 4);
    const long f = rt::createFontIndirect(lf);
    made.insert(
        made.end(),
        {{HandleKind::WindowDC, dc}, {HandleKind::MemoryDC, memory}, {HandleKind::Bitmap, b}, {HandleKind::Font, f}});
    rt::deleteObject(b);
    rt::deleteObject(f);
    rt::deleteDC(memory);
    rt::releaseDC(window, dc);
    rt::Ref<w_frame> w;
    rt::open(w);
    made.push_back({HandleKind::Window, rt::handleOf(*w)});
    rt::close(w);
  }
  std::set<long> values;
  for (const auto& m : made) {
    EXPECT_GT(m.value, 0);
    EXPECT_LT(m.value, 1L << 31);
    EXPECT_EQ(rt::kindOf(m.value), m.kind) << m.value;
    EXPECT_TRUE(values.insert(m.value).second) << m.value << " handed out twice";
  }
  for (long none : {0L, -1L, -window, rt::firstHandle(HandleKind::Window) - 1, 1L << 31})
    EXPECT_FALSE(rt::kindOf(none)) << none;
}
