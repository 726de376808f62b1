// The spooler, printer device contexts and win.ini over a print server of the test's own.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/gdi32.h"
#include "platform/memory.h"
#include "platform/profile.h"
#include "platform/testing.h"
#include "platform/winspool.h"
#include "support/cups_server.h"

using namespace platform;
using support::PrivateCups;
namespace pt = platform::testing;

namespace {

using Ppd = PrivateCups::Ppd;

PrivateCups::Queue queue(std::string name, Ppd ppd = Ppd::None, std::string description = "", std::string location = "",
                         bool shared = false) {
  return {std::move(name), ppd, std::move(description), std::move(location), shared};
}

class Spooler : public ::testing::Test {
 protected:
  void TearDown() override { pt::clear(); }

  std::uint32_t open(const std::string& name) {
    std::uint32_t handle = 0;
    EXPECT_TRUE(OpenPrinterA(toAnsi(name).c_str(), handle, 0)) << name;
    return handle;
  }

  PrivateCups cups;
};

std::uint32_t word(const Blob& b, long at) {
  const auto bytes = b.bytes();
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::uint32_t half(std::span<const std::uint8_t> bytes, long at) { return bytes[at] | bytes[at + 1] << 8; }

// The zero-terminated text at an address inside `b`, converted from GB18030.
std::string textAt(const Blob& b, std::uint32_t address) {
  EXPECT_GE(address, b.address());
  EXPECT_LT(address, b.address() + b.length());
  std::string out;
  for (long i = address - b.address(); i < b.length() && b.bytes()[i] != 0; ++i) out += static_cast<char>(b.bytes()[i]);
  return fromAnsi(out);
}

struct Record {
  std::string name, port, driver, comment, location;
  std::uint32_t attributes, status, devmode;
};

Record recordAt(const Blob& b, long offset) {
  return {textAt(b, word(b, offset + 4)),
          textAt(b, word(b, offset + 12)),
          textAt(b, word(b, offset + 16)),
          textAt(b, word(b, offset + 20)),
          textAt(b, word(b, offset + 24)),
          word(b, offset + 52),
          word(b, offset + 72),
          word(b, offset + 28)};
}

bool allBlanks(const Blob& b) {
  for (auto c : b.bytes())
    if (c != ' ') return false;
  return true;
}

TEST_F(Spooler, EnumeratesTheQueuesWithTheirTextsAndDeviceModesInsideTheBuffer) {
  std::uint32_t needed = 7, returned = 7;
  EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, 0, 0, needed, returned)) << "no queues is a success";
  EXPECT_EQ(needed, 0u);
  EXPECT_EQ(returned, 0u);

  cups.addQueue(queue("打印机甲", Ppd::None, "甲 desk", "二楼"));
  cups.addQueue(queue("a4", Ppd::A4, "Office", "Room 1", true));
  cups.setDefault("a4");
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, 0, 0, needed, returned));
  ASSERT_GT(needed, 2 * kPrinterInfo2Size + 2 * kDevModeSize);

  Blob short_ = blanks(needed - 1);
  std::uint32_t shortNeeded = 0;
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, short_.address(), needed - 1, shortNeeded, returned));
  EXPECT_EQ(shortNeeded, needed);
  EXPECT_TRUE(allBlanks(short_)) << "a buffer too small is left as it was";

  Blob buffer = blanks(needed);
  ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.address(), needed, needed, returned));
  ASSERT_EQ(returned, 2u);
  std::map<std::string, Record> byName;
  for (long i = 0; i < 2; ++i) {
    const Record r = recordAt(buffer, i * kPrinterInfo2Size);
    ASSERT_TRUE(liesInOneBlock(r.devmode, kDevModeSize));
    EXPECT_GE(r.devmode, buffer.address());
    EXPECT_LE(r.devmode + kDevModeSize, buffer.address() + buffer.length());
    byName[r.name] = r;
  }
  const Record& raw = byName.at("打印机甲");
  EXPECT_EQ(raw.driver, "Local Raw Printer");
  EXPECT_EQ(raw.port, "file:/dev/null");
  EXPECT_EQ(raw.comment, "甲 desk");
  EXPECT_EQ(raw.location, "二楼");
  EXPECT_EQ(raw.attributes, 0x40u);
  const Record& a4 = byName.at("a4");
  EXPECT_EQ(a4.driver, "Orvida Test A4, 1.0");
  EXPECT_EQ(a4.attributes, 0x4Cu) << "local, the user's default, shared";
  EXPECT_EQ(a4.status, 0u);

  // The device mode carries the queue's name in GB18030 and its size with no driver part.
  std::vector<std::uint8_t> dm(kDevModeSize);
  ASSERT_TRUE(readBytes(raw.devmode, dm));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(dm.data())), toAnsi("打印机甲"));
  EXPECT_EQ(half(dm, 36), kDevModeSize);
  EXPECT_EQ(half(dm, 38), 0u);
}

