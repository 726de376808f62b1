// The runtime's ordinary controls: radio groups, check boxes, group boxes, links, user objects.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/controls.h"
#include "runtime/testing.h"
#include "runtime/window.h"

namespace t = rt::testing;

namespace {

template <class Base>
struct Named : Base {
  std::string name;
  int clicks = 0;
  bool checkedWhenClicked = false;
  std::string className() const override { return name; }
  void clicked() override {
    ++clicks;
    if constexpr (requires(Base b) { b.checked(); }) checkedWhenClicked = this->checked;
  }
};
using Radio = Named<rt::RadioButton>;

// Two boxes that overlap by a strip, a button that reaches into the neighbouring box, a
// box inside a box, and a button in no box at all.
struct w_radios : rt::Window {
  RT_CLASS(w_radios)
  rt::Ref<Radio> a1, a2, b1, b2, inner1, inner2, loose1, loose2;
  rt::Ref<rt::GroupBox> a, b, outer, inner;
  rt::Ref<Named<rt::CheckBox>> box;
  rt::Ref<Named<rt::StaticText>> text;
  rt::Ref<rt::HyperLink> link;

  w_radios() {
    width = 3000;
    height = 2000;
  }
  rt::Ref<Radio> radio(const char* name, int x, int y) {
    auto r = insert<Radio>();
    r->name = name;
    r->x = x;
    r->y = y;
    r->width = 400;
    r->height = 80;
    r->text = name;
    return r;
  }
  rt::Ref<rt::GroupBox> groupBox(int x, int y, int w, int h) {
    auto g = insert<rt::GroupBox>();
    g->x = x;
    g->y = y;
    g->width = w;
    g->height = h;
    return g;
  }
  void create() override {
    a1 = radio("a1", 120, 120);
    a2 = radio("a2", 120, 240);  // reaches into box b, which begins at y 300
    b1 = radio("b1", 120, 420);
    b2 = radio("b2", 120, 560);
    inner1 = radio("inner1", 1200, 300);
    inner2 = radio("inner2", 1200, 420);
    loose1 = radio("loose1", 2400, 1700);
    loose2 = radio("loose2", 2400, 1820);
    a = groupBox(100, 100, 600, 236);
    b = groupBox(100, 300, 600, 400);
    outer = groupBox(1000, 100, 900, 800);
    inner = groupBox(1100, 250, 700, 300);
    box = insert<Named<rt::CheckBox>>();
    box->name = "box";
    box->x = 1000;
    box->y = 1000;
    box->text = "显示文字(&E)";
    // A link and a text inside a group box still take their clicks.
    groupBox(100, 1000, 800, 600);
    text = insert<Named<rt::StaticText>>();
    text->name = "text";
    text->x = 150;
    text->y = 1100;
    text->text = "欢迎使用";
    link = insert<rt::HyperLink>();
    link->x = 150;
    link->y = 1300;
    link->text = "www.example.cn";
    link->url = "https://www.example.cn/";
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  t::Session session;
  rt::Ref<w_radios> w;
  void SetUp() override {
    rt::open<w_radios>();
    w = rt::global<w_radios>();
    ASSERT_TRUE(w);
  }
  std::string checkedOnes() {
    std::string out;
    for (auto* r : {w->a1.raw(), w->a2.raw(), w->b1.raw(), w->b2.raw(), w->inner1.raw(), w->inner2.raw(),
                    w->loose1.raw(), w->loose2.raw()})
      if (r->checked) out += (out.empty() ? "" : " ") + r->name;
    return out;
  }
};

}  // namespace

TEST_F(ControlsTest, ARadioButtonBelongsToTheInnermostBoxThatHoldsItWhole) {
  struct Case {
    std::vector<rt::Ref<Radio>*> clicks;
    std::string checked;
  };
  const std::vector<Case> cases = {
      {{&w->a1, &w->b1}, "a1 b1"},
      {{&w->a1, &w->a2}, "a2"},  // a2 only reaches into b: it is a's
      {{&w->b1, &w->a2}, "a2 b1"},
      {{&w->inner1, &w->inner2}, "inner2"},  // inner, not outer
      {{&w->loose1, &w->a1, &w->loose2}, "a1 loose2"},
  };
  for (const auto& c : cases) {
    for (auto* r : {&w->a1, &w->a2, &w->b1, &w->b2, &w->inner1, &w->inner2, &w->loose1, &w->loose2})
      (*r)->checked = false;
    for (auto* r : c.clicks) t::click(**r);
    EXPECT_EQ(checkedOnes(), c.checked);
  }
}

TEST_F(ControlsTest, AClickOnTheCheckedButtonKeepsItAndStillRunsItsEvent) {
  t::click(*w->b1);
  t::click(*w->b1);
  EXPECT_TRUE(w->b1->checked);
  EXPECT_EQ(w->b1->clicks, 2);
  EXPECT_TRUE(w->b1->checkedWhenClicked);
}

TEST_F(ControlsTest, SettingCheckedFromCodeClearsNothingAndADisabledButtonTakesNoClick) {
  w->b1->checked = true;
  w->b2->checked = true;
  EXPECT_EQ(checkedOnes(), "b1 b2");
  w->a1->enabled = false;
  w->a1->checked = true;
  t::click(*w->a1);
  EXPECT_EQ(w->a1->clicks, 0);
  t::click(*w->a2);
  EXPECT_EQ(checkedOnes(), "a2 b1 b2");
}

TEST_F(ControlsTest, ACheckBoxHasItsNewStateWhenItsEventRuns) {
  t::click(*w->box);
  EXPECT_TRUE(w->box->checked);
  EXPECT_TRUE(w->box->checkedWhenClicked);
  t::pressKey(*w, Qt::Key_E, Qt::AltModifier);
  EXPECT_FALSE(w->box->checked);
  EXPECT_FALSE(w->box->checkedWhenClicked);
  EXPECT_EQ(w->box->clicks, 2);
  w->box->checked = true;  // from code: no event
  EXPECT_EQ(w->box->clicks, 2);
}

TEST_F(ControlsTest, TextsAndLinksInsideAGroupBoxTakeTheirClicks) {
  t::click(*w, 250, 1130);
  EXPECT_EQ(w->text->clicks, 1);
  t::click(*w, 250, 1330);
  EXPECT_EQ(t::openedUrls(), std::vector<std::string>{"https://www.example.cn/"});
  EXPECT_TRUE(t::isShown(*w)) << "the window stays";
}
