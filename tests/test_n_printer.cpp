// The printer services object over the spooler stand-ins and a print server of the test's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "platform/winspool.h"
#include "printing/n_printer.h"
#include "support/cups_server.h"

using support::PrivateCups;
namespace pt = platform::testing;
namespace fs = std::filesystem;

namespace {

using Ppd = PrivateCups::Ppd;
using Clock = std::chrono::steady_clock;

PrivateCups::Queue queue(std::string name, Ppd ppd = Ppd::None, std::string description = "", bool shared = false) {
  return {std::move(name), ppd, std::move(description), "", shared};
}

// The object with its blob reader in reach of the tests.
class Printers : public n_printer {
 public:
  using n_printer::of_getstringfromblob;
};

struct Paper {
  std::int16_t size = -7, width = -7, length = -7;
  friend bool operator==(const Paper&, const Paper&) = default;
};

class Printer : public ::testing::Test {
 protected:
  void TearDown() override { pt::clear(); }

  Paper paperOf(const std::string& name, std::int16_t* result = nullptr) {
    Paper p;
    const std::int16_t r = printer.of_getpapersize(name, p.size, p.width, p.length);
    if (result) *result = r;
    return p;
  }
  // Command 7: the orientation, or the failure.
  long orientationOf(const std::string& name) {
    n_printer::any out;
    std::int16_t size = 0, width = 0, length = 0;
    return printer.of_printer(name, 7, out, size, width, length) == 1 ? out.toLong() : -1;
  }
  std::int16_t command(const std::string& name, std::int16_t cmd, n_printer::any out = {}) {
    std::int16_t size = 0, width = 0, length = 0;
    return printer.of_printer(name, cmd, out, size, width, length);
  }
  // The modes of the DocumentPropertiesA calls since the log was last emptied.
  static std::vector<std::string> modes() {
    std::vector<std::string> out;
    for (const auto& c : pt::calls("DocumentPropertiesA")) out.push_back(c.arg("mode"));
    return out;
  }
  // The printer was closed again and no handle is left.
  static void expectClosed() {
    EXPECT_FALSE(pt::calls("ClosePrinter").empty()) << "ClosePrinter in the log";
    EXPECT_EQ(pt::livePrinterHandles(), 0);
  }

