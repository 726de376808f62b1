#pragma once

// The runtime's only contact with the ODBC driver manager. Text crosses it as UTF-16
// (SQL_C_WCHAR) both ways, so neither the user's locale nor the driver's idea of it can
// change a character.

#include <sql.h>
#include <sqlext.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sqlvalue.h"

namespace rt::odbc {

// One ODBC handle, freed on every path.
class Handle {
 public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_))) h_ = nullptr;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& o) noexcept : type_(o.type_), h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      type_ = o.type_;
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~Handle() { reset(); }

  void reset() {
    if (h_ != nullptr) SQLFreeHandle(type_, h_);
    h_ = nullptr;
  }
  SQLHANDLE get() const noexcept { return h_; }
  SQLSMALLINT type() const noexcept { return type_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE h_ = nullptr;
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

  SQLHSTMT get() const noexcept { return kept_ ? kept_->stmt.get() : own_.get(); }
  explicit operator bool() const noexcept { return get() != nullptr; }
  // The driver's failure for the statement; a kept one is prepared again at its next use.
  Result failure() const;

 private:
  void release() noexcept;
  Handle own_;
  std::shared_ptr<Prepared> kept_;
};

// One connection to a data source, and what its statements have done since the last commit
// or rollback.
struct Connection {
  Handle env;
  Handle dbc;
  // The program connected and has not disconnected. The handles may be gone meanwhile (a
  // connection the server ended, not made again yet): the next statement makes them again.
  bool connected = false;
  // A statement other than a read ran since the last commit or rollback, with automatic
  // commit off: only the program's own commit or rollback ends the transaction now.
  bool changed = false;
  // A statement or the commit of this write transaction failed: once it is rolled back the
  // next transaction begins on a new connection, so a fault cleared meanwhile (a database
  // made writable, a setting of the server changed) needs no restart.
  bool failedWrite = false;
  bool renew = false;

  // What it was made with, for a connection made again.
  std::string connectString;
  bool autocommit = true;

  // The statements kept prepared, by SQL text. The driver says whether a commit or rollback
  // deletes prepared statements; where it does, each one empties this.
  std::map<std::string, std::shared_ptr<Prepared>> prepared;
  bool endingDeletesPrepared = false;
  void dropPrepared() { prepared.clear(); }

  // Connects with the connect string and commit mode; a driver that refuses the commit
  // mode leaves the connection unmade.
  Result open(const std::string& connectString, bool autocommit);
  // Lets go of the driver's connection (work not committed is rolled back) and frees the
  // handles; the program stays connected, for `reopen`.
  Result drop();
  // Drops the handles and connects again with the same connect string and commit mode.
  Result reopen();
  // The program's own disconnect.
  Result close();
};

// A statement's first word in lower case ("select", "update", ...).
std::string verbOf(const std::string& sql);

// How long a statement may wait (for a lock, say) before the driver gives up, in seconds.
inline constexpr SQLULEN kQueryTimeout = 5;

// Every statement passes here: prepares `sql` on a new statement of the connection (or
// takes the one kept prepared for it), with the query time-out, binds `params` to its
// markers and runs it. Returns the statement, ready to fetch from (`rc` is the run's
// result, SQL_NO_DATA for a change that touched no row), or an empty one with the failure
// in `result`. With automatic commit off anything but a SELECT counts as a change of the
// transaction. A statement that begins a transaction (nothing changed since the last commit
// or rollback) connects again first when the driver reports the connection dead, and when
// it fails because the connection is gone it connects again and runs once more: that
// transaction had changed and committed nothing. With automatic commit on, only a SELECT is
// run again (anything else may have committed). Inside a transaction that has changed rows
// a lost connection fails every statement until the program rolls back, since those changes
// went with it. A failure drops the kept statements: they are prepared again at their next
// run, as after a connection made again.
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

// Fetches the next row of `stmt`.
SQLRETURN fetch(SQLHSTMT stmt);

// The rows a change just run on `stmt` touched (`rc` is its run's result).
long changedRows(SQLHSTMT stmt, SQLRETURN rc);

// Reads column `col` of the fetched row; nullopt for null. False on a driver error.
bool readText(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<std::string>& out);
bool readInteger(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<long long>& out);
bool readReal(SQLHSTMT stmt, SQLUSMALLINT col, std::optional<double>& out);

// Fetches the remaining rows of `stmt`, each as `columns` texts. False on a driver error.
using TextRow = std::vector<std::optional<std::string>>;
bool fetchText(SQLHSTMT stmt, std::size_t columns, std::vector<TextRow>& rows);

}  // namespace rt::odbc
