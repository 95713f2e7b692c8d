#include "framework/field_data_link.h"

namespace framework {

TFieldDataLink::TFieldDataLink(QObject* parent) : QObject(parent) {}

void TFieldDataLink::setDataSource(TDataSource* source) {
  if (source == source_) return;
  disconnect(stateConnection_);
  disconnect(dataConnection_);
  disconnect(goneConnection_);
  source_ = source;
  if (source) {
    stateConnection_ = connect(source, &TDataSource::stateChanged, this, &TFieldDataLink::stateChanged);
    dataConnection_ = connect(source, &TDataSource::dataChanged, this, [this](const QString& field) {
      if (field.isEmpty() || field.compare(fieldName_, Qt::CaseInsensitive) == 0) emit dataChange();
    });
    // The source going away deactivates the link.
    goneConnection_ = connect(source, &QObject::destroyed, this, [this] {
      source_ = nullptr;
      stateChanged();
      emit dataChange();
    });
  }
  stateChanged();
  emit dataChange();
}

void TFieldDataLink::setFieldName(const QString& name) {
  if (name == fieldName_) return;
  fieldName_ = name;
  emit dataChange();
}

TDataSet* TFieldDataLink::dataSet() const { return source_ ? source_->dataSet() : nullptr; }

bool TFieldDataLink::active() const { return source_ && source_->state() != TDataSet::dsInactive; }

bool TFieldDataLink::editing() const {
  if (!active()) return false;
  const TDataSet::TDataSetState s = source_->state();
  return s == TDataSet::dsEdit || s == TDataSet::dsInsert;
}

bool TFieldDataLink::hasField() const { return active() && dataSet()->hasField(fieldName_); }

QVariant TFieldDataLink::value() const { return hasField() ? dataSet()->fieldValue(fieldName_) : QVariant(); }

bool TFieldDataLink::setValue(const QVariant& value) {
  if (!hasField() || !editing()) return false;
  return dataSet()->setFieldValue(fieldName_, value);
}

bool TFieldDataLink::edit() {
  if (!active()) return false;
  if (!editing()) dataSet()->edit();
  return editing();
}

void TFieldDataLink::stateChanged() {
  const bool isActive = active();
  const bool isEditing = editing();
  if (isActive != wasActive_) {
    wasActive_ = isActive;
    emit activeChange();
  }
  if (isEditing != wasEditing_) {
    wasEditing_ = isEditing;
    emit editingChange();
  }
}

} // namespace framework
