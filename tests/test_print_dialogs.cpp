// The print and page set-up dialogs of the printer services, over a print server of the
// test's own: scripted answers for what the choices lead to, Qt's real dialogs for what the
// user meets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/ansi.h"
#include "platform/kernel32.h"
#include "platform/memory.h"
#include "platform/testing.h"
#include "printing/n_printer.h"
#include "printing/n_printer_layout.h"
#include "runtime/handles.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "support/cups_server.h"

namespace t = rt::testing;
namespace pt = platform::testing;
using support::PrivateCups;
using Ppd = PrivateCups::Ppd;

namespace {

PrivateCups::Queue queue(std::string name, Ppd ppd = Ppd::None) { return {std::move(name), ppd, "", "", false}; }

// The object, with its restricted functions open to the tests.
struct printer_services : n_printer {
  using n_printer::of_modifyprinter;
};

struct w_owner : rt::Window {
  RT_CLASS(w_owner)
};

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    cups.addQueue(queue("office", Ppd::A4));
    cups.addQueue(queue("letter", Ppd::Letter));
    cups.addQueue(queue("打印机甲", Ppd::A4));
    cups.addQueue(queue("raw"));
    cups.setDefault("office");
  }
  void TearDown() override { pt::clear(); }

  // Paper code, width, length, orientation of a queue as the object reads them.
  std::vector<int> paperOf(const std::string& name) {
    std::int16_t size = 0, width = 0, length = 0;
    EXPECT_EQ(printer.of_getpapersize(name, size, width, length), 1) << name;
    n_printer::any orientation;
    EXPECT_EQ(printer.of_printer(name, 7, orientation, size, width, length), 1);
    return {size, width, length, orientation.toInteger()};
  }

  t::Session session{30000};
  PrivateCups cups;
  printer_services printer;
};

// ---- The records as the dialogs receive them.

TEST_F(Dialogs, TheRecordsArriveAsTheirPublishedBytes) {
  rt::Ref<w_owner> owner;
  rt::open(owner);
  t::processEvents();
  const long hwnd = rt::handleOf(*owner);
  for (const long h : {0L, hwnd}) {
    SCOPED_TRACE(h);
    pt::clear();
    pt::scriptDialog({});
    pt::scriptDialog({});
    std::int32_t l = 0, r = 0, tp = 0, b = 0;
    EXPECT_EQ(printer.of_printsetup(static_cast<std::uint32_t>(h)), -1);
    EXPECT_EQ(printer.of_pagesetup(static_cast<std::uint32_t>(h), l, r, tp, b), -1);
    const auto shown = pt::dialogsShown();
    ASSERT_EQ(shown.size(), 2u);

    std::vector<std::uint8_t> print(66, 0);
    print[0] = 66;
    for (int i = 0; i < 4; ++i) print[4 + i] = static_cast<std::uint8_t>(h >> (8 * i));
    print[20] = 0x2C;
    print[22] = 0x04;
    EXPECT_EQ(shown[0].kind, "print");
    EXPECT_EQ(shown[0].record, print);
    EXPECT_EQ(shown[0].owner, h);
    EXPECT_EQ(shown[0].queue, "office") << "it starts on the user's default";

    std::vector<std::uint8_t> page(84, 0);
    page[0] = 84;
    for (int i = 0; i < 4; ++i) page[4 + i] = static_cast<std::uint8_t>(h >> (8 * i));
    page[16] = 8;
    EXPECT_EQ(shown[1].kind, "page setup");
    EXPECT_EQ(shown[1].record, page);
  }
}

TEST_F(Dialogs, ARecordOfAnotherSizeShowsNothing) {
  n_printer::str_printdlg print;
  print.lstructsize = 60;
  n_printer::str_pagesetupdlg page;
  page.lstructsize = 66;
  pt::DialogAnswer ok;
  ok.ok = true;
  pt::scriptDialog(ok);
  EXPECT_EQ(printer.printdlg(print), 0);
  EXPECT_FALSE(printer.pagesetupdlg(page));
  EXPECT_TRUE(pt::dialogsShown().empty());
  EXPECT_EQ(print.hdevmode, 0u);
  EXPECT_EQ(pt::liveGlobalMemoryHandles(), 0);
}

