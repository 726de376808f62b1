#include "dataview_rows_p.h"

#include <QJsonArray>

#include "dataview_p.h"
#include "msgbox.h"
#include "odbc_p.h"
#include "transaction.h"

namespace rt::detail {

std::optional<std::size_t> RowSetDefinition::column(const std::string& name) const { return indexOf(columns, name); }

bool parseRowSet(const QJsonObject& o, RowSetDefinition& d) {
  auto text = [](const QJsonValue& v) { return v.toString().toStdString(); };
  d.table = text(o["table"]);
  if (!isIdentifier(d.table)) return false;
  for (const QJsonValue& c : o["columns"].toArray()) {
    d.columns.push_back(text(c["name"]));
    d.updatable.push_back(c["updatable"].toBool(false));
    if (!isIdentifier(d.columns.back()) || indexOf(d.columns, d.columns.back()) != d.columns.size() - 1) return false;
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

namespace {

using Value = std::optional<std::string>;

SqlValue param(const Value& v) { return v ? SqlValue(*v) : SqlValue(std::monostate{}); }

}  // namespace

RowSet::Row* RowSet::row(long n) {
  if (n < 1 || n > rowcount()) return nullptr;
  return &rows_[static_cast<std::size_t>(n - 1)];
}

// Whether update() has something of the row to write.
bool RowSet::hasWrites(const RowSetDefinition& d, const Row& r) {
  for (std::size_t c = 0; c < d.columns.size(); ++c)
    if (r.changed[c] && d.updatable[c]) return true;
  return false;
}

void RowSet::clear() {
  rows_.clear();
  current_ = 0;
}

long RowSet::retrieve(const RowSetDefinition& d, const std::string& name, const std::vector<std::string>& arguments) {
  Transaction* t = transaction.raw();
  if (!t || d.table.empty() || arguments.size() != d.arguments.size()) return -1;
  // Refused before any statement runs: the caller's own handling says what it means.
  if (t->connection() == nullptr) return t->report(odbc::failure("Transaction not connected"));
  const odbc::Result result = fetchAll(*t, d, name, arguments);
  odbc::readDone(t->connection());
  if (result.code != 0) {
    // A failed retrieve would otherwise look like one that found no row: the window goes on
    // as it does for none, but the user has been told why.
    t->report(result);
    messagebox("错误", t->sqlerrtext);
    return -1;
  }
  t->report(result);
  return rowcount();
}

odbc::Result RowSet::fetchAll(Transaction& t, const RowSetDefinition& d, const std::string& name,
                              const std::vector<std::string>& arguments) {
  std::vector<SqlValue> params;
  for (const auto& [column, argument] : d.where) {
    (void)column;
    params.emplace_back(arguments[argument]);
  }
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Result result;
  odbc::Statement stmt = odbc::run(t.connection(), d.select, params, rc, result);
  if (!stmt) return result;
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt.get(), &columns);
  if (columns != static_cast<SQLSMALLINT>(d.columns.size()))
    return odbc::failure("The select of " + name + " returns " + std::to_string(columns) + " columns for " +
                         std::to_string(d.columns.size()));
  std::vector<odbc::TextRow> found;
  if (!odbc::fetchText(stmt, d.columns.size(), found, result)) return result;
  for (auto& values : found) {
    Row r;
    r.values = std::move(values);
    r.changed.assign(d.columns.size(), false);
    r.stored = true;
    for (std::size_t k : d.key) r.key.push_back(r.values[k]);
    rows_.push_back(std::move(r));
  }
  current_ = rows_.empty() ? 0 : 1;
  return odbc::success(rowcount());
}

long RowSet::insertrow(const RowSetDefinition& d, long row) {
  const long count = rowcount();
  if (row < 0 || row > count) return -1;
  const long at = row == 0 ? count + 1 : row;
  Row r;
  r.values.assign(d.columns.size(), std::nullopt);
  r.changed.assign(d.columns.size(), false);
  rows_.insert(rows_.begin() + (at - 1), std::move(r));
  if (current_ == 0)
    current_ = at;
  else if (current_ >= at)
    ++current_;
  return at;
}

std::optional<std::string> RowSet::getitemstring(const RowSetDefinition& d, long row, const std::string& column) const {
  const Row* r = this->row(row);
  if (!r) return std::nullopt;
  auto c = d.column(column);
  if (!c) return std::nullopt;
  return r->values[*c];
}

int RowSet::setitem(const RowSetDefinition& d, long row, const std::string& column, const std::string& value) {
  Row* r = this->row(row);
  if (!r) return -1;
  auto c = d.column(column);
  if (!c) return -1;
  r->values[*c] = value;
  r->changed[*c] = true;
  return 1;
}

odbc::Result RowSet::write(odbc::Connection* connection, const RowSetDefinition& d, const Row& r) {
  std::vector<SqlValue> params;
  std::string sql;
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
  odbc::Statement stmt = odbc::run(connection, sql, params, rc, result);
  if (!stmt) return result;
  if (r.stored) {
    // The row must be found by its key exactly once: none means it went away since it
    // was retrieved; more than one means the key does not tell rows apart.
    const long n = odbc::changedRows(stmt.get(), rc);
    if (n == 0) return odbc::failure("Row changed between retrieve and update.");
    if (n > 1)
      return odbc::failure("The update of one row changed " + std::to_string(n) + " rows in table " + d.updateTable +
                           ".");
  }
  return odbc::success();
}

int RowSet::update(const RowSetDefinition& d, const std::string& name) {
  Transaction* t = transaction.raw();
  if (!t) return -1;
  if (d.updateTable.empty()) return t->report(odbc::failure("DataView object " + name + " is not updatable"));
  for (const Row& r : rows_) {
    const odbc::Result result = write(t->connection(), d, r);
    if (result.code != 0) return t->report(result);
  }
  t->report(odbc::success());
  return 1;
}

int RowSet::resetupdate(const RowSetDefinition& d) {
  for (Row& r : rows_) {
    // A row inserted and never written is still not in the table.
    if (!r.stored && !hasWrites(d, r)) continue;
    r.stored = true;
    r.changed.assign(r.changed.size(), false);
    r.key.clear();
    for (std::size_t k : d.key) r.key.push_back(r.values[k]);
  }
  return 1;
}

}  // namespace rt::detail
