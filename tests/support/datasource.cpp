#include "support/datasource.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace support {

std::string sourceDir() { return ORVIDA_SOURCE_DIR; }

TempDataSource::TempDataSource() {
  static bool made = false;
  if (made)
    throw std::runtime_error(
        "a second data source in one process: the driver manager would go on reading the first "
        "odbc.ini; run each test in a process of its own (ctest, or --gtest_filter)");
  made = true;
  std::string pattern = (fs::temp_directory_path() / "orvida-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  dir_ = pattern;
  fs::create_directories(fs::path(dir_) / "data");
  setenv("ODBCINI", (fs::path(dir_) / "odbc.ini").c_str(), 1);
  // The machine's drivers, kept loaded once used (DontDLClose), so that a report of the
  // sanitized tests can name the driver a leak comes from.
  {
    std::ifstream system("/etc/odbcinst.ini");
    std::ofstream own(fs::path(dir_) / "odbcinst.ini");
    for (std::string line; std::getline(system, line);) {
      own << line << '\n';
      if (!line.empty() && line.front() == '[') own << "DontDLClose=1\n";
    }
  }
  setenv("ODBCSYSINI", dir_.c_str(), 1);
  // The driver manager loads its ini library for a while and unloads it again; kept loaded,
  // what it leaks is reported under its own name.
  dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
  setenv("XDG_DATA_HOME", (fs::path(dir_) / "data").c_str(), 1);
  std::ofstream(fs::path(dir_) / "odbc.ini").flush();
}

TempDataSource::TempDataSource(TempDataSource&& o) noexcept
    : dir_(std::move(o.dir_)),
      pgSocket_(std::move(o.pgSocket_)),
      pgDatabase_(std::move(o.pgDatabase_)),
      holder_(std::exchange(o.holder_, -1)) {
  o.dir_.clear();
  o.pgDatabase_.clear();
}

namespace {
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// The client of the newest PostgreSQL installed, called directly: the wrapper on the PATH
// that picks it costs a start of its own at every call.
const std::string& psqlProgram() {
  static const std::string program = [] {
    std::string found = "psql";
    int newest = -1;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
      const std::string version = entry.path().filename().string();
      if (version.empty() || !std::isdigit(static_cast<unsigned char>(version[0]))) continue;
      const fs::path client = entry.path() / "bin" / "psql";
      if (std::stoi(version) > newest && fs::exists(client, ec)) {
        newest = std::stoi(version);
        found = client.string();
      }
    }
    return found;
  }();
  return program;
}

int psql(const std::string& socketDir, const std::string& database, const std::string& args) {
  const std::string cmd = psqlProgram() + " -X -q -v ON_ERROR_STOP=1 -h '" + socketDir + "' -U orvida -d " + database +
                          " " + args + " >/dev/null";
  return std::system(cmd.c_str());
}
}  // namespace

void TempDataSource::holdInBackground(const std::string& begin, int seconds, const std::string& end) {
  // sqlite3 waits for a lock it meets (the test's own look for the lock takes it for a
  // moment) rather than go on without its transaction.
  const std::string client = !pgDatabase_.empty()
                                 ? psqlProgram() + " -X -q -h '" + pgSocket_ + "' -U orvida -d " + pgDatabase_
                                 : "sqlite3 -cmd '.timeout 5000' '" + database() + "'";
  const std::string script = "(echo \"" + begin + "\"; sleep " + std::to_string(seconds) + "; echo \"" + end +
                             "\") | " + client + " >/dev/null 2>&1";
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);  // a group of its own, so the shell, the sleep and the client end together
    execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(pid, pid);
  holder_ = pid;
}

void TempDataSource::endHolder() {
  if (holder_ <= 0) return;
  kill(-holder_, SIGKILL);
  waitpid(holder_, nullptr, 0);
  holder_ = -1;
}

bool TempDataSource::lockedElsewhere(const std::string& table, const std::string& pgMode) const {
  if (pgDatabase_.empty()) return query("BEGIN IMMEDIATE; SELECT 'free'; ROLLBACK;") != "free";
  // Every test database is a clone of one template, so a table has the same OID in all of
  // them: a lock of another test's database would match.
  return query("SELECT count(*) FROM pg_locks l JOIN pg_class c ON c.oid = l.relation WHERE c.relname = '" + table +
               "' AND l.mode = '" + pgMode +
               "' AND l.granted AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database())") !=
         "0";
}

int TempDataSource::idleInTransaction() const {
  return std::stoi(
      query("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND state LIKE 'idle in "
            "transaction%'"));
}

