// The transaction object and embedded SQL, against real data sources.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "support/datasource.h"
#include "support/wait.h"

using rt::SqlValue;
using support::backend;
using support::TempDataSource;
using Strings = std::vector<std::string>;

namespace {

// The connection the program makes at start-up.
void configure(rt::Transaction& t, bool autocommit) {
  t.dbms = "ODBC";
  t.autocommit = autocommit;
  t.dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
}

class TransactionTest : public ::testing::Test {
 protected:
  TempDataSource ds = backend();
  rt::Transaction t;
  void SetUp() override {
    configure(t, false);
    ASSERT_EQ(t.connect(), 0) << t.sqlerrtext;
  }
  long countRows(rt::Transaction& on, const std::string& nj) {
    std::optional<long long> n;
    EXPECT_EQ(on.selectInto("SELECT count(*) FROM xmsz WHERE nj = ?", {nj}, {&n}), 0) << on.sqlerrtext;
    return n ? static_cast<long>(*n) : -1;
  }
  // The server process of the connection, asked through it; 0 on SQLite, which has none
  // (there, a connection made again shows as a "driver.connect" in the journal).
  long long serverProcess(rt::Transaction& on) {
    if (!support::kPostgres) return 0;
    std::optional<long long> pid;
    EXPECT_EQ(on.selectInto("SELECT pg_backend_pid()", {}, {&pid}), 0) << on.sqlerrtext;
    return pid.value_or(-1);
  }
};

}  // namespace

#ifndef ORVIDA_TEST_POSTGRES
// Each case in a process of its own: the driver manager reads odbc.ini only once.
struct ConnectFailure {
  const char* name;
  std::string ini;
  std::string driverSays;
};

void PrintTo(const ConnectFailure& c, std::ostream* os) { *os << c.name; }

class ConnectFails : public ::testing::TestWithParam<ConnectFailure> {};

TEST_P(ConnectFails, WithTheDriversOwnText) {
  const auto& c = GetParam();
  auto ds = TempDataSource::withIni(c.ini);
  rt::Transaction t;
  configure(t, false);
  EXPECT_EQ(t.connect(), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_FALSE(t.connected());
  ASSERT_FALSE(c.driverSays.empty());
  EXPECT_NE(t.sqlerrtext.find(c.driverSays), std::string::npos) << t.sqlerrtext;
}

INSTANTIATE_TEST_SUITE_P(
    Connect, ConnectFails,
    ::testing::Values(ConnectFailure{"NoDataSource", "", "Data source name not found"},
                      ConnectFailure{"DatabaseFileMissing",
                                     "[vardo]\nDriver=SQLite3\nDatabase={dir}/missing.db\nNoCreat=1\nTimeout=1000\n",
                                     "connect failed"},
                      ConnectFailure{"DriverMissing", "[vardo]\nDriver={dir}/no-such-driver.so\n", "Can't open lib"}),
    [](const auto& info) { return std::string(info.param.name); });

// With automatic commit off, a read opens a transaction that lasts until the next commit;
// it must not lock other programs out of the file.
TEST(Concurrency, AReaderNeverLocksOutAWriter) {
  auto ds = TempDataSource::standard();
  rt::Transaction reader;
  configure(reader, false);
  ASSERT_EQ(reader.connect(), 0) << reader.sqlerrtext;
  std::optional<long long> n;
  ASSERT_EQ(reader.selectInto("SELECT count(*) FROM xmsz", {}, {&n}), 0);

  rt::Transaction writer;
  configure(writer, false);
  ASSERT_EQ(writer.connect(), 0);
  ASSERT_EQ(writer.execute("INSERT INTO xmsz (nj) VALUES ('31')"), 0) << writer.sqlerrtext;
  EXPECT_EQ(writer.commit(), 0) << writer.sqlerrtext;
  // Another program, too.
  ds.query("INSERT INTO xmsz (nj) VALUES ('32')");
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "2");
}

