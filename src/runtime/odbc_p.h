#pragma once

// The runtime's only contact with the ODBC driver manager. Text crosses it as UTF-16
// (SQL_C_WCHAR) both ways, so neither the user's locale nor the driver's idea of it can
// change a character.

#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sqlvalue.h"

namespace rt::odbc {

class Driver;

// One ODBC handle, freed on every path. A handle of a connection whose driver thread has
// given that connection up is not the program's to free any more: it goes to that thread,
// which frees it once the call it is stuck in returns.
class Handle {
 public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent, std::shared_ptr<Driver> driver = {});
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& o) noexcept : type_(o.type_), h_(std::exchange(o.h_, nullptr)), driver_(std::move(o.driver_)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      type_ = o.type_;
      h_ = std::exchange(o.h_, nullptr);
      driver_ = std::move(o.driver_);
    }
    return *this;
  }
  ~Handle() { reset(); }

  void reset() noexcept;
  SQLHANDLE get() const noexcept { return h_; }
  SQLSMALLINT type() const noexcept { return type_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  // The thread its server calls run on; null for a handle of no connection (an environment
  // being made).
  const std::shared_ptr<Driver>& driver() const noexcept { return driver_; }
  // The program may still call the driver on it.
  bool usable() const noexcept;

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE h_ = nullptr;
  std::shared_ptr<Driver> driver_;
};

// What a call came to: `code` 0 success, 100 not found, -1 error; for an error the
// driver's SQLSTATE, native code and its own text; the rows a change touched or a read
// found. The caller copies it where its own results go.
struct Result {
  long code = 0;
  std::string sqlstate;
  long native = 0;
  std::string text;
  long rows = 0;
};
Result success(long rows = 0);
Result failure(std::string text, std::string sqlstate = {}, long native = -1);
// The failure the driver reports for the last call on a handle, its messages one a line.
Result failure(SQLSMALLINT type, SQLHANDLE handle);

std::u16string widen(const std::string& utf8);
std::string narrow(const char16_t* utf16, std::size_t length);

// While one lives the runtime waits on the driver for `call` ("execute", "commit", ...):
// the pointer is the wait cursor, put back as soon as the call returns.
class Waiting {
 public:
  explicit Waiting(const char* call);
  ~Waiting();
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

 private:
  const char* call_;
  bool cursor_ = false;
};

// How long a statement may wait (for a lock, say) before the driver gives up, in seconds.
inline constexpr SQLULEN kQueryTimeout = 5;
// How long the program waits for any one call that can wait on the server: longer than the
// statement time-out, so a lock held elsewhere still ends with the server's own time-out.
inline constexpr int kCallBoundSeconds = static_cast<int>(kQueryTimeout) + 3;

// The thread one connection's driver calls run on, so that the program's thread waits for
// each of them for at most kCallBoundSeconds, whatever the server or the network does. The
// program's thread waits without running events: only the wait is bounded, nothing else
// changes. A call not answered in time gives the connection up for good: the program never
// calls the driver on its handles again (a call on it would wait behind the stuck one);
// they are handed to this thread, which rolls back, disconnects and frees them once the
// stuck call has returned, and then ends.
class Driver {
 public:
  Driver();
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  using Job = std::function<SQLRETURN()>;
  // Runs `job` on the thread; its result, or nullopt when it was not answered in time (the
  // connection is then given up). The pointer is the wait cursor meanwhile. A job owns
  // what it reads (texts, bound values): a given-up one may still be running after the
  // program has moved on.
  std::optional<SQLRETURN> call(const char* name, Job job);
  bool givenUp() const noexcept;
  // A handle of this connection the program lets go of after the give-up.
  void adopt(SQLSMALLINT type, SQLHANDLE handle);
  // Every handle has been handed over: the thread ends the connection after the stuck call.
  void finish();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// The runtime's text for a call not answered in time ("HYT01"); `call` says which
// ("commit": whether the changes were stored is not known).
Result unanswered(std::string_view call);

// A statement the connection keeps prepared for its SQL text.
struct Prepared {
  Handle stmt;
  bool ready = false;  // prepared, and not spoiled by a failure since
  bool busy = false;   // a Statement is using it now
};

// What `run` hands back: a statement of its own, or one the connection keeps prepared. A
// kept one has its cursor closed when this ends, so it holds no read open.
class Statement {
 public:
  Statement() = default;
  explicit Statement(Handle own) : own_(std::move(own)) {}
  explicit Statement(std::shared_ptr<Prepared> kept) : kept_(std::move(kept)) { kept_->busy = true; }
  Statement(Statement&& o) noexcept = default;
  Statement& operator=(Statement&& o) noexcept {
    if (this != &o) {
      release();
      own_ = std::move(o.own_);
      kept_ = std::move(o.kept_);
    }
    return *this;
  }
  ~Statement() { release(); }

  SQLHSTMT get() const noexcept { return handle().get(); }
  explicit operator bool() const noexcept { return get() != nullptr; }
  // The driver's failure for the statement; a kept one is prepared again at its next use.
  Result failure() const;
  // Runs one driver call on the statement's connection thread, bounded; a call not
  // answered in time is the runtime's failure.
  SQLRETURN call(const char* name, Driver::Job job, Result& failed) const;
  // Fetches the next row: SQL_NO_DATA after the last, SQL_ERROR with the failure in `failed`.
  SQLRETURN fetch(Result& failed) const;

