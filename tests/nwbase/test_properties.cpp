// TNWBase on the full client: properties, server and login name, context and flags,
// notification, several instances, and failures of the client.
#include "base_fixture.h"

#include <framework/form_loading.h>
#include <framework/strings.h>

#include <QSignalSpy>

using namespace nwbase;

TEST_F(BaseTest, OnABinderyServerThePropertiesReadTheLogin) {
  TNWBase& b = make();
  EXPECT_TRUE(b.property("NetAvailable").toBool());
  EXPECT_FALSE(b.property("NDSAvailable").toBool());
  EXPECT_EQ(b.property("ServerName").toString(), "FS1");
  EXPECT_EQ(b.property("LoginID").toString(), "SUPERVISOR");
  EXPECT_EQ(b.property("LoginFullName").toString(), "System Supervisor");
  EXPECT_EQ(b.property("ServerVersion").toString(), "3.12");
  EXPECT_EQ(b.property("Version").toString(), "1.45 / 4.50 - 15 Sept 1998");
  EXPECT_EQ(b.property("ObjectType").value<TNWObjType>(), nwObjTypeUser);
  EXPECT_EQ(b.property("NWObjectType").toUInt(), 0x0100u);
  EXPECT_EQ(b.property("ObjectID").toString(), "1");
  EXPECT_EQ(b.property("ConnectionID").toUInt(), 3u);
  EXPECT_TRUE(b.property("Manager").toBool());
  EXPECT_EQ(b.property("ServerHandle").toUInt(), ostrel::getPrimaryServerID());
  EXPECT_EQ(b.property("DefaultServer").toString(), "FS1");
  EXPECT_EQ(b.property("NDSPreferredTree").toString(), "");
  EXPECT_GT(b.property("MaxServerConns").toUInt(), 0u);
  EXPECT_EQ(b.property("FirstNetworkDrive").toChar(), QChar(ostrel::getFirstNetDrive()));
  EXPECT_TRUE(b.property("SilentExceptions").toBool());
  EXPECT_EQ(b.property("ShellErrorMode").value<TNWShellErrorMode>(), nwErrInteractive);
  EXPECT_EQ(b._getContextHandle(), nwnds::getInternalContextHandle());
  // Enumerations stream by name.
  EXPECT_EQ(b.property("ObjectType").toString(), "nwObjTypeUser");
}

TEST_F(BaseTest, OnADirectoryServerTheLoginIsTheExpandedDirectoryNameAndTheContextTheRoot) {
  TNWBase& b = makeOn("WS-DIR");
  EXPECT_TRUE(b._getIsNDS());
  EXPECT_EQ(b._getServerName(), "NDS1");
  EXPECT_EQ(b._getLoginID(), "CN=ADMIN.O=TESTORG");
  EXPECT_EQ(b.ndsContextName(), QString::fromStdString(nwnds::ndsGetContextName()));
  EXPECT_EQ(b.ndsContextName().toUpper(), "[ROOT]");
  EXPECT_EQ(b._getNDSPreferredTree(), "TESTTREE");
  // Construction added dereference aliases, translate strings and canonicalize names.
  const int flags = nwnds::ndsGetContextFlags();
  EXPECT_EQ(flags & 0x13, 0x13);
  EXPECT_EQ(flags & 0x04, 0);
}

TEST_F(BaseTest, ServerNameOpensTheServerAndNotifiesTheFormBeforeTheEvent) {
  QWidget form;
  auto* probe = new Probe(&form);
  probe->setObjectName("probe");
  TNWBase& b = make(&form);
  QObject::connect(&b, &TNWBase::OnServerChange, [&](QObject* sender) {
    EXPECT_EQ(sender, &b);
    journal() << "OnServerChange";
  });
  b._setServerName("fs2");
  EXPECT_EQ(b._getServerName(), "FS2");
  EXPECT_EQ(QString::fromStdString(ostrel::getServerName(b._getServerHandle())), "FS2");
  EXPECT_EQ(journal(), QStringList({"probe:server", "OnServerChange"}));
  // The login name stays, and a change of server changes nothing else.
  EXPECT_EQ(b._getLoginID(), "SUPERVISOR");
  // Empty goes back to the primary server.
  b._setServerName("");
  EXPECT_EQ(b._getServerName(), "FS1");
  EXPECT_EQ(b._getServerHandle(), ostrel::getPrimaryServerID());
}