TEST(Connect, OnlyTheOdbcInterfaceIsOffered) {
  auto ds = TempDataSource::standard();
  rt::Transaction t;
  configure(t, false);
  t.dbms = "O90";
  EXPECT_EQ(t.connect(), -1);
  EXPECT_FALSE(t.connected());
  t.dbms = " odbc ";
  EXPECT_EQ(t.connect(), 0) << t.sqlerrtext;
}

#endif

TEST(Connect, OperationsWithoutAConnectionFail) {
  rt::Transaction t;
  EXPECT_EQ(t.commit(), -1);
  EXPECT_EQ(t.rollback(), -1);
  EXPECT_EQ(t.disconnect(), -1);
  std::optional<std::string> v;
  EXPECT_EQ(t.selectInto("SELECT 1", {}, {&v}), -1);
  EXPECT_EQ(t.sqlcode, -1);
}

TEST_F(TransactionTest, AChangeIsSeenByAnotherConnectionOnlyAfterCommit) {
  rt::Transaction other;
  configure(other, true);
  ASSERT_EQ(other.connect(), 0) << other.sqlerrtext;

  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj, xm_z_m) VALUES (?, ?)", {std::string("31"), std::string("1")}), 0)
      << t.sqlerrtext;
  EXPECT_EQ(t.sqlnrows, 1);
  EXPECT_EQ(countRows(t, "31"), 1);
  EXPECT_EQ(countRows(other, "31"), 0);
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(countRows(other, "31"), 1);
}

// A read ends its transaction while nothing has been changed: the next read sees what
// another program committed meanwhile, a write after it never meets an old snapshot, and
// the server holds nothing for the connection between reads. Once a statement has changed
// rows, only the program's commit or rollback ends the transaction.
TEST_F(TransactionTest, AReadEndsItsTransactionUnlessSomethingWasChanged) {
  std::optional<float> z1;
  auto readZ1 = [&] {
    EXPECT_EQ(t.selectInto("SELECT z1 FROM gz123_m WHERE s = ?", {172LL}, {&z1}), 0) << t.sqlerrtext;
    return z1.value_or(-1);
  };
  EXPECT_FLOAT_EQ(readZ1(), 49.1f);
#ifdef ORVIDA_TEST_POSTGRES
  EXPECT_EQ(ds.idleInTransaction(), 0);
#endif
  ds.query("UPDATE gz123_m SET z1 = 51 WHERE s = 172");
  EXPECT_FLOAT_EQ(readZ1(), 51);

  // Another program's write after our read; ours goes through at once.
  ds.query("UPDATE gz123_m SET z1 = 52 WHERE s = 172");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(t.execute("UPDATE gz123_m SET z2 = 56 WHERE s = ?", {172LL}), 0) << t.sqlerrtext;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // The change is pending: a read keeps the transaction open, and the rollback undoes it.
  EXPECT_FLOAT_EQ(readZ1(), 52);
  EXPECT_EQ(ds.query("SELECT z2 FROM gz123_m WHERE s = 172"), "54.7");
  ASSERT_EQ(t.rollback(), 0) << t.sqlerrtext;
  EXPECT_EQ(ds.query("SELECT z2 FROM gz123_m WHERE s = 172"), "54.7");
  std::optional<float> z2;
  ASSERT_EQ(t.selectInto("SELECT z2 FROM gz123_m WHERE s = ?", {172LL}, {&z2}), 0) << t.sqlerrtext;
  EXPECT_FLOAT_EQ(z2.value_or(-1), 54.7f);
}