TEST_F(Spooler, EnumerationRefusesOtherRequestsAndADeadServer) {
  cups.addQueue(queue("q"));
  Blob buffer = blanks(4096);
  std::uint32_t needed = 7, returned = 7;
  struct Case {
    std::uint32_t flags;
    const char* name;
    std::uint32_t level;
  } cases[] = {{PRINTER_ENUM_LOCAL | 0x4, nullptr, 2},
               {0x4, nullptr, 2},
               {PRINTER_ENUM_LOCAL, "q", 2},
               {PRINTER_ENUM_LOCAL, nullptr, 1}};
  for (const Case& c : cases) {
    EXPECT_FALSE(EnumPrintersA(c.flags, c.name, c.level, buffer.address(), 4096, needed, returned));
    EXPECT_EQ(needed, 0u);
  }
  EXPECT_TRUE(allBlanks(buffer));
  cups.stop();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.address(), 4096, needed, returned));
  EXPECT_EQ(needed, 0u) << "a dead server is never an empty list";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(Spooler, GetPrinterReportsTheSizeNeededAndFillsAnExactBuffer) {
  cups.addQueue(queue("comma,q", Ppd::None, "with a comma"));
  cups.disable("comma,q");
  const std::uint32_t h = open("comma,q");
  Blob empty = blanks(0);
  std::uint32_t needed = 0;
  EXPECT_FALSE(GetPrinterA(h, 2, empty.address(), 0, needed)) << "a blob of 0 bytes asks for the size";
  ASSERT_GT(needed, kPrinterInfo2Size + kDevModeSize);

  Blob short_ = blanks(needed - 1);
  std::uint32_t again = 0;
  EXPECT_FALSE(GetPrinterA(h, 2, short_.address(), needed - 1, again));
  EXPECT_EQ(again, needed);
  EXPECT_TRUE(allBlanks(short_));

  Blob exact = blanks(needed);
  ASSERT_TRUE(GetPrinterA(h, 2, exact.address(), needed, again));
  const Record r = recordAt(exact, 0);
  EXPECT_EQ(r.name, "comma,q");
  EXPECT_EQ(r.comment, "with a comma");
  EXPECT_EQ(r.status, 0x1u) << "a disabled queue reads as paused";

  // A buffer claimed larger than its block writes nothing.
  Blob small = blanks(needed);
  EXPECT_FALSE(GetPrinterA(h, 2, small.address(), needed + 100, again));
  EXPECT_TRUE(allBlanks(small));

  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(ClosePrinter(h)) << "a handle closes once";
  EXPECT_FALSE(GetPrinterA(h, 2, exact.address(), needed, again)) << "a stale handle stays invalid";
  EXPECT_EQ(DocumentPropertiesA(0, h, nullptr, 0, 0, 0), -1);
  EXPECT_EQ(pt::livePrinterHandles(), 0);
}

TEST_F(Spooler, OpenPrinterTakesOnlyExistingQueues) {
  cups.addQueue(queue("q"));
  std::uint32_t h = 99;
  EXPECT_FALSE(OpenPrinterA("missing", h, 0));
  EXPECT_EQ(h, 0u);
  EXPECT_FALSE(OpenPrinterA(nullptr, h, 0));
  Blob defaults(12, 0);
  EXPECT_TRUE(OpenPrinterA("q", h, defaults.address()));
  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(OpenPrinterA("q", h, 12345)) << "a defaults address outside every block";
}

// The device mode as mode 2 hands it out.
std::vector<std::uint8_t> currentDevMode(std::uint32_t h) {
  Blob out(kDevModeSize, 0);
  EXPECT_EQ(DocumentPropertiesA(0, h, nullptr, out.address(), 0, DM_OUT_BUFFER), 1);
  return {out.bytes().begin(), out.bytes().end()};
}

