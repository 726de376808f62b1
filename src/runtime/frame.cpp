#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusTipEvent>
#include <QStyleOptionToolButton>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <functional>

#include "application.h"
#include "controls.h"
#include "event.h"
#include "frame_p.h"
#include "menu.h"
#include "runtime_p.h"
#include "widgets_p.h"
#include "window.h"

namespace rt::detail {

void registerToolbar(const std::shared_ptr<ToolbarObject>& tb);

namespace {

// A text size as the runtime gives it: negative points, positive pixels.
QFont sizedFont(const QString& face, int size) {
  QFont f(face);
  const int pixels = size < 0 ? static_cast<int>(std::lround(-size * 96.0 / 72.0)) : size;
  f.setPixelSize(std::max(1, pixels));
  return f;
}

// Whether the application lets the toolbar buttons show their tool tips, asked when a tip
// is about to show, so a change takes effect at once.
bool tipsOn() {
  Application* app = state().app;
  return !app || app->toolbartips;
}

// The texts of a caption as a menu shows them: the caption, and after a tab the shortcut.
QString menuText(const MenuItem& item) { return qs(item.text); }

}  // namespace

// ---- the toolbar

class ToolbarWidget;

class ToolButton : public QAbstractButton {
 public:
  ToolButton(ToolbarWidget* bar, MenuItem& item);
  Ref<MenuItem> item;

 protected:
  void paintEvent(QPaintEvent*) override;
  void enterEvent(QEnterEvent* e) override {
    QAbstractButton::enterEvent(e);
    update();
  }
  void leaveEvent(QEvent* e) override {
    QAbstractButton::leaveEvent(e);
    update();
  }
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip && !tipsOn()) {
      QToolTip::hideText();
      e->ignore();
      return true;
    }
    return QAbstractButton::event(e);
  }

 private:
  ToolbarWidget* bar_;
};