// A school loads its own height table while the program is open, in either way the README
// gives: the load is never held up by what the program has read (a TRUNCATE waits for every
// transaction that read the table), and the program's next read finds the new rows.
TEST_F(TransactionTest, AHeightTableLoadedByAnotherProgramIsNotHeldUpAndIsReadAtOnce) {
  struct Load {
    const char* how;
    const char* empty;
    float z1;
  };
  std::vector<Load> loads = {{"DELETE and INSERT", "DELETE FROM gz123_m", 47.5f}};
#ifdef ORVIDA_TEST_POSTGRES
  loads.push_back({"TRUNCATE and INSERT", "TRUNCATE gz123_m", 46.5f});
  // A load that waits for a lock gives up instead of hanging the test.
  const std::string begin = "SET lock_timeout = 5000; BEGIN; ";
#else
  const std::string begin = "BEGIN; ";
#endif
  std::optional<float> z1;
  ASSERT_EQ(t.selectInto("SELECT z1 FROM gz123_m WHERE s = ?", {172LL}, {&z1}), 0) << t.sqlerrtext;
  EXPECT_FLOAT_EQ(z1.value_or(-1), 49.1f);
  for (const auto& load : loads) {
    SCOPED_TRACE(load.how);
    const auto start = std::chrono::steady_clock::now();
    ds.query(begin + load.empty + "; INSERT INTO gz123_m (s, z1, z2, z3, z4) VALUES (172, " + std::to_string(load.z1) +
             ", 55, 70, 80); COMMIT;");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << "the load waited for a lock";
    EXPECT_EQ(ds.query("SELECT count(*) FROM gz123_m"), "1") << "the load was not committed";
    ASSERT_EQ(t.selectInto("SELECT z1 FROM gz123_m WHERE s = ?", {172LL}, {&z1}), 0) << t.sqlerrtext;
    EXPECT_FLOAT_EQ(z1.value_or(-1), load.z1);
  }
}

// Another program holds a write lock: a write waits a few seconds at most, fails with the
// driver's word for it, and goes through once the other program has let go.
TEST_F(TransactionTest, AWriteBlockedByAnotherWriterFailsWithinSecondsThenGoesThrough) {
#ifdef ORVIDA_TEST_POSTGRES
  ds.holdInBackground("BEGIN; LOCK TABLE xmsz IN EXCLUSIVE MODE;", 60, "COMMIT;");
  const std::string refusal = "57014";  // the statement's time-out
#else
  ds.holdInBackground("BEGIN IMMEDIATE; UPDATE xmsz SET nj = nj;", 60, "COMMIT;");
  const std::string refusal = "database is locked";
#endif
  auto held = [&] { return ds.lockedElsewhere("xmsz", "ExclusiveLock"); };
  ASSERT_TRUE(support::waitUntil(held, 5000)) << "the other program never took its lock";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("39")}), -1);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_LT(waited, std::chrono::seconds(12)) << "a lock held elsewhere froze the statement";
  EXPECT_NE((t.sqlstate + " " + t.sqlerrtext).find(refusal), std::string::npos) << t.sqlstate << " " << t.sqlerrtext;
  ASSERT_EQ(t.rollback(), 0) << t.sqlerrtext;

  ds.endHolder();
  ASSERT_TRUE(support::waitUntil([&] { return !held(); }, 5000));
  EXPECT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("39")}), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz WHERE nj = '39'"), "1");
}

#ifdef ORVIDA_TEST_POSTGRES
// The server ends the connection (as it does when it is stopped or restarted). A statement
// that begins a transaction meets the loss, connects again and runs once more: the lost
// transaction had changed nothing. Changes made before the loss went with it: every
// statement fails and the commit stores nothing; after the rollback a statement connects
// again.
TEST_F(TransactionTest, AConnectionTheServerEndedIsMadeAgainByTheNextTransaction) {
  // Reading.
  EXPECT_EQ(countRows(t, "31"), 0);
  ds.endConnections();
  std::optional<long long> n;
  EXPECT_EQ(t.selectInto("SELECT count(*) FROM xmsz", {}, {&n}), 0) << t.sqlerrtext;
  EXPECT_EQ(n, 0);

  // Writing, first in a new transaction, then inside one that has changed rows.
  ds.endConnections();
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("30")}), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("31")}), 0) << t.sqlerrtext;
  ds.endConnections();
  EXPECT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("32")}), -1);
  EXPECT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("33")}), -1)
      << "inside a transaction that lost its changes nothing goes on";
  EXPECT_EQ(t.commit(), -1);
  EXPECT_EQ(t.rollback(), 0) << t.sqlerrtext;
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("34")}), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  EXPECT_EQ(ds.query("SELECT string_agg(nj, ',' ORDER BY nj) FROM xmsz"), "30,34") << "each statement ran once at most";
}
#endif