void put16(std::vector<std::uint8_t>& dm, long at, int v) {
  dm[at] = static_cast<std::uint8_t>(v);
  dm[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::vector<std::uint8_t>& dm, long at, std::uint32_t v) {
  put16(dm, at, static_cast<int>(v & 0xFFFF));
  put16(dm, at + 2, static_cast<int>(v >> 16));
}

std::int32_t merge(std::uint32_t h, const std::vector<std::uint8_t>& dm) {
  Blob in{std::string_view(reinterpret_cast<const char*>(dm.data()), dm.size())};
  return DocumentPropertiesA(0, h, "driver", 0, in.address(), DM_IN_BUFFER | DM_OUT_DEFAULT);
}

TEST_F(Spooler, ModeNineMergesTheMarkedFieldsIntoTheUsersOptions) {
  cups.addQueue(queue("a4", Ppd::A4));  // A4, Letter, A5, Legal, custom sizes, two-sided
  cups.addQueue(queue("raw"));
  struct Field {
    std::uint32_t bit;
    long at;
    int value;
  };
  struct Case {
    const char* what;
    const char* queue;
    std::vector<Field> fields;
    std::int32_t result;
    std::vector<std::string> stored;  // option=value the user's options then show
  };
  constexpr long orientation = 44, paper = 46, length = 48, width = 50, copies = 54, duplex = 62, collate = 68;
  const Case cases[] = {
      {"orientation 0 is ignored", "a4", {{0x1, orientation, 0}}, 1, {}},
      {"portrait, as it is", "a4", {{0x1, orientation, 1}}, 1, {}},
      {"landscape", "a4", {{0x1, orientation, 2}}, 1, {"orientation-requested=4"}},
      {"orientation 3", "a4", {{0x1, orientation, 3}}, -1, {}},
      {"Letter", "a4", {{0x2, paper, 1}}, 1, {"media=na_letter_8.5x11in"}},
      {"A3 is not listed", "a4", {{0x2, paper, 8}}, -1, {}},
      {"custom inside the range",
       "a4",
       {{0x2, paper, 256}, {0x8, width, 1000}, {0x4, length, 1500}},
       1,
       {"media=Custom.100x150mm"}},
      {"custom beyond the range", "a4", {{0x2, paper, 256}, {0x8, width, 1000}, {0x4, length, 9000}}, -1, {}},
      {"custom of width 0", "a4", {{0x2, paper, 256}, {0x8, width, 0}, {0x4, length, 1500}}, -1, {}},
      {"custom, negative width", "a4", {{0x2, paper, 256}, {0x8, width, -1000}, {0x4, length, 1500}}, -1, {}},
      {"custom on a raw queue", "raw", {{0x2, paper, 256}, {0x8, width, 1000}, {0x4, length, 1500}}, -1, {}},
      {"copies 0 is ignored", "a4", {{0x100, copies, 0}}, 1, {}},
      {"copies 3", "a4", {{0x100, copies, 3}}, 1, {"copies=3"}},
      {"copies -1", "a4", {{0x100, copies, -1}}, -1, {}},
      {"collate 1, as it is", "a4", {{0x8000, collate, 1}}, 1, {}},
      {"collate 0 is a value",
       "a4",
       {{0x8000, collate, 0}},
       1,
       {"multiple-document-handling=separate-documents-uncollated-copies"}},
      {"one-sided on a queue without two sides", "raw", {{0x1000, duplex, 1}}, 1, {}},
      {"two-sided on a queue without it", "raw", {{0x1000, duplex, 2}}, -1, {}},
      {"two-sided, long edge", "a4", {{0x1000, duplex, 2}}, 1, {"sides=two-sided-long-edge"}},
      {"a changed field left unmarked", "a4", {{0, orientation, 2}}, 1, {}},
      {"one refused field refuses all", "a4", {{0x1, orientation, 2}, {0x100, copies, -1}}, -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = cups.userOptions();
    const std::uint32_t h = open(c.queue);
    std::vector<std::uint8_t> dm = currentDevMode(h);
    std::uint32_t fields = 0;
    for (const Field& f : c.fields) {
      put16(dm, f.at, f.value);
      fields |= f.bit;
    }
    put32(dm, 40, fields);
    EXPECT_EQ(merge(h, dm), c.result);
    ASSERT_EQ(pt::calls("DocumentPropertiesA").back().arg("dmfields"), std::to_string(fields));
    if (c.stored.empty()) {
      EXPECT_EQ(cups.userOptions(), before) << "nothing is written";
    }
    const std::string shown = cups.lpoptions(c.queue);
    for (const std::string& option : c.stored) EXPECT_NE(shown.find(option), std::string::npos) << shown;
    ClosePrinter(h);
  }
}

TEST_F(Spooler, WhatModeNineStoresReadsBackAndAnUnchangedDeviceModeWritesNothing) {
  cups.addQueue(queue("letter", Ppd::Letter));
  const std::uint32_t h = open("letter");
  std::vector<std::uint8_t> dm = currentDevMode(h);
  EXPECT_EQ(half(dm, 46), 1u) << "the queue's default paper";
  EXPECT_EQ(half(dm, 50), 2159u);
  EXPECT_EQ(half(dm, 48), 2794u);

  // Every field marked, every unmapped one zero: the device mode as it was.
  put32(dm, 40, 0x1FFFFFFF);
  EXPECT_EQ(merge(h, dm), 1);
  EXPECT_EQ(cups.userOptions(), "");

  put16(dm, 46, 9);
  put16(dm, 44, 2);
  put16(dm, 54, 2);
  EXPECT_EQ(merge(h, dm), 1);
  const std::string stored = cups.userOptions();
  const auto back = currentDevMode(h);
  EXPECT_EQ(half(back, 46), 9u);
  EXPECT_EQ(half(back, 50), 2100u);
  EXPECT_EQ(half(back, 48), 2970u);
  EXPECT_EQ(half(back, 44), 2u);
  EXPECT_EQ(half(back, 54), 2u);

  // The same again changes nothing, byte for byte.
  EXPECT_EQ(merge(h, back), 1);
  EXPECT_EQ(cups.userOptions(), stored);

  // A record whose own size reaches past what was passed is not read.
  std::vector<std::uint8_t> longer = back;
  put16(longer, 38, 16);
  put16(longer, 44, 1);
  EXPECT_EQ(merge(h, longer), -1);
  EXPECT_EQ(cups.userOptions(), stored);
  ClosePrinter(h);
}

TEST_F(Spooler, ModeTwoNeedsAWholeDeviceModeAndOtherModesFail) {
  cups.addQueue(queue("q"));
  const std::uint32_t h = open("q");
  EXPECT_EQ(DocumentPropertiesA(0, h, "anything", 0, 0, 0), static_cast<std::int32_t>(kDevModeSize));
  Blob short_(kDevModeSize - 1, 7);
  EXPECT_EQ(DocumentPropertiesA(0, h, nullptr, short_.address(), 0, DM_OUT_BUFFER), -1);
  for (auto b : short_.bytes()) ASSERT_EQ(b, 7);
  EXPECT_EQ(DocumentPropertiesA(0, h, nullptr, short_.address(), 0, 4), -1);
  const auto dm = currentDevMode(h);
  EXPECT_EQ(half(dm, 46), 0u) << "a raw queue has no paper";
  EXPECT_EQ(half(dm, 44), 1u) << "portrait when nothing says otherwise";
  EXPECT_EQ(half(dm, 68), 1u) << "collated when nothing says otherwise";
  ClosePrinter(h);
}

TEST_F(Spooler, DeviceCapabilitiesListsTheQueuesPapers) {
  cups.addQueue(queue("a4", Ppd::A4));
  cups.addQueue(queue("raw"));
  EXPECT_EQ(DeviceCapabilitiesA("a4", nullptr, DC_PAPERS, 0, 0), 5);
  Blob codes(10, 0xEE);
  ASSERT_EQ(DeviceCapabilitiesA("a4", "any port", DC_PAPERS, codes.address(), 0), 5);
  std::vector<std::uint32_t> got;
  for (long i = 0; i < 5; ++i) got.push_back(half(codes.bytes(), 2 * i));
  EXPECT_EQ(got, (std::vector<std::uint32_t>{9, 1, 11, 5, 256}));

  Blob short_(8, 0xEE);
  EXPECT_EQ(DeviceCapabilitiesA("a4", nullptr, DC_PAPERS, short_.address(), 0), -1);
  for (auto b : short_.bytes()) ASSERT_EQ(b, 0xEE);
  EXPECT_EQ(DeviceCapabilitiesA("raw", nullptr, DC_PAPERS, 0, 0), 0);
  EXPECT_EQ(DeviceCapabilitiesA("missing", nullptr, DC_PAPERS, 0, 0), -1);
  EXPECT_EQ(DeviceCapabilitiesA("a4", nullptr, 1, 0, 0), -1);
}

TEST_F(Spooler, SetPrinterActsOnTheDefaultBitOnly) {
  cups.addQueue(queue("one"));
  cups.addQueue(queue("打印机甲"));
  cups.setDefault("one");
  const std::uint32_t h = open("打印机甲");
  std::uint32_t needed = 0;
  GetPrinterA(h, 2, 0, 0, needed);
  Blob buffer = blanks(needed);
  ASSERT_TRUE(GetPrinterA(h, 2, buffer.address(), needed, needed));
  const std::string before = cups.userOptions();
  EXPECT_TRUE(SetPrinterA(h, 2, buffer.address(), 0)) << "the default bit clear changes nothing";
  EXPECT_EQ(cups.userOptions(), before);
  buffer.bytes()[52] |= 0x4;
  EXPECT_FALSE(SetPrinterA(h, 2, buffer.address(), 1));
  EXPECT_FALSE(SetPrinterA(h, 1, buffer.address(), 0));
  EXPECT_TRUE(SetPrinterA(h, 2, buffer.address(), 0));
  EXPECT_NE(cups.lpstatDefault().find("打印机甲"), std::string::npos) << cups.lpstatDefault();
  ClosePrinter(h);
}

TEST_F(Spooler, PrinterDeviceContextsAndTheEntriesNeverCalled) {
  cups.addQueue(queue("q"));
  const std::uint32_t dc = CreateDCA(nullptr, "q", nullptr, 0);
  EXPECT_NE(dc, 0u);
  EXPECT_EQ(CreateDCA(nullptr, "missing", nullptr, 0), 0u);
  EXPECT_EQ(pt::livePrinterDcs(), 1);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(pt::livePrinterDcs(), 0);
  EXPECT_EQ(Escape(dc, 1, 0, 0, 0), 0);
  const std::uint32_t h = open("q");
  EXPECT_FALSE(PrinterProperties(0, h));
  ClosePrinter(h);
}

TEST_F(Spooler, WinIniNamesTheUsersDefaultWithTokensWithoutCommas) {
  EXPECT_EQ(ProfileString("win.ini", "windows", "device", "none"), "none");
  cups.addQueue(queue("comma,q"));
  cups.setDefault("comma,q");
  EXPECT_EQ(ProfileString("win.ini", "windows", "device", ""), "comma,q,cups,file:/dev/null");
  EXPECT_EQ(ProfileString("WIN.INI", "Windows", "Device", ""), "comma,q,cups,file:/dev/null");
  EXPECT_EQ(ProfileString("win.ini", "windows", "other", "d"), "d");
  EXPECT_EQ(ProfileString("other.ini", "windows", "device", "d"), "d");
  pt::setProfileDevice("Office,cups,file:/dev/null");
  EXPECT_EQ(ProfileString("win.ini", "windows", "device", ""), "Office,cups,file:/dev/null");
  pt::setProfileDevice(std::nullopt);
  EXPECT_EQ(ProfileString("win.ini", "windows", "device", "gone"), "gone");
}

TEST_F(Spooler, EveryEntryGivesUpOnAServerThatStopsAnswering) {
  cups.addQueue(queue("q", Ppd::A4));
  const std::uint32_t h = open("q");
  Blob buffer = blanks(8192);
  const auto dm = currentDevMode(h);
  cups.freeze();
  std::uint32_t needed = 0, returned = 0, other = 0;
  const std::vector<std::pair<const char*, std::function<bool()>>> entries = {
      {"EnumPrintersA", [&] { return EnumPrintersA(2, nullptr, 2, buffer.address(), 8192, needed, returned); }},
      {"OpenPrinterA", [&] { return OpenPrinterA("q", other, 0); }},
      {"GetPrinterA", [&] { return GetPrinterA(h, 2, buffer.address(), 8192, needed); }},
      {"DocumentPropertiesA 2", [&] { return DocumentPropertiesA(0, h, nullptr, buffer.address(), 0, 2) > 0; }},
      {"DocumentPropertiesA 9", [&] { return merge(h, dm) > 0; }},
      {"DeviceCapabilitiesA", [&] { return DeviceCapabilitiesA("q", nullptr, DC_PAPERS, 0, 0) >= 0; }},
      {"CreateDCA", [&] { return CreateDCA(nullptr, "q", nullptr, 0) != 0; }},
  };
  for (const auto& [name, call] : entries) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(call()) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << name << " hung";
  }
  cups.thaw();
  EXPECT_TRUE(GetPrinterA(h, 2, buffer.address(), 8192, needed)) << "works again once the server runs";
  ClosePrinter(h);
}

}  // namespace
