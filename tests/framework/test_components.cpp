// The component framework: loading brackets, form loading, references by name, the
// notification messages and the Qt services.
#include "fixtures/qt_fixture.h"
#include "fixtures/probe.h"

#include <framework/form_loading.h>
#include <framework/notification.h>
#include <framework/qt_cursor.h>
#include <framework/qt_dialogs.h>
#include <framework/qt_services.h>

#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <functional>
#include <memory>

namespace {

class Components : public nwtest::QtTest {
protected:
  void SetUp() override {
    QtTest::SetUp();
    journal().clear();
  }
};

// A form as Qt Designer writes it: a base component and probes, one inside a group box.
const char* const ProbeForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <layout class="QVBoxLayout" name="layout">
   <item>
    <widget class="Probe" name="first">
     <property name="Caption"><string>one</string></property>
     <property name="NWBase"><string>base</string></property>
    </widget>
   </item>
   <item>
    <widget class="QGroupBox" name="box">
     <layout class="QVBoxLayout" name="inner">
      <item>
       <widget class="Probe" name="second">
        <property name="Caption"><string>two</string></property>
        <property name="NWBase"><string>base</string></property>
       </widget>
      </item>
     </layout>
    </widget>
   </item>
   <item>
    <widget class="nwbase::TNWBase" name="base"/>
   </item>
  </layout>
 </widget>
</ui>
)";

std::unique_ptr<QWidget> loadForm(const char* xml) {
  QByteArray bytes(xml);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  ProbeLoader loader;
  std::unique_ptr<QWidget> form(loader.load(&buffer));
  if (!form) ADD_FAILURE() << loader.errorString().toStdString();
  return form;
}

// Runs `act` on the first visible modal widget once the event loop of a dialog runs.
void whenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (qobject_cast<QDialog*>(w))) modal = w;
    if (modal) act(modal);
    else ADD_FAILURE() << "no dialog was shown";
  });
}

} // namespace

TEST_F(Components, ABracketLoadsWhatItEnclosesAndCallsLoadedOnceInCreationOrder) {
  QWidget window;
  QWidget form;
  Probe outside(&form);
  outside.setObjectName("outside");
  Probe* a = nullptr;
  Probe* b = nullptr;
  {
    framework::FormLoading loading(&form);
    a = new Probe(&form);
    a->setObjectName("a");
    b = new Probe(&form);
    b->setObjectName("b");
    a->setCaption("x");
    EXPECT_TRUE(a->isLoading());
    EXPECT_TRUE(a->captionSetWhileLoading);
    EXPECT_EQ(a->loadedCalls, 0);
  }
  EXPECT_FALSE(a->isLoading());
  EXPECT_FALSE(outside.isLoading());
  EXPECT_EQ(a->loadedCalls, 1);
  EXPECT_EQ(b->loadedCalls, 1);
  EXPECT_EQ(outside.loadedCalls, 0);
  EXPECT_EQ(journal(), QStringList({"a:loaded", "b:loaded"}));
  // The bracket marked its form: the probes belong to it, not to a window around it.
  form.setParent(&window);
  EXPECT_EQ(a->ownerForm(), &form);
  form.setParent(nullptr);
}

TEST_F(Components, NestedBracketsFinishTheirOwnComponentsAndSkipDestroyedOnes) {
  QWidget form;
  Probe* inner = nullptr;
  Probe* outer = nullptr;
  {
    framework::FormLoading outerLoading(&form);
    outer = new Probe(&form);
    outer->setObjectName("outer");
    {
      framework::FormLoading innerLoading;
      inner = new Probe(&form);
      inner->setObjectName("inner");
      auto* gone = new Probe(&form);
      delete gone;
    }
    EXPECT_EQ(inner->loadedCalls, 1);
    EXPECT_TRUE(outer->isLoading());
  }
  EXPECT_EQ(outer->loadedCalls, 1);
  EXPECT_EQ(journal(), QStringList({"inner:loaded", "outer:loaded"}));
}

TEST_F(Components, AFormFileLoadsWithPropertiesSetWhileLoadingAndReferencesResolvedAfterwards) {
  std::unique_ptr<QWidget> form = loadForm(ProbeForm);
  ASSERT_TRUE(form);
  auto* first = form->findChild<Probe*>("first");
  auto* second = form->findChild<Probe*>("second");
  auto* base = form->findChild<nwbase::TNWBase*>("base");
  ASSERT_TRUE(first && second && base);
  EXPECT_EQ(first->caption(), "one");
  EXPECT_TRUE(first->captionSetWhileLoading);
  EXPECT_FALSE(first->isLoading());
  EXPECT_FALSE(base->isLoading());
  // The base component comes after the probes in the file, so only loaded() can find it.
  EXPECT_TRUE(first->baseResolvedInLoaded);
  EXPECT_EQ(first->base.get(), base);
  EXPECT_EQ(second->base.get(), base);
  EXPECT_EQ(journal(), QStringList({"first:loaded", "second:loaded"}));
  EXPECT_EQ(second->ownerForm(), form.get());
  // Hidden at run time, and no space taken.
  form->show();
  EXPECT_FALSE(base->isVisible());
  EXPECT_EQ(base->sizeHint(), QSize(0, 0));
}

