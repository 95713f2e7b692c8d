#include "framework/form_loader.h"

#include "framework/component_classes.h"
#include "framework/form_loading.h"

#include <QFile>
#include <QWidget>

namespace framework {

FormLoader::FormLoader(QObject* parent) : QUiLoader(parent) {}

QWidget* FormLoader::load(QIODevice* device, QWidget* parentWidget) {
  FormLoading loading;
  QWidget* form = QUiLoader::load(device, parentWidget);
  loading.setForm(form);
  loading.finish();
  return form;
}

QWidget* FormLoader::load(const QString& fileName, QWidget* parentWidget) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  return load(&file, parentWidget);
}

QWidget* FormLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
  if (const ComponentClass* c = findComponentClass(className)) {
    QWidget* widget = c->create(parent);
    widget->setObjectName(name);
    return widget;
  }
  return QUiLoader::createWidget(className, parent, name);
}

} // namespace framework
