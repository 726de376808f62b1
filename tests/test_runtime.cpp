// The runtime core: events, runtime errors, windows, the class registry and the end of a run.

#include <gtest/gtest.h>

#include <gtest/gtest-spi.h>

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "runtime/application.h"
#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/picture.h"
#include "runtime/testing.h"
#include "runtime/units.h"
#include "runtime/window.h"
#include "support/wait.h"

namespace t = rt::testing;

namespace {

std::vector<std::string> journal;
void note(const std::string& line) { journal.push_back(line); }

struct w_main_a : rt::Window {
  RT_CLASS(w_main_a)
  w_main_a() {
    width = 1600;
    height = 1000;
    title = "A";
  }
  void open() override { note("a open"); }
  void close() override { note("a close"); }
  void destroy() override { note("a destroy"); }
};

struct w_main_b : rt::Window {
  RT_CLASS(w_main_b)
  w_main_b() {
    width = 1600;
    height = 1000;
  }
  void open() override { note("b open"); }
  void close() override { note("b close"); }
};

struct w_response : rt::Window {
  RT_CLASS(w_response)
  w_response() {
    windowtype = rt::WindowType::Response;
    width = 1200;
    height = 800;
    center = true;
  }
  void open() override { note("response open"); }
  void close() override { note("response close"); }
};

// A window whose events run into a null object reference half-way.
struct w_faulty : rt::Window {
  RT_CLASS(w_faulty)
  rt::Ref<rt::Window> nothing;
  int ticks = 0;
  w_faulty() {
    width = 1000;
    height = 800;
  }
  void open() override {
    note("faulty open begins");
    nothing->title = "never";
    note("faulty open ends");
  }
  void timer() override { ++ticks; }
};

// Counts its ticks where a closed window cannot take them with it.
struct w_ticking : rt::Window {
  RT_CLASS(w_ticking)
  static inline int ticks = 0;
  static inline int ticksDuringClose = 0;
  static inline bool waitOnClose = false;
  bool closing = false;
  w_ticking() {
    width = 1000;
    height = 800;
    ticks = ticksDuringClose = 0;
    waitOnClose = false;
  }
  void timer() override {
    ++ticks;
    if (closing) ++ticksDuringClose;
  }
  void close() override {
    closing = true;
    if (waitOnClose) t::wait(60);
  }
};

struct w_sizable : rt::Window {
  RT_CLASS(w_sizable)
  w_sizable() {
    width = 2000;
    height = 1200;
    resizable = true;
    title = "before";
  }
};

// Shows a message box from its close event.
struct w_box_on_close : rt::Window {
  RT_CLASS(w_box_on_close)
  static inline bool closed = false;
  w_box_on_close() {
    width = 1000;
    height = 800;
  }
  void close() override {
    rt::messagebox("提示", "closing");
    closed = true;
  }
};

// Throws whatever the test asks for when clicked.
struct w_thrower : rt::Window {
  RT_CLASS(w_thrower)
  static inline std::function<void()> thrower;
  w_thrower() {
    width = 1000;
    height = 800;
  }
  void clicked(unsigned long, int, int) override { thrower(); }
};

struct w_clicks : rt::Window {
  RT_CLASS(w_clicks)
  struct p_1_t : rt::Picture {
    RT_CLASS(p_1)
    int clicks = 0;
    p_1_t() {
      x = 400;
      y = 400;
      width = 400;
      height = 200;
      picturename = "no_such_picture.bmp";
    }
    void clicked() override { ++clicks; }
  };
  rt::Ref<p_1_t> p_1;
  std::vector<std::pair<int, int>> windowClicks;
  w_clicks() {
    width = 2000;
    height = 1200;
    titlebar = false;
    backcolor = rt::Color::rgb(0, 128, 0);
  }
  void create() override { p_1 = insert<p_1_t>(); }
  void clicked(unsigned long, int xpos, int ypos) override { windowClicks.push_back({xpos, ypos}); }
};

// A response window whose open event opens another before it is itself on screen.
struct w_response_opening : rt::Window {
  RT_CLASS(w_response_opening)
  w_response_opening() {
    windowtype = rt::WindowType::Response;
    width = 1000;
    height = 600;
  }
  void open() override {
    rt::open<w_response>();
    rt::close(*this);
  }
};

struct TestApp : rt::Application {
  std::function<void()> onOpen;
  void open(const std::string&) override {
    note("app open");
    if (onOpen) onOpen();
    note("app open ends");
  }
  void close() override { note("app close"); }
  void destroy() override { note("app destroy"); }
};

class RuntimeTest : public ::testing::Test {
 protected:
  t::Session session;
  void SetUp() override {
    journal.clear();
    rt::registerWindow<w_main_a>();
    rt::registerWindow<w_main_b>();
    rt::registerWindow<w_response>();
  }
  static int run(TestApp& app) { return rt::run(app, 0, nullptr); }
};

}  // namespace

