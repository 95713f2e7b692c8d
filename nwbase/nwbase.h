#pragma once
// Unit Nwbase: TNWBase, the component an application puts on a form to reach the network.
// It loads the client (through the unit objects of the function units), holds the current
// server connection, login name and directory context, publishes them and many derived
// values as properties, and tells the widgets of its form when the server or the user
// changes (NWM_BASESERVERCHANGE, NWM_BASEUSERCHANGE), before firing OnServerChange or
// OnUserChange.
//
// Property reads never raise; they give the units' soft values ("LOCAL", "0.0", empty,
// 0, false) and leave the completion codes in LastError. With SilentExceptions false (and
// not while designed), writing an unknown ServerName and logging in with a login object of
// no known type raise TNWObjError.
//
// A widget, because the form designer places only widgets: hidden and taking no space at
// run time, showing its palette picture while designed.
#include <framework/component.h>
#include <framework/notification.h>
#include <framework/rudodor4_export.h>
#include <nwbase/enums.h>
#include <nwbase/persistent.h>
#include <ostrel/callframe.h>
#include <rtl/exceptions.h>
#include <rtl/tlist.h>
#include <rtl/tstringlist.h>

#include <QChar>
#include <QDateTime>
#include <QString>
#include <QWidget>

#include <memory>

namespace nwbase {

using framework::NWM_BASESERVERCHANGE;
using framework::NWM_BASEUSERCHANGE;

/// The exception TNWBase raises itself (runException).
class RUDODOR4_EXPORT TNWObjError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

/// The text Version reads after "1.45 / ".
inline constexpr const char* ComponentVersion = "1.45";

class RUDODOR4_EXPORT TNWBase : public framework::ComponentWidget<QWidget> {
  Q_OBJECT
  Q_PROPERTY(qlonglong Tag MEMBER FTag)
  Q_PROPERTY(QString ServerVersion READ _getServerVersion STORED false)
  Q_PROPERTY(bool NetAvailable READ netAvailable STORED false)
  Q_PROPERTY(QString NDSContextName MEMBER FNDSContextName WRITE _setContextName)
  /// The context flags object; assigning one copies its values.
  Q_PROPERTY(nwbase::TNWDSContextFlags* NDSContextFlags READ NDSContextFlags WRITE setNDSContextFlags STORED false
                 DESIGNABLE false)
  /// The same seven flags as one set: what the form designer edits and a form stores.
  Q_PROPERTY(nwbase::TNWDSContextFlagSet NDSContextFlagSet READ contextFlagSet WRITE setContextFlagSet)
  Q_PROPERTY(bool NDSAvailable READ _getIsNDS STORED false)
  Q_PROPERTY(QString NDSPreferredTree READ _getNDSPreferredTree WRITE _setNDSPreferredTree STORED false)
  Q_PROPERTY(QString DefaultServer READ _getDefaultServer WRITE _setDefaultServer STORED false)
  /// Refreshed from the units at every read; assigning one copies its values.
  Q_PROPERTY(nwbase::TNWLastError* LastError READ _getLastError WRITE setLastError STORED false DESIGNABLE false)
  Q_PROPERTY(bool SilentExceptions MEMBER FSilentExceptions)
  Q_PROPERTY(QString Version READ _getVersion WRITE _setVersion STORED false)
  Q_PROPERTY(QString LoginID READ _getLoginID WRITE _setLoginID STORED false)
  Q_PROPERTY(QString ServerName READ _getServerName WRITE _setServerName STORED false)
  Q_PROPERTY(QDateTime ServerDate READ _getServerDate WRITE _setServerDate STORED false)
  Q_PROPERTY(nwbase::TNWShellErrorMode ShellErrorMode MEMBER FShellErrorMode WRITE _setShellErrorMode STORED false)
  Q_PROPERTY(nwbase::TNWBroadcastMode BroadcastMode READ _getBroadcastMode WRITE _setBroadcastMode STORED false)
  Q_PROPERTY(uint ServerHandle READ _getServerHandle STORED false)
  Q_PROPERTY(QString LoginFullName READ _getFullName STORED false)
  Q_PROPERTY(QString ObjectID READ _getObjectID STORED false)
  Q_PROPERTY(ushort ConnectionID READ _getConnectID STORED false)
  Q_PROPERTY(nwbase::TNWObjType ObjectType READ _getObjType STORED false)
  Q_PROPERTY(ushort NWObjectType READ _getNWObjType STORED false)
  Q_PROPERTY(ushort MaxServerConns READ _getMaxServerConns STORED false)
  Q_PROPERTY(bool ConsoleOperator READ _getIsConsoleOperator STORED false)
  Q_PROPERTY(bool Manager READ _getIsManager STORED false)
  Q_PROPERTY(QChar FirstNetworkDrive READ _getFirstNetDrive STORED false)
  Q_PROPERTY(QChar NextNetworkDrive READ _getNextNetDrive STORED false)

public:
  /// `owner` owns the component: a widget (the form, or a widget on it) becomes its parent;
  /// any other object (a data module) frees it when it goes, and no form is notified.
  explicit TNWBase(QObject* owner = nullptr);
  ~TNWBase() override;

