// The SQL-backed DataView over d_xmsz, against real data sources.

#include <gtest/gtest.h>

#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/dataview.h"
#include "runtime/event.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "support/datasource.h"

using support::backend;
using support::TempDataSource;

namespace {

const std::vector<std::string> kColumns = {"nj",     "xm_z_m",  "xm_5_m", "xm_l_m", "xm_t_m", "xm_58_m",
                                           "xm_w_m", "xm_1_m",  "xm_8_w", "xm_z_w", "xm_5_w", "xm_l_w",
                                           "xm_t_w", "xm_58_w", "xm_w_w", "xm_y_w"};

// One choice per group for both sexes, as a settings window saves it: the thirteen flags.
const std::map<std::string, std::string> kChoice = {{"xm_t_m", "0"}, {"xm_1_m", "1"}, {"xm_5_m", "0"}, {"xm_l_m", "1"},
                                                    {"xm_z_m", "1"}, {"xm_w_m", "0"}, {"xm_t_w", "0"}, {"xm_8_w", "1"},
                                                    {"xm_5_w", "1"}, {"xm_l_w", "0"}, {"xm_z_w", "0"}, {"xm_y_w", "1"},
                                                    {"xm_w_w", "0"}};
// The same row as stored, in column order; "~" is null.
const std::string kChoiceStored = "31|1|0|1|0|~|0|1|1|0|1|0|0|~|0|1";

// The table as the schema makes it, but with or without its key and with a default for
// the two columns the program never writes.
std::string recreateXmsz(bool keyed, const std::string& default58) {
  std::string sql = "DROP TABLE xmsz; CREATE TABLE xmsz (nj char(2) NOT NULL";
  if (keyed) sql += " PRIMARY KEY";
  for (std::size_t i = 1; i < kColumns.size(); ++i) {
    sql += ", " + kColumns[i] + (kColumns[i] == "xm_t_w" ? " varchar(50)" : " char(1)");
    if (kColumns[i].starts_with("xm_58") && !default58.empty()) sql += " DEFAULT '" + default58 + "'";
  }
  return sql + ")";
}

void configure(rt::Transaction& t) {
  t.dbms = "ODBC";
  t.autocommit = false;
  t.dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
}

class DataViewTest : public ::testing::Test {
 protected:
  TempDataSource ds = backend();
  rt::Ref<rt::Transaction> transaction = rt::create<rt::Transaction>();
  rt::Transaction& t = *transaction;
  rt::DataView dw;

  ~DataViewTest() override { rt::destroy(transaction); }

  // Connects and binds, as a settings window does when it opens; prepare the table first.
  void open() {
    configure(t);
    ASSERT_EQ(t.connect(), 0) << t.sqlerrtext;
    dw.dataobject = "d_xmsz";
    ASSERT_EQ(dw.settransobject(t), 1);
  }

  // The rows of a grade as another client reads them: columns joined by "|", null as "~".
  std::string stored(const std::string& nj) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < kColumns.size(); ++i)
      sql += (i ? " || '|' || " : "") + ("coalesce(" + kColumns[i] + ", '~')");
    return ds.query(sql + " FROM xmsz WHERE nj = '" + nj + "'");
  }

  void setChoice(long row) {
    for (const auto& [column, value] : kChoice) ASSERT_EQ(dw.setitem(row, column, value), 1) << column;
    ASSERT_EQ(dw.setitem(row, "nj", "31"), 1);
    EXPECT_EQ(dw.accepttext(), 1);
  }

  // An update that succeeds, committed and confirmed, as a save does it.
  void save() {
    ASSERT_EQ(dw.update(), 1) << t.sqlerrtext;
    ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
    EXPECT_EQ(dw.resetupdate(), 1);
  }
};

}  // namespace