TEST_F(RuntimeTest, ARuntimeErrorAbortsTheRestOfItsEventAndNothingElse) {
  rt::open<w_faulty>();
  auto w = rt::global<w_faulty>();
  ASSERT_TRUE(w);
  EXPECT_EQ(journal, (std::vector<std::string>{"faulty open begins"}));
  EXPECT_TRUE(w->isOpen());
  ASSERT_NE(rt::lastRuntimeError(), nullptr);
  // The program goes on: the next event of the same window runs.
  t::fireTimer(*w);
  EXPECT_EQ(w->ticks, 1);
  EXPECT_EQ(rt::close(*w), 1);
}

TEST_F(RuntimeTest, TheOpenerOfAResponseWindowResumesOnlyAfterItHasClosed) {
  TestApp app;
  app.onOpen = [] {
    rt::open<w_response>();
    note("opener resumes");
  };
  t::onOpen("w_response", [](rt::Window& w) {
    note("response on screen");
    rt::close(w);
  });
  run(app);
  EXPECT_EQ(journal, (std::vector<std::string>{"app open", "response open", "response on screen", "response close",
                                               "opener resumes", "app open ends", "app close", "app destroy"}));
}

TEST_F(RuntimeTest, TheRunEndsWhenTheLastWindowClosesAndNotBefore) {
  TestApp app;
  app.onOpen = [] { rt::open<w_main_a>(); };
  // Closing A and then opening B in one event does not end the run; closing B does.
  t::onOpen("w_main_a", [](rt::Window& a) {
    rt::close(a);
    rt::open<w_main_b>();
  });
  t::onOpen("w_main_b", [](rt::Window& b) {
    note("b on screen");
    rt::close(b);
  });
  run(app);
  EXPECT_EQ(journal, (std::vector<std::string>{"app open", "a open", "app open ends", "a close", "a destroy", "b open",
                                               "b on screen", "b close", "app close", "app destroy"}));
}

TEST_F(RuntimeTest, ARunWithoutAnyWindowEndsAfterItsOpenEvent) {
  TestApp app;
  EXPECT_EQ(run(app), 0);
  EXPECT_EQ(journal, (std::vector<std::string>{"app open", "app open ends", "app close", "app destroy"}));
}

TEST_F(RuntimeTest, WindowsOpenByAClassNameHeldInAString) {
  EXPECT_TRUE(rt::classExists("w_main_a"));
  EXPECT_TRUE(rt::classExists("W_MAIN_A"));
  EXPECT_FALSE(rt::classExists("w_nowhere"));

  rt::Ref<rt::Window> w;
  EXPECT_EQ(rt::open(w, "W_Main_B"), 1);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->className(), "w_main_b");

  rt::Ref<rt::Window> none;
  EXPECT_EQ(rt::open(none, "w_nowhere"), -1);
  EXPECT_FALSE(none);
  EXPECT_EQ(rt::openWindows().size(), 1u);
}

TEST_F(RuntimeTest, OpeningThroughTheGlobalVariableReusesAnOpenWindow) {
  rt::open<w_main_a>();
  auto first = rt::global<w_main_a>();
  rt::open<w_main_a>();
  EXPECT_TRUE(rt::global<w_main_a>() == first);
  EXPECT_EQ(rt::openWindows().size(), 1u);
  EXPECT_EQ(journal, (std::vector<std::string>{"a open"}));
}

TEST_F(RuntimeTest, AClosedWindowReadsAsNullEverywhere) {
  rt::open<w_clicks>();
  rt::Ref<w_clicks> w = rt::global<w_clicks>();
  auto picture = w->p_1;
  ASSERT_TRUE(picture->getParent() == w);
  EXPECT_EQ(rt::close(*w), 1);
  EXPECT_FALSE(w);
  EXPECT_FALSE(rt::global<w_clicks>());
  EXPECT_FALSE(picture);
  EXPECT_THROW(w->title = "x", rt::NullObjectError);
  EXPECT_FALSE(rt::dispatch([&] { picture->clicked(); }));
  EXPECT_THROW(rt::close(w), rt::NullObjectError);
}