TEST_F(Dialogs, ACancelledDialogChangesNothing) {
  const std::string options = cups.userOptions();
  const int blocks = pt::liveGlobalMemoryHandles();
  pt::scriptDialog({});
  EXPECT_EQ(printer.of_printsetup(0), -1);
  std::int32_t l = 11, r = 22, tp = 33, b = 44;
  pt::scriptDialog({});
  EXPECT_EQ(printer.of_pagesetup(0, l, r, tp, b), -1);
  EXPECT_EQ(std::vector<int>({l, r, tp, b}), std::vector<int>({11, 22, 33, 44}));
  EXPECT_EQ(cups.userOptions(), options);
  EXPECT_EQ(pt::liveGlobalMemoryHandles(), blocks);
  EXPECT_TRUE(pt::calls("DocumentPropertiesA").empty());
}

// ---- What a confirmed print dialog writes.

TEST_F(Dialogs, AConfirmedPrintDialogWritesTheChoiceAndMakesTheQueueTheDefault) {
  struct Case {
    const char* what;
    pt::DialogAnswer answer;
    std::string queue;
    std::vector<int> paper;  // code, width, length, orientation
    std::vector<std::string> stored;
  };
  auto answer = [](std::optional<std::string> q, int paper, int orientation, int copies, int collate) {
    pt::DialogAnswer a;
    a.ok = true;
    a.queue = std::move(q);
    a.paper = paper;
    a.orientation = orientation;
    a.copies = copies;
    a.collate = collate;
    return a;
  };
  pt::DialogAnswer custom = answer("打印机甲", 256, 1, 1, 1);
  custom.paperWidth = 1000;
  custom.paperLength = 1500;
  const Case cases[] = {
      {"the default queue, A5, landscape, 3 copies, not collated",
       answer(std::nullopt, 11, 2, 3, 0),
       "office",
       {11, 1480, 2100, 2},
       {"copies=3", "orientation-requested=4", "media=iso_a5_148x210mm",
        "multiple-document-handling=separate-documents-uncollated-copies"}},
      {"another queue, Letter, portrait, 1 copy, collated",
       answer("letter", 1, 1, 1, 1),
       "letter",
       {1, 2159, 2794, 1},
       {}},
      {"a Chinese name with a custom paper", custom, "打印机甲", {256, 1000, 1500, 1}, {"media=Custom.100x150mm"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int blocks = pt::liveGlobalMemoryHandles();
    pt::scriptDialog(c.answer);
    EXPECT_EQ(printer.of_printsetup(0), 1);
    EXPECT_NE(cups.lpstatDefault().find(c.queue), std::string::npos) << cups.lpstatDefault();
    EXPECT_EQ(printer.of_getpbprinter(), c.queue);
    EXPECT_EQ(paperOf(c.queue), c.paper);
    const std::string shown = cups.lpoptions(c.queue);
    for (const std::string& option : c.stored) EXPECT_NE(shown.find(option), std::string::npos) << shown;
    EXPECT_EQ(pt::liveGlobalMemoryHandles(), blocks) << "both blocks are freed";
  }
}

TEST_F(Dialogs, TheFileEntryAndOptionsThatCannotBeStoredWriteNothing) {
  pt::DialogAnswer toFile;
  toFile.ok = true;
  toFile.toFile = true;
  toFile.copies = 4;
  const std::string before = cups.userOptions();
  pt::scriptDialog(toFile);
  EXPECT_EQ(printer.of_printsetup(0), 1);
  EXPECT_EQ(cups.userOptions(), before);
  EXPECT_TRUE(pt::calls("SetPrinterA").empty()) << "no printer is named";

  // The user's options folder is a plain file: nothing can be stored, the dialog still confirms.
  std::remove(cups.userOptionsPath().c_str());
  const std::string folder = cups.home() + "/.cups";
  rmdir(folder.c_str());
  {
    std::FILE* f = std::fopen(folder.c_str(), "w");
    std::fclose(f);
  }
  pt::DialogAnswer other;
  other.ok = true;
  other.queue = "letter";
  other.copies = 2;
  pt::scriptDialog(other);
  EXPECT_EQ(printer.of_printsetup(0), 1);
  EXPECT_EQ(cups.lpoptions("letter").find("copies=2"), std::string::npos);
}

// ---- Confirmed page set-up.

TEST_F(Dialogs, AConfirmedPageSetupHandsBackTheMarginsInTheirOrder) {
  struct Case {
    double margins[4];          // left, top, right, bottom in mm
    std::vector<int> expected;  // left, right, top, bottom
  } cases[] = {{{10, 20, 30, 40}, {1000, 3000, 2000, 4000}}, {{25, 25, 25, 25}, {2500, 2500, 2500, 2500}}};
  for (const Case& c : cases) {
    pt::DialogAnswer a;
    a.ok = true;
    a.paper = 11;
    a.orientation = 2;
    std::copy(std::begin(c.margins), std::end(c.margins), a.margins);
    pt::scriptDialog(a);
    std::int32_t l = 0, r = 0, tp = 0, b = 0;
    EXPECT_EQ(printer.of_pagesetup(0, l, r, tp, b), 1);
    EXPECT_EQ(std::vector<int>({l, r, tp, b}), c.expected);
    EXPECT_EQ(paperOf("office"), std::vector<int>({11, 1480, 2100, 2})) << "written to the default queue";
  }
}

// ---- Blocks a dialog hands back that cannot be read whole.

TEST_F(Dialogs, MissingOrShortBlocksWriteNothingAndAreFreed) {
  auto block = [](std::vector<std::uint8_t> bytes) {
    const std::uint32_t h = platform::GlobalAlloc(platform::GMEM_MOVEABLE, static_cast<std::uint32_t>(bytes.size()));
    platform::writeBytes(platform::GlobalLock(h), bytes);
    platform::GlobalUnlock(h);
    return h;
  };
  auto devMode = [&](std::size_t size) {
    std::vector<std::uint8_t> dm(size, 0);
    dm[36] = 148;
    return block(dm);
  };
  // A real queue's name at `at`, so only the checks keep it from being written.
  auto devNames = [&](std::size_t size, std::uint16_t deviceOffset, const std::string& queue = "office",
                      std::size_t at = printing::kDevnamesHeaderSize) {
    std::vector<std::uint8_t> names(size, 0);
    if (size >= 4) names[2] = static_cast<std::uint8_t>(deviceOffset);
    for (std::size_t i = 0; i < queue.size() && at + i + 1 < size; ++i) names[at + i] = queue[i];
    return block(names);
  };
  // A queue whose name fits where a short block's output offset would be.
  cups.addQueue(queue("x"));
  struct Case {
    const char* what;
    std::function<std::pair<std::uint32_t, std::uint32_t>()> blocks;
  } cases[] = {
      {"no device mode",
       [&] {
         return std::pair{0u, devNames(20, 8)};
       }},
      {"no device names",
       [&] {
         return std::pair{devMode(148), 0u};
       }},
      {"a device mode of 100 bytes",
       [&] {
         return std::pair{devMode(100), devNames(20, 8)};
       }},
      {"device names of 6 bytes",
       [&] {
         return std::pair{devMode(148), devNames(6, 2)};
       }},
      {"device names of 6 bytes whose offset finds a name",
       [&] {
         return std::pair{devMode(148), devNames(6, 4, "x", 4)};
       }},
      {"an empty device name",
       [&] {
         return std::pair{devMode(148), devNames(20, 19)};
       }},
      {"a device offset at the block's end",
       [&] {
         return std::pair{devMode(148), devNames(20, 20)};
       }},
  };
  const std::string before = cups.userOptions();
  for (const bool pageSetup : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (pageSetup ? " (page set-up)" : " (print)"));
      pt::clear();
      const auto [dm, dn] = c.blocks();
      pt::DialogAnswer a;
      a.ok = true;
      a.devModeBlock = dm;
      a.devNamesBlock = dn;
      a.margins[0] = 5;
      pt::scriptDialog(a);
      std::int32_t l = 0, r = 0, tp = 0, b = 0;
      EXPECT_EQ(pageSetup ? printer.of_pagesetup(0, l, r, tp, b) : printer.of_printsetup(0), 1);
      if (pageSetup) {
        EXPECT_EQ(l, 500) << "the margins still come back";
      }
      for (const auto& call : pt::calls("DocumentPropertiesA")) EXPECT_NE(call.arg("mode"), "9");
      EXPECT_TRUE(pt::calls("SetPrinterA").empty());
      EXPECT_TRUE(pt::calls("OpenPrinterA").empty()) << "no name, no printer to open";
      EXPECT_EQ(pt::liveGlobalMemoryHandles(), 0) << "every block the dialog returned is freed";
      EXPECT_EQ(cups.userOptions(), before);
    }
}

TEST_F(Dialogs, ModifyPrinterWritesOnlyWhatTheQueueTakes) {
  n_printer::str_devmode dm;
  dm.dmsize = 148;
  dm.dmorientation = 2;
  dm.dmcopies = 2;
  dm.dmcollate = 1;
  const n_printer::str_devmode copy = dm;
  EXPECT_EQ(printer.of_modifyprinter("missing", dm), -1);
  EXPECT_EQ(printer.of_modifyprinter("office", dm), 1);
  EXPECT_EQ(dm, copy) << "the caller's record is its own";
  EXPECT_EQ(pt::calls("DocumentPropertiesA").back().arg("dmfields"), std::to_string(0x1FFFFFFF));
  const std::string shown = cups.lpoptions("office");
  EXPECT_NE(shown.find("orientation-requested=4"), std::string::npos) << shown;
  EXPECT_NE(shown.find("copies=2"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("media="), std::string::npos) << "a paper of 0 is left as it is: " << shown;

  const std::string stored = cups.userOptions();
  dm.dmorientation = 3;
  EXPECT_EQ(printer.of_modifyprinter("office", dm), -1);
  EXPECT_EQ(cups.userOptions(), stored);

  pt::faults().failGetPrinter = true;
  EXPECT_EQ(printer.of_modifyprinter("office", copy), -1);
  EXPECT_EQ(pt::calls().back().entry, "ClosePrinter") << "the printer is closed";
  pt::faults().failGetPrinter = false;
  pt::faults().getPrinterWantsMore = true;
  const auto reads = pt::calls("GetPrinterA").size();
  EXPECT_EQ(printer.of_modifyprinter("office", copy), -1);
  EXPECT_LE(pt::calls("GetPrinterA").size() - reads, 5u);
  EXPECT_EQ(pt::livePrinterHandles(), 0);
}

// ---- The owner and the server.

TEST_F(Dialogs, AClosedOwnerOrADeadServerShowsNoDialog) {
  rt::Ref<w_owner> owner;
  rt::open(owner);
  t::processEvents();
  const long hwnd = rt::handleOf(*owner);
  rt::close(owner);
  t::processEvents();
  std::int32_t l = 11, r = 22, tp = 33, b = 44;
  EXPECT_EQ(printer.of_printsetup(static_cast<std::uint32_t>(hwnd)), -1);
  EXPECT_EQ(printer.of_pagesetup(static_cast<std::uint32_t>(hwnd), l, r, tp, b), -1);
  EXPECT_EQ(printer.of_printsetup(12345), -1) << "not a window's handle";
  EXPECT_TRUE(pt::dialogsShown().empty());

  pt::scriptDialog({});  // a dialog, were one shown, answers at once
  for (const bool frozen : {false, true}) {
    SCOPED_TRACE(frozen ? "frozen" : "stopped");
    frozen ? cups.freeze() : cups.stop();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(printer.of_printsetup(0), -1);
    EXPECT_EQ(printer.of_pagesetup(0, l, r, tp, b), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(pt::dialogsShown().empty()) << "no dialog is shown";
    frozen ? cups.thaw() : cups.start();
  }
  EXPECT_EQ(l, 11);
}

// ---- Qt's own dialogs, run by an action posted into their loop.

// Runs `action` on the modal dialog once it is up.
void whenModal(std::function<void(QDialog&)> action) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, action] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      action(*dialog);
    }
  });
  poll->start();
}

