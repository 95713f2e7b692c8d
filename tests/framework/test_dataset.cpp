// The data-access layer on a real SQLite database file: data sets over tables and queries,
// data sources, field data links.
#include "fixtures/netfixture.h"

#include <framework/datasource.h>
#include <framework/dataset.h>
#include <framework/field_data_link.h>

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

using framework::TDataSet;
using framework::TDataSource;
using framework::TFieldDataLink;

namespace {

class DataAccess : public ::testing::Test {
protected:
  void SetUp() override {
    file = (dir.path() / "assets.db").string();
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test");
      db.setDatabaseName(QString::fromStdString(file));
      ASSERT_TRUE(db.open());
      QSqlQuery q(db);
      ASSERT_TRUE(q.exec("CREATE TABLE assets(id INTEGER PRIMARY KEY, name TEXT, server TEXT, owner TEXT DEFAULT 'nobody')"));
      ASSERT_TRUE(q.exec("INSERT INTO assets(name, server, owner) VALUES('printer', 'FS1', 'JSMITH'), ('scanner', 'FS2', 'MJONES'), ('plotter', NULL, 'GUEST')"));
      ASSERT_TRUE(q.exec("CREATE TABLE notes(text TEXT, n INTEGER)"));
      ASSERT_TRUE(q.exec("INSERT INTO notes VALUES('a', 1), ('b', 2)"));
    }
    set.setConnectionName("test");
  }
  void TearDown() override {
    set.close();
    QSqlDatabase::removeDatabase("test");
  }

  // What another program reading the file sees.
  QVariant stored(const QString& sql) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
    QVariant v;
    {
      db.setDatabaseName(QString::fromStdString(file));
      db.open();
      QSqlQuery q(db);
      if (q.exec(sql) && q.next()) v = q.value(0);
      db.close();
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("reader");
    return v;
  }

  nwtest::TempDir dir;
  std::string file;
  TDataSet set;
};

} // namespace

TEST_F(DataAccess, ATableOpensInBrowseOnItsFirstRowAndMoves) {
  EXPECT_EQ(set.state(), TDataSet::dsInactive);
  EXPECT_FALSE(set.open());  // no table yet
  set.setTableName("assets");
  ASSERT_TRUE(set.open()) << set.lastError().toStdString();
  EXPECT_EQ(set.state(), TDataSet::dsBrowse);
  EXPECT_EQ(set.recordCount(), 3);
  EXPECT_EQ(set.fieldNames(), QStringList({"id", "name", "server", "owner"}));
  EXPECT_EQ(set.fieldValue("NAME").toString(), "printer");  // field names ignore case
  EXPECT_TRUE(set.next());
  EXPECT_EQ(set.fieldValue("server").toString(), "FS2");
  EXPECT_TRUE(set.last());
  EXPECT_FALSE(set.next());
  EXPECT_TRUE(set.fieldValue("server").isNull());
  EXPECT_TRUE(set.locate("owner", "MJONES"));
  EXPECT_EQ(set.recNo(), 1);
  EXPECT_FALSE(set.locate("owner", "NOBODY"));
  EXPECT_FALSE(set.fieldValue("missing").isValid());
}

TEST_F(DataAccess, AnEditIsPostedToTheDatabaseFileAndCancelForgetsIt) {
  set.setTableName("assets");
  ASSERT_TRUE(set.open());
  EXPECT_FALSE(set.setFieldValue("server", "FS9"));  // not editing
  ASSERT_TRUE(set.edit());
  EXPECT_EQ(set.state(), TDataSet::dsEdit);
  ASSERT_TRUE(set.setFieldValue("server", "FS9"));
  EXPECT_EQ(set.fieldValue("server").toString(), "FS9");
  EXPECT_EQ(stored("SELECT server FROM assets WHERE name='printer'").toString(), "FS1");
  ASSERT_TRUE(set.post()) << set.lastError().toStdString();
  EXPECT_EQ(set.state(), TDataSet::dsBrowse);
  EXPECT_EQ(stored("SELECT server FROM assets WHERE name='printer'").toString(), "FS9");

  ASSERT_TRUE(set.edit());
  set.setFieldValue("server", "LOST");
  set.cancel();
  EXPECT_EQ(set.fieldValue("server").toString(), "FS9");
  EXPECT_EQ(stored("SELECT server FROM assets WHERE name='printer'").toString(), "FS9");
}

TEST_F(DataAccess, MovingPostsAnUnpostedEdit) {
  set.setTableName("assets");
  ASSERT_TRUE(set.open());
  set.edit();
  set.setFieldValue("owner", "ADMIN");
  ASSERT_TRUE(set.next());
  EXPECT_EQ(stored("SELECT owner FROM assets WHERE name='printer'").toString(), "ADMIN");
}

TEST_F(DataAccess, AnInsertedRecordIsReadBackWithItsKeyAndDefaults) {
  set.setTableName("assets");
  ASSERT_TRUE(set.open());
  ASSERT_TRUE(set.append());
  EXPECT_EQ(set.state(), TDataSet::dsInsert);
  EXPECT_TRUE(set.fieldValue("name").isNull());
  set.setFieldValue("name", "laptop");
  set.setFieldValue("server", "NDS1");
  ASSERT_TRUE(set.post()) << set.lastError().toStdString();
  EXPECT_EQ(set.recordCount(), 4);
  EXPECT_EQ(set.recNo(), 3);
  EXPECT_EQ(set.fieldValue("id").toInt(), 4);
  EXPECT_EQ(set.fieldValue("owner").toString(), "nobody");
  EXPECT_EQ(stored("SELECT server FROM assets WHERE id=4").toString(), "NDS1");
}

