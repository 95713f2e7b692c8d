#pragma once
// A data set: the rows of a table (or of a read-only query) of a Qt Sql database, with a
// current record and the states inactive, browse, edit and insert. A record is changed in
// a buffer (edit or insert), and post() writes the buffer to the database.
#include <framework/component.h>
#include <framework/rudodor4_export.h>

#include <QObject>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace framework {

class RUDODOR4_EXPORT TDataSet : public QObject, public Component {
  Q_OBJECT
  Q_PROPERTY(QString TableName READ tableName WRITE setTableName)
  Q_PROPERTY(QString SQL READ sql WRITE setSql)
  Q_PROPERTY(QString ConnectionName READ connectionName WRITE setConnectionName)
  Q_PROPERTY(bool Active READ active WRITE setActive)
public:
  enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
  Q_ENUM(TDataSetState)

  explicit TDataSet(QObject* owner = nullptr);
  ~TDataSet() override;

  /// The Qt Sql connection the data set reads (the default connection when empty).
  QString connectionName() const { return connectionName_; }
  void setConnectionName(const QString& name);
  /// A table, whose rows can be changed; setting one clears the query.
  QString tableName() const { return table_; }
  void setTableName(const QString& table);
  /// A query instead of a table: its rows can be read only.
  QString sql() const { return sql_; }
  void setSql(const QString& sql);

  /// Reads the rows; the first becomes current. False (lastError() says why) on failure.
  bool open();
  /// Drops the rows and any unposted change.
  void close();
  bool active() const { return state_ != dsInactive; }
  void setActive(bool on);
  TDataSetState state() const { return state_; }
  /// Rows can be changed: a table is open (a query's rows cannot).
  bool canModify() const { return active() && !table_.isEmpty(); }
  /// Why the last operation failed.
  QString lastError() const { return error_; }

  // ---- Records -----------------------------------------------------------------------
  int recordCount() const { return static_cast<int>(rows_.size()); }
  /// The current row (0 = the first); -1 when there is none.
  int recNo() const { return current_; }
  bool isEmpty() const { return rows_.empty(); }
  /// Moves to a row; an unposted change is posted first (nothing moves when that fails).
  bool moveTo(int row);
  bool first() { return moveTo(0); }
  bool last() { return moveTo(recordCount() - 1); }
  bool next() { return moveTo(current_ + 1); }
  bool prior() { return moveTo(current_ - 1); }
  /// Moves to the first row whose field equals the value; false when none does.
  bool locate(const QString& field, const QVariant& value);

  // ---- Fields --------------------------------------------------------------------------
  QStringList fieldNames() const;
  /// True when the open data set has a field of that name (case ignored, as SQL does).
  bool hasField(const QString& name) const;
  /// The current record's value of a field (the buffer's while editing or inserting);
  /// an invalid value for an unknown field or no current record.
  QVariant fieldValue(const QString& name) const;
  /// Changes a field of the buffer; only while editing or inserting, and only a known field.
  bool setFieldValue(const QString& name, const QVariant& value);

  // ---- Changes -------------------------------------------------------------------------
  /// Starts changing the current record. True when editing (or inserting) afterwards.
  bool edit();
  /// Starts a new record after the current one (append: after the last).
  bool insert();
  bool append();
  /// Writes the buffer: an update of the current row, or a new row. The state is browse
  /// afterwards; on failure it stays, with lastError().
  bool post();
  /// Forgets the buffer and goes back to browse.
  void cancel();
  /// Deletes the current row from the table.
  bool deleteRecord();
  /// Reads the rows again, keeping the current row where it can.
  bool refresh();

signals:
  /// The state changed (opened, closed, edit, insert, posted, cancelled).
  void stateChanged();
  /// Values the controls show may have changed: `field` names the one field that changed
  /// in the buffer; empty when the whole record may be another (moved, opened, posted).
  void dataChanged(const QString& field);

private:
  void setState(TDataSetState state);
  bool fail(const QString& message);
  int fieldIndex(const QString& name) const;
  bool readRows();
  QSqlDatabase database() const;
  QSqlRecord whereOf(const QSqlRecord& row) const;
  /// The condition that finds a row, its values appended to `values`.
  QString whereClause(const QSqlRecord& row, QVariantList& values) const;

  QString connectionName_;
  QString table_;
  QString sql_;
  QString error_;
  TDataSetState state_ = dsInactive;
  QSqlRecord layout_;              // the fields, in order
  std::vector<QSqlRecord> rows_;
  int current_ = -1;
  QSqlRecord buffer_;              // the record being edited or inserted
  int insertAt_ = -1;              // where an inserted record goes
  QStringList keyFields_;          // the fields that identify a row of the table
  bool hiddenRowId_ = false;       // the key is SQLite's rowid, read but not shown
  bool primaryKey_ = false;        // keyFields_ is the table's primary key
};

} // namespace framework