TEST_F(RuntimeTest, ClicksReachTheControlUnderThePointerOrTheWindow) {
  rt::open<w_clicks>();
  auto w = rt::global<w_clicks>();
  t::click(*w, 500, 450);  // on the picture
  EXPECT_EQ(w->p_1->clicks, 1);
  EXPECT_TRUE(w->windowClicks.empty());

  t::click(*w, 1400, 800);  // beside it
  ASSERT_EQ(w->windowClicks.size(), 1u);
  EXPECT_NEAR(w->windowClicks[0].first, 1400, 5);
  EXPECT_NEAR(w->windowClicks[0].second, 800, 4);

  w->p_1->enabled = false;  // a disabled control takes no clicks
  t::click(*w->p_1);
  EXPECT_EQ(w->p_1->clicks, 1);
}

TEST_F(RuntimeTest, AMissingPictureLeavesTheBackColourShowing) {
  rt::open<w_clicks>();
  auto w = rt::global<w_clicks>();
  EXPECT_EQ(t::pixelAt(*w, 600, 500), rt::Color::rgb(0, 128, 0));
  EXPECT_FALSE(t::hasFrame(*w));
}

TEST_F(RuntimeTest, TimersFireUntilTheWindowCloses) {
  rt::open<w_ticking>();
  auto w = rt::global<w_ticking>();
  rt::timer(0.01, *w);
  support::waitUntil([] { return w_ticking::ticks >= 2; }, 2000);
  EXPECT_GE(w_ticking::ticks, 2);
  EXPECT_DOUBLE_EQ(w->timerInterval(), 0.01);
  rt::timer(0, *w);
  const int stopped = w_ticking::ticks;
  t::wait(50);
  EXPECT_EQ(w_ticking::ticks, stopped);

  // Its close event waits: no tick reaches it then, nor after the window is gone.
  rt::timer(0.01, *w);
  w_ticking::waitOnClose = true;
  rt::close(*w);
  EXPECT_EQ(w_ticking::ticksDuringClose, 0);
  const int closed = w_ticking::ticks;
  t::wait(60);
  EXPECT_EQ(w_ticking::ticks, closed);
}

TEST_F(RuntimeTest, ResponseWindowsAreCentredInLogicalUnits) {
  t::onOpen("w_response", [](rt::Window& w) {
    const auto screen = t::screenGeometry();
    EXPECT_EQ(w.x, (rt::units::toUnitsX(screen.width) - 1200) / 2);
    EXPECT_EQ(w.y, (rt::units::toUnitsY(screen.height) - 800) / 2);
    EXPECT_TRUE(t::hasFrame(w));
    rt::close(w);
  });
  rt::open<w_response>();
  EXPECT_EQ(t::openedCount("w_response"), 1);
}

TEST_F(RuntimeTest, MessageBoxesAreRecordedNotShown) {
  rt::messagebox("注意", "保存失败！", rt::Icon::Exclamation);
  rt::messagebox("提示", "text");
  ASSERT_EQ(t::messages().size(), 2u);
  EXPECT_EQ(t::messages()[0].caption, "注意");
  EXPECT_EQ(t::messages()[0].text, "保存失败！");
  EXPECT_EQ(t::messages()[0].icon, rt::Icon::Exclamation);
  EXPECT_EQ(t::messages()[1].icon, rt::Icon::Information);
}

