#include "odbc_p.h"

#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cctype>

#include "runtime_p.h"

namespace rt::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager speaks UTF-16");

std::u16string widen(const std::string& utf8) {
  const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

std::string narrow(const char16_t* utf16, std::size_t length) {
  return QString::fromUtf16(utf16, static_cast<qsizetype>(length)).toStdString();
}

Result success(long rows) {
  Result r;
  r.rows = rows;
  return r;
}

Result failure(std::string text, std::string sqlstate, long native) {
  Result r;
  r.code = -1;
  r.sqlstate = std::move(sqlstate);
  r.native = native;
  r.text = std::move(text);
  return r;
}

Result failure(SQLSMALLINT type, SQLHANDLE handle) {
  std::string sqlstate, text;
  long native = 0;
  for (SQLSMALLINT i = 1;; ++i) {
    char16_t state[6] = {};
    SQLINTEGER code = 0;
    char16_t message[1024] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, i, reinterpret_cast<SQLWCHAR*>(state), &code,
                                  reinterpret_cast<SQLWCHAR*>(message), 1024, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (i == 1) {
      sqlstate = narrow(state, 5);
      native = code;
    }
    if (!text.empty()) text += '\n';
    text += narrow(message, static_cast<std::size_t>(std::clamp<SQLSMALLINT>(length, 0, 1023)));
  }
  if (text.empty()) text = "The database reported an error without a message.";
  return failure(std::move(text), std::move(sqlstate), native);
}

Waiting::Waiting(const char* call) : call_(call) {
  // Only a program with windows has a pointer to show it on.
  cursor_ = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  if (cursor_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (auto& hook = detail::hooks().driverCall) hook(call_, true);
}

Waiting::~Waiting() {
  if (cursor_) QGuiApplication::restoreOverrideCursor();
  if (auto& hook = detail::hooks().driverCall) hook(call_, false);
}

void Statement::release() noexcept {
  if (!kept_) return;
  // The cursor closes and the buffers bound for this run are let go; the statement stays
  // prepared.
  SQLFreeStmt(kept_->stmt.get(), SQL_CLOSE);
  SQLFreeStmt(kept_->stmt.get(), SQL_RESET_PARAMS);
  kept_->busy = false;
  kept_.reset();
}

Result Statement::failure() const {
  if (kept_) kept_->ready = false;
  return odbc::failure(SQL_HANDLE_STMT, get());
}

namespace {

std::atomic<long> prepares{0};

// Whether the driver deletes prepared statements when a transaction ends this way.
bool endingDeletes(SQLHDBC dbc, SQLUSMALLINT infoType) {
  SQLUSMALLINT behaviour = SQL_CB_PRESERVE;
  return SQL_SUCCEEDED(SQLGetInfo(dbc, infoType, &behaviour, sizeof behaviour, nullptr)) && behaviour == SQL_CB_DELETE;
}

// The parameter buffers, alive until the statement has run; texts are made wide first and
// never moved after binding.
struct Bound {
  std::vector<SqlValue> values;
  std::vector<std::u16string> texts;
  std::vector<SQLLEN> indicators;
};

bool bindAll(SQLHSTMT stmt, Bound& b) {
  b.indicators.assign(b.values.size(), 0);
  b.texts.assign(b.values.size(), {});
  for (std::size_t i = 0; i < b.values.size(); ++i) {
    const auto n = static_cast<SQLUSMALLINT>(i + 1);
    SqlValue& v = b.values[i];
    SQLLEN& ind = b.indicators[i];
    SQLRETURN rc;
    if (std::holds_alternative<std::monostate>(v)) {
      ind = SQL_NULL_DATA;
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0, nullptr, 0, &ind);
    } else if (auto* i64 = std::get_if<long long>(&v)) {
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, i64, 0, &ind);
    } else if (auto* d = std::get_if<double>(&v)) {
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, d, 0, &ind);
    } else {
      std::u16string& s = b.texts[i] = widen(std::get<std::string>(v));
      ind = static_cast<SQLLEN>(s.size() * sizeof(char16_t));
      rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, s.empty() ? 1 : s.size(), 0, s.data(),
                            ind, &ind);
    }
    if (!SQL_SUCCEEDED(rc)) return false;
  }
  return true;
}

}  // namespace

