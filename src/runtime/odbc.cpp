#include "odbc_p.h"

#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

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

namespace {

// Set once the process is ending: a driver thread whose stuck call returns then makes no
// further driver calls while the process's static objects are being destroyed.
std::atomic<bool> exiting{false};

}  // namespace

struct Driver::Shared {
  std::mutex mutex;
  std::condition_variable work;
  std::deque<std::function<void()>> jobs;
  bool stop = false;
  std::atomic<bool> givenUp{false};
  // The handles the program let go of after the give-up, for the thread to end.
  std::vector<std::pair<SQLSMALLINT, SQLHANDLE>> adopted;
  std::thread thread;

  void loop() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex);
        work.wait(lock, [&] { return stop || !jobs.empty(); });
        if (jobs.empty()) return;
        job = std::move(jobs.front());
        jobs.pop_front();
      }
      job();
    }
  }

  void post(std::function<void()> job) {
    {
      std::lock_guard lock(mutex);
      jobs.push_back(std::move(job));
    }
    work.notify_one();
  }

  // Runs after the stuck call has returned: statements first, then the connection (what
  // it had not committed rolled back), then its environment.
  void endGivenUp() {
    std::vector<std::pair<SQLSMALLINT, SQLHANDLE>> handles;
    {
      std::lock_guard lock(mutex);
      handles.swap(adopted);
      stop = true;
    }
    if (exiting) return;
    std::stable_sort(handles.begin(), handles.end(), [](const auto& a, const auto& b) {
      auto rank = [](SQLSMALLINT type) { return type == SQL_HANDLE_STMT ? 0 : type == SQL_HANDLE_DBC ? 1 : 2; };
      return rank(a.first) < rank(b.first);
    });
    for (const auto& [type, handle] : handles) {
      if (exiting) return;
      if (type == SQL_HANDLE_DBC) {
        SQLEndTran(SQL_HANDLE_DBC, handle, SQL_ROLLBACK);
        SQLDisconnect(handle);
      }
      SQLFreeHandle(type, handle);
    }
  }
};

Driver::Driver() : shared_(std::make_shared<Shared>()) {
  static std::once_flag registered;
  std::call_once(registered, [] { std::atexit([] { exiting = true; }); });
  shared_->thread = std::thread([shared = shared_] { shared->loop(); });
}

Driver::~Driver() {
  if (shared_->givenUp) {
    // Every handle has been handed over by now; the thread ends them after the stuck call.
    shared_->post([shared = shared_] { shared->endGivenUp(); });
    return;
  }
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
  }
  shared_->work.notify_one();
  shared_->thread.join();
}

std::optional<SQLRETURN> Driver::call(const char* name, Job job) {
  if (shared_->givenUp) return std::nullopt;
  auto task = std::make_shared<std::packaged_task<SQLRETURN()>>(std::move(job));
  std::future<SQLRETURN> done = task->get_future();
  Waiting wait(name);
  shared_->post([task] { (*task)(); });
  if (done.wait_for(std::chrono::seconds(kCallBoundSeconds)) == std::future_status::ready) return done.get();
  // Never joined: the program does not wait for a call it has given up, not even at exit.
  shared_->givenUp = true;
  shared_->thread.detach();
  return std::nullopt;
}

bool Driver::givenUp() const noexcept { return shared_->givenUp; }

void Driver::adopt(SQLSMALLINT type, SQLHANDLE handle) {
  std::lock_guard lock(shared_->mutex);
  shared_->adopted.emplace_back(type, handle);
}

Result unanswered(std::string_view call) {
  std::string text = "The database server did not answer within " + std::to_string(kCallBoundSeconds) + " seconds; ";
  if (call == "commit")
    text += "whether the changes were stored is not known.";
  else if (call == "connect")
    text += "no connection was made.";
  else
    text += "what was not committed is gone.";
  return failure(std::move(text), "HYT01");
}

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent, std::shared_ptr<Driver> driver)
    : type_(type), driver_(std::move(driver)) {
  if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_))) h_ = nullptr;
}

