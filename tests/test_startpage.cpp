// The start page: the drawn page of the DataView, its objects, the launch tags, the hover
// highlight and the click that opens what a picture names.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/dataview.h"
#include "runtime/system.h"
#include "runtime/testing.h"
#include "runtime/units.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "shell/m_main.h"
#include "shell/w_main1.h"
#include "support/datasource.h"
#include "support/program.h"
#include "support/wait.h"

namespace t = rt::testing;
using support::TempDataSource;
using Strings = std::vector<std::string>;

namespace {

// ---- the page as a control of its own

struct w_page : rt::Window {
  RT_CLASS(w_page)
  rt::Ref<rt::DataView> dw_1;
  w_page() {
    width = 4000;
    height = 2600;
    backcolor = rt::Color::rgb(0, 128, 0);
  }
  void create() override {
    dw_1 = insert<rt::DataView>();
    dw_1->x = 0;
    dw_1->y = 0;
    dw_1->width = 3671;
    dw_1->height = 2144;
    dw_1->dataobject = "d_start";
  }
};

struct PageObject {
  std::string name, type, content;
  int x, y, width, height;
  std::string tag;  // as described: "?" for none
};

// The page as it ships, in reading order.
const PageObject kPage[] = {
    {"p_1", "bitmap", "xm_1.bmp", 238, 60, 411, 392, "Run = w_xm_gz1"},
    {"t_1", "text", "高一项目设置", 279, 472, 357, 56, "?"},
    {"p_7", "bitmap", "arrow1.bmp", 859, 200, 370, 120, "?"},
    {"p_8", "bitmap", "cj_1.bmp", 1440, 60, 411, 392, "Run = w_jsq_gz1"},
    {"t_5", "text", "高一成绩计算", 1481, 472, 357, 56, "?"},
    {"p_15", "bitmap", "arrow1.bmp", 2085, 200, 370, 120, "?"},
    {"p_10", "bitmap", "xm_2.bmp", 2661, 60, 411, 392, "Run = w_xm_gz2"},
    {"t_7", "text", "高二项目设置", 2702, 472, 329, 56, "?"},
    {"p_18", "bitmap", "arrow2.bmp", 2807, 728, 137, 324, "?"},
    {"p_11", "bitmap", "cj_2.bmp", 2661, 1256, 411, 392, "Run = w_jsq_gz2"},
    {"t_8", "text", "高二成绩计算", 2702, 1672, 357, 56, "?"},
    {"p_16", "bitmap", "arrow3.bmp", 2098, 1392, 370, 120, "?"},
    {"p_12", "bitmap", "xm_3.bmp", 1440, 1256, 411, 392, "Run = w_xm_gz3"},
    {"t_9", "text", "高三项目设置", 1481, 1672, 329, 56, "?"},
    {"p_17", "bitmap", "arrow3.bmp", 791, 1392, 370, 120, "?"},
    {"p_13", "bitmap", "cj_3.bmp", 238, 1256, 411, 392, "Run = w_jsq_gz3"},
    {"t_4", "text", "高三成绩计算", 279, 1672, 357, 56, "?"},
    {"p_6", "bitmap", "by.bmp", 1440, 652, 411, 392, "Run = w_jsq_by"},
    {"t_10", "text", "毕业成绩计算", 1481, 1064, 384, 56, "?"},
    {"t_12", "text", "Orvida（高中）  V3.0", 0, 1956, 3689, 160, "?"},
};

// A text as a quoted value of a modify.
std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'' || c == '~') out += '~';
    out += c;
  }
  return out + "'";
}

const PageObject& object(const std::string& name) {
  for (const auto& o : kPage)
    if (o.name == name) return o;
  throw std::logic_error("no object " + name);
}

// Bare page, away from every object.
constexpr int kBareX = 100, kBareY = 1000;

}  // namespace

