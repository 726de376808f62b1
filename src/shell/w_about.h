#pragma once

#include "runtime/controls.h"
#include "runtime/window.h"

// The support window: how to reach the maker with a technical question or a suggestion.
class w_about : public rt::Window {
 public:
  RT_CLASS(w_about)
  w_about();

  template <const char* Name>
  struct text_t : rt::StaticText {
    static constexpr const char* class_name = Name;
    std::string className() const override { return Name; }
  };
  static constexpr char st_1_name[] = "st_1", st_3_name[] = "st_3", st_5_name[] = "st_5", st_4_name[] = "st_4",
                        st_2_name[] = "st_2", st_10_name[] = "st_10";
  struct st_link_t : rt::HyperLink {
    RT_CLASS(st_link)
  };
  struct cb_1_t : rt::CommandButton {
    RT_CLASS(cb_1)
    void clicked() override;
  };

  rt::Ref<text_t<st_1_name>> st_1;
  rt::Ref<text_t<st_3_name>> st_3;
  rt::Ref<text_t<st_5_name>> st_5;
  rt::Ref<text_t<st_4_name>> st_4;
  rt::Ref<text_t<st_2_name>> st_2;
  rt::Ref<text_t<st_10_name>> st_10;
  rt::Ref<st_link_t> st_link;
  rt::Ref<cb_1_t> cb_1;

  void create() override;
};
