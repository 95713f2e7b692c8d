#pragma once
// The vocabulary of the directory unit: attribute syntaxes, object kinds, change kinds and
// the attribute catalogue (each attribute's directory name and the syntax its values are
// written in). Constant data; nothing here calls the client.
#include <nwclient/directory.h>

#include <cstdint>
#include <string>

namespace nwnds {

/// Attribute syntaxes; the ordinal is the client's syntax ID.
enum TNWDSSynTypes : std::uint8_t {
  SYN_UNKNOWN,
  SYN_DIST_NAME,
  SYN_CE_STRING,
  SYN_CI_STRING,
  SYN_PR_STRING,
  SYN_NU_STRING,
  SYN_CI_LIST,
  SYN_BOOLEAN,
  SYN_INTEGER,
  SYN_OCTET_STRING,
  SYN_TEL_NUMBER,
  SYN_FAX_NUMBER,
  SYN_NET_ADDRESS,
  SYN_OCTET_LIST,
  SYN_EMAIL_ADDRESS,
  SYN_PATH,
  SYN_REPLICA_POINTER,
  SYN_OBJECT_ACL,
  SYN_PO_ADDRESS,
  SYN_TIMESTAMP,
  SYN_CLASS_NAME,
  SYN_STREAM,
  SYN_COUNTER,
  SYN_BACK_LINK,
  SYN_TIME,
  SYN_TYPED_NAME,
  SYN_HOLD,
  SYN_INTERVAL,
  SYNTAX_COUNT,
};

/// The kinds of directory object the library distinguishes (a listing's node kind).
enum TNWDSObjType : std::uint8_t {
  dsoAFPServer,
  dsoAlias,
  dsoBinderyObject,
  dsoBinderyQueue,
  dsoComputer,
  dsoCountry,
  dsoDirectoryMap,
  dsoExternalEntity,
  dsoGroup,
  dsoList,
  dsoLocality,
  dsoMessageRoutingGroup,
  dsoMessagingServer,
  dsoNcpServer,
  dsoOrganization,
  dsoOrganizationalRole,
  dsoOrganizationalUnit,
  dsoPrinter,
  dsoPrintServer,
  dsoProfile,
  dsoQueue,
  dsoServer,
  dsoTop,
  dsoUnknown,
  dsoUser,
  dsoVolume,
  dsoTree,
  dsoFile,
  dsoDirectory,
  dsoQueueJob,
};

/// The directory attributes the library can name.
enum TNWDSAttrType : std::uint8_t {
  dsaAccountBalance,
  dsaACL,
  dsaAliasedObjName,
  dsaAllowUnlimitedCredit,
  dsaAuthorityRevocation,
  dsaBackLink,
  dsaBinderyObjRestriction,
  dsaBinderyProperty,
  dsaBinderyType,
  dsaCountry,
  dsaCAPrivateKey,
  dsaCAPublicKey,
  dsaCartridge,
  dsaCertificateRevocation,
  dsaCertificateValidityInterval,
  dsaClassName,
  dsaCommonName,
  dsaConvergence,
  dsaCrossCertificatePair,
  dsaDefaultQueue,
  dsaDescription,
  dsaDetectIntruder,
  dsaDevice,
  dsaDSRevision,
  dsaEmailAddress,
  dsaExternalName,
  dsaEquivalentToMe,
  dsaExternalSynchronizer,
  dsaFacsimileTelephoneNumber,
  dsaFullName,
  dsaGenerationalQualifier,
  dsaGroupID,
  dsaGivenName,
  dsaGroupMembership,
  dsaHighConvergenceSyncInterval,
  dsaHigherPrivileges,
  dsaHomeDirectory,
  dsaHostDevice,
  dsaHostResourceName,
  dsaHostServer,
  dsaInheritedACL,
  dsaInitials,
  dsaIntruderAttemptResetInterval,
  dsaIntruderLockoutResetInterval,
  dsaLocality,
  dsaLanguage,
  dsaLastLoginTime,
  dsaLastReferencedTime,
  dsaLockedByIntruder,
  dsaLockoutAfterDetection,
  dsaLoginAllowedTimeMap,
  dsaLoginDisabled,
  dsaLoginExpirationTime,
  dsaLoginGraceLimit,
  dsaLoginGraceRemaining,
  dsaLoginIntruderAddress,
  dsaLoginIntruderAttempts,
  dsaLoginIntruderLimit,
  dsaLoginIntruderResetTime,
  dsaLoginMaximumSimultaneous,
  dsaLoginScript,
  dsaLoginTime,
  dsaLowConvergenceResetTime,
  dsaLowConvergenceSyncInterval,
  dsaMailboxID,
  dsaMailboxLocation,
  dsaMember,
  dsaMemory,
  dsaMessageRoutingGroup,
  dsaMessageServer,
  dsaMessagingDatabaseLocation,
  dsaMessagingServer,
  dsaMessagingServerType,
  dsaMinimumAccountBalance,
  dsaNetworkAddress,
  dsaNetworkAddressRestriction,
  dsaNNSDomain,
  dsaNotify,
  dsaOrganization,
  dsaObituary,
  dsaObjectClass,
  dsaOperator,
  dsaOrganizationalUnit,
  dsaOwner,
  dsaPageDescriptionLanguage,
  dsaPartitionControl,
  dsaPartitionCreationTime,
  dsaPasswordAllowChange,
  dsaPasswordExpirationInterval,
  dsaPasswordExpirationTime,
  dsaPasswordMinimumLength,
  dsaPasswordRequired,
  dsaPasswordUniqueRequired,
  dsaPasswordsUsed,
  dsaPath,
  dsaPhysicalDeliveryOfficeName,
  dsaPostalAddress,
  dsaPostalCode,
  dsaPostalOfficeBox,
  daPostmaster,
  dsaPrintJobConfiguration,
  dsaPrintServer,
  dsaPrinter,
  dsaPrinterConfiguration,
  dsaPrinterControl,
  dsaPrivateKey,
  dsaProfile,
  dsaProfileMembership,
  dsaPublicKey,
  dsaQueue,
  dsaQueueDirectory,
  dsaReceivedUpTo,
  dsaReference,
  dsaReplica,
  dsaReplicaUpTo,
  dsaResource,
  dsaRevision,
  dsaRoleOccupant,
  dsaState,
  dsaStreetAddress,
  dsaSAPName,
  dsaSecurityEquals,
  dsaSecurityFlags,
  dsaSeeAlso,
  dsaSerialNumber,
  dsaServer,
  dsaServerHolds,
  dsaStatus,
  dsaSupportedConnections,
  dsaSupportedGateway,
  dsaSupportedServices,
  dsaSupportedTypefaces,
  dsaSurname,
  dsaSynchronizesUpTo,
  dsaTelephoneNumber,
  dsaTitle,
  dsaTypeCreatorMap,
  dsaUserID,
  dsaUnknown,
  dsaUnknownBaseClass,
  dsaUser,
  dsaVersion,
  dsaVolume,
};

/// The kinds of change the attribute change routine applies; the ordinal is its mode.
enum TNWDSAttrAction : std::uint8_t {
  dsaaAdd,
  dsaaEdit,
  dsaaRemoveValue,
  dsaaRemoveAttr,
};

/// Number of catalogued attributes (ordinals 0 .. kAttrTypeCount - 1).
inline constexpr int kAttrTypeCount = 143;
/// Number of object kinds.
inline constexpr int kObjTypeCount = 30;

/// Sets `name` to the catalogue's directory name of the attribute; empty for an ordinal
/// outside the catalogue.
void _ndsGetAttrName(TNWDSAttrType attr, std::string& name);
/// The syntax the attribute's values are written in; SYN_INTEGER outside the catalogue.
TNWDSSynTypes _ndsGetSynType(TNWDSAttrType attr);
/// The kind of a listed object, from the base-class name of its information record.
TNWDSObjType _ndsClassToObjType(const Object_Info_T& info);

/// The kind a class name (any case) stands for; dsoUnknown when it is none of them.
TNWDSObjType classNameToObjType(const std::string& className);
/// The class an object of that kind is created as; empty for kinds that cannot be created.
std::string objTypeCreateClass(TNWDSObjType kind);
/// True for the syntaxes whose values are zero-terminated text.
bool isTextSyntax(TNWDSSynTypes syntax);
/// True for the syntaxes whose values are signed 32-bit numbers.
bool isIntegerSyntax(TNWDSSynTypes syntax);
/// The published name of a syntax ("SYN_CI_STRING"); empty outside the enumeration.
std::string synTypeName(TNWDSSynTypes syntax);

} // namespace nwnds