TEST(DrawnPage, HoldsEveryObjectOfTheStartPageAsDefined) {
  t::Session session;
  rt::open<w_page>();
  auto w = rt::global<w_page>();
  auto& dw = *w->dw_1;
  for (const auto& o : kPage) {
    SCOPED_TRACE(o.name);
    EXPECT_EQ(dw.describe(o.name + ".type"), o.type);
    EXPECT_EQ(dw.describe(o.name + (o.type == "bitmap" ? ".filename" : ".text")), o.content);
    EXPECT_EQ(dw.describe(o.name + ".x"), std::to_string(o.x));
    EXPECT_EQ(dw.describe(o.name + ".y"), std::to_string(o.y));
    EXPECT_EQ(dw.describe(o.name + ".width"), std::to_string(o.width));
    EXPECT_EQ(dw.describe(o.name + ".height"), std::to_string(o.height));
    EXPECT_EQ(dw.describe(o.name + ".Tag"), o.tag);
    EXPECT_EQ(dw.describe(o.name + ".Border"), "0");
  }
  // The page's colour, the captions in black and the title in blue, as drawn.
  EXPECT_EQ(t::pixelAt(*w, kBareX, kBareY), rt::Color::rgb(255, 251, 240));
  const QImage image = dw.widget()->grab().toImage();
  // How many pixels of the object's box are dark, and how many blue.
  auto count = [&](const std::string& name, const std::function<bool(const QColor&)>& is) {
    const auto& o = object(name);
    const QRect box = QRect(rt::units::toPixelsX(o.x), rt::units::toPixelsY(o.y), rt::units::toPixelsX(o.width),
                            rt::units::toPixelsY(o.height)) &
                      image.rect();
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) n += is(image.pixelColor(x, y));
    return n;
  };
  auto dark = [](const QColor& c) { return std::max({c.red(), c.green(), c.blue()}) < 128; };
  auto blue = [](const QColor& c) { return c.blue() - std::max(c.red(), c.green()) > 100; };
  EXPECT_GT(count("t_1", dark), 10);
  EXPECT_EQ(count("t_1", blue), 0);
  EXPECT_GT(count("t_12", blue), 200);
  EXPECT_EQ(count("t_12", dark), 0);
  rt::close(*w);
}