// The calculator's height lookup runs on every height left: it is prepared once per
// connection and kept across reads with new values, without holding a read open or a lock
// another program needs. It is prepared again after a failure and on a connection made
// again.
TEST_F(TransactionTest, AKeptLookupIsPreparedOncePerConnection) {
  const std::string lookup = "SELECT z1, z2, z3, z4 FROM gz123_m WHERE s <= ? AND s > (? - 1)";
  std::optional<float> z1, z2, z3, z4;
  auto look = [&](double h) {
    z1.reset();
    return t.selectInto(lookup, {h, h}, {&z1, &z2, &z3, &z4}, rt::Reuse::Kept);
  };
  // What another client reads for the heights 150 to 169.
  std::vector<float> expected;
  for (int s = 150; s < 170; ++s)
    expected.push_back(std::stof(ds.query("SELECT z1 FROM gz123_m WHERE s = " + std::to_string(s))));
  // How many statements twenty lookups, each with a new height, prepared.
  auto preparedByTwentyLookups = [&] {
    const long before = rt::Transaction::preparedStatements();
    for (int i = 0; i < 20; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(look(150.5 + i), 0) << t.sqlerrtext;
      EXPECT_FLOAT_EQ(z1.value_or(-1), expected[static_cast<std::size_t>(i)]);
    }
    return rt::Transaction::preparedStatements() - before;
  };
  EXPECT_EQ(preparedByTwentyLookups(), 1);
  EXPECT_EQ(preparedByTwentyLookups(), 0) << "kept across reads";
#ifdef ORVIDA_TEST_POSTGRES
  EXPECT_EQ(ds.idleInTransaction(), 0);
  const std::string waitAtMost = "SET lock_timeout = 5000; ";
#else
  const std::string waitAtMost;
#endif

  // Another program changes a row, then takes the table away (which waits for every lock on
  // it): the next lookup sees the change, then fails.
  ds.query("UPDATE gz123_m SET z1 = 51 WHERE s = 172");
  ASSERT_EQ(look(172), 0) << t.sqlerrtext;
  EXPECT_FLOAT_EQ(z1.value_or(-1), 51);
  ds.query(waitAtMost + "ALTER TABLE gz123_m RENAME TO gz123_away");
  ASSERT_EQ(ds.query("SELECT count(*) FROM gz123_away"), "51") << "the rename waited for a lock";
  EXPECT_EQ(look(172), -1);
  ds.query("ALTER TABLE gz123_away RENAME TO gz123_m");
  EXPECT_EQ(preparedByTwentyLookups(), 1) << "after its own failure";

  std::optional<long long> n;
  EXPECT_EQ(t.selectInto("SELECT s FROM no_such_table", {}, {&n}), -1);
  EXPECT_EQ(preparedByTwentyLookups(), 1) << "after another statement's failure";

  ASSERT_EQ(t.disconnect(), 0) << t.sqlerrtext;
  ASSERT_EQ(t.connect(), 0) << t.sqlerrtext;
  EXPECT_EQ(preparedByTwentyLookups(), 1) << "after connecting again";
#ifdef ORVIDA_TEST_POSTGRES
  ds.endConnections();
  const long beforeLoss = rt::Transaction::preparedStatements();
  EXPECT_EQ(look(172), 0) << "connects again, before or after meeting the loss";
  EXPECT_LE(rt::Transaction::preparedStatements() - beforeLoss, 2);
  EXPECT_EQ(preparedByTwentyLookups(), 0) << "kept on the connection made again";
  EXPECT_EQ(ds.idleInTransaction(), 0);
#endif
}

