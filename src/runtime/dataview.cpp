#include "strings.h"
#include "dataview.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cctype>
#include <map>

#include "controls.h"
#include "event.h"
#include "odbc_p.h"
#include "runtime_p.h"
#include "transaction.h"
#include "units.h"
#include "widgets_p.h"

namespace rt {

namespace {

// An object of a drawn page: a picture or a text in its box, in logical units.
struct PageObject {
  enum class Kind { Bitmap, Text };
  std::string name;
  Kind kind = Kind::Text;
  int x = 0, y = 0, width = 0, height = 0;
  int border = 0;  // 0 none, 5 lowered, 6 raised
  std::optional<std::string> tag;
  std::string pointer;  // a stock pointer over the object; "" for the control's own
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

// A DataView object as its definition file (resources/dataviews/<name>.json) describes it.
// A row set:
//   "table"      the table the rows are selected from
//   "columns"    [{"name", "updatable"}], in the order of the select
//   "arguments"  [{"name", "type": "string"}], the retrieval arguments
//   "where"      [{"column", "argument"}], each a condition column = argument, all of them
//   "update"     {"table", "key": [column names]}: where changes go, and how a row is found
// A drawn page:
//   "color"      the page's colour, [red, green, blue]
//   "objects"    [{"name", "type": "bitmap" | "text", "x", "y", "width", "height",
//                  "border": 0 | 5 | 6, "tag", "pointer", a picture's "filename", a text's
//                  "text", "alignment": "left" | "center" | "right", "color": [r, g, b],
//                  "background": "transparent" | [r, g, b],
//                  "font": {"face", "height" (negative: points), "weight", "charset"}}]
struct Definition {
  std::string table;
  std::vector<std::string> columns;
  std::vector<bool> updatable;
  std::vector<std::string> arguments;
  std::vector<std::pair<std::size_t, std::size_t>> where;  // column, argument
  std::string updateTable;
  std::vector<std::size_t> key;
  std::string select;

  std::optional<Color> pageColor;
  std::vector<PageObject> objects;

