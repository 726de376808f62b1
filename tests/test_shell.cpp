// The shell: the entry window, the frame with its menu, toolbar and status bar, the
// navigation toggle, the support window and the picture button they are made of.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/event.h"
#include "runtime/runtime_p.h"
#include "runtime/testing.h"
#include "runtime/toolbar.h"
#include "runtime/units.h"
#include "runtime/window.h"
#include "calculator/w_4.h"
#include "scoring/w_jsq.h"
#include "shell/book.h"
#include "shell/m_main.h"
#include "shell/w_about.h"
#include "shell/w_main1.h"
#include "shell/w_pwd.h"
#include "support/datasource.h"
#include "support/program.h"
#include "ui/uo_picture_command_button.h"
#include "ui/uo_toolbarutil.h"

namespace t = rt::testing;
using support::TempDataSource;
using Strings = std::vector<std::string>;

namespace {

// A main window of its own that keeps a run going, as the desk calculator does.
struct w_other_main : rt::Window {
  RT_CLASS(w_other_main)
  w_other_main() {
    width = 1200;
    height = 800;
  }
};

// The program as it ships; `story` runs once the first frame is on screen and must end
// the run (or hand it on).
class ShellTest : public support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    rt::registerWindow<w_other_main>();
  }
  void run(std::function<void(w_main1&)> story) { runToFrame(std::move(story)); }
};

}  // namespace

// ---- the picture button

namespace {
struct w_buttons : rt::Window {
  RT_CLASS(w_buttons)
  struct button_t : uo_picture_command_button {
    RT_CLASS(button)
    long clicked(unsigned long flags, int xpos, int ypos) override {
      uo_picture_command_button::clicked(flags, xpos, ypos);
      ++clicks;
      return 0;
    }
    int clicks = 0;
  };
  static inline std::string bitmap;
  static inline bool startDisabled = false;
  rt::Ref<button_t> button;
  w_buttons() {
    width = 2000;
    height = 1000;
  }
  void create() override {
    button = insert<button_t>();
    button->x = 200;
    button->y = 200;
    button->width = 361;
    button->taborder = 10;
    button->buttontext = "保存（&S)";
    button->bitmapname = bitmap;
    button->enabled = !startDisabled;
  }
};
}  // namespace

TEST(PictureButton, ItsFormAndCaptionFollowThePictureName) {
  t::Session session;
  struct Case {
    std::string bitmap;
    bool picture;
  };
  const Case cases[] = {
      {"Save!", true},       {"x.BMP", false}, {"x.bmp ", false}, {"None", false}, {"", false},
      {"missing.bmp", true}, {"a.jpg", true},  {"a.gif", true},   {"   ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("bitmapname \"" + c.bitmap + "\"");
    w_buttons::bitmap = c.bitmap;
    rt::Ref<w_buttons> w;
    rt::open(w);
    EXPECT_EQ(w->button->command_button->text(), c.picture ? "   保存（&S)" : "保存（&S)");
    EXPECT_EQ(w->button->uo_bitmap->visible(), c.picture);
    EXPECT_EQ(w->button->uo_bitmap->items().size(), c.picture ? 1u : 0u);
    EXPECT_EQ(w->button->command_button->facename(), "宋体");
    EXPECT_EQ(w->button->command_button->textsize(), 12);
    // The picture rests at the place the object's size gives it.
    EXPECT_EQ(w->button->il_picx, static_cast<int>((361 - 361 / 3.75) / 8));
    EXPECT_EQ(w->button->il_picy, 21);
    rt::close(w);
  }
}

TEST(PictureButton, PressedByMouseTheMovingPictureFollowsThePointer) {
  t::Session session;
  w_buttons::bitmap = "Save!";
  rt::open<w_buttons>();
  auto w = rt::global<w_buttons>();
  auto& b = *w->button;
  const int rx = b.il_picx, ry = b.il_picy;
  auto at = [&] { return std::pair<int, int>(b.uo_bitmap->x, b.uo_bitmap->y); };
  QWidget* button = b.command_button->widget();
  std::vector<std::pair<int, int>> seen;
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
  seen.push_back(at());
  QTest::mouseMove(button, QPoint(button->width() + 20, button->height() / 2));
  seen.push_back(at());
  QTest::mouseMove(button, button->rect().center());
  seen.push_back(at());
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
  seen.push_back(at());
  const std::pair<int, int> R{rx, ry}, P{rx + 3, ry + 3};
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{P, R, P, R}));
  t::processEvents();
  EXPECT_EQ(b.clicks, 1);
}