// A rollback of a transaction that did not fail keeps its connection, and with it what is
// prepared on it: only a failed write has the next transaction connect again.
TEST_F(TransactionTest, ARollbackOfATransactionThatDidNotFailKeepsTheConnection) {
  rt::testing::Session session;
  std::optional<float> z1;
  auto look = [&] { return t.selectInto("SELECT z1 FROM gz123_m WHERE s = ?", {172LL}, {&z1}, rt::Reuse::Kept); };
  const float expected = std::stof(ds.query("SELECT z1 FROM gz123_m WHERE s = 172"));
  ASSERT_EQ(look(), 0) << t.sqlerrtext;
  const long long server = serverProcess(t);
  struct Case {
    const char* name;
    std::function<void()> transaction;
  };
  const Case cases[] = {
      {"a write", [&] { EXPECT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES ('31')"), 0) << t.sqlerrtext; }},
      {"a read", [&] { EXPECT_EQ(countRows(t, "31"), 0); }},
      {"the kept lookup", [&] { EXPECT_EQ(look(), 0) << t.sqlerrtext; }},
      {"nothing", [] {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    rt::testing::clearJournal();
    c.transaction();
    ASSERT_EQ(t.rollback(), 0) << t.sqlerrtext;
    const long before = rt::Transaction::preparedStatements();
    z1.reset();
    ASSERT_EQ(look(), 0) << t.sqlerrtext;
    EXPECT_FLOAT_EQ(z1.value_or(-1), expected);
    EXPECT_EQ(rt::Transaction::preparedStatements() - before, 0) << "prepared again";
    EXPECT_EQ(rt::testing::journal({"connect", "disconnect"}), Strings{}) << "connected again";
    EXPECT_EQ(serverProcess(t), server);
  }
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "0") << "the write was rolled back";
}

// A SELECT that fails for a reason of its own is no lost connection: it reaches the driver
// once, is not run again on a new connection, and the connection stays. SQLite's driver
// refuses it at the prepare, PostgreSQL's at the execute.
TEST_F(TransactionTest, ASelectThatFailsButNotForALostConnectionRunsOnce) {
  rt::testing::Session session;
  rt::Transaction automatic;  // with automatic commit, a SELECT is the one statement run again
  configure(automatic, true);
  ASSERT_EQ(automatic.connect(), 0) << automatic.sqlerrtext;
  struct Case {
    const char* name;
    const char* sql;
  };
  const Case cases[] = {
      {"a syntax error", "SELECT s FROM gz123_m WHERE s = = 172"},
      {"a missing table", "SELECT s FROM no_such_table"},
  };
  for (rt::Transaction* on : {&t, &automatic})
    for (const rt::Reuse reuse : {rt::Reuse::No, rt::Reuse::Kept})
      for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (on->autocommit ? ", automatic commit" : "") +
                     (reuse == rt::Reuse::Kept ? ", kept" : ""));
        const long long server = serverProcess(*on);
        rt::testing::clearJournal();
        std::optional<long long> s;
        EXPECT_EQ(on->selectInto(c.sql, {}, {&s}, reuse), -1);
        const Strings calls = rt::testing::journal({"connect", "prepare", "execute"});
        const auto times = [&](const char* call) { return std::count(calls.begin(), calls.end(), call); };
        EXPECT_EQ(times("driver.connect"), 0);
        EXPECT_LE(times("driver.prepare"), 1);
        EXPECT_LE(times("driver.execute"), 1);
        EXPECT_FALSE(calls.empty()) << "never reached the driver";
        rt::testing::clearJournal();
        EXPECT_EQ(countRows(*on, "31"), 0) << on->sqlerrtext;
        EXPECT_EQ(rt::testing::journal({"connect"}), Strings{}) << "connected again";
        EXPECT_EQ(serverProcess(*on), server);
      }
}

TEST_F(TransactionTest, RollbackUndoesTheChange) {
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("32")}), 0) << t.sqlerrtext;
  ASSERT_EQ(t.rollback(), 0);
  EXPECT_EQ(countRows(t, "32"), 0);
}

