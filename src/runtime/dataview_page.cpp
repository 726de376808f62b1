#include "dataview_page_p.h"

#include <QJsonArray>
#include <QPainter>
#include <cctype>

#include "dataview_p.h"
#include "runtime_p.h"
#include "strings.h"
#include "units.h"

namespace rt::detail {

namespace {

std::optional<Color> parseColor(const QJsonValue& v) {
  const QJsonArray a = v.toArray();
  if (a.size() != 3) return std::nullopt;
  int rgb[3];
  for (int i = 0; i < 3; ++i) {
    rgb[i] = a[i].toInt(-1);
    if (rgb[i] < 0 || rgb[i] > 255) return std::nullopt;
  }
  return Color::rgb(rgb[0], rgb[1], rgb[2]);
}

std::optional<PageObject> parseObject(const QJsonObject& o) {
  PageObject p;
  p.name = o["name"].toString().toStdString();
  if (!isIdentifier(p.name)) return std::nullopt;
  const QString type = o["type"].toString();
  if (type == QLatin1String("bitmap"))
    p.kind = PageObject::Kind::Bitmap;
  else if (type == QLatin1String("text"))
    p.kind = PageObject::Kind::Text;
  else
    return std::nullopt;
  p.x = o["x"].toInt();
  p.y = o["y"].toInt();
  p.width = o["width"].toInt();
  p.height = o["height"].toInt();
  if (p.width < 0 || p.height < 0) return std::nullopt;
  p.border = o["border"].toInt(0);
  if (p.border != 0 && p.border != 5 && p.border != 6) return std::nullopt;
  if (o.contains("tag")) p.tag = o["tag"].toString().toStdString();
  p.pointer = o["pointer"].toString().toStdString();
  p.filename = o["filename"].toString().toStdString();
  p.text = o["text"].toString().toStdString();
  const QString align = o["alignment"].toString(QStringLiteral("left"));
  if (align == QLatin1String("center"))
    p.alignment = Alignment::Center;
  else if (align == QLatin1String("right"))
    p.alignment = Alignment::Right;
  else if (align != QLatin1String("left"))
    return std::nullopt;
  if (o.contains("color")) {
    auto c = parseColor(o["color"]);
    if (!c) return std::nullopt;
    p.color = *c;
  }
  if (o.contains("background") && o["background"].toString() != QLatin1String("transparent")) {
    auto c = parseColor(o["background"]);
    if (!c) return std::nullopt;
    p.background = *c;
  }
  if (o.contains("font")) {
    const QJsonObject f = o["font"].toObject();
    p.face = f["face"].toString(QString::fromStdString(p.face)).toStdString();
    p.textsize = f["height"].toInt(p.textsize);
    p.weight = f["weight"].toInt(p.weight);
    p.charset = f["charset"].toInt(p.charset);
  }
  return p;
}

}  // namespace

bool parsePage(const QJsonObject& o, PageDefinition& d) {
  if (o.contains("color")) {
    d.color = parseColor(o["color"]);
    if (!d.color) return false;
  }
  std::vector<std::string> names;
  for (const QJsonValue& v : o["objects"].toArray()) {
    auto object = parseObject(v.toObject());
    if (!object) return false;
    // Names are told apart without regard to case, as describe and modify find them.
    const std::string key = lower(object->name);
    if (indexOf(names, key)) return false;
    names.push_back(key);
    d.objects.push_back(std::move(*object));
  }
  return true;
}

namespace {

// An object's box on screen. Its edges are converted, not its size, so boxes that meet in
// units meet on screen.
QRect box(const PageObject& o) {
  return QRect(QPoint(units::toPixelsX(o.x), units::toPixelsY(o.y)),
               QPoint(units::toPixelsX(o.x + o.width) - 1, units::toPixelsY(o.y + o.height) - 1));
}

// A classic three-dimensional edge, two pixels wide, just outside `box`: raised (6) lit from
// the top left, lowered (5) the other way round.
void drawEdge(QPainter& p, const QRect& box, int style) {
  const QColor light(227, 227, 227), highlight(255, 255, 255), shadow(128, 128, 128), dark(64, 64, 64);
  const bool raised = style == 6;
  auto frame = [&p](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.left(), r.bottom() - 1, r.left(), r.top());
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.bottom(), r.right(), r.top());
  };
  const QRect outer = box.adjusted(-2, -2, 2, 2), inner = box.adjusted(-1, -1, 1, 1);
  frame(outer, raised ? light : shadow, raised ? dark : highlight);
  frame(inner, raised ? highlight : dark, raised ? shadow : light);
}