TEST(PictureButton, AClickOnThePicturePressesTheButtonAndTheClientHearsOfItLast) {
  t::Session session;
  w_buttons::bitmap = "Save!";
  rt::open<w_buttons>();
  auto w = rt::global<w_buttons>();
  t::clearJournal();
  // Where the picture lies, over the button.
  t::click(*w, 200 + w->button->uo_bitmap->x + 20, 200 + w->button->uo_bitmap->y + 20);
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 1);
  EXPECT_EQ(t::journal({"clicked"}), (Strings{"command_button.clicked", "button.clicked"}));

  // Space holds it (picture pressed) and clicks on release; Enter clicks at once.
  t::keyDown(*w, Qt::Key_Space);
  EXPECT_EQ(w->button->uo_bitmap->x, w->button->il_picx + 3);
  t::keyUp(*w, Qt::Key_Space);
  EXPECT_EQ(w->button->uo_bitmap->x, w->button->il_picx);
  t::pressKey(*w, Qt::Key_Return);
  t::pressKey(*w, Qt::Key_S, Qt::AltModifier);
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 4);
}

TEST(PictureButton, TheObjectAndItsInnerButtonAreEnabledApart) {
  t::Session session;
  w_buttons::bitmap = "Save!";
  w_buttons::startDisabled = true;
  rt::open<w_buttons>();
  w_buttons::startDisabled = false;
  auto w = rt::global<w_buttons>();
  EXPECT_FALSE(w->button->command_button->enabled());
  w->button->enabled = true;  // only the object
  EXPECT_FALSE(w->button->command_button->enabled());
  t::click(*w->button->command_button);
  t::pressKey(*w, Qt::Key_S, Qt::AltModifier);
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 0);
  w->button->command_button->enabled = true;
  t::pressKey(*w, Qt::Key_S, Qt::AltModifier);
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 1);
}

// ---- the entry window

TEST_F(ShellTest, TheEntryWindowStartsOnSignInAndTabGoesBetweenItsTwoButtons) {
  t::onOpen("w_pwd", [](rt::Window& window) {
    auto& w = static_cast<w_pwd&>(window);
    auto focused = [&] { return t::focused(w) ? t::focused(w)->holder()->className() : "none"; };
    EXPECT_EQ(focused(), "uo_3");
    t::pressKey(w, Qt::Key_Tab);
    EXPECT_EQ(focused(), "uo_4");
    t::pressKey(w, Qt::Key_Tab);
    EXPECT_EQ(focused(), "uo_3");
    t::pressKey(w, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), "uo_4");
    // The link opens its address and the window stays.
    t::click(*w.st_link);
    EXPECT_EQ(t::openedUrls(), Strings{"http://www.pellumo.cn/"});
    EXPECT_TRUE(t::isShown(w));
    t::pressKey(w, Qt::Key_X, Qt::AltModifier);
  });
  book app;
  rt::run(app, 0, nullptr);
  EXPECT_EQ(t::openedCount("w_main1"), 0) << "退出(&X) at start-up ends the run";
  EXPECT_TRUE(rt::openWindows().empty());
}

TEST_F(ShellTest, EnterOnTheFocusedSignInButtonSignsIn) {
  t::onOpen("w_pwd", [this](rt::Window& w) {
    if (++entries == 1) t::pressKey(w, Qt::Key_Return);
  });
  run([](w_main1& f) { rt::close(f); });
  EXPECT_EQ(t::openedCount("w_main1"), 1);
}

// ---- the frame

