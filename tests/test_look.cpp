// What a user sees of the program's windows, as it ships: the keyboard focus, windows the
// window manager minimises or maximises against their frame, greyed text that can still be
// read, and what the accessibility interface tells a screen reader.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calculator/w_4.h"
#include "runtime/testing.h"
#include "scoring/w_jsq_gz1.h"
#include "settings/w_xm_gz.h"
#include "shell/w_pwd.h"
#include "support/program.h"
#include "ui/w_genapp_toolbars.h"

namespace t = rt::testing;

namespace {

// Grade one's settings: the step test and the 800 m run (girls) not chosen, so their rows
// are greyed for a boy.
const char* kGradeOneRow =
    "INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, xm_5_w, xm_l_w, "
    "xm_z_w, xm_y_w, xm_w_w) VALUES ('31', '0', '1', '1', '0', '0', '1', '0', '1', '1', '0', '1', '0', '0')";

QImage grab(rt::Control& c) { return c.widget()->grab().toImage(); }

// Opens a window of the class from the running frame and runs `check` on it once it is on
// screen; the window is closed afterwards by the test itself. Once per class and test: the
// harness keeps every action it is given for a class.
void withWindow(const std::string& className, std::function<void(rt::Window&)> check) {
  auto ran = std::make_shared<bool>(false);
  t::onOpen(className, [ran, check](rt::Window& w) {
    if (*ran) return;
    *ran = true;
    check(w);
    if (w.isOpen()) rt::close(w);
  });
  rt::open(className);
  t::processEvents();
  if (rt::Ref<rt::Window> still = t::findOpen(className)) rt::close(*still);
  t::processEvents();
  EXPECT_TRUE(*ran) << className << " did not open";
}

class LookTest : public support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ds.query(kGradeOneRow);
    w_4::state = {};
  }
  // Signs in, runs `story` in the frame, then ends the run.
  void inFrame(std::function<void(w_main1&)> story) {
    signInTimes(1);
    ASSERT_TRUE(runToFrame([story](w_main1& frame) {
      story(frame);
      rt::close(frame);
    }));
  }
};

// The focus moves from one control to another, by the way the window is used: the control
// that had it and the one that gets it both look different afterwards.
void expectFocusShown(rt::Window& w, rt::Control& from, rt::Control& to, const std::function<void()>& move,
                      const std::string& what) {
  SCOPED_TRACE(what);
  t::processEvents();
  ASSERT_EQ(t::focused(w).raw(), &from);
  const QImage fromFocused = grab(from), toPlain = grab(to);
  move();
  t::processEvents();
  ASSERT_EQ(t::focused(w).raw(), &to);
  EXPECT_NE(grab(from), fromFocused) << "the control that lost the focus looks the same";
  EXPECT_NE(grab(to), toPlain) << "the control that took the focus looks the same";
}

}  // namespace

TEST_F(LookTest, TheFocusedControlShowsTheFocusWhicheverWayItCame) {
  t::onOpen("w_pwd", [this](rt::Window& window) {
    auto& w = static_cast<w_pwd&>(window);
    // The focus came with the window, before it was shown; Tab takes it on.
    expectFocusShown(
        w, *w.uo_3->command_button, *w.uo_4->command_button, [&] { t::pressKey(w, Qt::Key_Tab); }, "entry window");
    if (++entries == 1) t::pressKey(w, Qt::Key_L, Qt::AltModifier);
  });
  ASSERT_TRUE(runToFrame([](w_main1& frame) {
    // The desk calculator gives "=" the focus while it opens; a click takes it away.
    rt::open("w_4");
    t::processEvents();
    if (rt::Ref<w_4> calc = rt::global<w_4>()) {
      expectFocusShown(
          *calc, *calc->cb_18, *calc->cb_1, [&] { t::click(*calc->cb_1); }, "desk calculator");
      rt::close(*calc);
    }
    rt::setMessageParm(rt::Ref<rt::Object>(rt::refTo(frame)));  // the frame whose toolbar it sets, as the menu opens it
    withWindow("w_genapp_toolbars", [](rt::Window& window) {
      auto& w = static_cast<w_genapp_toolbars&>(window);
      t::moveFocus(*w.cb_done);
      expectFocusShown(
          w, *w.cb_done, *w.cb_visible, [&] { t::moveFocus(*w.cb_visible); }, "toolbar settings");
    });
    withWindow("w_jsq_gz1", [](rt::Window& window) {
      auto& w = static_cast<w_jsq_gz1&>(window);
      t::moveFocus(*w.em_w);
      expectFocusShown(
          w, *w.em_w, *w.cb_2, [&] { t::moveFocus(*w.cb_2); }, "calculator, program");
      expectFocusShown(
          w, *w.cb_2, *w.cbx_1, [&] { t::click(*w.cbx_1); }, "calculator, click");
      expectFocusShown(
          w, *w.cbx_1, *w.cbx_2, [&] { t::pressKey(w, Qt::Key_Tab); }, "calculator, Tab");
    });
    rt::close(frame);
  }));
}