TEST_F(BaseTest, AnUnknownServerRaisesOnlyWithoutSilentExceptions) {
  QWidget form;
  auto* probe = new Probe(&form);
  TNWBase& b = make(&form);
  QSignalSpy changes(&b, &TNWBase::OnServerChange);
  b.setSilentExceptions(false);
  try {
    b._setServerName("NOSUCH");
    ADD_FAILURE() << "no exception";
  } catch (const TNWObjError& e) {
    EXPECT_STREQ(e.what(), "Invalid Server Handle");
  }
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(probe->serverChanges, 0);
  EXPECT_EQ(b._getServerName(), "FS1");

  b.setSilentExceptions(true);
  EXPECT_NO_THROW(b._setServerName("NOSUCH"));
  EXPECT_EQ(changes.count(), 1);  // notified although nothing changed
  EXPECT_EQ(probe->serverChanges, 1);
  EXPECT_EQ(b._getServerName(), "FS1");
}

TEST_F(BaseTest, LoginIDIsUpperCasedAndEmptyAsksTheServer) {
  QWidget form;
  auto* probe = new Probe(&form);
  TNWBase& b = make(&form);
  QSignalSpy changes(&b, &TNWBase::OnUserChange);
  b.setProperty("LoginID", "jsmith");
  EXPECT_EQ(b._getLoginID(), "JSMITH");
  EXPECT_EQ(b._getFullName(), "John Smith");
  EXPECT_EQ(probe->userChanges, 1);
  EXPECT_EQ(probe->serverChanges, 0);
  EXPECT_EQ(changes.count(), 1);
  b._setLoginID("");
  EXPECT_EQ(b._getLoginID(), "SUPERVISOR");
  EXPECT_EQ(b._getServerName(), "FS1");
}

TEST_F(BaseTest, TheContextNameIsUpperCasedRootInAnyCaseResetsAndNotifies) {
  QWidget form;
  auto* probe = new Probe(&form);
  TNWBase& b = makeOn("WS-DIR", &form);
  QSignalSpy changes(&b, &TNWBase::OnServerChange);
  probe->serverChanges = 0;
  b.setProperty("NDSContextName", "ou=sales.o=testorg");
  EXPECT_EQ(b.ndsContextName(), "OU=SALES.O=TESTORG");
  EXPECT_EQ(nwnds::ndsGetContextName(), "OU=SALES.O=TESTORG");
  EXPECT_EQ(probe->serverChanges, 1);
  EXPECT_EQ(changes.count(), 0);  // no event for a context change
  b._setContextName("[root]");
  EXPECT_EQ(b.ndsContextName().toUpper(), "[ROOT]");
  EXPECT_EQ(b.ndsContextName(), QString::fromStdString(nwnds::ndsGetContextName()));
  b._setContextName("O=TESTORG");
  b._setContextName("");
  EXPECT_EQ(b.ndsContextName().toUpper(), "[ROOT]");
}

TEST_F(BaseTest, AContextThatCannotBeSetIsNotShownAsSet) {
  TNWBase& b = makeOn("WS-DIR");
  b._setContextName("O=TESTORG");
  b._setContextName(QString(200, 'X'));  // longer than a context name can be
  EXPECT_EQ(b.ndsContextName(), "O=TESTORG");
}

TEST_F(BaseTest, OnABinderyServerTheContextNameIsNotWritten) {
  TNWBase& b = make();
  const QString before = b.ndsContextName();
  b._setContextName("O=TESTORG");
  EXPECT_EQ(b.ndsContextName(), before);
}