TEST_F(DataAccess, ATableWithoutAPrimaryKeyIsChangedByItsRowId) {
  set.setTableName("notes");
  ASSERT_TRUE(set.open());
  EXPECT_EQ(set.fieldNames(), QStringList({"text", "n"}));  // the rowid is not a field
  set.next();
  ASSERT_TRUE(set.edit());
  set.setFieldValue("text", "B!");
  ASSERT_TRUE(set.post()) << set.lastError().toStdString();
  EXPECT_EQ(stored("SELECT text FROM notes WHERE n=2").toString(), "B!");
  EXPECT_EQ(stored("SELECT text FROM notes WHERE n=1").toString(), "a");
  ASSERT_TRUE(set.deleteRecord());
  EXPECT_EQ(set.recordCount(), 1);
  EXPECT_EQ(stored("SELECT count(*) FROM notes").toInt(), 1);
}

TEST_F(DataAccess, AQueryIsReadOnly) {
  set.setSql("SELECT name, server FROM assets ORDER BY name");
  ASSERT_TRUE(set.open()) << set.lastError().toStdString();
  EXPECT_EQ(set.fieldValue("name").toString(), "plotter");
  EXPECT_FALSE(set.canModify());
  EXPECT_FALSE(set.edit());
  EXPECT_EQ(set.state(), TDataSet::dsBrowse);
  set.close();
  set.setSql("SELECT nonsense FROM nowhere");
  EXPECT_FALSE(set.open());
  EXPECT_FALSE(set.lastError().isEmpty());
}

TEST_F(DataAccess, ARowChangedByAnotherProgramIsNotOverwrittenBlindly) {
  set.setTableName("assets");
  ASSERT_TRUE(set.open());
  // Another program deletes the row the data set shows.
  stored("DELETE FROM assets WHERE name='printer'");
  ASSERT_TRUE(set.edit());
  set.setFieldValue("server", "FS9");
  EXPECT_FALSE(set.post());
  EXPECT_EQ(set.state(), TDataSet::dsEdit);
  EXPECT_TRUE(set.refresh());
  EXPECT_EQ(set.recordCount(), 2);
}

TEST_F(DataAccess, ADataSourcePassesOnChangesWhileEnabled) {
  set.setTableName("assets");
  TDataSource source;
  source.setDataSet(&set);
  QSignalSpy states(&source, &TDataSource::stateChanged);
  QSignalSpy data(&source, &TDataSource::dataChanged);
  ASSERT_TRUE(set.open());
  EXPECT_EQ(source.state(), TDataSet::dsBrowse);
  EXPECT_GE(states.count(), 1);
  set.next();
  EXPECT_GE(data.count(), 2);
  source.setEnabled(false);
  EXPECT_EQ(source.state(), TDataSet::dsInactive);
  data.clear();
  set.next();
  EXPECT_EQ(data.count(), 0);
  source.setEnabled(true);
  EXPECT_EQ(source.state(), TDataSet::dsBrowse);
}

TEST_F(DataAccess, AFieldLinkFollowsItsFieldAndEditsOnlyWhenNotEditing) {
  set.setTableName("assets");
  TDataSource source;
  source.setDataSet(&set);
  TFieldDataLink link;
  link.setDataSource(&source);
  link.setFieldName("server");
  EXPECT_FALSE(link.active());
  ASSERT_TRUE(set.open());
  EXPECT_TRUE(link.active());
  EXPECT_TRUE(link.hasField());
  EXPECT_EQ(link.value().toString(), "FS1");

  QSignalSpy changes(&link, &TFieldDataLink::dataChange);
  set.next();  // another record
  EXPECT_EQ(changes.count(), 1);
  set.edit();
  set.setFieldValue("owner", "X");  // another field
  EXPECT_EQ(changes.count(), 1);
  set.setFieldValue("SERVER", "FS7");  // its own field
  EXPECT_EQ(changes.count(), 2);
  set.cancel();

  // edit() leaves an insert alone.
  ASSERT_TRUE(set.insert());
  EXPECT_TRUE(link.edit());
  EXPECT_EQ(set.state(), TDataSet::dsInsert);
  set.cancel();
  EXPECT_TRUE(link.edit());
  EXPECT_EQ(set.state(), TDataSet::dsEdit);
  EXPECT_TRUE(link.setValue("FS3"));
  set.post();

  TFieldDataLink missing;
  missing.setDataSource(&source);
  missing.setFieldName("nosuch");
  EXPECT_FALSE(missing.hasField());
  EXPECT_FALSE(missing.setValue("x"));
}

TEST_F(DataAccess, RemovingTheDataSourceDeactivatesTheLink) {
  set.setTableName("assets");
  ASSERT_TRUE(set.open());
  auto source = std::make_unique<TDataSource>();
  source->setDataSet(&set);
  TFieldDataLink link;
  link.setFieldName("name");
  link.setDataSource(source.get());
  ASSERT_TRUE(link.active());
  QSignalSpy active(&link, &TFieldDataLink::activeChange);
  source.reset();
  EXPECT_EQ(link.dataSource(), nullptr);
  EXPECT_FALSE(link.active());
  EXPECT_EQ(active.count(), 1);
}