TEST(DrawnPage, DescribeAndModifyAnswerAsTheSystemDoes) {
  t::Session session;
  rt::open<w_page>();
  auto& dw = *rt::global<w_page>()->dw_1;
  struct Case {
    std::string modify;
    std::string answer;  // "" for success, "error" for any message
    std::string describe, described;
  };
  const Case cases[] = {
      {"p_1.Border='6'", "", "p_1.Border", "6"},
      {"P_1.border=5", "", "p_1.border", "5"},
      {"p_1.Border='0'", "", "P_1.BORDER", "0"},
      {"p_1.Border='7'", "error", "p_1.Border", "0"},
      {"p_99.Border='6'", "error", "p_99.Border", "!"},
      {"p_1.Width='6'", "error", "p_1.Width", "411"},
      {"p_1.Border", "error", "p_1.nothing", "!"},
      {"p_1.Tag='Run = a;OpenType=Exe'", "", "p_1.Tag", "Run = a;OpenType=Exe"},
      {"p_1.Tag='it~'s'", "", "p_1.Tag", "it's"},
      {"p_1.Tag='open", "error", "p_1.Tag", "it's"},
      {"t_1.Tag=''", "", "t_1.Tag", ""},
      {"p_7.Border='6' p_8.Border='5'", "", "p_8.Border", "5"},
      {"p_7.Border='0' p_9.Border='5' p_8.Border='0'", "error", "p_8.Border", "5"},
      {"", "", "p_7.Border", "0"},
      {"p_1.Tag=''", "", "t_10.Tag", "?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modify);
    const std::string answer = dw.modify(c.modify);
    if (c.answer.empty())
      EXPECT_EQ(answer, "");
    else
      EXPECT_NE(answer, "");
    EXPECT_EQ(dw.describe(c.describe), c.described);
  }
  EXPECT_EQ(dw.describe("p_1"), "!");
  EXPECT_EQ(dw.describe(".type"), "!");
  EXPECT_EQ(dw.describe("t_1.filename"), "!");
  // Another object, or the same one named again, starts afresh.
  dw.dataobject = "d_xmsz";
  EXPECT_EQ(dw.describe("p_8.Border"), "!");
  dw.dataobject = "d_start";
  EXPECT_EQ(dw.describe("p_8.Border"), "0");
  EXPECT_EQ(dw.describe("t_1.Tag"), "?");
}

TEST(DrawnPage, BordersAreDrawnRaisedOrLoweredAroundTheObject) {
  t::Session session;
  rt::open<w_page>();
  auto w = rt::global<w_page>();
  auto& dw = *w->dw_1;
  const auto& p = object("p_8");
  // The pixels just outside the box's top-left and bottom-right corners.
  auto edge = [&] {
    const QImage image = dw.widget()->grab().toImage();
    const int left = rt::units::toPixelsX(p.x), top = rt::units::toPixelsY(p.y);
    const int right = rt::units::toPixelsX(p.x + p.width) - 1, bottom = rt::units::toPixelsY(p.y + p.height) - 1;
    return std::pair(image.pixelColor(left - 2, top - 2).rgb(), image.pixelColor(right + 2, bottom + 2).rgb());
  };
  const QRgb page = qRgb(255, 251, 240);
  EXPECT_EQ(edge(), std::pair(page, page));
  dw.modify("p_8.Border='6'");
  const auto raised = edge();
  EXPECT_GT(qGray(raised.first), qGray(raised.second)) << "lit from the top left";
  dw.modify("p_8.Border='5'");
  const auto lowered = edge();
  EXPECT_LT(qGray(lowered.first), qGray(lowered.second));
  dw.modify("p_8.Border='0'");
  EXPECT_EQ(edge(), std::pair(page, page));
  rt::close(*w);
}

TEST(DrawnPage, TheObjectUnderThePointerAndItsPointer) {
  t::Session session;
  rt::open<w_page>();
  auto w = rt::global<w_page>();
  ASSERT_TRUE(t::waitExposed(*w));
  auto& dw = *w->dw_1;
  struct Case {
    int x, y;
    std::string at;
    Qt::CursorShape shape;
  };
  const Case cases[] = {
      {238 + 10, 60 + 10, "p_1\t0", Qt::PointingHandCursor},     {kBareX, kBareY, "", Qt::ArrowCursor},
      {859 + 185, 200 + 60, "p_7\t0", Qt::ArrowCursor},          {279 + 100, 472 + 20, "t_1\t0", Qt::ArrowCursor},
      {1440 + 400, 652 + 388, "p_6\t0", Qt::PointingHandCursor}, {1440 + 200, 652 + 400, "", Qt::ArrowCursor},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at);
    t::movePointer(dw, c.x, c.y);
    EXPECT_EQ(dw.getobjectatpointer(), c.at);
    EXPECT_EQ(t::pointerShape(dw), c.shape);
  }
  // Off the control, over the window's own back.
  t::movePointer(*w, 3800, 2300);
  EXPECT_EQ(dw.getobjectatpointer(), "");
  rt::close(*w);
}

TEST(System, ProgramsStartDetachedByTheirCommandLine) {
  t::Session session;
  t::useRealPrograms();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string made = dir.filePath(QStringLiteral("made")).toStdString();
  // "touch" by its name on the PATH; no shell sees the line, so ";" separates nothing.
  EXPECT_EQ(rt::run("touch " + made + "  " + made + ";b"), 1);
  // The program runs on its own: wait for both files it makes, under any load.
  support::waitUntil([&made] { return rt::fileExists(made) && rt::fileExists(made + ";b"); }, 5000);
  EXPECT_TRUE(rt::fileExists(made));
  EXPECT_TRUE(rt::fileExists(made + ";b"));
  EXPECT_EQ(rt::run("orvida-no-such-program x"), -1);
  EXPECT_EQ(rt::run("   "), -1);
  EXPECT_FALSE(rt::fileExists(dir.path().toStdString())) << "a folder is not a file";
  EXPECT_FALSE(rt::fileExists(""));
}

// ---- the start page in the frame