TEST_F(BaseTest, AContextNameStreamedFromAFormIsIgnored) {
  nwsim::useWorkstation("WS-DIR");
  QWidget form;
  TNWBase* b = nullptr;
  {
    framework::FormLoading loading(&form);
    b = new TNWBase(&form);
    b->setProperty("NDSContextName", "O=TESTORG");
    EXPECT_TRUE(b->isLoading());
  }
  EXPECT_TRUE(b->_getIsNDS());
  EXPECT_EQ(b->ndsContextName().toUpper(), "[ROOT]");
  EXPECT_EQ(nwnds::ndsGetContextName(), b->ndsContextName().toStdString());
  // Once loaded, a write takes effect.
  b->setProperty("NDSContextName", "O=TESTORG");
  EXPECT_EQ(b->ndsContextName(), "O=TESTORG");
}

TEST_F(BaseTest, TypelessNamesOnThenOffClearsOnlyItsBit) {
  TNWBase& b = makeOn("WS-DIR");
  nwnds::ndsSetContextFlags(0x80);  // a bit the flags object does not know is set
  const int before = nwnds::ndsGetContextFlags();
  b.NDSContextFlags()->setTypelessNames(true);
  EXPECT_EQ(nwnds::ndsGetContextFlags(), before | 0x04);
  b.NDSContextFlags()->setProperty("TypelessNames", false);
  EXPECT_EQ(nwnds::ndsGetContextFlags(), before & ~0x04);
  EXPECT_FALSE(b.NDSContextFlags()->typelessNames());
  // Clearing a bit the context has.
  b.NDSContextFlags()->setTranslateStrings(false);
  EXPECT_EQ(nwnds::ndsGetContextFlags() & 0x02, 0);
}

TEST_F(BaseTest, TheFlagSetPropertyStreamsTheSevenFlagsByName) {
  TNWBase& b = makeOn("WS-DIR");
  const QMetaProperty p = b.metaObject()->property(b.metaObject()->indexOfProperty("NDSContextFlagSet"));
  ASSERT_TRUE(p.isValid());
  EXPECT_TRUE(p.isStored());
  EXPECT_TRUE(p.isFlagType());
  EXPECT_EQ(QString(p.enumerator().valueToKeys(static_cast<int>(b.contextFlagSet()))),
            "DereferenceAliases|TranslateStrings|CanonicalizeNames");
  ASSERT_TRUE(p.write(&b, p.enumerator().keysToValue("TypelessNames|CanonicalizeNames")));
  EXPECT_TRUE(b.NDSContextFlags()->typelessNames());
  EXPECT_FALSE(b.NDSContextFlags()->dereferenceAliases());
  EXPECT_EQ(nwnds::ndsGetContextFlags() & 0x17, 0x14);
}

TEST_F(BaseTest, AssigningTheOwnedObjectsCopiesTheirValues) {
  TNWBase& b = makeOn("WS-DIR");
  TNWDSContextFlags* own = b.NDSContextFlags();
  TNWDSContextFlags other;
  other.setFlags(DisallowReferrals);
  b.setProperty("NDSContextFlags", QVariant::fromValue(&other));
  EXPECT_EQ(b.NDSContextFlags(), own);
  EXPECT_EQ(own->flags(), TNWDSContextFlagSet(DisallowReferrals));

  TNWLastError* ownError = b._getLastError();
  TNWLastError foreign;
  foreign.Ostrel = "1234";
  b.setLastError(&foreign);
  EXPECT_EQ(b.property("LastError").value<TNWLastError*>(), ownError);  // refreshed from the units again
}

TEST_F(BaseTest, LastErrorShowsEachUnitsCodeAndReadingDoesNotReset) {
  TNWBase& b = make();
  nwsim::injectFault("NWGetFileServerInformation", 0x89FF);
  EXPECT_EQ(b._getServerVersion(), "0.0");
  nwsim::injectFault("NWGetFileServerName", 0x8801);
  nwsim::injectFault("NWCCGetConnInfo", 0x8801);
  b._setServerName("");
  EXPECT_EQ(b._getServerName(), "LOCAL");
  TNWLastError* e = b._getLastError();
  EXPECT_EQ(e->Ostrel, "8801");
  EXPECT_EQ(e->NWPrint, "0000");
  EXPECT_EQ(b._getLastError()->Ostrel, "8801");
  EXPECT_EQ(b.property("LastError").value<TNWLastError*>()->property("Ostrel").toString(), "8801");
}

