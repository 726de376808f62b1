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

#include "runtime/event.h"
#include "runtime/menu.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "settings/w_xm_gz.h"
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
      // The three item settings windows, from the menu.
      auto settings = rt::cast<m_main>(f->menu())->m_项目设置->m_初中0;
      for (rt::MenuItem* item : std::initializer_list<rt::MenuItem*>{settings->m_高一.raw(), settings->m_高二.raw(),
                                                                     settings->m_高三.raw()}) {
        rt::pick(*item);
        t::processEvents();
        if (!f) return;
      }
      // 导航: the frame picture in place of the start page.
      auto menu = f->menu();
      for (const auto& item : menu->items())
        if (item->text() == "导航") rt::pick(*item);
      QTest::qWait(200);
      shoot("5-frame-picture");
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
