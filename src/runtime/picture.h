#pragma once

#include <string>

#include "control.h"

namespace rt {

// A picture control: shows a picture file (found without regard to case) or a stock
// picture, scaled to the control unless `originalsize` is set.
class Picture : public Control {
 public:
  RT_CLASS(picture)

  Prop<std::string> picturename{this, ""};
  Prop<bool> originalsize{this, false};
  Prop<bool> focusrectangle{this, true};
  Prop<bool> border{this, false};

  // Events.
  virtual void clicked() {}

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

}  // namespace rt
