#pragma once

// The drawn side of a DataView object: a page of named pictures and texts at fixed places,
// whose properties describe() reads and modify() sets, and the object under the pointer.
// Private to the runtime.

#include <QJsonObject>
#include <QPoint>
#include <QPixmap>
#include <QRect>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "color.h"
#include "controls.h"

class QPainter;

namespace rt::detail {

// An object of a drawn page: a picture or a text in its box, in logical units.
struct PageObject {
  enum class Kind { Bitmap, Text };
  std::string name;
  Kind kind = Kind::Text;
  int x = 0, y = 0, width = 0, height = 0;
  int border = 0;  // 0 none, 5 lowered, 6 raised
  std::optional<std::string> tag;
  std::string pointer;   // a stock pointer over the object; "" for the control's own
  std::string filename;  // a picture's file
  std::string text;      // a text's text, in its font and colours
  std::string face = "宋体";
  int textsize = -9;
  int weight = 400;
  int charset = 134;
  Color color = Color::rgb(0, 0, 0);
  Color background = Color::transparent();
  Alignment alignment = Alignment::Left;
};

// A page as its definition describes it (see dataview.cpp).
struct PageDefinition {
  std::optional<Color> color;
  std::vector<PageObject> objects;
};
// False when the definition is malformed.
bool parsePage(const QJsonObject& o, PageDefinition& d);

// The page as it stands: borders and tags as modified since its object was named, and where
// the pointer is.
class Page {
 public:
  // Starts afresh as `d` defines it; empty for none.
  void reset(const PageDefinition* d);
  std::string describe(const std::string& expression) const;
  std::string modify(const std::string& expression);
  const PageObject* objectAt(const QPoint& at) const;
  std::string getobjectatpointer() const;
  // Draws the page into `area`, with a lowered frame around it for `border`.
  void paint(QPainter& p, const QRect& area, bool border) const;
  // Lets go of the pictures the last paint drew: the page is not shown.
  void releasePictures() const { pictures_.clear(); }

  // Where the pointer is over the control, in pixels; none while it is off the control.
  std::optional<QPoint> pointer;

 private:
  PageObject* object(const std::string& name);
  const PageObject* object(const std::string& name) const { return const_cast<Page*>(this)->object(name); }
  std::string assign(const std::string& target, const std::string& value);

  std::optional<Color> color_;
  std::vector<PageObject> objects_;
  mutable std::vector<std::shared_ptr<const QPixmap>> pictures_;  // as the last paint drew them
};

}  // namespace rt::detail
