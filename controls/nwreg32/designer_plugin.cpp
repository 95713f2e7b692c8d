#include "designer_plugin.h"

#include <framework/component.h>
#include <package/package.h>

#include <QIcon>
#include <QPixmap>

namespace nwreg32 {

ComponentPlugin::ComponentPlugin(const framework::ComponentClass& component, QObject* parent)
    : QObject(parent), component_(component) {}

QIcon ComponentPlugin::icon() const { return QIcon(QPixmap(component_.pictureResource)); }

QWidget* ComponentPlugin::createWidget(QWidget* parent) {
  QWidget* widget = component_.create(parent);
  if (framework::Component* c = framework::Component::of(widget)) c->setDesigning(true);
  return widget;
}

QString ComponentPlugin::domXml() const {
  // "TNWBase" -> "NWBase1", as the framework names a dropped component.
  QString objectName = component_.paletteName;
  if (objectName.startsWith(QLatin1Char('T'))) objectName.remove(0, 1);
  objectName += QLatin1Char('1');
  return QStringLiteral("<ui language=\"c++\" displayname=\"%1\">\n <widget class=\"%2\" name=\"%3\"/>\n</ui>\n")
      .arg(component_.paletteName, component_.className, objectName);
}

Nwreg32::Nwreg32(QObject* parent) : QObject(parent) {
  rudodor4::Initialize();
  for (const framework::ComponentClass& c : framework::componentClasses()) widgets_.append(new ComponentPlugin(c, this));
}

Nwreg32::~Nwreg32() { rudodor4::Finalize(); }

} // namespace nwreg32
