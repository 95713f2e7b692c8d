#include "framework/dataset.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>

namespace framework {
namespace {

// The column under which a table without a primary key of its own carries SQLite's rowid.
const QString RowIdAlias = QStringLiteral("__rowid");

bool sameValue(const QVariant& a, const QVariant& b) {
  if (a.isNull() != b.isNull()) return false;
  return a.isNull() || a == b;
}

} // namespace

TDataSet::TDataSet(QObject* owner) : QObject(owner), Component(this) {}

TDataSet::~TDataSet() = default;

void TDataSet::setConnectionName(const QString& name) {
  if (name == connectionName_) return;
  close();
  connectionName_ = name;
}

void TDataSet::setTableName(const QString& table) {
  if (table == table_) return;
  close();
  table_ = table;
  if (!table.isEmpty()) sql_.clear();
}

void TDataSet::setSql(const QString& sql) {
  if (sql == sql_) return;
  close();
  sql_ = sql;
  if (!sql.isEmpty()) table_.clear();
}

QSqlDatabase TDataSet::database() const {
  return connectionName_.isEmpty() ? QSqlDatabase::database() : QSqlDatabase::database(connectionName_);
}

bool TDataSet::fail(const QString& message) {
  error_ = message;
  return false;
}

void TDataSet::setState(TDataSetState state) {
  if (state_ == state) return;
  state_ = state;
  emit stateChanged();
}

void TDataSet::setActive(bool on) {
  if (on) open();
  else close();
}

bool TDataSet::readRows() {
  QSqlDatabase db = database();
  if (!db.isValid() || !db.isOpen()) return fail(tr("the database is not open"));
  QSqlDriver* driver = db.driver();
  QString select;
  keyFields_.clear();
  hiddenRowId_ = false;
  primaryKey_ = false;
  if (!table_.isEmpty()) {
    const QString table = driver->escapeIdentifier(table_, QSqlDriver::TableName);
    const QSqlIndex key = db.primaryIndex(table_);
    for (int i = 0; i < key.count(); ++i) keyFields_ << key.fieldName(i);
    primaryKey_ = !keyFields_.isEmpty();
    if (keyFields_.isEmpty() && db.driverName() == QLatin1String("QSQLITE")) {
      hiddenRowId_ = true;
      select = QStringLiteral("SELECT rowid AS %1, * FROM %2").arg(RowIdAlias, table);
    } else {
      select = QStringLiteral("SELECT * FROM %1").arg(table);
    }
  } else if (!sql_.isEmpty()) {
    select = sql_;
  } else {
    return fail(tr("neither a table nor a query is set"));
  }
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(select)) return fail(query.lastError().text());
  QSqlRecord layout = query.record();
  if (hiddenRowId_) layout.remove(layout.indexOf(RowIdAlias));
  // Without a primary key (and not on SQLite) a row is known by all its values.
  if (!table_.isEmpty() && keyFields_.isEmpty())
    for (int i = 0; i < layout.count(); ++i) keyFields_ << layout.fieldName(i);
  std::vector<QSqlRecord> rows;
  while (query.next()) rows.push_back(query.record());
  layout_ = layout;
  rows_ = std::move(rows);
  return true;
}

bool TDataSet::open() {
  if (active()) return true;
  error_.clear();
  if (!readRows()) return false;
  current_ = rows_.empty() ? -1 : 0;
  setState(dsBrowse);
  emit dataChanged(QString());
  return true;
}

void TDataSet::close() {
  if (!active()) return;
  rows_.clear();
  layout_.clear();
  buffer_.clear();
  current_ = -1;
  setState(dsInactive);
  emit dataChanged(QString());
}

bool TDataSet::refresh() {
  if (!active()) return fail(tr("the data set is not open"));
  if (state_ == dsEdit || state_ == dsInsert) cancel();
  const QSqlRecord currentRow = current_ >= 0 ? rows_[static_cast<std::size_t>(current_)] : QSqlRecord();
  if (!readRows()) return false;
  current_ = rows_.empty() ? -1 : 0;
  if (!currentRow.isEmpty()) {
    const QSqlRecord where = whereOf(currentRow);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      bool same = true;
      for (int f = 0; f < where.count() && same; ++f)
        same = sameValue(rows_[i].value(where.fieldName(f)), where.value(f));
      if (same) {
        current_ = static_cast<int>(i);
        break;
      }
    }
  }
  emit dataChanged(QString());
  return true;
}

