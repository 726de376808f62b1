// The program on a PostgreSQL server that is stopped while a window is open, and started
// again: the window tells the user, stays usable, loses nothing, and works again once the
// server is back. Each test has a server of its own, which no other test uses.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "scoring/w_jsq_gz1.h"
#include "settings/w_xm_gz.h"
#include "support/calculator.h"
#include "support/connected_app.h"
#include "support/private_server.h"
#include "support/wait.h"

namespace t = rt::testing;
using support::Strings;

namespace {

class ServerStopped : public ::testing::Test {
 protected:
  support::PrivateServer server;
  support::TempDataSource ds = server.dataSource();
  t::Session session{60000};

  void SetUp() override { registerClasses(); }
  // Opens the window of the class from a connected program and runs `act` in it.
  void inWindow(const std::string& className, std::function<void(rt::Window&)> act) {
    bool shown = false;
    t::onOpen(className, [&](rt::Window& w) {
      shown = true;
      act(w);
      if (w.isOpen()) rt::close(w);
    });
    support::ConnectedApp app;
    app.story = [&] { rt::open(className); };
    rt::run(app, 0, nullptr);
    EXPECT_EQ(app.connectError, "");
    EXPECT_TRUE(shown);
  }
  static Strings messageTexts() {
    Strings out;
    for (const auto& m : t::messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }
};

}  // namespace

TEST_F(ServerStopped, ASettingsWindowReportsEachSaveAndStoresTheChoiceOnceTheServerIsBack) {
  inWindow("w_xm_gz1", [&](rt::Window& window) {
    auto& w = static_cast<w_xm_gz&>(window);
    t::click(*w.rb_1_m);
    server.stop();
    auto save = [&] {
      t::click(*w.cb_1->command_button);
      t::processEvents();
    };
    support::timed(save);
    EXPECT_EQ(messageTexts(), Strings{"注意: 保存失败！"});
    EXPECT_TRUE(w.cb_1->enabled()) << "Save stays ready";
    EXPECT_TRUE(w.rb_1_m->checked()) << "the choice shown stays";
    // While the server is down, every Save says so at once.
    EXPECT_LT(support::timed(save).count(), 5.0);
    EXPECT_EQ(messageTexts(), (Strings{"注意: 保存失败！", "注意: 保存失败！"}));

    server.start();
    support::timed(save);
    EXPECT_EQ(t::messages().size(), 2u) << "no box once the server is back";
    EXPECT_FALSE(w.cb_1->enabled());
  });
  EXPECT_EQ(ds.query("SELECT nj || ':' || xm_1_m FROM xmsz"), "31:1");
}

TEST_F(ServerStopped, ACalculatorReportsTheLookupOnceAndScoresFromTheTableOnceTheServerIsBack) {
  ds.query(support::insertRow("31", {}));
  inWindow("w_jsq_gz1", [&](rt::Window& window) {
    auto& w = static_cast<w_jsq_gz1&>(window);
    support::enter(w, *w.em_s1, "172");
    support::enter(w, *w.em_s2, "60");
    ASSERT_EQ(w.em_s_t->text(), "15.0");
    ASSERT_TRUE(t::messages().empty());

    server.stop();
    // Leaving the weight runs the lookup and the vital capacity: one box for the sequence.
    support::timed([&] { support::enter(w, *w.em_s2, "60"); });
    ASSERT_EQ(t::messages().size(), 1u);
    EXPECT_EQ(t::messages()[0].caption, "错误");
    EXPECT_FALSE(t::messages()[0].text.empty()) << "the driver's own text";
    EXPECT_EQ(w.em_s_t->text(), "0.0");

    server.start();
    support::enter(w, *w.em_s2, "60");
    EXPECT_EQ(t::messages().size(), 1u) << "no box once the server is back";
    EXPECT_EQ(w.em_s_t->text(), "15.0");
  });
}
