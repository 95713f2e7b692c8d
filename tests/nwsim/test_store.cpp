// The store's transactions: read transactions refuse writes, and the change stamp moves with
// every change another connection commits and every change that is undone.
#include "fixtures/netfixture.h"
#include "store.h"

#include <sqlite3.h>

using nwsim::Store;
using nwsim::StoreError;
using nwsim::Transaction;
using nwtest::TempDir;

namespace {

int rows(Store& db) {
  int n = 0;
  db.prepare("SELECT COUNT(*) FROM t").first([&](nwsim::Stmt& q) { n = q.integer(0); });
  return n;
}

} // namespace

TEST(Store, AReadTransactionRefusesWritesAndKeepsItsSnapshot) {
  TempDir tmp;
  Store db(tmp.path() / "s.db", true);
  Store other(tmp.path() / "s.db", false);
  db.exec("CREATE TABLE t(x INTEGER)");
  {
    Transaction t(db, Store::Access::read);
    const auto stamp = db.changeStamp();
    try {
      db.prepare("INSERT INTO t VALUES(1)").run();
      ADD_FAILURE() << "a read transaction wrote";
    } catch (const StoreError& e) {
      EXPECT_EQ(e.code(), SQLITE_READONLY);
    }
    other.prepare("INSERT INTO t VALUES(2)").run();
    EXPECT_EQ(rows(db), 0) << "the snapshot of the transaction";
    EXPECT_EQ(db.changeStamp(), stamp);
    t.commit();
  }
  EXPECT_FALSE(db.writesRefused());
  db.prepare("INSERT INTO t VALUES(3)").run();
  EXPECT_EQ(rows(db), 2);
}

TEST(Store, TheChangeStampMovesWithOtherConnectionsAndUndoneChanges) {
  TempDir tmp;
  Store db(tmp.path() / "s.db", true);
  Store other(tmp.path() / "s.db", false);
  db.exec("CREATE TABLE t(x INTEGER)");
  const auto first = db.changeStamp();
  EXPECT_EQ(db.changeStamp(), first) << "nothing changed";
  other.prepare("INSERT INTO t VALUES(1)").run();
  const auto second = db.changeStamp();
  EXPECT_NE(second, first);
  {
    Transaction t(db);
    db.prepare("INSERT INTO t VALUES(2)").run();
    {
      // A savepoint undone inside the transaction moves it as well.
      Transaction inner(db);
      const auto before = db.changeStamp();
      db.prepare("DELETE FROM t").run();
      EXPECT_NE(db.changeStamp(), before);
    }
    EXPECT_EQ(rows(db), 2);
  }  // rolled back
  EXPECT_EQ(rows(db), 1);
  const auto third = db.changeStamp();
  EXPECT_NE(third, second) << "rows read inside the undone transaction are not current";
  EXPECT_EQ(db.changeStamp(), third);
}
