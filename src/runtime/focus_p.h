#pragma once

// The focus and the keyboard: the runtime, not Qt, decides which control has the focus
// and runs the losefocus and getfocus events.

#include <QtCore/qnamespace.h>

class QWidget;

namespace rt {
class Control;
class Window;
}  // namespace rt

namespace rt::focus {

// Moves the focus to `target`: the losefocus event of the control that has it runs to its
// end, then, if the move still stands, the target takes the focus and its getfocus event
// runs. Returns 1, or -1 when the target cannot take the focus or another move won.
int move(Control& target);
// Tells a move under way that something else took the focus meanwhile (a window opened).
void interrupt();
// Gives a newly opened window's focus to its first tab stop.
void first(Window& window);
// Tab (forward) or Shift+Tab from the window's focused control.
void walk(Window& window, bool forward);
// Whether the control can take the focus now: a focusable kind, enabled and visible,
// with everything that holds it, on an open window.
bool canTake(const Control& control);

// Whether the mouse press being delivered to `widget` is the one that just brought the
// focus to its control (an edit keeps the selection its getfocus made, then). Asking
// forgets the answer.
bool pressBroughtFocus(const QWidget* widget);

// Makes the top-level `window` draw the focus frame on its focused control; Qt forgets
// it when the window is shown, so the window asks again then.
void showFocusFrame(QWidget& window);

// Watches keys and mouse presses of every runtime window; made once per GUI application.
void install();

// The virtual-key code of a Qt key as the runtime's key events receive it (0 for none).
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace rt::focus
