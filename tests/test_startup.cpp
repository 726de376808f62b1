// Start-up: the connection to "vardo", its failure, the splash and the hand-over to the
// entry window, and the end of the run.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "shell/w_flash.h"
#include "support/child.h"
#include "support/datasource.h"
#include "support/private_server.h"
#include "support/wait.h"

namespace t = rt::testing;
using support::TempDataSource;

namespace {

// Stands in for the entry window: notes what it sees when it opens.
struct w_pwd : rt::Window {
  RT_CLASS(w_pwd)
  static inline int opened = 0;
  static inline bool splashStillOpen = false;
  static inline bool toolbarControlAtOpen = false;
  w_pwd() {
    width = 1500;
    height = 900;
  }
  void open() override {
    ++opened;
    splashStillOpen = static_cast<bool>(t::findOpen("w_flash"));
    toolbarControlAtOpen = book::current().toolbarusercontrol;
  }
};

// The application as it ships, with a look at its state where the test needs one.
struct probe : book {
  bool splashOpenAfterStartup = true;
  bool toolbarControlAfterStartup = true;
  bool connectedAfterClose = true;
  void open(const std::string& commandline) override {
    book::open(commandline);
    splashOpenAfterStartup = static_cast<bool>(t::findOpen("w_flash"));
    toolbarControlAfterStartup = toolbarusercontrol;
  }
  void close() override {
    book::close();
    connectedAfterClose = sqlca->connected();
  }
};

class StartupTest : public ::testing::Test {
 protected:
  t::Session session;
  void SetUp() override {
    registerClasses();
    rt::registerWindow<w_pwd>();
    w_pwd::opened = 0;
    // The entry window is left by the user at once, which ends the run.
    t::onOpen("w_pwd", [](rt::Window& w) { rt::close(w); });
  }
  int run(probe& app, std::vector<std::string> args = {"orvida"}) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return rt::run(app, static_cast<int>(args.size()), argv.data());
  }
  // A run that fails to connect: it ends at once (a hang would block the event loop, where
  // the harness's watchdog could not end it), after one box with the driver's own text,
  // and opens no window.
  void expectConnectionFailure(const std::vector<std::string>& driverSaysOneOf) {
    probe app;
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(run(app), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(15));
    ASSERT_EQ(t::messages().size(), 1u);
    const auto& box = t::messages().back();
    EXPECT_EQ(box.caption, "数据库连接失败");
    EXPECT_EQ(box.icon, rt::Icon::Information);
    ASSERT_FALSE(driverSaysOneOf.empty());
    bool found = false;
    for (const auto& says : driverSaysOneOf) found = found || box.text.find(says) != std::string::npos;
    EXPECT_TRUE(found) << box.text;
    // The message is the driver's own text, unchanged.
    rt::Transaction same;
    same.dbms = "ODBC";
    same.dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
    same.connect();
    EXPECT_EQ(box.text, same.sqlerrtext);
    EXPECT_EQ(t::openedCount("w_flash"), 0);
    EXPECT_EQ(w_pwd::opened, 0);
    EXPECT_TRUE(app.toolbarusercontrol);
  }
  // A run that connects and hands over from the splash to the entry window, with no box.
  void expectEntryWindowReached() {
    const auto boxes = t::messages().size();
    const int splashes = t::openedCount("w_flash");
    const int entries = w_pwd::opened;
    t::onOpen("w_flash", [](rt::Window& w) { t::fireTimer(w); });
    probe app;
    EXPECT_EQ(run(app), 0);
    EXPECT_EQ(t::messages().size(), boxes);
    EXPECT_EQ(t::openedCount("w_flash"), splashes + 1);
    EXPECT_EQ(w_pwd::opened, entries + 1);
  }
};

}  // namespace

#ifndef ORVIDA_TEST_POSTGRES

// Each case in a process of its own: the driver manager reads odbc.ini only once.
struct StartupFailure {
  const char* name;
  std::string ini;
  std::string driverSays;
};

void PrintTo(const StartupFailure& c, std::ostream* os) { *os << c.name; }

class StartupFails : public StartupTest, public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFails, TheFailureIsReportedAndNothingOpens) {
  const auto& c = GetParam();
  auto ds = TempDataSource::withIni(c.ini);
  expectConnectionFailure({c.driverSays});
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupFails,
                         ::testing::Values(StartupFailure{"NoDataSource", "", "Data source name not found"},
                                           StartupFailure{
                                               "DatabaseCannotBeOpened",
                                               "[vardo]\nDriver=SQLite3\nDatabase={dir}/gone/vardo.db\nNoCreat=1\n",
                                               "connect failed"}),
                         [](const auto& info) { return std::string(info.param.name); });

