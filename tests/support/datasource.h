#pragma once

#include <string>

namespace support {

// A data source of the test's own: a temporary folder with its own odbc.ini (ODBCINI) and
// data folder (XDG_DATA_HOME), so no test ever sees the user's data source.
// The driver manager reads odbc.ini once per process, so a process makes one data source
// at most: a second one is refused (ctest runs every test in a process of its own).
class TempDataSource {
 public:
  // "vardo" made by the project's own set-up step, as a user gets it: a copy of the one the
  // build made once.
  static TempDataSource standard();
  // An odbc.ini with exactly this text; "{dir}" stands for the temporary folder.
  static TempDataSource withIni(const std::string& text);
  // No data source at all.
  static TempDataSource none() { return withIni(""); }
  // "vardo" on a fresh database of its own in the private PostgreSQL server whose socket
  // folder is `socketDir`: a clone of the one the server made at its start from the same
  // schema files. odbc.ini names `user` as the role to connect as.
  static TempDataSource postgres(const std::string& socketDir, const std::string& user = "orvida");

  TempDataSource(TempDataSource&&) noexcept;
  ~TempDataSource();

  const std::string& dir() const { return dir_; }
  std::string database() const;  // the SQLite file of the standard data source
  // Runs the set-up step again in this folder; returns its exit status.
  int runSetup() const;
  // Runs `sql` through a client of its own (sqlite3 or psql), not through ODBC, and
  // returns what it prints, without the final line break.
  std::string query(const std::string& sql) const;
  // The database refuses every INSERT and UPDATE of xmsz ("xmsz refused", by a trigger),
  // until allowWrites().
  void refuseWrites() const;
  void allowWrites() const;
  // Another program that runs `begin`, holds what it began for `seconds`, then runs `end`,
  // while the test goes on.
  void holdInBackground(const std::string& begin, int seconds, const std::string& end);
  // That program ends at once, killed before its `end`: what it held is let go.
  void endHolder();
  // Whether another connection holds a lock on `table`: on PostgreSQL one granted in
  // `pgMode` (as pg_locks names it, "ExclusiveLock") in this database, on SQLite the
  // database's write lock.
  bool lockedElsewhere(const std::string& table, const std::string& pgMode) const;
  // How many connections to this PostgreSQL database sit idle inside a transaction, holding
  // what they read locked.
  int idleInTransaction() const;
  // The server process of the program's connection to this PostgreSQL database: the one
  // other client connection pg_stat_activity shows for it. Throws unless there is exactly one.
  int programBackendPid() const;
  // The server ends every other connection to this PostgreSQL database, as it does when it
  // is stopped or restarted.
  void endConnections() const;

 private:
  TempDataSource();
  std::string dir_;
  std::string pgSocket_, pgDatabase_;
  int holder_ = -1;  // the process id of a holder in the background
};

std::string sourceDir();

// The data source a test binary runs on: SQLite, or the private PostgreSQL server when the
// binary is built with ORVIDA_TEST_POSTGRES (its socket folder).
#ifdef ORVIDA_TEST_POSTGRES
inline constexpr bool kPostgres = true;
inline TempDataSource backend() { return TempDataSource::postgres(ORVIDA_TEST_POSTGRES); }
#else
inline constexpr bool kPostgres = false;
inline TempDataSource backend() { return TempDataSource::standard(); }
#endif

// Switches this process to a locale compiled for the tests ("zh_CN.GB18030",
// "de_DE.UTF-8"); false when the test run has none.
bool useTestLocale(const std::string& name);

}  // namespace support
