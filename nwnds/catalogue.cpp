#include "nwnds/catalogue.h"

#include <rtl/sysutils.h>

#include <cstring>
#include <iterator>

namespace nwnds {

namespace {

struct AttrEntry {
  const char* name;
  TNWDSSynTypes syntax;
};

struct ObjEntry {
  const char* matched;   // upper-case class name recognised in listings; null: never matched
  const char* createAs;  // class written when an object of this kind is created; null: none
};

constexpr AttrEntry kAttributes[] = {
    {"Account Balance", SYN_COUNTER},
    {"ACL", SYN_OBJECT_ACL},
    {"Aliased Object Name", SYN_DIST_NAME},
    {"Allow Unlimited Credit", SYN_BOOLEAN},
    {"Authority Revocation", SYN_OCTET_STRING},
    {"Back Link", SYN_BACK_LINK},
    {"Bindery Object Restriction", SYN_INTEGER},
    {"Bindery Property", SYN_OCTET_STRING},
    {"Bindery Type", SYN_NU_STRING},
    {"C", SYN_CI_STRING},
    {"CA Private Key", SYN_OCTET_STRING},
    {"CA Public Key", SYN_OCTET_STRING},
    {"Cartridge", SYN_CI_STRING},
    {"Certificate Revocation", SYN_OCTET_STRING},
    {"Certificate Validity Interval", SYN_INTERVAL},
    {"Object Class", SYN_CI_STRING},
    {"CN", SYN_CI_STRING},
    {"Convergence", SYN_INTEGER},
    {"Cross Certificate Pair", SYN_OCTET_STRING},
    {"Default Queue", SYN_DIST_NAME},
    {"Description", SYN_CI_STRING},
    {"Detect Intruder", SYN_BOOLEAN},
    {"Device", SYN_DIST_NAME},
    {"Revision", SYN_INTEGER},
    {"EMail Address", SYN_EMAIL_ADDRESS},
    {"External Name", SYN_OCTET_STRING},
    {"Equivalent To Me", SYN_DIST_NAME},
    {"External Synchronizer", SYN_OCTET_STRING},
    {"Facsimile Telephone Number", SYN_FAX_NUMBER},
    {"Full Name", SYN_CI_STRING},
    {"Generational Qualifier", SYN_CI_STRING},
    {"GID", SYN_INTEGER},
    {"Given Name", SYN_CI_STRING},
    {"Group Membership", SYN_DIST_NAME},
    {"High Convergence Sync Interval", SYN_INTERVAL},
    {"Higher Privileges", SYN_DIST_NAME},
    {"Home Directory", SYN_PATH},
    {"Host Device", SYN_DIST_NAME},
    {"Host Resource Name", SYN_CI_STRING},
    {"Host Server", SYN_DIST_NAME},
    {"Inherited ACL", SYN_OBJECT_ACL},
    {"Initials", SYN_CI_STRING},
    {"Intruder Attempt Reset Interval", SYN_INTERVAL},
    {"Intruder Lockout Reset Interval", SYN_INTERVAL},
    {"L", SYN_CI_STRING},
    {"Language", SYN_CI_STRING},
    {"Last Login Time", SYN_TIME},
    {"Last Referenced Time", SYN_TIMESTAMP},
    {"Locked By Intruder", SYN_BOOLEAN},
    {"Lockout After Detection", SYN_BOOLEAN},
    {"Login Allowed Time Map", SYN_OCTET_STRING},
    {"Login Disabled", SYN_BOOLEAN},
    {"Login Expiration Time", SYN_TIME},
    {"Login Grace Limit", SYN_INTEGER},
    {"Login Grace Remaining", SYN_COUNTER},
    {"Login Intruder Address", SYN_NET_ADDRESS},
    {"Login Intruder Attempts", SYN_COUNTER},
    {"Login Intruder Limit", SYN_INTEGER},
    {"Login Intruder Reset Time", SYN_TIME},
    {"Login Maximum Simultaneous", SYN_INTEGER},
    {"Login Script", SYN_STREAM},
    {"Login Time", SYN_TIME},
    {"Low Convergence Reset Time", SYN_TIME},
    {"Low Convergence Sync Interval", SYN_INTERVAL},
    {"Mailbox ID", SYN_CI_STRING},
    {"Mailbox Location", SYN_DIST_NAME},
    {"Member", SYN_DIST_NAME},
    {"Memory", SYN_INTEGER},
    {"Message Routing Group", SYN_DIST_NAME},
    {"Message Server", SYN_DIST_NAME},
    {"Messaging Database Location", SYN_PATH},
    {"Messaging Server", SYN_DIST_NAME},
    {"Messaging Server Type", SYN_CI_STRING},
    {"Minimum Account Balance", SYN_INTEGER},
    {"Network Address", SYN_NET_ADDRESS},
    {"Network Access Restriction", SYN_NET_ADDRESS},
    {"NNS Domain", SYN_CI_STRING},
    {"Notify", SYN_TYPED_NAME},
    {"O", SYN_CI_STRING},
    {"Obituary", SYN_OCTET_STRING},
    {"Object Class", SYN_CLASS_NAME},
    {"Operator", SYN_DIST_NAME},
    {"OU", SYN_CI_STRING},
    {"Owner", SYN_DIST_NAME},
    {"Page Description Language", SYN_PR_STRING},
    {"Partition Control", SYN_TYPED_NAME},
    {"Partition Creation Time", SYN_TIMESTAMP},
    {"Password Allow Change", SYN_BOOLEAN},
    {"Password Expiration Interval", SYN_INTERVAL},
    {"Password Expiration Time", SYN_TIME},
    {"Password Minimum Length", SYN_INTEGER},
    {"Password Required", SYN_BOOLEAN},
    {"Password Unique Required", SYN_BOOLEAN},
    {"Passwords Used", SYN_OCTET_STRING},
    {"Path", SYN_PATH},
    {"Physical Delivery Office Name", SYN_CI_STRING},
    {"Postal Address", SYN_PO_ADDRESS},
    {"Postal Code", SYN_CI_STRING},
    {"Postal Office Box", SYN_CI_STRING},
    {"Postmaster", SYN_DIST_NAME},
    {"Print Job Configuration", SYN_STREAM},
    {"Print Server", SYN_TYPED_NAME},
    {"Printer", SYN_TYPED_NAME},
    {"Printer Configuration", SYN_OCTET_STRING},
    {"Printer Control", SYN_STREAM},
    {"Private Key", SYN_OCTET_STRING},
    {"Profile", SYN_DIST_NAME},
    {"Profile Membership", SYN_DIST_NAME},
    {"Public Key", SYN_OCTET_STRING},
    {"Queue", SYN_TYPED_NAME},
    {"Queue Directory", SYN_CI_STRING},
    {"Received Up To", SYN_TIMESTAMP},
    {"Reference", SYN_DIST_NAME},
    {"Replica", SYN_REPLICA_POINTER},
    {"Replica Up To", SYN_OCTET_STRING},
    {"Resource", SYN_DIST_NAME},
    {"Revision", SYN_COUNTER},
    {"Role Occupant", SYN_DIST_NAME},
    {"S", SYN_CI_STRING},
    {"SA", SYN_CI_STRING},
    {"SAP Name", SYN_CI_STRING},
    {"Security Equals", SYN_DIST_NAME},
    {"Security Flags", SYN_INTEGER},
    {"See Also", SYN_DIST_NAME},
    {"Serial Number", SYN_PR_STRING},
    {"Server", SYN_DIST_NAME},
    {"Server Holds", SYN_HOLD},
    {"Status", SYN_INTEGER},
    {"Supported Connections", SYN_INTEGER},
    {"Supported Gateway", SYN_CI_STRING},
    {"Supported Services", SYN_CI_STRING},
    {"Supported Typefaces", SYN_CI_STRING},
    {"Surname", SYN_CI_STRING},
    {"Synchronizes Up To", SYN_TIMESTAMP},
    {"Telephone Number", SYN_TEL_NUMBER},
    {"Title", SYN_CI_STRING},
    {"Type Creator Map", SYN_STREAM},
    {"UID", SYN_INTEGER},
    {"Unknown", SYN_UNKNOWN},
    {"Unknown Base Class", SYN_CI_STRING},
    {"User", SYN_DIST_NAME},
    {"Version", SYN_CI_STRING},
    {"Volume", SYN_DIST_NAME},
};

constexpr ObjEntry kObjectKinds[] = {
    {"AFP SERVER", "AFP Server"},
    {"ALIAS", "Alias"},
    {"BINDERY OBJECT", nullptr},
    {"BINDERY QUEUE", nullptr},
    {"COMPUTER", nullptr},
    {"COUNTRY", nullptr},
    {"DIRECTORY MAP", nullptr},
    {"EXTERNAL ENTITY", nullptr},
    {"GROUP", "Group"},
    {"LIST", nullptr},
    {"LOCALITY", nullptr},
    {"MESSAGE ROUTING GROUP", nullptr},
    {"MESSAGING SERVER", nullptr},
    {"NCP SERVER", nullptr},
    {"ORGANIZATION", "Organization"},
    {"ORGANIZATIONAL ROLE", "Organizational Role"},
    {"ORGANIZATIONAL UNIT", "Organizational Unit"},
    {"PRINTER", "Printer"},
    {"PRINT SERVER", "Print Server"},
    {"PROFILE", nullptr},
    {"QUEUE", "Queue"},
    {"SERVER", "User"},
    {"TOP", nullptr},
    {nullptr, nullptr},
    {"USER", "User"},
    {"VOLUME", nullptr},
    {nullptr, "User"},
    {nullptr, "User"},
    {nullptr, "User"},
    {nullptr, "User"},
};

static_assert(std::size(kAttributes) == kAttrTypeCount);
static_assert(std::size(kObjectKinds) == kObjTypeCount);

constexpr const char* kSyntaxNames[] = {
    "SYN_UNKNOWN",     "SYN_DIST_NAME",   "SYN_CE_STRING",       "SYN_CI_STRING",
    "SYN_PR_STRING",   "SYN_NU_STRING",   "SYN_CI_LIST",         "SYN_BOOLEAN",
    "SYN_INTEGER",     "SYN_OCTET_STRING", "SYN_TEL_NUMBER",     "SYN_FAX_NUMBER",
    "SYN_NET_ADDRESS", "SYN_OCTET_LIST",  "SYN_EMAIL_ADDRESS",   "SYN_PATH",
    "SYN_REPLICA_POINTER", "SYN_OBJECT_ACL", "SYN_PO_ADDRESS",   "SYN_TIMESTAMP",
    "SYN_CLASS_NAME",  "SYN_STREAM",      "SYN_COUNTER",         "SYN_BACK_LINK",
    "SYN_TIME",        "SYN_TYPED_NAME",  "SYN_HOLD",            "SYN_INTERVAL",
    "SYNTAX_COUNT"};

// The kinds in the order the class lookup tries them. Every comparison is for equality,
// so the order only decides how soon a name is found.
constexpr TNWDSObjType kLookupOrder[] = {
    dsoUser, dsoVolume, dsoTop, dsoQueue, dsoProfile, dsoPrintServer, dsoPrinter,
    dsoOrganizationalUnit, dsoOrganizationalRole, dsoOrganization, dsoNcpServer,
    dsoMessagingServer, dsoMessageRoutingGroup, dsoLocality, dsoList, dsoGroup,
    dsoExternalEntity, dsoDirectoryMap, dsoCountry, dsoComputer, dsoBinderyQueue,
    dsoBinderyObject, dsoAlias, dsoAFPServer, dsoServer};

} // namespace

void _ndsGetAttrName(TNWDSAttrType attr, std::string& name) {
  name.clear();
  if (attr < kAttrTypeCount) name = kAttributes[attr].name;
}

TNWDSSynTypes _ndsGetSynType(TNWDSAttrType attr) {
  return attr < kAttrTypeCount ? kAttributes[attr].syntax : SYN_INTEGER;
}

TNWDSObjType _ndsClassToObjType(const Object_Info_T& info) {
  // The record's name field is 68 bytes; never read past it, zero or not.
  return classNameToObjType(rtl::bufferToString(info.baseClass, sizeof info.baseClass));
}

TNWDSObjType classNameToObjType(const std::string& className) {
  const std::string upper = rtl::UpperCase(className);
  for (TNWDSObjType kind : kLookupOrder)
    if (upper == kObjectKinds[kind].matched) return kind;
  return dsoUnknown;
}

std::string objTypeCreateClass(TNWDSObjType kind) {
  if (kind >= kObjTypeCount || !kObjectKinds[kind].createAs) return {};
  return kObjectKinds[kind].createAs;
}

bool isTextSyntax(TNWDSSynTypes syntax) {
  switch (syntax) {
    case SYN_DIST_NAME: case SYN_CE_STRING: case SYN_CI_STRING: case SYN_PR_STRING:
    case SYN_NU_STRING: case SYN_TEL_NUMBER: case SYN_CLASS_NAME:
      return true;
    default:
      return false;
  }
}

bool isIntegerSyntax(TNWDSSynTypes syntax) {
  return syntax == SYN_INTEGER || syntax == SYN_COUNTER || syntax == SYN_INTERVAL;
}

std::string synTypeName(TNWDSSynTypes syntax) {
  return syntax <= SYNTAX_COUNT ? kSyntaxNames[syntax] : std::string{};
}

} // namespace nwnds