class ToolbarWidget : public QWidget {
 public:
  explicit ToolbarWidget(FrameChrome& chrome) : chrome_(chrome) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
  }

  struct Entry {
    ToolButton* button;
    int space;
  };
  std::vector<Entry> entries;

  // What the settings make of the buttons, worked out by apply().
  QSize iconSize{16, 16};
  bool showText = false;
  QFont textFont;
  QSize buttonSize{23, 22};
  int thickness = 27;
  int gapUnit = 4;
  // The faces the buttons are drawn on, by handle: a face freed meanwhile is simply not drawn.
  long plainFace = 0;
  long sunkenFace = 0;
  bool vertical = false;

  void rebuild(Menu* menu) {
    for (auto& e : entries) delete e.button;
    entries.clear();
    if (!menu) return;
    std::vector<MenuItem*> items;
    std::function<void(const MenuItem&)> collect = [&](const MenuItem& m) {
      for (const auto& child : m.items()) {
        if (!child->toolbaritemname().empty()) items.push_back(child.get());
        collect(*child);
      }
    };
    collect(*menu);
    std::stable_sort(items.begin(), items.end(),
                     [](const MenuItem* a, const MenuItem* b) { return a->toolbaritemorder < b->toolbaritemorder; });
    for (MenuItem* item : items) {
      auto* button = new ToolButton(this, *item);
      entries.push_back({button, item->toolbaritemspace});
    }
  }

  void apply(const ToolbarObject& tb) {
    const auto setting = [&](ToolbarSetting s) -> std::optional<long> {
      auto it = tb.settings.find(s);
      if (it == tb.settings.end()) return std::nullopt;
      return it->second;
    };
    // The first of each pair of writes serves a bar lying across, the second one standing
    // at a side.
    const auto across = [&](ToolbarSetting lying, ToolbarSetting standing) {
      return setting(vertical ? standing : lying);
    };
    const auto pixels = [](long v) { return static_cast<int>(std::clamp<long>(v, 1, 255)); };
    showText = tb.showText;
    textFont = tb.textFace ? sizedFont(*tb.textFace, tb.textSize) : QApplication::font();
    if (auto sep = across(ToolbarSetting::Separator, ToolbarSetting::SeparatorAgain))
      gapUnit = static_cast<int>(std::clamp<long>(*sep, 0, 64));
    plainFace = sunkenFace = 0;
    if (showText) {
      const QPixmap* square = bitmap(tb.iconBitmap);
      iconSize =
          square ? QSize(std::clamp(square->width(), 8, 128), std::clamp(square->height(), 8, 128)) : QSize(16, 16);
      const QFontMetrics fm(textFont);
      int w = iconSize.width() + 8;
      w = std::max(w, fm.horizontalAdvance(tb.extent) + 8);
      for (auto& e : entries)
        if (e.button->item) w = std::max(w, fm.horizontalAdvance(qs(e.button->item->toolbaritemtext)) + 8);
      buttonSize = QSize(w, iconSize.height() + fm.height() + 6);
      thickness = vertical ? buttonSize.width() + 2 : buttonSize.height() + 2;
    } else {
      const int iconW = pixels(setting(ToolbarSetting::IconWidth).value_or(16));
      const int iconH = pixels(setting(ToolbarSetting::IconHeight).value_or(iconW));
      iconSize = QSize(iconW, iconH);
      const auto buttonW = across(ToolbarSetting::ButtonWidth, ToolbarSetting::ButtonWidthAgain);
      const auto buttonH = across(ToolbarSetting::ButtonHeight, ToolbarSetting::ButtonHeightAgain);
      buttonSize = QSize(pixels(buttonW.value_or(iconW + 7)), pixels(buttonH.value_or(iconH + 6)));
      thickness = pixels(vertical ? setting(ToolbarSetting::SideWidth).value_or(iconW + 10)
                                  : setting(ToolbarSetting::BarHeight).value_or(iconH + 11));
      plainFace = setting(ToolbarSetting::PlainFace).value_or(0);
      sunkenFace = setting(ToolbarSetting::SunkenFace).value_or(0);
    }
    for (auto& e : entries) {
      e.button->setText(e.button->item ? qs(e.button->item->toolbaritemtext) : QString());
      e.button->setToolTip(e.button->item ? qs(e.button->item->toolbaritemtext) : QString());
      e.button->setEnabled(e.button->item && e.button->item->enabled);
      e.button->setVisible(e.button->item && e.button->item->visible);
    }
    relayout();
  }

  // The length of the bar's long side the buttons need.
  int extentNeeded() const {
    int at = 2;
    for (const auto& e : entries) at += e.space * gapUnit + (vertical ? buttonSize.height() : buttonSize.width()) + 1;
    return at + 2;
  }

  void relayout() {
    int at = 2;
    for (auto& e : entries) {
      at += e.space * gapUnit;
      if (vertical)
        e.button->setGeometry((thickness - buttonSize.width()) / 2, at, buttonSize.width(), buttonSize.height());
      else
        e.button->setGeometry(at, (thickness - buttonSize.height()) / 2, buttonSize.width(), buttonSize.height());
      at += (vertical ? buttonSize.height() : buttonSize.width()) + 1;
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setPen(QColor(160, 160, 160));
    if (vertical)
      p.drawLine(width() - 1, 0, width() - 1, height());
    else
      p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(Qt::white);
    if (vertical)
      p.drawLine(0, 0, 0, height());
    else
      p.drawLine(0, 0, width(), 0);
    // The gaps between the groups of buttons.
    int at = 2;
    p.setPen(QColor(170, 170, 170));
    for (const auto& e : entries) {
      if (e.space > 0 && at > 2) {
        const int mid = at + e.space * gapUnit / 2;
        if (vertical)
          p.drawLine(3, mid, thickness - 4, mid);
        else
          p.drawLine(mid, 3, mid, thickness - 4);
      }
      at += e.space * gapUnit + (vertical ? buttonSize.height() : buttonSize.width()) + 1;
    }
  }

  // The runtime's own toolbar menu, only where the application lets the user arrange
  // the toolbar himself.
  void contextMenuEvent(QContextMenuEvent* e) override {
    Application* app = state().app;
    if (!app || !app->toolbarusercontrol || !chrome_.window) return;
    Ref<Window> frame = refTo(*chrome_.window);
    QMenu menu;
    const char* places[] = {"左边", "顶部", "右边", "底部", "浮动"};
    for (int i = 0; i < 5; ++i) {
      QAction* a = menu.addAction(QString::fromUtf8(places[i]));
      a->setCheckable(true);
      a->setChecked(frame->toolbaralignment() == i);
      QObject::connect(a, &QAction::triggered, [frame, i] {
        post([frame, i] {
          if (frame) frame->toolbaralignment = i;
        });
      });
    }
    menu.exec(e->globalPos());
  }

 private:
  FrameChrome& chrome_;
};

ToolButton::ToolButton(ToolbarWidget* bar, MenuItem& menuItem)
    : QAbstractButton(bar), item(refTo(menuItem)), bar_(bar) {
  setFocusPolicy(Qt::NoFocus);
  QObject::connect(this, &QAbstractButton::clicked, [this] {
    if (item) pick(*item);
  });
}

void ToolButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool down = isDown();
  const bool hover = underMouse() && isEnabled();
  const QPixmap* face = bitmap(down ? bar_->sunkenFace : bar_->plainFace);
  if (face && !face->isNull()) {
    p.drawPixmap(rect(), *face);
  } else if (down || hover) {
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = rect();
    opt.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);
  }
  const int iw = bar_->iconSize.width(), ih = bar_->iconSize.height();
  const QIcon pic = item ? stockIcon(item->toolbaritemname) : QIcon();
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  const int shift = down ? 1 : 0;
  if (bar_->showText) {
    const QFontMetrics fm(bar_->textFont);
    const int top = (height() - ih - fm.height() - 2) / 2;
    pic.paint(&p, QRect((width() - iw) / 2 + shift, top + shift, iw, ih), Qt::AlignCenter, mode);
    p.setFont(bar_->textFont);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(QRect(shift, top + ih + 2 + shift, width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, text());
  } else {
    pic.paint(&p, QRect((width() - iw) / 2 + shift, (height() - ih) / 2 + shift, iw, ih), Qt::AlignCenter, mode);
  }
}

// The toolbar's own small window while it floats. Closing it hides the toolbar, as the
// frame's visibility switch does, so the two never disagree.
class FloatingHolder : public QWidget {
 public:
  explicit FloatingHolder(Ref<Window> frame)
      : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
        frame_(std::move(frame)) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    Ref<Window> frame = frame_;
    post([frame] {
      if (frame) frame->toolbarvisible = false;
    });
  }

 private:
  Ref<Window> frame_;
};

// ---- the status bar

class StatusBarWidget : public QLabel {
 public:
  explicit StatusBarWidget(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setIndent(4);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }
  long font = 0;
  int barHeight = 20;

 protected:
  void paintEvent(QPaintEvent* e) override {
    {
      QPainter p(this);
      p.setPen(QColor(160, 160, 160));
      p.drawLine(0, 0, width(), 0);
      p.setPen(Qt::white);
      p.drawLine(0, 1, width(), 1);
    }
    QLabel::paintEvent(e);
  }
};

// ---- the chrome

namespace {

// The menus tell the frame each time the highlight moves: the highlighted item's status
// tip, which is its microhelp, or an empty tip once no item is highlighted any more.
class StatusTipFilter : public QObject {
 public:
  explicit StatusTipFilter(FrameChrome& chrome) : chrome_(chrome) {}

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::StatusTip) return false;
    chrome_.showMicrohelp(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }

 private:
  FrameChrome& chrome_;
};

}  // namespace

FrameChrome::FrameChrome(Window& w, QWidget* frame) : window(&w) {
  menuBar = new QMenuBar(frame);
  menuBar->setNativeMenuBar(false);
  menuBar->setFocusPolicy(Qt::NoFocus);
  client = new QWidget(frame);
  client->setAutoFillBackground(true);
  client->setFocusPolicy(Qt::NoFocus);
  status = new StatusBarWidget(frame);
  toolbarObject = std::make_shared<ToolbarObject>();
  Environment env;
  const int version = getEnvironment(env) == 1 ? env.majorVersion : 0;
  toolbarObject->className = "RTFIXEDBAR" + std::to_string(version * 10);
  registerToolbar(toolbarObject);
  toolbar = new ToolbarWidget(*this);
  toolbar->setParent(client);
  // The runtime's own status-bar font, which a utility may replace.
  LogFont own;
  own.height = -12;
  own.facename = "宋体";
  own.charset = kDefaultCharset;
  status->font = createFontIndirect(own);
  showDefaultHelp();
  tipFilter = std::make_unique<StatusTipFilter>(*this);
  frame->installEventFilter(tipFilter.get());
}

FrameChrome::~FrameChrome() {
  if (floatingHolder) {
    floatingHolder->hide();
    floatingHolder->deleteLater();
  }
  releaseObject(toolbarObject->iconBitmap);
  for (const auto& [setting, value] : toolbarObject->settings)
    if (setting == ToolbarSetting::PlainFace || setting == ToolbarSetting::SunkenFace) releaseObject(value);
  toolbarObject->settings.clear();
  toolbarObject->iconBitmap = 0;
  // The status bar's font goes with the bar.
  deleteObject(status->font);
  status->font = 0;
}