namespace {

// A window under a class name the real window takes later: a response window that notes
// whether it was opened with the frame as its parent.
struct StandIn : rt::Window {
  std::string name;
  std::string className() const override { return name; }
};

void registerStandIn(const std::string& name) {
  auto make = [name] {
    auto w = std::make_shared<StandIn>();
    w->name = name;
    w->windowtype = rt::WindowType::Response;
    w->width = 600;
    w->height = 400;
    return w;
  };
  rt::registerClass(name, make, [make](const rt::Ref<rt::Window>& parent) { return rt::openWindow(make(), parent); });
}

// The program as it ships, signed in once; `story` runs once the frame is on screen.
class StartPageTest : public support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    signInTimes(1);
  }
  void run(std::function<void(w_main1&)> story) {
    EXPECT_TRUE(runToFrame([story](w_main1& f) {
      EXPECT_TRUE(t::waitExposed(f));
      story(f);
      rt::close(f);
    }));
  }

  // The pointer over a page object (its middle), or over bare page.
  static void hover(w_main1& f, const std::string& name) {
    const auto& o = object(name);
    t::movePointer(*f.dw_main, o.x + o.width / 2, o.y + o.height / 2);
  }
  static void hoverBare(w_main1& f) { t::movePointer(*f.dw_main, kBareX, kBareY); }
  static void clickOn(w_main1& f, const std::string& name) {
    const auto& o = object(name);
    t::click(*f.dw_main, o.x + o.width / 2, o.y + o.height / 2);
    t::processEvents();
  }
  static std::string border(w_main1& f, const std::string& name) { return f.dw_main->describe(name + ".Border"); }
  // Every picture's border, as "p_1=6" for those not 0.
  static Strings raised(w_main1& f) {
    Strings out;
    for (const auto& o : kPage)
      if (border(f, o.name) != "0") out.push_back(o.name + "=" + border(f, o.name));
    return out;
  }

 private:
};

}  // namespace

TEST_F(StartPageTest, TagLookupFollowsTheTagGrammar) {
  run([](w_main1& f) {
    using Text = std::optional<std::string>;
    struct Case {
      std::string object;
      Text tag;  // modified into the object first, when given
      Text key, def, expected;
    };
    const Text none;
    const Case cases[] = {
        {"p_1", "Run = w_xm_gz1", "Run", "", "w_xm_gz1"},
        {"p_1", "Run = w_xm_gz1", "run", "", "w_xm_gz1"},
        {"p_1", "Run = w_xm_gz1", "RUN", "", "w_xm_gz1"},
        {"p_1", "Run = w_xm_gz1", "OpenType", "Window", "Window"},
        {"p_1", "Run = NotePad.exe ReadMe.txt;OpenType=Exe", "Run", "", "NotePad.exe ReadMe.txt"},
        {"p_1", "Run = NotePad.exe ReadMe.txt;OpenType=Exe", "OpenType", "Window", "Exe"},
        {"p_1", "Run = mspaint.exe; OpenType=Exe", "OpenType", "Window", "Exe"},
        // A key matches inside a longer one, and an occurrence not followed by "=" is passed.
        {"p_1", "Run = mspaint.exe; OpenType=Exe", "Type", "Window", "Exe"},
        {"p_1", "Run = mspaint.exe; OpenType=Exe", "exe", "dflt", "dflt"},
        {"p_1", "Run = w_sample_info;OpenSheet=False", "Open", "True", "True"},
        {"p_1", "Run = w_sample_info;OpenSheet=False", "OpenSheet", "True", "False"},
        {"p_1", "Runner = w_other; Run = w_xm_gz1", "Run", "", "w_xm_gz1"},
        {"p_1", "Run = w_first; Run = w_second", "Run", "", "w_first"},
        {"p_1", "Run = a=b; OpenType = Exe", "Run", "", "a=b"},
        {"p_1", "Run = ;OpenType=Exe", "Run", "dflt", ""},
        {"p_1", "Run =;", "Run", "dflt", ""},
        {"p_1", "   Run   =    w_xm_gz2    ;  OpenType  =  Window  ", "Run", "", "w_xm_gz2"},
        {"p_1", "   Run   =    w_xm_gz2    ;  OpenType  =  Window  ", "OpenType", "", "Window"},
        {"p_1", "Run =\tw_tab\t;", "Run", "", "\tw_tab\t"},  // only blanks are trimmed
        {"p_1", "OpenType=Exe", "Run", "dflt", "dflt"},
        {"p_1", "", "Run", "dflt", "dflt"},     // an empty tag
        {"t_1", none, "Run", "dflt", "dflt"},   // no tag
        {"p_99", none, "Run", "dflt", "dflt"},  // no such object
        {"p_1", "Run = w_xm_gz1", "Run", none, "w_xm_gz1"},
        {"p_1", "OpenType=Exe", "Run", none, none},
        {"p_1", "Run = w_xm_gz1", "", "dflt", "dflt"},  // an empty key finds nothing
        {"p_1", "Run = w_xm_gz1", none, "dflt", none},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.object + " tag \"" + c.tag.value_or("(as is)") + "\" key \"" + c.key.value_or("(null)") + "\"");
      if (c.tag) {
        ASSERT_EQ(f.dw_main->modify(c.object + ".Tag=" + quoted(*c.tag)), "");
      }
      EXPECT_EQ(f.of_gettagstring(c.object, c.key, c.def), c.expected);
    }
    EXPECT_EQ(f.of_gettagstring(std::nullopt, "Run", "dflt"), std::nullopt);
    EXPECT_EQ(f.of_getwindowpath(), "/usr/bin");
  });
}