TEST_F(Dialogs, QtsPrintDialogListsTheQueuesStartsOnTheDefaultAndTakesAnotherQueue) {
  // The user's own options: Qt reads none of them itself.
  cups.run({"lpoptions", "-p", "office", "-o", "media=na_letter_8.5x11in"});
  cups.run({"lpoptions", "-p", "letter", "-o", "copies=3"});
  rt::Ref<w_owner> owner;
  rt::open(owner);
  t::processEvents();
  const long hwnd = rt::handleOf(*owner);
  QStringList listed;
  QString startedOn;
  bool overOwner = false;
  int copiesShown = 0;
  whenModal([&](QDialog& dialog) {
    auto* printers = dialog.findChild<QComboBox*>("printers");
    ASSERT_NE(printers, nullptr);
    for (int i = 0; i < printers->count(); ++i) listed << printers->itemText(i);
    startedOn = printers->currentText();
    overOwner = dialog.windowHandle() && dialog.windowHandle()->transientParent() == owner->widget()->windowHandle();
    printers->setCurrentIndex(printers->findText("letter"));
    QTimer::singleShot(50, &dialog, [&dialog, &copiesShown] {
      if (auto* copies = dialog.findChild<QSpinBox*>("copies")) {
        copiesShown = copies->value();
        copies->setValue(2);
      }
      dialog.accept();
    });
  });
  EXPECT_EQ(printer.of_printsetup(static_cast<std::uint32_t>(hwnd)), 1);
  EXPECT_TRUE(listed.contains("office") && listed.contains("letter") && listed.contains("打印机甲"))
      << listed.join("|").toStdString();
  EXPECT_EQ(listed.filter("PDF").size(), 1) << "the file entry is offered: " << listed.join("|").toStdString();
  EXPECT_EQ(startedOn.toStdString(), "office");
  EXPECT_TRUE(overOwner) << "modal over the owner, its transient parent";
  EXPECT_EQ(copiesShown, 3) << "a queue picked shows the user's options for it";
  ASSERT_FALSE(pt::dialogsShown().empty());
  EXPECT_EQ(pt::dialogsShown().back().paper, 1) << "the stored paper is shown";
  EXPECT_NE(cups.lpstatDefault().find("letter"), std::string::npos) << cups.lpstatDefault();
  EXPECT_NE(cups.lpoptions("letter").find("copies=2"), std::string::npos) << cups.lpoptions("letter");
  EXPECT_TRUE(owner->isOpen());
}