TEST_F(ShellTest, SigningInOpensTheMaximisedFrameWithItsToolbarFormatted) {
  signInTimes(1);
  run([](w_main1& f) {
    EXPECT_FALSE(t::findOpen("w_pwd")) << "the entry window has closed";
    EXPECT_TRUE(f.widget()->isMaximized());
    EXPECT_EQ(t::statusText(f), book::current().microhelpdefault);
    const auto look = t::toolbarLook(f);
    EXPECT_TRUE(look.shown);
    EXPECT_TRUE(look.textsShown);
    EXPECT_EQ(look.resolvedFace, "Liberation Mono") << "Courier New, by a face of its metrics";
    EXPECT_EQ(look.textPixels, 15);  // 11 points
    EXPECT_EQ(look.iconSize, 24);
    // Every button at least as wide as the extent text "12345".
    QFont courier("Courier New");
    courier.setPixelSize(15);
    EXPECT_GE(look.buttonWidth, QFontMetrics(courier).horizontalAdvance("12345"));
    // The toolbar clears y 210 of the controls under it.
    EXPECT_LE(rt::units::toUnitsY(look.thickness), 210);
    const auto status = t::statusBarLook(f);
    EXPECT_EQ(status.pixels, 16);
    EXPECT_EQ(rt::statusBarHeight(f), 23);
    EXPECT_EQ(book::current().button_flag, true);
    rt::close(f);
  });
}

TEST_F(ShellTest, TheToolbarHasTheNineButtonsInOrderWithTheirGaps) {
  signInTimes(1);
  run([](w_main1& f) {
    const auto buttons = t::toolbarButtons(f);
    Strings texts, pictures;
    std::vector<bool> gaps;
    for (const auto& b : buttons) {
      texts.push_back(b.text);
      pictures.push_back(b.picture);
      gaps.push_back(b.gapBefore > 0);
    }
    EXPECT_EQ(texts, (Strings{"高一项目", "高一成绩", "高二项目", "高二成绩", "高三项目", "高三成绩", "毕业成绩",
                              "重新登录", "退出系统"}));
    EXPECT_EQ(pictures, (Strings{"FullBuild!", "Properties!", "FullBuild!", "Properties!", "FullBuild!", "Properties!",
                                 "EditObject!", "RunSCC!", "Exit!"}));
    EXPECT_EQ(gaps, (std::vector<bool>{false, false, true, false, true, false, true, true, true}));
    for (std::size_t i = 1; i < buttons.size(); ++i)
      EXPECT_GT(buttons[i].geometry.x, buttons[i - 1].geometry.x + buttons[i - 1].geometry.width - 1);
    EXPECT_FALSE(t::toolbarHasContextMenu(f)) << "the user does not arrange the toolbar himself";
    rt::close(f);
  });
}

TEST_F(ShellTest, SigningOutAndInAgainMakesANewFrameWithTheSameUtilityAndConnection) {
  signInTimes(2);
  rt::Ref<uo_toolbarutil> first;
  const void* connection = nullptr;
  int frames = 0;
  t::onOpen("w_main1", [&](rt::Window& w) {
    auto& f = static_cast<w_main1&>(w);
    ++frames;
    if (frames == 1) {
      first = book::current().guo_toolbarutil;
      connection = rt::sqlca()->connection();
      EXPECT_TRUE(first);
      rt::Ref<w_main1> ref = rt::refTo(f);
      // The frame picture shown when signing out: the next frame starts on the start page.
      auto menu = rt::cast<m_main>(f.menu());
      rt::pick(*menu->m_导航);
      t::processEvents();
      EXPECT_FALSE(book::current().button_flag);
      t::pressKey(f, Qt::Key_I, Qt::AltModifier);  // 重新登录
    } else {
      EXPECT_TRUE(book::current().guo_toolbarutil == first) << "no second utility";
      EXPECT_EQ(rt::sqlca()->connection(), connection);
      EXPECT_TRUE(book::current().button_flag);
      EXPECT_TRUE(f.dw_main->visible());
      EXPECT_FALSE(f.p_2->visible());
      EXPECT_TRUE(t::toolbarLook(f).textsShown);
      EXPECT_EQ(t::openedCount("w_pwd"), 2);
      rt::close(f);
    }
  });
  book app;
  rt::run(app, 0, nullptr);
  EXPECT_EQ(frames, 2);
}