TEST_F(StartPageTest, HoveringHighlightsOnlyLaunchablePicturesAndOnlyWhileOverThem) {
  run([](w_main1& f) {
    t::clearJournal();
    hover(f, "p_1");
    EXPECT_EQ(t::journal({"mousemove"}), Strings{"dw_main.mousemove"}) << "the control's own event";
    EXPECT_EQ(f.is_focus_picture, "p_1");
    EXPECT_EQ(raised(f), Strings{"p_1=6"});
    EXPECT_EQ(t::pointerShape(*f.dw_main), Qt::PointingHandCursor);
    t::movePointer(*f.dw_main, 238 + 20, 60 + 20);  // on within it
    EXPECT_EQ(f.is_focus_picture, "p_1");
    EXPECT_EQ(raised(f), Strings{"p_1=6"});

    // Onto its caption, an arrow, the title, bare page: nothing highlighted.
    for (const char* other : {"t_1", "p_7", "t_12", ""}) {
      SCOPED_TRACE(other);
      hover(f, "p_1");
      ASSERT_EQ(f.is_focus_picture, "p_1");
      if (*other)
        t::movePointer(*f.dw_main, object(other).x + 30, object(other).y + 20);
      else
        hoverBare(f);
      EXPECT_EQ(f.is_focus_picture, "");
      EXPECT_EQ(raised(f), Strings{});
      EXPECT_EQ(t::pointerShape(*f.dw_main), Qt::ArrowCursor);
    }

    // From one picture straight onto the next.
    hover(f, "p_1");
    hover(f, "p_6");
    EXPECT_EQ(f.is_focus_picture, "p_6");
    EXPECT_EQ(raised(f), Strings{"p_6=6"});

    // A picture whose Run value is empty is not launchable, nor is a text that has one.
    hoverBare(f);
    ASSERT_EQ(f.dw_main->modify("p_1.Tag='Run = ;OpenType=Exe' t_1.Tag='Run = w_xm_gz1'"), "");
    for (const char* name : {"p_1", "t_1"}) {
      hover(f, name);
      EXPECT_EQ(f.is_focus_picture, "");
      EXPECT_EQ(raised(f), Strings{});
    }
  });
}

