#pragma once

#include "runtime/controls.h"
#include "runtime/window.h"

// The support window: how to reach the maker with a technical question or a suggestion.
class w_about : public rt::Window {
 public:
  RT_CLASS(w_about)
  w_about();

  template <rt::class_name_text Name>
  using text_t = rt::named<rt::StaticText, Name>;
  using st_link_t = rt::named<rt::HyperLink, "st_link">;
  struct cb_1_t : rt::named<rt::CommandButton, "cb_1"> {
    void clicked() override;
  };

  rt::Ref<rt::StaticText> st_1, st_3, st_5, st_4, st_2, st_10;
  rt::Ref<st_link_t> st_link;
  rt::Ref<cb_1_t> cb_1;

  void create() override;
};
