#include "transaction.h"

#include <cctype>
#include <cmath>

#include "odbc_p.h"
#include "strings.h"

namespace rt {

struct Transaction::Impl : odbc::Connection {};

Transaction::Transaction() : impl_(std::make_unique<Impl>()) {}

Transaction::~Transaction() {
  if (impl_->connected()) impl_->close();
}

std::optional<std::string> dbparmValue(const std::string& dbparm, const std::string& key) {
  // Items are  Name='value'  separated by commas; a quote inside a value is doubled.
  std::size_t i = 0;
  while (i < dbparm.size()) {
    std::size_t eq = dbparm.find('=', i);
    if (eq == std::string::npos) break;
    std::string name = trim(dbparm.substr(i, eq - i));
    std::size_t j = eq + 1;
    while (j < dbparm.size() && dbparm[j] == ' ') ++j;
    std::string value;
    if (j < dbparm.size() && dbparm[j] == '\'') {
      ++j;
      while (j < dbparm.size()) {
        if (dbparm[j] == '\'') {
          if (j + 1 < dbparm.size() && dbparm[j + 1] == '\'') {
            value += '\'';
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        value += dbparm[j++];
      }
      std::size_t comma = dbparm.find(',', j);
      i = comma == std::string::npos ? dbparm.size() : comma + 1;
    } else {
      std::size_t comma = dbparm.find(',', j);
      value = trim(dbparm.substr(j, comma == std::string::npos ? std::string::npos : comma - j));
      i = comma == std::string::npos ? dbparm.size() : comma + 1;
    }
    if (lower(name) == lower(key)) return value;
  }
  return std::nullopt;
}

long Transaction::report(const odbc::Result& result) {
  sqlcode = result.code;
  sqldbcode = result.native;
  sqlstate = result.sqlstate;
  sqlerrtext = result.text;
  sqlnrows = result.rows;
  return result.code;
}

int Transaction::connect() {
  if (impl_->connected()) return report(odbc::failure("Transaction already connected"));
  if (lower(trim(dbms)) != "odbc") return report(odbc::failure("Database interface \"" + dbms + "\" is not supported"));
  std::string connectString;
  if (auto cs = dbparmValue(dbparm, "ConnectString")) {
    connectString = *cs;
  } else if (!database.empty()) {
    connectString = "DSN=" + database;
  } else {
    return report(odbc::failure("No data source named in the connection parameters"));
  }
  if (!userid.empty() && connectString.find("UID=") == std::string::npos) connectString += ";UID=" + userid;

  return report(impl_->open(connectString, autocommit));
}

int Transaction::disconnect() {
  if (!impl_->connected()) return report(odbc::failure("Transaction not connected"));
  return report(impl_->close());
}

int Transaction::commit() { return report(odbc::endTransaction(connection(), SQL_COMMIT)); }

int Transaction::rollback() { return report(odbc::endTransaction(connection(), SQL_ROLLBACK)); }

TransactionScope::TransactionScope(Transaction& transaction)
    : transaction_(std::static_pointer_cast<Transaction>(transaction.weak_from_this().lock())) {}

TransactionScope::~TransactionScope() {
  if (open_ && transaction_) transaction_->rollback();
}

int TransactionScope::commit() {
  const int rc = transaction_->commit();
  if (rc == 0) open_ = false;
  return rc;
}

int TransactionScope::rollback() {
  open_ = false;
  return transaction_->rollback();
}

bool Transaction::connected() const noexcept { return impl_->connected(); }

long Transaction::preparedStatements() { return odbc::prepareCount(); }

odbc::Connection* Transaction::connection() const noexcept { return impl_->connected() ? impl_.get() : nullptr; }

namespace {

// One fetched row, held until the select is known to have found exactly one.
using FetchedValue =
    std::variant<std::optional<float>, std::optional<double>, std::optional<long long>, std::optional<std::string>>;

bool readColumn(SQLHSTMT stmt, SQLUSMALLINT col, const SqlTarget& target, FetchedValue& out) {
  return std::visit(
      [&](auto* ptr) -> bool {
        using Opt = std::remove_pointer_t<decltype(ptr)>;
        using T = typename Opt::value_type;
        Opt v;
        bool ok;
        if constexpr (std::is_same_v<T, std::string>) {
          ok = odbc::readText(stmt, col, v);
        } else if constexpr (std::is_same_v<T, long long>) {
          ok = odbc::readInteger(stmt, col, v);
        } else {
          std::optional<double> d;
          ok = odbc::readReal(stmt, col, d);
          if (d) v = static_cast<T>(*d);
        }
        out = std::move(v);
        return ok;
      },
      target);
}

// Whether the statement is an INSERT, UPDATE or DELETE.
bool changesRows(const std::string& sql) {
  const std::string verb = odbc::verbOf(sql);
  return verb == "insert" || verb == "update" || verb == "delete";
}

}  // namespace

int Transaction::selectInto(const std::string& sql, const std::vector<SqlValue>& params,
                            const std::vector<SqlTarget>& into, Reuse reuse) {
  const odbc::Result result = fetchOne(sql, params, into, reuse);
  odbc::readDone(connection());
  return report(result);
}

odbc::Result Transaction::fetchOne(const std::string& sql, const std::vector<SqlValue>& params,
                                   const std::vector<SqlTarget>& into, Reuse reuse) {
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Result result;
  // Ends before the read does (readDone), so a kept statement's cursor holds nothing open.
  odbc::Statement stmt = odbc::run(connection(), sql, params, rc, result, reuse);
  if (!stmt) return result;
  auto failStmt = [&] { return stmt.failure(); };
  odbc::Result failed;
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt.get(), &columns);
  if (columns != static_cast<SQLSMALLINT>(into.size()))
    return odbc::failure("The select returns " + std::to_string(columns) + " columns for " +
                         std::to_string(into.size()) + " variables");
  rc = stmt.fetch(failed);
  if (rc == SQL_NO_DATA) {
    odbc::Result none = odbc::success();
    none.code = 100;
    return none;
  }
  if (!SQL_SUCCEEDED(rc)) return failed;
  std::vector<FetchedValue> row(into.size());
  for (std::size_t i = 0; i < into.size(); ++i)
    if (!readColumn(stmt.get(), static_cast<SQLUSMALLINT>(i + 1), into[i], row[i])) return failStmt();
  rc = stmt.fetch(failed);
  // More than one row: a cardinality violation.
  if (SQL_SUCCEEDED(rc)) return odbc::failure("Select returned more than one row", "21000");
  if (rc != SQL_NO_DATA) return failed;
  for (std::size_t i = 0; i < into.size(); ++i) {
    std::visit(
        [&](auto* ptr) {
          using Opt = std::remove_pointer_t<decltype(ptr)>;
          *ptr = std::get<Opt>(row[i]);
        },
        into[i]);
  }
  return odbc::success(1);
}

int Transaction::execute(const std::string& sql, const std::vector<SqlValue>& params) {
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Result result;
  odbc::Statement stmt = odbc::run(connection(), sql, params, rc, result);
  if (!stmt) return report(result);
  result = odbc::success(odbc::changedRows(stmt.get(), rc));
  // "Not found" belongs to a change that found no row, not to a statement that has no rows
  // to count (a CREATE, a SET, ...).
  if (result.rows == 0 && changesRows(sql)) result.code = 100;
  return report(result);
}

}  // namespace rt
