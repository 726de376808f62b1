#include "controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QIcon>
#include <QPalette>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

#include "event.h"
#include "runtime_p.h"
#include "units.h"
#include "widgets_p.h"
#include "window.h"

namespace rt {

QFont makeFont(const std::string& facename, int textsize, int weight, bool italic, bool underline) {
  QFont font(detail::qs(facename));
  // Points at the fixed 96 dots per inch the logical units assume.
  const int pixels = textsize < 0 ? static_cast<int>(std::lround(-textsize * 96.0 / 72.0)) : textsize;
  font.setPixelSize(std::max(pixels, 1));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

bool TextControl::isFontProperty(const void* which) const {
  return !which || which == &facename || which == &textsize || which == &weight || which == &italic ||
         which == &underline || which == &fontcharset;
}

void TextControl::syncWidget(const void* which) {
  Control::syncWidget(which);
  QWidget* w = widget();
  if (isFontProperty(which)) w->setFont(makeFont(facename, textsize, weight, italic, underline));
  if (!which || which == &textcolor || which == &backcolor) {
    QPalette pal = w->palette();
    const QColor fg = detail::toQColor(textcolor);
    // A disabled control shows the runtime's greyed text, whatever its own colour.
    for (auto group : {QPalette::Active, QPalette::Inactive})
      for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) pal.setColor(group, role, fg);
    const bool opaque = backcolor().role != Color::Role::Transparent;
    if (opaque) {
      const QColor bg = detail::toQColor(backcolor);
      for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) pal.setColor(role, bg);
    }
    w->setPalette(pal);
    w->setAutoFillBackground(opaque && fillsBackground());
  }
}

// ---- command button

namespace {
// A push button that reports the left button's presses, releases and moves over it, in
// logical units from its own top-left corner, before it acts on them.
class ButtonWidget : public QPushButton {
 public:
  ButtonWidget(CommandButton* owner, QWidget* parent) : QPushButton(parent), owner_(refTo(*owner)) {
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
    setMouseTracking(true);
  }

 protected:
  using Handler = long (CommandButton::*)(unsigned long, int, int);
  void report(QMouseEvent* e, Handler handler, const char* name) {
    Ref<CommandButton> owner = owner_;
    if (!owner || !isEnabled()) return;
    const unsigned long flags = mouseFlags(e->buttons(), e->modifiers());
    const int xu = units::toUnitsX(e->position().toPoint().x());
    const int yu = units::toUnitsY(e->position().toPoint().y());
    dispatchEvent(*owner, name, [&] { (owner.get().*handler)(flags, xu, yu); });
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) report(e, &CommandButton::lbuttondown, "lbuttondown");
    QPushButton::mousePressEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) report(e, &CommandButton::lbuttonup, "lbuttonup");
    QPushButton::mouseReleaseEvent(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    report(e, &CommandButton::mousemove, "mousemove");
    QPushButton::mouseMoveEvent(e);
  }

 private:
  Ref<CommandButton> owner_;
};
}  // namespace

bool leftButtonDown() { return QGuiApplication::mouseButtons() & Qt::LeftButton; }

CommandButton::CommandButton() {
  width = 329;
  height = 100;
}

QWidget* CommandButton::makeWidget(QWidget* parent) {
  auto* button = new ButtonWidget(this, parent);
  Ref<CommandButton> self = refTo(*this);
  QObject::connect(button, &QPushButton::clicked, [self] {
    if (self) self->click();
  });
  return button;
}

void CommandButton::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  if (!which || which == &text) static_cast<QPushButton*>(widget())->setText(detail::qs(text));
}

void CommandButton::click() {
  Ref<CommandButton> self = refTo(*this);
  dispatchEvent(*this, "clicked", [self] { self->clicked(); });
}

void CommandButton::pressAccessKey() {
  if (auto* button = static_cast<QPushButton*>(widget())) button->click();
}

// ---- single-line edit

SingleLineEdit::SingleLineEdit() {
  width = 400;
  height = 100;
  backcolor = Color::windowBackground();
}