TEST(DataViewUnbound, DoesNothingWithoutItsObjectOrAConnectionAndTellsNothing) {
  rt::testing::Session session;
  rt::DataView dw;
  EXPECT_EQ(dw.retrieve("31"), -1);
  EXPECT_EQ(dw.insertrow(0), -1);  // no object: no columns to make a row of
  dw.dataobject = "d_xmsz";
  ASSERT_EQ(dw.insertrow(0), 1);
  EXPECT_EQ(dw.setitem(1, "nj", "31"), 1);
  EXPECT_EQ(dw.update(), -1);  // bound to no transaction

  rt::Ref<rt::Transaction> transaction = rt::create<rt::Transaction>();
  rt::Transaction& t = *transaction;
  ASSERT_EQ(dw.settransobject(t), 1);
  EXPECT_EQ(dw.update(), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_EQ(t.sqlerrtext, "Transaction not connected");
  t.sqlcode = 0;
  EXPECT_EQ(dw.retrieve("31"), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_EQ(dw.retrieve(std::vector<std::string>{}), -1);  // d_xmsz takes one argument
  dw.dataobject = "d_none";
  EXPECT_EQ(dw.settransobject(t), -1);
  EXPECT_EQ(dw.insertrow(0), -1);
  rt::destroy(transaction);
  // Refused before any statement ran: the caller's own handling says what that means.
  EXPECT_TRUE(rt::testing::messages().empty());
}

TEST_F(DataViewTest, RetrieveOfAGradeWithoutARowFindsNone) {
  ds.query("INSERT INTO xmsz (nj, xm_z_m) VALUES ('32', '1')");
  open();
  EXPECT_EQ(dw.retrieve("31"), 0);
  EXPECT_EQ(dw.getrow(), 0);
  EXPECT_EQ(dw.rowcount(), 0);
  EXPECT_EQ(dw.getitemstring(1, "nj"), std::nullopt);
  EXPECT_EQ(t.sqlcode, 0);
  // The argument is bound: pasted into the select, it would find the row of grade two.
  EXPECT_EQ(dw.retrieve("3' OR '1'='1"), 0);
  EXPECT_EQ(dw.retrieve("32"), 1);
}

TEST_F(DataViewTest, RetrieveReadsTheSixteenColumnsOfTheRowAsStored) {
  // A different value in every column, so a column read from the wrong place shows; the
  // data layer never trims, so a flag with a blank after it comes back with it.
  ds.query(
      "INSERT INTO xmsz VALUES ('31', 'a', NULL, 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', '1 ', NULL, 'n', 'o');"
      "INSERT INTO xmsz (nj, xm_z_m) VALUES ('32', 'z')");
  open();
  ASSERT_EQ(dw.retrieve("31"), 1) << t.sqlerrtext;
  EXPECT_EQ(dw.getrow(), 1);
  EXPECT_EQ(t.sqlnrows, 1);
  const std::vector<std::optional<std::string>> expected = {"31", "a", std::nullopt, "c", "d",  "e",          "f", "g",
                                                            "h",  "i", "j",          "k", "1 ", std::nullopt, "n", "o"};
  for (std::size_t i = 0; i < kColumns.size(); ++i)
    EXPECT_EQ(dw.getitemstring(1, kColumns[i]), expected[i]) << kColumns[i];
  EXPECT_EQ(dw.getitemstring(2, "nj"), std::nullopt);
  EXPECT_EQ(dw.getitemstring(0, "nj"), std::nullopt);
  EXPECT_EQ(dw.getitemstring(1, "xm_q_m"), std::nullopt);
  EXPECT_EQ(dw.setitem(2, "nj", "31"), -1);
  EXPECT_EQ(dw.setitem(1, "xm_q_m", "1"), -1);
}

TEST_F(DataViewTest, ADatabaseErrorIsNegativeWithTheDriversTextOnTheTransactionAndIsTold) {
  rt::testing::Session session;
  ds.query("DROP TABLE xmsz");
  open();
  EXPECT_LT(dw.retrieve("31"), 0);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_NE(t.sqlerrtext.find("xmsz"), std::string::npos) << t.sqlerrtext;
  // Told once, with the driver's text, so that it is not taken for a retrieve that found
  // no row.
  ASSERT_EQ(rt::testing::messages().size(), 1u);
  EXPECT_EQ(rt::testing::messages()[0].caption, "错误");
  EXPECT_EQ(rt::testing::messages()[0].text, t.sqlerrtext);
  EXPECT_EQ(rt::testing::messages()[0].icon, rt::Icon::Information);
  EXPECT_EQ(dw.rowcount(), 0);
  EXPECT_EQ(dw.getrow(), 0);
  // As a settings window goes on: a new row, whose write fails too.
  ASSERT_EQ(t.rollback(), 0);
  ASSERT_EQ(dw.insertrow(0), 1);
  setChoice(1);
  EXPECT_EQ(dw.update(), -1);
  EXPECT_NE(t.sqlerrtext.find("xmsz"), std::string::npos) << t.sqlerrtext;
}

// An inserted row writes the columns set in it and leaves the others to the table: null,
// or the table's default where it has one.
struct Default58 {
  const char* name;
  std::string tableDefault;
  std::string stored;  // what the two columns then hold; "~" is null
};
void PrintTo(const Default58& c, std::ostream* os) { *os << c.name; }

class InsertedRow : public DataViewTest, public ::testing::WithParamInterface<Default58> {};

TEST_P(InsertedRow, StoresTheColumnsSetAndLeavesTheOthersToTheTable) {
  if (!GetParam().tableDefault.empty()) ds.query(recreateXmsz(true, GetParam().tableDefault));
  open();
  ASSERT_EQ(dw.retrieve("31"), 0);
  ASSERT_EQ(dw.insertrow(0), 1);
  EXPECT_EQ(dw.getrow(), 1);
  for (const auto& column : kColumns) EXPECT_EQ(dw.getitemstring(1, column), std::nullopt);
  setChoice(1);
  ASSERT_EQ(dw.update(), 1) << t.sqlerrtext;
  EXPECT_EQ(t.sqlcode, 0);

  // Another connection sees the row only once it is committed, exactly as set.
  rt::Ref<rt::Transaction> otherTransaction = rt::create<rt::Transaction>();
  rt::Transaction& other = *otherTransaction;
  configure(other);
  ASSERT_EQ(other.connect(), 0) << other.sqlerrtext;
  rt::DataView reader;
  reader.dataobject = "d_xmsz";
  reader.settransobject(other);
  EXPECT_EQ(reader.retrieve("31"), 0);
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;
  dw.resetupdate();
  ASSERT_EQ(reader.retrieve("31"), 1) << other.sqlerrtext;
  for (const auto& [column, value] : kChoice) EXPECT_EQ(reader.getitemstring(1, column), value) << column;
  EXPECT_EQ(reader.getitemstring(1, "nj"), "31");
  const std::string& as = GetParam().stored;
  EXPECT_EQ(reader.getitemstring(1, "xm_58_m"), as == "~" ? std::nullopt : std::optional(as));

  std::string row = kChoiceStored;
  for (char& c : row)
    if (c == '~') c = as[0];
  EXPECT_EQ(stored("31"), row);
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "1");
  rt::destroy(otherTransaction);
}

INSTANTIATE_TEST_SUITE_P(DataView, InsertedRow,
                         ::testing::Values(Default58{"WithoutDefault", "", "~"}, Default58{"WithDefault", "d", "d"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataViewTest, ChangesAreForgottenOnlyOnceTheirCommitIsConfirmed) {
  open();
  ASSERT_EQ(dw.retrieve("31"), 0);
  ASSERT_EQ(dw.insertrow(0), 1);
  setChoice(1);
  // The write is undone (as after a commit that failed): the same write is made again.
  ASSERT_EQ(dw.update(), 1) << t.sqlerrtext;
  ASSERT_EQ(t.rollback(), 0);
  EXPECT_EQ(stored("31"), "");
  save();
  EXPECT_EQ(stored("31"), kChoiceStored);

  // The second save of the window updates the row it inserted, by its key.
  ASSERT_EQ(dw.setitem(1, "xm_z_m", "0"), 1);
  ASSERT_EQ(dw.setitem(1, "xm_w_m", "1"), 1);
  ASSERT_EQ(dw.setitem(1, "nj", "31"), 1);
  save();
  EXPECT_EQ(stored("31"), "31|0|0|1|0|~|1|1|1|0|1|0|0|~|0|1");
  // Nothing left to write.
  EXPECT_EQ(dw.update(), 1);
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "1");
}

TEST_F(DataViewTest, AnUpdateWritesOnlyTheColumnsSetOfItsOwnRow) {
  ds.query(
      "INSERT INTO xmsz VALUES ('31', '0', '0', '0', '0', 'a', '0', '0', '0', '0', '0', '0', '0', 'b', '0', '0');"
      "INSERT INTO xmsz VALUES ('32', '1', '1', '1', '1', 'c', '1', '1', '1', '1', '1', '1', '1', 'd', '1', '1');"
      "INSERT INTO xmsz (nj) VALUES ('33')");
  const std::string others = stored("32") + "\n" + stored("33");
  open();
  ASSERT_EQ(dw.retrieve("31"), 1) << t.sqlerrtext;
  // Columns never set are not written back, not even as they were retrieved.
  ds.query("UPDATE xmsz SET xm_58_w = 'e' WHERE nj = '31'");
  setChoice(1);  // nj set to the value it holds
  save();
  EXPECT_EQ(stored("31"), "31|1|0|1|0|a|0|1|1|0|1|0|0|e|0|1");
  EXPECT_EQ(stored("32") + "\n" + stored("33"), others);
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "3");
}

TEST_F(DataViewTest, AFailedWriteIsKeptAndMadeAgainOnceTheFaultIsGone) {
  ds.refuseWrites();
  open();
  ASSERT_EQ(dw.retrieve("31"), 0);
  ASSERT_EQ(dw.insertrow(0), 1);
  setChoice(1);
  // The insert fails, is rolled back, and is made again.
  EXPECT_EQ(dw.update(), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_NE(t.sqlerrtext.find("xmsz refused"), std::string::npos) << t.sqlerrtext;
  ASSERT_EQ(t.rollback(), 0);
  EXPECT_EQ(dw.update(), -1);
  ASSERT_EQ(t.rollback(), 0);
  ds.allowWrites();
  save();
  EXPECT_EQ(stored("31"), kChoiceStored);

  // So does the update of the stored row.
  ds.refuseWrites();
  ASSERT_EQ(dw.setitem(1, "xm_y_w", "0"), 1);
  EXPECT_EQ(dw.update(), -1);
  ASSERT_EQ(t.rollback(), 0);
  ds.allowWrites();
  save();
  EXPECT_EQ(stored("31"), "31|1|0|1|0|~|0|1|1|0|1|0|0|~|0|0");
}

// An update the table cannot take as it stands fails, reports why on the transaction and
// changes nothing once rolled back.
struct UpdateFailure {
  const char* name;
  bool keyless;      // the table made again without its key first
  std::string rows;  // the rows before the retrieve
  long retrieved;
  std::string meanwhile;  // what another program does once the read has ended ("" nothing)
  std::string driverSays;
  std::string check, left;  // a query and what it gives afterwards
};
void PrintTo(const UpdateFailure& c, std::ostream* os) { *os << c.name; }

class FailedUpdate : public DataViewTest, public ::testing::WithParamInterface<UpdateFailure> {};

TEST_P(FailedUpdate, ReportsAndChangesNothing) {
  const UpdateFailure& c = GetParam();
  ds.query((c.keyless ? recreateXmsz(false, "") + "; " : std::string()) + c.rows);
  open();
  ASSERT_EQ(dw.retrieve("31"), c.retrieved) << t.sqlerrtext;
  EXPECT_EQ(dw.getrow(), 1);
  if (!c.meanwhile.empty()) ds.query(c.meanwhile);
  ASSERT_EQ(dw.setitem(1, "xm_z_m", "1"), 1);
  EXPECT_EQ(dw.update(), -1);
  EXPECT_EQ(t.sqlcode, -1);
  EXPECT_NE(t.sqlerrtext.find(c.driverSays), std::string::npos) << t.sqlerrtext;
  ASSERT_EQ(t.rollback(), 0);
  EXPECT_EQ(ds.query(c.check), c.left);
}

INSTANTIATE_TEST_SUITE_P(DataView, FailedUpdate,
                         ::testing::Values(UpdateFailure{"OfARowGoneSinceItsRetrieve", false,
                                                         "INSERT INTO xmsz (nj, xm_z_m) VALUES ('31', '0')", 1,
                                                         "DELETE FROM xmsz WHERE nj = '31'", "Row changed",
                                                         "SELECT count(*) FROM xmsz", "0"},
                                           // Two rows for one code, which only a table without its key can hold: a
                                           // write by the key would change both.
                                           UpdateFailure{"ThatWouldChangeSeveralRows", true,
                                                         "INSERT INTO xmsz (nj, xm_z_m) VALUES ('31', '0'); "
                                                         "INSERT INTO xmsz (nj, xm_z_m) VALUES ('31', '0')",
                                                         2, "", "2 rows", "SELECT xm_z_m FROM xmsz", "0\n0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataViewTest, ValuesAreBoundNeverPastedIntoTheStatement) {
  const std::string hostile = "体'); DROP TABLE xmsz; --\"";
  open();
  ASSERT_EQ(dw.insertrow(0), 1);
  setChoice(1);
  ASSERT_EQ(dw.setitem(1, "xm_t_w", hostile), 1);
  save();
  EXPECT_EQ(ds.query("SELECT xm_t_w FROM xmsz WHERE nj = '31'"), hostile);
  ASSERT_EQ(dw.retrieve("31"), 1) << t.sqlerrtext;
  EXPECT_EQ(dw.getitemstring(1, "xm_t_w"), hostile);
}

#ifndef ORVIDA_TEST_POSTGRES
// The control a settings window holds its row in: never shown, never in the way.
struct w_holder : rt::Window {
  RT_CLASS(w_holder)
  rt::Ref<rt::DataView> dw_1;
  w_holder() {
    width = 1000;
    height = 800;
  }
  void create() override {
    dw_1 = insert<rt::DataView>();
    dw_1->width = 500;
    dw_1->height = 400;
    dw_1->visible = false;
    dw_1->dataobject = "d_xmsz";
  }
};

TEST(DataViewControl, IsAnInvisibleControlOfItsWindow) {
  rt::testing::Session session;
  rt::open<w_holder>();
  auto w = rt::global<w_holder>();
  ASSERT_TRUE(w);
  ASSERT_NE(w->dw_1->widget(), nullptr);
  EXPECT_FALSE(w->dw_1->widget()->isVisible());
  EXPECT_EQ(w->dw_1->insertrow(0), 1);
  EXPECT_EQ(w->dw_1->getrow(), 1);
  // Another object drops the rows.
  w->dw_1->dataobject = "d_none";
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_EQ(w->dw_1->getrow(), 0);
  rt::close(*w);
}
#endif

// A DataView whose transaction is gone before it: made by the runtime and destroyed, or a
// plain object the runtime never made (which it refuses to bind). Retrieve and update fail
// and never reach the freed connection.
struct GoneTransaction {
  const char* name;
  bool created;  // made by rt::create, then destroyed; otherwise a plain object, freed
  bool update;   // insertrow + update; otherwise retrieve
};
void PrintTo(const GoneTransaction& c, std::ostream* os) { *os << c.name; }

class TransactionGone : public ::testing::TestWithParam<GoneTransaction> {};

TEST_P(TransactionGone, RetrieveAndUpdateFailWithoutTouchingIt) {
  TempDataSource ds = backend();
  rt::DataView dw;
  dw.dataobject = "d_xmsz";
  if (GetParam().created) {
    rt::Ref<rt::Transaction> t = rt::create<rt::Transaction>();
    configure(*t);
    ASSERT_EQ(t->connect(), 0) << t->sqlerrtext;
    EXPECT_EQ(dw.settransobject(*t), 1);
    rt::destroy(t);  // no event is running: freed now
  } else {
    auto t = std::make_unique<rt::Transaction>();
    configure(*t);
    ASSERT_EQ(t->connect(), 0) << t->sqlerrtext;
    EXPECT_EQ(dw.settransobject(*t), -1);
  }
  if (GetParam().update) {
    ASSERT_EQ(dw.insertrow(0), 1);
    ASSERT_EQ(dw.setitem(1, "nj", "31"), 1);
    EXPECT_EQ(dw.update(), -1);
  } else {
    EXPECT_EQ(dw.retrieve("31"), -1);
  }
  EXPECT_EQ(ds.query("SELECT count(*) FROM xmsz"), "0");
}

INSTANTIATE_TEST_SUITE_P(DataView, TransactionGone,
                         ::testing::Values(GoneTransaction{"CreatedThenDestroyedRetrieve", true, false},
                                           GoneTransaction{"CreatedThenDestroyedUpdate", true, true},
                                           GoneTransaction{"PlainObjectRetrieve", false, false},
                                           GoneTransaction{"PlainObjectUpdate", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A write inside a transaction scope ends by the scope's commit or not at all: a runtime
// error between the update and the commit rolls it back, so a later commit on the same
// connection (any window's) publishes nothing; the DataView keeps it pending for the next save.
struct ScopeEnd {
  const char* name;
  bool fails;         // a runtime error between update and commit
  std::string after;  // the row another client reads once a later commit has run
};
void PrintTo(const ScopeEnd& c, std::ostream* os) { *os << c.name; }

class TransactionScopeEnd : public DataViewTest, public ::testing::WithParamInterface<ScopeEnd> {};

TEST_P(TransactionScopeEnd, PublishesTheWriteOnlyByItsOwnCommit) {
  open();
  ASSERT_EQ(dw.insertrow(0), 1);
  setChoice(1);
  const bool ended = rt::dispatch([&] {
    rt::TransactionScope scope(t);
    ASSERT_EQ(dw.update(), 1) << t.sqlerrtext;
    if (GetParam().fails) throw rt::RuntimeError("between the write and its commit");
    ASSERT_EQ(scope.commit(), 0) << t.sqlerrtext;
  });
  EXPECT_EQ(ended, !GetParam().fails);
  ASSERT_EQ(t.commit(), 0) << t.sqlerrtext;  // a later commit of another window
  EXPECT_EQ(stored("31"), GetParam().after);
  if (GetParam().fails) {
    save();  // the same write, made again
    EXPECT_EQ(stored("31"), kChoiceStored);
  }
}

INSTANTIATE_TEST_SUITE_P(DataView, TransactionScopeEnd,
                         ::testing::Values(ScopeEnd{"RuntimeErrorBeforeTheCommit", true, ""},
                                           ScopeEnd{"Committed", false, kChoiceStored}),
                         [](const auto& info) { return std::string(info.param.name); });