  PrivateCups cups;
  Printers printer;
};

TEST_F(Printer, ListsTheLocalPrinters) {
  const std::string longText(12000, 'x');
  struct Case {
    const char* what;
    std::function<void()> setup;
    std::vector<std::string> before;
    std::int16_t result;
    std::vector<std::string> after;
    std::size_t enumerations;   // EnumPrintersA calls; 0: not checked
    bool beyond16Bits = false;  // the size the first enumeration reports
  };
  const Case cases[] = {
      {"no queues", [] {}, {"x", "y"}, 0, {"x", "y"}, 1},
      {"two queues",
       [&] {
         cups.addQueue(queue("one"));
         cups.addQueue(queue("打印机甲", Ppd::A4));
       },
       {"1", "2", "3", "4", "5"},
       2,
       {"one", "打印机甲", "3", "4", "5"},
       2},
      {"more than 32 KiB",
       [&] {
         for (const char* name : {"long1", "long2", "long3"}) cups.addQueue(queue(name, Ppd::None, longText));
       },
       {},
       5,
       {"one", "打印机甲", "long1", "long2", "long3"},
       2,
       true},
      {"the server down", [&] { cups.stop(); }, {"kept"}, -1, {"kept"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.setup();
    std::uint32_t reported = 0, returned = 0;
    platform::EnumPrintersA(n_printer::printer_enum_local, nullptr, 2, 0, 0, reported, returned);
    pt::clear();
    std::vector<std::string> list = c.before;
    EXPECT_EQ(printer.of_getprinterlist(list), c.result);
    std::vector<std::string> got = list, want = c.after;
    // The server's order is its own; the names past the count stay where they were.
    if (c.result > 0) {
      std::sort(got.begin(), got.begin() + c.result);
      std::sort(want.begin(), want.begin() + c.result);
    }
    EXPECT_EQ(got, want);
    const auto enumerations = pt::calls("EnumPrintersA");
    if (c.enumerations == 0) continue;
    ASSERT_EQ(enumerations.size(), c.enumerations);
    EXPECT_EQ(enumerations[0].arg("cbbuf"), "1");
    if (c.enumerations == 2) {
      EXPECT_EQ(enumerations[1].arg("cbbuf"), std::to_string(reported)) << "exactly the size reported";
    }
    if (c.beyond16Bits) {
      EXPECT_GT(reported, 32767u);
    }
  }
}

TEST_F(Printer, QueriesEachQueue) {
  cups.addQueue(queue("raw"));
  cups.addQueue(queue("a4", Ppd::A4));
  cups.addQueue(queue("letter", Ppd::Letter));
  cups.disable("letter");
  cups.addQueue(queue("shared", Ppd::None, "", true));
  cups.addQueue(queue("default", Ppd::A4));
  cups.setDefault("default");
  cups.addQueue(queue("打印机甲"));
  cups.addQueue(queue("comma,q"));
  struct Case {
    const char* name;
    std::string driver, port;
    std::int32_t status;
    std::int16_t attributes;
    std::int16_t paperResult;
    Paper paper;
    long orientation;
  };
  const Paper a4{9, 2100, 2970}, letter{1, 2159, 2794}, none{0, 0, 0};
  const Case cases[] = {
      {"raw", "Local Raw Printer", "file:/dev/null", 0, 0x40, 1, none, 1},
      {"a4", "Orvida Test A4, 1.0", "file:/dev/null", 0, 0x40, 1, a4, 1},
      {"letter", "Orvida Test Letter", "file:/dev/null", 1, 0x40, 1, letter, 1},
      {"shared", "Local Raw Printer", "file:/dev/null", 0, 0x48, 1, none, 1},
      {"default", "Orvida Test A4, 1.0", "file:/dev/null", 0, 0x44, 1, a4, 1},
      {"打印机甲", "Local Raw Printer", "file:/dev/null", 0, 0x40, 1, none, 1},
      {"comma,q", "Local Raw Printer", "file:/dev/null", 0, 0x40, 1, none, 1},
      {"missing", "", "", -1, -1, -1, Paper{}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(printer.of_getdrivername(c.name), c.driver);
    EXPECT_EQ(printer.of_getportname(c.name), c.port);
    EXPECT_EQ(printer.of_getstatus(c.name), c.status);
    EXPECT_EQ(printer.of_getattribute(c.name), c.attributes);
    std::int16_t result = 0;
    EXPECT_EQ(paperOf(c.name, &result), c.paper);
    EXPECT_EQ(result, c.paperResult);
    EXPECT_EQ(orientationOf(c.name), c.orientation);
    EXPECT_EQ(pt::livePrinterHandles(), 0);
  }
  pt::faults().attributes = 0x244;
  EXPECT_EQ(printer.of_getattribute("raw"), 580) << "do_complete_first + local + default";
}

TEST_F(Printer, SetsThePaperSize) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.addQueue(queue("letter", Ppd::Letter));
  cups.addQueue(queue("raw"));
  struct Case {
    const char* what;
    const char* queue;
    std::int16_t paper, width, length;
    std::int16_t result;
    const char* dmfields;  // of the mode-9 call; nullptr: no mode-9 call
    Paper after;           // read back where it was stored
  };
  // Each paper goes to a queue whose default it is not, so that what is stored shows.
  const Case cases[] = {
      {"A4, its width and length left out", "letter", 9, 1234, 5678, 1, "2", {9, 2100, 2970}},
      {"Letter", "a4", 1, 0, 0, 1, "2", {1, 2159, 2794}},
      {"a custom size", "a4", 256, 1000, 1500, 1, "14", {256, 1000, 1500}},
      {"A3, which the queue lacks", "a4", 8, 0, 0, -1, nullptr, {}},
      {"paper 0", "a4", 0, 0, 0, -1, nullptr, {}},
      {"paper 8224 (two blanks)", "a4", 8224, 0, 0, -1, nullptr, {}},
      {"a raw queue, which lists no paper", "raw", 9, 0, 0, -1, nullptr, {}},
  };
  for (const std::int16_t cmd : {101, 102}) {
    fs::remove(cups.userOptionsPath());
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + ", command " + std::to_string(cmd));
      const std::string before = cups.userOptions();
      const Paper previous = paperOf(c.queue);
      pt::clear();
      std::int16_t paper = c.paper, width = c.width, length = c.length;
      n_printer::any out;
      const std::int16_t result = cmd == 101 ? printer.of_setpapersize(c.queue, c.paper, c.width, c.length)
                                             : printer.of_printer(c.queue, cmd, out, paper, width, length);
      EXPECT_EQ(result, c.result);
      const auto calls = pt::calls("DocumentPropertiesA");
      expectClosed();
      if (c.dmfields) {
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().arg("mode"), "9");
        EXPECT_EQ(calls.back().arg("dmfields"), c.dmfields);
        EXPECT_NE(cups.userOptions(), before) << "stored";
        EXPECT_EQ(paperOf(c.queue), c.after);
      } else {
        EXPECT_TRUE(calls.empty()) << "refused before the device mode is read";
        EXPECT_EQ(cups.userOptions(), before) << "nothing stored";
        EXPECT_EQ(paperOf(c.queue), previous);
      }
    }
  }
}