TEST_F(Components, AReferenceIsClearedWhenItsComponentGoesAndFollowsItsName) {
  QWidget form;
  Probe probe(&form);
  auto* base = new nwbase::TNWBase(&form);
  base->setObjectName("base1");
  probe.setNWBaseName("base1");
  EXPECT_EQ(probe.base.get(), base);
  base->setObjectName("renamed");
  EXPECT_EQ(probe.nwBaseName(), "renamed");
  delete base;
  EXPECT_EQ(probe.base.get(), nullptr);
  EXPECT_EQ(probe.nwBaseName(), "");
  // A new component of the old name is not taken up by a cleared reference.
  nwbase::TNWBase again(&form);
  again.setObjectName("renamed");
  EXPECT_EQ(probe.base.get(), nullptr);
}

TEST_F(Components, ANameOfAComponentMadeLaterIsResolvedWhenItExistsEvenOnAnotherForm) {
  QWidget form;
  Probe probe(&form);
  probe.setNWBaseName("shared");
  EXPECT_EQ(probe.base.get(), nullptr);
  EXPECT_EQ(probe.nwBaseName(), "shared");
  QObject dataModule;
  auto* base = new nwbase::TNWBase(&dataModule);
  base->setObjectName("shared");
  EXPECT_EQ(probe.base.get(), base);
}

TEST_F(Components, ADataModuleFreesTheBaseComponentItOwns) {
  QWidget form;
  Probe probe(&form);
  auto dataModule = std::make_unique<QObject>();
  auto* base = new nwbase::TNWBase(dataModule.get());
  base->setObjectName("moduleBase");
  probe.base.set(base);
  EXPECT_EQ(base->ownerForm(), nullptr);
  dataModule.reset();
  EXPECT_EQ(probe.base.get(), nullptr);
}

TEST_F(Components, NotificationsAreCustomEventsHandledSynchronouslyAndNeverThrowIntoQt) {
  QWidget form;
  Probe probe(&form);
  probe.setObjectName("p");
  QLineEdit plain(&form);
  EXPECT_EQ(framework::NWM_BASESERVERCHANGE, 0xB841);
  EXPECT_EQ(framework::NWM_BASEUSERCHANGE, 0xB842);
  EXPECT_TRUE(framework::sendNotification(&probe, framework::NWM_BASESERVERCHANGE));
  EXPECT_EQ(probe.serverChanges, 1);  // handled before the call returned
  EXPECT_TRUE(framework::sendNotification(&probe, framework::NWM_BASEUSERCHANGE));
  EXPECT_EQ(probe.userChanges, 1);
  EXPECT_FALSE(framework::sendNotification(&plain, framework::NWM_BASESERVERCHANGE));
  probe.throwOnServerChange = true;
  EXPECT_NO_THROW(framework::sendNotification(&probe, framework::NWM_BASESERVERCHANGE));
  EXPECT_EQ(probe.serverChanges, 2);
}

TEST_F(Components, FormWidgetsComeInCreationOrderDepthFirst) {
  QWidget form;
  auto* a = new QWidget(&form);
  auto* box = new QGroupBox(&form);
  auto* inner = new QWidget(box);
  auto* c = new QWidget(&form);
  EXPECT_EQ(framework::formWidgets(&form), QList<QWidget*>({a, box, inner, c}));
}

TEST_F(Components, TheQtServicesAreOnlyTheFallbackOfTheOnesATestInstalls) {
  framework::installQtServices();
  EXPECT_EQ(&platform::dialogs(), dialogs.get());
  platform::setDialogService(nullptr);
  EXPECT_NE(dynamic_cast<framework::QtDialogs*>(&platform::dialogs()), nullptr);
  platform::setCursorService(nullptr);
  EXPECT_NE(dynamic_cast<framework::QtCursor*>(&platform::cursor()), nullptr);
  platform::setDialogService(dialogs);
}

TEST_F(Components, TheQtCursorIsAnOverrideCursorThatRestoresBalanced) {
  framework::QtCursor c;
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  c.setCursor(platform::crHourGlass);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  c.setCursor(platform::crHourGlass);  // set twice, restored once
  c.setCursor(platform::crDefault);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(c.cursor(), platform::crDefault);
}

TEST_F(Components, TheQtMessageDialogHasTheFrameworksCaptionAndButtons) {
  framework::QtDialogs qt;
  QString caption;
  QStringList buttons;
  whenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(qt.messageDlg("Delete it?", platform::DialogType::Confirmation, platform::mbYes | platform::mbNo, 0),
            platform::mrNo);
  EXPECT_EQ(caption, "Confirm");
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({"No", "Yes"}));

  // A message box: Yes/No with the second button as default (0x124), answered with Enter.
  whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
  EXPECT_EQ(qt.messageBox("Sure?", "Confirm", 0x124), platform::mrNo);
}

TEST_F(Components, TheQtConnectDialogGivesTheNamesEnteredOrCancel) {
  framework::QtDialogs qt;
  std::string local, remote;
  whenModal([](QWidget* w) {
    auto* combo = w->findChild<QComboBox*>();
    auto* edit = w->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    if (!edit)
      for (QLineEdit* e : w->findChildren<QLineEdit*>())
        if (e->parent() != combo) edit = e;
    ASSERT_TRUE(combo && edit);
    combo->setCurrentText("H:");
    QTest::keyClicks(edit, "FS1/SYS:PUBLIC");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  ASSERT_TRUE(qt.connectDialog(nullptr, platform::NetResourceKind::Disk, local, remote));
  EXPECT_EQ(local, "H:");
  EXPECT_EQ(remote, "FS1/SYS:PUBLIC");
  whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_FALSE(qt.connectDialog(nullptr, platform::NetResourceKind::Disk, local, remote));
}
