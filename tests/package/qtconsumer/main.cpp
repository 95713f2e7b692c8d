// A Qt application built against the installed package: a form with a base component,
// loaded from a form file, printing the component's version and whether it found a client,
// and the installed designer plugin with its palette page.
#include <framework/form_loader.h>
#include <nwbase/nwbase.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <iostream>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QByteArray form(R"(<ui version="4.0"><widget class="QWidget" name="Form">
    <widget class="nwbase::TNWBase" name="NWBase1"/></widget></ui>)");
  QBuffer buffer(&form);
  buffer.open(QIODevice::ReadOnly);
  framework::FormLoader loader;
  QWidget* root = loader.load(&buffer);
  auto* base = root ? root->findChild<nwbase::TNWBase*>("NWBase1") : nullptr;
  if (!base) {
    std::cerr << "the form did not load\n";
    return 1;
  }
  std::cout << base->_getVersion().toStdString() << "\n" << (base->netAvailable() ? "client ok" : "no client") << "\n";
  delete root;
  // The installed designer plugin, as Qt Designer would load it.
  QPluginLoader plugin(QDir(QStringLiteral(DESIGNER_PLUGIN_DIR)).filePath(QStringLiteral("librudodor4designer.so")));
  auto* palette = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(plugin.instance());
  if (!palette) {
    std::cerr << "the designer plugin did not load: " << plugin.errorString().toStdString() << "\n";
    return 1;
  }
  std::cout << "palette " << palette->customWidgets().front()->group().toStdString() << " "
            << palette->customWidgets().size() << "\n";
  return 0;
}
