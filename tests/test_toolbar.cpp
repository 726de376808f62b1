// The toolbar utility and its runtime variants, the status-bar utility, the toolbar settings
// window and the picture button's arrow keys: what each writes into the frame's toolbar and
// status bar, what the user then sees, and that images and fonts neither leak nor go twice.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeySequence>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "classes.h"
#include "runtime/controls.h"
#include "runtime/event.h"
#include "runtime/menu.h"
#include "runtime/testing.h"
#include "runtime/toolbar.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "shell/m_main.h"
#include "shell/w_main1.h"
#include "support/datasource.h"
#include "support/program.h"
#include "ui/uo_microbarutil.h"
#include "ui/uo_picture_command_button.h"
#include "ui/uo_toolbarutil.h"
#include "ui/w_genapp_toolbars.h"

namespace t = rt::testing;
using rt::ToolbarSetting;
using Strings = std::vector<std::string>;
using Size = std::pair<int, int>;

namespace {

// ---- a frame of the tests' own, with two toolbar buttons

struct m_item : rt::MenuItem {
  RT_CLASS(m_item)
};
struct m_bar : rt::Menu {
  RT_CLASS(m_bar)
  void create() override {
    auto file = insert<m_item>();
    file->text = "文件(&F)";
    auto open = file->insert<m_item>();
    open->text = "打开";
    open->toolbaritemname = "Open!";
    open->toolbaritemtext = "打开";
    open->toolbaritemorder = 1;
    auto save = file->insert<m_item>();
    save->text = "保存";
    save->toolbaritemname = "Save!";
    save->toolbaritemtext = "保存";
    save->toolbaritemorder = 2;
    save->toolbaritemspace = 1;
  }
};

struct w_frame : rt::Window {
  RT_CLASS(w_frame)
  w_frame() {
    windowtype = rt::WindowType::MdiFrame;
    width = 3000;
    height = 2000;
  }
  void create() override { changeMenu<m_bar>(); }
};

struct w_plain : rt::Window {
  RT_CLASS(w_plain)
  w_plain() {
    width = 1000;
    height = 800;
  }
};

struct w_response : rt::Window {
  RT_CLASS(w_response)
  w_response() {
    windowtype = rt::WindowType::Response;
    width = 1000;
    height = 800;
  }
};

// Every setting the utility may write, with what hiding the texts writes for icon size s, in
// the order it writes them.
const ToolbarSetting kIconSettings[] = {ToolbarSetting::IconWidth,    ToolbarSetting::IconHeight,
                                        ToolbarSetting::ButtonWidth,  ToolbarSetting::ButtonWidthAgain,
                                        ToolbarSetting::ButtonHeight, ToolbarSetting::ButtonHeightAgain,
                                        ToolbarSetting::BarHeight,    ToolbarSetting::SideWidth};
std::vector<long> iconValues(int s) { return {s, s, s + 7, s + 7, s + 6, s + 6, s + 11, s + 10}; }
const ToolbarSetting kAllSettings[] = {
    ToolbarSetting::PlainFace,  ToolbarSetting::SunkenFace,        ToolbarSetting::BarHeight,
    ToolbarSetting::SideWidth,  ToolbarSetting::ButtonWidth,       ToolbarSetting::ButtonHeight,
    ToolbarSetting::Separator,  ToolbarSetting::SeparatorAgain,    ToolbarSetting::IconWidth,
    ToolbarSetting::IconHeight, ToolbarSetting::ButtonHeightAgain, ToolbarSetting::ButtonWidthAgain};

std::map<ToolbarSetting, std::optional<long>> settingsOf(long toolbar) {
  std::map<ToolbarSetting, std::optional<long>> out;
  for (ToolbarSetting s : kAllSettings) out[s] = rt::readToolbar(toolbar, s);
  return out;
}

// Marks the entry version as 6, so a later call by another version shows.
void markEntryVersion() { rt::toolbarEntries(6)->showText(0, true); }

class ToolbarTest : public ::testing::Test {
 protected:
  t::Session session;
  rt::Ref<w_frame> frame;

  void SetUp() override {
    rt::reportRuntimeVersion(8);
    rt::open(frame);
    t::processEvents();
  }
  void TearDown() override { rt::reportRuntimeVersion(8); }
  static t::ToolbarLook lookOf(rt::Window& f) {
    t::processEvents();  // the toolbar shows what was written once the event is over
    return t::toolbarLook(f);
  }
};

}  // namespace

// ---- the utility: icon size, show flag, factory

