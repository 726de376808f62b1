// The program on a PostgreSQL server that is stopped while a window is open, and started
// again: the window tells the user, stays usable, loses nothing, and works again once the
// server is back. Each test has a server of its own, which no other test uses.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "scoring/w_jsq_gz1.h"
#include "scoring/w_jsq_gz3.h"
#include "settings/w_xm_gz.h"
#include "shell/book.h"
#include "shell/m_main.h"
#include "shell/w_main1.h"
#include "support/calculator.h"
#include "support/child.h"
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
  // `beforeOpen` runs once the program has connected.
  void inWindow(const std::string& className, std::function<void(rt::Window&)> act,
                std::function<void()> beforeOpen = {}) {
    bool shown = false;
    t::onOpen(className, [&](rt::Window& w) {
      shown = true;
      act(w);
      if (w.isOpen()) rt::close(w);
    });
    support::ConnectedApp app;
    app.story = [&] {
      if (beforeOpen) beforeOpen();
      rt::open(className);
    };
    rt::run(app, 0, nullptr);
    EXPECT_EQ(app.connectError, "");
    EXPECT_TRUE(shown);
  }
  // A grade-one calculator with a height and a weight scored from the table, then `act`.
  void inScoredCalculator(std::function<void(w_jsq_gz1&)> act) {
    ds.query(support::insertRow("31", {}));
    inWindow("w_jsq_gz1", [&](rt::Window& window) {
      auto& w = static_cast<w_jsq_gz1&>(window);
      support::enter(w, *w.em_s1, "172");
      support::enter(w, *w.em_s2, "60");
      ASSERT_EQ(w.em_s_t->text(), "15.0");
      act(w);
    });
  }
  static Strings messageTexts() {
    Strings out;
    for (const auto& m : t::messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }
};

// The connection the program makes at start-up, or one with automatic commit on.
class Restarted : public ::testing::Test {
 protected:
  support::PrivateServer server;
  support::TempDataSource ds = server.dataSource();
  rt::Transaction t;
  void connect(bool autocommit) {
    t.dbms = "ODBC";
    t.autocommit = autocommit;
    t.dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
    ASSERT_EQ(t.connect(), 0) << t.sqlerrtext;
  }
  // As an update or a nightly maintenance does while the program stays open.
  void restart() {
    server.stop();
    server.start();
  }
  int count() {
    std::optional<long long> n;
    const int rc = t.selectInto("SELECT count(*) FROM xmsz", {}, {&n});
    return rc == 0 && n ? static_cast<int>(*n) : rc * 1000;
  }
  int insert(const std::string& nj) { return t.execute("INSERT INTO xmsz (nj) VALUES (?)", {nj}); }
  std::string stored() { return ds.query("SELECT coalesce(string_agg(nj, ',' ORDER BY nj), '') FROM xmsz"); }
};

}  // namespace