bool TDataSet::moveTo(int row) {
  if (!active()) return fail(tr("the data set is not open"));
  if (row < 0 || row >= recordCount()) return false;
  if ((state_ == dsEdit || state_ == dsInsert) && !post()) return false;
  if (row == current_) return true;
  current_ = row;
  emit dataChanged(QString());
  return true;
}

bool TDataSet::locate(const QString& field, const QVariant& value) {
  if (!hasField(field)) return false;
  for (int i = 0; i < recordCount(); ++i)
    if (sameValue(rows_[static_cast<std::size_t>(i)].value(field), value)) return moveTo(i);
  return false;
}

QStringList TDataSet::fieldNames() const {
  QStringList names;
  for (int i = 0; i < layout_.count(); ++i) names << layout_.fieldName(i);
  return names;
}

int TDataSet::fieldIndex(const QString& name) const { return active() ? layout_.indexOf(name) : -1; }

bool TDataSet::hasField(const QString& name) const { return fieldIndex(name) >= 0; }

QVariant TDataSet::fieldValue(const QString& name) const {
  if (!hasField(name)) return {};
  if (state_ == dsEdit || state_ == dsInsert) return buffer_.value(name);
  if (current_ < 0) return {};
  return rows_[static_cast<std::size_t>(current_)].value(name);
}

bool TDataSet::setFieldValue(const QString& name, const QVariant& value) {
  if (state_ != dsEdit && state_ != dsInsert) return fail(tr("the data set is not in edit or insert state"));
  if (!hasField(name)) return fail(tr("field '%1' not found").arg(name));
  buffer_.setValue(name, value);
  emit dataChanged(layout_.fieldName(layout_.indexOf(name)));
  return true;
}

bool TDataSet::edit() {
  if (state_ == dsEdit || state_ == dsInsert) return true;
  if (!canModify()) return fail(tr("cannot modify a read-only data set"));
  // An empty data set is edited by inserting its first record.
  if (current_ < 0) return insert();
  buffer_ = rows_[static_cast<std::size_t>(current_)];
  setState(dsEdit);
  return true;
}

bool TDataSet::insert() {
  if (!canModify()) return fail(tr("cannot modify a read-only data set"));
  if ((state_ == dsEdit || state_ == dsInsert) && !post()) return false;
  buffer_ = layout_;
  buffer_.clearValues();
  insertAt_ = current_ < 0 ? 0 : current_;
  setState(dsInsert);
  emit dataChanged(QString());
  return true;
}

bool TDataSet::append() {
  if (!insert()) return false;
  insertAt_ = recordCount();
  return true;
}

QSqlRecord TDataSet::whereOf(const QSqlRecord& row) const {
  QSqlRecord where;
  for (const QString& key : keyFields_) {
    QSqlField field(key);
    field.setValue(row.value(hiddenRowId_ ? RowIdAlias : key));
    where.append(field);
  }
  return where;
}

QString TDataSet::whereClause(const QSqlRecord& row, QVariantList& values) const {
  QSqlDriver* driver = database().driver();
  const QSqlRecord where = whereOf(row);
  QStringList conditions;
  for (int i = 0; i < where.count(); ++i) {
    const QString key =
        hiddenRowId_ ? QStringLiteral("rowid") : driver->escapeIdentifier(where.fieldName(i), QSqlDriver::FieldName);
    if (where.isNull(i)) {
      conditions << key + QStringLiteral(" IS NULL");
    } else {
      conditions << key + QStringLiteral(" = ?");
      values << where.value(i);
    }
  }
  return conditions.join(QStringLiteral(" AND "));
}