TEST_F(BaseTest, FailingReadsGiveTheSoftValues) {
  TNWBase& b = make();
  nwsim::injectFault("NWGetConnectionInformation", 0x89FC, -1);
  nwsim::injectFault("NWGetObjectID", 0x89FC, -1);
  nwsim::injectFault("NWScanObject", 0x89FC, -1);
  nwsim::injectFault("NWReadPropertyValue", 0x89FB, -1);
  b._setLoginID("JSMITH");
  EXPECT_EQ(b._getFullName(), "JSMITH");  // no full name to read: the name itself
  EXPECT_EQ(b._getNWObjType(), 0);
  EXPECT_EQ(b._getObjType(), nwObjTypeUser);  // no known type, silently a user
  b.setSilentExceptions(false);
  EXPECT_EQ(b._getObjType(), nwObjTypeUser);  // a property read never raises
  EXPECT_EQ(b._getObjectID(), "0");
  nwsim::clearFaults();
}

TEST_F(BaseTest, TheServerDateIsTheServersClockAndCanBeSet) {
  TNWBase& b = make();
  b._setServerName("FS2");  // its clock stands at 15 Sep 1998 10:30:45
  EXPECT_EQ(b._getServerDate(), QDateTime(QDate(1998, 9, 15), QTime(10, 30, 45)));
  // Setting it takes a console operator: the supervisor on FS1.
  b._setServerName("FS1");
  const QDateTime wanted(QDate(2001, 2, 3), QTime(4, 5, 6));
  b.setProperty("ServerDate", wanted);
  EXPECT_LE(std::abs(b._getServerDate().secsTo(wanted)), 2);
}

TEST_F(BaseTest, ModesAreWrittenByOrdinal) {
  TNWBase& b = make();
  b.setProperty("BroadcastMode", QVariant::fromValue(nwBroadcastOff));
  EXPECT_EQ(b._getBroadcastMode(), nwBroadcastOff);
  b.setProperty("BroadcastMode", "nwBroadcastStored");
  EXPECT_EQ(b._getBroadcastMode(), nwBroadcastStored);
  nwsim::resetCallCounts();
  b._setShellErrorMode(nwErrDOS);
  b._setShellErrorMode(nwErrDOS);  // also when unchanged
  EXPECT_EQ(nwsim::callCount("NWSetNetWareErrorMode"), 2u);
  EXPECT_EQ(b.shellErrorMode(), nwErrDOS);
}

TEST_F(BaseTest, DefaultServerMakesAServerPreferredOnceForEachNewName) {
  TNWBase& b = make();
  b._setDefaultServer("FS2");
  EXPECT_EQ(b._getDefaultServer(), "FS2");
  EXPECT_EQ(ostrel::getServerName(0), "FS2");
  nwsim::resetCallCounts();
  b._setDefaultServer("FS2");
  EXPECT_EQ(nwsim::callCount("NWCCOpenConnByName") + nwsim::callCount("NWGetConnectionHandle") +
                nwsim::callCount("NWSetPrimaryConnectionID") + nwsim::callCount("NWCCSetPrimaryConnection"),
            0u);
}

TEST_F(BaseTest, VersionShowsItsBoxOnlyWhileDesigned) {
  TNWBase& b = make();
  b.setProperty("Version", "anything");
  EXPECT_EQ(b._getVersion(), "1.45 / 4.50 - 15 Sept 1998");
  EXPECT_TRUE(dialogs->shown.empty());
  b.setDesigning(true);
  b._setVersion("x");
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].text, "Ostrel Version: 4.50 - 15 Sept 1998\n\nComponent Version: 1.45");
  EXPECT_EQ(dialogs->shown[0].type, platform::DialogType::Information);
  // While designed it shows its picture; exceptions are never raised.
  EXPECT_EQ(b.sizeHint(), QSize(28, 28));
  b.setSilentExceptions(false);
  EXPECT_NO_THROW(b._setServerName("NOSUCH"));
  EXPECT_NO_THROW(b.runException("x"));
}

