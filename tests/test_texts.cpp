// Every text the program shows, as the user reads it on screen: window titles, the captions
// of the controls and the menu. Full-width and half-width brackets are different texts.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/testing.h"
#include "shell/w_main1.h"
#include "support/calculator.h"
#include "support/program.h"

namespace t = rt::testing;

namespace {

struct Text {
  std::string control;
  std::string text;
};

struct WindowTexts {
  const char* window;
  std::optional<std::string> title;  // none: the window has no title bar to show one
  std::vector<Text> texts;
};

// The settings windows of the three grades show the same captions.
std::vector<Text> settingsTexts() {
  return {
      {"gb_4", "男"},
      {"rb_8", "身高标准体重（15分）"},
      {"rb_9", "肺活量体重指数（15分）"},
      {"gb_1", ""},
      {"rb_t_m", "台阶试验（20分）"},
      {"rb_1_m", "1000米跑（男）（20分）"},
      {"gb_2", ""},
      {"rb_5_m", "50米跑（30分）"},
      {"rb_l_m", "立定跳远（30分）"},
      {"gb_3", ""},
      {"rb_z_m", "坐位体前屈（20分）"},
      {"rb_w_m", "握力体重指数（20分）"},
      {"gb_5", "女"},
      {"rb_1", "身高标准体重（15分）"},
      {"rb_2", "肺活量体重指数（15分）"},
      {"gb_6", ""},
      {"rb_t_w", "台阶试验（20分）"},
      {"rb_8_w", "800米跑（女）（20分）"},
      {"gb_7", ""},
      {"rb_5_w", "50米跑（30分）"},
      {"rb_l_w", "立定跳远（30分）"},
      {"gb_8", ""},
      {"rb_z_w", "坐位体前屈（20分）"},
      {"rb_y_w", "仰卧起坐（女）（20分）"},
      {"rb_w_w", "握力体重指数（20分）"},
      {"cb_1", "保存（&S)"},
      {"cb_2", "关闭(&X)"},
  };
}

// The three grades' calculators share their captions but for the year's group box (and grade
// three's graduation block).
std::vector<Text> calculatorTexts(const char* yearBox) {
  std::vector<Text> texts;
  for (const auto& [control, text] : support::calculatorCaptions(yearBox)) texts.push_back({control, text});
  return texts;
}

std::vector<Text> plus(std::vector<Text> texts, std::initializer_list<Text> more) {
  texts.insert(texts.end(), more);
  return texts;
}

// Every window a signed-in user can open, with what it shows when it opens.
std::vector<WindowTexts> framedWindows() {
  return {
      {"w_about", std::nullopt, {{"cb_1", "关闭(&X)"}}},
      {"w_xm_gz1", "高中一年级项目", settingsTexts()},
      {"w_xm_gz2", "高中二年级项目", settingsTexts()},
      {"w_xm_gz3", "高中三年级项目", settingsTexts()},
      {"w_jsq_gz1", "高中一年级成绩", calculatorTexts("高一学年成绩")},
      {"w_jsq_gz2", "高中二年级成绩", calculatorTexts("高二学年成绩")},
      {"w_jsq_gz3", "高中三年级成绩",
       plus(calculatorTexts("高三学年成绩"), {{"gb_1", "毕业成绩"}, {"gb_2", "高一高二"}})},
      {"w_jsq_by",
       "毕业成绩计算",
       {
           {"cb_1", "关闭(&X)"},
           {"st_5", "等级"},
           {"st_4", "高中毕业成绩"},
           {"st_3", "高三学年成绩（50%）"},
           {"st_2", "高二学年成绩（25%）"},
           {"st_1", "高一学年成绩（25%）"},
       }},
      {"w_genapp_toolbars",
       "工具栏设置",
       {
           {"rb_floating", "浮动(&F)"},
           {"rb_bottom", "底部(&B)"},
           {"rb_right", "右边(&R)"},
           {"rb_top", "顶部(&T)"},
           {"rb_left", "左边(&L)"},
           {"cb_done", "关闭(&X)"},
           {"cb_visible", "隐藏(&H)"},  // the frame's toolbar is shown
           {"cbx_showtips", "显示提示(&P)"},
           {"cbx_showtext", "显示文字(&E)"},
           {"gb_1", "工具栏位置"},
       }},
      {"w_4",
       "计算器",
       {
           {"cb_24", "时间"}, {"cb_17", "退格"}, {"cb_20", "清除"}, {"cb_19", "C"}, {"cb_26", "关闭"},
           {"cb_7", "7"},     {"cb_8", "8"},     {"cb_9", "9"},     {"cb_16", "÷"}, {"cb_22", "平方根"},
           {"cb_4", "4"},     {"cb_5", "5"},     {"cb_6", "6"},     {"cb_15", "×"}, {"cb_23", "平方"},
           {"cb_1", "1"},     {"cb_2", "2"},     {"cb_3", "3"},     {"cb_14", "-"}, {"cb_21", "1/x"},
           {"cb_10", "0"},    {"cb_11", "+/-"},  {"cb_12", "."},    {"cb_13", "+"}, {"cb_18", "="},
           {"gb_1", ""},
       }},
  };
}

const WindowTexts kEntryWindow = {"w_pwd",
                                  "登录管理系统.....",
                                  {
                                      {"st_3", "（高中）"},
                                      {"st_2", "欢迎使用"},
                                      {"st_1", "Orvida"},
                                      {"uo_4", "退出(&X)"},
                                      {"uo_3", "登录(&L)"},
                                      {"gb_1", ""},
                                  }};

const char* const kFrameTitle = "PellumoOrvida（高中） ";

rt::Control* findControl(const std::vector<std::shared_ptr<rt::Control>>& controls, const std::string& name) {
  for (const auto& c : controls) {
    if (c->className() == name) return c.get();
    if (rt::Control* inner = findControl(c->children(), name)) return inner;
  }
  return nullptr;
}

// The caption as the control's widget draws it. A picture button draws its caption on its
// inner button, after the blanks that leave room for the picture.
std::optional<std::string> shownText(const rt::Control& c) {
  const QWidget* widget = c.widget();
  if (!c.children().empty()) {
    if (rt::Control* inner = findControl(c.children(), "command_button")) {
      std::string text = *shownText(*inner);
      return text.substr(std::min(text.find_first_not_of(' '), text.size()));
    }
  }
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* box = qobject_cast<const QGroupBox*>(widget)) return box->title().toStdString();
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text().toStdString();
  return std::nullopt;
}