TEST_F(ShellTest, ExitKeepsTheRunGoingWhileAnotherMainWindowIsOpen) {
  signInTimes(1);
  bool otherStillOpen = false;
  run([&](w_main1& f) {
    rt::open<w_other_main>();
    auto other = rt::global<w_other_main>();
    // Alt+X in another main window is not the frame's.
    t::pressKey(*other, Qt::Key_X, Qt::AltModifier);
    t::processEvents();
    EXPECT_TRUE(rt::global<w_main1>());
    t::pressKey(f, Qt::Key_X, Qt::AltModifier);  // 退出系统
    t::processEvents();
    EXPECT_FALSE(rt::global<w_main1>());
    otherStillOpen = static_cast<bool>(other);
    rt::post([other] { rt::close(other); });
  });
  EXPECT_TRUE(otherStillOpen);
}

TEST_F(ShellTest, MenuItemsShowTheirMicrohelpAndOpenWhatTheyName) {
  signInTimes(1);
  struct Opener : rt::Window {
    std::string name;
    std::string className() const override { return name; }
  };
  run([](w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    struct Case {
      rt::MenuItem* item;
      std::string microhelp;
      std::string opens;
    };
    const Case cases[] = {
        {menu->m_项目设置->m_初中0->m_高一.raw(), "高一项目设置", "w_xm_gz1"},
        {menu->m_项目设置->m_初中0->m_高二.raw(), "高二项目设置", "w_xm_gz2"},
        {menu->m_项目设置->m_初中0->m_高三.raw(), "高三项目设置", "w_xm_gz3"},
        {menu->m_成绩计算->m_高中->m_1.raw(), "高一成绩计算", "w_jsq_gz1"},
        {menu->m_成绩计算->m_高中->m_2.raw(), "高二成绩计算", "w_jsq_gz2"},
        {menu->m_成绩计算->m_高中->m_3.raw(), "高三成绩计算", "w_jsq_gz3"},
        {menu->m_成绩计算->m_高中->m_毕业成绩.raw(), "高中毕业成绩", "w_jsq_by"},
        {menu->m_工具->m_计算器.raw(), "计算器", "w_4"},
        {menu->m_file->m_工具栏设置b.raw(), "工具栏设置(&B)", "w_genapp_toolbars"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.opens);
      t::hoverMenuItem(f, *c.item);
      EXPECT_EQ(t::statusText(f), c.microhelp);
      // A stand-in under the class name, where the real window comes later.
      auto make = [name = c.opens] {
        auto w = std::make_shared<Opener>();
        w->name = name;
        w->windowtype = rt::WindowType::Response;
        w->width = 600;
        w->height = 400;
        return w;
      };
      rt::registerClass(c.opens, make,
                        [make](const rt::Ref<rt::Window>& parent) { return rt::openWindow(make(), parent); });
      const int before = t::openedCount(c.opens);
      t::onOpen(c.opens, [](rt::Window& w) { rt::close(w); });
      rt::pick(*c.item);
      t::processEvents();
      EXPECT_EQ(t::openedCount(c.opens), before + 1);
    }
    EXPECT_EQ(rt::cast<rt::Window>(book::current().message->powerobjectparm), rt::global<w_main1>())
        << "the toolbar settings window is given the frame";
    // The version item, greyed, does nothing.
    EXPECT_FALSE(menu->m_0->enabled());
    rt::close(f);
  });
}

