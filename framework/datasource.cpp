#include "framework/datasource.h"

namespace framework {

TDataSource::TDataSource(QObject* owner) : QObject(owner), Component(this) {}

TDataSource::~TDataSource() = default;

void TDataSource::follow(TDataSet* dataSet) {
  disconnect(stateConnection_);
  disconnect(dataConnection_);
  disconnect(goneConnection_);
  if (dataSet) {
    stateConnection_ = connect(dataSet, &TDataSet::stateChanged, this, [this] {
      if (enabled_) emit stateChanged();
    });
    dataConnection_ = connect(dataSet, &TDataSet::dataChanged, this, [this](const QString& field) {
      if (enabled_) emit dataChanged(field);
    });
    // The data set going away is a change of state for the controls.
    goneConnection_ = connect(dataSet, &QObject::destroyed, this, [this] {
      emit stateChanged();
      emit dataChanged(QString());
    });
  }
  emit stateChanged();
  emit dataChanged(QString());
}

void TDataSource::setDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_.get()) return;
  dataSet_.set(dataSet);
  follow(dataSet);
}

void TDataSource::setDataSetName(const QString& name) {
  dataSet_.setName(name, *this);
  if (!isLoading()) follow(dataSet_.get());
}

void TDataSource::loaded() {
  dataSet_.resolve();
  follow(dataSet_.get());
}

void TDataSource::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  emit stateChanged();
  emit dataChanged(QString());
}

TDataSet::TDataSetState TDataSource::state() const {
  TDataSet* dataSet = dataSet_.get();
  if (!dataSet || !enabled_) return TDataSet::dsInactive;
  return dataSet->state();
}

} // namespace framework
