#pragma once
// The form designer's palette: the page "Ostrel" with the library's 13 components in their
// registration order, each with its palette picture. Widgets the designer creates are in the
// designing state, so they show live data of the network while a form is drawn.
#include <framework/component_classes.h>

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>
#include <vector>

namespace nwreg32 {

/// The palette page of the library's components.
inline constexpr const char* PalettePage = "Ostrel";

/// One component class on the palette.
class ComponentPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
  ComponentPlugin(const framework::ComponentClass& component, QObject* parent);

  QString name() const override { return component_.className; }
  QString group() const override { return QString::fromLatin1(PalettePage); }
  QString toolTip() const override { return component_.toolTip; }
  QString whatsThis() const override { return component_.toolTip; }
  QString includeFile() const override { return component_.includeFile; }
  QIcon icon() const override;
  bool isContainer() const override { return false; }
  QWidget* createWidget(QWidget* parent) override;
  bool isInitialized() const override { return initialized_; }
  void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }
  /// A default form snippet: the widget with its object name taken from the palette name
  /// ("NWBase1" for TNWBase).
  QString domXml() const override;

private:
  const framework::ComponentClass& component_;
  bool initialized_ = false;
};

/// The collection the designer loads: starts the package and offers every component class.
class Nwreg32 : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
public:
  explicit Nwreg32(QObject* parent = nullptr);
  ~Nwreg32() override;
  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

private:
  QList<QDesignerCustomWidgetInterface*> widgets_;
};

} // namespace nwreg32