QWidget* SingleLineEdit::makeWidget(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setFocusPolicy(Qt::NoFocus);
  Ref<SingleLineEdit> self = refTo(*this);
  QObject::connect(edit, &QLineEdit::textEdited, [self](const QString& typed) {
    if (!self) return;
    self->text.assignQuietly(typed.toStdString());
    dispatchEvent(*self, "editchanged", [self] { self->editchanged(); });
  });
  return edit;
}

void SingleLineEdit::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* edit = static_cast<QLineEdit*>(widget());
  // The limit first: a text set from code is cut to the limit the widget has.
  if (!which || which == &limit) edit->setMaxLength(limit > 0 ? limit() : std::numeric_limits<int>::max());
  if (!which || which == &text) {
    const QString t = detail::qs(text);
    if (edit->text() != t) edit->setText(t);
  }
  if (!which || which == &displayonly) edit->setReadOnly(displayonly);
  if (!which || which == &alignment) {
    const Qt::Alignment h = alignment == Alignment::Center  ? Qt::AlignHCenter
                            : alignment == Alignment::Right ? Qt::AlignRight
                                                            : Qt::AlignLeft;
    edit->setAlignment(h | Qt::AlignVCenter);
  }
  if (!which || which == &border) edit->setFrame(border);
}

int LineEditControl::selectText(int start, int length) {
  auto* edit = static_cast<QLineEdit*>(widget());
  if (!edit || start < 1 || length < 0) return -1;
  edit->setSelection(start - 1, length);
  return static_cast<int>(edit->selectedText().size());
}

std::string LineEditControl::selectedText() const {
  auto* edit = static_cast<QLineEdit*>(widget());
  return edit ? edit->selectedText().toStdString() : std::string();
}

}  // namespace rt

namespace rt {

// ---- static text and link

namespace {
// A label whose release over it is a click, as the runtime's texts have it.
class LabelWidget : public QLabel {
 public:
  LabelWidget(StaticText* owner, QWidget* parent) : QLabel(parent), owner_(refTo(*owner)) {
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override { pressed_ = e->button() == Qt::LeftButton; }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (!pressed_ || e->button() != Qt::LeftButton || !rect().contains(e->pos())) return;
    pressed_ = false;
    Ref<StaticText> owner = owner_;
    if (owner && owner->enabled) dispatchEvent(*owner, "clicked", [owner] { owner->clicked(); });
  }

 private:
  Ref<StaticText> owner_;
  bool pressed_ = false;
};
}  // namespace

StaticText::StaticText() {
  width = 400;
  height = 80;
}

QWidget* StaticText::makeWidget(QWidget* parent) { return new LabelWidget(this, parent); }

void StaticText::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* label = static_cast<QLabel*>(widget());
  if (!which || which == &text) label->setText(detail::qs(text));
  if (!which || which == &alignment) {
    const Qt::Alignment h = alignment == Alignment::Center  ? Qt::AlignHCenter
                            : alignment == Alignment::Right ? Qt::AlignRight
                                                            : Qt::AlignLeft;
    label->setAlignment(h | Qt::AlignTop);
  }
}

HyperLink::HyperLink() {
  pointer = "HyperLink!";
  underline = true;
  textcolor = Color::link();
}

void HyperLink::clicked() { openUrl(url); }

void openUrl(const std::string& url) {
  if (url.empty()) return;
  if (auto& hook = detail::hooks().openUrl) return hook(url);
  QProcess::startDetached(QStringLiteral("xdg-open"), {detail::qs(url)});
}

// ---- group box

namespace {
// An etched frame with its caption over the top line; the inside is left unpainted, so
// whatever lies behind shows through.
class GroupBoxWidget : public QGroupBox {
 public:
  explicit GroupBoxWidget(QWidget* parent) : QGroupBox(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int top = title().isEmpty() ? 1 : fm.height() / 2;
    const QRect frame = rect().adjusted(0, top, -2, -2);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(frame);
    p.setPen(Qt::white);
    p.drawRect(frame.translated(1, 1));
    if (title().isEmpty()) return;
    const QRect caption(8, 0, fm.horizontalAdvance(title()) + 6, fm.height());
    p.fillRect(caption, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(caption, Qt::AlignCenter, title());
  }
};
}  // namespace

GroupBox::GroupBox() {
  width = 800;
  height = 400;
  backcolor = Color::transparent();
}

QWidget* GroupBox::makeWidget(QWidget* parent) { return new GroupBoxWidget(parent); }

void GroupBox::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  if (!which || which == &text) static_cast<QGroupBox*>(widget())->setTitle(detail::qs(text));
}