int TempDataSource::programBackendPid() const {
  if (pgDatabase_.empty()) throw std::runtime_error("programBackendPid: not a PostgreSQL data source");
  const std::string pids = query(
      "SELECT pid FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid() "
      "AND backend_type = 'client backend'");
  if (pids.empty() || pids.find('\n') != std::string::npos)
    throw std::runtime_error("programBackendPid: not exactly one other connection to " + pgDatabase_ + ": [" + pids +
                             "]");
  return std::stoi(pids);
}

void TempDataSource::endConnections() const {
  query(
      "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE datname = current_database() "
      "AND pid <> pg_backend_pid()");
}

TempDataSource::~TempDataSource() {
  endHolder();
  if (!pgDatabase_.empty()) psql(pgSocket_, "postgres", "-c 'DROP DATABASE " + pgDatabase_ + " WITH (FORCE)'");
  if (dir_.empty()) return;
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string TempDataSource::query(const std::string& sql) const {
  std::string cmd;
  if (!pgDatabase_.empty())
    cmd = psqlProgram() + " -X -At -h '" + pgSocket_ + "' -U orvida -d " + pgDatabase_ + " -c \"" + sql + "\"";
  else
    cmd = "sqlite3 '" + database() + "' \"" + sql + "\"";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void TempDataSource::refuseWrites() const {
  if (!pgDatabase_.empty())
    query(
        "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN RAISE EXCEPTION ''xmsz refused''; END';"
        "CREATE TRIGGER refuse BEFORE INSERT OR UPDATE ON xmsz FOR EACH ROW EXECUTE FUNCTION refuse()");
  else
    query(
        "CREATE TRIGGER refuse_insert BEFORE INSERT ON xmsz BEGIN SELECT RAISE(ABORT, 'xmsz refused'); END;"
        "CREATE TRIGGER refuse_update BEFORE UPDATE ON xmsz BEGIN SELECT RAISE(ABORT, 'xmsz refused'); END");
}

void TempDataSource::allowWrites() const {
  query(!pgDatabase_.empty() ? "DROP TRIGGER refuse ON xmsz; DROP FUNCTION refuse()"
                             : "DROP TRIGGER refuse_insert; DROP TRIGGER refuse_update");
}

bool useTestLocale(const std::string& name) {
  setenv("LOCPATH", ORVIDA_TEST_LOCALES, 1);
  return std::setlocale(LC_ALL, name.c_str()) != nullptr;
}

std::string TempDataSource::database() const { return (fs::path(dir_) / "data" / "orvida" / "vardo.db").string(); }

int TempDataSource::runSetup() const {
  const std::string cmd = "'" + sourceDir() + "/scripts/setup-datasource' >/dev/null";
  return std::system(cmd.c_str());
}

namespace {
// The data source the build made once with the set-up step, or "" when there is none (a
// test then runs the step itself).
fs::path madeDataSource() {
  const fs::path made = ORVIDA_TEST_DATASOURCE;
  std::error_code ec;
  return fs::exists(made / "odbc.ini", ec) ? made : fs::path();
}
}  // namespace

TempDataSource TempDataSource::standard() {
  TempDataSource ds;
  const fs::path made = madeDataSource();
  if (made.empty()) {
    if (ds.runSetup() != 0) throw std::runtime_error("the data source set-up failed");
    return ds;
  }
  // The made database and its odbc.ini, copied, with the path of the copy.
  fs::create_directories(fs::path(ds.database()).parent_path());
  fs::copy_file(made / "data" / "orvida" / "vardo.db", ds.database());
  std::ifstream in(made / "odbc.ini");
  std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string from = (made / "data" / "orvida" / "vardo.db").string();
  std::ofstream(fs::path(ds.dir_) / "odbc.ini") << replaceAll(ini, from, ds.database());
  return ds;
}

TempDataSource TempDataSource::postgres(const std::string& socketDir, const std::string& user) {
  TempDataSource ds;
  ds.pgSocket_ = socketDir;
  ds.pgDatabase_ = "t_" + fs::path(ds.dir_).filename().string().substr(std::string("orvida-test-").size());
  for (char& c : ds.pgDatabase_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // A clone of the database the server's start made from the schema files.
  if (psql(socketDir, "postgres", "-c 'CREATE DATABASE " + ds.pgDatabase_ + " TEMPLATE template_vardo'") != 0)
    throw std::runtime_error("cannot make a PostgreSQL database in " + socketDir);
  std::ofstream(fs::path(ds.dir_) / "odbc.ini")
      << "[vardo]\nDriver=PostgreSQL Unicode\nServername=" << socketDir << "\nPort=5432\nDatabase=" << ds.pgDatabase_
      << "\nUsername=" << user << "\nUseServerSidePrepare=0\n";
  return ds;
}

TempDataSource TempDataSource::withIni(const std::string& text) {
  TempDataSource ds;
  std::ofstream(fs::path(ds.dir_) / "odbc.ini") << replaceAll(text, "{dir}", ds.dir_);
  return ds;
}

}  // namespace support