TEST_F(ShellTest, AltSOpensTheSystemMenu) {
  signInTimes(1);
  run([](w_main1& f) {
    t::pressKey(f, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(t::openMenuTitle(f), "系统管理(&S)");
    t::closeMenus();
    rt::close(f);
  });
}

TEST_F(ShellTest, TheStatusBarShowsTheHighlightedItemsMicrohelpOrTheDefaultText) {
  signInTimes(1);
  run([](w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    const std::string banner = book::current().microhelpdefault;
    ASSERT_FALSE(banner.empty());
    struct Step {
      const char* what;
      std::function<void()> act;
      std::string shows;
    };
    const Step steps[] = {
        {"Alt+S and Down highlight the first item",
         [&] {
           t::pressKey(f, Qt::Key_S, Qt::AltModifier);
           t::pressKey(f, Qt::Key_Down);
         },
         "工具栏设置(&B)"},
        {"the pointer on another title of the open menu bar", [&] { t::hoverMenuItem(f, *menu->m_成绩计算); }, banner},
        {"an item without microhelp", [&] { t::hoverMenuItem(f, *menu->m_成绩计算->m_高中); }, banner},
        {"Right opens its submenu on its first item", [&] { t::pressKey(f, Qt::Key_Right); }, "高一成绩计算"},
        {"Esc closes the submenu", [&] { t::pressKey(f, Qt::Key_Escape); }, banner},
        {"Esc closes the menu", [&] { t::pressKey(f, Qt::Key_Escape); }, banner},
        {"Esc leaves the menu bar", [&] { t::pressKey(f, Qt::Key_Escape); }, banner},
        {"the pointer rests on a title, the menus closed", [&] { t::hoverMenuItem(f, *menu->m_工具); }, banner},
        {"a click on 导航", [&] { t::clickMenuItem(f, *menu->m_导航); }, banner},
    };
    for (const auto& step : steps) {
      SCOPED_TRACE(step.what);
      step.act();
      t::processEvents();
      EXPECT_EQ(t::statusText(f), step.shows);
    }
    EXPECT_TRUE(f.p_2->visible()) << "the click picked 导航";
    t::closeMenus();
    rt::close(f);
  });
}

TEST_F(ShellTest, TheToolbarButtonsPickTheirItems) {
  signInTimes(1);
  run([](w_main1& f) {
    const auto buttons = t::toolbarButtons(f);
    ASSERT_EQ(buttons.size(), 9u);
    t::clickToolbarButton(f, 8);  // 退出系统
    t::processEvents();
    EXPECT_FALSE(rt::global<w_main1>());
  });
  EXPECT_TRUE(rt::openWindows().empty());
}

// ---- the navigation toggle and the start page's place

TEST_F(ShellTest, TheNavigationToggleSwapsTheStartPageAndTheFramePicture) {
  signInTimes(1);
  run([](w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    auto toggle = [&] {
      rt::pick(*menu->m_导航);
      t::processEvents();
    };
    toggle();
    EXPECT_FALSE(f.dw_main->visible());
    EXPECT_TRUE(f.p_2->visible());
    EXPECT_EQ(f.p_2->x(), 0);
    EXPECT_EQ(f.p_2->y(), 210);
    EXPECT_EQ(f.p_2->width(), f.width());
    EXPECT_EQ(f.p_2->height(), f.height() - 515);
    EXPECT_FALSE(book::current().button_flag);
    toggle();
    EXPECT_TRUE(f.dw_main->visible());
    EXPECT_FALSE(f.p_2->visible());
    EXPECT_TRUE(book::current().button_flag);

    // A frame at most 515 high: a picture of no height, drawn as nothing; a later toggle on
    // a taller frame sizes it from that frame.
    f.windowstate = rt::WindowState::Normal;
    f.height = 500;
    toggle();
    EXPECT_EQ(f.p_2->height(), -15);
    EXPECT_TRUE(t::isShown(f));
    toggle();
    f.height = 2000;
    toggle();
    EXPECT_EQ(f.p_2->height(), 2000 - 515);
    rt::close(f);
  });
}

// The program with the splash left to the test.
class OwnSplashTest : public support::ProgramTest {
 protected:
  void SetUp() override { registerClasses(); }
};

// A decoded picture lives while a window shows it: the splash's goes when the splash
// closes, the frame picture's while 导航 hides it, and showing it again decodes it once.
TEST_F(OwnSplashTest, PicturesNoWindowShowsAreLetGo) {
  using rt::detail::pictureDecodes;
  using rt::detail::picturesLive;
  int splashLive = -1;
  t::onOpen("w_flash", [&splashLive](rt::Window& w) {
    t::pixelAt(w, 900, 500);  // drawn
    splashLive = picturesLive("ty_flash.JPG");
    t::fireTimer(w);
  });
  signInTimes(1);
  const bool ran = runToFrame([](w_main1& f) {
    EXPECT_EQ(picturesLive("ty_flash.JPG"), 0) << "the splash has closed";
    auto menu = rt::cast<m_main>(f.menu());
    auto toggle = [&] {
      rt::pick(*menu->m_导航);
      t::processEvents();
    };
    auto drawn = [&] { t::pixelAt(f, 1000, 600); };  // within the frame picture when it shows
    const int decodes = pictureDecodes("main.BMP");
    drawn();
    EXPECT_EQ(picturesLive("main.BMP"), 0) << "hidden from the start";
    EXPECT_EQ(picturesLive("xm_1.bmp"), 1) << "the start page shows its pictures";
    for (int shown = 1; shown <= 2; ++shown) {
      SCOPED_TRACE("shown " + std::to_string(shown) + " times");
      toggle();
      drawn();
      drawn();
      EXPECT_EQ(picturesLive("main.BMP"), 1);
      EXPECT_EQ(pictureDecodes("main.BMP"), decodes + shown) << "decoded once each time it shows";
      EXPECT_EQ(picturesLive("xm_1.bmp"), 0) << "the start page is hidden";
      toggle();
      drawn();
      EXPECT_EQ(picturesLive("main.BMP"), 0) << "hidden by 导航";
      EXPECT_EQ(picturesLive("xm_1.bmp"), 1);
    }
    rt::close(f);
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(splashLive, 1);
  EXPECT_EQ(picturesLive("main.BMP"), 0) << "the frame has closed";
}

TEST(StartPagePlace, HalfTheSpaceLeftOverNeverLeftOf0NorAbove220) {
  struct Case {
    int frameW, frameH, x, y;
  };
  const Case cases[] = {
      {4018, 2692, 173, 274},
      {4020, 2692, 174, 274},
      {4019, 2692, 174, 274},
      {3000, 2692, 0, 274},
      {4018, 2583, 173, 220},
      {4018, 2585, 173, 220},
      {4018, 2586, 173, 221},
      {3671, 2144, 0, 220},
      {3671 + 2 * 32768, 2692, 0, 274},  // a half beyond 16 bits counts as 0
      {3671 + 2 * 32767, 2692, 32767, 274},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.frameW) + " x " + std::to_string(c.frameH));
    const auto at = startPagePlace(c.frameW, c.frameH, 3671, 2144);
    EXPECT_EQ(at.x, c.x);
    EXPECT_EQ(at.y, c.y);
  }
}

TEST_F(ShellTest, TheFramePlacesItsStartPageByItsOuterSizeAndIsCentredWhenRestored) {
  signInTimes(1);
  run([](w_main1& f) {
    // Maximised: the page follows the frame's own (outer) size.
    const auto maxAt = startPagePlace(f.width, f.height, 3671, 2144);
    EXPECT_EQ(f.dw_main->x(), maxAt.x);
    EXPECT_EQ(f.dw_main->y(), maxAt.y);
    f.windowstate = rt::WindowState::Normal;
    t::processEvents();
    EXPECT_EQ(f.width(), 4018);
    EXPECT_EQ(f.height(), 2692);
    EXPECT_EQ(f.dw_main->x(), 173);
    EXPECT_EQ(f.dw_main->y(), 274);
    // Centred by its outer size: by its client area it would sit 13 units further right
    // and 50 lower; the window system may round the restored place by a pixel or two.
    const auto screen = t::screenGeometry();
    EXPECT_NEAR(f.x() + f.width() / 2.0, rt::units::toUnitsX(screen.width) / 2.0, 12);
    EXPECT_NEAR(f.y() + f.height() / 2.0, rt::units::toUnitsY(screen.height) / 2.0, 12);
    // Placed while the frame picture shows: only the hidden page moves.
    auto menu = rt::cast<m_main>(f.menu());
    rt::pick(*menu->m_导航);
    t::processEvents();
    const int px = f.p_2->x(), pw = f.p_2->width();
    f.width = 3000;
    EXPECT_EQ(f.dw_main->x(), 0);
    EXPECT_EQ(f.p_2->x(), px);
    EXPECT_EQ(f.p_2->width(), pw);
    rt::close(f);
  });
}

// ---- the support window

TEST_F(ShellTest, TheSupportWindowClosesByItsButtonOnlyAndItsLinkOpens) {
  signInTimes(1);
  run([](w_main1& f) {
    struct Case {
      const char* how;
      std::function<void(w_about&)> close;
    };
    const Case cases[] = {
        {"Alt+X", [](w_about& a) { t::pressKey(a, Qt::Key_X, Qt::AltModifier); }},
        {"a click", [](w_about& a) { t::click(*a.cb_1); }},
        {"Space", [](w_about& a) { t::pressKey(a, Qt::Key_Space); }},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.how);
      bool shownAfterLink = false;
      t::onOpen("w_about", [&](rt::Window& w) {
        auto& about = static_cast<w_about&>(w);
        t::click(*about.st_link);
        shownAfterLink = t::isShown(about);
        t::pressKey(about, Qt::Key_Escape);  // no cancel button: stays
        c.close(about);
      });
      auto menu = rt::cast<m_main>(f.menu());
      rt::pick(*menu->m_帮助->m_关于);
      t::processEvents();
      EXPECT_TRUE(shownAfterLink);
      EXPECT_FALSE(t::findOpen("w_about"));
      EXPECT_TRUE(rt::global<w_main1>()) << "Alt+X in the support window is its own";
    }
    EXPECT_EQ(t::openedUrls().size(), 3u);
    rt::close(f);
  });
}

