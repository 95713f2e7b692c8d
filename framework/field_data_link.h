#pragma once
// A data-aware control's link to one field of the current record of a data source's data
// set: it tells the control when the field's value may have changed, and puts the data set
// into edit when the control is about to change the value.
#include <framework/datasource.h>
#include <framework/rudodor4_export.h>

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QVariant>

namespace framework {

class RUDODOR4_EXPORT TFieldDataLink : public QObject {
  Q_OBJECT
public:
  explicit TFieldDataLink(QObject* parent = nullptr);

  TDataSource* dataSource() const { return source_.data(); }
  void setDataSource(TDataSource* source);
  QString fieldName() const { return fieldName_; }
  void setFieldName(const QString& name);

  /// The data source's data set; null without one.
  TDataSet* dataSet() const;
  /// A data source with an open data set.
  bool active() const;
  /// The data set is in edit or insert state.
  bool editing() const;
  /// The open data set has the field.
  bool hasField() const;
  /// The field's value in the current record; invalid without the field.
  QVariant value() const;
  /// Writes the field (the data set must be editing); false otherwise.
  bool setValue(const QVariant& value);
  /// Puts the data set into edit unless it is editing or inserting already; true when it is
  /// editing afterwards.
  bool edit();

signals:
  /// The field's value may have changed: another record, the field itself, the data set
  /// opened or closed.
  void dataChange();
  /// The link became active or inactive.
  void activeChange();
  /// The data set started or stopped editing.
  void editingChange();

private:
  void stateChanged();

  QPointer<TDataSource> source_;
  QString fieldName_;
  QMetaObject::Connection stateConnection_;
  QMetaObject::Connection dataConnection_;
  QMetaObject::Connection goneConnection_;
  bool wasActive_ = false;
  bool wasEditing_ = false;
};

} // namespace framework