TEST_F(StartPageTest, LeavingThePageStraightOntoTheToolbarKeepsTheHighlight) {
  run([](w_main1& f) {
    hover(f, "p_1");
    ASSERT_EQ(f.is_focus_picture, "p_1");
    // The middle of the first toolbar button.
    const auto button = t::toolbarButtons(f).at(0).geometry;
    const auto bar = t::toolbarLook(f).geometry;
    QWidget* client = f.dw_main->widget()->parentWidget();
    const QPoint at =
        client->mapTo(f.widget(), QPoint(bar.x + button.x + button.width / 2, bar.y + button.y + button.height / 2));
    t::movePointer(f, rt::units::toUnitsX(at.x()), rt::units::toUnitsY(at.y()));
    EXPECT_EQ(f.dw_main->getobjectatpointer(), "");
    EXPECT_EQ(f.is_focus_picture, "p_1");
    EXPECT_EQ(raised(f), Strings{"p_1=6"});
    // Back over the page, elsewhere: now it goes.
    hoverBare(f);
    EXPECT_EQ(f.is_focus_picture, "");
    EXPECT_EQ(raised(f), Strings{});
  });
}

TEST_F(StartPageTest, AClickOnTheHighlightedPicturePressesItAndOpensItsWindow) {
  registerStandIn("w_jsq_gz1");
  bool parentIsFrame = false;
  Strings whileOpen;
  run([&](w_main1& f) {
    t::onOpen("w_jsq_gz1", [&](rt::Window& w) {
      parentIsFrame = w.widget()->windowHandle()->transientParent() == f.widget()->windowHandle();
      whileOpen = raised(f);
      rt::close(w);
    });
    t::clearJournal();
    hover(f, "p_8");
    clickOn(f, "p_8");
    EXPECT_EQ(t::openedCount("w_jsq_gz1"), 1);
    EXPECT_TRUE(parentIsFrame);
    EXPECT_EQ(whileOpen, Strings{"p_8=5"});
    EXPECT_EQ(t::journal({"clicked", "ue_run"}), (Strings{"dw_main.clicked", "w_main1.ue_run"}));
    EXPECT_TRUE(t::messages().empty());
    // The window has closed; the pointer stays on the picture.
    t::movePointer(*f.dw_main, 1440 + 30, 60 + 30);
    EXPECT_EQ(raised(f), Strings{"p_8=5"});
    EXPECT_EQ(f.is_focus_picture, "p_8");
    // Every further click launches again.
    clickOn(f, "p_8");
    EXPECT_EQ(t::openedCount("w_jsq_gz1"), 2);
    hoverBare(f);
    EXPECT_EQ(raised(f), Strings{});
    hover(f, "p_8");
    EXPECT_EQ(raised(f), Strings{"p_8=6"});
  });
}

TEST_F(StartPageTest, AClickElsewhereDoesNothing) {
  registerStandIn("w_xm_gz1");
  t::onOpen("w_xm_gz1", [](rt::Window& w) { rt::close(w); });
  run([](w_main1& f) {
    const auto windows = rt::openWindows().size();
    // A caption, an arrow, the title, bare page.
    for (const char* name : {"t_1", "p_7", "t_12", ""}) {
      SCOPED_TRACE(name);
      if (*name) {
        t::movePointer(*f.dw_main, object(name).x + 30, object(name).y + 20);
        t::click(*f.dw_main, object(name).x + 30, object(name).y + 20);
      } else {
        hoverBare(f);
        t::click(*f.dw_main, kBareX, kBareY);
      }
      t::processEvents();
      EXPECT_EQ(raised(f), Strings{});
    }
    // A picture other than the highlighted one (clicked without a move onto it).
    hover(f, "p_8");
    clickOn(f, "p_1");
    EXPECT_EQ(raised(f), Strings{"p_8=6"});
    // A picture that is not highlighted: its Run value is empty.
    ASSERT_EQ(f.dw_main->modify("p_1.Tag='Run=;'"), "");
    hover(f, "p_1");
    clickOn(f, "p_1");
    EXPECT_EQ(raised(f), Strings{});
    EXPECT_EQ(t::openedCount("w_xm_gz1"), 0);
    EXPECT_EQ(rt::openWindows().size(), windows);
    EXPECT_TRUE(t::messages().empty());
    EXPECT_TRUE(t::startedPrograms().empty());
  });
}