TEST_F(Printer, SetsTheOrientationAndOtherCommandsStoreNothing) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.addQueue(queue("portrait", Ppd::A4));
  struct Case {
    const char* what;
    const char* queue;
    std::int16_t command;
    n_printer::any out;
    std::int16_t result;
    bool stored;
    long orientation;  // command 7 afterwards
  };
  const Case cases[] = {
      {"orientation 3", "a4", 103, 3, -1, false, 1},
      {"orientation 0", "a4", 103, 0, 1, false, 1},
      {"command 0", "a4", 0, 2, 1, false, 1},
      {"command 8", "a4", 8, 2, 1, false, 1},
      {"command 104", "a4", 104, 2, 1, false, 1},
      {"landscape", "a4", 103, 2, 1, true, 2},
      // A queue still portrait, so that only the text read as 2 can turn it.
      {"landscape as text", "portrait", 103, "2", 1, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = cups.userOptions();
    EXPECT_EQ(command(c.queue, c.command, c.out), c.result);
    EXPECT_EQ(cups.userOptions() != before, c.stored) << cups.userOptions();
    EXPECT_EQ(orientationOf(c.queue), c.orientation);
    EXPECT_EQ(pt::livePrinterHandles(), 0);
  }
  EXPECT_NE(cups.lpoptions("a4").find("orientation-requested=4"), std::string::npos) << cups.lpoptions("a4");
}

// Command 103 takes its orientation from a text as the runtime reads a number: blanks around
// it and a leading "+" allowed, decimals cut toward zero, anything else (and a number beyond
// a long's range) 0; the number then as a 16-bit unsigned value.
TEST_F(Printer, ReadsATextOrientationAsTheRuntimeReadsANumber) {
  cups.addQueue(queue("a4", Ppd::A4));
  struct Case {
    const char* text;
    std::int16_t result;
    long orientation;  // command 7 afterwards; stored when it is 2
  };
  const Case cases[] = {
      {"2", 1, 2},
      {"  2  ", 1, 2},
      {"+2", 1, 2},
      {"2.9", 1, 2},
      {"", 1, 1},
      {"two", 1, 1},
      {"2x", 1, 1},
      {"2e0", 1, 1},
      {"3", -1, 1},
      {"-2", -1, 1},                   // 65534
      {"65538", 1, 2},                 // 2 as a 16-bit value
      {"9100000000000001024", -1, 1},  // inside a long's range: 1024, refused
      {"10000000000000001024", 1, 1},  // beyond it: 0, nothing changes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    fs::remove(cups.userOptionsPath());
    EXPECT_EQ(command("a4", 103, c.text), c.result);
    EXPECT_EQ(orientationOf("a4"), c.orientation);
    EXPECT_EQ(cups.lpoptions("a4").find("orientation-requested=4") != std::string::npos, c.orientation == 2)
        << cups.lpoptions("a4");
  }
}

