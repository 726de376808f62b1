#pragma once

// The SQL-backed side of a DataView object: the rows its select finds, changed in memory and
// written back through the transaction it is bound to. Private to the runtime.

#include <QJsonObject>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "object.h"

namespace rt {
class Transaction;
namespace odbc {
struct Result;
struct Connection;
}  // namespace odbc
}  // namespace rt

namespace rt::detail {

// A row set as its definition describes it (see dataview.cpp); an empty table for none.
struct RowSetDefinition {
  std::string table;
  std::vector<std::string> columns;
  std::vector<bool> updatable;
  std::vector<std::string> arguments;
  std::vector<std::pair<std::size_t, std::size_t>> where;  // column, argument
  std::string updateTable;
  std::vector<std::size_t> key;
  std::string select;

  std::optional<std::size_t> column(const std::string& name) const;
};
// False when the definition is malformed.
bool parseRowSet(const QJsonObject& o, RowSetDefinition& d);

// The rows held, the current row and the bound transaction; the DataView's row functions
// over the definition its object names now (`name` only for messages).
class RowSet {
 public:
  Ref<Transaction> transaction;  // reads as null once the transaction is destroyed

  void clear();
  long retrieve(const RowSetDefinition& d, const std::string& name, const std::vector<std::string>& arguments);
  long insertrow(const RowSetDefinition& d, long row);
  long rowcount() const noexcept { return static_cast<long>(rows_.size()); }
  long getrow() const noexcept { return current_; }
  std::optional<std::string> getitemstring(const RowSetDefinition& d, long row, const std::string& column) const;
  int setitem(const RowSetDefinition& d, long row, const std::string& column, const std::string& value);
  int update(const RowSetDefinition& d, const std::string& name);
  int resetupdate(const RowSetDefinition& d);

 private:
  using Value = std::optional<std::string>;
  struct Row {
    std::vector<Value> values;
    std::vector<bool> changed;
    bool stored = false;     // the row is in the table: retrieved, or written and committed
    std::vector<Value> key;  // its key as stored, which finds it there
  };
  Row* row(long n);
  const Row* row(long n) const { return const_cast<RowSet*>(this)->row(n); }
  static bool hasWrites(const RowSetDefinition& d, const Row& r);
  // Writes one row's changes on `dbc`: success, or what failed.
  static odbc::Result write(odbc::Connection* connection, const RowSetDefinition& d, const Row& r);
  // The retrieve's statement and fetch; the read ends after it, whatever it came to.
  odbc::Result fetchAll(Transaction& t, const RowSetDefinition& d, const std::string& name,
                        const std::vector<std::string>& arguments);

  std::vector<Row> rows_;
  long current_ = 0;
};

}  // namespace rt::detail
