// The operations of TNWBase for the current user on the current server.
#include "nwbase/nwbase.h"

#include <framework/strings.h>

#include <nwnds/nwnds.h>
#include <nwprint/nwprint.h>
#include <nwprop/nwprop.h>
#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>
#include <platform/network.h>
#include <rtl/sysutils.h>

using framework::toAnsi;
using framework::toQString;

namespace nwbase {
namespace {

// The network calls take their names in 129-byte buffers.
constexpr std::size_t NetNameBuffer = 129;

std::string bounded(const QString& text) { return toAnsi(text).substr(0, NetNameBuffer - 1); }

std::string driveName(QChar letter) { return std::string(1, letter.toLatin1()) + ":"; }

} // namespace

bool TNWBase::checkPassword(const QString& password) {
  if (_getIsNDS()) return nwnds::ndsPassCheck("", toAnsi(_getLoginID()), toAnsi(password));
  return ostrel::nwPassCheck(_getServerHandle(), toAnsi(_getLoginID()), toAnsi(password));
}

bool TNWBase::changePassword(const QString& oldPassword, const QString& newPassword) {
  if (_getIsNDS())
    return nwnds::ndsChangePassword("", toAnsi(_getLoginID()), toAnsi(newPassword), toAnsi(oldPassword));
  return nwprop::changeNWPassword(_getServerHandle(), toAnsi(_getLoginID()), toAnsi(newPassword), toAnsi(oldPassword));
}

bool TNWBase::isGroupMember(const QString& group) {
  if (_getIsNDS()) {
    const std::unique_ptr<rtl::TStringList> groups =
        nwnds::ndsGetMyGroups(toAnsi(FNDSContextName), toAnsi(_getLoginID()));
    const std::string wanted = rtl::LowerCase(toAnsi(group));
    for (const auto& item : *groups)
      if (rtl::LowerCase(nwnds::ndsAbbreviateName(item.text)) == wanted) return true;
    return false;
  }
  return ostrel::isMember(_getServerHandle(), toAnsi(_getLoginID()), toAnsi(group));
}

bool TNWBase::equivalentToObject(const QString& objectName) {
  return ostrel::secureEquiv(_getServerHandle(), toAnsi(_getLoginID()), toAnsi(objectName));
}

QString TNWBase::expandName(const QString& name) { return toQString(nwnds::ndsExpandName(toAnsi(name))); }

QString TNWBase::abbreviateName(const QString& name) { return toQString(nwnds::ndsAbbreviateName(toAnsi(name))); }

std::unique_ptr<rtl::TStringList> TNWBase::getQJobList(const QString& queueName) {
  auto list = std::make_unique<rtl::TStringList>();
  nwprint::getQueueJobList(_getServerHandle(), toAnsi(queueName), *list);
  return list;
}

std::unique_ptr<rtl::TStringList> TNWBase::getObjectList(TNWObjListType kind) {
  auto bindery = [this](std::uint16_t type) { return ostrel::getBinderyList(_getServerHandle(), type); };
  std::unique_ptr<rtl::TStringList> list;
  switch (kind) {
    case nwlNone: break;
    case nwlUserList: list = ostrel::getUserList(_getServerHandle(), false); break;
    case nwlUser: list = bindery(0x0100); break;
    case nwlGroup: list = bindery(0x0200); break;
    case nwlPrintQ: list = bindery(0x0300); break;
    case nwlConnectedFileServer: list = ostrel::getConnectedServerList(); break;
    case nwlFileServer: list = bindery(0x0400); break;
    case nwlPrintServer: list = bindery(0x0700); break;
    case nwlArchiveServer: list = bindery(0x0900); break;
    case nwlJobQueue: list = bindery(0x0500); break;
    case nwlAdministration: list = bindery(0x0B00); break;
    case nwlNASSNAServer: list = bindery(0x2100); break;
    case nwlRemoteBridge: list = bindery(0x2600); break;
    case nwlTCPIPGateway: list = bindery(0x2700); break;
    case nwlNDSTree:
      if (_getIsNDS()) list = nwnds::ndsGetTreeList();
      break;
    case nwlNDSObjList:
      if (_getIsNDS()) list = nwnds::ndsList(toAnsi(FNDSContextName), "");
      break;
  }
  return list ? std::move(list) : std::make_unique<rtl::TStringList>();
}

bool TNWBase::send(const QString& message) {
  return ostrel::sendLineMessage(_getServerHandle(), toAnsi(_getLoginID()), toAnsi(message));
}

bool TNWBase::login(const QString& serverName, const QString& password) {
  if (_getIsNDS()) return nwnds::ndsLogin("", toAnsi(_getLoginID()), toAnsi(password));
  const quint16 type = objTypeToNWObjType(loginObjectType());
  return nwserver::NWLogin(toAnsi(serverName), toAnsi(_getLoginID()), toAnsi(password), type);
}

bool TNWBase::logout(NWCONN_HANDLE conn) {
  if (conn != 0) return nwserver::closeConnection(conn);
  if (_getIsNDS()) return nwnds::ndsLogout();
  return nwserver::NWLogout(ostrel::getPrimaryServerID());
}

// ---- The network provider ---------------------------------------------------------------

QString TNWBase::winNetGetUserName() {
  char buffer[NetNameBuffer] = {};
  std::uint32_t length = NetNameBuffer;
  if (platform::wnetGetUser(nullptr, buffer, &length) != platform::NO_ERROR) return {};
  return toQString(rtl::bufferToString(buffer, sizeof buffer));
}

bool TNWBase::winOpenNetConnectDialog(QWidget* owner) {
  return platform::wnetConnectionDialog(owner, platform::RESOURCETYPE_DISK) == platform::NO_ERROR;
}

bool TNWBase::winCloseNetConnectDialog(QWidget* owner) {
  return platform::wnetDisconnectDialog(owner, platform::RESOURCETYPE_DISK) == platform::NO_ERROR;
}

bool TNWBase::winCloseNetPrintDialog(QWidget* owner) {
  return platform::wnetDisconnectDialog(owner, platform::RESOURCETYPE_PRINT) == platform::NO_ERROR;
}

bool TNWBase::winMapDelete(QChar letter, bool updateProfile) {
  const std::string name = driveName(letter);
  return platform::wnetCancelConnection2(name.c_str(), updateProfile ? platform::CONNECT_UPDATE_PROFILE : 0, true) ==
         platform::NO_ERROR;
}

bool TNWBase::winMapDrive(QChar letter, const QString& remoteName, const QString& userName, const QString& password,
                          bool) {
  platform::NetResource resource;
  resource.scope = 0;
  resource.type = platform::RESOURCETYPE_DISK;
  resource.displayType = 0;
  resource.usage = 0;
  resource.localName = driveName(letter);
  resource.remoteName = toAnsi(remoteName);
  const std::string user = bounded(userName);
  const std::string pass = bounded(password);
  if (platform::wnetAddConnection2(resource, pass.c_str(), user.c_str(), 0) == platform::NO_ERROR) return true;
  // An older provider may not take the record: the plain call, with the same password.
  const std::string remote = toAnsi(remoteName);
  return platform::wnetAddConnection(remote.c_str(), pass.c_str(), resource.localName.c_str()) == platform::NO_ERROR;
}

} // namespace nwbase
