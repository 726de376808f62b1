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
#include <string>

#include "runtime/event.h"
#include "runtime/menu.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "scoring/w_jsq_gz1.h"
#include "shell/book.h"
#include "shell/classes.h"
#include "shell/m_main.h"
#include "shell/w_main1.h"

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
  rt::Transaction& t = *sqlca();
  t.execute(
      "INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, xm_5_w, xm_l_w, "
      "xm_z_w, xm_y_w, xm_w_w) SELECT '31', '0', '1', '1', '0', '0', '1', '0', '1', '1', '0', '1', '0', '0' "
      "WHERE NOT EXISTS (SELECT 1 FROM xmsz WHERE nj = '31')");
  t.commit();
  t::onOpen("w_jsq_gz1", [](rt::Window& w) {
    for (const char* typed : {"172", "60", "3.50", "3500", "7.3", "65"}) {
      t::typeText(w, typed);
      t::pressKey(w, Qt::Key_Return);
    }
    t::click(*static_cast<w_jsq_gz1&>(w).cbx_1);
    shoot("6-calculator-gz1");
    rt::close(w);
  });
  auto menu = rt::cast<m_main>(frame.menu());
  rt::pick(*menu->m_成绩计算->m_高中->m_1);
  QTest::qWait(200);  // the item's click runs posted; the calculator is modal until closed
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
    t::pressKey(w, Qt::Key_L, Qt::AltModifier);
  });
  t::onOpen("w_main1", [](rt::Window& frame) {
    rt::Ref<rt::Window> f = rt::refTo(frame);
    rt::post([f] {
      shoot("3-frame");
      rt::open("w_about");
      if (!f) return;
      // 导航: the frame picture in place of the start page.
      auto menu = f->menu();
      for (const auto& item : menu->items())
        if (item->text() == "导航") rt::pick(*item);
      QTest::qWait(200);
      shoot("5-frame-picture");
      if (f) gradeOneCalculator(*f);
      rt::close(f);
    });
  });
  t::onOpen("w_about", [](rt::Window& w) {
    shoot("4-support");
    rt::close(w);
  });

  book app;
  return rt::run(app, argc, argv);
}
