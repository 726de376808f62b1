#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

#include "controls.h"
#include "event.h"
#include "focus_p.h"
#include "frame_p.h"
#include "runtime_p.h"
#include "widgets_p.h"
#include "window.h"

namespace rt {

struct FocusOps {
  static Ref<Control>& slot(Window& w) { return w.focus_; }
  static void leaving(Control& c) { c.leavingFocus(); }
};

namespace focus {
namespace {

// Counts focus moves (and window openings), so a move can tell whether another one
// happened while the losefocus event it started was running.
unsigned long moves = 0;

Window* windowOf(const QObject* object) {
  auto* widget = qobject_cast<const QWidget*>(object);
  if (!widget) return nullptr;
  auto* top = dynamic_cast<WindowWidget*>(widget->window());
  Window* w = top ? top->window() : nullptr;
  return w && w->isValid() && w->isOpen() ? w : nullptr;
}

void giveQtFocus(Control& c) {
  QWidget* w = c.widget();
  if (!w) return;
  // The keys lead in these windows, so the focused control always shows the style's focus
  // frame, however the focus came to it (Qt draws it only after a keyboard focus change).
  showFocusFrame(*w->window());
  w->setFocus(Qt::OtherFocusReason);
}

// Every control of the window, users objects' controls after their holder, in creation order.
void forEachControl(const std::vector<std::shared_ptr<Control>>& controls, const std::function<void(Control&)>& visit) {
  for (const auto& c : controls) {
    visit(*c);
    forEachControl(c->children(), visit);
  }
}

// The tab stops in tab order: ascending, ties in creation order, tab order 0 skipped; a
// user object's own stops stand at its place. Every stop, also those that cannot take the
// focus now: a control disabled while it has the focus keeps its place in the walk.
void collectStops(const std::vector<std::shared_ptr<Control>>& controls, std::vector<Control*>& out) {
  std::vector<Control*> sorted;
  for (const auto& c : controls)
    if (c->taborder > 0) sorted.push_back(c.get());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Control* a, const Control* b) { return a->taborder < b->taborder; });
  for (Control* c : sorted) {
    if (!c->children().empty())
      collectStops(c->children(), out);
    else if (c->takesFocus())
      out.push_back(c);
  }
}

std::vector<Control*> tabStops(Window& w) {
  std::vector<Control*> stops;
  collectStops(w.controls(), stops);
  return stops;
}

bool usable(const Control& c) {
  for (const Control* k = &c; k; k = k->holder())
    if (!k->isValid() || !k->enabled || !k->visible) return false;
  return true;
}

// The letter after a single "&" of a caption, upper-cased; 0 when there is none.
int accessLetter(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(caption[i + 1]);
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  return 0;
}

Control* accessKeyTarget(Window& w, int vk) {
  Control* found = nullptr;
  forEachControl(w.controls(), [&](Control& c) {
    if (!found && usable(c) && accessLetter(c.accessCaption()) == vk) found = &c;
  });
  return found;
}

CommandButton* declaredButton(Window& w, bool wantDefault) {
  CommandButton* found = nullptr;
  forEachControl(w.controls(), [&](Control& c) {
    auto* b = dynamic_cast<CommandButton*>(&c);
    if (!found && b && usable(*b) && (wantDefault ? b->default_() : b->cancel())) found = b;
  });
  return found;
}

// The control that has the focus takes the keys, also one disabled since (its widget takes
// no typing then): Enter moves on from a measurement field as Tab does.
bool holdsKeys(const Ref<Control>& c) {
  if (!c) return false;
  Ref<Window> w = c->getParent();
  return w && w->isOpen();
}

unsigned long keyFlags(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1u : 0u) | (m & Qt::ControlModifier ? 2u : 0u);
}

