// The tests' own print server: it starts empty, takes the queues a test adds with the
// project's driver files, keeps the user's default in the test's own home, and is stopped,
// started again, frozen and thawed as a test asks.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "support/cups_server.h"

using support::PrivateCups;
using Ppd = PrivateCups::Ppd;

namespace {

class CupsServer : public ::testing::Test {
 protected:
  PrivateCups cups;

  std::string lpstat(const std::string& option) { return cups.run({"lpstat", option}).out; }
  std::string driverOptions(const std::string& name) { return cups.run({"lpoptions", "-p", name, "-l"}).out; }
};

TEST_F(CupsServer, StartsWithNoQueueOfTheMachines) {
  const PrivateCups::Run r = cups.run({"lpstat", "-v"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(lpstat("-r"), "scheduler is running\n");
  EXPECT_EQ(cups.lpstatDefault(), "no system default destination\n");
  EXPECT_EQ(cups.userOptions(), "");
}

TEST_F(CupsServer, QueuesTakeEachDriverFile) {
  struct Case {
    PrivateCups::Queue queue;
    std::string makeAndModel;
    std::string pageSizes;  // as `lpoptions -l` lists them, the default starred
  } cases[] = {
      {{"a4q", Ppd::A4, "Office A4", "Room 101", true},
       "printer-make-and-model='Orvida Test A4, 1.0'",
       "PageSize/Media Size: Custom.WIDTHxHEIGHT *A4 Letter A5 Legal\n"},
      {{"letterq", Ppd::Letter},
       "printer-make-and-model='Orvida Test Letter'",
       "PageSize/Media Size: Custom.WIDTHxHEIGHT A4 *Letter A5 Legal\n"},
      {{"rawq"}, "printer-make-and-model='Local Raw Printer'", ""},
  };
  for (const Case& c : cases) cups.addQueue(c.queue);
  const std::string devices = lpstat("-v");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.queue.name);
    EXPECT_NE(devices.find("device for " + c.queue.name + ": /dev/null\n"), std::string::npos) << devices;
    const std::string options = cups.lpoptions(c.queue.name);
    EXPECT_NE(options.find(c.makeAndModel), std::string::npos) << options;
    // No filter is missing for the driver files: the queue reports nothing wrong.
    EXPECT_NE(options.find("printer-state-reasons=none"), std::string::npos) << options;
    EXPECT_NE(options.find(c.queue.shared ? "printer-is-shared=true" : "printer-is-shared=false"), std::string::npos)
        << options;
    const std::string driver = driverOptions(c.queue.name);
    if (c.queue.ppd == Ppd::None) {
      EXPECT_EQ(driver, "");
    } else {
      EXPECT_NE(driver.find(c.pageSizes), std::string::npos) << driver;
      EXPECT_NE(driver.find("Duplex/Two-Sided Printing: *None DuplexNoTumble DuplexTumble\n"), std::string::npos)
          << driver;
    }
  }
  const std::string a4 = cups.lpoptions("a4q");
  EXPECT_NE(a4.find("printer-info='Office A4'"), std::string::npos) << a4;
  EXPECT_NE(a4.find("printer-location='Room 101'"), std::string::npos) << a4;
}

TEST_F(CupsServer, NamesWithACommaOrChineseAreQueues) {
  for (const std::string name : {"comma,q", "打印机甲"}) {
    SCOPED_TRACE(name);
    cups.addQueue({name, Ppd::A4});
    EXPECT_NE(lpstat("-v").find("device for " + name + ": /dev/null\n"), std::string::npos);
    EXPECT_NE(cups.lpoptions(name).find("printer-make-and-model='Orvida Test A4, 1.0'"), std::string::npos);
  }
}

TEST_F(CupsServer, AQueueTheServerRefusesFailsTheTest) {
  EXPECT_THROW(cups.addQueue({"with space"}), std::runtime_error);
  EXPECT_THROW(cups.setDefault("no-such-queue"), std::runtime_error);
  EXPECT_EQ(lpstat("-v"), "");
}

TEST_F(CupsServer, TheDefaultIsKeptInTheUsersOwnOptions) {
  cups.addQueue({"first"});
  cups.addQueue({"打印机甲", Ppd::Letter});
  cups.setDefault("first");
  EXPECT_EQ(cups.lpstatDefault(), "system default destination: first\n");
  EXPECT_EQ(cups.userOptionsPath(), cups.home() + "/.cups/lpoptions");
  EXPECT_EQ(cups.userOptions(), "Default first\n");
  cups.setDefault("打印机甲");
  EXPECT_EQ(cups.lpstatDefault(), "system default destination: 打印机甲\n");
  EXPECT_EQ(cups.userOptions(), "Default 打印机甲\n");
}

TEST_F(CupsServer, ADisabledQueueSaysSo) {
  cups.addQueue({"paused", Ppd::A4});
  cups.addQueue({"working", Ppd::A4});
  cups.disable("paused");
  EXPECT_EQ(lpstat("-p").find("printer paused disabled since"), 0u) << lpstat("-p");
  EXPECT_NE(lpstat("-p").find("printer working is idle."), std::string::npos) << lpstat("-p");
}

TEST_F(CupsServer, StartsAgainWithItsQueuesAfterAStop) {
  cups.addQueue({"kept", Ppd::Letter, "Kept queue"});
  cups.setDefault("kept");
  cups.stop();
  EXPECT_EQ(lpstat("-r"), "scheduler is not running\n");
  cups.start();
  EXPECT_EQ(lpstat("-r"), "scheduler is running\n");
  EXPECT_EQ(lpstat("-v"), "device for kept: /dev/null\n");
  EXPECT_NE(cups.lpoptions("kept").find("printer-info='Kept queue'"), std::string::npos);
  EXPECT_EQ(cups.lpstatDefault(), "system default destination: kept\n");
}

TEST_F(CupsServer, AnswersAgainWhenThawed) {
  cups.addQueue({"q"});
  cups.freeze();
  cups.thaw();
  EXPECT_EQ(lpstat("-r"), "scheduler is running\n");
  EXPECT_EQ(lpstat("-v"), "device for q: /dev/null\n");
}

// Whether a process still runs with `dir` in its command line.
bool processRunsIn(const std::string& dir) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    const std::string cmdline{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (cmdline.find(dir + "/") != std::string::npos) return true;
  }
  return false;
}

// A server left frozen or running by a failed test ends with the fixture, at once, and its
// folder goes.
TEST(CupsServerEnd, AFrozenServerEndsWithItsFixture) {
  auto cups = std::make_unique<PrivateCups>();
  const std::string dir = cups->dir();
  ASSERT_TRUE(processRunsIn(dir));
  cups->freeze();
  const auto start = std::chrono::steady_clock::now();
  cups.reset();
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  EXPECT_FALSE(processRunsIn(dir));
  EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
