// The package and the form designer's plugin: unit start order and counters, the palette
// page with the component classes in order, widgets created in the designing state.
#include "fixtures/qt_fixture.h"

#include <framework/component.h>
#include <framework/component_classes.h>
#include <nwbase/nwbase.h>
#include <nwbase/unit_objects.h>
#include <package/package.h>

#include <QBuffer>
#include <QPluginLoader>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

using Package = nwtest::QtTest;

TEST_F(Package, UnitsStartInTheirOrderAndEachBodyRunsOncePerFirstLoadAndLastUnload) {
  const auto& units = rudodor4::packageUnits();
  ASSERT_EQ(units.size(), 21u);
  EXPECT_STREQ(units.front().name, "Nwtools");
  EXPECT_STREQ(units[6].name, "Nwbase");
  EXPECT_STREQ(units[19].name, "Nwreg32");
  EXPECT_STREQ(units.back().name, "Rudodor4");

  const int initBefore = rudodor4::sectionRuns("Nwbase", true);
  const int finBefore = rudodor4::sectionRuns("Nwbase", false);
  rudodor4::Initialize();
  rudodor4::Initialize();
  EXPECT_EQ(rudodor4::unitCounter("Nwbase"), -2);
  EXPECT_EQ(rudodor4::sectionRuns("Nwbase", true), initBefore + 1);
  nwbase::detail::serverRecord().version = "4.11";
  rudodor4::Finalize();
  EXPECT_EQ(rudodor4::sectionRuns("Nwbase", false), finBefore);  // not the last unload yet
  EXPECT_EQ(nwbase::detail::serverRecord().version, "4.11");
  rudodor4::Finalize();
  EXPECT_EQ(rudodor4::sectionRuns("Nwbase", false), finBefore + 1);
  EXPECT_EQ(nwbase::detail::serverRecord().version, "");  // the body released the record
  EXPECT_EQ(rudodor4::unitCounter("Nwbase"), 0);
  for (const auto& unit : units) EXPECT_EQ(rudodor4::unitCounter(unit.name), 0) << unit.name;
  // An unload without a load changes nothing.
  rudodor4::Finalize();
  EXPECT_EQ(rudodor4::unitCounter("Rudodor4"), 0);
  EXPECT_STREQ(rudodor4::PackageVersion, "4.5.2.3");
  EXPECT_STREQ(rudodor4::PackageVersion, RUDODOR4_PROJECT_VERSION);  // the libraries' version too
}

TEST_F(Package, ThePluginOffersTheComponentClassesOnThePageOstrelInRegistrationOrder) {
  QPluginLoader loader(QStringLiteral(RUDODOR4_DESIGNER_PLUGIN));
  ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
  auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
  ASSERT_NE(collection, nullptr);
  const QList<QDesignerCustomWidgetInterface*> widgets = collection->customWidgets();
  const auto& classes = framework::componentClasses();
  ASSERT_EQ(static_cast<std::size_t>(widgets.size()), classes.size());
  EXPECT_EQ(widgets.front()->name(), "nwbase::TNWBase");
  for (int i = 0; i < widgets.size(); ++i) {
    QDesignerCustomWidgetInterface* w = widgets[i];
    EXPECT_EQ(w->name(), classes[static_cast<std::size_t>(i)].className);
    EXPECT_EQ(w->group(), "Ostrel");
    EXPECT_FALSE(w->icon().isNull()) << w->name().toStdString();
    EXPECT_TRUE(w->domXml().contains(w->name()));
    std::unique_ptr<QWidget> created(w->createWidget(nullptr));
    ASSERT_NE(created, nullptr);
    framework::Component* c = framework::Component::of(created.get());
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isDesigning());
  }
  EXPECT_LT(rudodor4::unitCounter("Rudodor4"), 0);  // the plugin loaded the package
}

TEST_F(Package, AFormLoadsThroughQtsOwnLoaderWithThePluginPath) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(QStringLiteral(RUDODOR4_DESIGNER_PLUGIN_DIR));
  ASSERT_TRUE(loader.availableWidgets().contains("nwbase::TNWBase"));
  QByteArray xml(R"(<ui version="4.0"><widget class="QWidget" name="Form">
    <widget class="nwbase::TNWBase" name="NWBase1"/></widget></ui>)");
  QBuffer buffer(&xml);
  buffer.open(QIODevice::ReadOnly);
  std::unique_ptr<QWidget> form(loader.load(&buffer));
  ASSERT_NE(form, nullptr);
  auto* base = form->findChild<nwbase::TNWBase*>("NWBase1");
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->_getServerName(), "FS1");
}
