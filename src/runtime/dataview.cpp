#include "dataview.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>
#include <cctype>
#include <map>

#include "odbc_p.h"
#include "transaction.h"

namespace rt {

namespace {

// A DataView object as its definition file (resources/dataviews/<name>.json) describes it:
//   "table"      the table the rows are selected from
//   "columns"    [{"name", "updatable"}], in the order of the select
//   "arguments"  [{"name", "type": "string"}], the retrieval arguments
//   "where"      [{"column", "argument"}], each a condition column = argument, all of them
//   "update"     {"table", "key": [column names]}: where changes go, and how a row is found
struct Definition {
  std::string table;
  std::vector<std::string> columns;
  std::vector<bool> updatable;
  std::vector<std::string> arguments;
  std::vector<std::pair<std::size_t, std::size_t>> where;  // column, argument
  std::string updateTable;
  std::vector<std::size_t> key;
  std::string select;

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

std::shared_ptr<const Definition> parse(const QJsonObject& o) {
  auto d = std::make_shared<Definition>();
  auto text = [](const QJsonValue& v) { return v.toString().toStdString(); };
  d->table = text(o["table"]);
  if (!isIdentifier(d->table)) return nullptr;
  for (const QJsonValue& c : o["columns"].toArray()) {
    d->columns.push_back(text(c["name"]));
    d->updatable.push_back(c["updatable"].toBool(false));
    if (!isIdentifier(d->columns.back()) || indexOf(d->columns, d->columns.back()) != d->columns.size() - 1)
      return nullptr;
  }
  if (d->columns.empty()) return nullptr;
  for (const QJsonValue& a : o["arguments"].toArray()) {
    if (a["type"].toString() != QStringLiteral("string")) return nullptr;
    d->arguments.push_back(text(a["name"]));
  }
  for (const QJsonValue& w : o["where"].toArray()) {
    auto col = d->column(text(w["column"]));
    auto arg = indexOf(d->arguments, text(w["argument"]));
    if (!col || !arg) return nullptr;
    d->where.emplace_back(*col, *arg);
  }
  if (o.contains("update")) {
    const QJsonObject u = o["update"].toObject();
    d->updateTable = text(u["table"]);
    for (const QJsonValue& k : u["key"].toArray()) {
      auto col = d->column(text(k));
      if (!col) return nullptr;
      d->key.push_back(*col);
    }
    if (!isIdentifier(d->updateTable) || d->key.empty()) return nullptr;
  }
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < d->columns.size(); ++i) sql += (i ? ", " : "") + d->columns[i];
  sql += " FROM " + d->table;
  for (std::size_t i = 0; i < d->where.size(); ++i)
    sql += (i ? " AND " : " WHERE ") + d->columns[d->where[i].first] + " = ?";
  d->select = std::move(sql);
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

  Transaction* transaction = nullptr;
  std::weak_ptr<Object> transactionOwner;  // empty for a transaction nobody shares
  bool transactionShared = false;

  // The definition `dataobject` names now.
  const Definition* definition(const std::string& name) {
    if (!def || defName != name) {
      def = definitionNamed(name);
      defName = name;
    }
    return def.get();
  }

  // The bound transaction, or null once it is gone.
  Transaction* bound() const {
    if (transactionShared) {
      auto owner = transactionOwner.lock();
      if (!owner || !owner->isValid()) return nullptr;
    }
    return transaction;
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

  // Writes one row's changes; false once the failure is reported on `t`.
  bool write(Transaction& t, const Definition& d, const Row& r) {
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
      if (params.empty()) return true;
      sql = "INSERT INTO " + d.updateTable + " (" + names + ") VALUES (" + markers + ")";
    } else {
      std::string set;
      for (std::size_t c = 0; c < d.columns.size(); ++c) {
        if (!r.changed[c] || !d.updatable[c]) continue;
        set += (set.empty() ? "" : ", ") + d.columns[c] + " = ?";
        params.push_back(param(r.values[c]));
      }
      if (params.empty()) return true;
      sql = "UPDATE " + d.updateTable + " SET " + set + " WHERE ";
      for (std::size_t k = 0; k < d.key.size(); ++k) {
        sql += (k ? " AND " : "") + d.columns[d.key[k]] + " = ?";
        params.push_back(param(r.key[k]));
      }
    }
    SQLRETURN rc = SQL_SUCCESS;
    odbc::Handle stmt = odbc::run(t, sql, params, rc);
    if (!stmt) return false;
    if (r.stored) {
      // The row must be found by its key exactly once: none means it went away since it
      // was retrieved; more than one means the key does not tell rows apart.
      const long n = odbc::changedRows(stmt.get(), rc);
      if (n == 0) {
        odbc::fail(t, "Row changed between retrieve and update.");
        return false;
      }
      if (n > 1) {
        odbc::fail(t, "The update of one row changed " + std::to_string(n) + " rows in table " + d.updateTable +
                          ".");
        return false;
      }
    }
    return true;
  }
};

DataView::DataView() : impl_(std::make_unique<Impl>()) {}
DataView::~DataView() = default;

QWidget* DataView::makeWidget(QWidget* parent) { return new QWidget(parent); }

void DataView::propertyChanged(const void* which) {
  if (which == &dataobject) impl_->clear();
  Control::propertyChanged(which);
}

int DataView::settransobject(Transaction& transaction) {
  impl_->transaction = &transaction;
  impl_->transactionOwner = transaction.weak_from_this();
  impl_->transactionShared = !impl_->transactionOwner.expired();
  return impl_->definition(dataobject) ? 1 : -1;
}

long DataView::retrieve(const std::vector<std::string>& arguments) {
  impl_->clear();
  const Definition* d = impl_->definition(dataobject);
  Transaction* t = impl_->bound();
  if (!d || !t || arguments.size() != d->arguments.size()) return -1;
  std::vector<SqlValue> params;
  for (const auto& [column, argument] : d->where) {
    (void)column;
    params.emplace_back(arguments[argument]);
  }
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Handle stmt = odbc::run(*t, d->select, params, rc);
  if (!stmt) return -1;
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt.get(), &columns);
  if (columns != static_cast<SQLSMALLINT>(d->columns.size())) {
    odbc::fail(*t, "The select of " + dataobject() + " returns " + std::to_string(columns) + " columns for " +
                       std::to_string(d->columns.size()));
    return -1;
  }
  std::vector<odbc::TextRow> found;
  if (!odbc::fetchText(stmt.get(), d->columns.size(), found)) {
    odbc::fail(*t, odbc::diagnose(SQL_HANDLE_STMT, stmt.get()));
    return -1;
  }
  for (auto& values : found) {
    Impl::Row r;
    r.values = std::move(values);
    r.changed.assign(d->columns.size(), false);
    r.stored = true;
    for (std::size_t k : d->key) r.key.push_back(r.values[k]);
    impl_->rows.push_back(std::move(r));
  }
  impl_->current = impl_->rows.empty() ? 0 : 1;
  odbc::succeed(*t);
  t->sqlnrows = static_cast<long>(impl_->rows.size());
  return static_cast<long>(impl_->rows.size());
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
  Transaction* t = impl_->bound();
  if (!d || !t) return -1;
  if (d->updateTable.empty()) {
    odbc::fail(*t, "DataView object " + dataobject() + " is not updatable");
    return -1;
  }
  for (const Impl::Row& r : impl_->rows)
    if (!impl_->write(*t, *d, r)) return -1;
  odbc::succeed(*t);
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