TEST_F(LookTest, AWindowWithoutAMinimiseOrMaximiseBoxComesBackAtItsOwnSize) {
  struct Case {
    const char* window;
    bool minbox;
  };
  const Case cases[] = {
      {"w_jsq_gz1", false}, {"w_xm_gz1", false}, {"w_about", false}, {"w_genapp_toolbars", false}, {"w_4", true},
  };
  inFrame([&](w_main1& frame) {
    for (const Case& c : cases) {
      rt::setMessageParm(rt::Ref<rt::Object>(rt::refTo(frame)));
      withWindow(c.window, [&](rt::Window& w) {
        SCOPED_TRACE(c.window);
        t::processEvents();
        const t::PixelRect before = t::windowGeometry(w);
        // A window manager minimises a modal window's owner with it.
        if (w.windowtype == rt::WindowType::Response) t::windowManagerSets(frame, Qt::WindowMinimized);
        t::windowManagerSets(w, Qt::WindowMinimized);
        t::processEvents();
        if (c.minbox) {
          EXPECT_TRUE(t::windowStates(w) & Qt::WindowMinimized) << "a window with a minimise box stays minimised";
          t::windowManagerSets(w, Qt::WindowNoState);
          t::processEvents();
        } else {
          EXPECT_FALSE(t::windowStates(w) & Qt::WindowMinimized);
          EXPECT_FALSE(t::windowStates(frame) & Qt::WindowMinimized) << "the owner stays minimised";
          EXPECT_TRUE(t::isShown(w));
        }
        t::windowManagerSets(w, Qt::WindowMaximized);
        t::processEvents();
        EXPECT_FALSE(t::windowStates(w) & Qt::WindowMaximized);
        const t::PixelRect after = t::windowGeometry(w);
        EXPECT_EQ(after.width, before.width);
        EXPECT_EQ(after.height, before.height);
      });
    }
    // The frame itself has both boxes: minimised and maximised, it stays so.
    t::windowManagerSets(frame, Qt::WindowMaximized);
    t::processEvents();
    EXPECT_TRUE(t::windowStates(frame) & Qt::WindowMaximized);
  });
}

namespace {

double luminance(const QColor& c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The darkest colour a control is painted in, painted at four times its size: at the normal
// size anti-aliasing lightens every stroke of small text.
QColor darkestPainted(rt::Control& c) {
  QWidget* widget = c.widget();
  QPixmap pixmap(widget->size() * 4);
  pixmap.setDevicePixelRatio(4);
  pixmap.fill(widget->palette().color(widget->backgroundRole()));
  widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
  const QImage image = pixmap.toImage();
  QColor darkest = Qt::white;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (const QColor p = image.pixelColor(x, y); luminance(p) < luminance(darkest)) darkest = p;
  return darkest;
}

}  // namespace

TEST_F(LookTest, GreyedTextCanStillBeRead) {
  inFrame([](w_main1&) {
    withWindow("w_jsq_gz1", [](rt::Window& window) {
      auto& w = static_cast<w_jsq_gz1&>(window);
      const QColor face(240, 240, 240);
      for (rt::Control* label : {static_cast<rt::Control*>(w.st_t.raw()), static_cast<rt::Control*>(w.st_8.raw())}) {
        SCOPED_TRACE(label->className());
        ASSERT_FALSE(label->enabled());
        const QColor text = darkestPainted(*label);
        EXPECT_GE(contrast(text, face), 4.5) << text.name().toStdString();
        // Still greyed: no colour of its own, and lighter than the enabled rows' text.
        EXPECT_EQ(text.red(), text.green());
        EXPECT_EQ(text.green(), text.blue());
        EXPECT_GT(luminance(text), luminance(darkestPainted(*w.st_1)));
      }
    });
  });
}

TEST_F(LookTest, RadioButtonsAreAnnouncedAsRadioButtons) {
  auto roleOf = [](rt::Control& c) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.widget());
    return a ? a->role() : QAccessible::NoRole;
  };
  auto checkedOf = [](rt::Control& c) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.widget());
    return a && a->state().checked;
  };
  inFrame([&](w_main1&) {
    withWindow("w_jsq_gz1", [&](rt::Window& window) {
      auto& w = static_cast<w_jsq_gz1&>(window);
      EXPECT_EQ(roleOf(*w.rb_sex_man), QAccessible::RadioButton);
      EXPECT_EQ(roleOf(*w.rb_sex_woman), QAccessible::RadioButton);
      EXPECT_TRUE(checkedOf(*w.rb_sex_man));
      EXPECT_FALSE(checkedOf(*w.rb_sex_woman));
      EXPECT_EQ(QAccessible::queryAccessibleInterface(w.rb_sex_woman->widget())->text(QAccessible::Name).toStdString(),
                w.rb_sex_woman->text());
      // Check boxes stay check boxes.
      EXPECT_EQ(roleOf(*w.cbx_1), QAccessible::CheckBox);
    });
    withWindow("w_xm_gz1", [&](rt::Window& window) {
      auto& w = static_cast<w_xm_gz&>(window);
      EXPECT_EQ(roleOf(*w.rb_1_m), QAccessible::RadioButton);
      EXPECT_EQ(roleOf(*w.rb_t_w), QAccessible::RadioButton);
    });
  });
}