TEST_F(BaseTest, NotificationReachesEveryWidgetOfTheFormInCreationOrder) {
  QWidget form;
  auto* first = new Probe(&form);
  first->setObjectName("first");
  new QWidget(&form);
  auto* group = new QWidget(&form);
  auto* nested = new Probe(group);
  nested->setObjectName("nested");
  TNWBase& b = make(&form);
  auto* last = new Probe(&form);
  last->setObjectName("last");
  b.notifyChange(NWM_BASEUSERCHANGE);
  EXPECT_EQ(journal(), QStringList({"first:user", "nested:user", "last:user"}));
}

TEST_F(BaseTest, AHandlerThatDestroysAnotherWidgetDoesNotBreakTheNotification) {
  QWidget form;
  auto* first = new Probe(&form);
  first->setObjectName("first");
  auto* second = new Probe(&form);
  second->setObjectName("second");
  TNWBase& b = make(&form);
  QObject::connect(&b, &TNWBase::OnUserChange, [] {});
  first->throwOnServerChange = true;
  journal().clear();
  // first's handler throws; the next widget still hears.
  b.notifyChange(NWM_BASESERVERCHANGE);
  EXPECT_EQ(journal(), QStringList({"first:server", "second:server"}));
  delete second;
  EXPECT_NO_THROW(b.notifyChange(NWM_BASESERVERCHANGE));
}

TEST_F(BaseTest, ABaseComponentOfADataModuleOrOfNobodyNotifiesNoOne) {
  QWidget form;
  auto* probe = new Probe(&form);
  QObject dataModule;
  auto* moduleBase = new TNWBase(&dataModule);
  moduleBase->notifyChange(NWM_BASESERVERCHANGE);
  moduleBase->_setServerName("FS2");
  TNWBase& alone = make();
  alone.notifyChange(NWM_BASESERVERCHANGE);
  EXPECT_EQ(probe->serverChanges, 0);
}

TEST_F(BaseTest, TwoInstancesShareTheUnitObjectsWhicheverGoesFirst) {
  for (const bool firstGoesFirst : {true, false}) {
    nwsim::useWorkstation("WS-DIR");
    auto one = std::make_unique<TNWBase>();
    auto two = std::make_unique<TNWBase>();
    (firstGoesFirst ? one : two).reset();
    TNWBase& left = firstGoesFirst ? *two : *one;
    EXPECT_TRUE(left._getIsNDS());
    EXPECT_NE(left._getContextHandle(), 0);
    left._setContextName("O=TESTORG");
    EXPECT_EQ(left.ndsContextName(), "O=TESTORG");
    auto objects = left.getObjectList(nwlNDSObjList);
    EXPECT_GT(objects->Count(), 0);
    EXPECT_EQ(left._getLastError()->NWNDS, "0000");
    EXPECT_EQ(left._getServerName(), "NDS1");
  }
  EXPECT_EQ(nwsim::openDirectoryContexts(), 0u);
}

TEST_F(BaseTest, TheConnectionListHoldsTheLoginsStations) {
  TNWBase& b = make();
  b._getServerHandle();
  std::unique_ptr<rtl::TList> conns = b.getConnList();
  ASSERT_EQ(conns->Count(), 1);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(conns->Items(0)), 3);
  EXPECT_TRUE(dialogs->shown.empty());
  b._setLoginID("GUEST");  // logged in nowhere
  EXPECT_EQ(b.getConnList()->Count(), 0);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].text, "Error Getting ConnList");
}

TEST_F(BaseTest, ObjTypeToNWObjTypeFollowsTheTable) {
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeNone), 0);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeUser), 0x0100);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeJobQueue), 0x0A00);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeNASSNAServer), 0x2100);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeTCPIPGateway), 0x2700);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeNDSTree), 0);
  EXPECT_EQ(TNWBase::objTypeToNWObjType(nwObjTypeConnectedServer), 0);
}

