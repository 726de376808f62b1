#pragma once

// The Qt widgets behind windows and controls.

#include <QWidget>
#include <memory>

#include "object.h"

namespace rt {
class Window;
class Picture;
namespace detail {
struct FrameChrome;
}

class WindowWidget : public QWidget {
 public:
  WindowWidget(Window* window, Qt::WindowFlags flags);
  ~WindowWidget() override;
  // The window is gone: the widget only waits for its own deletion.
  void detach();
  // Where the window's controls sit: an MDI frame's client area, or the widget itself.
  QWidget* client();
  // An MDI frame's menu bar, toolbar and status bar; null for other windows.
  std::unique_ptr<detail::FrameChrome> chrome;
  Window* window() const { return window_; }
  // Set while the runtime itself closes the window.
  bool runtimeClosing = false;
  // Set while the runtime itself places or sizes the window.
  bool runtimeGeometry = false;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  Window* window_;
  bool pressed_ = false;
};

class PictureWidget : public QWidget {
 public:
  PictureWidget(Picture* picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Ref<Picture> picture_;  // reads as null once the control is gone
  bool pressed_ = false;
  // The picture as drawn, for the name and size it was drawn at (invalid: its own size).
  std::shared_ptr<const QPixmap> shown_;
  std::string shownName_;
  QSize shownSize_;
};

// Mouse flags as the events receive them: 1 left button, 4 shift, 8 control.
unsigned long mouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// Gives `dialog`, a top-level widget of its own, `owner`'s window as its transient parent
// (stacking and modality) without any Qt parent link between the two.
void setTransientOwner(QWidget* dialog, QWidget* owner);

}  // namespace rt