TEST_F(Dialogs, QtsPrintDialogConfirmedUnchangedWritesNothingNew) {
  cups.run({"lpoptions", "-p", "letter", "-o", "media=iso_a5_148x210mm", "-o", "orientation-requested=4", "-o",
            "sides=two-sided-long-edge", "-o", "copies=2", "-o",
            "multiple-document-handling=separate-documents-uncollated-copies"});
  cups.setDefault("letter");
  cups.run({"lpoptions", "-p", "office", "-o", "copies=3"});  // portrait, one side, A4: the queue's own
  // Last, the file entry: confirmed, and nothing is written.
  for (const char* picked : {"letter", "office", "PDF"}) {
    SCOPED_TRACE(picked);
    // A queue picked becomes the default; the file entry leaves the default as it was.
    auto state = [&] {
      const std::string options = cups.lpoptions("letter") + "|" + cups.lpoptions("office");
      return std::string(picked) == "PDF" ? options + cups.lpstatDefault() : options;
    };
    const std::string before = state();
    whenModal([&](QDialog& dialog) {
      auto* printers = dialog.findChild<QComboBox*>("printers");
      ASSERT_NE(printers, nullptr);
      printers->setCurrentIndex(printers->findText(picked, Qt::MatchContains));
      QTimer::singleShot(50, &dialog, [&dialog] { dialog.accept(); });
    });
    EXPECT_EQ(printer.of_printsetup(0), 1);
    EXPECT_EQ(state(), before);
  }
}