TEST_F(RuntimeTest, AnyExceptionAbortsOnlyItsEventAndTheRunGoesOn) {
  struct Case {
    const char* kind;
    std::function<void()> raise;
  };
  const Case cases[] = {
      {"runtime error", [] { throw rt::NullObjectError(); }},
      {"out_of_range", [] { (void)std::string("ab").at(5); }},
      {"invalid_argument", [] { (void)std::stoi("none"); }},
      {"bad_variant_access", [] { (void)std::get<int>(std::variant<int, std::string>("x")); }},
  };
  std::weak_ptr<rt::Window> gone;
  t::onOpen("w_thrower", [&gone](rt::Window& w) {
    gone = rt::refTo(w).weak();
    t::click(w, 500, 400);         // from a click
    rt::post(w_thrower::thrower);  // and from a posted event
    rt::post([&w] {
      note("closing");
      rt::close(w);
    });
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    journal.clear();
    w_thrower::thrower = c.raise;
    const int errorsBefore = rt::runtimeErrorCount();
    TestApp app;
    app.onOpen = [] { rt::open<w_thrower>(); };
    EXPECT_EQ(run(app), 0);
    EXPECT_EQ(rt::runtimeErrorCount(), errorsBefore + 2);
    EXPECT_EQ(rt::eventDepth(), 0);
    EXPECT_TRUE(gone.expired()) << "the closed window is freed";
    EXPECT_EQ(journal, (std::vector<std::string>{"app open", "app open ends", "closing", "app close", "app destroy"}));
  }
}

TEST_F(RuntimeTest, AResponseWindowOutlivesTheWindowItWasOpenedFrom) {
  rt::open<w_main_a>();
  rt::Ref<rt::Window> opener = rt::global<w_main_a>();
  bool shownAfterOpenerGone = false;
  t::onOpen("w_response", [&](rt::Window& r) {
    rt::close(opener);
    rt::Ref<rt::Window> response = rt::refTo(r);
    rt::post([&shownAfterOpenerGone, response] {
      t::wait(30);  // the opener's widget is deleted meanwhile
      shownAfterOpenerGone = response && t::isShown(*response);
      rt::close(response);
    });
  });
  rt::Ref<w_response> response;
  rt::open(response, opener);
  EXPECT_TRUE(shownAfterOpenerGone);
  EXPECT_FALSE(response);
  EXPECT_FALSE(opener);
}

TEST_F(RuntimeTest, AWindowOpenedWithAParentOutlivesIt) {
  rt::open<w_main_a>();
  rt::Ref<rt::Window> parent = rt::global<w_main_a>();
  rt::Ref<rt::Window> child;
  ASSERT_EQ(rt::open(child, "w_main_b", parent), 1);
  rt::close(parent);
  t::wait(30);
  ASSERT_TRUE(child);
  EXPECT_TRUE(t::isShown(*child));
  EXPECT_EQ(rt::openWindows().size(), 1u);
  EXPECT_EQ(rt::close(child), 1);
  t::wait(30);
  EXPECT_TRUE(rt::openWindows().empty());
}

// A response window opened with no parent belongs to the window whose event opens it, or
// to the window that window belongs to while it is still opening; only where no window's
// event runs, to the newest window on screen.
TEST_F(RuntimeTest, AResponseWindowWithoutParentBelongsToTheWindowWhoseEventOpensIt) {
  rt::open<w_main_a>();
  rt::open<w_main_b>();  // opened last, and on screen
  rt::Ref<rt::Window> a = rt::global<w_main_a>(), b = rt::global<w_main_b>();
  std::string owner;
  t::onOpen("w_response", [&](rt::Window& r) {
    const QWindow* parent = r.widget()->windowHandle()->transientParent();
    owner = !parent                                 ? "none"
            : parent == a->widget()->windowHandle() ? "a"
            : parent == b->widget()->windowHandle() ? "b"
                                                    : "another";
    rt::close(r);
  });
  struct Case {
    const char* what;
    std::function<void()> act;
    std::string owner;
  };
  const Case cases[] = {
      {"a's event", [&] { rt::dispatchEvent(*a, "ue_open", [] { rt::open<w_response>(); }); }, "a"},
      {"b's event", [&] { rt::dispatchEvent(*b, "ue_open", [] { rt::open<w_response>(); }); }, "b"},
      {"the open event of a window a's event opens",
       [&] { rt::dispatchEvent(*a, "ue_open", [] { rt::open<w_response_opening>(); }); }, "a"},
      {"an event posted from a's event",
       [&] {
         rt::dispatchEvent(*a, "ue_open", [] { rt::post([] { rt::open<w_response>(); }); });
         t::processEvents();
       },
       "b"},
      {"no event", [] { rt::open<w_response>(); }, "b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.clear();
    c.act();
    EXPECT_EQ(owner, c.owner);
  }
  rt::close(a);
  rt::close(b);
}

TEST_F(RuntimeTest, OpeningByNameGoesThroughTheClassesGlobalVariable) {
  EXPECT_EQ(rt::open("W_MAIN_A"), 1);
  auto first = rt::global<w_main_a>();
  ASSERT_TRUE(first);
  EXPECT_EQ(rt::open("w_main_a"), 1);
  EXPECT_TRUE(rt::global<w_main_a>() == first);
  EXPECT_EQ(rt::openWindows().size(), 1u);
  EXPECT_EQ(rt::open("w_nowhere"), -1);
}

TEST_F(RuntimeTest, WhatTheUserDraggedStaysAndTheLogicalPropertiesFollow) {
  rt::open<w_sizable>();
  auto w = rt::global<w_sizable>();
  ASSERT_TRUE(t::waitExposed(*w));
  const auto screen = t::screenGeometry();
  t::userResize(*w, 600, 400);
  t::userMove(*w, screen.x + 70, screen.y + 50);
  EXPECT_EQ(w->width, rt::units::toUnitsX(600 + 2 * rt::units::kFramePixels));
  EXPECT_EQ(w->height, rt::units::toUnitsY(400 + 2 * rt::units::kFramePixels + rt::units::kTitleBarPixels));
  EXPECT_EQ(w->x, rt::units::toUnitsX(70));
  EXPECT_EQ(w->y, rt::units::toUnitsY(50));

  const auto dragged = t::windowGeometry(*w);
  w->title = "after";
  w->icon = "Exit!";
  w->enabled = false;
  w->enabled = true;
  t::processEvents();
  const auto now = t::windowGeometry(*w);
  EXPECT_EQ(now.width, 600);
  EXPECT_EQ(now.height, 400);
  EXPECT_EQ(now.x, dragged.x);
  EXPECT_EQ(now.y, dragged.y);

  // A size set by program is applied.
  w->width = 1000;
  EXPECT_EQ(t::windowGeometry(*w).width, rt::units::toPixelsX(1000) - 2 * rt::units::kFramePixels);

  w->visible = false;
  EXPECT_FALSE(t::isShown(*w));
  w->visible = true;
  EXPECT_TRUE(t::isShown(*w));
}

TEST(Units, LogicalUnitsMapToPixelsAtOneFixedScale) {
  struct Case {
    int ux, uy, px, py;
  };
  const Case cases[] = {{411, 392, 90, 98}, {1861, 1076, 407, 269}, {0, 0, 0, 0}, {32, 4, 7, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(rt::units::toPixelsX(c.ux), c.px) << c.ux;
    EXPECT_EQ(rt::units::toPixelsY(c.uy), c.py) << c.uy;
  }
  EXPECT_EQ(rt::units::toUnitsX(7), 32);
  EXPECT_EQ(rt::units::toUnitsY(98), 392);
}

// The harness itself: a test that goes wrong ends instead of hanging.

TEST(Harness, WindowsLeftOpenCloseWithTheirMessageBoxesStillRecorded) {
  w_box_on_close::closed = false;
  {
    t::Session session;
    rt::open<w_box_on_close>();
  }  // a real box here would wait for an answer that never comes
  EXPECT_TRUE(w_box_on_close::closed);
}

TEST(Harness, TheWatchdogTurnsAHangIntoAFailure) {
  t::Session session(300);
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    rt::open<w_response>();  // nobody closes it
  }
  EXPECT_TRUE(session.watchdogFired());
  ASSERT_EQ(failures.size(), 1);
  EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("watchdog"), std::string::npos);
  EXPECT_TRUE(rt::openWindows().empty());
}

TEST(Harness, AnActionThatThrowsClosesItsWindow) {
  t::Session session(5000);
  t::onOpen("w_response", [](rt::Window&) { throw std::runtime_error("the action went wrong"); });
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    rt::open<w_response>();
  }
  EXPECT_FALSE(session.watchdogFired());
  ASSERT_EQ(failures.size(), 1);
  EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("went wrong"), std::string::npos);
}

// Run by ctest on its own and expected to fail (not to hang): an action whose assertion
// fails closes its response window, so the opener returns.
TEST(Harness, DISABLED_AnActionWhoseAssertionFailsClosesItsWindow) {
  t::Session session(60000);
  t::onOpen("w_response", [](rt::Window&) { ASSERT_TRUE(false) << "the expected failure"; });
  rt::open<w_response>();
  EXPECT_FALSE(session.watchdogFired());
}
