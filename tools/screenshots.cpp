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
#include <vector>

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

// ---- the score calculators and the graduation window

// Each opened from the menu as the teacher opens it and from its start-page picture, with a
// student's measurements typed in field after field with Enter; a grade's settings row is
// made first when there is none.
struct CalculatorShot {
  const char* className;
  const char* grade;  // "" for the graduation window, which reads no settings
  const char* flags;  // the settings row's thirteen flags, quoted
  const char* name;
  rt::MenuItem* (*item)(m_main& menu);
  int pictureX, pictureY;  // the start-page picture's corner
  bool girl;
  std::vector<const char*> typed;  // from the first field Enter reaches
};

void calculatorShots(rt::Window& frame, const CalculatorShot& shot) {
  if (*shot.grade) {
    rt::Transaction& t = *rt::sqlca();
    t.execute(std::string("INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, "
                          "xm_5_w, xm_l_w, xm_z_w, xm_y_w, xm_w_w) SELECT '") +
              shot.grade + "', " + shot.flags + " WHERE NOT EXISTS (SELECT 1 FROM xmsz WHERE nj = '" + shot.grade +
              "')");
    t.commit();
  }
  static int openings = 0;
  openings = 0;
  const CalculatorShot* s = &shot;
  t::onOpen(shot.className, [s](rt::Window& w) {
    if (s->girl) {
      if (auto* calc = dynamic_cast<w_jsq*>(&w)) {
        t::click(*calc->rb_sex_woman);
        t::moveFocus(*calc->em_s1);
      }
    }
    for (const char* typed : s->typed) {
      t::typeText(w, typed);
      t::pressKey(w, Qt::Key_Return);
    }
    const std::string name = std::string(s->name) + (++openings == 1 ? "" : "-from-start-page");
    if (auto* calc = dynamic_cast<w_jsq_gz1*>(&w)) t::click(*calc->cbx_1);
    shoot(name.c_str());
    if (auto* calc = dynamic_cast<w_jsq_gz1*>(&w); calc && openings == 1) {
      t::moveFocus(*calc->cb_2);
      shoot("6-calculator-gz1-settings-focused");
    }
    rt::close(w);
  });
  auto menu = rt::cast<m_main>(frame.menu());
  rt::pick(*shot.item(*menu));
  QTest::qWait(200);  // the item's click runs posted; the window is modal until closed
  auto& main = static_cast<w_main1&>(frame);
  const bool pageHidden = !main.dw_main->visible();
  if (pageHidden) rt::pick(*menu->m_导航);
  QTest::qWait(200);
  t::movePointer(*main.dw_main, shot.pictureX + 200, shot.pictureY + 200);
  QTest::qWait(200);
  t::click(*main.dw_main, shot.pictureX + 200, shot.pictureY + 200);
  QTest::qWait(200);
  if (pageHidden) rt::pick(*menu->m_导航);
  QTest::qWait(200);
}

void allCalculators(rt::Window& frame) {
  // Boys: no step test, long jump or sit-and-reach. Grade two's row is the one its
  // settings window saved above: girls take the step test, the long jump and the sit-ups.
  const char* boys = "'0', '1', '1', '0', '0', '1', '0', '1', '1', '0', '1', '0', '0'";
  const char* girls = boys;
  const CalculatorShot shots[] = {
      {"w_jsq_gz1",
       "31",
       boys,
       "6-calculator-gz1",
       [](m_main& m) -> rt::MenuItem* { return m.m_成绩计算->m_高中->m_1.raw(); },
       1440,
       60,
       false,
       {"172", "60", "3.50", "3500", "7.3", "65"}},
      {"w_jsq_gz2",
       "32",
       girls,
       "11-calculator-gz2",
       [](m_main& m) -> rt::MenuItem* { return m.m_成绩计算->m_高中->m_2.raw(); },
       2661,
       1256,
       true,
       {"160", "50", "54", "3000", "175", "41"}},
      {"w_jsq_gz3",
       "33",
       boys,
       "12-calculator-gz3",
       [](m_main& m) -> rt::MenuItem* { return m.m_成绩计算->m_高中->m_3.raw(); },
       238,
       1256,
       false,
       {"86", "81", "172", "60", "3.42", "3600", "7.7", "81"}},
      {"w_jsq_by",
       "",
       "",
       "13-graduation",
       [](m_main& m) -> rt::MenuItem* { return m.m_成绩计算->m_高中->m_毕业成绩.raw(); },
       1440,
       652,
       false,
       {"60.1", "74.7", "60.6"}},
  };
  for (const auto& shot : shots) calculatorShots(frame, shot);
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
      default: t::click(*w.rb_floating); break;
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
      for (rt::MenuItem* item :
           std::initializer_list<rt::MenuItem*>{grades->m_高一.raw(), grades->m_高二.raw(), grades->m_高三.raw()}) {
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
      if (f) allCalculators(*f);
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