TEST_F(ToolbarTest, TheIconSizeDecidesTheSquareBitmapAndWhatHidingTheTextsSets) {
  struct Case {
    int size;
    bool bitmap;  // init makes the square bitmap
    bool sizes;   // hiding the texts writes the sizes and faces
  };
  // 245 would overflow the one-byte sizes (245 + 11): nothing is written at all.
  const Case cases[] = {{16, false, false}, {17, true, true}, {24, true, true}, {245, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE("icon size " + std::to_string(c.size));
    rt::Ref<w_frame> f;
    rt::open(f);
    t::processEvents();
    const int imagesBefore = rt::liveBitmaps();
    auto util = rt::create<uo_toolbarutil8>();
    EXPECT_TRUE(util->of_inittoolbar(f, c.size));
    EXPECT_EQ(util->ii_iconsize, c.size > 16 ? c.size : 0);
    EXPECT_EQ(util->il_hbitmap != 0, c.bitmap);
    if (c.bitmap) {
      EXPECT_EQ(rt::bitmapSize(util->il_hbitmap), Size(c.size, c.size));
    }
    util->of_settoolbarfont("Courier New", -11, "12345");
    t::processEvents();
    const int imagesBeforeHiding = rt::liveBitmaps();
    EXPECT_EQ(imagesBeforeHiding, imagesBefore + (c.bitmap ? 1 : 0)) << "the toolbar keeps the square";

    util->of_toolbarshowtext(false);
    auto look = lookOf(*f);
    EXPECT_FALSE(look.textsShown);
    const long tb = util->il_ptoolbar;
    const int s = c.size;
    if (c.sizes) {
      const auto values = iconValues(s);
      for (std::size_t i = 0; i < std::size(kIconSettings); ++i)
        EXPECT_EQ(rt::readToolbar(tb, kIconSettings[i]), values[i]) << "write " << i + 1;
      EXPECT_EQ(look.iconSize, s);
      EXPECT_EQ(look.iconHeight, s);
      EXPECT_EQ(look.buttonWidth, s + 7);
      EXPECT_EQ(look.buttonHeight, s + 6);
      EXPECT_EQ(look.thickness, s + 11);
      EXPECT_EQ(look.plainFace, rt::readToolbar(tb, ToolbarSetting::PlainFace));
      EXPECT_EQ(look.sunkenFace, rt::readToolbar(tb, ToolbarSetting::SunkenFace));
      EXPECT_EQ(rt::bitmapSize(look.plainFace), Size(s + 7, s + 6));
      EXPECT_EQ(rt::bitmapSize(look.sunkenFace), Size(s + 7, s + 6));
      EXPECT_EQ(rt::liveBitmaps(), imagesBeforeHiding + 2) << "two faces, no device context left holding one";
      f->toolbaralignment = 0;
      look = lookOf(*f);
      EXPECT_EQ(look.thickness, s + 10) << "docked at a side";
      EXPECT_EQ(look.buttonWidth, s + 7);
      f->toolbaralignment = 1;
    } else {
      for (ToolbarSetting setting : kAllSettings) EXPECT_FALSE(rt::readToolbar(tb, setting));
      EXPECT_EQ(look.iconSize, 16);
      EXPECT_EQ(look.plainFace, 0);
      EXPECT_EQ(rt::liveBitmaps(), imagesBeforeHiding);
    }

    // Showing the texts writes the two separator values and touches nothing else.
    auto before = settingsOf(tb);
    util->of_toolbarshowtext(true);
    look = lookOf(*f);
    EXPECT_TRUE(look.textsShown);
    auto after = settingsOf(tb);
    EXPECT_EQ(after[ToolbarSetting::Separator], 4);
    EXPECT_EQ(after[ToolbarSetting::SeparatorAgain], 4);
    before.erase(ToolbarSetting::Separator), before.erase(ToolbarSetting::SeparatorAgain);
    after.erase(ToolbarSetting::Separator), after.erase(ToolbarSetting::SeparatorAgain);
    EXPECT_EQ(after, before);
    EXPECT_EQ(look.iconSize, c.bitmap ? std::min(s, 128) : 16) << "the icons take the square's size";

    rt::close(f);
    rt::destroy(util);
    t::processEvents();
    EXPECT_EQ(rt::liveBitmaps(), imagesBefore) << "the frame's images go with it";
  }
}

TEST_F(ToolbarTest, HidingTheTextsAgainHandsOverTwoNewFacesAndFreesTheOldOnes) {
  auto util = rt::create<uo_toolbarutil8>();
  ASSERT_TRUE(util->of_inittoolbar(frame, 24));
  util->of_settoolbarfont("Courier New", -11, "12345");
  util->of_toolbarshowtext(false);
  t::processEvents();
  const long tb = util->il_ptoolbar;
  long plain = *rt::readToolbar(tb, ToolbarSetting::PlainFace);
  long sunken = *rt::readToolbar(tb, ToolbarSetting::SunkenFace);
  const int images = rt::liveBitmaps();
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    util->of_toolbarshowtext(true);
    util->of_toolbarshowtext(false);
    const long newPlain = *rt::readToolbar(tb, ToolbarSetting::PlainFace);
    const long newSunken = *rt::readToolbar(tb, ToolbarSetting::SunkenFace);
    EXPECT_NE(newPlain, plain);
    EXPECT_NE(newSunken, sunken);
    EXPECT_NE(newPlain, newSunken);
    EXPECT_FALSE(rt::bitmapSize(plain)) << "the replaced face is freed";
    EXPECT_FALSE(rt::bitmapSize(sunken));
    EXPECT_FALSE(rt::deleteObject(plain)) << "and cannot be freed again";
    plain = newPlain;
    sunken = newSunken;
    const auto look = lookOf(*frame);
    EXPECT_EQ(look.plainFace, plain);
    EXPECT_EQ(rt::liveBitmaps(), images);
  }
}

TEST_F(ToolbarTest, TheShowFlagActsOnlyOnAToolbarFound) {
  rt::Ref<w_plain> plain;
  rt::open(plain);
  struct Case {
    std::optional<bool> show;
    bool found;
  };
  const Case cases[] = {{true, true},  {false, true},  {std::nullopt, true},
                        {true, false}, {false, false}, {std::nullopt, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.show ? (*c.show ? "true" : "false") : "null") + (c.found ? ", found" : ", not found"));
    rt::Ref<w_frame> f;
    rt::open(f);
    t::processEvents();
    const long tb = rt::windowLong(rt::findChildWindow(rt::handleOf(*f), 0, "RTFIXEDBAR80"), 0);
    ASSERT_GT(tb, 0);
    auto util = rt::create<uo_toolbarutil8>();
    EXPECT_EQ(util->of_inittoolbar(c.found ? rt::Ref<rt::Window>(f) : rt::Ref<rt::Window>(plain), 24), c.found);
    const int images = rt::liveBitmaps();
    markEntryVersion();
    util->of_toolbarshowtext(c.show);
    const auto look = lookOf(*f);
    const auto settings = settingsOf(tb);
    if (!c.found) {
      EXPECT_EQ(util->il_ptoolbar, 0);
      EXPECT_EQ(rt::lastToolbarEntryVersion(), 6) << "no entry is called";
      for (const auto& [setting, value] : settings) EXPECT_FALSE(value);
      EXPECT_FALSE(look.textsShown);
      EXPECT_EQ(rt::liveBitmaps(), images);
    } else if (c.show == true) {
      EXPECT_EQ(rt::lastToolbarEntryVersion(), 8);
      EXPECT_TRUE(look.textsShown);
      EXPECT_EQ(settings.at(ToolbarSetting::Separator), 4);
      EXPECT_EQ(settings.at(ToolbarSetting::SeparatorAgain), 4);
      for (ToolbarSetting s : kIconSettings) EXPECT_FALSE(settings.at(s));
      EXPECT_FALSE(settings.at(ToolbarSetting::PlainFace));
    } else {
      EXPECT_EQ(rt::lastToolbarEntryVersion(), 8);
      EXPECT_FALSE(look.textsShown);
      EXPECT_FALSE(settings.at(ToolbarSetting::Separator));
      EXPECT_EQ(settings.at(ToolbarSetting::IconWidth), 24);
      EXPECT_TRUE(settings.at(ToolbarSetting::PlainFace));
    }
    rt::close(f);
    rt::destroy(util);
  }
}

