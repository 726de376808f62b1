#include "platform/comdlg32.h"

#include <QAbstractPrintDialog>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/device_mode_p.h"
#include "platform/kernel32.h"
#include "platform/memory.h"
#include "platform/platform_p.h"
#include "platform/print_server_p.h"
#include "runtime/handles.h"
#include "runtime/window.h"

namespace platform {

namespace {

using detail::pageSizeOf;
using detail::paperOfPageSize;
using detail::put16;
using detail::put32;
namespace dlg = detail::dlg;
namespace pd = detail::pd;
namespace psd = detail::psd;
namespace dn = detail::dn;
using detail::Queue;
using detail::queueNamed;
using detail::Settings;

// What the user chose in a dialog.
struct Choice {
  bool toFile = false;
  std::string queue;
  Settings settings;
  double margins[4] = {};  // millimetres: left, top, right, bottom
  double paperMm[2] = {};  // the page as laid out: width, length
  std::optional<std::uint32_t> devModeBlock, devNamesBlock;
};

// The dialog's start: its owner and the queue it opens on.
struct Start {
  rt::Window* owner = nullptr;
  long ownerHandle = 0;
  std::vector<Queue> queues;
  detail::UserOptions options;
  const Queue* queue = nullptr;  // the user's default; nullptr when there is none
  Settings shown;
};

Settings storedSettings(const Start& start, const Queue* q) {
  return q ? detail::settingsOf(*q, start.options.options(q->name)) : Settings{};
}

// ---- Qt's dialogs.

// Qt reads none of the user's own options for a queue: they are put on the printer here.
void applySettings(QPrinter& printer, const Queue* q, const Settings& s) {
  if (q) printer.setPrinterName(QString::fromStdString(q->name));
  if (s.paper.code != 0) printer.setPageSize(pageSizeOf(s.paper));
  printer.setPageOrientation(s.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setCopyCount(s.copies);
  printer.setCollateCopies(s.collate != 0);
  if (s.duplex)
    printer.setDuplex(s.duplex == 3   ? QPrinter::DuplexShortSide
                      : s.duplex == 2 ? QPrinter::DuplexLongSide
                                      : QPrinter::DuplexNone);
}

Settings settingsFrom(const QPrinter& printer, const Queue* q) {
  Settings s;
  const QPageLayout layout = printer.pageLayout();
  s.paper = paperOfPageSize(layout.pageSize());
  s.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
  s.copies = std::max(1, printer.copyCount());
  s.collate = printer.collateCopies() ? 1 : 0;
  if (q && detail::offersTwoSided(*q)) {
    const QPrinter::DuplexMode d = printer.duplex();
    s.duplex = d == QPrinter::DuplexLongSide ? 2 : d == QPrinter::DuplexShortSide ? 3 : 1;
  }
  return s;
}

// Modal over the owner, which becomes the dialog's transient parent: no parent link
// between the two widgets, so neither's lifetime hangs on the other.
void placeOver(QDialog& dialog, rt::Window* owner) {
  dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  if (!owner || !owner->widget()) return;
  QWidget* top = owner->widget()->window();
  top->winId();
  dialog.winId();
  if (dialog.windowHandle()) dialog.windowHandle()->setTransientParent(top->windowHandle());
}

// Leaves the page range out of Qt's print dialog for good. Where the print system applies
// page ranges itself, the dialog turns its range choices back on each time it updates its
// widgets (when it is shown, when another printer is chosen), whatever its options say; so
// each time one of them comes back, it is put away again. "Print all" and the page set
// (odd or even pages), which is no range, stay.
class NoPageRange : public QObject {
 public:
  explicit NoPageRange(QPrintDialog& dialog) : QObject(&dialog) {
    if (QWidget* group = dialog.findChild<QWidget*>("gbPrintRange")) {
      for (const char* name : {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit"})
        if (auto* choice = group->findChild<QWidget*>(name)) choices_.emplace_back(choice);
      // The "to" between the two page numbers.
      if (auto* to = group->findChild<QLabel*>("label_3")) choices_.emplace_back(to);
      all_ = group->findChild<QRadioButton*>("printAll");
    }
    dialog.installEventFilter(this);
    for (QWidget* choice : choices_) choice->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::ShowToParent || type == QEvent::EnabledChange) putAway();
    return false;
  }

 private:
  void putAway() {
    if (busy_) return;
    busy_ = true;
    for (QWidget* choice : choices_)
      if (choice) {
        choice->setEnabled(false);
        choice->setVisible(false);
      }
    if (all_) all_->setChecked(true);
    busy_ = false;
  }

  std::vector<QPointer<QWidget>> choices_;
  QPointer<QRadioButton> all_;
  bool busy_ = false;
};

std::optional<Choice> qtPrintDialog(Start& start, std::uint32_t flags) {
  QPrinter printer(QPrinter::HighResolution);
  applySettings(printer, start.queue, start.shown);
  QPrintDialog dialog(&printer);
  // Qt leaves the title to the platform's dialog; its own form has none.
  if (dialog.windowTitle().isEmpty()) dialog.setWindowTitle(QPrintDialog::tr("Print"));
  QAbstractPrintDialog::PrintDialogOptions options =
      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize;
  if ((flags & pd::kPrintToFile) && !(flags & (pd::kDisablePrintToFile | pd::kHidePrintToFile)))
    options |= QAbstractPrintDialog::PrintToFile;
  if (!(flags & pd::kNoSelection)) options |= QAbstractPrintDialog::PrintSelection;
  if (!(flags & pd::kNoPageNums)) options |= QAbstractPrintDialog::PrintPageRange;
  dialog.setOptions(options);
  if (flags & pd::kNoPageNums) new NoPageRange(dialog);
  placeOver(dialog, start.owner);
  // A queue picked in the dialog shows the user's own options for it too.
  if (auto* printers = dialog.findChild<QComboBox*>("printers")) {
    QObject::connect(
        printers, &QComboBox::currentTextChanged, &dialog,
        [&](const QString& name) {
          const Queue* q = queueNamed(start.queues, name.toStdString());
          if (!q) return;
          const Settings s = storedSettings(start, q);
          applySettings(printer, nullptr, s);
          if (auto* copies = dialog.findChild<QSpinBox*>("copies")) copies->setValue(s.copies);
          if (auto* collate = dialog.findChild<QCheckBox*>("collate")) collate->setChecked(s.collate != 0);
          // The dialog keeps the last queue's two-sided choice in its own buttons and takes it on OK.
          const char* sides = s.duplex == 3 ? "duplexShort" : s.duplex == 2 ? "duplexLong" : "noDuplex";
          if (auto* button = dialog.findChild<QRadioButton*>(sides)) button->setChecked(true);
        },
        Qt::QueuedConnection);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  Choice choice;
  choice.toFile = printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
  choice.queue = choice.toFile ? std::string() : printer.printerName().toStdString();
  choice.settings = settingsFrom(printer, queueNamed(start.queues, choice.queue));
  return choice;
}

std::optional<Choice> qtPageSetupDialog(Start& start) {
  QPrinter printer(QPrinter::HighResolution);
  applySettings(printer, start.queue, start.shown);
  QPageSetupDialog dialog(&printer);
  placeOver(dialog, start.owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  Choice choice;
  choice.queue = start.queue ? start.queue->name : std::string();
  choice.settings = settingsFrom(printer, start.queue);
  const QPageLayout layout = printer.pageLayout();
  const QMarginsF m = layout.margins(QPageLayout::Millimeter);
  choice.margins[0] = m.left();
  choice.margins[1] = m.top();
  choice.margins[2] = m.right();
  choice.margins[3] = m.bottom();
  const QRectF page = layout.fullRect(QPageLayout::Millimeter);
  choice.paperMm[0] = page.width();
  choice.paperMm[1] = page.height();
  return choice;
}

// ---- A scripted answer.

std::optional<Choice> scripted(const Start& start, const detail::DialogAnswer& answer) {
  if (!answer.ok) return std::nullopt;
  Choice choice;
  choice.toFile = answer.toFile;
  const Queue* q = start.queue;
  if (answer.queue) q = queueNamed(start.queues, *answer.queue);
  if (answer.toFile) q = nullptr;
  choice.queue = q ? q->name : answer.queue.value_or(std::string());
  Settings s = q ? storedSettings(start, q) : start.shown;
  if (answer.paper) s.paper = {*answer.paper, answer.paperWidth.value_or(0), answer.paperLength.value_or(0)};
  if (answer.paper && *answer.paper != detail::kCustomPaper) s.paper = paperOfPageSize(pageSizeOf(s.paper));
  if (answer.orientation) s.orientation = *answer.orientation;
  if (answer.copies) s.copies = *answer.copies;
  if (answer.collate) s.collate = *answer.collate;
  if (answer.duplex) s.duplex = *answer.duplex;
  choice.settings = s;
  std::copy(std::begin(answer.margins), std::end(answer.margins), choice.margins);
  const bool landscape = s.orientation == 2;
  choice.paperMm[0] = (landscape ? s.paper.length : s.paper.width) / 10.0;
  choice.paperMm[1] = (landscape ? s.paper.width : s.paper.length) / 10.0;
  choice.devModeBlock = answer.devModeBlock;
  choice.devNamesBlock = answer.devNamesBlock;
  return choice;
}

// ---- The two blocks a confirmed dialog hands back.

std::uint32_t blockWith(const std::vector<std::uint8_t>& bytes) {
  const std::uint32_t handle = GlobalAlloc(GMEM_MOVEABLE, static_cast<std::uint32_t>(bytes.size()));
  if (handle == 0) return 0;
  writeBytes(GlobalLock(handle), bytes);
  GlobalUnlock(handle);
  return handle;
}

std::uint32_t devModeBlock(const Choice& choice, const Queue* q) {
  const auto dm = detail::devModeOf(q ? *q : Queue{}, choice.settings);
  return blockWith({dm.begin(), dm.end()});
}

// The header of offsets, then the driver, the queue and the port, each ending in 0.
std::uint32_t devNamesBlock(const Choice& choice, const Queue* q, bool isDefault) {
  const std::string driver = q ? toAnsi(q->makeAndModel) : std::string();
  const std::string device = q ? toAnsi(q->name) : std::string();
  const std::string port = q ? toAnsi(q->deviceUri) : std::string(choice.toFile ? "FILE:" : "");
  std::vector<std::uint8_t> bytes(dn::kHeaderSize);
  auto add = [&](const std::string& s) {
    const auto at = static_cast<std::uint32_t>(bytes.size());
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
    return at;
  };
  put16(bytes, dn::kDriverOffset, add(driver));
  put16(bytes, dn::kDeviceOffset, add(device));
  put16(bytes, dn::kOutputOffset, add(port));
  put16(bytes, dn::kDefault, isDefault ? 1 : 0);
  return blockWith(bytes);
}

enum class Dialog { print, pageSetup };

// Shows the dialog (or takes the test's answer) and hands back the record as passed with the
// chosen blocks in it; nullopt when it cannot be shown or the user cancels.
struct Result {
  std::vector<std::uint8_t> record;
  Choice choice;
};

std::optional<Result> runDialog(Dialog dialog, std::uint32_t address) {
  const bool print = dialog == Dialog::print;
  std::vector<std::uint8_t> record(print ? pd::kSize : psd::kSize);
  detail::logCall(print ? "PrintDlgA" : "PageSetupDlgA", [&] {
    return detail::Args{{"record", std::to_string(address)}};
  });
  if (!readBytes(address, record) || detail::get32(record, dlg::kStructSize) != record.size()) return std::nullopt;
  Start start;
  start.ownerHandle = static_cast<long>(detail::get32(record, dlg::kOwner));
  if (start.ownerHandle != 0) {
    start.owner = rt::openWindow(start.ownerHandle);
    if (!start.owner) return std::nullopt;
  }
  // The server first, with the short time-out: the dialogs' own code has none.
  auto queues = detail::listQueues();
  if (!queues) return std::nullopt;
  start.queues = std::move(*queues);
  start.options = detail::UserOptions::load();
  const std::string defaultName = detail::userDefault(start.queues, start.options);
  start.queue = queueNamed(start.queues, defaultName);
  start.shown = storedSettings(start, start.queue);
  std::optional<detail::DialogAnswer> answer;
  if (const auto& hook = detail::hooks().dialog) {
    const Settings& s = start.shown;
    answer = hook({print ? "print" : "page setup", record, start.ownerHandle,
                   start.queue ? start.queue->name : std::string(), s.paper.code, s.paper.width, s.paper.length,
                   s.orientation, s.copies, s.collate, s.duplex});
  }

  std::optional<Choice> choice;
  if (answer) {
    choice = scripted(start, *answer);
  } else {
    choice = print ? qtPrintDialog(start, detail::get32(record, pd::kFlags)) : qtPageSetupDialog(start);
  }
  if (!choice) return std::nullopt;
  const Queue* q = choice->toFile ? nullptr : queueNamed(start.queues, choice->queue);
  put32(record, dlg::kDevMode, choice->devModeBlock ? *choice->devModeBlock : devModeBlock(*choice, q));
  put32(record, dlg::kDevNames,
        choice->devNamesBlock ? *choice->devNamesBlock : devNamesBlock(*choice, q, q && q->name == defaultName));
  return Result{std::move(record), std::move(*choice)};
}

}  // namespace

std::int32_t PrintDlgA(std::uint32_t lppd) {
  auto result = runDialog(Dialog::print, lppd);
  if (!result) return 0;
  put16(result->record, pd::kCopies, 1);  // copies travel in the device mode
  writeBytes(lppd, result->record);
  return 1;
}

bool PageSetupDlgA(std::uint32_t lppsd) {
  auto result = runDialog(Dialog::pageSetup, lppsd);
  if (!result) return false;
  std::vector<std::uint8_t>& record = result->record;
  const bool inches = (detail::get32(record, psd::kFlags) & psd::kInThousandthsOfInches) != 0;
  auto unit = [&](double mm) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(inches ? mm / 25.4 * 1000 : mm * 100)));
  };
  put32(record, psd::kPaperWidth, unit(result->choice.paperMm[0]));
  put32(record, psd::kPaperLength, unit(result->choice.paperMm[1]));
  for (int i = 0; i < 4; ++i) put32(record, psd::kMargins + 4 * i, unit(result->choice.margins[i]));
  writeBytes(lppsd, record);
  return true;
}

}  // namespace platform