void Handle::reset() noexcept {
  if (h_ != nullptr) {
    if (driver_ && driver_->givenUp())
      driver_->adopt(type_, h_);
    else
      SQLFreeHandle(type_, h_);
  }
  h_ = nullptr;
  driver_.reset();
}

bool Handle::usable() const noexcept { return h_ != nullptr && !(driver_ && driver_->givenUp()); }

void Statement::release() noexcept {
  if (!kept_) return;
  // The cursor closes and the buffers bound for this run are let go; the statement stays
  // prepared.
  if (kept_->stmt.usable()) {
    SQLFreeStmt(kept_->stmt.get(), SQL_CLOSE);
    SQLFreeStmt(kept_->stmt.get(), SQL_RESET_PARAMS);
  }
  kept_->busy = false;
  kept_.reset();
}

Result Statement::failure() const {
  if (kept_) kept_->ready = false;
  return odbc::failure(SQL_HANDLE_STMT, get());
}

SQLRETURN Statement::call(const char* name, Driver::Job job, Result& failed) const {
  const std::optional<SQLRETURN> rc = handle().driver()->call(name, std::move(job));
  if (!rc) {
    failed = unanswered(name);
    return SQL_ERROR;
  }
  if (!SQL_SUCCEEDED(*rc) && *rc != SQL_NO_DATA) failed = failure();
  return *rc;
}

SQLRETURN Statement::fetch(Result& failed) const {
  return call(
      "fetch", [stmt = get()] { return SQLFetch(stmt); }, failed);
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

// Whether a call failed because the connection is gone: a connection exception, the
// server shutting down or restarting (57P01 to 57P03), or the driver finding it dead. A
// call not answered in time is none: the server may still be frozen.
bool lostWith(const Connection& c, const Result& failed) {
  const std::string& state = failed.sqlstate;
  return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03" || isDead(c);
}
}  // namespace

