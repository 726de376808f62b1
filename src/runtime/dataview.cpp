#include "dataview.h"

#include <QFile>
#include <QJsonDocument>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <map>

#include "dataview_p.h"
#include "dataview_page_p.h"
#include "dataview_rows_p.h"
#include "event.h"
#include "runtime_p.h"
#include "transaction.h"
#include "units.h"
#include "widgets_p.h"

namespace rt {

namespace {

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
  detail::RowSetDefinition rows;  // no table: no row set
  detail::PageDefinition page;
};

std::shared_ptr<const Definition> parse(const QJsonObject& o) {
  auto d = std::make_shared<Definition>();
  const bool rowSet = o.contains("table"), page = o.contains("objects") || o.contains("color");
  if (!rowSet && !page) return nullptr;
  if (rowSet && !detail::parseRowSet(o, d->rows)) return nullptr;
  if (page && !detail::parsePage(o, d->page)) return nullptr;
  return d;
}

// The definition named `name`, read once from the resources; null when there is none or
// it is malformed.
std::shared_ptr<const Definition> definitionNamed(const std::string& name) {
  static std::map<std::string, std::shared_ptr<const Definition>> loaded;
  if (!detail::isIdentifier(name)) return nullptr;
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

}  // namespace

// The one DataView the windows use, over its object's two sides.
struct DataView::Impl {
  std::shared_ptr<const Definition> def;
  std::string defName;
  detail::RowSet rows;
  detail::Page page;

  // The definition `dataobject` names now; a page newly named starts as defined.
  const Definition* definition(const std::string& name) {
    if (!def || defName != name) {
      def = definitionNamed(name);
      defName = name;
      page.reset(def ? &def->page : nullptr);
    }
    return def.get();
  }
};

// ---- The control's widget: draws the page and reports the pointer.

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
    dv->impl_->definition(dv->dataobject);
    QPainter p(this);
    dv->impl_->page.paint(p, rect(), dv->border);
  }

  void hideEvent(QHideEvent* e) override {
    if (DataView* dv = owner_.raw(); dv && !e->spontaneous()) dv->impl_->page.releasePictures();
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    Ref<DataView> dv = owner_;
    const QPoint at = e->position().toPoint();
    if (!dv || !rect().contains(at)) return;
    dv->impl_->page.pointer = at;
    showPointer(*dv, at);
    const unsigned long flags = mouseFlags(e->buttons(), e->modifiers());
    const int xu = units::toUnitsX(at.x()), yu = units::toUnitsY(at.y());
    dispatchEvent(*dv, "mousemove", [&] { dv->mousemove(flags, xu, yu); });
  }

  void mousePressEvent(QMouseEvent* e) override {
    pressed_ = e->button() == Qt::LeftButton;
    if (DataView* dv = owner_.raw()) dv->impl_->page.pointer = e->position().toPoint();
  }

  // The clicked event runs on release, so a window it opens never opens inside the press.
  void mouseReleaseEvent(QMouseEvent* e) override {
    Ref<DataView> dv = owner_;
    const QPoint at = e->position().toPoint();
    if (!pressed_ || e->button() != Qt::LeftButton || !dv || !rect().contains(at)) return;
    pressed_ = false;
    dv->impl_->page.pointer = at;
    const detail::PageObject* o = dv->impl_->page.objectAt(at);
    const std::string name = o ? o->name : std::string();
    const int xu = units::toUnitsX(at.x()), yu = units::toUnitsY(at.y());
    dispatchEvent(*dv, "clicked", [&] { dv->clicked(xu, yu, 0, name); });
  }

  void leaveEvent(QEvent* e) override {
    QWidget::leaveEvent(e);
    if (DataView* dv = owner_.raw()) dv->impl_->page.pointer.reset();
  }

 private:
  // The object's own pointer over an object that has one, the control's elsewhere.
  void showPointer(const DataView& dv, const QPoint& at) {
    const detail::PageObject* o = dv.impl_->page.objectAt(at);
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
    impl_->rows.clear();
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
  return impl_->page.describe(expression);
}

std::string DataView::modify(const std::string& expression) {
  impl_->definition(dataobject);
  const std::string error = impl_->page.modify(expression);
  if (widget()) widget()->update();
  return error;
}

std::string DataView::getobjectatpointer() const { return impl_->page.getobjectatpointer(); }

int DataView::settransobject(Transaction& transaction) {
  // Only a transaction the runtime made can be held by reference: of any other, nothing
  // would tell once it is gone.
  if (transaction.weak_from_this().expired()) {
    impl_->rows.transaction.reset();
    return -1;
  }
  impl_->rows.transaction = refTo(transaction);
  return impl_->definition(dataobject) ? 1 : -1;
}

long DataView::retrieve(const std::vector<std::string>& arguments) {
  impl_->rows.clear();
  const Definition* d = impl_->definition(dataobject);
  return d ? impl_->rows.retrieve(d->rows, dataobject, arguments) : -1;
}

long DataView::insertrow(long row) {
  const Definition* d = impl_->definition(dataobject);
  return d ? impl_->rows.insertrow(d->rows, row) : -1;
}

long DataView::rowcount() const noexcept { return impl_->rows.rowcount(); }

long DataView::getrow() const noexcept { return impl_->rows.getrow(); }

std::optional<std::string> DataView::getitemstring(long row, const std::string& column) const {
  return impl_->def ? impl_->rows.getitemstring(impl_->def->rows, row, column) : std::nullopt;
}

int DataView::setitem(long row, const std::string& column, const std::string& value) {
  return impl_->def ? impl_->rows.setitem(impl_->def->rows, row, column, value) : -1;
}

int DataView::accepttext() { return 1; }

int DataView::update() {
  const Definition* d = impl_->definition(dataobject);
  return d ? impl_->rows.update(d->rows, dataobject) : -1;
}

int DataView::resetupdate() {
  const Definition* d = impl_->definition(dataobject);
  return d ? impl_->rows.resetupdate(d->rows) : -1;
}

}  // namespace rt