TEST_F(Printer, SetsTheDefaultPrinter) {
  for (const char* name : {"one", "two", "打印机甲", "comma,q"}) cups.addQueue(queue(name));
  cups.setDefault("one");
  for (const char* name : {"two", "two", "打印机甲", "comma,q"}) {
    SCOPED_TRACE(name);
    const std::string before = cups.userOptions();
    const bool already = printer.of_getpbprinter() == name;
    pt::clear();
    EXPECT_EQ(printer.of_setdefault(name), 1);
    EXPECT_EQ(pt::calls("SetPrinterA").size(), 1u);
    expectClosed();
    EXPECT_NE(cups.lpstatDefault().find(name), std::string::npos) << cups.lpstatDefault();
    EXPECT_EQ(printer.of_getpbprinter(), name) << "the whole name, commas and all";
    EXPECT_EQ(printer.of_getattribute(name) & 0x4, 0x4);
    if (already) {
      EXPECT_EQ(cups.userOptions(), before) << "the default as it was";
    }
  }
  EXPECT_EQ(printer.of_getattribute("one") & 0x4, 0) << "one default only";
}

TEST_F(Printer, NamesTheDefaultPrinterFromTheProfile) {
  struct Case {
    std::optional<std::string> device;
    std::string name;
  };
  const Case cases[] = {
      {"Office,cups,file:/dev/null", "Office"},   {"abc", "abc"}, {std::nullopt, ""}, {"a,b", "a"},
      {"comma,q,cups,file:/dev/null", "comma,q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device.value_or("(none)"));
    pt::setProfileDevice(c.device);
    EXPECT_EQ(printer.of_getpbprinter(), c.name);
  }
}

TEST(PrinterBlob, ReadsTheTextAtAnOffset) {
  Printers printer;
  const platform::Blob bytes{std::string_view("AB\0C", 4)};
  const platform::Blob gb{platform::toAnsi("打印机甲")};
  struct Case {
    const platform::Blob& blob;
    std::int16_t offset;
    std::string text;
  };
  const platform::Blob null;
  const Case cases[] = {
      {bytes, 1, "AB"}, {bytes, 2, "B"}, {bytes, 3, ""}, {bytes, 4, "C"},     {bytes, 5, ""},
      {bytes, 0, ""},   {bytes, -1, ""}, {null, 1, ""},  {gb, 1, "打印机甲"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(printer.of_getstringfromblob(c.blob, c.offset), c.text);
  }
}

TEST_F(Printer, DirectLeavesNoDeviceContext) {
  cups.addQueue(queue("q"));
  EXPECT_EQ(printer.of_direct("q", "data"), 1);
  EXPECT_EQ(printer.of_direct("missing", "data"), 1);
  EXPECT_EQ(pt::calls("CreateDCA").size(), 2u);
  EXPECT_EQ(pt::calls("DeleteDC").size(), 1u) << "the one device context made";
  EXPECT_EQ(pt::livePrinterDcs(), 0);
}

TEST_F(Printer, UserOptionsThatCannotBeStored) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.addQueue(queue("letter", Ppd::Letter));
  cups.setDefault("a4");
  // A plain file where the folder of the user's options belongs stops every write, root's too.
  const fs::path folder = fs::path(cups.home()) / ".cups";
  fs::remove_all(folder);
  std::ofstream(folder) << "not a folder\n";
  const std::string defaultBefore = cups.lpstatDefault();

  EXPECT_EQ(printer.of_setdefault("letter"), -1);
  EXPECT_EQ(pt::calls("SetPrinterA").size(), 1u);
  EXPECT_EQ(cups.lpstatDefault(), defaultBefore);
  expectClosed();

  pt::clear();
  EXPECT_EQ(printer.of_setpapersize("letter", 9, 0, 0), -1);
  EXPECT_EQ(modes(), (std::vector<std::string>{"0", "2", "9"})) << "refused at the store";
  expectClosed();
  EXPECT_EQ(paperOf("letter"), (Paper{1, 2159, 2794})) << "nothing stored";
  EXPECT_TRUE(fs::is_regular_file(folder));
}

TEST_F(Printer, InjectedFaultsStopWhereTheyHappen) {
  cups.addQueue(queue("letter", Ppd::Letter));
  std::vector<std::uint16_t> many(599, 5);
  many.push_back(9);
  struct Case {
    const char* what;
    std::function<void()> inject;
    std::int16_t result;
    std::vector<std::string> modes;  // of the DocumentPropertiesA calls
    std::size_t maxGetPrinter;       // GetPrinterA calls at most
  };
  const Case cases[] = {
      {"the size query fails", [] { pt::faults().sizeQuery = -1; }, -1, {"0"}, 2},
      {"the size query reports 0", [] { pt::faults().sizeQuery = 0; }, -1, {"0"}, 2},
      {"the size query reports less than a device mode", [] { pt::faults().sizeQuery = 147; }, -1, {"0"}, 2},
      {"the mode-2 read fails", [] { pt::faults().failDevModeRead = true; }, -1, {"0", "2"}, 2},
      {"the paper list fails", [] { pt::faults().failPapers = true; }, -1, {}, 2},
      {"the paper list is empty", [] { pt::faults().papers = std::vector<std::uint16_t>{}; }, -1, {}, 2},
      {"GetPrinterA fails outright", [] { pt::faults().failGetPrinter = true; }, -1, {}, 1},
      {"GetPrinterA asks for more every time", [] { pt::faults().getPrinterWantsMore = true; }, -1, {}, 5},
      {"GetPrinterA asks for more than can be made", [] { pt::faults().getPrinterNeeds = 0x7FFFFFFF; }, -1, {}, 1},
      {"600 papers, A4 last", [&] { pt::faults().papers = many; }, 1, {"0", "2", "9"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(cups.userOptionsPath());
    pt::clear();
    c.inject();
    EXPECT_EQ(printer.of_setpapersize("letter", 9, 0, 0), c.result);
    EXPECT_EQ(modes(), c.modes);
    EXPECT_LE(pt::calls("GetPrinterA").size(), c.maxGetPrinter);
    EXPECT_GE(pt::calls("GetPrinterA").size(), 1u);
    expectClosed();
    pt::clear();
    EXPECT_EQ(paperOf("letter").size, c.result == 1 ? 9 : 1) << "stored only when it worked";
  }
  // The paper list is counted first, then read into a block just large enough.
  pt::faults().papers = many;
  EXPECT_EQ(printer.of_setpapersize("letter", 9, 0, 0), 1);
  const auto papers = pt::calls("DeviceCapabilitiesA");
  ASSERT_EQ(papers.size(), 2u);
  EXPECT_EQ(papers[0].arg("output"), "0");
  EXPECT_EQ(papers[1].arg("outputbytes"), "1200");
}

TEST_F(Printer, AStoppedServerFailsEveryQueryAtOnce) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.setDefault("a4");
  cups.stop();
  const auto start = Clock::now();
  std::vector<std::string> list{"kept"};
  EXPECT_EQ(printer.of_getprinterlist(list), -1);
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
  EXPECT_EQ(printer.of_getdrivername("a4"), "");
  EXPECT_EQ(printer.of_getportname("a4"), "");
  EXPECT_EQ(printer.of_getstatus("a4"), -1);
  EXPECT_EQ(printer.of_getattribute("a4"), -1);
  std::int16_t result = 0;
  paperOf("a4", &result);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(orientationOf("a4"), -1);
  EXPECT_EQ(command("a4", 103, 2), -1);
  EXPECT_EQ(printer.of_setpapersize("a4", 1, 0, 0), -1);
  EXPECT_EQ(printer.of_setdefault("a4"), -1);
  EXPECT_EQ(printer.of_getpbprinter(), "");
  EXPECT_EQ(printer.of_direct("a4", ""), 1);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3)) << "no call waits for a dead server";
  EXPECT_EQ(pt::livePrinterHandles(), 0);
  EXPECT_EQ(pt::livePrinterDcs(), 0);
}

TEST_F(Printer, AFrozenServerFailsWithinTheBoundAndWorksAgainAfter) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.setDefault("a4");
  struct Case {
    const char* what;
    std::function<std::string()> call;
    std::string failed, working;
  };
  std::vector<std::string> list;
  const Case cases[] = {
      {"of_getprinterlist", [&] { return std::to_string(printer.of_getprinterlist(list)); }, "-1", "1"},
      {"of_getdrivername", [&] { return printer.of_getdrivername("a4"); }, "", "Orvida Test A4, 1.0"},
      {"of_setpapersize", [&] { return std::to_string(printer.of_setpapersize("a4", 1, 0, 0)); }, "-1", "1"},
      {"of_getpbprinter", [&] { return printer.of_getpbprinter(); }, "", "a4"},
  };
  cups.freeze();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto start = Clock::now();
    EXPECT_EQ(c.call(), c.failed);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10)) << "hung";
  }
  cups.thaw();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(), c.working);
  }
  EXPECT_EQ(pt::livePrinterHandles(), 0);
}

}  // namespace