void FrameChrome::layout(QWidget* frame) {
  const int w = frame->width();
  const int h = frame->height();
  const int menuH = menuBar->sizeHint().height();
  const int statusH = status->barHeight;
  menuBar->setGeometry(0, 0, w, menuH);
  status->setGeometry(0, h - statusH, w, statusH);
  client->setGeometry(0, menuH, w, std::max(0, h - menuH - statusH));
  const std::optional<int> align = window->toolbaralignment();
  const bool floating = align == 4;
  if (floating || !window->toolbarvisible) return;
  const int cw = client->width(), ch = client->height(), t = toolbar->thickness;
  switch (align.value_or(1)) {
    case 0: toolbar->setGeometry(0, 0, t, ch); break;
    case 2: toolbar->setGeometry(cw - t, 0, t, ch); break;
    case 3: toolbar->setGeometry(0, ch - t, cw, t); break;
    default: toolbar->setGeometry(0, 0, cw, t); break;
  }
  toolbar->raise();
}

void FrameChrome::scheduleApplyToolbar() {
  if (applyPending) return;
  applyPending = true;
  Ref<Window> w = refTo(*window);
  // After the running event: a sequence of writes shows once, never half done.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [w] {
        if (!w) return;
        if (FrameChrome* c = chromeOf(*w)) {
          c->applyPending = false;
          c->applyToolbar();
        }
      },
      Qt::QueuedConnection);
}

void FrameChrome::applyToolbar() {
  QWidget* frame = window->widget();
  if (!frame) return;
  const std::optional<int> align = window->toolbaralignment();
  const bool floating = align == 4;
  toolbar->vertical = !floating && (align == 0 || align == 2);
  toolbar->apply(*toolbarObject);
  if (floating) {
    if (!floatingHolder) {
      floatingHolder = new FloatingHolder(refTo(*window));
      floatingHolder->setWindowTitle(qs(window->title));
      setTransientOwner(floatingHolder, frame);
    }
    toolbar->setParent(floatingHolder);
    const int length = toolbar->extentNeeded();
    toolbar->setGeometry(0, 0, length, toolbar->thickness);
    floatingHolder->setFixedSize(length, toolbar->thickness);
    if (!floatingHolder->isVisible()) floatingHolder->move(frame->mapToGlobal(QPoint(40, menuBar->height() + 40)));
    floatingHolder->setVisible(window->toolbarvisible && frame->isVisible());
    toolbar->show();
  } else {
    if (toolbar->parentWidget() != client) toolbar->setParent(client);
    if (floatingHolder) floatingHolder->hide();
    toolbar->setVisible(window->toolbarvisible);
  }
  layout(frame);
}

void FrameChrome::showMicrohelp(const QString& text) {
  if (text.isEmpty())
    showDefaultHelp();
  else
    status->setText(text);
}

void FrameChrome::showDefaultHelp() {
  Application* app = state().app;
  status->setText(app ? qs(app->microhelpdefault) : QString());
}

namespace {

void addItems(FrameChrome& chrome, QWidget* into, const MenuItem& parent) {
  for (const auto& child : parent.items()) {
    MenuItem& item = *child;
    if (item.isSeparator()) {
      QAction* sep = new QAction(into);
      sep->setSeparator(true);
      into->addAction(sep);
      chrome.actions[&item] = sep;
      continue;
    }
    QAction* action;
    if (!item.items().empty()) {
      auto* menu = new QMenu(menuText(item), into);
      addItems(chrome, menu, item);
      action = menu->menuAction();
      chrome.menus[&item] = menu;
    } else {
      action = new QAction(menuText(item), into);
      Ref<MenuItem> ref = refTo(item);
      QObject::connect(action, &QAction::triggered, [ref] {
        if (ref) pick(*ref);
      });
    }
    // The menus send the status tip as the highlight moves.
    action->setStatusTip(qs(item.microhelp));
    action->setEnabled(item.enabled);
    action->setVisible(item.visible);
    into->addAction(action);
    chrome.actions[&item] = action;
  }
}

}  // namespace

void FrameChrome::rebuildMenu() {
  menuBar->clear();
  actions.clear();
  menus.clear();
  Ref<Menu> menu = window->menu();
  if (menu) addItems(*this, menuBar, *menu);
  toolbar->rebuild(menu.raw());
  scheduleApplyToolbar();
}

void FrameChrome::itemChanged(const MenuItem& item) {
  auto it = actions.find(&item);
  if (it != actions.end() && it->second) {
    it->second->setText(menuText(item));
    it->second->setStatusTip(qs(item.microhelp));
    it->second->setEnabled(item.enabled);
    it->second->setVisible(item.visible);
  }
  scheduleApplyToolbar();
}