#else

namespace {
// A role of the test's own that signs in with a password the server checks (a member of
// the server's "password_required"); dropped at the end.
struct CheckedRole {
  const TempDataSource& ds;
  std::string name;
  CheckedRole(const TempDataSource& ds, std::string name, const std::string& password) : ds(ds), name(std::move(name)) {
    ds.query("CREATE ROLE " + this->name + " LOGIN PASSWORD '" + password + "' IN ROLE password_required");
  }
  ~CheckedRole() { ds.query("DROP ROLE " + name); }
};
}  // namespace

TEST_F(StartupTest, AWrongPasswordIsReportedAndTheProgramsOwnPasswordGetsIn) {
  // Roles belong to the whole server, which other tests use at the same time.
  const std::string role = "teacher_" + std::to_string(getpid());
  auto ds = TempDataSource::postgres(ORVIDA_TEST_POSTGRES, role);
  CheckedRole checked(ds, role, "tobrek4827");
  expectConnectionFailure({"password authentication failed for user \"" + role + "\""});
  ds.query("ALTER ROLE " + role + " PASSWORD 'tobrek4826'");
  expectEntryWindowReached();
}

TEST_F(StartupTest, AServerNotRunningIsReportedAtOnceAndOnceStartedGetsIn) {
  support::PrivateServer server;
  auto ds = server.dataSource();
  server.stop();
  // Making the server took its time on a busy machine: the watchdog times the program alone.
  session.setWatchdog(20000);
  expectConnectionFailure({"No such file or directory", "Is the server running"});
  server.start();
  session.setWatchdog(20000);
  expectEntryWindowReached();
}

#endif

TEST_F(StartupTest, TheSplashHandsOverToTheEntryWindowWhenItsTimerFires) {
  auto ds = support::backend();
  t::onOpen("w_flash", [](rt::Window& w) {
    EXPECT_DOUBLE_EQ(w.timerInterval(), 2.0);
    EXPECT_EQ(w_pwd::opened, 0);
    t::fireTimer(w);
  });
  probe app;
  run(app);
  EXPECT_TRUE(t::messages().empty());
  EXPECT_EQ(t::openedCount("w_flash"), 1);
  EXPECT_EQ(w_pwd::opened, 1);
  EXPECT_TRUE(w_pwd::splashStillOpen) << "the entry window opens before the splash closes";
  EXPECT_TRUE(w_pwd::toolbarControlAtOpen);
  EXPECT_FALSE(app.splashOpenAfterStartup) << "start-up goes on only after the splash has closed";
  EXPECT_FALSE(app.toolbarControlAfterStartup);
  EXPECT_FALSE(app.connectedAfterClose);
}

TEST_F(StartupTest, AClickOnThePictureHandsOverOnceAndTheTimerFindsNoSplash) {
  auto ds = support::backend();
  t::onOpen("w_flash", [](rt::Window& w) {
    // The splash's two seconds made short, so that a tick left over comes soon.
    rt::timer(0.05, w);
    auto splash = rt::cast<w_flash>(rt::refTo(w));
    t::click(*splash->p_1);
    EXPECT_FALSE(splash);
    EXPECT_EQ(w_pwd::opened, 1);
    // Past ten of its ticks: one left over would open a second entry window.
    EXPECT_FALSE(support::waitUntil([] { return w_pwd::opened > 1; }, 500));
  });
  probe app;
  run(app);
  EXPECT_EQ(w_pwd::opened, 1);
  EXPECT_FALSE(app.splashOpenAfterStartup);
}

TEST_F(StartupTest, AClickOnTheWindowOutsideThePictureHandsOverToo) {
  auto ds = support::backend();
  t::onOpen("w_flash", [](rt::Window& w) {
    auto splash = rt::cast<w_flash>(rt::refTo(w));
    splash->p_1->visible = false;
    t::click(w, 900, 500);
  });
  probe app;
  run(app);
  EXPECT_EQ(w_pwd::opened, 1);
  EXPECT_TRUE(w_pwd::splashStillOpen);
  EXPECT_FALSE(app.splashOpenAfterStartup);
}