bool keyPress(Window& window, QKeyEvent* e) {
  Ref<Window> w = refTo(window);
  const Qt::KeyboardModifiers mods = e->modifiers();
  const int vk = virtualKey(e->key(), mods);
  const unsigned long flags = keyFlags(mods);

  if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)) {
    if (Control* c = accessKeyTarget(*w, vk)) {
      Ref<Control> target = refTo(*c);
      dispatch([&] { target->pressAccessKey(); });
      return true;
    }
  }
  // A frame's menu shortcuts and menu-bar letters, only while the frame is active (the
  // key arrived in it).
  if (auto* chrome = detail::chromeOf(*w)) {
    const bool modifierOnly = vk == 16 || vk == 17 || vk == 18;
    if (!modifierOnly &&
        chrome->shortcut(vk, mods & Qt::AltModifier, mods & Qt::ControlModifier, mods & Qt::ShiftModifier))
      return true;
  }

  const unsigned long before = moves;
  Ref<Control> focused = FocusOps::slot(*w);
  if (holdsKeys(focused)) dispatchEvent(*focused, "keydown", [&] { focused->keydown(vk, flags); });
  if (w && w->isOpen()) dispatchEvent(*w, "key", [&] { w->key(vk, flags); });
  // A key whose events closed the window or moved the focus is used up.
  if (!w || !w->isOpen() || moves != before) return true;

  switch (e->key()) {
    case Qt::Key_Tab: walk(*w, !(mods & Qt::ShiftModifier)); return true;
    case Qt::Key_Backtab: walk(*w, false); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // In a window with a default button, a command button with the focus stands in for it.
      if (CommandButton* b = declaredButton(*w, true)) {
        auto* own = focused ? dynamic_cast<CommandButton*>(focused.raw()) : nullptr;
        (own && canTake(*own) ? own : b)->pressAccessKey();
      }
      return true;
    case Qt::Key_Escape:
      if (CommandButton* b = declaredButton(*w, false)) b->pressAccessKey();
      return true;
    default: return false;  // the control itself handles it: typing, Space on a button
  }
}

bool keyRelease(Window& window, QKeyEvent* e) {
  Ref<Control> focused = FocusOps::slot(window);
  if (holdsKeys(focused)) {
    const int vk = virtualKey(e->key(), e->modifiers());
    const unsigned long flags = keyFlags(e->modifiers());
    dispatchEvent(*focused, "keyup", [&] { focused->keyup(vk, flags); });
  }
  return false;
}

const QWidget* focusingPress = nullptr;

// A press on a control that takes the focus moves the focus there first, through the same
// path as every other move.
bool mousePress(QObject* object) {
  focusingPress = nullptr;  // it speaks of this press only
  auto* widget = qobject_cast<QWidget*>(object);
  Control* c = controlOf(widget);
  if (!c || !canTake(*c)) return false;
  Ref<Control> target = refTo(*c);
  Ref<Window> w = c->getParent();
  if (FocusOps::slot(*w) == target) return false;
  move(*c);
  // Only a press on the control that now has the focus goes on.
  if (!w || !target || !(FocusOps::slot(*w) == target)) return true;
  focusingPress = widget;
  return false;
}

// A key a widget ignores travels on to its parents, through this filter each time; only
// its first delivery is the runtime's.
bool firstDelivery(QKeyEvent* e) {
  static const QKeyEvent* last = nullptr;
  static quint64 lastTime = 0;
  static int lastKey = 0;
  static QEvent::Type lastType = QEvent::None;
  if (e == last && e->timestamp() == lastTime && e->key() == lastKey && e->type() == lastType) return false;
  last = e;
  lastTime = e->timestamp();
  lastKey = e->key();
  lastType = e->type();
  return true;
}

class Filter : public QObject {
 protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    switch (e->type()) {
      case QEvent::ShortcutOverride:
        // Every key of a runtime window is the runtime's: no Qt shortcut (a button's
        // mnemonic among them) acts behind its back.
        if (windowOf(object)) {
          e->accept();
          return true;
        }
        return false;
      case QEvent::KeyPress:
        if (Window* w = windowOf(object); w && firstDelivery(static_cast<QKeyEvent*>(e)))
          return keyPress(*w, static_cast<QKeyEvent*>(e));
        return false;
      case QEvent::KeyRelease:
        if (Window* w = windowOf(object); w && firstDelivery(static_cast<QKeyEvent*>(e)))
          return keyRelease(*w, static_cast<QKeyEvent*>(e));
        return false;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (windowOf(object)) return mousePress(object);
        return false;
      default: return false;
    }
  }
};

}  // namespace

bool canTake(const Control& c) {
  if (!c.takesFocus() || !usable(c)) return false;
  Ref<Window> w = c.getParent();
  return w && w->isOpen() && w->enabled;
}

