// The user library's keybd_event as the program's windows see it: a Tab press moves the
// focus through the runtime's own tab order after the running event, Shift held by an
// earlier press turns it into Shift+Tab, and nothing else is served.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user32.h"
#include "runtime/controls.h"
#include "runtime/event.h"
#include "runtime/testing.h"
#include "runtime/window.h"

namespace t = rt::testing;
using Strings = std::vector<std::string>;

namespace {

template <rt::class_name_text N>
using field = rt::named<rt::SingleLineEdit, N>;

// Three tab stops and a field that is none (tab order 0), created first.
struct w_stops : rt::Window {
  RT_CLASS(w_stops)
  rt::Ref<field<"z">> z;
  rt::Ref<field<"e1">> e1;
  rt::Ref<field<"e2">> e2;
  rt::Ref<field<"e3">> e3;
  w_stops() {
    width = 1600;
    height = 900;
  }
  void create() override {
    z = insert<field<"z">>();
    e1 = insert<field<"e1">>();
    e2 = insert<field<"e2">>();
    e3 = insert<field<"e3">>();
    int y = 50;
    int order = 10;
    for (rt::Control* c : {static_cast<rt::Control*>(e1.raw()), static_cast<rt::Control*>(e2.raw()),
                           static_cast<rt::Control*>(e3.raw())}) {
      c->y = y;
      c->taborder = order;
      y += 150;
      order += 10;
    }
    z->y = y;
  }
};

std::string focusedName(rt::Window& w) {
  auto c = t::focused(w);
  return c ? c->className() : "none";
}

struct Call {
  int bvk;
  unsigned long flags;
};

void send(const std::vector<Call>& calls) {
  for (const auto& c : calls) platform::keybd_event(c.bvk, 0, c.flags, 0);
}

}  // namespace

TEST(KeybdEvent, TabMovesTheFocusAfterTheRunningEventAndShiftTurnsItBack) {
  t::Session session;
  rt::Ref<w_stops> w;
  rt::open(w);
  struct Case {
    const char* what;
    std::vector<Call> calls;
    const char* focus;  // from e2
  };
  const Case cases[] = {
      {"Tab down", {{9, 0}}, "e3"},
      {"Tab down and up", {{9, 0}, {9, 2}}, "e3"},
      {"Shift+Tab", {{16, 0}, {9, 0}, {9, 2}, {16, 2}}, "e1"},
      {"two Tabs wrap round", {{9, 0}, {9, 0}}, "e1"},
      {"two Shift+Tabs wrap round past tab order 0", {{16, 0}, {9, 0}, {9, 0}, {16, 2}}, "e3"},
      {"Shift released before the Tab", {{16, 0}, {16, 2}, {9, 0}}, "e3"},
      {"another key's release leaves Shift held", {{16, 0}, {65, 2}, {9, 0}, {16, 2}}, "e1"},
      {"a Tab release alone", {{9, 2}}, "e2"},
      {"Shift alone", {{16, 0}, {16, 2}}, "e2"},
      {"another key", {{65, 0}, {65, 2}, {13, 0}}, "e2"},
      {"flags other than press and release", {{9, 1}, {9, 3}, {9, 0x8000}}, "e2"},
      {"a Shift press with other flags holds nothing", {{16, 1}, {9, 0}}, "e3"},
      {"codes beyond a byte are no Tab", {{9 + 256, 0}, {-9, 0}, {16 + 256, 0}, {9, 2}}, "e2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    t::moveFocus(*w->e2);
    t::processEvents();
    send(c.calls);
    EXPECT_EQ(focusedName(*w), "e2") << "nothing moves during the running event";
    t::processEvents();
    EXPECT_EQ(focusedName(*w), c.focus);
    platform::keybd_event(16, 0, 2, 0);  // no Shift left over for the next case
  }
}

TEST(KeybdEvent, TheScanCodeAndExtraInformationChangeNothing) {
  t::Session session;
  rt::Ref<w_stops> w;
  rt::open(w);
  t::moveFocus(*w->e1);
  platform::keybd_event(9, 15, 0, 0xFFFFFFFFul);
  platform::keybd_event(9, 15, 2, 12345);
  t::processEvents();
  EXPECT_EQ(focusedName(*w), "e2");
}

TEST(KeybdEvent, TheMoveRunsLosefocusAndGetfocusOnceEach) {
  t::Session session;
  rt::Ref<w_stops> w;
  rt::open(w);
  t::moveFocus(*w->e3);
  t::clearJournal();
  platform::keybd_event(9, 0, 0, 0);
  platform::keybd_event(9, 0, 2, 0);
  EXPECT_TRUE(t::journal({"losefocus", "getfocus"}).empty());
  t::processEvents();
  EXPECT_EQ(t::journal({"losefocus", "getfocus"}), (Strings{"e3.losefocus", "e1.getfocus"}));
}

TEST(KeybdEvent, ATabWithNoWindowLeftToServeItIsDropped) {
  t::Session session;
  rt::Ref<w_stops> w;
  rt::open(w);
  t::moveFocus(*w->e1);
  platform::keybd_event(9, 0, 0, 0);
  rt::close(w);  // the window goes before the Tab is served: nothing is left to move
  t::processEvents();
  EXPECT_EQ(rt::runtimeErrorCount(), 0);

  // With no window of the program at all, a Tab is dropped.
  platform::keybd_event(9, 0, 0, 0);
  t::processEvents();
  EXPECT_EQ(rt::runtimeErrorCount(), 0);
}