Result Connection::open(const std::string& how, bool commitEach) {
  dropPrepared();
  auto newDriver = std::make_shared<Driver>();
  Handle newEnv(SQL_HANDLE_ENV, SQL_NULL_HANDLE, newDriver);
  if (!newEnv) return failure("The ODBC driver manager could not be loaded");
  SQLSetEnvAttr(newEnv.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  Handle newDbc(SQL_HANDLE_DBC, newEnv.get(), newDriver);
  if (!newDbc) return failure(SQL_HANDLE_ENV, newEnv.get());
  // A driver that honours it gives up on a host that went away with its own text.
  SQLSetConnectAttr(newDbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kQueryTimeout), SQL_IS_UINTEGER);
  struct Made {
    SQLRETURN mode = SQL_ERROR;
    bool endingDeletes = false;
  };
  auto made = std::make_shared<Made>();
  const std::optional<SQLRETURN> rc =
      newDriver->call("connect", [dbc = newDbc.get(), wide = widen(how), made, commitEach]() mutable {
        SQLRETURN connected =
            SQLDriverConnectW(dbc, nullptr, reinterpret_cast<SQLWCHAR*>(wide.data()),
                              static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(connected)) return connected;
        made->mode = SQLSetConnectAttr(
            dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(commitEach ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
            SQL_IS_UINTEGER);
        made->endingDeletes =
            endingDeletes(dbc, SQL_CURSOR_COMMIT_BEHAVIOR) || endingDeletes(dbc, SQL_CURSOR_ROLLBACK_BEHAVIOR);
        return connected;
      });
  if (!rc) return unanswered("connect");
  if (!SQL_SUCCEEDED(*rc)) return failure(SQL_HANDLE_DBC, newDbc.get());
  if (!SQL_SUCCEEDED(made->mode)) {
    // Working without the asked-for commit mode would commit or keep changes behind the
    // program's back: report it and leave the connection unmade.
    const Result refused = failure(SQL_HANDLE_DBC, newDbc.get());
    newDriver->call("disconnect", [dbc = newDbc.get()] { return SQLDisconnect(dbc); });
    return refused;
  }
  env = std::move(newEnv);
  dbc = std::move(newDbc);
  driver = std::move(newDriver);
  state = State::Idle;
  connectString = how;
  autocommit = commitEach;
  endingDeletesPrepared = made->endingDeletes;
  return success();
}

std::optional<SQLRETURN> Connection::call(const char* name, Driver::Job job) {
  std::optional<SQLRETURN> rc = driver->call(name, std::move(job));
  if (!rc) giveUp();
  return rc;
}

void Connection::giveUp() {
  // The handles go to the connection's thread as they are let go of; the driver last.
  dropPrepared();
  dbc.reset();
  env.reset();
  driver.reset();
  if (connected()) state = changed() ? State::Lost : State::Renew;
}

bool Connection::settle() {
  if (!driver || !driver->givenUp()) return false;
  giveUp();
  return true;
}

Result Connection::drop() {
  // Kept statements are freed while their connection is still there.
  dropPrepared();
  Result result = success();
  if (dbc.usable()) {
    const std::optional<SQLRETURN> rc = driver->call("disconnect", [dbc = dbc.get()] {
      SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
      return SQLDisconnect(dbc);
    });
    if (!rc)
      result = unanswered("disconnect");
    else if (!SQL_SUCCEEDED(*rc))
      result = failure(SQL_HANDLE_DBC, dbc.get());
  }
  dbc.reset();
  env.reset();
  driver.reset();
  return result;
}

Result Connection::reopen() {
  drop();
  state = State::Renew;
  return open(connectString, autocommit);
}

Result Connection::close() {
  settle();
  const Result result = drop();
  state = State::Closed;
  return result;
}

void Connection::changing() {
  if (!autocommit && state == State::Idle) state = State::Changed;
}

void Connection::failed() {
  if (state == State::Changed) state = State::Failed;
}

Result Connection::end(SQLSMALLINT how) {
  settle();
  const bool commit = how == SQL_COMMIT;
  if (state == State::Lost) {
    // Those changes went with the connection: nothing to commit, and nothing left to roll
    // back.
    if (commit) return failure(kLost, "08S01");
    state = State::Renew;
    return success();
  }
  if (!dbc) return success();  // not made again yet: nothing has begun
  // A driver may report a commit on a connection the server ended as a success: the
  // changes went with the connection, so it is a failure.
  if (commit && changed() && isDead(*this)) {
    failed();
    return failure(kLost, "08S01");
  }
  const State was = state;
  const char* name = commit ? "commit" : "rollback";
  const std::optional<SQLRETURN> rc =
      call(name, [dbc = dbc.get(), how] { return SQLEndTran(SQL_HANDLE_DBC, dbc, how); });
  if (!rc) {
    // Its thread rolls back what the rollback asked to; a commit's outcome is not known,
    // so its transaction is lost until the program rolls back.
    if (!commit) state = State::Renew;
    return unanswered(name);
  }
  if (endingDeletesPrepared) dropPrepared();
  Result result = SQL_SUCCEEDED(*rc) ? success() : failure(SQL_HANDLE_DBC, dbc.get());
  if (commit) {
    // A failed write transaction, however it ends, leaves a new connection for the next.
    if (was == State::Failed)
      state = State::Renew;
    else if (was == State::Changed)
      state = result.code == 0 ? State::Idle : State::Failed;
    return result;
  }
  if (result.code != 0 && lostWith(*this, result)) {
    // The server has thrown that work away already, which is what a rollback asks for.
    result = success();
    state = State::Renew;
  } else if (result.code != 0 || was == State::Failed) {
    state = State::Renew;
  } else if (was == State::Changed) {
    state = State::Idle;
  }
  return result;
}

long prepareCount() { return prepares.load(); }

namespace {

// One run of a statement on the connection as it is.
Statement attempt(Connection& connection, const std::string& sql, bool reads, const std::vector<SqlValue>& params,
                  SQLRETURN& rc, Result& result, Reuse reuse) {
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
    if (!kept->stmt) kept->stmt = Handle(SQL_HANDLE_STMT, dbc, connection.driver);
    if (kept->stmt) stmt = Statement(kept);
  } else {
    stmt = Statement(Handle(SQL_HANDLE_STMT, dbc, connection.driver));
  }
  if (!stmt) {
    result = failure(SQL_HANDLE_DBC, dbc);
    connection.dropPrepared();
    return {};
  }
  // Even a change that fails may have begun the transaction's work: the program ends it.
  if (!reads) connection.changing();
  rc = SQL_SUCCESS;
  if (!kept || !kept->ready) {
    // A lock held elsewhere makes the statement fail after a few seconds instead of
    // freezing the window; a driver that cannot time statements out runs them as they are.
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(kQueryTimeout), 0);
    ++prepares;
    rc = stmt.call(
        "prepare",
        [h = stmt.get(), text = widen(sql)]() mutable {
          return SQLPrepareW(h, reinterpret_cast<SQLWCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
        },
        result);
    if (kept) kept->ready = SQL_SUCCEEDED(rc);
  }
  // The values stay with the call: a call given up may still read them.
  auto bound = std::make_shared<Bound>(Bound{params, {}, {}});
  if (SQL_SUCCEEDED(rc) && !bindAll(stmt.get(), *bound)) {
    rc = SQL_ERROR;
    result = stmt.failure();
  }
  if (SQL_SUCCEEDED(rc))
    rc = stmt.call(
        "execute", [h = stmt.get(), bound] { return SQLExecute(h); }, result);
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    connection.dropPrepared();
    return {};  // the failed statement is freed here, before anything closes its connection
  }
  result = success();
  return stmt;
}

}  // namespace