TEST_F(StartPageTest, OpenTypesDecideWhatAClickLaunches) {
  registerStandIn("w_xm_gz1");
  t::onOpen("w_xm_gz1", [](rt::Window& w) { rt::close(w); });
  run([](w_main1& f) {
    struct Case {
      std::string tag;
      int opened;            // windows of w_xm_gz1 opened
      std::size_t messages;  // the stop message
      std::size_t programs;  // programs started
    };
    const Case cases[] = {
        {"Run = w_xm_gz1", 1, 0, 0},
        {"Run = W_XM_GZ1 ; OpenType = wINDOW", 1, 0, 0},
        {"Run = w_xm_gz1;OpenSheet=True", 1, 0, 0},
        {"Run = w_nowhere", 0, 1, 0},
        {"Run = w_xm_gz1;OpenType=Sheet", 0, 0, 0},
        {"Run = w_xm_gz1;OpenType= Window2", 0, 0, 0},
        {"Run = w_xm_gz1;OpenType=exe", 0, 0, 1},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.tag);
      const int opened = t::openedCount("w_xm_gz1");
      const auto messages = t::messages().size(), programs = t::startedPrograms().size();
      hoverBare(f);
      ASSERT_EQ(f.dw_main->modify("p_1.Tag=" + quoted(c.tag)), "");
      hover(f, "p_1");
      ASSERT_EQ(f.is_focus_picture, "p_1");
      clickOn(f, "p_1");
      EXPECT_EQ(raised(f), Strings{"p_1=5"}) << "pressed in every case";
      EXPECT_EQ(t::openedCount("w_xm_gz1") - opened, c.opened);
      ASSERT_EQ(t::messages().size() - messages, c.messages);
      if (c.messages) {
        const auto& m = t::messages().back();
        EXPECT_EQ(m.caption, "PellumoOrvida（高中） ");
        EXPECT_EQ(m.text, "对不起, 您指定起动的窗口不存在, 请与系统管理员联系修改");
        EXPECT_EQ(m.icon, rt::Icon::StopSign);
      }
      EXPECT_EQ(t::startedPrograms().size() - programs, c.programs);
    }
  });
}

TEST_F(StartPageTest, EachPictureOpensTheWindowItsTagNamesWithTheFrameAsParent) {
  struct Case {
    std::string picture, opens;
  };
  const Case cases[] = {
      {"p_1", "w_xm_gz1"},  {"p_8", "w_jsq_gz1"},  {"p_10", "w_xm_gz2"}, {"p_11", "w_jsq_gz2"},
      {"p_12", "w_xm_gz3"}, {"p_13", "w_jsq_gz3"}, {"p_6", "w_jsq_by"},
  };
  for (const auto& c : cases) registerStandIn(c.opens);
  run([&](w_main1& f) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.picture);
      bool parentIsFrame = false;
      t::onOpen(c.opens, [&](rt::Window& w) {
        parentIsFrame = w.widget()->windowHandle()->transientParent() == f.widget()->windowHandle();
        rt::close(w);
      });
      hoverBare(f);
      hover(f, c.picture);
      EXPECT_EQ(t::pointerShape(*f.dw_main), Qt::PointingHandCursor);
      clickOn(f, c.picture);
      EXPECT_EQ(t::openedCount(c.opens), 1);
      EXPECT_TRUE(parentIsFrame);
      EXPECT_TRUE(rt::global<w_main1>()) << "the frame stays";
    }
    EXPECT_TRUE(t::messages().empty());
  });
}