bool TDataSet::post() {
  if (state_ != dsEdit && state_ != dsInsert) return true;
  QSqlDatabase db = database();
  QSqlDriver* driver = db.driver();
  auto name = [driver](const QString& field) { return driver->escapeIdentifier(field, QSqlDriver::FieldName); };
  const QString table = driver->escapeIdentifier(table_, QSqlDriver::TableName);
  QSqlQuery query(db);

  if (state_ == dsEdit) {
    const QSqlRecord& row = rows_[static_cast<std::size_t>(current_)];
    QStringList sets;
    QVariantList values;
    for (int i = 0; i < layout_.count(); ++i) {
      const QString field = layout_.fieldName(i);
      if (sameValue(buffer_.value(field), row.value(field))) continue;
      sets << name(field) + QStringLiteral(" = ?");
      values << buffer_.value(field);
    }
    if (!sets.isEmpty()) {
      const QString where = whereClause(row, values);
      query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table, sets.join(QStringLiteral(", ")), where));
      for (const QVariant& v : values) query.addBindValue(v);
      if (!query.exec()) return fail(query.lastError().text());
      if (query.numRowsAffected() == 0) return fail(tr("the record was changed or deleted by another user"));
    }
    QSqlRecord updated = row;
    for (int i = 0; i < layout_.count(); ++i) updated.setValue(layout_.fieldName(i), buffer_.value(layout_.fieldName(i)));
    rows_[static_cast<std::size_t>(current_)] = updated;
  } else {
    QStringList fields, marks;
    QVariantList values;
    for (int i = 0; i < layout_.count(); ++i) {
      if (buffer_.isNull(i)) continue;  // the column's default applies
      fields << name(layout_.fieldName(i));
      marks << QStringLiteral("?");
      values << buffer_.value(i);
    }
    const QString sql = fields.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, fields.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    query.prepare(sql);
    for (const QVariant& v : values) query.addBindValue(v);
    if (!query.exec()) return fail(query.lastError().text());
    // Read the row back as the database made it (defaults, generated keys).
    QSqlRecord inserted = buffer_;
    QVariant newId = query.lastInsertId();
    QSqlQuery reread(db);
    bool rereading = false;
    if (hiddenRowId_ && newId.isValid()) {
      reread.prepare(QStringLiteral("SELECT rowid AS %1, * FROM %2 WHERE rowid = ?").arg(RowIdAlias, table));
      reread.addBindValue(newId);
      rereading = true;
    } else if (primaryKey_ && keyFields_.size() == 1) {
      const QString key = keyFields_.front();
      QVariant keyValue = buffer_.value(key);
      if (keyValue.isNull()) keyValue = newId;
      if (keyValue.isValid() && !keyValue.isNull()) {
        reread.prepare(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(table, name(key)));
        reread.addBindValue(keyValue);
        rereading = true;
      }
    }
    if (rereading && reread.exec() && reread.next()) inserted = reread.record();
    const int at = std::clamp(insertAt_, 0, recordCount());
    rows_.insert(rows_.begin() + at, inserted);
    current_ = at;
  }
  buffer_.clear();
  error_.clear();
  setState(dsBrowse);
  emit dataChanged(QString());
  return true;
}

void TDataSet::cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  buffer_.clear();
  setState(dsBrowse);
  emit dataChanged(QString());
}

bool TDataSet::deleteRecord() {
  if (state_ == dsInsert) {
    cancel();
    return true;
  }
  if (!canModify() || current_ < 0) return fail(tr("there is no record to delete"));
  if (state_ == dsEdit) cancel();
  QSqlDatabase db = database();
  QVariantList values;
  const QString where = whereClause(rows_[static_cast<std::size_t>(current_)], values);
  QSqlQuery query(db);
  query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2")
                    .arg(db.driver()->escapeIdentifier(table_, QSqlDriver::TableName), where));
  for (const QVariant& v : values) query.addBindValue(v);
  if (!query.exec()) return fail(query.lastError().text());
  rows_.erase(rows_.begin() + current_);
  if (current_ >= recordCount()) current_ = recordCount() - 1;
  emit dataChanged(QString());
  return true;
}

} // namespace framework