TEST_F(ToolbarTest, TheFactoryMakesTheVariantOfTheRuntimeVersionOnlyIntoAnEmptyVariable) {
  struct Case {
    std::optional<int> version;  // nullopt: the environment query fails
    bool result;
    std::string variant;  // "" when none is made
  };
  const Case cases[] = {{std::nullopt, false, ""},    {5, true, ""},
                        {6, true, "uo_toolbarutil6"}, {7, true, "uo_toolbarutil7"},
                        {8, true, "uo_toolbarutil8"}, {9, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version ? "version " + std::to_string(*c.version) : "query fails");
    rt::reportRuntimeVersion(c.version);
    rt::Ref<w_frame> f;
    rt::open(f);
    t::processEvents();

    // An empty variable.
    rt::Ref<uo_toolbarutil> util;
    EXPECT_EQ(f_create_toolbarutil(util), c.result);
    EXPECT_EQ(util ? util->className() : "", c.variant);
    if (!c.variant.empty()) {
      const std::string toolbarClass = "RTFIXEDBAR" + std::to_string(*c.version * 10);
      EXPECT_EQ(util->is_toolclassname, toolbarClass);
      EXPECT_GT(rt::findChildWindow(rt::handleOf(*f), 0, toolbarClass), 0) << "the frame's toolbar is of that class";
      ASSERT_TRUE(util->of_inittoolbar(f, 24));
      // Each entry is served by the variant's own runtime version.
      markEntryVersion();
      util->of_settoolbarfont("Courier New", -11, "12345");
      EXPECT_EQ(rt::lastToolbarEntryVersion(), *c.version);
      markEntryVersion();
      util->of_toolbarshowtext(true);
      EXPECT_EQ(rt::lastToolbarEntryVersion(), *c.version);
      markEntryVersion();
      util->of_adjusttoolbariconsize();  // draws the faces
      EXPECT_EQ(rt::lastToolbarEntryVersion(), *c.version);
      EXPECT_TRUE(lookOf(*f).textsShown);
    }

    // A variable that holds a utility already keeps it.
    auto existing = rt::create<uo_toolbarutil7>();
    rt::Ref<uo_toolbarutil> held = existing;
    EXPECT_FALSE(f_create_toolbarutil(held));
    EXPECT_EQ(held.raw(), existing.raw());
    if (util) {
      EXPECT_FALSE(f_create_toolbarutil(util));
      EXPECT_EQ(util->className(), c.variant);
    }
    rt::destroy(existing);
    rt::destroy(util);
    rt::close(f);
  }
}