void drawObject(QPainter& p, const PageObject& o, const QRect& box, std::vector<SharedPicture>& held) {
  if (o.kind == PageObject::Kind::Bitmap) {
    if (box.isEmpty()) return;
    SharedPicture pm = shownPicture(o.filename, box.size());
    if (pm && !pm->isNull()) p.drawPixmap(box.topLeft(), *pm);
    held.push_back(std::move(pm));
  } else {
    if (o.background.role != Color::Role::Transparent) p.fillRect(box, toQColor(o.background));
    p.setFont(makeFont(o.face, o.textsize, o.weight));
    p.setPen(toQColor(o.color));
    const Qt::Alignment h = o.alignment == Alignment::Center  ? Qt::AlignHCenter
                            : o.alignment == Alignment::Right ? Qt::AlignRight
                                                              : Qt::AlignLeft;
    p.drawText(box, static_cast<int>(h | Qt::AlignTop) | Qt::TextDontClip, qs(o.text));
  }
  if (o.border == 5 || o.border == 6) drawEdge(p, box, o.border);
}

}  // namespace

void Page::reset(const PageDefinition* d) {
  color_ = d ? d->color : std::nullopt;
  objects_ = d ? d->objects : std::vector<PageObject>{};
}

// Page objects are found by name without regard to case.
PageObject* Page::object(const std::string& name) {
  const std::string key = lower(name);
  for (PageObject& o : objects_)
    if (lower(o.name) == key) return &o;
  return nullptr;
}

const PageObject* Page::objectAt(const QPoint& at) const {
  for (const PageObject& o : objects_)
    if (box(o).contains(at)) return &o;
  return nullptr;
}

// One assignment of a modify: "" when done, otherwise what is wrong.
std::string Page::assign(const std::string& target, const std::string& value) {
  const auto dot = target.find('.');
  if (dot == std::string::npos) return "Incorrect syntax: " + target;
  PageObject* o = object(target.substr(0, dot));
  if (!o) return "Unknown object: " + target.substr(0, dot);
  const std::string property = lower(target.substr(dot + 1));
  if (property == "border") {
    if (value != "0" && value != "5" && value != "6") return "Incorrect border style: " + value;
    o->border = std::stoi(value);
  } else if (property == "tag") {
    o->tag = value;
  } else {
    return "Property cannot be modified: " + target.substr(dot + 1);
  }
  return {};
}

std::string Page::describe(const std::string& expression) const {
  const auto dot = expression.find('.');
  const PageObject* o = dot == std::string::npos ? nullptr : object(expression.substr(0, dot));
  if (!o) return "!";
  const std::string property = lower(expression.substr(dot + 1));
  const bool bitmap = o->kind == PageObject::Kind::Bitmap;
  if (property == "type") return bitmap ? "bitmap" : "text";
  if (property == "name") return o->name;
  if (property == "x") return std::to_string(o->x);
  if (property == "y") return std::to_string(o->y);
  if (property == "width") return std::to_string(o->width);
  if (property == "height") return std::to_string(o->height);
  if (property == "border") return std::to_string(o->border);
  if (property == "tag") return o->tag ? *o->tag : "?";
  if (property == "filename" && bitmap) return o->filename;
  if (property == "text" && !bitmap) return o->text;
  return "!";
}

std::string Page::modify(const std::string& expression) {
  const std::size_t n = expression.size();
  std::size_t i = 0;
  auto blank = [&](std::size_t k) { return std::isspace(static_cast<unsigned char>(expression[k])) != 0; };
  auto skipBlanks = [&] {
    while (i < n && blank(i)) ++i;
  };
  auto column = [&] { return " at column " + std::to_string(i + 1); };
  std::string error;
  skipBlanks();
  while (i < n) {
    const std::size_t start = i;
    while (i < n && expression[i] != '=' && !blank(i)) ++i;
    const std::string target = expression.substr(start, i - start);
    skipBlanks();
    if (i == n || expression[i] != '=' || target.empty()) {
      error = "Incorrect syntax" + column();
      break;
    }
    ++i;
    skipBlanks();
    std::string value;
    if (i < n && (expression[i] == '\'' || expression[i] == '"')) {
      const char quote = expression[i++];
      bool closed = false;
      while (i < n && !closed) {
        const char c = expression[i++];
        if (c == '~' && i < n)
          value += expression[i++];
        else if (c == quote)
          closed = true;
        else
          value += c;
      }
      if (!closed) {
        error = "Unterminated string" + column();
        break;
      }
    } else {
      while (i < n && !blank(i)) value += expression[i++];
    }
    error = assign(target, value);
    if (!error.empty()) break;
    skipBlanks();
  }
  return error;
}

std::string Page::getobjectatpointer() const {
  if (!pointer) return {};
  const PageObject* o = objectAt(*pointer);
  return o ? o->name + "\t0" : std::string();
}

void Page::paint(QPainter& p, const QRect& area, bool border) const {
  if (color_) p.fillRect(area, toQColor(*color_));
  // The pictures drawn last time are held until this paint holds its own, so an unchanged
  // picture is not decoded again.
  std::vector<SharedPicture> held;
  for (const PageObject& o : objects_) drawObject(p, o, box(o), held);
  pictures_.swap(held);
  if (border) drawEdge(p, area.adjusted(2, 2, -2, -2), 5);
}

}  // namespace rt::detail
