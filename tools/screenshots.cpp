// Walks through the program's windows on a real display and saves a picture of each, for a
// developer to look at (scripts/screenshots runs it under Xvfb with a window manager).
//   screenshots OUTPUT_FOLDER

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

#include "classes.h"
#include "runtime/event.h"
#include "runtime/menu.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "scoring/w_jsq_gz1.h"
#include "settings/w_xm_gz.h"
#include "shell/book.h"
#include "shell/m_main.h"
#include "shell/w_main1.h"
#include "ui/w_genapp_toolbars.h"

namespace t = rt::testing;

namespace {

QString folder;

// The whole screen, window manager's frames included.
void shoot(const char* name) {
  QTest::qWait(400);
  const QPixmap pm = QGuiApplication::primaryScreen()->grabWindow(0);
  const QString path = QDir(folder).filePath(QString::fromUtf8(name) + ".png");
  pm.save(path);
  std::printf("%s\n", path.toUtf8().constData());
}

// ---- the grade-one score calculator

// Opened from the menu as the teacher opens it, with a boy's full set of measurements typed
// in field after field with Enter; the settings row is made first when there is none.
void gradeOneCalculator(rt::Window& frame) {
  rt::Transaction& t = *rt::sqlca();
  t.execute(
      "INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, xm_5_w, xm_l_w, "
      "xm_z_w, xm_y_w, xm_w_w) SELECT '31', '0', '1', '1', '0', '0', '1', '0', '1', '1', '0', '1', '0', '0' "
      "WHERE NOT EXISTS (SELECT 1 FROM xmsz WHERE nj = '31')");
  t.commit();
  static int openings = 0;
  t::onOpen("w_jsq_gz1", [](rt::Window& w) {
    for (const char* typed : {"172", "60", "3.50", "3500", "7.3", "65"}) {
      t::typeText(w, typed);
      t::pressKey(w, Qt::Key_Return);
    }
    t::click(*static_cast<w_jsq_gz1&>(w).cbx_1);
    shoot(++openings == 1 ? "6-calculator-gz1" : "6-calculator-gz1-from-start-page");
    if (openings == 1) {
      t::moveFocus(*static_cast<w_jsq_gz1&>(w).cb_2);
      shoot("6-calculator-gz1-settings-focused");
    }
    rt::close(w);
  });
  auto menu = rt::cast<m_main>(frame.menu());
  rt::pick(*menu->m_成绩计算->m_高中->m_1);
  QTest::qWait(200);  // the item's click runs posted; the calculator is modal until closed
  // And from the start page's picture "Run = w_jsq_gz1" (p_8).
  auto& main = static_cast<w_main1&>(frame);
  const bool pageHidden = !main.dw_main->visible();
  if (pageHidden) rt::pick(*menu->m_导航);
  QTest::qWait(200);
  t::movePointer(*main.dw_main, 1440 + 200, 60 + 200);
  QTest::qWait(200);
  t::click(*main.dw_main, 1440 + 200, 60 + 200);
  QTest::qWait(200);
  if (pageHidden) rt::pick(*menu->m_导航);
  QTest::qWait(200);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  t::Session session(120000);
  registerClasses();

  t::onOpen("w_flash", [](rt::Window& w) {
    shoot("1-splash");
    t::fireTimer(w);
  });
  t::onOpen("w_pwd", [](rt::Window& w) {
    shoot("2-entry");
    t::pressKey(w, Qt::Key_Tab);
    shoot("2-entry-after-tab");
    t::pressKey(w, Qt::Key_L, Qt::AltModifier);
  });
  // The toolbar settings window, opened three times: each time it does one step and closes.
  static int settingsStep = 0;
  t::onOpen("w_genapp_toolbars", [](rt::Window& window) {
    auto& w = static_cast<w_genapp_toolbars&>(window);
    switch (++settingsStep) {
      case 1:
        shoot("6-toolbar-settings");
        t::click(*w.cbx_showtext);  // texts on, then off again
        t::click(*w.cbx_showtext);
        break;
      case 2:
        t::click(*w.cbx_showtext);
        t::click(*w.rb_left);
        break;
      default:
        t::click(*w.rb_floating);
        break;
    }
    rt::close(w);
  });
  t::onOpen("w_main1", [](rt::Window& frame) {
    rt::Ref<rt::Window> f = rt::refTo(frame);
    rt::post([f] {
      shoot("3-frame");
      if (!f) return;
      // The start page: the pointer on a picture highlights it; a click presses it (there is
      // no window of that class yet, so its message is recorded, not shown).
      auto& page = *rt::cast<w_main1>(f)->dw_main;
      t::movePointer(page, 1440 + 200, 60 + 200);
      shoot("3-frame-highlighted");
      t::movePointer(page, 238 + 200, 60 + 200);
      QTest::qWait(200);  // the display server's move arrives before the click
      t::click(page, 238 + 200, 60 + 200);
      shoot("3-frame-pressed");
      t::movePointer(page, 100, 1000);
      rt::open("w_about");
      if (!f) return;
      // The three item settings windows, from the menu.
      auto grades = rt::cast<m_main>(f->menu())->m_项目设置->m_初中0;
      for (rt::MenuItem* item : std::initializer_list<rt::MenuItem*>{grades->m_高一.raw(), grades->m_高二.raw(),
                                                                     grades->m_高三.raw()}) {
        rt::pick(*item);
        t::processEvents();
        if (!f) return;
      }
      // 导航: the frame picture in place of the start page, and back.
      auto menu = f->menu();
      auto pickTop = [&](const std::string& text) {
        for (const auto& item : menu->items())
          if (item->text() == text) rt::pick(*item);
        QTest::qWait(200);
      };
      pickTop("导航");
      shoot("5-frame-picture");
      // The desk calculator from the menu, a chained calculation typed on the keyboard.
      for (const auto& item : menu->items())
        if (item->text() == "工具") rt::pick(*item->items().front());
      QTest::qWait(300);
      if (rt::Ref<rt::Window> calc = t::findOpen("w_4")) {
        shoot("10-calculator-at-open");
        for (Qt::Key k : {Qt::Key_1, Qt::Key_2}) t::pressKey(*calc, k);
        t::pressKey(*calc, Qt::Key_Plus, Qt::KeypadModifier);
        t::pressKey(*calc, Qt::Key_3);
        t::pressKey(*calc, Qt::Key_Asterisk, Qt::KeypadModifier);
        t::pressKey(*calc, Qt::Key_4);
        t::pressKey(*calc, Qt::Key_Return);
        shoot("10-calculator");
        rt::close(calc);
      }
      if (f) gradeOneCalculator(*f);
      pickTop("导航");
      // 工具栏设置(&B), the first item of the first menu.
      auto settings = [&] {
        rt::pick(*menu->items().front()->items().front());
        QTest::qWait(200);
      };
      settings();
      shoot("7-frame-texts-hidden");
      settings();
      shoot("8-toolbar-left");
      settings();
      shoot("9-toolbar-floating");
      rt::close(f);
    });
  });
  // The settings windows: grade one as first opened (nothing chosen, Save ready), grade
  // two with a choice saved (Save disabled again), grade three with a choice not yet saved.
  for (const std::string name : {"w_xm_gz1", "w_xm_gz2", "w_xm_gz3"})
    t::onOpen(name, [name](rt::Window& window) {
      auto& w = static_cast<w_xm_gz&>(window);
      if (name != "w_xm_gz1")
        for (rt::RadioButton* rb : std::initializer_list<rt::RadioButton*>{&*w.rb_1_m, &*w.rb_5_m, &*w.rb_w_m,
                                                                            &*w.rb_t_w, &*w.rb_l_w, &*w.rb_y_w})
          t::click(*rb);
      if (name == "w_xm_gz2") {
        t::pressKey(w, Qt::Key_S, Qt::AltModifier);
        t::processEvents();
      }
      shoot(("6-" + name).c_str());
      rt::close(w);
    });
  t::onOpen("w_about", [](rt::Window& w) {
    shoot("4-support");
    rt::close(w);
  });

  book app;
  return rt::run(app, argc, argv);
}
