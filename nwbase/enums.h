#pragma once
// The enumerations of the base unit. Their value names are part of the interface: forms
// stream them by name.
#include <framework/rudodor4_export.h>

#include <QFlags>
#include <QObject>

namespace nwbase {
Q_NAMESPACE_EXPORT(RUDODOR4_EXPORT)

/// Bindery object kinds, each with the object type objTypeToNWObjType gives.
enum TNWObjType : int {
  nwObjTypeNone,
  nwObjTypeUser,
  nwObjTypeGroup,
  nwObjTypePrintQ,
  nwObjTypeFileServer,
  nwObjTypeJobServer,
  nwObjTypeGateway,
  nwObjTypePrintServer,
  nwObjTypeArchiveQueue,
  nwObjTypeArchiveServer,
  nwObjTypeJobQueue,
  nwObjTypeAdministration,
  nwObjTypeNASSNAServer,
  nwObjTypeRemoteBridge,
  nwObjTypeTCPIPGateway,
  nwObjTypeNDSTree,
  nwObjTypeConnectedServer
};
Q_ENUM_NS(TNWObjType)

/// The kinds of list TNWBase::getObjectList makes.
enum TNWObjListType : int {
  nwlNone,
  nwlUserList,
  nwlUser,
  nwlGroup,
  nwlPrintQ,
  nwlConnectedFileServer,
  nwlFileServer,
  nwlPrintServer,
  nwlArchiveServer,
  nwlJobQueue,
  nwlAdministration,
  nwlNASSNAServer,
  nwlRemoteBridge,
  nwlTCPIPGateway,
  nwlNDSTree,
  nwlNDSObjList
};
Q_ENUM_NS(TNWObjListType)

/// How the client reports its own errors, passed by ordinal.
enum TNWShellErrorMode : int { nwErrInteractive, nwErrNetware, nwErrDOS };
Q_ENUM_NS(TNWShellErrorMode)

/// The workstation's broadcast mode, passed and read by ordinal.
enum TNWBroadcastMode : int { nwBroadcastOn, nwBroadcastServerOnly, nwBroadcastOff, nwBroadcastStored };
Q_ENUM_NS(TNWBroadcastMode)

/// The directory context flags of TNWDSContextFlags, as the bits of the context's flags.
enum TNWDSContextFlag : int {
  DereferenceAliases = 0x01,
  TranslateStrings = 0x02,
  TypelessNames = 0x04,
  AsyncMode = 0x08,
  CanonicalizeNames = 0x10,
  DereferenceBaseClass = 0x40,
  DisallowReferrals = 0x80
};
Q_DECLARE_FLAGS(TNWDSContextFlagSet, TNWDSContextFlag)
Q_FLAG_NS(TNWDSContextFlagSet)

} // namespace nwbase

Q_DECLARE_OPERATORS_FOR_FLAGS(nwbase::TNWDSContextFlagSet)