  // ---- Properties ------------------------------------------------------------------------
  QString _getServerVersion();
  bool netAvailable() const { return FNetAvailable; }
  QString ndsContextName() const { return FNDSContextName; }
  void _setContextName(const QString& name);
  TNWDSContextFlags* NDSContextFlags() const { return FNDSContextFlags; }
  void setNDSContextFlags(TNWDSContextFlags* flags);
  TNWDSContextFlagSet contextFlagSet() const { return FNDSContextFlags->flags(); }
  void setContextFlagSet(TNWDSContextFlagSet flags) { FNDSContextFlags->setFlags(flags); }
  bool _getIsNDS();
  QString _getNDSPreferredTree();
  void _setNDSPreferredTree(const QString& treeName);
  QString _getDefaultServer();
  void _setDefaultServer(const QString& serverName);
  TNWLastError* _getLastError();
  void setLastError(TNWLastError* lastError);
  bool silentExceptions() const { return FSilentExceptions; }
  void setSilentExceptions(bool on) { FSilentExceptions = on; }
  QString _getVersion();
  void _setVersion(const QString& ignored);
  QString _getLoginID();
  void _setLoginID(const QString& loginID);
  QString _getServerName();
  /// Raises TNWObjError "Invalid Server Handle" for a server no connection can be opened
  /// to, unless exceptions are silent (or the component is designed).
  void _setServerName(const QString& serverName);
  QDateTime _getServerDate();
  void _setServerDate(const QDateTime& dateTime);
  TNWShellErrorMode shellErrorMode() const { return FShellErrorMode; }
  void _setShellErrorMode(TNWShellErrorMode mode);
  TNWBroadcastMode _getBroadcastMode();
  void _setBroadcastMode(TNWBroadcastMode mode);
  NWCONN_HANDLE _getServerHandle();
  QString _getFullName();
  QString _getObjectID();
  quint16 _getConnectID();
  /// The login object's kind; an unknown type reads as nwObjTypeUser.
  TNWObjType _getObjType();
  quint16 _getNWObjType();
  quint16 _getMaxServerConns();
  bool _getIsConsoleOperator();
  bool _getIsManager();
  QChar _getFirstNetDrive();
  QChar _getNextNetDrive();

  // ---- Members -----------------------------------------------------------------------------
  /// Raises TNWObjError with the message, unless designed or exceptions are silent.
  void runException(const QString& message);
  /// Sends a message to every widget of the owner form, in creation order; nothing while
  /// loading or when no form owns the component.
  void notifyChange(int message);
  /// The bindery object type of a kind.
  static quint16 objTypeToNWObjType(TNWObjType type);
  /// The stations the login name is logged in on (pointer-sized connection numbers).
  /// Shows "Error Getting ConnList" and gives an empty list when there are none.
  std::unique_ptr<rtl::TList> getConnList();
  /// The directory context handle of the directory unit.
  int _getContextHandle();

  // ---- Operations: the current user on the current server ------------------------------
  bool checkPassword(const QString& password);
  bool changePassword(const QString& oldPassword, const QString& newPassword);
  bool isGroupMember(const QString& group);
  bool equivalentToObject(const QString& objectName);
  QString expandName(const QString& name);
  QString abbreviateName(const QString& name);
  /// The jobs of a queue of the current server.
  std::unique_ptr<rtl::TStringList> getQJobList(const QString& queueName);
  /// The list of a kind (never null; empty when there is nothing to list).
  std::unique_ptr<rtl::TStringList> getObjectList(TNWObjListType kind);
  /// A message to every station the login name is logged in on.
  bool send(const QString& message);
  /// Logs in with the login name; through the directory when NDSAvailable (the server name
  /// is then not used). May raise "Invalid Netware Object Type" (see runException).
  bool login(const QString& serverName, const QString& password);
  /// Closes a connection; 0 logs out of the directory, or of the primary connection.
  bool logout(NWCONN_HANDLE conn);

  // ---- The network provider (drive connections and their dialogs) ------------------------
  QString winNetGetUserName();
  bool winOpenNetConnectDialog(QWidget* owner);
  bool winCloseNetConnectDialog(QWidget* owner);
  bool winCloseNetPrintDialog(QWidget* owner);
  bool winMapDelete(QChar letter, bool updateProfile);
  /// Connects a drive; `flag` has no effect (the connection is never made persistent).
  bool winMapDrive(QChar letter, const QString& remoteName, const QString& userName, const QString& password,
                   bool flag);

  QSize sizeHint() const override;
  void setVisible(bool visible) override;

signals:
  void OnServerChange(QObject* Sender);
  void OnUserChange(QObject* Sender);

protected:
  void paintEvent(QPaintEvent* event) override;
  void designingChanged() override;

private:
  /// The login object's kind; raises (runException) for an unknown type.
  TNWObjType loginObjectType();
  /// Sets the directory context (the loading and NDSAvailable checks done by the caller).
  void applyContextName(const QString& name);
  void fireServerChange();
  void fireUserChange();

  QString FLoginID;
  QString FServerName;
  QString FDefaultServer;
  QString FNDSContextName;
  bool FNetAvailable = false;
  bool FNDSServer = false;
  bool FSilentExceptions = true;
  TNWShellErrorMode FShellErrorMode = nwErrInteractive;
  NWCONN_HANDLE FServerHandle = 0;
  TNWLastError* FLastError = nullptr;
  TNWDSContextFlags* FNDSContextFlags = nullptr;
  qlonglong FTag = 0;
};

} // namespace nwbase