// ---- check box

CheckBox::CheckBox() {
  width = 600;
  height = 80;
}

namespace {
// A check box or radio button takes a click anywhere in its rectangle, not only on its
// mark and caption.
template <class Button>
class WholeButton : public Button {
 public:
  explicit WholeButton(QWidget* parent) : Button(parent) { this->setFocusPolicy(Qt::NoFocus); }

 protected:
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};
}  // namespace

QWidget* CheckBox::makeWidget(QWidget* parent) {
  auto* box = new WholeButton<QCheckBox>(parent);
  Ref<CheckBox> self = refTo(*this);
  QObject::connect(box, &QCheckBox::clicked, [self](bool state) {
    if (!self) return;
    self->checked.assignQuietly(state);
    dispatchEvent(*self, "clicked", [self] { self->clicked(); });
  });
  return box;
}

void CheckBox::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* box = static_cast<QCheckBox*>(widget());
  if (!which || which == &text) box->setText(detail::qs(text));
  if (!which || which == &checked) box->setChecked(checked);
}

void CheckBox::pressAccessKey() {
  if (auto* box = static_cast<QCheckBox*>(widget())) box->click();
}

// ---- radio button

namespace {
class RadioWidget : public WholeButton<QRadioButton> {
 public:
  explicit RadioWidget(QWidget* parent) : WholeButton(parent) {
    setAutoExclusive(false);  // the runtime decides the groups
    installAccessibleRole();
  }

 protected:
  void nextCheckState() override {}  // a click never clears a checked button

 private:
  static void installAccessibleRole();
};

// Qt announces a checkable button that is not auto-exclusive as a check box; screen readers
// and test tools must hear a radio button.
class RadioAccessible : public QAccessibleWidget {
 public:
  explicit RadioAccessible(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    QString caption = button()->text();
    return caption.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = button()->isChecked();
    return s;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && button()->isEnabled()) button()->click();
  }

 private:
  QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

void RadioWidget::installAccessibleRole() {
  static const bool installed = [] {
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
      auto* radio = dynamic_cast<RadioWidget*>(object);
      return radio ? new RadioAccessible(radio) : nullptr;
    });
    return true;
  }();
  (void)installed;
}

bool containsWhole(const Control& box, const Control& c) {
  return c.x >= box.x && c.y >= box.y && c.x + c.width <= box.x + box.width && c.y + c.height <= box.y + box.height;
}

// The innermost group box of the same container that contains `c` whole, or null.
const Control* groupOf(const Control& c, const std::vector<std::shared_ptr<Control>>& siblings) {
  const Control* best = nullptr;
  for (const auto& s : siblings) {
    if (!dynamic_cast<const GroupBox*>(s.get()) || !containsWhole(*s, c)) continue;
    if (!best || static_cast<long>(s->width) * s->height < static_cast<long>(best->width) * best->height)
      best = s.get();
  }
  return best;
}
}  // namespace

RadioButton::RadioButton() {
  width = 600;
  height = 80;
}

QWidget* RadioButton::makeWidget(QWidget* parent) {
  auto* button = new RadioWidget(parent);
  Ref<RadioButton> self = refTo(*this);
  QObject::connect(button, &QRadioButton::clicked, [self] {
    if (!self) return;
    self->select();
    dispatchEvent(*self, "clicked", [self] { self->clicked(); });
  });
  return button;
}

void RadioButton::select() {
  checked = true;
  Ref<Window> w = getParent();
  if (!w) return;
  const auto& siblings = holder() ? holder()->children() : w->controls();
  const Control* group = groupOf(*this, siblings);
  for (const auto& s : siblings) {
    auto* other = dynamic_cast<RadioButton*>(s.get());
    if (other && other != this && groupOf(*other, siblings) == group) other->checked = false;
  }
}

