#pragma once
// A data source links data-aware controls to a data set: it passes on the data set's state
// and data changes, and can be switched off without closing the data set.
#include <framework/component.h>
#include <framework/component_ref.h>
#include <framework/dataset.h>
#include <framework/rudodor4_export.h>

#include <QMetaObject>
#include <QObject>

namespace framework {

class RUDODOR4_EXPORT TDataSource : public QObject, public Component {
  Q_OBJECT
  /// The data set, stored in a form by its object name.
  Q_PROPERTY(QString DataSet READ dataSetName WRITE setDataSetName)
  Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
public:
  explicit TDataSource(QObject* owner = nullptr);
  ~TDataSource() override;

  TDataSet* dataSet() const { return dataSet_.get(); }
  void setDataSet(TDataSet* dataSet);
  QString dataSetName() const { return dataSet_.name(); }
  void setDataSetName(const QString& name);

  bool enabled() const { return enabled_; }
  void setEnabled(bool on);

  /// The data set's state; inactive without a data set or while switched off.
  TDataSet::TDataSetState state() const;

signals:
  void stateChanged();
  void dataChanged(const QString& field);

protected:
  void loaded() override;

private:
  void follow(TDataSet* dataSet);

  ComponentRef<TDataSet> dataSet_;
  QMetaObject::Connection stateConnection_;
  QMetaObject::Connection dataConnection_;
  QMetaObject::Connection goneConnection_;
  bool enabled_ = true;
};

} // namespace framework