TEST_F(BaseTest, ThePublishedPropertiesAreStoredAsTheFormNeedsThem) {
  TNWBase& b = make();
  const QMetaObject* m = b.metaObject();
  auto stored = [&](const char* name) {
    const int i = m->indexOfProperty(name);
    EXPECT_GE(i, 0) << name;
    return i >= 0 && m->property(i).isStored();
  };
  for (const char* name : {"NDSContextName", "NDSContextFlagSet", "SilentExceptions"}) EXPECT_TRUE(stored(name)) << name;
  for (const char* name : {"ServerVersion", "NetAvailable", "NDSAvailable", "NDSPreferredTree", "DefaultServer",
                           "LastError", "Version", "LoginID", "ServerName", "ServerDate", "ShellErrorMode",
                           "BroadcastMode", "ServerHandle", "LoginFullName", "ObjectID", "ConnectionID", "ObjectType",
                           "NWObjectType", "MaxServerConns", "ConsoleOperator", "Manager", "FirstNetworkDrive",
                           "NextNetworkDrive"})
    EXPECT_FALSE(stored(name)) << name;
  const QMetaProperty shell = m->property(m->indexOfProperty("ShellErrorMode"));
  EXPECT_EQ(QString(shell.enumerator().valueToKey(2)), "nwErrDOS");
}

TEST_F(BaseTest, AServerThatCannotBeOpenedIsAnInvalidServerHandle) {
  TNWBase& b = make();
  b.setSilentExceptions(false);
  nwsim::injectFault("NWCCOpenConnByName", 0x8800);
  nwsim::injectFault("NWGetConnectionHandle", 0x8800);
  EXPECT_THROW(b._setServerName("FS2"), TNWObjError);
  EXPECT_EQ(b._getServerName(), "FS1");
  b._setServerName("FS2");  // the faults were for one call each
  EXPECT_EQ(b._getServerName(), "FS2");
}

TEST_F(BaseTest, AContextTheDirectoryRefusesLeavesTheNameItReports) {
  TNWBase& b = makeOn("WS-DIR");
  b._setContextName("O=TESTORG");
  nwsim::injectFault("NWDSSetContext", 0xFFFFFD97);
  b._setContextName("OU=SALES.O=TESTORG");
  EXPECT_EQ(b.ndsContextName(), "O=TESTORG");
  EXPECT_EQ(b._getLastError()->NWNDS, "FFFFFD97");
  // A flag that cannot be written leaves the context's flags as they were.
  const int before = nwnds::ndsGetContextFlags();
  nwsim::injectFault("NWDSGetContext", 0xFFFFFD97);
  b.NDSContextFlags()->setTypelessNames(true);
  EXPECT_EQ(nwnds::ndsGetContextFlags(), before);
}

TEST_F(BaseTest, AFailedStationListIsReportedAndEmpty) {
  TNWBase& b = make();
  b._getServerHandle();
  nwsim::injectFault("NWGetObjectConnectionNumbers", 0x89FF, -1);
  nwsim::injectFault("NWGetConnListFromObject", 0x89FF, -1);
  EXPECT_EQ(b.getConnList()->Count(), 0);
  ASSERT_EQ(dialogs->shown.size(), 1u);
  EXPECT_EQ(dialogs->shown[0].caption, "Error");
  nwsim::clearFaults();
}

TEST_F(BaseTest, WhileDesignedItShowsItsPalettePictureAndAtRunTimeNothing) {
  QWidget form;
  TNWBase& b = make(&form);
  b.setObjectName("NWBase1");
  b.setDesigning(true);
  EXPECT_TRUE(b.isVisibleTo(&form));
  const QImage picture = b.grab().toImage();
  ASSERT_EQ(picture.size(), QSize(28, 28));
  // The red emblem of the picture is there.
  int red = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixelColor(x, y) == QColor(Qt::red)) ++red;
  EXPECT_GT(red, 10);
  picture.scaled(112, 112).save(QString::fromStdString((nwtest::outputDir() / "tnwbase-designed.png").string()));
  b.setDesigning(false);
  EXPECT_FALSE(b.isVisibleTo(&form));
}