TEST_F(TransactionTest, DisconnectNeverKeepsUncommittedWork) {
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj) VALUES (?)", {std::string("33")}), 0);
  ASSERT_EQ(t.disconnect(), 0) << t.sqlerrtext;
  rt::Transaction again;
  configure(again, false);
  ASSERT_EQ(again.connect(), 0);
  EXPECT_EQ(countRows(again, "33"), 0);
}

TEST_F(TransactionTest, SelectIntoFetchesTheOneRow) {
  std::optional<float> z1, z2, z3, z4;
  const double h = 165.5;
  ASSERT_EQ(
      t.selectInto("SELECT z1, z2, z3, z4 FROM gz123_m WHERE s <= ? AND s > (? - 1)", {h, h}, {&z1, &z2, &z3, &z4}), 0)
      << t.sqlerrtext;
  EXPECT_EQ(t.sqlnrows, 1);
  ASSERT_TRUE(z1 && z2 && z3 && z4);
  EXPECT_LT(*z1, *z2);
  EXPECT_LT(*z2, *z3);
  EXPECT_LT(*z3, *z4);
  std::optional<long long> s;
  ASSERT_EQ(t.selectInto("SELECT s FROM gz123_m WHERE s <= ? AND s > (? - 1)", {h, h}, {&s}), 0);
  EXPECT_EQ(s, 165);
}

TEST_F(TransactionTest, SelectWithoutARowLeavesTheVariablesAsTheyWere) {
  std::optional<float> z1 = 1.5f, z2;
  EXPECT_EQ(t.selectInto("SELECT z1, z2 FROM gz123_m WHERE s = ?", {300.0}, {&z1, &z2}), 100);
  EXPECT_EQ(t.sqlcode, 100);
  EXPECT_EQ(t.sqlnrows, 0);
  EXPECT_EQ(z1, 1.5f);
  EXPECT_FALSE(z2.has_value());
}

TEST_F(TransactionTest, SelectOfNullMakesTheVariableNull) {
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj, xm_z_m) VALUES ('31', NULL)"), 0) << t.sqlerrtext;
  std::optional<std::string> flag = std::string("x");
  ASSERT_EQ(t.selectInto("SELECT xm_z_m FROM xmsz WHERE nj = ?", {std::string("31")}, {&flag}), 0);
  EXPECT_FALSE(flag.has_value());
}

TEST_F(TransactionTest, MoreThanOneRowIsAnErrorAndChangesNothing) {
  std::optional<long long> s = 7;
  EXPECT_EQ(t.selectInto("SELECT s FROM gz123_m WHERE s < ?", {150.0}, {&s}), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_EQ(t.sqlstate, "21000");  // told apart from an error of the database
  EXPECT_EQ(s, 7);
}

TEST_F(TransactionTest, ABadStatementReportsTheDriversText) {
  std::optional<long long> s;
  EXPECT_EQ(t.selectInto("SELECT s FROM no_such_table", {}, {&s}), -1);
  EXPECT_NE(t.sqlerrtext.find("no_such_table"), std::string::npos) << t.sqlerrtext;
  // The connection stays usable after the error.
  EXPECT_EQ(countRows(t, "31"), 0);
}

TEST_F(TransactionTest, ValuesAreBoundNeverPastedIntoTheStatement) {
  const std::string hostile = "3' OR '1'='1";
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj, xm_t_w) VALUES ('31', ?)", {hostile}), 0) << t.sqlerrtext;
  std::optional<std::string> back;
  ASSERT_EQ(t.selectInto("SELECT xm_t_w FROM xmsz WHERE xm_t_w = ?", {hostile}, {&back}), 0) << t.sqlerrtext;
  EXPECT_EQ(back, hostile);
  // Pasted, the same text would match every row; bound, it matches none.
  std::optional<long long> n;
  ASSERT_EQ(t.selectInto("SELECT count(*) FROM xmsz WHERE nj = ?", {hostile}, {&n}), 0);
  EXPECT_EQ(n, 0);
}