int move(Control& target) {
  Ref<Control> t = refTo(target);
  Ref<Window> w = target.getParent();
  if (!w || !canTake(target)) return -1;
  Ref<Control>& slot = FocusOps::slot(*w);
  if (slot == t) {
    giveQtFocus(target);
    return 1;
  }
  const unsigned long ticket = ++moves;
  Ref<Control> old = slot;
  if (old) {
    // While the old control's losefocus runs, the window's focus is nowhere: a move made
    // from inside it starts afresh instead of leaving the old control twice.
    slot = {};
    FocusOps::leaving(*old);
    if (old) dispatchEvent(*old, "losefocus", [&] { old->losefocus(); });
    const bool overtaken = moves != ticket;  // a move, or a window opened, meanwhile won
    if (overtaken || !w || !w->isOpen() || !t || !canTake(*t)) {
      // Unless that other move gave this window a new focus, the old control keeps it.
      if (w && !FocusOps::slot(*w)) FocusOps::slot(*w) = old;
      return -1;
    }
  }
  FocusOps::slot(*w) = t;
  giveQtFocus(*t);
  dispatchEvent(*t, "getfocus", [&] { t->getfocus(); });
  return 1;
}

void interrupt() { ++moves; }

void showFocusFrame(QWidget& window) {
  if (window.testAttribute(Qt::WA_KeyboardFocusChange)) return;
  window.setAttribute(Qt::WA_KeyboardFocusChange);
  if (QWidget* f = window.focusWidget()) f->update();
}

bool pressBroughtFocus(const QWidget* widget) {
  const bool brought = widget && widget == focusingPress;
  focusingPress = nullptr;
  return brought;
}

void first(Window& w) {
  const auto stops = tabStops(w);
  auto it = std::find_if(stops.begin(), stops.end(), [](const Control* c) { return canTake(*c); });
  if (it != stops.end()) move(**it);
}

void walk(Window& w, bool forward) {
  const auto stops = tabStops(w);
  const std::size_t n = stops.size();
  auto it = std::find(stops.begin(), stops.end(), FocusOps::slot(w).raw());
  // From the control that has the focus, even one that could not take it now, to the next
  // stop that can, wrapping; from a control that is no stop, to the first or the last.
  std::size_t at = it == stops.end() ? (forward ? n - 1 : 0) : static_cast<std::size_t>(it - stops.begin());
  for (std::size_t step = 1; step <= n; ++step) {
    Control* next = stops[forward ? (at + step) % n : (at + n - step) % n];
    if (canTake(*next)) {
      move(*next);
      return;
    }
  }
}

void install() {
  static Filter* filter = new Filter;
  qApp->installEventFilter(filter);
}

int virtualKey(int k, Qt::KeyboardModifiers m) {
  if (m & Qt::KeypadModifier) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return 96 + (k - Qt::Key_0);
    switch (k) {
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period:
      case Qt::Key_Comma: return 110;
      case Qt::Key_Slash: return 111;
      case Qt::Key_Clear: return 12;
      default: break;  // Enter and, with NumLock off, the navigation keys
    }
  }
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return 48 + (k - Qt::Key_0);
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 65 + (k - Qt::Key_A);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    // The shifted digits of the main keyboard are their digit keys.
    case Qt::Key_ParenRight: return 48;
    case Qt::Key_Exclam: return 49;
    case Qt::Key_At: return 50;
    case Qt::Key_NumberSign: return 51;
    case Qt::Key_Dollar: return 52;
    case Qt::Key_Percent: return 53;
    case Qt::Key_AsciiCircum: return 54;
    case Qt::Key_Ampersand: return 55;
    case Qt::Key_Asterisk: return 56;
    case Qt::Key_ParenLeft: return 57;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
  }
}

}  // namespace focus

int setFocus(Control& control) { return focus::move(control); }

long send(Control& target, unsigned int message, unsigned long wparam, long lparam) {
  (void)lparam;
  constexpr unsigned int kKeyDown = 256;
  constexpr unsigned long kTab = 9;
  Ref<Window> w = target.getParent();
  if (w && message == kKeyDown && wparam == kTab) focus::walk(*w, true);
  return 0;
}

void pressTab(bool forward) {
  for (const auto& w : openWindows())
    if (w && w->widget() && w->widget()->isActiveWindow()) return focus::walk(*w, forward);
  // No window system that reports activation (or it has not yet): the window the user
  // opened last that is still on screen.
  auto* top = dynamic_cast<WindowWidget*>(detail::newestVisibleWindowWidget());
  if (Window* w = top ? top->window() : nullptr; w && w->isValid() && w->isOpen()) focus::walk(*w, forward);
}

Ref<Control> getFocus() {
  for (const auto& w : openWindows())
    if (w && w->widget() && w->widget()->isActiveWindow()) return w->focusedControl();
  return {};
}

}  // namespace rt