void RadioButton::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* button = static_cast<QRadioButton*>(widget());
  if (!which || which == &text) button->setText(detail::qs(text));
  if (!which || which == &checked) button->setChecked(checked);
}

void RadioButton::pressAccessKey() {
  if (auto* button = static_cast<QRadioButton*>(widget())) button->click();
}

// ---- user object

UserObject::UserObject() {
  width = 400;
  height = 200;
}

QWidget* UserObject::makeWidget(QWidget* parent) {
  auto* w = new QWidget(parent);
  w->setFocusPolicy(Qt::NoFocus);
  return w;
}

void UserObject::syncWidget(const void* which) {
  Control::syncWidget(which);
  if (!which || which == &backcolor) {
    QPalette pal = widget()->palette();
    pal.setColor(QPalette::Window, detail::toQColor(backcolor));
    widget()->setPalette(pal);
    widget()->setAutoFillBackground(backcolor().role != Color::Role::Transparent);
  }
}

}  // namespace rt

namespace rt {

// ---- picture list box

namespace {
class PictureListWidget : public QWidget {
 public:
  PictureListWidget(PictureListBox* owner, QWidget* parent) : QWidget(parent), owner_(refTo(*owner)) {
    setFocusPolicy(Qt::NoFocus);
    // It never takes a click: what lies under it does.
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  bool frozen = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    PictureListBox* box = owner_.raw();
    if (!box || frozen) return;
    QPainter p(this);
    const int size = 16;
    int y = 0;
    for (std::size_t i = 0; i < box->items().size(); ++i) {
      const auto& item = box->items()[i];
      const bool selected = box->selected() == static_cast<int>(i + 1);
      if (selected) p.fillRect(QRect(0, y, width(), size), palette().color(QPalette::Highlight));
      if (item.picture >= 1 && item.picture <= static_cast<int>(box->pictures().size())) {
        const std::string& name = box->pictures()[static_cast<std::size_t>(item.picture - 1)];
        QIcon icon = detail::stockIcon(name);
        const QIcon::Mode mode = QIcon::Normal;  // shown in colour although the box is disabled
        if (!icon.isNull())
          icon.paint(&p, QRect(0, y, size, size), Qt::AlignCenter, mode);
        else if (QPixmap pm = detail::loadPicture(name); !pm.isNull())
          p.drawPixmap(QRect(0, y, size, size), pm);
      }
      if (!item.label.empty())
        p.drawText(QRect(size + 2, y, width() - size - 2, size), Qt::AlignVCenter, detail::qs(item.label));
      y += size;
    }
  }

 private:
  Ref<PictureListBox> owner_;
};
}  // namespace

PictureListBox::PictureListBox() {
  width = 400;
  height = 300;
  backcolor = Color::transparent();
}

QWidget* PictureListBox::makeWidget(QWidget* parent) { return new PictureListWidget(this, parent); }

void PictureListBox::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  widget()->update();
}

int PictureListBox::reset() {
  items_.clear();
  pictures_.clear();
  selected_ = 0;
  if (widget()) widget()->update();
  return 1;
}

int PictureListBox::setredraw(bool redraw) {
  redraw_ = redraw;
  if (auto* w = static_cast<PictureListWidget*>(widget())) {
    w->frozen = !redraw;
    if (redraw) w->update();
  }
  return 1;
}

int PictureListBox::addpicture(const std::string& name) {
  pictures_.push_back(name);
  return static_cast<int>(pictures_.size());
}

int PictureListBox::additem(const std::string& label, int picture) {
  items_.push_back({label, picture});
  if (widget() && redraw_) widget()->update();
  return static_cast<int>(items_.size());
}

int PictureListBox::selectitem(int index) {
  if (index < 0 || index > static_cast<int>(items_.size())) return -1;
  selected_ = index;
  if (widget() && redraw_) widget()->update();
  return index;
}

}  // namespace rt