TEST_F(StartupTest, TheSplashFillsItsCentredFramelessWindowWithThePicture) {
  auto ds = support::backend();
  t::onOpen("w_flash", [](rt::Window& w) {
    ASSERT_TRUE(t::waitExposed(w));
    const auto g = t::windowGeometry(w);
    const auto screen = t::screenGeometry();
    EXPECT_EQ(g.width, 407);
    EXPECT_EQ(g.height, 269);
    EXPECT_NEAR(g.x + g.width / 2.0, screen.x + screen.width / 2.0, 1.0);
    EXPECT_NEAR(g.y + g.height / 2.0, screen.y + screen.height / 2.0, 1.0);
    EXPECT_FALSE(t::hasFrame(w));
    // "ty_flash.JPG" finds the shipped ty_flash.jpg: the window shows the picture, not
    // its blue back colour, right into the corners.
    for (auto [x, y] : {std::pair{20, 20}, {930, 538}, {1840, 1056}})
      EXPECT_NE(t::pixelAt(w, x, y), rt::Color::rgb(0, 0, 255)) << x << "," << y;
    t::fireTimer(w);
  });
  probe app;
  run(app);
  EXPECT_EQ(w_pwd::opened, 1);
}

TEST_F(StartupTest, TheCommandLineIsIgnored) {
  auto ds = support::backend();
  t::onOpen("w_flash", [](rt::Window& w) { t::fireTimer(w); });
  probe app;
  run(app, {"orvida", "DSN=other", "--help", "w_main1"});
  EXPECT_TRUE(t::messages().empty());
  EXPECT_EQ(w_pwd::opened, 1);
}

// ---- options of the window system's toolkit on the command line

namespace {

constexpr const char* kChildSwitch = "ORVIDA_COMMAND_LINE_CHILD";
constexpr const char* kReport = "entry window: ";

// The child's part: the program as it ships, started with options the toolkit would act on
// if it saw them, before anything else has made the GUI application. It prints how its
// entry window came up, then leaves at once.
[[noreturn]] void startWithToolkitOptions() {
  struct reporter : book {
    std::unique_ptr<t::Session> session;
    void create() override {
      book::create();
      // The run has made the GUI application by now; only then the harness.
      session = std::make_unique<t::Session>();
      t::onOpen("w_flash", [](rt::Window& w) { t::fireTimer(w); });
      t::onOpen("w_pwd", [](rt::Window& w) {
        const QWidget* shown = w.widget();
        std::printf("%s%s|%s\n", kReport,
                    shown->layoutDirection() == Qt::LeftToRight ? "left to right" : "right to left",
                    shown->windowHandle()->title().toUtf8().constData());
        rt::close(w);
      });
    }
  };
  registerClasses();
  reporter app;
  std::string args[] = {"orvida", "-reverse", "-qwindowtitle", "x"};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
  rt::run(app, 4, argv);
  std::fflush(stdout);
  std::_Exit(0);
}

// This test again in a process of its own, told to be the child: the report line it printed.
std::string reportOfChild() {
  const support::Child child = support::startThisTestAgain(std::string(kChildSwitch) + "=1");
  if (child.pid == -1) return "not started";
  std::string text;
  char buf[256];
  for (ssize_t n; (n = read(child.out, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  close(child.out);
  int status = 0;
  waitpid(child.pid, &status, 0);
  const auto at = text.find(kReport);
  if (at == std::string::npos) return "no report: " + text;
  return text.substr(at + std::strlen(kReport), text.find('\n', at) - at - std::strlen(kReport));
}

}  // namespace

TEST(CommandLine, TheToolkitsOwnOptionsAreIgnoredToo) {
  if (std::getenv(kChildSwitch)) startWithToolkitOptions();
  auto ds = support::backend();  // the child reads the same data source
  EXPECT_EQ(reportOfChild(), "left to right|登录管理系统.....");
}

TEST_F(StartupTest, TheConnectionIsLeftWithAutomaticCommitOff) {
  auto ds = support::backend();
  struct check : probe {
    bool autocommit = true;
    long code = -2;
    void open(const std::string& c) override {
      t::onOpen("w_flash", [this](rt::Window& w) {
        autocommit = sqlca->autocommit;
        code = sqlca->sqlcode;
        // An uncommitted write is not seen by another connection.
        sqlca->execute("INSERT INTO xmsz (nj) VALUES ('31')");
        rt::Transaction other;
        other.dbms = "ODBC";
        other.dbparm = "ConnectString='DSN=vardo'";
        other.connect();
        std::optional<long long> n;
        other.selectInto("SELECT count(*) FROM xmsz", {}, {&n});
        EXPECT_EQ(n, 0);
        sqlca->rollback();
        t::fireTimer(w);
      });
      probe::open(c);
    }
  } app;
  run(app);
  EXPECT_FALSE(app.autocommit);
  EXPECT_EQ(app.code, 0);
}