void expectTexts(rt::Window& w, const WindowTexts& expected) {
  SCOPED_TRACE(expected.window);
  t::processEvents();
  if (expected.title) {
    EXPECT_EQ(w.widget()->windowTitle().toStdString(), *expected.title) << "title";
  }
  for (const Text& e : expected.texts) {
    const rt::Control* c = findControl(w.controls(), e.control);
    if (!c) {
      ADD_FAILURE() << "no control " << e.control;
      continue;
    }
    EXPECT_EQ(shownText(*c), std::optional<std::string>(e.text)) << e.control;
  }
}

class TextsTest : public support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Each grade's settings row, so the calculators open without asking for one.
    for (const char* grade : {"31", "32", "33"})
      ds.query(std::string("INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, "
                           "xm_5_w, xm_l_w, xm_z_w, xm_y_w, xm_w_w) VALUES ('") +
               grade + "', '1', '0', '1', '0', '1', '0', '1', '0', '1', '0', '1', '0', '0')");
  }
};

}  // namespace

TEST_F(TextsTest, EveryWindowShowsItsTitleAndCaptionsAsDesigned) {
  bool entrySeen = false;
  t::onOpen("w_pwd", [&](rt::Window& w) {
    if (entrySeen) return;
    entrySeen = true;
    expectTexts(w, kEntryWindow);
    t::pressKey(w, Qt::Key_L, Qt::AltModifier);
  });
  std::vector<std::string> opened;
  ASSERT_TRUE(runToFrame([&](w_main1& frame) {
    t::processEvents();
    EXPECT_EQ(frame.widget()->windowTitle().toStdString(), kFrameTitle);
    for (const WindowTexts& expected : framedWindows()) {
      auto seen = std::make_shared<bool>(false);
      t::onOpen(expected.window, [seen, expected](rt::Window& w) {
        if (*seen) return;
        *seen = true;
        expectTexts(w, expected);
        if (w.isOpen()) rt::close(w);
      });
      rt::setMessageParm(rt::Ref<rt::Object>(rt::refTo(frame)));  // the frame, as the menu passes it
      rt::open(expected.window);
      t::processEvents();
      if (rt::Ref<rt::Window> still = t::findOpen(expected.window)) rt::close(*still);
      t::processEvents();
      if (*seen) opened.push_back(expected.window);
    }
    rt::close(frame);
  }));
  EXPECT_TRUE(entrySeen);
  std::vector<std::string> all;
  for (const WindowTexts& expected : framedWindows()) all.push_back(expected.window);
  EXPECT_EQ(opened, all) << "every window opened";
}

TEST_F(TextsTest, TheMenuShowsEveryCaptionInItsPlace) {
  using C = t::MenuCaption;
  const std::vector<C> expected = {
      {1, "系统管理(&S)"},
      {2, "工具栏设置(&B)"},
      {2, "-"},
      {2, "重新登录\tAlt+I"},
      {2, "-"},
      {2, "退出系统\tAlt+X"},
      {1, "项目设置"},
      {2, "高中"},
      {3, "高一项目"},
      {3, "高二项目"},
      {3, "高三项目"},
      {1, "成绩计算"},
      {2, "高中"},
      {3, "高一成绩计算"},
      {3, "高二成绩计算"},
      {3, "高三成绩计算"},
      {3, "-"},
      {3, "毕业成绩计算"},
      {1, "工具"},
      {2, "计算器"},
      {1, "导航"},
      {1, "帮助"},
      {2, "技术支持"},
      {1, "Version 3.0 Build 0101"},
  };
  signInTimes(1);
  ASSERT_TRUE(runToFrame([&](w_main1& frame) {
    t::processEvents();
    const std::vector<C> shown = t::menuCaptions(frame);
    EXPECT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < std::min(shown.size(), expected.size()); ++i) {
      EXPECT_EQ(shown[i].level, expected[i].level) << "entry " << i << ": " << expected[i].text;
      EXPECT_EQ(shown[i].text, expected[i].text) << "entry " << i;
    }
    rt::close(frame);
  }));
}