// ---- the desk calculator from the menu

TEST_F(ShellTest, TheCalculatorIsAMainWindowOfItsOwnThatOutlivesTheFrame) {
  signInTimes(1);
  bool runWentOn = false;
  run([&](w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    rt::pick(*menu->m_工具->m_计算器);
    t::processEvents();
    rt::Ref<w_4> calc = rt::global<w_4>();
    ASSERT_TRUE(calc);
    // A chained calculation typed on the keyboard, with the frame still usable behind it.
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2}) t::pressKey(*calc, k);
    t::pressKey(*calc, Qt::Key_Plus, Qt::KeypadModifier);
    t::pressKey(*calc, Qt::Key_3);
    t::pressKey(*calc, Qt::Key_Asterisk, Qt::KeypadModifier);
    t::pressKey(*calc, Qt::Key_4);
    t::pressKey(*calc, Qt::Key_Return);
    EXPECT_EQ(calc->sle_1->text(), "60");
    // Picked again: the same window, to the front.
    rt::pick(*menu->m_工具->m_计算器);
    t::processEvents();
    EXPECT_TRUE(rt::global<w_4>() == calc);
    EXPECT_EQ(t::openedCount("w_4"), 1);
    // 退出系统 closes the frame; the calculator keeps the run going until it closes.
    t::pressKey(f, Qt::Key_X, Qt::AltModifier);
    t::processEvents();
    EXPECT_FALSE(rt::global<w_main1>());
    rt::post([calc, &runWentOn] {
      runWentOn = static_cast<bool>(calc);
      rt::close(calc);
    });
  });
  EXPECT_TRUE(runWentOn);
  EXPECT_TRUE(rt::openWindows().empty());
}