TEST_F(Dialogs, QtsPrintDialogOffersNoPageRangeWhicheverPrinterIsChosen) {
  // What the range choices look like to the user, after each step.
  std::vector<std::string> seen;
  auto look = [&](QDialog& dialog, const std::string& step) {
    std::string line = step + ":";
    for (const char* name : {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit"}) {
      auto* choice = dialog.findChild<QWidget*>(name);
      if (!choice) {
        line += std::string(" ") + name + " missing";
      } else if (choice->isVisible() || choice->isEnabled()) {
        line += std::string(" ") + name + " offered";
      }
    }
    auto* all = dialog.findChild<QRadioButton*>("printAll");
    if (!all || !all->isVisible() || !all->isEnabled() || !all->isChecked()) line += " not all pages";
    auto* pageSet = dialog.findChild<QWidget*>("pageSetCombo");
    if (!pageSet || !pageSet->isVisible()) line += " no page set";
    seen.push_back(line);
  };
  whenModal([&](QDialog& dialog) {
    // The options opened, on the tab that holds the range.
    for (auto* button : dialog.findChildren<QPushButton*>())
      if (button->text().contains("Options")) button->click();
    auto* tabs = dialog.findChild<QTabWidget*>("tabs");
    ASSERT_NE(tabs, nullptr);
    tabs->setCurrentWidget(dialog.findChild<QWidget*>("copiesTab"));
    auto* printers = dialog.findChild<QComboBox*>("printers");
    ASSERT_NE(printers, nullptr);
    QTimer::singleShot(50, &dialog, [&dialog, printers, &look] {
      look(dialog, "shown");
      printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
      QTimer::singleShot(50, &dialog, [&dialog, printers, &look] {
        look(dialog, "the file entry");
        printers->setCurrentIndex(printers->findText("letter"));
        QTimer::singleShot(50, &dialog, [&dialog, &look] {
          look(dialog, "another queue");
          dialog.reject();
        });
      });
    });
  });
  EXPECT_EQ(printer.of_printsetup(0), -1);
  EXPECT_EQ(seen, std::vector<std::string>({"shown:", "the file entry:", "another queue:"}));
}

TEST_F(Dialogs, QtsDialogsRejectedOrWithMarginsSet) {
  bool parentless = false;
  whenModal([&](QDialog& dialog) {
    parentless = dialog.windowHandle() && !dialog.windowHandle()->transientParent() && !dialog.parentWidget();
    QTest::keyClick(&dialog, Qt::Key_Escape);  // the keyboard alone
  });
  EXPECT_EQ(printer.of_printsetup(0), -1);
  EXPECT_TRUE(parentless) << "no owner, no parent";

  whenModal([](QDialog& dialog) {
    auto set = [&](const char* name, double mm) {
      if (auto* box = dialog.findChild<QDoubleSpinBox*>(name)) box->setValue(mm);
    };
    if (auto* unit = dialog.findChild<QComboBox*>("unitCombo")) {
      for (int i = 0; i < unit->count(); ++i)
        if (unit->itemText(i).contains("mm", Qt::CaseInsensitive) || unit->itemText(i).contains("illimet"))
          unit->setCurrentIndex(i);
    }
    set("leftMargin", 10);
    set("topMargin", 20);
    set("rightMargin", 30);
    set("bottomMargin", 40);
    QTest::keyClick(&dialog, Qt::Key_Return);
  });
  std::int32_t l = 0, r = 0, tp = 0, b = 0;
  EXPECT_EQ(printer.of_pagesetup(0, l, r, tp, b), 1);
  EXPECT_EQ(std::vector<int>({l, r, tp, b}), std::vector<int>({1000, 3000, 2000, 4000}));
}

}  // namespace