 private:
  const Handle& handle() const noexcept { return kept_ ? kept_->stmt : own_; }
  void release() noexcept;
  Handle own_;
  std::shared_ptr<Prepared> kept_;
};

// One connection to a data source and where its transaction stands. Each rule of the
// transaction is one move of `state`; the moves are the member functions below and `run`.
//
// The runtime takes a SELECT to change nothing: one that does (SELECT ... FOR UPDATE, or a
// function that writes) loses that work unnoticed, rolled back at the read's end or dropped
// with a connection made again. The program runs none.
struct Connection {
  enum class State {
    Closed,   // the program has not connected, or has disconnected
    Idle,     // nothing changed since the last commit or rollback: a statement begins one
    Changed,  // a change ran with automatic commit off: only the program's commit or rollback ends it
    Failed,   // a change or the commit of the changed transaction failed: however it ends, the
              // next transaction gets a new connection, so a fault cleared meanwhile (a
              // database made writable, a server setting changed) needs no restart
    Lost,     // the connection went (given up) while the transaction had changed rows: every
              // statement and commit fails until the program rolls back
    Renew,    // nothing changed, and the next statement connects again first (the handles
              // may be gone already)
  };
  State state = State::Closed;

  Handle env;
  Handle dbc;
  std::shared_ptr<Driver> driver;

  // What it was made with, for a connection made again.
  std::string connectString;
  bool autocommit = true;

  // The statements kept prepared, by SQL text. The driver says whether a commit or rollback
  // deletes prepared statements; where it does, each one empties this.
  std::map<std::string, std::shared_ptr<Prepared>> prepared;
  bool endingDeletesPrepared = false;
  void dropPrepared() { prepared.clear(); }

  bool connected() const noexcept { return state != State::Closed; }
  // A statement now would begin a transaction: nothing changed since the last commit or
  // rollback.
  bool begins() const noexcept { return state == State::Idle || state == State::Renew; }
  bool changed() const noexcept { return !begins() && connected(); }

  // Connects with the connect string and commit mode; a driver that refuses the commit
  // mode leaves the connection unmade.
  Result open(const std::string& connectString, bool autocommit);
  // Runs a call on the connection's thread, bounded; not answered in time, the connection
  // is given up (nullopt).
  std::optional<SQLRETURN> call(const char* name, Driver::Job job);
  // A call on the connection was not answered in time: its handles go to its thread, and
  // its transaction with them. While rows were changed every statement now fails until the
  // program rolls back; otherwise the next statement connects again.
  void giveUp();
  // Gives the connection up if a call run outside this object (a fetch) was not answered;
  // true when the connection was given up just now.
  bool settle();
  // Lets go of the driver's connection (work not committed is rolled back) and frees the
  // handles.
  Result drop();
  // Drops the handles and connects again with the same connect string and commit mode;
  // unmade, the next statement tries again.
  Result reopen();
  // The program's own disconnect.
  Result close();
  // A change is about to run: with automatic commit off it is the transaction's now.
  void changing();
  // A statement failed: in a changed transaction, that transaction has failed.
  void failed();
  // The program's commit or rollback.
  Result end(SQLSMALLINT how);
};

// A statement's first word in lower case ("select", "update", ...).
std::string verbOf(const std::string& sql);

// Every statement passes here: prepares `sql` on a new statement of the connection (or
// takes the one kept prepared for it), with the query time-out, binds `params` to its
// markers and runs it. Returns the statement, ready to fetch from (`rc` is the run's
// result, SQL_NO_DATA for a change that touched no row), or an empty one with the failure
// in `result`. With automatic commit off anything but a SELECT counts as a change of the
// transaction. A statement that begins a transaction (nothing changed since the last commit
// or rollback) connects again first when the driver reports the connection dead, and when
// it fails because the connection is gone it connects again and runs once more: that
// transaction had changed and committed nothing. With automatic commit on, only a SELECT is
// run again (anything else may have committed). A call not answered in time is not run
// again: the server may still be frozen. Inside a transaction that has changed rows a lost
// connection fails every statement until the program rolls back, since those changes went
// with it. A failure drops the kept statements: they are prepared again at their next run,
// as after a connection made again.
Statement run(Connection* connection, const std::string& sql, const std::vector<SqlValue>& params, SQLRETURN& rc,
              Result& result, Reuse reuse = Reuse::No);

// How many statements `run` has prepared since the program started.
long prepareCount();

// A read is over and its statement freed: while the transaction has changed nothing, it
// ends here, so the next read sees what is committed now and the server holds nothing for
// this connection meanwhile.
void readDone(Connection* connection);

// Commits or rolls back the connection's transaction.
Result endTransaction(Connection* connection, SQLSMALLINT how);

// The rows a change just run on `stmt` touched (`rc` is its run's result).
long changedRows(SQLHSTMT stmt, SQLRETURN rc);

// Reads column `col` of the fetched row; nullopt for null. False on a driver error.
bool readText(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<std::string>& out);
bool readInteger(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<long long>& out);
bool readReal(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<double>& out);

// Fetches the remaining rows of `stmt`, each as `columns` texts. False with the failure in
// `failed` on an error.
using TextRow = std::vector<std::optional<std::string>>;
bool fetchText(const Statement& stmt, std::size_t columns, std::vector<TextRow>& rows, Result& failed);

}  // namespace rt::odbc