// The driver learns of a restart only from the statement that meets it: a statement that
// begins a transaction connects again and runs once more, since what was lost had changed
// nothing. While the server is down the failure is the reconnect's.
TEST_F(Restarted, AStatementThatBeginsATransactionConnectsAgainAndRunsOnce) {
  connect(false);
  ASSERT_EQ(count(), 0);
  restart();
  EXPECT_EQ(count(), 0) << t.sqlerrtext;
  EXPECT_EQ(t.sqlerrtext, "");
  restart();
  EXPECT_EQ(insert("31"), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(stored(), "31") << "run once";

  server.stop();
  std::optional<long long> n;
  EXPECT_EQ(t.selectInto("SELECT count(*) FROM xmsz", {}, {&n}), -1);
  EXPECT_EQ(t.sqlerrtext.find("terminating connection"), std::string::npos)
      << "the reconnect's text, not the lost statement's: " << t.sqlerrtext;
  EXPECT_NE(t.sqlerrtext, "");
  server.start();
  EXPECT_EQ(count(), 1) << t.sqlerrtext;
}

// Inside a transaction that has changed rows the loss took those changes: nothing goes on
// and nothing runs twice until the program rolls back; then the next statement connects
// again.
TEST_F(Restarted, InsideAChangedTransactionEveryStatementFailsUntilTheRollback) {
  connect(false);
  ASSERT_EQ(insert("31"), 0) << t.sqlerrtext;
  restart();
  EXPECT_EQ(insert("32"), -1);
  EXPECT_EQ(count(), -1000);
  EXPECT_EQ(t.commit(), -1);
  EXPECT_EQ(t.rollback(), 0) << t.sqlerrtext;
  EXPECT_EQ(insert("33"), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(stored(), "33");
}

// With automatic commit on a change may have committed before the loss: it is never run
// twice, and the statement after it connects again. A read is run again.
TEST_F(Restarted, WithAutomaticCommitOnlyAReadRunsAgain) {
  connect(true);
  ASSERT_EQ(count(), 0);
  restart();
  EXPECT_EQ(insert("31"), -1);
  EXPECT_EQ(stored(), "");
  EXPECT_EQ(insert("32"), 0) << t.sqlerrtext;
  restart();
  EXPECT_EQ(count(), 1) << t.sqlerrtext;
  EXPECT_EQ(stored(), "32") << "committed each";
}

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

// A server restarted while a window is open costs the teacher nothing: the first lookup and
// the first Save after it work, with no message.
TEST_F(ServerStopped, AfterARestartTheFirstLookupAndTheFirstSaveWork) {
  inScoredCalculator([&](w_jsq_gz1& w) {
    w.em_s_t->text = "";
    server.stop();
    server.start();
    support::enter(w, *w.em_s1, "172");
    EXPECT_EQ(messageTexts(), Strings{});
    EXPECT_EQ(w.em_s_t->text(), "15.0");
    EXPECT_EQ(w.em_xn_t->text(), "15.0");
  });
  inWindow("w_xm_gz1", [&](rt::Window& window) {
    auto& w = static_cast<w_xm_gz&>(window);
    t::click(*w.rb_1_m);
    server.stop();
    server.start();
    t::click(*w.cb_1->command_button);
    t::processEvents();
    EXPECT_EQ(messageTexts(), Strings{});
    EXPECT_FALSE(w.cb_1->enabled());
    EXPECT_EQ(ds.query("SELECT xm_1_m FROM xmsz WHERE nj = '31'"), "1") << "stored at once";
  });
}

namespace {
// With a step test scored the server goes down and the height field is left: one box, and
// the item, the total, its level and `unknownToo` show nothing (the attendance cap ticked
// too), while the step test's score stays; once the server is back the field left again shows them all.
void lookupWhileDown(support::PrivateServer& server, w_jsq& w, std::vector<rt::TextControl*> unknownToo) {
  support::enter(w, *w.em_s1, "172");
  support::enter(w, *w.em_s2, "60");
  support::enter(w, *w.em_t, "64");
  ASSERT_EQ(w.em_s_t->text(), "15.0");
  t::click(*w.cbx_59);  // capped or not, nothing is shown while an item is unknown
  unknownToo.insert(unknownToo.begin(), {w.em_s_t.raw(), w.em_xn_t.raw(), w.sle_dj.raw()});
  auto shown = [&] {
    Strings out;
    for (rt::TextControl* c : unknownToo) out.push_back(c->className() + "=" + c->text());
    return out;
  };
  const Strings before = shown();
  const std::string step = w.em_t_t->text();
  const rt::Color levelColour = w.sle_dj->textcolor();

  server.stop();
  support::timed([&] { support::enter(w, *w.em_s1, "172"); });
  ASSERT_EQ(t::messages().size(), 1u);
  EXPECT_EQ(t::messages()[0].caption, "错误");
  EXPECT_FALSE(t::messages()[0].text.empty()) << "the driver's own text";
  Strings empty;
  for (rt::TextControl* c : unknownToo) empty.push_back(c->className() + "=");
  EXPECT_EQ(shown(), empty);
  EXPECT_EQ(w.sle_dj->textcolor(), levelColour);
  EXPECT_EQ(w.em_t_t->text(), step) << "the step test's score still shown";

  server.start();
  support::enter(w, *w.em_s1, "172");
  EXPECT_EQ(t::messages().size(), 1u) << "no box once the server is back";
  EXPECT_EQ(shown(), before);
}
}  // namespace

TEST_F(ServerStopped, ALookupWhileTheServerIsDownLeavesTheItemAndTheTotalUnknown) {
  ds.query(support::insertRow("31", {}));
  inWindow("w_jsq_gz1", [&](rt::Window& window) { lookupWhileDown(server, static_cast<w_jsq&>(window), {}); });
}

TEST_F(ServerStopped, InGradeThreeTheGraduationBlockIsUnknownToo) {
  ds.query(support::insertRow("33", {}));
  inWindow("w_jsq_gz3", [&](rt::Window& window) {
    auto& w = static_cast<w_jsq_gz3&>(window);
    support::enter(w, *w.em_c1, "80");
    support::enter(w, *w.em_c2, "80");
    lookupWhileDown(server, w, {w.em_by_cj.raw(), w.sle_by_dj.raw()});
    EXPECT_NE(w.em_by_cj->text(), "");
    EXPECT_NE(w.sle_by_dj->text(), "");
  });
}

// A rollback that is the first call to meet a restart: the server threw that work away
// already, which is what a rollback asks for. It succeeds, and the next statement works on
// a new connection.
TEST_F(Restarted, ARollbackThatMeetsALostConnectionSucceedsAndTheNextStatementWorks) {
  connect(false);
  ASSERT_EQ(insert("31"), 0) << t.sqlerrtext;
  restart();
  EXPECT_EQ(t.rollback(), 0) << t.sqlerrtext;
  EXPECT_EQ(count(), 0) << t.sqlerrtext;
  EXPECT_EQ(insert("32"), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(stored(), "32");
}

// However a failed write transaction ends, by commit as here, the next transaction has a
// new connection, once: a healthy transaction after it keeps its connection when it is
// rolled back.
TEST_F(Restarted, AFailedWriteThenCommitRenewsTheConnectionOnce) {
  connect(false);
  auto backend = [&] {
    std::optional<long long> pid;
    EXPECT_EQ(t.selectInto("SELECT pg_backend_pid()", {}, {&pid}), 0) << t.sqlerrtext;
    return pid.value_or(-1);
  };
  ASSERT_EQ(insert("31"), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  const long long first = backend();
  EXPECT_EQ(backend(), first);
  EXPECT_EQ(insert("31"), -1) << "the key is taken";
  t.commit();
  const long long renewed = backend();
  EXPECT_NE(renewed, first);
  EXPECT_EQ(insert("32"), 0) << t.sqlerrtext;
  EXPECT_EQ(t.rollback(), 0) << t.sqlerrtext;
  EXPECT_EQ(backend(), renewed);
  EXPECT_EQ(insert("33"), 0) << t.sqlerrtext;
  EXPECT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(backend(), renewed);
  EXPECT_EQ(stored(), "31,33");
}

// ---- a server that stops answering: every call bounded

namespace {
// The runtime's text for a call the server did not answer in time.
constexpr const char* kUnanswered = "did not answer within 8 seconds";
// From the key to the box: the bound of 8 s, and a little for the rest.
constexpr double kMostSeconds = 9.0;
}  // namespace

// The server process of the program's connection stops, as a hung server does: one box
// within the bound, the item and the total unknown; the next lookup, that process still
// stopped, scores on a new connection.
TEST_F(ServerStopped, ALookupOnAServerProcessThatStopsAnsweringFailsWithinTheBound) {
  inScoredCalculator([&](w_jsq_gz1& w) {
    support::Frozen stopped = support::stopProcess(ds.programBackendPid());
    const double waited = support::timed([&] { support::enter(w, *w.em_s1, "185"); }).count();
    EXPECT_LT(waited, kMostSeconds);
    ASSERT_EQ(t::messages().size(), 1u);
    EXPECT_EQ(t::messages()[0].caption, "错误");
    EXPECT_NE(t::messages()[0].text.find(kUnanswered), std::string::npos) << t::messages()[0].text;
    EXPECT_EQ(w.em_s_t->text(), "");
    EXPECT_EQ(w.em_xn_t->text(), "");
    EXPECT_EQ(w.sle_dj->text(), "");

    support::enter(w, *w.em_s1, "172");
    EXPECT_EQ(t::messages().size(), 1u) << t::messages().back().text;
    EXPECT_EQ(w.em_s_t->text(), "15.0");
    EXPECT_FALSE(stopped.expired()) << "still stopped";
  });
}

// The whole server frozen during a Save: "保存失败！" within the bound, the wait cursor for
// the whole wait; thawed, the next Save stores with no restart, and the given-up connection
// is ended by its own thread.
TEST_F(ServerStopped, ASaveOnAFrozenServerFailsWithinTheBoundAndTheNextOneStores) {
  inWindow("w_xm_gz1", [&](rt::Window& window) {
    auto& w = static_cast<w_xm_gz&>(window);
    const int givenUp = ds.programBackendPid();
    t::click(*w.rb_1_m);
    t::clearJournal();
    double waited = 0;
    {
      support::Frozen frozen = server.freezeFor();
      waited = support::timed([&] {
                 t::click(*w.cb_1->command_button);
                 t::processEvents();
               }).count();
      EXPECT_FALSE(frozen.expired());
    }
    EXPECT_LT(waited, kMostSeconds);
    EXPECT_EQ(messageTexts(), Strings{"注意: 保存失败！"});
    const Strings seen = t::journal({"busy", "idle", "execute", "messagebox"});
    EXPECT_EQ(Strings(seen.end() - std::min<std::ptrdiff_t>(4, std::ssize(seen)), seen.end()),
              (Strings{"cursor.busy", "driver.execute", "cursor.idle", "注意.messagebox"}))
        << [&] {
             std::string all;
             for (const auto& e : seen) all += e + " ";
             return all;
           }();

    t::click(*w.rb_t_m);  // another choice than the one given up
    t::click(*w.cb_1->command_button);
    t::processEvents();
    EXPECT_EQ(t::messages().size(), 1u) << t::messages().back().text;
    EXPECT_FALSE(w.cb_1->enabled());
    EXPECT_EQ(ds.query("SELECT xm_t_m || xm_1_m FROM xmsz WHERE nj = '31'"), "10");
    EXPECT_TRUE(support::waitUntil(
        [&] { return ds.query("SELECT count(*) FROM pg_stat_activity WHERE pid = " + std::to_string(givenUp)) == "0"; },
        5000))
        << "the given-up connection is ended once the server answers";
  });
}

// The connection lost, then the whole server frozen: the reconnect is the call that waits.
// Either the driver's login time-out or the bound ends it; thawed, the next lookup works.
TEST_F(ServerStopped, AReconnectToAFrozenServerFailsWithinTheBound) {
  inScoredCalculator([&](w_jsq_gz1& w) {
    ds.endConnections();
    double waited = 0;
    {
      support::Frozen frozen = server.freezeFor();
      waited = support::timed([&] { support::enter(w, *w.em_s1, "185"); }).count();
      EXPECT_FALSE(frozen.expired());
    }
    EXPECT_LT(waited, kMostSeconds);
    ASSERT_EQ(t::messages().size(), 1u);
    EXPECT_EQ(t::messages()[0].caption, "错误");
    EXPECT_EQ(w.em_s_t->text(), "");
    support::enter(w, *w.em_s1, "172");
    EXPECT_EQ(t::messages().size(), 1u) << t::messages().back().text;
    EXPECT_EQ(w.em_s_t->text(), "15.0");
  });
}

// ---- opened while the server is down: a failed retrieve is told, not taken for no row

TEST_F(ServerStopped, ASettingsWindowOpenedWhileTheServerIsDownTellsWhyItsChoicesAreEmpty) {
  ds.query(support::insertRow("31", {}));
  inWindow(
      "w_xm_gz1",
      [&](rt::Window& window) {
        auto& w = static_cast<w_xm_gz&>(window);
        ASSERT_EQ(t::messages().size(), 1u);
        EXPECT_EQ(t::messages()[0].caption, "错误");
        EXPECT_EQ(t::messages()[0].icon, rt::Icon::Information);
        EXPECT_NE(t::messages()[0].text, "");
        EXPECT_EQ(t::messages()[0].text, rt::sqlca()->sqlerrtext);
        EXPECT_FALSE(w.rb_1_m->checked());
        EXPECT_TRUE(w.cb_1->enabled()) << "a new row, ready to save";
      },
      [&] { server.stop(); });
}

TEST_F(ServerStopped, ACalculatorOpenedWhileTheServerIsDownTellsEachFailedRetrieveOnce) {
  ds.query(support::insertRow("31", {}));
  bool settingsReady = false;
  t::onOpen("w_xm_gz1", [&](rt::Window& window) {
    auto& w = static_cast<w_xm_gz&>(window);
    settingsReady = w.cb_1->enabled();
    rt::close(w);
  });
  support::ConnectedApp app;
  app.story = [&] {
    server.stop();
    rt::open("w_jsq_gz1");
  };
  rt::run(app, 0, nullptr);
  ASSERT_EQ(app.connectError, "");
  Strings captions;
  for (const auto& m : t::messages()) captions.push_back(m.caption);
  EXPECT_EQ(captions, (Strings{"错误", "注意", "错误", "错误"}));
  ASSERT_EQ(t::messages().size(), 4u);
  EXPECT_EQ(t::messages()[1].text, "请先设置好高中一年级测试项目！");
  EXPECT_TRUE(settingsReady);
  EXPECT_FALSE(rt::global<w_jsq_gz1>()) << "closed, as after any failed retrieve once the settings window closed";
}

// ---- the program closed while a given-up call is still stuck

namespace {

constexpr const char* kStuckChild = "ORVIDA_STUCK_CHILD";  // the server's folder
constexpr const char* kStuckLine = "given up, closing: ";

// The child's part: the program as it ships, on the parent's server and data source. Once
// its calculator is open the server is frozen, a lookup is given up, and 退出系统 is chosen;
// then it returns, and the test program ends as any does.
void closeWhileStuck(const std::string& serverDir) {
  registerClasses();
  t::Session session{60000};
  t::onOpen("w_flash", [](rt::Window& w) { t::fireTimer(w); });
  t::onOpen("w_pwd", [](rt::Window& w) { t::pressKey(w, Qt::Key_L, Qt::AltModifier); });
  t::onOpen("w_main1", [](rt::Window& w) {
    auto menu = rt::cast<m_main>(static_cast<w_main1&>(w).menu());
    rt::pick(*menu->m_成绩计算->m_高中->m_1);
  });
  t::onOpen("w_jsq_gz1", [serverDir](rt::Window& window) {
    auto& w = static_cast<w_jsq_gz1&>(window);
    support::enter(w, *w.em_s1, "172");
    support::enter(w, *w.em_s2, "60");
    const std::string freeze = "'" + support::sourceDir() + "/tests/support/pg-server' freeze '" + serverDir + "'";
    EXPECT_EQ(std::system(freeze.c_str()), 0);
    support::enter(w, *w.em_s1, "185");
    std::printf("%s%zu\n", kStuckLine, t::messages().size());
    std::fflush(stdout);
    rt::close(w);
    rt::post([] {
      if (auto frame = rt::global<w_main1>()) t::pressKey(*frame, Qt::Key_X, Qt::AltModifier);  // 退出系统
    });
  });
  book app;
  rt::run(app, 0, nullptr);
}

}  // namespace

TEST(ProgramClosed, WhileAGivenUpCallIsStillStuckItEndsAtOnce) {
  if (const char* dir = std::getenv(kStuckChild)) {
    closeWhileStuck(dir);
    return;
  }
  support::PrivateServer server;
  support::TempDataSource ds = server.dataSource();
  ds.query(support::insertRow("31", {}));

  const support::Child child = support::startThisTestAgain(std::string(kStuckChild) + "=" + server.socketDir());
  ASSERT_NE(child.pid, -1);
  // Reads what the child prints until it ends or the deadline passes; notes when the line
  // came.
  using Clock = std::chrono::steady_clock;
  std::string text;
  std::optional<Clock::time_point> line, ended;
  int status = -1;
  const auto deadline = Clock::now() + std::chrono::seconds(40);
  bool open = true;
  while (Clock::now() < deadline) {
    if (open) {
      pollfd p{child.out, POLLIN, 0};
      if (poll(&p, 1, 20) > 0) {
        char buf[512];
        const ssize_t n = read(child.out, buf, sizeof buf);
        if (n > 0)
          text.append(buf, static_cast<std::size_t>(n));
        else
          open = false;
      }
      if (!line && text.find(kStuckLine) != std::string::npos) line = Clock::now();
    } else {
      usleep(5000);
    }
    if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
      ended = Clock::now();
      break;
    }
  }
  if (!ended) {
    kill(child.pid, SIGKILL);
    waitpid(child.pid, &status, 0);
  }
  close(child.out);
  server.thaw();
  ASSERT_TRUE(line) << "the child never gave a call up: " << text;
  ASSERT_TRUE(ended) << "the child did not end: " << text;
  const double took = std::chrono::duration<double>(*ended - *line).count();
  EXPECT_LT(took, 1.0) << text;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << ": " << text;
  EXPECT_NE(text.find(std::string(kStuckLine) + "1\n"), std::string::npos) << "one box: " << text;
  EXPECT_NE(text.find("[  PASSED  ] 1 test."), std::string::npos) << text;
}