TEST_F(StartPageTest, ExeTagsStartTheirCommandLineFromWhereTheProgramIsFound) {
  ASSERT_TRUE(rt::fileExists("/usr/bin/true")) << "the fallback directory's program the cases use";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString before = QDir::currentPath();
  QDir::setCurrent(dir.path());
  QDir().mkdir(QStringLiteral("sub"));
  for (const char* file : {"tool", "sub/tool.sh"}) {
    QFile f(QString::fromLatin1(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  const std::string here = dir.path().toStdString();
  struct Case {
    std::string run;
    std::optional<t::StartedProgram> started;
  };
  const Case cases[] = {
      // Found nowhere: as written, for the PATH to find.
      {"NotePad.exe ReadMe.txt", t::StartedProgram{"NotePad.exe", {"ReadMe.txt"}}},
      {"notepad", t::StartedProgram{"notepad", {}}},
      // In the fallback directory: the line starts from there.
      {"true --version", t::StartedProgram{"/usr/bin/true", {"--version"}}},
      {"true.exe", t::StartedProgram{"true.exe", {}}},
      // Here, or by its path: that file.
      {"tool a  b", t::StartedProgram{here + "/tool", {"a", "b"}}},
      {"sub/tool.sh x", t::StartedProgram{here + "/sub/tool.sh", {"x"}}},
      {"/usr/bin/true", t::StartedProgram{"/usr/bin/true", {}}},
      // No quoting: blanks split whatever they stand in.
      {"\"my tool\" 'a b'", t::StartedProgram{"\"my", {"tool\"", "'a", "b'"}}},
      // An empty value: never highlighted, nothing started.
      {"", std::nullopt},
  };
  run([&](w_main1& f) {
    for (const auto& c : cases) {
      SCOPED_TRACE("Run = " + c.run);
      const auto started = t::startedPrograms().size();
      hoverBare(f);
      ASSERT_EQ(f.dw_main->modify("p_1.Tag=" + quoted("Run = " + c.run + "; OpenType=Exe")), "");
      hover(f, "p_1");
      clickOn(f, "p_1");
      if (!c.started) {
        EXPECT_EQ(t::startedPrograms().size(), started);
        continue;
      }
      ASSERT_EQ(t::startedPrograms().size(), started + 1);
      EXPECT_EQ(t::startedPrograms().back().program, c.started->program);
      EXPECT_EQ(t::startedPrograms().back().arguments, c.started->arguments);
    }
    EXPECT_TRUE(t::messages().empty()) << "nothing is reported";
  });
  QDir::setCurrent(before);
}

TEST_F(StartPageTest, TheHighlightSurvivesTheToggleAndThePageMovesWhileHidden) {
  registerStandIn("w_jsq_by");
  t::onOpen("w_jsq_by", [](rt::Window& w) { rt::close(w); });
  run([](w_main1& f) {
    auto menu = rt::cast<m_main>(f.menu());
    auto toggle = [&] {
      rt::pick(*menu->m_导航);
      t::processEvents();
    };
    f.windowstate = rt::WindowState::Normal;
    t::processEvents();
    ASSERT_EQ(f.dw_main->x(), 173);
    ASSERT_EQ(f.dw_main->y(), 274);
    hover(f, "p_6");
    toggle();
    ASSERT_FALSE(f.dw_main->visible());
    EXPECT_EQ(f.is_focus_picture, "p_6");
    EXPECT_EQ(raised(f), Strings{"p_6=6"});
    // Resized while the frame picture shows: the hidden page moves, the picture stays.
    const int px = f.p_2->x(), py = f.p_2->y(), pw = f.p_2->width(), ph = f.p_2->height();
    f.width = 3800;
    f.height = 3000;
    t::processEvents();
    EXPECT_EQ(f.dw_main->x(), 64);
    EXPECT_EQ(f.dw_main->y(), 428);
    EXPECT_EQ(std::vector<int>({f.p_2->x(), f.p_2->y(), f.p_2->width(), f.p_2->height()}),
              std::vector<int>({px, py, pw, ph}));
    toggle();
    ASSERT_TRUE(f.dw_main->visible());
    EXPECT_EQ(f.is_focus_picture, "p_6");
    EXPECT_EQ(raised(f), Strings{"p_6=6"});
    // Pressed, hidden and shown again: still pressed.
    hover(f, "p_6");
    clickOn(f, "p_6");
    EXPECT_EQ(t::openedCount("w_jsq_by"), 1);
    toggle();
    toggle();
    EXPECT_EQ(raised(f), Strings{"p_6=5"});
    EXPECT_EQ(f.is_focus_picture, "p_6");
  });
}