TEST_F(TransactionTest, TextComesBackExactlyAsStored) {
  const std::string values[] = {"1", "1 ", " 0", "", "体质"};
  for (const auto& v : values) {
    SCOPED_TRACE(v);
    t.execute("DELETE FROM xmsz");
    ASSERT_EQ(t.execute("INSERT INTO xmsz (nj, xm_t_w) VALUES ('31', ?)", {v}), 0) << t.sqlerrtext;
    std::optional<std::string> back;
    ASSERT_EQ(t.selectInto("SELECT xm_t_w FROM xmsz WHERE nj = '31'", {}, {&back}), 0);
    EXPECT_EQ(back, v);
  }
}

TEST_F(TransactionTest, NotFoundIsOnlyForAChangeThatFoundNoRow) {
  struct Case {
    const char* sql;
    int result;
  };
  const Case cases[] = {
      {"UPDATE xmsz SET xm_z_m = '1' WHERE nj = 'none'", 100},
      {"DELETE FROM xmsz WHERE nj = 'none'", 100},
      {"INSERT INTO xmsz (nj) SELECT nj FROM xmsz WHERE nj = 'none'", 100},
      {"INSERT INTO xmsz (nj) VALUES ('31')", 0},
      {"  update xmsz SET xm_z_m = '1' WHERE nj = '31'", 0},
      {"CREATE TABLE scratch (a integer)", 0},
      {"DROP TABLE scratch", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(t.execute(c.sql), c.result) << t.sqlerrtext;
    EXPECT_EQ(t.sqlcode, c.result);
  }
}

// Under a locale whose encoding is not UTF-8, text still reaches the database as UTF-8.
TEST(Encoding, TextIsStoredAsUtf8WhateverTheLocale) {
  ASSERT_TRUE(support::useTestLocale("zh_CN.GB18030")) << "the tests' GB18030 locale is missing";
  auto ds = backend();
  rt::Transaction t;
  configure(t, false);
  ASSERT_EQ(t.connect(), 0) << t.sqlerrtext;
  ASSERT_EQ(t.execute("INSERT INTO xmsz (nj, xm_t_w) VALUES ('31', ?)", {std::string("体质")}), 0) << t.sqlerrtext;
  ASSERT_EQ(t.commit(), 0);
  std::optional<std::string> back;
  ASSERT_EQ(t.selectInto("SELECT xm_t_w FROM xmsz WHERE nj = '31'", {}, {&back}), 0);
  EXPECT_EQ(back, "体质");
  // Read by a client of its own: two characters of three bytes each.
#ifdef ORVIDA_TEST_POSTGRES
  EXPECT_EQ(ds.query("SELECT octet_length(xm_t_w) FROM xmsz WHERE nj = '31'"), "6");
#else
  EXPECT_EQ(ds.query("SELECT length(CAST(xm_t_w AS BLOB)) FROM xmsz WHERE nj = '31'"), "6");
#endif
}

TEST(Dbparm, ValuesAreFoundByName) {
  struct Case {
    std::string dbparm, key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"ConnectString='DSN=vardo;PWD=tobrek4826'", "ConnectString", "DSN=vardo;PWD=tobrek4826"},
      {"connectstring='DSN=a'", "ConnectString", "DSN=a"},
      {"DisableBind=1, ConnectString='DSN=b'", "ConnectString", "DSN=b"},
      {"ConnectString='DSN=it''s'", "ConnectString", "DSN=it's"},
      {"DisableBind=1", "ConnectString", std::nullopt},
      {"", "ConnectString", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dbparm);
    EXPECT_EQ(rt::dbparmValue(c.dbparm, c.key), c.value);
  }
}
