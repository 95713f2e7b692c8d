#include "nwbase/nwbase.h"

#include "nwbase/network_provider.h"
#include "nwbase/unit_objects.h"

#include <framework/datetime.h>
#include <framework/guard.h>
#include <framework/strings.h>

#include <nwnds/nwnds.h>
#include <nwprint/nwprint.h>
#include <nwprop/nwprop.h>
#include <nwserver/nwserver.h>
#include <nwtools/nwtools.h>
#include <ostrel/ostrel.h>

#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include <array>

using framework::guardedValue;
using framework::toAnsi;
using framework::toQString;

namespace nwbase {
namespace {

// The bindery object type of each TNWObjType, by ordinal.
constexpr std::array<quint16, 17> ObjectTypes = {0,      0x0100, 0x0200, 0x0300, 0x0400, 0x0500,
                                                 0x0600, 0x0700, 0x0800, 0x0900, 0x0A00, 0x0B00,
                                                 0x2100, 0x2600, 0x2700, 0,      0};

constexpr int DesignedSize = 28;

} // namespace

TNWBase::TNWBase(QObject* owner)
    : framework::ComponentWidget<QWidget>(owner && owner->isWidgetType() ? static_cast<QWidget*>(owner) : nullptr) {
  // A data module (any object that is not a widget) owns it without being its parent.
  if (owner && !owner->isWidgetType()) connect(owner, &QObject::destroyed, this, [this] { delete this; });
  QWidget::setVisible(false);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

  FNetAvailable = false;
  detail::UnitObjects& units = detail::acquireUnitObjects();
  FLastError = new TNWLastError(this);
  FNDSContextFlags = new TNWDSContextFlags(this);
  installClientNetworkProvider();

  framework::guarded("TNWBase", [&] {
    FNetAvailable = ostrel::nwInit();
    if (FNetAvailable && nwnds::ndsInit()) {
      units.directoryOpen = true;
      ostrel::setAutoNDS(true);
      FNDSServer = nwnds::ndsisDSServer(_getServerHandle());
      // Reset the context to the root (a form's streamed context name comes later and is
      // ignored while loading).
      if (_getIsNDS()) applyContextName(QString());
      const TNWDSContextFlags& f = *FNDSContextFlags;
      if (f.typelessNames()) nwnds::ndsSetContextFlags(TypelessNames);
      else if (f.dereferenceAliases()) nwnds::ndsSetContextFlags(DereferenceAliases);
      if (f.translateStrings()) nwnds::ndsSetContextFlags(TranslateStrings);
      if (f.asyncMode()) nwnds::ndsSetContextFlags(AsyncMode);
      if (f.canonicalizeNames()) nwnds::ndsSetContextFlags(CanonicalizeNames);
      if (f.dereferenceBaseClass()) nwnds::ndsSetContextFlags(DereferenceBaseClass);
      if (f.disallowReferrals()) nwnds::ndsSetContextFlags(DisallowReferrals);
    }
    FLoginID = FNDSServer ? toQString(nwnds::ndsExpandName(nwnds::ndsWhoAmI()))
                          : toQString(ostrel::whoAmI(_getServerHandle()));
  });
}

TNWBase::~TNWBase() { detail::releaseUnitObjects(); }

// ---- Server, login name and context ---------------------------------------------------------

NWCONN_HANDLE TNWBase::_getServerHandle() {
  if (FServerHandle == 0) FServerHandle = ostrel::getPrimaryServerID();
  return FServerHandle;
}

QString TNWBase::_getServerName() {
  return guardedValue("ServerName", QString(), [this] {
    if (FServerName.isEmpty()) FServerName = toQString(ostrel::getServerName(_getServerHandle()));
    return FServerName;
  });
}

void TNWBase::_setServerName(const QString& serverName) {
  const QString name = serverName.toUpper();
  if (name.isEmpty()) {
    FServerHandle = ostrel::getPrimaryServerID();
    FServerName = toQString(ostrel::getServerName(FServerHandle));
  } else if (const NWCONN_HANDLE handle = nwserver::getServerHandle(toAnsi(name)); handle != 0) {
    FServerHandle = handle;
    FServerName = name;
  } else {
    runException(QStringLiteral("Invalid Server Handle"));
  }
  fireServerChange();
}

QString TNWBase::_getLoginID() {
  return guardedValue("LoginID", QString(), [this] {
    if (FLoginID.isEmpty())
      FLoginID = _getIsNDS() ? toQString(nwnds::ndsWhoAmI()) : toQString(ostrel::whoAmI(_getServerHandle()));
    return FLoginID;
  });
}

void TNWBase::_setLoginID(const QString& loginID) {
  if (!loginID.isEmpty())
    FLoginID = loginID.toUpper();
  else
    FLoginID = _getIsNDS() ? toQString(nwnds::ndsWhoAmI()) : toQString(ostrel::whoAmI(_getServerHandle()));
  fireUserChange();
}

void TNWBase::fireServerChange() {
  notifyChange(NWM_BASESERVERCHANGE);
  emit OnServerChange(this);
}

void TNWBase::fireUserChange() {
  notifyChange(NWM_BASEUSERCHANGE);
  emit OnUserChange(this);
}

void TNWBase::_setContextName(const QString& name) {
  if (isLoading() || !_getIsNDS()) return;
  applyContextName(name);
}

void TNWBase::applyContextName(const QString& name) {
  const QString upper = name.toUpper();
  if (upper.isEmpty() || upper == QLatin1String("[ROOT]"))
    nwnds::resetOstrelContext();
  else
    nwnds::ndsSetContext(toAnsi(upper));
  // What the directory reports, so that a name that could not be set is not shown as set.
  FNDSContextName = toQString(nwnds::ndsGetContextName());
  notifyChange(NWM_BASESERVERCHANGE);
}

void TNWBase::setNDSContextFlags(TNWDSContextFlags* flags) {
  if (flags && flags != FNDSContextFlags) FNDSContextFlags->assign(*flags);
}

bool TNWBase::_getIsNDS() {
  return guardedValue("NDSAvailable", false, [this] { return FNDSServer && nwnds::ndsisDSServer(_getServerHandle()); });
}

// ---- Derived values ------------------------------------------------------------------------

QString TNWBase::_getServerVersion() {
  return guardedValue("ServerVersion", QStringLiteral("0.0"), [this] {
    nwserver::TNWServerInfo& info = detail::serverRecord();
    if (!nwserver::getServerStats(_getServerHandle(), info)) return QStringLiteral("0.0");
    return toQString(info.version);
  });
}

QString TNWBase::_getNDSPreferredTree() {
  return guardedValue("NDSPreferredTree", QString(), [this] {
    if (!_getIsNDS()) return QString();
    return toQString(nwnds::ndsGetServerTreeName(nwnds::ndsGetPreferredDSServer()));
  });
}

void TNWBase::_setNDSPreferredTree(const QString& treeName) {
  if (_getIsNDS()) nwnds::ndsSetPreferredTreeName(toAnsi(treeName));
}

QString TNWBase::_getDefaultServer() {
  return guardedValue("DefaultServer", QString(), [] { return toQString(ostrel::getServerName(0)); });
}

void TNWBase::_setDefaultServer(const QString& serverName) {
  if (serverName == FDefaultServer) return;
  NWCONN_HANDLE handle = 0;
  if (ostrel::setPreferredServer(toAnsi(serverName), handle)) FDefaultServer = serverName;
}

TNWLastError* TNWBase::_getLastError() {
  framework::guarded("LastError", [this] {
    // The units' own codes, so that every instance reads the same.
    auto code = [](std::int32_t value) { return toQString(ostrel::formatLastError(value)); };
    FLastError->Ostrel = code(ostrel::lasterror());
    FLastError->NWServer = code(nwserver::lasterror());
    FLastError->NWProp = code(nwprop::lasterror());
    FLastError->NWNDS = code(nwnds::lasterror());
    FLastError->NWPrint = code(nwprint::lasterror());
  });
  return FLastError;
}

void TNWBase::setLastError(TNWLastError* lastError) {
  if (lastError && lastError != FLastError) FLastError->assign(*lastError);
}

QString TNWBase::_getVersion() {
  return guardedValue("Version", QString(), [] {
    return QStringLiteral("%1 / %2").arg(QLatin1String(ComponentVersion), toQString(ostrel::getOstrelVersion()));
  });
}

void TNWBase::_setVersion(const QString&) {
  if (!isDesigning() || isLoading()) return;
  nwtools::okBox("Ostrel Version: " + ostrel::getOstrelVersion() + ";;" + "Component Version: " + ComponentVersion);
}

QDateTime TNWBase::_getServerDate() {
  return guardedValue("ServerDate", QDateTime(), [this] {
    const NWCONN_HANDLE h = _getServerHandle();
    return framework::toQDateTime(ostrel::getServerDate(h) + ostrel::getServerTime(h));
  });
}

void TNWBase::_setServerDate(const QDateTime& dateTime) {
  nwserver::setServerDateTime(_getServerHandle(), framework::toTDateTime(dateTime));
}

void TNWBase::_setShellErrorMode(TNWShellErrorMode mode) {
  FShellErrorMode = mode;
  ostrel::setShellErrorMode(static_cast<std::uint8_t>(mode));
}

TNWBroadcastMode TNWBase::_getBroadcastMode() {
  return guardedValue("BroadcastMode", nwBroadcastOn, [this] {
    const std::uint16_t mode = ostrel::getBroadcastMode(_getServerHandle());
    return mode <= nwBroadcastStored ? static_cast<TNWBroadcastMode>(mode) : nwBroadcastOn;
  });
}

void TNWBase::_setBroadcastMode(TNWBroadcastMode mode) {
  ostrel::setBroadcastMode(_getServerHandle(), static_cast<std::uint16_t>(mode));
}

QString TNWBase::_getFullName() {
  return guardedValue("LoginFullName", QString(),
                      [this] { return toQString(ostrel::fullName(_getServerHandle(), toAnsi(FLoginID))); });
}

TNWObjType TNWBase::loginObjectType() {
  const quint16 type = ostrel::getObjType(_getServerHandle(), toAnsi(FLoginID));
  if (type != 0)
    for (int kind = nwObjTypeUser; kind <= nwObjTypeTCPIPGateway; ++kind)
      if (ObjectTypes[static_cast<std::size_t>(kind)] == type) return static_cast<TNWObjType>(kind);
  runException(QStringLiteral("Invalid Netware Object Type"));
  return nwObjTypeUser;
}

TNWObjType TNWBase::_getObjType() {
  return guardedValue("ObjectType", nwObjTypeUser, [this] {
    try {
      return loginObjectType();
    } catch (const TNWObjError&) {
      return nwObjTypeUser;  // what a silent read gives
    }
  });
}

QString TNWBase::_getObjectID() {
  return guardedValue("ObjectID", QString(), [this] {
    if (_getIsNDS()) return toQString(nwnds::ndsGetObjID(_getServerHandle(), toAnsi(_getLoginID())));
    const quint16 type = objTypeToNWObjType(_getObjType());
    return toQString(ostrel::getObjID(_getServerHandle(), toAnsi(_getLoginID()), type));
  });
}

quint16 TNWBase::_getNWObjType() {
  return guardedValue<quint16>("NWObjectType", 0,
                               [this] { return ostrel::getObjType(_getServerHandle(), toAnsi(FLoginID)); });
}

quint16 TNWBase::_getConnectID() {
  return guardedValue<quint16>("ConnectionID", 0, [this] { return ostrel::getConnectID(_getServerHandle()); });
}

quint16 TNWBase::_getMaxServerConns() {
  return guardedValue<quint16>("MaxServerConns", 0, [] { return ostrel::maxConns(); });
}

bool TNWBase::_getIsConsoleOperator() {
  return guardedValue("ConsoleOperator", false, [this] { return ostrel::isConsoleOperator(_getServerHandle()); });
}

bool TNWBase::_getIsManager() {
  return guardedValue("Manager", false, [this] { return ostrel::isNWManager(_getServerHandle()); });
}

QChar TNWBase::_getFirstNetDrive() {
  return guardedValue("FirstNetworkDrive", QChar(), [] { return QChar::fromLatin1(ostrel::getFirstNetDrive()); });
}

QChar TNWBase::_getNextNetDrive() {
  return guardedValue("NextNetworkDrive", QChar(), [] { return QChar::fromLatin1(ostrel::getNextNetDrive()); });
}

// ---- Members ----------------------------------------------------------------------------

void TNWBase::runException(const QString& message) {
  if (isDesigning() || FSilentExceptions) return;
  throw TNWObjError(toAnsi(message));
}

void TNWBase::notifyChange(int message) {
  if (isLoading()) return;
  QWidget* form = ownerForm();
  if (!form) return;
  // A handler may destroy other widgets of the form; those are skipped.
  QList<QPointer<QWidget>> targets;
  for (QWidget* w : framework::formWidgets(form))
    if (!qobject_cast<TNWBase*>(w)) targets.append(w);
  for (const QPointer<QWidget>& target : targets)
    if (target) framework::sendNotification(target, message);
}

quint16 TNWBase::objTypeToNWObjType(TNWObjType type) {
  const auto index = static_cast<std::size_t>(type);
  return index < ObjectTypes.size() ? ObjectTypes[index] : 0;
}

std::unique_ptr<rtl::TList> TNWBase::getConnList() {
  auto list = std::make_unique<rtl::TList>();
  std::int32_t count = 0;
  std::array<std::uint16_t, 50> numbers{};
  if (ostrel::getUserConnList(FServerHandle, toAnsi(FLoginID), count, numbers)) {
    for (std::int32_t i = 0; i < count && i < static_cast<std::int32_t>(numbers.size()); ++i)
      list->Add(reinterpret_cast<void*>(static_cast<std::intptr_t>(numbers[static_cast<std::size_t>(i)])));
  } else {
    nwtools::alertBox("Error Getting ConnList");
  }
  return list;
}

int TNWBase::_getContextHandle() { return nwnds::getInternalContextHandle(); }

// ---- The widget -------------------------------------------------------------------------

QSize TNWBase::sizeHint() const { return isDesigning() ? QSize(DesignedSize, DesignedSize) : QSize(0, 0); }

void TNWBase::setVisible(bool visible) { QWidget::setVisible(visible && isDesigning()); }

void TNWBase::designingChanged() {
  if (isDesigning()) {
    setFixedSize(DesignedSize, DesignedSize);
    setToolTip(objectName());
    QWidget::setVisible(true);
  } else {
    QWidget::setVisible(false);
  }
}

void TNWBase::paintEvent(QPaintEvent*) {
  if (!isDesigning()) return;
  framework::guarded("TNWBase::paintEvent", [this] {
    static const QPixmap picture(QStringLiteral(":/rudodor4/TNWBASE"));
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    painter.setPen(palette().dark().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2, picture);
  });
}

} // namespace nwbase