Statement run(Connection* connection, const std::string& sql, const std::vector<SqlValue>& params, SQLRETURN& rc,
              Result& result, Reuse reuse) {
  if (connection == nullptr || !connection->connected()) {
    result = failure("Transaction not connected");
    return {};
  }
  Connection& c = *connection;
  c.settle();
  if (c.state == Connection::State::Lost) {
    result = failure(kLost, "08S01");
    return {};
  }
  const bool reads = verbOf(sql) == "select";
  // Judged before the statement marks the transaction changed.
  const bool begins = c.begins();
  if (begins && (c.state == Connection::State::Renew || !c.dbc || isDead(c))) {
    // Nothing of this transaction is lost with the old connection: make it again.
    result = c.reopen();
    if (result.code != 0) return {};
  }
  Statement stmt = attempt(c, sql, reads, params, rc, result, reuse);
  if (!stmt && !c.settle() && begins && lostWith(c, result)) {
    // Found lost: whatever the driver says of it later, the next statement connects again.
    c.state = Connection::State::Renew;
    // A change with automatic commit on may have committed before the loss: it is never
    // run twice.
    if (c.autocommit && !reads) return {};
    // The driver learnt of the loss only from this statement (a server restarted since the
    // last one): the transaction it began went with the connection, so it runs once more on
    // a new one. Still down, the reconnect's failure is the statement's.
    result = c.reopen();
    if (result.code != 0) return {};
    stmt = attempt(c, sql, reads, params, rc, result, reuse);
    if (!stmt) c.settle();
  }
  if (!stmt) c.failed();
  return stmt;
}

void readDone(Connection* connection) {
  if (connection == nullptr || connection->settle() || connection->state != Connection::State::Idle || !connection->dbc)
    return;
  const std::optional<SQLRETURN> rc = connection->call(
      "rollback", [dbc = connection->dbc.get()] { return SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK); });
  if (rc && connection->endingDeletesPrepared) connection->dropPrepared();
}

Result endTransaction(Connection* connection, SQLSMALLINT how) {
  if (connection == nullptr || !connection->connected()) return failure("Transaction not connected");
  return connection->end(how);
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

bool fetchText(const Statement& stmt, std::size_t columns, std::vector<TextRow>& rows, Result& failed) {
  for (;;) {
    SQLRETURN rc = stmt.fetch(failed);
    if (rc == SQL_NO_DATA) return true;
    if (!SQL_SUCCEEDED(rc)) return false;
    TextRow row(columns);
    for (std::size_t i = 0; i < columns; ++i)
      if (!readText(stmt.get(), static_cast<SQLUSMALLINT>(i + 1), row[i])) {
        failed = stmt.failure();
        return false;
      }
    rows.push_back(std::move(row));
  }
}

}  // namespace rt::odbc
