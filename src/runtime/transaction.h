#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "object.h"
#include "sqlvalue.h"

namespace rt {

namespace odbc {
struct Result;
struct Connection;
}  // namespace odbc

// Where a fetched column goes. A null column makes the target null.
using SqlTarget =
    std::variant<std::optional<float>*, std::optional<double>*, std::optional<long long>*, std::optional<std::string>*>;

// The transaction object: one connection to a data source. Every operation sets
// `sqlcode` (0 success, 100 not found, -1 error) and, on error, `sqlerrtext` with the
// driver's own text.
class Transaction : public Object {
 public:
  RT_CLASS(transaction)
  Transaction();
  ~Transaction() override;

  std::string dbms;
  std::string database;
  std::string userid;
  std::string dbpass;
  std::string logid;
  std::string logpass;
  std::string servername;
  std::string lock;
  std::string dbparm;
  bool autocommit = true;

  long sqlcode = 0;
  long sqldbcode = 0;
  long sqlnrows = 0;
  std::string sqlstate;
  std::string sqlerrtext;

  int connect();
  // Ends the connection; work not committed is rolled back, never kept by accident.
  int disconnect();
  int commit();
  int rollback();
  bool connected() const noexcept;

  // Embedded SQL. Values are always bound to the statement's `?` markers.
  // A single-row select: the columns of the one row go to `into`, in order. No row sets
  // sqlcode 100 and leaves the targets as they were; more than one row is an error with
  // sqlstate "21000" (cardinality violation), the targets again unchanged. A lookup run
  // again and again passes Reuse::Kept: it is prepared once per connection.
  int selectInto(const std::string& sql, const std::vector<SqlValue>& params, const std::vector<SqlTarget>& into,
                 Reuse reuse = Reuse::No);
  // A statement without a result set (insert, update, delete); sqlnrows is the count.
  int execute(const std::string& sql, const std::vector<SqlValue>& params = {});

  // For the runtime's DataViews: the connection their statements run on, or nullptr when
  // not connected.
  odbc::Connection* connection() const noexcept;
  // Takes a result of the runtime's ODBC layer into sqlcode, sqldbcode, sqlstate,
  // sqlerrtext and sqlnrows; returns its code.
  long report(const odbc::Result& result);
  // How many statements the runtime has prepared on any connection since the program
  // started; for tests.
  static long preparedStatements();

 private:
  odbc::Result fetchOne(const std::string& sql, const std::vector<SqlValue>& params, const std::vector<SqlTarget>& into,
                        Reuse reuse);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A transaction scope: what is written inside it ends by its commit, or is rolled back when
// the scope ends without one (a runtime error between a write and its commit), so nothing
// is left pending for a later commit of any window to publish. Holds a transaction made by
// rt::create by reference; a destroyed one has nothing left to undo.
class TransactionScope {
 public:
  explicit TransactionScope(Transaction& transaction);
  ~TransactionScope();
  TransactionScope(const TransactionScope&) = delete;
  TransactionScope& operator=(const TransactionScope&) = delete;

  // The transaction's commit; once it has succeeded the scope undoes nothing.
  int commit();
  // The transaction's rollback, now.
  int rollback();

 private:
  Ref<Transaction> transaction_;
  bool open_ = true;
};

// The value of `key` in a dbparm text such as "ConnectString='DSN=vardo;PWD=x'".
std::optional<std::string> dbparmValue(const std::string& dbparm, const std::string& key);

}  // namespace rt