std::string verbOf(const std::string& sql) {
  const std::size_t b = sql.find_first_not_of(" \t\r\n(");
  if (b == std::string::npos) return {};
  std::size_t e = b;
  while (e < sql.size() && std::isalpha(static_cast<unsigned char>(sql[e]))) ++e;
  std::string verb = sql.substr(b, e - b);
  for (char& c : verb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return verb;
}

namespace {
const char* const kLost = "The connection to the database was lost; what was not committed is gone.";

// Whether the driver knows the connection is gone (the server ended it or went away).
bool isDead(const Connection& c) {
  SQLUINTEGER dead = SQL_CD_FALSE;
  return SQL_SUCCEEDED(SQLGetConnectAttr(c.dbc.get(), SQL_ATTR_CONNECTION_DEAD, &dead, SQL_IS_UINTEGER, nullptr)) &&
         dead == SQL_CD_TRUE;
}

// Whether a statement failed because the connection is gone: a connection exception, the
// server shutting down or restarting (57P01 to 57P03), or the driver finding it dead.
bool lostWith(const Connection& c, const Result& failed) {
  const std::string& state = failed.sqlstate;
  return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03" || isDead(c);
}
}  // namespace

Result Connection::open(const std::string& how, bool commitEach) {
  dropPrepared();
  Handle newEnv(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!newEnv) return failure("The ODBC driver manager could not be loaded");
  SQLSetEnvAttr(newEnv.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  Handle newDbc(SQL_HANDLE_DBC, newEnv.get());
  if (!newDbc) return failure(SQL_HANDLE_ENV, newEnv.get());
  std::u16string wide = widen(how);
  SQLRETURN rc;
  {
    Waiting wait("connect");
    rc = SQLDriverConnectW(newDbc.get(), nullptr, reinterpret_cast<SQLWCHAR*>(wide.data()),
                           static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  }
  if (!SQL_SUCCEEDED(rc)) return failure(SQL_HANDLE_DBC, newDbc.get());
  env = std::move(newEnv);
  dbc = std::move(newDbc);
  rc = SQLSetConnectAttr(dbc.get(), SQL_ATTR_AUTOCOMMIT,
                         reinterpret_cast<SQLPOINTER>(commitEach ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                         SQL_IS_UINTEGER);
  if (!SQL_SUCCEEDED(rc)) {
    // Working without the asked-for commit mode would commit or keep changes behind the
    // program's back: report it and leave the connection unmade.
    const Result refused = failure(SQL_HANDLE_DBC, dbc.get());
    drop();
    return refused;
  }
  connected = true;
  changed = failedWrite = renew = false;
  connectString = how;
  autocommit = commitEach;
  endingDeletesPrepared =
      endingDeletes(dbc.get(), SQL_CURSOR_COMMIT_BEHAVIOR) || endingDeletes(dbc.get(), SQL_CURSOR_ROLLBACK_BEHAVIOR);
  return success();
}

Result Connection::drop() {
  // Kept statements are freed while their connection is still there.
  dropPrepared();
  Result result = success();
  if (dbc) {
    Waiting wait("disconnect");
    SQLEndTran(SQL_HANDLE_DBC, dbc.get(), SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(SQLDisconnect(dbc.get()))) result = failure(SQL_HANDLE_DBC, dbc.get());
  }
  dbc.reset();
  env.reset();
  changed = failedWrite = renew = false;
  return result;
}

Result Connection::reopen() {
  const std::string how = connectString;
  const bool commitEach = autocommit;
  drop();
  return open(how, commitEach);
}

Result Connection::close() {
  const Result result = drop();
  connected = false;
  return result;
}

long prepareCount() { return prepares.load(); }

namespace {

// One run of a statement on the connection as it is.
Statement attempt(Connection& connection, const std::string& sql, const std::vector<SqlValue>& params, SQLRETURN& rc,
                  Result& result, Reuse reuse) {
  SQLHDBC dbc = connection.dbc.get();
  std::shared_ptr<Prepared> kept;
  if (reuse == Reuse::Kept) {
    std::shared_ptr<Prepared>& slot = connection.prepared[sql];
    if (!slot) slot = std::make_shared<Prepared>();
    // The same text run again while its kept statement is still in use gets one of its own.
    if (!slot->busy) kept = slot;
  }
  Statement stmt;
  if (kept) {
    if (!kept->stmt) kept->stmt = Handle(SQL_HANDLE_STMT, dbc);
    if (kept->stmt) stmt = Statement(kept);
  } else {
    stmt = Statement(Handle(SQL_HANDLE_STMT, dbc));
  }
  if (!stmt) {
    result = failure(SQL_HANDLE_DBC, dbc);
    connection.dropPrepared();
    return {};
  }
  // Even a change that fails may have begun the transaction's work: the program ends it.
  if (!connection.autocommit && verbOf(sql) != "select") connection.changed = true;
  rc = SQL_SUCCESS;
  if (!kept || !kept->ready) {
    // A lock held elsewhere makes the statement fail after a few seconds instead of
    // freezing the window; a driver that cannot time statements out runs them as they are.
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(kQueryTimeout), 0);
    std::u16string text = widen(sql);
    ++prepares;
    {
      Waiting wait("prepare");
      rc = SQLPrepareW(stmt.get(), reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
    }
    if (kept) kept->ready = SQL_SUCCEEDED(rc);
  }
  Bound bound{params, {}, {}};
  if (SQL_SUCCEEDED(rc) && !bindAll(stmt.get(), bound)) rc = SQL_ERROR;
  if (SQL_SUCCEEDED(rc)) {
    Waiting wait("execute");
    rc = SQLExecute(stmt.get());
  }
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    result = failure(SQL_HANDLE_STMT, stmt.get());
    connection.dropPrepared();
    return {};  // the failed statement is freed here, before anything closes its connection
  }
  result = success();
  return stmt;
}

}  // namespace

Statement run(Connection* connection, const std::string& sql, const std::vector<SqlValue>& params, SQLRETURN& rc,
              Result& result, Reuse reuse) {
  if (connection == nullptr || !connection->connected) {
    result = failure("Transaction not connected");
    return {};
  }
  // Judged before the statement marks the transaction changed.
  const bool begins = !connection->changed;
  if (begins && (!connection->dbc || connection->renew || isDead(*connection))) {
    // Nothing of this transaction is lost with the old connection: make it again.
    result = connection->reopen();
    if (result.code != 0) return {};
  }
  Statement stmt = attempt(*connection, sql, params, rc, result, reuse);
  if (!stmt && begins && lostWith(*connection, result)) {
    // A change with automatic commit on may have committed before the loss: it is never
    // run twice, and the next statement gets a new connection.
    if (connection->autocommit && verbOf(sql) != "select") {
      connection->renew = true;
      return {};
    }
    // The driver learnt of the loss only from this statement (a server restarted since the
    // last one): the transaction it began went with the connection, so it runs once more on
    // a new one. Still down, the reconnect's failure is the statement's.
    result = connection->reopen();
    if (result.code != 0) return {};
    stmt = attempt(*connection, sql, params, rc, result, reuse);
  }
  if (!stmt && connection->changed) connection->failedWrite = true;
  return stmt;
}

void readDone(Connection* connection) {
  if (connection && connection->dbc && !connection->changed) {
    {
      Waiting wait("rollback");
      SQLEndTran(SQL_HANDLE_DBC, connection->dbc.get(), SQL_ROLLBACK);
    }
    if (connection->endingDeletesPrepared) connection->dropPrepared();
  }
}

Result endTransaction(Connection* connection, SQLSMALLINT how) {
  if (connection == nullptr || !connection->connected) return failure("Transaction not connected");
  Connection& c = *connection;
  const bool commit = how == SQL_COMMIT;
  if (!commit && c.failedWrite) {
    // The write failed; whatever its cause, the next transaction gets a new connection.
    c.failedWrite = false;
    c.renew = true;
  }
  SQLHDBC dbc = c.dbc.get();
  if (dbc == nullptr) {
    // Lost and not made again yet: there is nothing to roll back, and nothing to commit
    // unless the changes went with the old connection.
    if (commit && c.changed) {
      c.failedWrite = true;
      return failure(kLost, "08S01");
    }
    c.changed = false;
    return success();
  }
  // A driver may report a commit on a connection the server ended as a success: the
  // changes went with the connection, so it is a failure.
  if (commit && c.changed && isDead(c)) {
    c.failedWrite = true;
    return failure(kLost, "08S01");
  }
  SQLRETURN rc;
  {
    Waiting wait(commit ? "commit" : "rollback");
    rc = SQLEndTran(SQL_HANDLE_DBC, dbc, how);
  }
  if (c.endingDeletesPrepared) c.dropPrepared();
  if (!SQL_SUCCEEDED(rc)) {
    const Result failed = failure(SQL_HANDLE_DBC, dbc);
    if (commit && c.changed) c.failedWrite = true;
    // A connection about to be replaced takes its work with it: nothing is left to end.
    if (!commit && c.renew) c.changed = false;
    return failed;
  }
  c.changed = false;
  return success();
}

long changedRows(SQLHSTMT stmt, SQLRETURN rc) {
  if (rc == SQL_NO_DATA) return 0;
  SQLLEN count = 0;
  if (!SQL_SUCCEEDED(SQLRowCount(stmt, &count)) || count < 0) return 0;
  return static_cast<long>(count);
}

bool readText(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<std::string>& out) {
  std::u16string value;
  char16_t buf[512];
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(stmt, col, SQL_C_WCHAR, buf, sizeof buf, &ind);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) return false;
    if (ind == SQL_NULL_DATA) {
      out.reset();
      return true;
    }
    // A part that did not fit fills the buffer but for its terminating zero.
    const std::size_t room = std::size(buf) - 1;
    const std::size_t got =
        (ind == SQL_NO_TOTAL || ind / static_cast<SQLLEN>(sizeof(char16_t)) > static_cast<SQLLEN>(room))
            ? room
            : static_cast<std::size_t>(ind) / sizeof(char16_t);
    value.append(buf, got);
    if (rc == SQL_SUCCESS) break;
  }
  out = narrow(value.data(), value.size());
  return true;
}

namespace {
template <class T, SQLSMALLINT CType>
bool readNumber(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<T>& out) {
  T value{};
  SQLLEN ind = 0;
  SQLRETURN rc = SQLGetData(stmt, col, CType, &value, sizeof value, &ind);
  if (!SQL_SUCCEEDED(rc)) return false;
  if (ind == SQL_NULL_DATA)
    out.reset();
  else
    out = value;
  return true;
}
}  // namespace

bool readInteger(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<long long>& out) {
  return readNumber<long long, SQL_C_SBIGINT>(stmt, col, out);
}

bool readReal(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<double>& out) {
  return readNumber<double, SQL_C_DOUBLE>(stmt, col, out);
}

SQLRETURN fetch(SQLHSTMT stmt) {
  Waiting wait("fetch");
  return SQLFetch(stmt);
}

bool fetchText(SQLHSTMT stmt, std::size_t columns, std::vector<TextRow>& rows) {
  for (;;) {
    SQLRETURN rc = fetch(stmt);
    if (rc == SQL_NO_DATA) return true;
    if (!SQL_SUCCEEDED(rc)) return false;
    TextRow row(columns);
    for (std::size_t i = 0; i < columns; ++i)
      if (!readText(stmt, static_cast<SQLUSMALLINT>(i + 1), row[i])) return false;
    rows.push_back(std::move(row));
  }
}

}  // namespace rt::odbc