TEST_F(ToolbarTest, TheBaseClassSuppliesNoEntryAndACallOnOneEndsOnlyItsFunction) {
  auto base = rt::create<uo_toolbarutil>();
  EXPECT_TRUE(base->is_toolclassname.empty());
  EXPECT_FALSE(base->of_inittoolbar(frame, 24)) << "no class name, no toolbar";
  base->is_toolclassname = "RTFIXEDBAR80";
  ASSERT_TRUE(base->of_inittoolbar(frame, 24));
  const int errors = rt::runtimeErrorCount();
  bool after = false;
  EXPECT_FALSE(rt::dispatch([&] {
    base->of_settoolbarfont("Courier New", -11, "12345");
    after = true;
  }));
  EXPECT_FALSE(rt::dispatch([&] {
    base->of_toolbarshowtext(false);
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_EQ(rt::runtimeErrorCount(), errors + 2);
  EXPECT_NE(rt::lastRuntimeError()->what.find("rt_toolbarshowtext"), std::string::npos);
  EXPECT_FALSE(rt::readToolbar(base->il_ptoolbar, ToolbarSetting::IconWidth)) << "the function ended at the call";
  EXPECT_FALSE(lookOf(*frame).textsShown);
  rt::destroy(base);
}

TEST_F(ToolbarTest, ClosingTheFloatingToolbarsWindowHidesTheToolbar) {
  frame->toolbaralignment = 4;
  auto look = lookOf(*frame);
  ASSERT_TRUE(look.floating);
  ASSERT_TRUE(look.shown);
  t::closeFloatingToolbar(*frame);
  EXPECT_FALSE(frame->toolbarvisible());
  EXPECT_FALSE(lookOf(*frame).shown);
  frame->toolbarvisible = true;
  EXPECT_TRUE(lookOf(*frame).shown);
}

// ---- lifetimes: a failed initialisation, a closed frame

TEST_F(ToolbarTest, AFailedInitialisationChangesOnlyTheFrameHandle) {
  auto util = rt::create<uo_toolbarutil8>();
  ASSERT_TRUE(util->of_inittoolbar(frame, 24));
  const long ptoolbar = util->il_ptoolbar, hwnd = util->il_hwndtoolbar, bitmap = util->il_hbitmap;
  EXPECT_EQ(util->il_hframe, rt::handleOf(*frame));
  EXPECT_EQ(hwnd, rt::findChildWindow(util->il_hframe, 0, "RTFIXEDBAR80"));
  EXPECT_EQ(ptoolbar, rt::windowLong(hwnd, 0));

  auto keptTheRest = [&] {
    EXPECT_EQ(util->il_ptoolbar, ptoolbar);
    EXPECT_EQ(util->il_hwndtoolbar, hwnd);
    EXPECT_EQ(util->il_hbitmap, bitmap);
    EXPECT_EQ(util->ii_iconsize, 24);
  };
  // A window without the toolbar: the frame handle is the new window's, the rest stays.
  rt::Ref<w_plain> plain;
  rt::open(plain);
  EXPECT_FALSE(util->of_inittoolbar(plain, 30));
  EXPECT_EQ(util->il_hframe, rt::handleOf(*plain));
  keptTheRest();
  // A frame of another runtime version's toolbar.
  rt::reportRuntimeVersion(7);
  rt::Ref<w_frame> other;
  rt::open(other);
  EXPECT_FALSE(util->of_inittoolbar(other, 30));
  EXPECT_EQ(util->il_hframe, rt::handleOf(*other));
  keptTheRest();
  // No window at all, or one gone: nothing changes, not even the frame handle.
  const long hframe = util->il_hframe;
  EXPECT_FALSE(util->of_inittoolbar({}, 30));
  rt::close(plain);
  EXPECT_FALSE(util->of_inittoolbar(plain, 30));
  EXPECT_EQ(util->il_hframe, hframe);
  keptTheRest();
  rt::destroy(util);
}

TEST_F(ToolbarTest, AClosedFramesToolbarIsDeadToEveryCall) {
  auto util = rt::create<uo_toolbarutil8>();
  ASSERT_TRUE(util->of_inittoolbar(frame, 24));
  util->of_settoolbarfont("Courier New", -11, "12345");
  util->of_toolbarshowtext(false);
  t::processEvents();
  const long id = util->il_ptoolbar, hwnd = util->il_hwndtoolbar;
  const long plain = *rt::readToolbar(id, ToolbarSetting::PlainFace);
  const int images = rt::liveBitmaps();

  rt::close(frame);
  t::processEvents();
  EXPECT_EQ(rt::liveBitmaps(), images - 3) << "the square and both faces go with the frame";
  EXPECT_FALSE(rt::bitmapSize(plain));
  EXPECT_EQ(rt::windowLong(hwnd, 0), 0);
  EXPECT_EQ(rt::getDC(hwnd), 0);
  EXPECT_FALSE(rt::writeToolbar(id, ToolbarSetting::IconWidth, 30));
  EXPECT_FALSE(rt::readToolbar(id, ToolbarSetting::IconWidth));
  EXPECT_FALSE(rt::readToolbar(id, ToolbarSetting::PlainFace));
  EXPECT_EQ(rt::toolbarEntries(8)->setFont(id, "Arial", -9, 0, ""), 0);

  // The utility still holds the dead id: every function runs through and changes nothing.
  const int errors = rt::runtimeErrorCount();
  util->of_settoolbarfont("Courier New", -11, "12345");
  util->of_toolbarshowtext(false);
  util->of_toolbarshowtext(true);
  util->of_adjusttoolbariconsize();
  t::processEvents();
  EXPECT_EQ(rt::runtimeErrorCount(), errors);
  EXPECT_EQ(rt::liveBitmaps(), images - 3);

  // A new frame's toolbar has ids of its own.
  rt::Ref<w_frame> next;
  rt::open(next);
  ASSERT_TRUE(util->of_inittoolbar(next, 24));
  EXPECT_NE(util->il_ptoolbar, id);
  EXPECT_NE(util->il_hwndtoolbar, hwnd);
  EXPECT_FALSE(rt::readToolbar(id, ToolbarSetting::IconWidth));
  rt::destroy(util);
}

// ---- the status bar

TEST_F(ToolbarTest, TheStatusBarTakesSongti16InGB2312AndHeight23WhateverTheVersion) {
  QFont songti(QStringLiteral("宋体"));
  songti.setPixelSize(16);
  const std::string songtiFace = QFontInfo(songti).family().toStdString();
  const std::optional<int> versions[] = {8, 6, 7, 9, std::nullopt};
  for (const auto& v : versions) {
    SCOPED_TRACE(v ? "version " + std::to_string(*v) : "query fails");
    rt::reportRuntimeVersion(v);
    const int fontsBefore = rt::liveFonts();
    rt::Ref<w_frame> f;
    rt::open(f);
    const long own = rt::statusBarFont(*f);
    ASSERT_TRUE(rt::fontOf(own));
    const int fonts = rt::liveFonts();

    uo_microbarutil lnv;
    lnv.of_initmicrobar(f);
    const long font = rt::statusBarFont(*f);
    EXPECT_NE(font, own);
    const auto lf = rt::fontOf(font);
    ASSERT_TRUE(lf);
    EXPECT_EQ(lf->facename, "宋体");
    EXPECT_EQ(lf->height, -16);
    EXPECT_EQ(lf->charset, 134);
    EXPECT_EQ(lf->width + lf->weight + lf->escapement + lf->orientation + lf->italic + lf->quality, 0);
    EXPECT_FALSE(rt::fontOf(own)) << "the old font is released";
    EXPECT_FALSE(rt::deleteObject(own)) << "once";
    EXPECT_EQ(rt::liveFonts(), fonts);
    EXPECT_EQ(rt::statusBarHeight(*f), 23);
    const auto look = t::statusBarLook(*f);
    EXPECT_EQ(look.resolvedFace, songtiFace);
    EXPECT_EQ(look.pixels, 16);

    // A second call makes another font and releases the first.
    lnv.of_initmicrobar(f);
    EXPECT_FALSE(rt::fontOf(font));
    EXPECT_EQ(rt::liveFonts(), fonts);

    rt::close(f);
    EXPECT_EQ(rt::liveFonts(), fontsBefore) << "the bar's font goes with the frame";
  }
}

TEST_F(ToolbarTest, TheStatusBarUtilityLeavesOtherWindowsAloneAndANullFrameEndsOnlyItsEvent) {
  uo_microbarutil lnv;
  const int fonts = rt::liveFonts();
  rt::Ref<w_plain> plain;
  rt::open(plain);
  lnv.of_initmicrobar(plain);
  EXPECT_EQ(rt::liveFonts(), fonts);
  bool ran = false;
  t::onOpen("w_response", [&](rt::Window& w) {
    lnv.of_initmicrobar(rt::refTo(w));
    EXPECT_EQ(rt::liveFonts(), fonts) << "no font is made";
    ran = true;
    rt::close(w);
  });
  rt::open<w_response>();
  EXPECT_TRUE(ran);

  const int errors = rt::runtimeErrorCount();
  bool after = false;
  EXPECT_FALSE(rt::dispatch([&] {
    lnv.of_initmicrobar({});
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_EQ(rt::runtimeErrorCount(), errors + 1);
  EXPECT_EQ(rt::liveFonts(), fonts);
}

// ---- the picture button's arrow keys

namespace {

template <const char* N, class Base>
struct named : Base {
  static constexpr const char* class_name = N;
  std::string className() const override { return N; }
};
constexpr char en[] = "e", bn[] = "b", zn[] = "z";

// A picture button, an edit and a button in tab order, and an edit that is no tab stop.
struct w_arrows : rt::Window {
  RT_CLASS(w_arrows)
  struct button_t : uo_picture_command_button {
    RT_CLASS(button)
    int clicks = 0;
    long clicked(unsigned long flags, int xpos, int ypos) override {
      uo_picture_command_button::clicked(flags, xpos, ypos);
      ++clicks;
      return 0;
    }
  };
  rt::Ref<named<zn, rt::SingleLineEdit>> z;
  rt::Ref<button_t> button;
  rt::Ref<named<en, rt::SingleLineEdit>> e;
  rt::Ref<named<bn, rt::CommandButton>> b;
  w_arrows() {
    width = 2000;
    height = 1200;
  }
  void create() override {
    z = insert<named<zn, rt::SingleLineEdit>>();
    z->y = 800;
    button = insert<button_t>();
    button->x = 100;
    button->y = 100;
    button->taborder = 10;
    button->buttontext = "确定";
    button->bitmapname = "Save!";
    e = insert<named<en, rt::SingleLineEdit>>();
    e->y = 300;
    e->taborder = 20;
    b = insert<named<bn, rt::CommandButton>>();
    b->y = 500;
    b->taborder = 30;
  }
};

std::string focusedName(rt::Window& w) {
  auto c = t::focused(w);
  return c ? c->className() : "none";
}

class ArrowKeys : public ::testing::Test {
 protected:
  t::Session session;
  rt::Ref<w_arrows> w;
  void SetUp() override {
    rt::open(w);
    t::processEvents();
  }
  void startOnTheButton() {
    t::moveFocus(*w->button->command_button);
    t::processEvents();
    w->button->clicks = 0;
    t::clearJournal();
  }
  bool atRest() const {
    return w->button->uo_bitmap->x() == w->button->il_picx && w->button->uo_bitmap->y() == w->button->il_picy;
  }
  bool pressed() const {
    return w->button->uo_bitmap->x() == w->button->il_picx + 3 && w->button->uo_bitmap->y() == w->button->il_picy + 3;
  }
};

}  // namespace

TEST_F(ArrowKeys, ArrowsMoveTheFocusAsTabAndShiftTabOnceTheKeyEventIsOver) {
  struct Case {
    Qt::Key key;
    const char* focus;
    int clicks;
  };
  const Case cases[] = {
      {Qt::Key_Down, "e", 0},
      {Qt::Key_Right, "e", 0},
      {Qt::Key_Up, "b", 0},
      {Qt::Key_Left, "b", 0},  // back past the first stop, z skipped
      {Qt::Key_Return, "command_button", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    startOnTheButton();
    t::pressKey(*w, c.key);
    EXPECT_EQ(focusedName(*w), "command_button") << "not during the key event";
    EXPECT_EQ(w->button->clicks, 0);
    t::processEvents();
    EXPECT_EQ(focusedName(*w), c.focus);
    EXPECT_EQ(w->button->clicks, c.clicks);
    EXPECT_TRUE(atRest());
  }
  startOnTheButton();
  t::pressKey(*w, Qt::Key_Down);
  t::processEvents();
  EXPECT_EQ(t::journal({"keydown", "losefocus", "getfocus"}),
            (Strings{"command_button.keydown", "command_button.losefocus", "e.getfocus"}));
}

TEST_F(ArrowKeys, ShiftIsNotLeftHeldAfterUp) {
  startOnTheButton();
  t::pressKey(*w, Qt::Key_Up);
  t::processEvents();
  EXPECT_EQ(focusedName(*w), "b");
  t::moveFocus(*w->button->command_button);
  t::pressKey(*w, Qt::Key_Down);
  t::processEvents();
  EXPECT_EQ(focusedName(*w), "e") << "forward again";
}

TEST_F(ArrowKeys, SpaceHoldsThePictureDownAndClicksOnRelease) {
  startOnTheButton();
  t::keyDown(*w, Qt::Key_Space);
  EXPECT_TRUE(pressed());
  EXPECT_TRUE(w->button->lb_keyboard);
  t::keyUp(*w, Qt::Key_Space);
  EXPECT_TRUE(atRest());
  t::processEvents();
  EXPECT_EQ(focusedName(*w), "command_button");
  EXPECT_EQ(w->button->clicks, 1);
}

TEST_F(ArrowKeys, LeavingWhileSpaceHoldsTheButtonLetsGoOfIt) {
  startOnTheButton();
  t::keyDown(*w, Qt::Key_Space);
  ASSERT_TRUE(pressed());
  t::pressKey(*w, Qt::Key_Down);
  t::processEvents();
  EXPECT_EQ(focusedName(*w), "e");
  EXPECT_FALSE(w->button->lb_keyboard);
  EXPECT_TRUE(atRest());
  t::keyUp(*w, Qt::Key_Space);  // reaches the edit now
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 0);
  // The mouse presses the button again as before.
  t::click(*w->button->command_button);
  t::processEvents();
  EXPECT_EQ(w->button->clicks, 1);
  EXPECT_TRUE(atRest());
}

// ---- the program: sign-in, the settings window, many sign-ins

namespace {

// The program as it ships, from the splash on, over a data source of the test's own.
class ProgramTest : public support::ProgramTest {
 protected:
  // What the settings window's test does each time it opens.
  std::function<void(w_genapp_toolbars&)> settings;

  void SetUp() override {
    rt::reportRuntimeVersion(8);
    support::ProgramTest::SetUp();
    t::onOpen("w_genapp_toolbars", [this](rt::Window& w) {
      auto& s = static_cast<w_genapp_toolbars&>(w);
      if (settings) settings(s);
      if (s.isOpen()) rt::close(s);
    });
  }
  // Runs the program signed in once; `story` runs on the first frame and must end the run.
  void run(std::function<void(w_main1&)> story) {
    signInTimes(1);
    EXPECT_TRUE(runToFrame(std::move(story)));
  }
  // Opens the settings window from the frame's menu, as the user does.
  static void openSettings(w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    rt::pick(*menu->m_file->m_工具栏设置b);
    t::processEvents();
  }
  static uo_toolbarutil& util() { return *book::current().guo_toolbarutil; }
};

std::vector<std::string> checkedRadios(w_genapp_toolbars& w) {
  std::vector<std::string> out;
  for (rt::RadioButton* rb : std::initializer_list<rt::RadioButton*>{w.rb_floating.raw(), w.rb_bottom.raw(),
                                                                     w.rb_right.raw(), w.rb_top.raw(), w.rb_left.raw()})
    if (rb->checked) out.push_back(rb->className());
  return out;
}

}  // namespace

TEST_F(ProgramTest, SigningInRestylesTheFramesToolbarAndSigningAgainReusesTheUtility) {
  int frames = 0;
  long oldToolbar = 0, oldWindow = 0;
  rt::Ref<uo_toolbarutil> first;
  t::onOpen("w_pwd", [&](rt::Window& w) {
    if (first) {
      // Between the frames the utility still holds the closed frame's toolbar: every call
      // on it runs through and changes nothing.
      EXPECT_FALSE(rt::global<w_main1>());
      t::processEvents();
      EXPECT_EQ(rt::liveBitmaps(), 0) << "the closed frame's images are gone";
      const int errors = rt::runtimeErrorCount();
      util().of_settoolbarfont("Courier New", -11, "12345");
      util().of_toolbarshowtext(false);
      util().of_toolbarshowtext(true);
      t::processEvents();
      EXPECT_EQ(rt::liveBitmaps(), 0);
      EXPECT_EQ(rt::runtimeErrorCount(), errors);
    }
    t::pressKey(w, Qt::Key_L, Qt::AltModifier);
  });
  t::onOpen("w_main1", [&](rt::Window& w) {
    auto& f = static_cast<w_main1&>(w);
    ++frames;
    t::processEvents();
    uo_toolbarutil& u = util();
    EXPECT_EQ(u.className(), "uo_toolbarutil8");
    EXPECT_EQ(u.il_hframe, rt::handleOf(f));
    EXPECT_EQ(u.il_hwndtoolbar, rt::findChildWindow(rt::handleOf(f), 0, "RTFIXEDBAR80"));
    EXPECT_EQ(u.il_ptoolbar, rt::windowLong(u.il_hwndtoolbar, 0));
    EXPECT_EQ(u.ii_iconsize, 24);
    EXPECT_EQ(rt::bitmapSize(u.il_hbitmap), Size(24, 24));
    EXPECT_EQ(rt::readToolbar(u.il_ptoolbar, ToolbarSetting::Separator), 4);
    EXPECT_FALSE(rt::readToolbar(u.il_ptoolbar, ToolbarSetting::IconWidth));

    // The texts under the icons, in Courier New at 11 points (the face of its metrics).
    const auto look = t::toolbarLook(f);
    EXPECT_TRUE(look.shown);
    EXPECT_TRUE(look.textsShown);
    QFont courier(QStringLiteral("Courier New"));
    courier.setPixelSize(15);
    EXPECT_EQ(look.resolvedFace, QFontInfo(courier).family().toStdString());
    EXPECT_EQ(look.textPixels, 15);
    EXPECT_EQ(look.iconSize, 24);
    const QFontMetrics fm(courier);
    EXPECT_GE(look.buttonHeight, 24 + fm.height());
    for (const auto& b : t::toolbarButtons(f)) EXPECT_GE(b.geometry.width, fm.horizontalAdvance("12345"));

    if (frames == 1) {
      first = book::current().guo_toolbarutil;
      oldToolbar = u.il_ptoolbar;
      oldWindow = u.il_hwndtoolbar;
      t::pressKey(f, Qt::Key_I, Qt::AltModifier);  // 重新登录
    } else {
      EXPECT_EQ(book::current().guo_toolbarutil.raw(), first.raw()) << "one utility for the run";
      EXPECT_NE(u.il_ptoolbar, oldToolbar);
      EXPECT_FALSE(rt::writeToolbar(oldToolbar, ToolbarSetting::IconWidth, 30));
      EXPECT_EQ(rt::windowLong(oldWindow, 0), 0);
      rt::close(f);
    }
  });
  book app;
  rt::run(app, 0, nullptr);
  EXPECT_EQ(frames, 2);
}

TEST_F(ProgramTest, TwentySignInsAndTwentyToggleRoundsKeepTheLiveImagesAndFontsFlat) {
  constexpr int kCycles = 20;
  signInTimes(kCycles + 1);
  std::vector<int> images, fonts, afterHiding;
  int frames = 0;
  t::onOpen("w_main1", [&](rt::Window& w) {
    ++frames;
    t::processEvents();
    images.push_back(rt::liveBitmaps());
    fonts.push_back(rt::liveFonts());
    if (frames <= kCycles) {
      t::pressKey(w, Qt::Key_I, Qt::AltModifier);  // 重新登录
      return;
    }
    for (int i = 0; i < kCycles; ++i) {
      util().of_toolbarshowtext(false);
      t::processEvents();
      afterHiding.push_back(rt::liveBitmaps());
      util().of_toolbarshowtext(true);
      t::processEvents();
    }
    rt::close(w);
  });
  book app;
  rt::run(app, 0, nullptr);
  ASSERT_EQ(frames, kCycles + 1);
  EXPECT_EQ(images, std::vector<int>(images.size(), images.front()));
  EXPECT_EQ(fonts, std::vector<int>(fonts.size(), fonts.front()));
  EXPECT_EQ(afterHiding, std::vector<int>(afterHiding.size(), images.front() + 2));
  t::processEvents();
  EXPECT_EQ(rt::liveBitmaps(), 0) << "every image went with its frame";
  EXPECT_EQ(rt::liveFonts(), 0);
}

// ---- the toolbar settings window

TEST_F(ProgramTest, TheSettingsWindowOpensOnTheFramesToolbarAndTheApplicationsSettings) {
  run([this](w_main1& f) {
    struct Case {
      std::optional<int> alignment;
      bool visible;
      bool text, tips;  // the application's settings
      Strings radios;
      std::string caption;
    };
    const Case cases[] = {
        {0, true, false, true, {"rb_left"}, "隐藏(&H)"},      {1, true, true, false, {"rb_top"}, "隐藏(&H)"},
        {2, false, false, false, {"rb_right"}, "显示(&D)"},   {3, true, true, true, {"rb_bottom"}, "隐藏(&H)"},
        {4, false, false, true, {"rb_floating"}, "显示(&D)"}, {std::nullopt, true, false, true, {}, "隐藏(&H)"},
        {std::nullopt, false, true, false, {}, "显示(&D)"},   {7, true, false, true, {}, "隐藏(&H)"},
    };
    auto& app = book::current();
    for (const auto& c : cases) {
      SCOPED_TRACE((c.alignment ? std::to_string(*c.alignment) : std::string("null")) +
                   (c.visible ? ", visible" : ", hidden"));
      f.toolbaralignment = c.alignment;
      f.toolbarvisible = c.visible;
      app.toolbartext = c.text;
      app.toolbartips = c.tips;
      bool seen = false;
      settings = [&](w_genapp_toolbars& w) {
        seen = true;
        EXPECT_EQ(w.iw_window.raw(), &f);
        EXPECT_EQ(checkedRadios(w), c.radios);
        EXPECT_EQ(w.cb_visible->text(), c.caption);
        EXPECT_EQ(w.cbx_showtext->checked(), c.text);
        EXPECT_EQ(w.cbx_showtips->checked(), c.tips);
        EXPECT_EQ(t::focused(w).raw(), w.cb_visible.raw()) << "the first tab stop";
      };
      openSettings(f);
      EXPECT_TRUE(seen);
      EXPECT_EQ(f.toolbaralignment(), c.alignment) << "opening changes nothing";
      EXPECT_EQ(f.toolbarvisible(), c.visible);
    }
    app.toolbartext = false;
    app.toolbartips = true;
    rt::close(f);
  });
}

TEST_F(ProgramTest, EachControlOfTheSettingsWindowActsAtOnce) {
  run([this](w_main1& f) {
    auto& app = book::current();
    settings = [&](w_genapp_toolbars& w) {
      EXPECT_EQ(w.title(), "工具栏设置");
      EXPECT_EQ(w.windowtype(), rt::WindowType::Response);
      // Where the toolbar sits.
      struct Place {
        rt::RadioButton* button;
        int alignment;
      };
      const Place places[] = {{w.rb_left.raw(), 0},   {w.rb_top.raw(), 1},      {w.rb_right.raw(), 2},
                              {w.rb_bottom.raw(), 3}, {w.rb_floating.raw(), 4}, {w.rb_top.raw(), 1},
                              {w.rb_top.raw(), 1}};
      for (const auto& p : places) {
        SCOPED_TRACE(p.button->className());
        t::click(*p.button);
        EXPECT_EQ(f.toolbaralignment(), p.alignment);
        EXPECT_EQ(checkedRadios(w), Strings{p.button->className()});
        t::processEvents();
        const auto look = t::toolbarLook(f);
        EXPECT_TRUE(look.shown);
        EXPECT_EQ(look.floating, p.alignment == 4);
        const auto g = look.geometry;
        switch (p.alignment) {
          case 0: EXPECT_TRUE(g.x == 0 && g.y == 0 && g.height > g.width && g.width == look.thickness); break;
          case 1: EXPECT_TRUE(g.x == 0 && g.y == 0 && g.width > g.height && g.height == look.thickness); break;
          case 2: EXPECT_TRUE(g.x > 0 && g.y == 0 && g.height > g.width && g.width == look.thickness); break;
          case 3: EXPECT_TRUE(g.x == 0 && g.y > 0 && g.width > g.height && g.height == look.thickness); break;
          default: EXPECT_TRUE(g.width > g.height); break;
        }
      }
      // Shown or hidden, by the button's own caption.
      t::click(*w.cb_visible);
      EXPECT_FALSE(f.toolbarvisible());
      EXPECT_EQ(w.cb_visible->text(), "显示(&D)");
      EXPECT_FALSE(t::toolbarLook(f).shown);
      t::click(*w.cb_visible);
      EXPECT_TRUE(f.toolbarvisible());
      EXPECT_EQ(w.cb_visible->text(), "隐藏(&H)");
      EXPECT_TRUE(t::toolbarLook(f).shown);
      // Tool tips.
      ASSERT_TRUE(w.cbx_showtips->checked());
      EXPECT_EQ(t::toolbarTip(f, 0), "高一项目");
      t::click(*w.cbx_showtips);
      EXPECT_FALSE(app.toolbartips);
      EXPECT_EQ(t::toolbarTip(f, 0), "");
      EXPECT_FALSE(t::toolbarLook(f).tips);
      t::click(*w.cbx_showtips);
      EXPECT_TRUE(app.toolbartips);
      EXPECT_EQ(t::toolbarTip(f, 0), "高一项目");
      // The button texts, through the utility; the application's setting stays.
      ASSERT_FALSE(w.cbx_showtext->checked());
      t::click(*w.cbx_showtext);
      auto look = t::toolbarLook(f);
      EXPECT_TRUE(look.textsShown);
      t::click(*w.cbx_showtext);
      look = t::toolbarLook(f);
      EXPECT_FALSE(look.textsShown);
      EXPECT_EQ(look.iconSize, 24);
      EXPECT_EQ(look.buttonWidth, 31);
      EXPECT_EQ(look.buttonHeight, 30);
      EXPECT_EQ(look.thickness, 35);
      EXPECT_EQ(rt::bitmapSize(look.plainFace), Size(31, 30));
      EXPECT_FALSE(app.toolbartext);
      // Closing.
      t::click(*w.cb_done);
      EXPECT_FALSE(w.isOpen());
    };
    openSettings(f);
    EXPECT_FALSE(t::findOpen("w_genapp_toolbars"));
    EXPECT_EQ(f.toolbaralignment(), 1) << "closing undoes nothing";
    EXPECT_FALSE(t::toolbarLook(f).textsShown);
    rt::close(f);
  });
}

TEST_F(ProgramTest, TheSettingsWindowLooksAsDesignedAndItsAccessKeysAct) {
  run([this](w_main1& f) {
    auto& app = book::current();
    app.toolbartext = false;
    app.toolbartips = true;
    settings = [&](w_genapp_toolbars& w) {
      const rt::Color silver = rt::Color::rgb(192, 192, 192);
      EXPECT_EQ(w.title(), "工具栏设置");
      EXPECT_EQ(w.width(), 1317);
      EXPECT_EQ(w.height(), 988);
      EXPECT_TRUE(w.titlebar());
      EXPECT_TRUE(w.controlmenu());
      EXPECT_TRUE(w.center());
      EXPECT_EQ(w.backcolor(), silver);
      struct Look {
        const char* name;
        const char* caption;
        int x, y, width, height;
        bool onSilver;  // radio buttons and check boxes: bold, on the window's silver
        int taborder;
      };
      const Look looks[] = {
          {"rb_floating", "浮动(&F)", 485, 284, 293, 72, true, 0},
          {"rb_bottom", "底部(&B)", 485, 424, 297, 72, true, 0},
          {"rb_right", "右边(&R)", 869, 284, 302, 72, true, 0},
          {"rb_top", "顶部(&T)", 485, 132, 297, 72, true, 0},
          {"rb_left", "左边(&L)", 105, 284, 293, 72, true, 0},
          {"cb_done", "关闭(&X)", 919, 716, 302, 92, false, 30},
          {"cb_visible", "隐藏(&H)", 914, 604, 302, 92, false, 20},
          {"cbx_showtips", "显示提示(&P)", 69, 708, 439, 72, true, 0},
          {"cbx_showtext", "显示文字(&E)", 73, 600, 457, 72, true, 0},
          {"gb_1", "工具栏位置", 55, 44, 1157, 492, false, 10},
      };
      ASSERT_EQ(w.controls().size(), std::size(looks));
      for (std::size_t i = 0; i < std::size(looks); ++i) {
        const Look& l = looks[i];
        SCOPED_TRACE(l.name);
        auto* c = dynamic_cast<rt::TextControl*>(w.controls()[i].get());
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->className(), l.name) << "the order of the control list";
        EXPECT_EQ(c->text(), l.caption);
        EXPECT_EQ(c->x(), l.x);
        EXPECT_EQ(c->y(), l.y);
        EXPECT_EQ(c->width(), l.width);
        EXPECT_EQ(c->height(), l.height);
        EXPECT_EQ(c->taborder(), l.taborder);
        EXPECT_EQ(c->facename(), "MS Sans Serif");
        EXPECT_EQ(c->textsize(), -8);
        EXPECT_EQ(c->weight(), l.onSilver ? 700 : 400);
        if (l.onSilver) {
          EXPECT_EQ(c->backcolor(), silver);
        }
        // As drawn: the face and 8 points at 96 dots per inch.
        const QFont font = c->widget()->font();
        EXPECT_EQ(font.family().toStdString(), "MS Sans Serif");
        EXPECT_EQ(font.pixelSize(), 11);
        EXPECT_EQ(font.bold(), l.onSilver);
      }
      // Silver where no control lies, and under each radio button's and check box's caption.
      t::processEvents();
      EXPECT_EQ(t::pixelAt(w, 20, 20), silver);
      EXPECT_EQ(t::pixelAt(w, 1260, 600), silver);
      for (rt::Control* c : std::initializer_list<rt::Control*>{w.rb_left.raw(), w.cbx_showtext.raw()})
        EXPECT_EQ(t::pixelAt(w, c->x() + c->width() - 10, c->y() + 4), silver) << c->className();

      // The access keys, each with its control's effect.
      struct Key {
        Qt::Key key;
        std::function<bool()> done;
        const char* what;
      };
      const Key keys[] = {
          {Qt::Key_B, [&] { return f.toolbaralignment() == 3 && w.rb_bottom->checked(); }, "底部(&B)"},
          {Qt::Key_R, [&] { return f.toolbaralignment() == 2 && w.rb_right->checked(); }, "右边(&R)"},
          {Qt::Key_L, [&] { return f.toolbaralignment() == 0 && w.rb_left->checked(); }, "左边(&L)"},
          {Qt::Key_F, [&] { return f.toolbaralignment() == 4 && w.rb_floating->checked(); }, "浮动(&F)"},
          {Qt::Key_T, [&] { return f.toolbaralignment() == 1 && w.rb_top->checked(); }, "顶部(&T)"},
          {Qt::Key_H, [&] { return !f.toolbarvisible() && w.cb_visible->text() == "显示(&D)"; }, "隐藏(&H)"},
          {Qt::Key_D, [&] { return f.toolbarvisible() && w.cb_visible->text() == "隐藏(&H)"; }, "显示(&D)"},
          {Qt::Key_P, [&] { return !app.toolbartips && !w.cbx_showtips->checked(); }, "显示提示(&P)"},
          {Qt::Key_E, [&] { return t::toolbarLook(f).textsShown && w.cbx_showtext->checked(); }, "显示文字(&E)"},
          {Qt::Key_X, [&] { return !w.isOpen(); }, "关闭(&X)"},
      };
      for (const Key& k : keys) {
        t::pressKey(w, k.key, Qt::AltModifier);
        t::processEvents();
        EXPECT_TRUE(k.done()) << "Alt+" << QKeySequence(k.key).toString().toStdString() << ", " << k.what;
      }
    };
    openSettings(f);
    EXPECT_FALSE(t::findOpen("w_genapp_toolbars"));
    app.toolbartips = true;
    rt::close(f);
  });
}

TEST_F(ProgramTest, EnterPressesTheDefaultButtonUnlessAnotherCommandButtonHasTheFocus) {
  run([this](w_main1& f) {
    settings = [&](w_genapp_toolbars& w) {
      ASSERT_EQ(t::focused(w).raw(), w.cb_visible.raw());
      t::pressKey(w, Qt::Key_Return);
      EXPECT_FALSE(f.toolbarvisible());
      EXPECT_EQ(w.cb_visible->text(), "显示(&D)");
      // A check box with the focus is no command button: Enter still presses the default.
      t::click(*w.cbx_showtips);
      t::click(*w.cbx_showtips);
      ASSERT_EQ(t::focused(w).raw(), w.cbx_showtips.raw());
      t::pressKey(w, Qt::Key_Return);
      EXPECT_TRUE(f.toolbarvisible());
      EXPECT_EQ(w.cb_visible->text(), "隐藏(&H)");
      // With the close button focused, Enter presses that one.
      t::pressKey(w, Qt::Key_Tab);
      t::pressKey(w, Qt::Key_Tab);
      ASSERT_EQ(t::focused(w).raw(), w.cb_done.raw());
      t::pressKey(w, Qt::Key_Return);
      EXPECT_FALSE(w.isOpen());
    };
    openSettings(f);
    EXPECT_TRUE(f.toolbarvisible());
    rt::close(f);
  });
}

TEST_F(ProgramTest, ReopenedAfterClearingShowTextTheBoxFollowsTheApplicationAgain) {
  run([this](w_main1& f) {
    auto& app = book::current();
    for (bool text : {true, false}) {
      SCOPED_TRACE(text ? "texts on" : "texts off");
      app.toolbartext = text;  // the program never sets it; a test stands in for the runtime
      settings = [&](w_genapp_toolbars& w) {
        ASSERT_EQ(w.cbx_showtext->checked(), text);
        t::click(*w.cbx_showtext);
        EXPECT_EQ(t::toolbarLook(f).textsShown, !text);
      };
      openSettings(f);
      EXPECT_EQ(app.toolbartext, text);
      settings = [&](w_genapp_toolbars& w) { EXPECT_EQ(w.cbx_showtext->checked(), text); };
      openSettings(f);
      EXPECT_EQ(t::toolbarLook(f).textsShown, !text) << "the toolbar stays as the box left it";
    }
    rt::close(f);
  });
}

TEST_F(ProgramTest, WithoutAFrameEachEventThatNeedsOneEndsAndTheOthersWork) {
  run([this](w_main1& f) {
    auto& app = book::current();
    const int errors = rt::runtimeErrorCount();
    settings = [&](w_genapp_toolbars& w) {
      // The open event ended at the frame's alignment: nothing of the frame or the
      // application is shown.
      EXPECT_FALSE(w.iw_window);
      EXPECT_TRUE(checkedRadios(w).empty());
      EXPECT_EQ(w.cb_visible->text(), "隐藏(&H)");
      EXPECT_FALSE(w.cbx_showtips->checked());
      EXPECT_EQ(rt::runtimeErrorCount(), errors + 1);
      t::click(*w.rb_left);
      EXPECT_EQ(f.toolbaralignment(), 1);
      t::click(*w.cb_visible);
      EXPECT_EQ(w.cb_visible->text(), "隐藏(&H)");
      EXPECT_TRUE(f.toolbarvisible());
      EXPECT_EQ(rt::runtimeErrorCount(), errors + 3);
      // What needs no frame works.
      t::click(*w.cbx_showtips);
      EXPECT_TRUE(app.toolbartips);
      t::click(*w.cbx_showtips);
      EXPECT_FALSE(app.toolbartips);
      t::click(*w.cbx_showtext);
      t::click(*w.cbx_showtext);
      EXPECT_FALSE(t::toolbarLook(f).textsShown);
      EXPECT_EQ(rt::runtimeErrorCount(), errors + 3);
      t::click(*w.cb_done);
      EXPECT_FALSE(w.isOpen());
    };
    rt::setMessageParm({});
    rt::open("w_genapp_toolbars");
    EXPECT_FALSE(t::findOpen("w_genapp_toolbars"));
    app.toolbartips = true;
    rt::close(f);
  });
}

TEST_F(ProgramTest, WithoutAUtilityOnlyTheShowTextBoxEnds) {
  run([this](w_main1& f) {
    rt::destroy(book::current().guo_toolbarutil);
    const int errors = rt::runtimeErrorCount();
    settings = [&](w_genapp_toolbars& w) {
      t::click(*w.cbx_showtext);
      EXPECT_EQ(rt::runtimeErrorCount(), errors + 1);
      EXPECT_TRUE(t::toolbarLook(f).textsShown) << "the toolbar stays as it was";
      t::click(*w.rb_left);
      EXPECT_EQ(f.toolbaralignment(), 0);
      t::click(*w.cb_visible);
      EXPECT_FALSE(f.toolbarvisible());
      EXPECT_EQ(rt::runtimeErrorCount(), errors + 1);
      t::click(*w.cb_done);
    };
    openSettings(f);
    EXPECT_FALSE(t::findOpen("w_genapp_toolbars"));
    rt::close(f);
  });
}