bool FrameChrome::shortcut(int vk, bool alt, bool ctrl, bool shift) {
  Ref<Menu> menu = window->menu();
  if (!menu || vk == 0) return false;
  const int code = vk + (ctrl ? 256 : 0) + (alt ? 512 : 0) + (shift ? 1024 : 0);
  MenuItem* found = nullptr;
  std::function<void(const MenuItem&)> search = [&](const MenuItem& m) {
    for (const auto& child : m.items()) {
      if (!found && child->shortcut != 0 && child->shortcut == code && child->enabled && child->visible)
        found = child.get();
      search(*child);
    }
  };
  search(*menu);
  if (found) {
    pick(*found);
    return true;
  }
  // Alt and a letter of the menu bar opens that menu.
  if (alt && !ctrl) {
    for (const auto& child : menu->items()) {
      const std::string& t = child->text;
      auto amp = t.find('&');
      if (amp == std::string::npos || amp + 1 >= t.size()) continue;
      char c = t[amp + 1];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != vk || !child->enabled) continue;
      if (auto a = actions.find(child.get()); a != actions.end() && a->second) {
        if (child->items().empty())
          pick(*child);
        else
          menuBar->setActiveAction(a->second);
        return true;
      }
    }
  }
  return false;
}

std::vector<ToolbarEntryLook> toolbarEntriesOf(FrameChrome& chrome) {
  std::vector<ToolbarEntryLook> out;
  for (const auto& e : chrome.toolbar->entries)
    out.push_back({e.button->text().toStdString(), e.button->item ? std::string(e.button->item->toolbaritemname) : "",
                   e.space * chrome.toolbar->gapUnit, e.button->geometry()});
  return out;
}

QWidget* toolbarButton(FrameChrome& chrome, int index) {
  if (index < 0 || index >= static_cast<int>(chrome.toolbar->entries.size())) return nullptr;
  return chrome.toolbar->entries[static_cast<std::size_t>(index)].button;
}

QWidget* toolbarWidget(FrameChrome& chrome) { return chrome.toolbar; }

QLabel* statusLabel(FrameChrome& chrome) { return chrome.status; }

ToolbarState toolbarStateOf(FrameChrome& chrome) {
  ToolbarWidget& t = *chrome.toolbar;
  ToolbarState state;
  state.floating = chrome.window->toolbaralignment() == 4;
  state.shown = state.floating ? chrome.floatingHolder && chrome.floatingHolder->isVisible() : t.isVisible();
  state.textsShown = t.showText;
  state.textFont = t.textFont;
  state.iconSize = t.iconSize;
  state.plainFace = t.plainFace;
  state.sunkenFace = t.sunkenFace;
  state.buttonSize = t.buttonSize;
  state.thickness = t.thickness;
  state.tips = tipsOn() && !t.entries.empty() && !t.entries.front().button->toolTip().isEmpty();
  state.geometry = state.floating && chrome.floatingHolder ? chrome.floatingHolder->geometry() : t.geometry();
  return state;
}

FrameChrome* chromeOf(const Window& window) {
  auto* w = dynamic_cast<WindowWidget*>(window.widget());
  return w ? w->chrome.get() : nullptr;
}

}  // namespace rt::detail

namespace rt {

bool hasStatusBar(const Window& window) {
  return window.windowtype == WindowType::MdiFrame && detail::chromeOf(window) != nullptr;
}

long statusBarFont(const Window& frame) {
  auto* c = detail::chromeOf(frame);
  return c ? c->status->font : 0;
}

void setStatusBarFont(Window& frame, long font) {
  auto* c = detail::chromeOf(frame);
  if (!c) return;
  c->status->font = font;
  if (auto lf = fontOf(font)) {
    QFont f(detail::qs(lf->facename));
    f.setPixelSize(std::max(1, lf->height < 0 ? -lf->height : lf->height));
    if (lf->weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(lf->weight, 1, 1000)));
    c->status->setFont(f);
  }
}

void setStatusBarHeight(Window& frame, int pixels) {
  auto* c = detail::chromeOf(frame);
  if (!c) return;
  c->status->barHeight = std::max(1, pixels);
  if (QWidget* w = frame.widget()) c->layout(w);
}

int statusBarHeight(const Window& frame) {
  auto* c = detail::chromeOf(frame);
  return c ? c->status->barHeight : 0;
}

}  // namespace rt
