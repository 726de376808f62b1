#include "transaction.h"

#include <cctype>
#include <cmath>

#include "odbc_p.h"
#include "strings.h"

namespace rt {

struct Transaction::Impl {
  odbc::Handle env;
  odbc::Handle dbc;
  bool connected = false;
};

Transaction::Transaction() : impl_(std::make_unique<Impl>()) {}

Transaction::~Transaction() {
  if (impl_->connected) {
    SQLEndTran(SQL_HANDLE_DBC, impl_->dbc.get(), SQL_ROLLBACK);
    SQLDisconnect(impl_->dbc.get());
  }
}

namespace {


}  // namespace

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

using odbc::fail;
using odbc::succeed;

int Transaction::connect() {
  sqlnrows = 0;
  if (impl_->connected) {
    fail(*this, "Transaction already connected");
    return -1;
  }
  if (lower(trim(dbms)) != "odbc") {
    fail(*this, "Database interface \"" + dbms + "\" is not supported");
    return -1;
  }
  std::string connectString;
  if (auto cs = dbparmValue(dbparm, "ConnectString")) {
    connectString = *cs;
  } else if (!database.empty()) {
    connectString = "DSN=" + database;
  } else {
    fail(*this, "No data source named in the connection parameters");
    return -1;
  }
  if (!userid.empty() && connectString.find("UID=") == std::string::npos)
    connectString += ";UID=" + userid;

  odbc::Handle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!env) {
    fail(*this, "The ODBC driver manager could not be loaded");
    return -1;
  }
  SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  odbc::Handle dbc(SQL_HANDLE_DBC, env.get());
  if (!dbc) {
    fail(*this, odbc::diagnose(SQL_HANDLE_ENV, env.get()));
    return -1;
  }
  std::u16string wide = odbc::widen(connectString);
  SQLRETURN rc = SQLDriverConnectW(dbc.get(), nullptr, reinterpret_cast<SQLWCHAR*>(wide.data()),
                                   static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr,
                                   SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    fail(*this, odbc::diagnose(SQL_HANDLE_DBC, dbc.get()));
    return -1;
  }
  rc = SQLSetConnectAttr(dbc.get(), SQL_ATTR_AUTOCOMMIT,
                         reinterpret_cast<SQLPOINTER>(autocommit ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                         SQL_IS_UINTEGER);
  if (!SQL_SUCCEEDED(rc)) {
    // Working without the asked-for commit mode would commit or keep changes behind the
    // program's back: report it and stay disconnected.
    fail(*this, odbc::diagnose(SQL_HANDLE_DBC, dbc.get()));
    SQLDisconnect(dbc.get());
    return -1;
  }
  impl_->env = std::move(env);
  impl_->dbc = std::move(dbc);
  impl_->connected = true;
  succeed(*this);
  return 0;
}

int Transaction::disconnect() {
  sqlnrows = 0;
  if (!impl_->connected) {
    fail(*this, "Transaction not connected");
    return -1;
  }
  if (!autocommit) SQLEndTran(SQL_HANDLE_DBC, impl_->dbc.get(), SQL_ROLLBACK);
  SQLRETURN rc = SQLDisconnect(impl_->dbc.get());
  odbc::Diagnostic d;
  if (!SQL_SUCCEEDED(rc)) d = odbc::diagnose(SQL_HANDLE_DBC, impl_->dbc.get());
  impl_->dbc.reset();
  impl_->env.reset();
  impl_->connected = false;
  if (!SQL_SUCCEEDED(rc)) {
    fail(*this, d);
    return -1;
  }
  succeed(*this);
  return 0;
}

namespace {

int endTransaction(Transaction& t, void* dbc, bool connected, SQLSMALLINT how) {
  t.sqlnrows = 0;
  if (!connected) {
    fail(t, "Transaction not connected");
    return -1;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc, how);
  if (!SQL_SUCCEEDED(rc)) {
    fail(t, odbc::diagnose(SQL_HANDLE_DBC, dbc));
    return -1;
  }
  return 0;
}

}  // namespace

int Transaction::commit() {
  if (endTransaction(*this, impl_->dbc.get(), impl_->connected, SQL_COMMIT) != 0) return -1;
  succeed(*this);
  return 0;
}

int Transaction::rollback() {
  if (endTransaction(*this, impl_->dbc.get(), impl_->connected, SQL_ROLLBACK) != 0) return -1;
  succeed(*this);
  return 0;
}

bool Transaction::connected() const noexcept { return impl_->connected; }

void* Transaction::nativeConnection() const noexcept {
  return impl_->connected ? impl_->dbc.get() : nullptr;
}

namespace {

// One fetched row, held until the select is known to have found exactly one.
using FetchedValue = std::variant<std::optional<float>, std::optional<double>,
                                  std::optional<long long>, std::optional<std::string>>;

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

// Whether the statement is an INSERT, UPDATE or DELETE, by its first word.
bool changesRows(const std::string& sql) {
  std::size_t b = sql.find_first_not_of(" \t\r\n(");
  if (b == std::string::npos) return false;
  std::size_t e = b;
  while (e < sql.size() && std::isalpha(static_cast<unsigned char>(sql[e]))) ++e;
  const std::string verb = lower(sql.substr(b, e - b));
  return verb == "insert" || verb == "update" || verb == "delete";
}

}  // namespace

int Transaction::selectInto(const std::string& sql, const std::vector<SqlValue>& params,
                            const std::vector<SqlTarget>& into) {
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Handle stmt = odbc::run(*this, sql, params, rc);
  if (!stmt) return -1;
  auto failStmt = [&] {
    fail(*this, odbc::diagnose(SQL_HANDLE_STMT, stmt.get()));
    return -1;
  };
  SQLSMALLINT columns = 0;
  SQLNumResultCols(stmt.get(), &columns);
  if (columns != static_cast<SQLSMALLINT>(into.size())) {
    fail(*this, "The select returns " + std::to_string(columns) + " columns for " +
                    std::to_string(into.size()) + " variables");
    return -1;
  }
  rc = SQLFetch(stmt.get());
  if (rc == SQL_NO_DATA) {
    succeed(*this);
    sqlcode = 100;
    return 100;
  }
  if (!SQL_SUCCEEDED(rc)) return failStmt();
  std::vector<FetchedValue> row(into.size());
  for (std::size_t i = 0; i < into.size(); ++i)
    if (!readColumn(stmt.get(), static_cast<SQLUSMALLINT>(i + 1), into[i], row[i])) return failStmt();
  rc = SQLFetch(stmt.get());
  if (SQL_SUCCEEDED(rc)) {
    fail(*this, "Select returned more than one row", "21000");  // cardinality violation
    return -1;
  }
  if (rc != SQL_NO_DATA) return failStmt();
  for (std::size_t i = 0; i < into.size(); ++i) {
    std::visit(
        [&](auto* ptr) {
          using Opt = std::remove_pointer_t<decltype(ptr)>;
          *ptr = std::get<Opt>(row[i]);
        },
        into[i]);
  }
  succeed(*this);
  sqlnrows = 1;
  return 0;
}

int Transaction::execute(const std::string& sql, const std::vector<SqlValue>& params) {
  SQLRETURN rc = SQL_SUCCESS;
  odbc::Handle stmt = odbc::run(*this, sql, params, rc);
  if (!stmt) return -1;
  const long count = odbc::changedRows(stmt.get(), rc);
  succeed(*this);
  sqlnrows = count;
  // "Not found" belongs to a change that found no row, not to a statement that has no rows
  // to count (a CREATE, a SET, ...).
  if (sqlnrows == 0 && changesRows(sql)) {
    sqlcode = 100;
    return 100;
  }
  return 0;
}

}  // namespace rt