  std::optional<std::size_t> column(const std::string& name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (columns[i] == name) return i;
    return std::nullopt;
  }
};

// Names go into statements as they stand, so they must be plain identifiers.
bool isIdentifier(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

std::optional<std::size_t> indexOf(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  return std::nullopt;
}


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

bool parseRowSet(const QJsonObject& o, Definition& d) {
  auto text = [](const QJsonValue& v) { return v.toString().toStdString(); };
  d.table = text(o["table"]);
  if (!isIdentifier(d.table)) return false;
  for (const QJsonValue& c : o["columns"].toArray()) {
    d.columns.push_back(text(c["name"]));
    d.updatable.push_back(c["updatable"].toBool(false));
    if (!isIdentifier(d.columns.back()) || indexOf(d.columns, d.columns.back()) != d.columns.size() - 1)
      return false;
  }
  if (d.columns.empty()) return false;
  for (const QJsonValue& a : o["arguments"].toArray()) {
    if (a["type"].toString() != QStringLiteral("string")) return false;
    d.arguments.push_back(text(a["name"]));
  }
  for (const QJsonValue& w : o["where"].toArray()) {
    auto col = d.column(text(w["column"]));
    auto arg = indexOf(d.arguments, text(w["argument"]));
    if (!col || !arg) return false;
    d.where.emplace_back(*col, *arg);
  }
  if (o.contains("update")) {
    const QJsonObject u = o["update"].toObject();
    d.updateTable = text(u["table"]);
    for (const QJsonValue& k : u["key"].toArray()) {
      auto col = d.column(text(k));
      if (!col) return false;
      d.key.push_back(*col);
    }
    if (!isIdentifier(d.updateTable) || d.key.empty()) return false;
  }
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < d.columns.size(); ++i) sql += (i ? ", " : "") + d.columns[i];
  sql += " FROM " + d.table;
  for (std::size_t i = 0; i < d.where.size(); ++i)
    sql += (i ? " AND " : " WHERE ") + d.columns[d.where[i].first] + " = ?";
  d.select = std::move(sql);
  return true;
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

bool parsePage(const QJsonObject& o, Definition& d) {
  if (o.contains("color")) {
    d.pageColor = parseColor(o["color"]);
    if (!d.pageColor) return false;
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

std::shared_ptr<const Definition> parse(const QJsonObject& o) {
  auto d = std::make_shared<Definition>();
  const bool rowSet = o.contains("table"), page = o.contains("objects") || o.contains("color");
  if (!rowSet && !page) return nullptr;
  if (rowSet && !parseRowSet(o, *d)) return nullptr;
  if (page && !parsePage(o, *d)) return nullptr;
  return d;
}

// The definition named `name`, read once from the resources; null when there is none or
// it is malformed.
std::shared_ptr<const Definition> definitionNamed(const std::string& name) {
  static std::map<std::string, std::shared_ptr<const Definition>> loaded;
  if (!isIdentifier(name)) return nullptr;
  auto it = loaded.find(name);
  if (it != loaded.end()) return it->second;
  std::shared_ptr<const Definition> d;
  QFile file(QStringLiteral(":/dataviews/%1.json").arg(QString::fromStdString(name)));
  if (file.open(QIODevice::ReadOnly)) {
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (doc.isObject()) d = parse(doc.object());
  }
  return loaded[name] = d;
}

using Value = std::optional<std::string>;

}  // namespace

struct DataView::Impl {
  struct Row {
    std::vector<Value> values;
    std::vector<bool> changed;
    bool stored = false;     // the row is in the table: retrieved, or written and committed
    std::vector<Value> key;  // its key as stored, which finds it there
  };

  std::shared_ptr<const Definition> def;
  std::string defName;
  std::vector<Row> rows;
  long current = 0;

  Ref<Transaction> transaction;  // reads as null once the transaction is destroyed

  // The page as it stands: borders and tags as modified since the object was named.
  std::vector<PageObject> objects;
  // Where the pointer is over the control, in pixels; none while it is off the control.
  std::optional<QPoint> pointer;

  // The definition `dataobject` names now; a page newly named starts as defined.
  const Definition* definition(const std::string& name) {
    if (!def || defName != name) {
      def = definitionNamed(name);
      defName = name;
      objects = def ? def->objects : std::vector<PageObject>{};
    }
    return def.get();
  }

  // Page objects are found by name without regard to case.
  PageObject* object(const std::string& name) {
    const std::string key = lower(name);
    for (PageObject& o : objects)
      if (lower(o.name) == key) return &o;
    return nullptr;
  }

  // An object's box on screen. Its edges are converted, not its size, so boxes that meet in
  // units meet on screen.
  static QRect box(const PageObject& o) {
    return QRect(QPoint(units::toPixelsX(o.x), units::toPixelsY(o.y)),
                 QPoint(units::toPixelsX(o.x + o.width) - 1, units::toPixelsY(o.y + o.height) - 1));
  }

  const PageObject* objectAt(const QPoint& at) const {
    for (const PageObject& o : objects)
      if (box(o).contains(at)) return &o;
    return nullptr;
  }

  // One assignment of a modify: "" when done, otherwise what is wrong.
  std::string assign(const std::string& target, const std::string& value) {
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

  Row* row(long n) {
    if (n < 1 || n > static_cast<long>(rows.size())) return nullptr;
    return &rows[static_cast<std::size_t>(n - 1)];
  }

  // Whether update() has something of the row to write.
  static bool hasWrites(const Definition& d, const Row& r) {
    for (std::size_t c = 0; c < d.columns.size(); ++c)
      if (r.changed[c] && d.updatable[c]) return true;
    return false;
  }

  void clear() {
    rows.clear();
    current = 0;
  }

  // Writes one row's changes on `dbc`: success, or what failed.
  static odbc::Result write(void* dbc, const Definition& d, const Row& r) {
    std::vector<SqlValue> params;
    std::string sql;
    auto param = [](const Value& v) -> SqlValue { return v ? SqlValue(*v) : SqlValue(std::monostate{}); };
    if (!r.stored) {
      // Only the columns set are written: the others take the table's default.
      std::string names, markers;
      for (std::size_t c = 0; c < d.columns.size(); ++c) {
        if (!r.changed[c] || !d.updatable[c]) continue;
        names += (names.empty() ? "" : ", ") + d.columns[c];
        markers += markers.empty() ? "?" : ", ?";
        params.push_back(param(r.values[c]));
      }
      if (params.empty()) return odbc::success();
      sql = "INSERT INTO " + d.updateTable + " (" + names + ") VALUES (" + markers + ")";
    } else {
      std::string set;
      for (std::size_t c = 0; c < d.columns.size(); ++c) {
        if (!r.changed[c] || !d.updatable[c]) continue;
        set += (set.empty() ? "" : ", ") + d.columns[c] + " = ?";
        params.push_back(param(r.values[c]));
      }
      if (params.empty()) return odbc::success();
      sql = "UPDATE " + d.updateTable + " SET " + set + " WHERE ";
      for (std::size_t k = 0; k < d.key.size(); ++k) {
        sql += (k ? " AND " : "") + d.columns[d.key[k]] + " = ?";
        params.push_back(param(r.key[k]));
      }
    }
    SQLRETURN rc = SQL_SUCCESS;
    odbc::Result result;
    odbc::Handle stmt = odbc::run(static_cast<SQLHDBC>(dbc), sql, params, rc, result);
    if (!stmt) return result;
    if (r.stored) {
      // The row must be found by its key exactly once: none means it went away since it
      // was retrieved; more than one means the key does not tell rows apart.
      const long n = odbc::changedRows(stmt.get(), rc);
      if (n == 0) return odbc::failure("Row changed between retrieve and update.");
      if (n > 1)
        return odbc::failure("The update of one row changed " + std::to_string(n) + " rows in table " +
                             d.updateTable + ".");
    }
    return odbc::success();
  }
};

// ---- The control's widget: draws the page and reports the pointer.

namespace {

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

void drawObject(QPainter& p, const PageObject& o, const QRect& box) {
  if (o.kind == PageObject::Kind::Bitmap) {
    const QPixmap pm = detail::loadPicture(o.filename);
    if (!pm.isNull()) p.drawPixmap(box, pm);
  } else {
    if (o.background.role != Color::Role::Transparent) p.fillRect(box, detail::toQColor(o.background));
    p.setFont(makeFont(o.face, o.textsize, o.weight));
    p.setPen(detail::toQColor(o.color));
    const Qt::Alignment h = o.alignment == Alignment::Center  ? Qt::AlignHCenter
                            : o.alignment == Alignment::Right ? Qt::AlignRight
                                                              : Qt::AlignLeft;
    p.drawText(box, static_cast<int>(h | Qt::AlignTop) | Qt::TextDontClip, detail::qs(o.text));
  }
  if (o.border == 5 || o.border == 6) drawEdge(p, box, o.border);
}

}  // namespace

class PageWidget : public QWidget {
 public:
  PageWidget(DataView* owner, QWidget* parent) : QWidget(parent), owner_(refTo(*owner)) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);  // the mousemove event runs without a button held too
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    DataView* dv = owner_.raw();
    if (!dv) return;
    const Definition* d = dv->impl_->definition(dv->dataobject);
    QPainter p(this);
    if (d && d->pageColor) p.fillRect(rect(), detail::toQColor(*d->pageColor));
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PageObject& o : dv->impl_->objects) drawObject(p, o, DataView::Impl::box(o));
    if (dv->border) drawEdge(p, rect().adjusted(2, 2, -2, -2), 5);
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    Ref<DataView> dv = owner_;
    const QPoint at = e->position().toPoint();
    if (!dv || !rect().contains(at)) return;
    dv->impl_->pointer = at;
    showPointer(*dv, at);
    const unsigned long flags = mouseFlags(e->buttons(), e->modifiers());
    const int xu = units::toUnitsX(at.x()), yu = units::toUnitsY(at.y());
    dispatchEvent(*dv, "mousemove", [&] { dv->mousemove(flags, xu, yu); });
  }

  void mousePressEvent(QMouseEvent* e) override {
    pressed_ = e->button() == Qt::LeftButton;
    if (DataView* dv = owner_.raw()) dv->impl_->pointer = e->position().toPoint();
  }

  // The clicked event runs on release, so a window it opens never opens inside the press.
  void mouseReleaseEvent(QMouseEvent* e) override {
    Ref<DataView> dv = owner_;
    const QPoint at = e->position().toPoint();
    if (!pressed_ || e->button() != Qt::LeftButton || !dv || !rect().contains(at)) return;
    pressed_ = false;
    dv->impl_->pointer = at;
    const PageObject* o = dv->impl_->objectAt(at);
    const std::string name = o ? o->name : std::string();
    const int xu = units::toUnitsX(at.x()), yu = units::toUnitsY(at.y());
    dispatchEvent(*dv, "clicked", [&] { dv->clicked(xu, yu, 0, name); });
  }

  void leaveEvent(QEvent* e) override {
    QWidget::leaveEvent(e);
    if (DataView* dv = owner_.raw()) dv->impl_->pointer.reset();
  }

 private:
  // The object's own pointer over an object that has one, the control's elsewhere.
  void showPointer(const DataView& dv, const QPoint& at) {
    const PageObject* o = dv.impl_->objectAt(at);
    const std::string& name = o && !o->pointer.empty() ? o->pointer : dv.pointer();
    if (name.empty())
      unsetCursor();
    else
      setCursor(detail::stockPointer(name));
  }

  Ref<DataView> owner_;
  bool pressed_ = false;
};

DataView::DataView() : impl_(std::make_unique<Impl>()) {}
DataView::~DataView() = default;

QWidget* DataView::makeWidget(QWidget* parent) { return new PageWidget(this, parent); }

void DataView::propertyChanged(const void* which) {
  if (which == &dataobject) {
    impl_->clear();
    impl_->definition(dataobject);
  }
  Control::propertyChanged(which);
}

void DataView::syncWidget(const void* which) {
  Control::syncWidget(which);
  widget()->update();
}

std::string DataView::describe(const std::string& expression) const {
  impl_->definition(dataobject);
  const auto dot = expression.find('.');
  const PageObject* o = dot == std::string::npos ? nullptr : impl_->object(expression.substr(0, dot));
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

std::string DataView::modify(const std::string& expression) {
  impl_->definition(dataobject);
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
    error = impl_->assign(target, value);
    if (!error.empty()) break;
    skipBlanks();
  }
  if (widget()) widget()->update();
  return error;
}

std::string DataView::getobjectatpointer() const {
  if (!impl_->pointer) return {};
  const PageObject* o = impl_->objectAt(*impl_->pointer);
  return o ? o->name + "\t0" : std::string();
}

int DataView::settransobject(Transaction& transaction) {
  // Only a transaction the runtime made can be held by reference: of any other, nothing
  // would tell once it is gone.
  if (transaction.weak_from_this().expired()) {
    impl_->transaction.reset();
    return -1;
  }
  impl_->transaction = refTo(transaction);
  return impl_->definition(dataobject) ? 1 : -1;
}

long DataView::retrieve(const std::vector<std::string>& arguments) {
  impl_->clear();
  const Definition* d = impl_->definition(dataobject);
  Transaction* t = impl_->transaction.raw();
  if (!d || !t || d->table.empty() || arguments.size() != d->arguments.size()) return -1;
  std::vector<SqlValue> params;
  for (const auto& [column, argument] : d->where) {
    (void)column;
    params.emplace_back(arguments[argument]);
  }
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Result result;
  odbc::Handle stmt = odbc::run(static_cast<SQLHDBC>(t->nativeConnection()), d->select, params, rc, result);
  if (!stmt) return t->report(result);
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt.get(), &columns);
  if (columns != static_cast<SQLSMALLINT>(d->columns.size()))
    return t->report(odbc::failure("The select of " + dataobject() + " returns " + std::to_string(columns) +
                                   " columns for " + std::to_string(d->columns.size())));
  std::vector<odbc::TextRow> found;
  if (!odbc::fetchText(stmt.get(), d->columns.size(), found))
    return t->report(odbc::failure(SQL_HANDLE_STMT, stmt.get()));
  for (auto& values : found) {
    Impl::Row r;
    r.values = std::move(values);
    r.changed.assign(d->columns.size(), false);
    r.stored = true;
    for (std::size_t k : d->key) r.key.push_back(r.values[k]);
    impl_->rows.push_back(std::move(r));
  }
  impl_->current = impl_->rows.empty() ? 0 : 1;
  const long count = static_cast<long>(impl_->rows.size());
  t->report(odbc::success(count));
  return count;
}

long DataView::insertrow(long row) {
  const Definition* d = impl_->definition(dataobject);
  const long count = rowcount();
  if (!d || row < 0 || row > count) return -1;
  const long at = row == 0 ? count + 1 : row;
  Impl::Row r;
  r.values.assign(d->columns.size(), std::nullopt);
  r.changed.assign(d->columns.size(), false);
  impl_->rows.insert(impl_->rows.begin() + (at - 1), std::move(r));
  if (impl_->current == 0)
    impl_->current = at;
  else if (impl_->current >= at)
    ++impl_->current;
  return at;
}

long DataView::rowcount() const noexcept { return static_cast<long>(impl_->rows.size()); }

long DataView::getrow() const noexcept { return impl_->current; }

std::optional<std::string> DataView::getitemstring(long row, const std::string& column) const {
  const Impl::Row* r = impl_->row(row);
  if (!r || !impl_->def) return std::nullopt;
  auto c = impl_->def->column(column);
  if (!c) return std::nullopt;
  return r->values[*c];
}

int DataView::setitem(long row, const std::string& column, const std::string& value) {
  Impl::Row* r = impl_->row(row);
  if (!r || !impl_->def) return -1;
  auto c = impl_->def->column(column);
  if (!c) return -1;
  r->values[*c] = value;
  r->changed[*c] = true;
  return 1;
}

int DataView::accepttext() { return 1; }

int DataView::update() {
  const Definition* d = impl_->definition(dataobject);
  Transaction* t = impl_->transaction.raw();
  if (!d || !t) return -1;
  if (d->updateTable.empty()) return t->report(odbc::failure("DataView object " + dataobject() + " is not updatable"));
  for (const Impl::Row& r : impl_->rows) {
    const odbc::Result result = Impl::write(t->nativeConnection(), *d, r);
    if (result.code != 0) return t->report(result);
  }
  t->report(odbc::success());
  return 1;
}

int DataView::resetupdate() {
  const Definition* d = impl_->definition(dataobject);
  if (!d) return -1;
  for (Impl::Row& r : impl_->rows) {
    // A row inserted and never written is still not in the table.
    if (!r.stored && !Impl::hasWrites(*d, r)) continue;
    r.stored = true;
    r.changed.assign(r.changed.size(), false);
    r.key.clear();
    for (std::size_t k : d->key) r.key.push_back(r.values[k]);
  }
  return 1;
}

}  // namespace rt