// ---- the window a window belongs to

namespace {

// The class of the open window that `w` belongs to (its window handle's transient parent).
std::string ownerOf(const QWidget& w) {
  const QWindow* owner = w.windowHandle() ? w.windowHandle()->transientParent() : nullptr;
  if (!owner) return "none";
  for (const auto& open : rt::openWindows())
    if (open->widget() && open->widget()->windowHandle() == owner) return open->className();
  return "another";
}

// Every real message box as it comes up: its caption and the window it belongs to; then OK.
class BoxWatch : public QObject {
 public:
  explicit BoxWatch(Strings& seen) : seen_(seen) { qApp->installEventFilter(this); }
  ~BoxWatch() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    auto* box = qobject_cast<QMessageBox*>(o);
    if (box && e->type() == QEvent::Show) {
      seen_.push_back(box->windowTitle().toStdString() + " box: " + ownerOf(*box));
      QTimer::singleShot(0, box, [] { t::answerMessageBox(); });
    }
    return false;
  }

 private:
  Strings& seen_;
};

// A grade's settings row with every item taken.
std::string settingsRow(const std::string& nj) {
  return "INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, xm_5_w, xm_l_w,"
         " xm_z_w, xm_y_w, xm_w_w) VALUES ('" +
         nj + "', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1')";
}

}  // namespace

// Whatever the frame's menu, toolbar or start page opens belongs to the frame, even while the
// desk calculator, opened later, is on screen; so does what a calculator's open event shows
// before the calculator itself is on screen.
TEST_F(ShellTest, WhatTheFrameOpensBelongsToTheFrameWhileTheDeskCalculatorIsOpen) {
  signInTimes(1);
  ds.query(settingsRow("31") + "; " + settingsRow("33"));
  t::useRealMessageBoxes();
  Strings seen;
  BoxWatch boxes(seen);
  bool pressSettings = false;  // the calculator's 项目设置 pressed before it closes
  for (const char* name : {"w_jsq_gz1", "w_jsq_gz3", "w_xm_gz1"}) {
    t::onOpen(name, [&seen, &pressSettings, this](rt::Window& w) {
      seen.push_back(w.className() + ": " + ownerOf(*w.widget()));
      // The settings window saves the grade's row, as the user would.
      if (w.className() == "w_xm_gz1") ds.query("DELETE FROM xmsz WHERE nj = '31'; " + settingsRow("31"));
      if (auto* calculator = dynamic_cast<w_jsq*>(&w); calculator && pressSettings) t::click(*calculator->cb_2);
      rt::close(w);
    });
  }
  bool ran = false;
  run([&](w_main1& f) {
    ran = true;
    ASSERT_TRUE(t::waitExposed(f));
    auto menu = rt::cast<m_main>(f.menu());
    rt::pick(*menu->m_工具->m_计算器);
    t::processEvents();
    rt::Ref<w_4> desk = rt::global<w_4>();
    ASSERT_TRUE(desk);
    int gradeThree = -1;
    const auto buttons = t::toolbarButtons(f);
    for (std::size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i].text == "高三成绩") gradeThree = static_cast<int>(i);
    ASSERT_GE(gradeThree, 0);
    const std::string caption = f.title;

    struct Case {
      const char* what;
      std::function<void()> act;
      Strings seen;
    };
    const Case cases[] = {
        {"成绩计算 → 高中 → 高一成绩计算", [&] { rt::pick(*menu->m_成绩计算->m_高中->m_1); }, {"w_jsq_gz1: w_main1"}},
        {"the toolbar's 高三成绩", [&] { t::clickToolbarButton(f, gradeThree); }, {"w_jsq_gz3: w_main1"}},
        {"高一成绩计算 without the grade's settings",
         [&] {
           ds.query("DELETE FROM xmsz WHERE nj = '31'");
           rt::pick(*menu->m_成绩计算->m_高中->m_1);
         },
         {"注意 box: w_main1", "w_xm_gz1: w_main1", "w_jsq_gz1: w_main1"}},
        {"高一成绩计算's own 项目设置",
         [&] {
           pressSettings = true;
           rt::pick(*menu->m_成绩计算->m_高中->m_1);
         },
         {"w_jsq_gz1: w_main1", "w_xm_gz1: w_jsq_gz1"}},
        {"a start-page picture whose tag names no window",
         [&] {
           ASSERT_EQ(f.dw_main->modify("p_1.Tag='Run = w_nowhere'"), "");
           t::movePointer(*f.dw_main, 238 + 200, 60 + 200);  // the middle of p_1
           t::click(*f.dw_main, 238 + 200, 60 + 200);
         },
         {caption + " box: w_main1"}},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      seen.clear();
      c.act();
      t::processEvents();
      pressSettings = false;
      EXPECT_EQ(seen, c.seen);
      EXPECT_TRUE(desk) << "the desk calculator stays open";
    }
    rt::close(desk);
    rt::close(f);
  });
  EXPECT_TRUE(ran);
}
