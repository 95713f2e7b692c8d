// Schema definitions, effective rights, access-control entries, security equivalence and
// group membership.
#include "nwnds/client.h"
#include "nwnds/values.h"

#include <rtl/sysutils.h>

#include <cstring>

namespace nwnds {

using detail::ClientBuffer;
using detail::client;
using detail::fits;
using detail::kAttrNameBuf;
using detail::kDirNameBuf;
using detail::ScanGuard;
using detail::state;
using detail::unit;
using detail::WorkingContext;

namespace {

constexpr std::size_t kClassNameBuf = 128;
constexpr std::size_t kAttrDefNameBuf = 31;

constexpr char kEntryRights[] = "[Entry Rights]";
constexpr char kAllAttributesRights[] = "[All Attributes Rights]";
constexpr char kSMSRights[] = "[SMS Rights]";

// One column of the rights text: its letter and the bit it stands for.
struct RightsLetter {
  char letter;
  std::uint32_t bit;
};
constexpr RightsLetter kEntryLetters[] = {{'B', 0x01}, {'A', 0x02}, {'D', 0x04}, {'R', 0x08}, {'S', 0x10}};
constexpr RightsLetter kSMSLetters[] = {{'S', 0x01}, {'B', 0x02}, {'R', 0x04},
                                        {'C', 0x08}, {'D', 0x10}, {'A', 0x20}};
constexpr RightsLetter kAttrLetters[] = {{'C', 0x01}, {'R', 0x02}, {'W', 0x04}, {'A', 0x08}, {'S', 0x20}};

struct RightsSet {
  const RightsLetter* letters;
  std::size_t count;
  bool blankSixth;
};

RightsSet rightsSetOf(const char* protectedAttrName) {
  const std::string name = protectedAttrName ? protectedAttrName : "";
  if (name == kEntryRights) return {kEntryLetters, std::size(kEntryLetters), true};
  if (name == kSMSRights) return {kSMSLetters, std::size(kSMSLetters), false};
  return {kAttrLetters, std::size(kAttrLetters), true};
}

// A security-equivalence change on a working context.
template <typename Entry>
bool changeEquivalence(Entry& entry, const std::string& contextName, const std::string& objectName,
                       const std::string& equalToName) {
  if (!entry.bind() || !fits(objectName, kDirNameBuf) || !fits(equalToName, kDirNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char object[kDirNameBuf] = {};
  char equalTo[kDirNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  rtl::copyToBuffer(equalTo, sizeof equalTo, equalToName);
  return entry(working.get(), object, equalTo) == 0;
}

// Both sides of a membership, the member's first; the second only when the first worked.
template <typename Change>
bool changeMembership(Change change, const std::string& objectName, const std::string& groupName) {
  if (!fits(objectName, kDirNameBuf) || !fits(groupName, kDirNameBuf)) return false;
  char object[kDirNameBuf] = {};
  char group[kDirNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  rtl::copyToBuffer(group, sizeof group, groupName);
  if (!change("", objectName, dsaGroupMembership, group)) return false;
  return change("", groupName, dsaMember, object);
}

// The names of a distinguished-name attribute, sorted, each with the given kind.
std::unique_ptr<rtl::TStringList> nameList(const std::string& contextName, const std::string& objectName,
                                           TNWDSAttrType attr, TNWDSObjType kind) {
  auto list = std::make_unique<rtl::TStringList>();
  // The blocks are freed on every path.
  struct Blocks {
    rtl::TList list;
    ~Blocks() {
      for (int i = 0; i < list.Count(); ++i) ndsFreeAttrBlock(list[i]);
    }
  } blocks;
  if (ndsGetMultiAttr(contextName, objectName, attr, blocks.list)) {
    for (int i = 0; i < blocks.list.Count(); ++i)
      list->AddObject(static_cast<const char*>(blocks.list[i]), kind);
  }
  list->Sort();
  return list;
}

} // namespace

// ---- Schema --------------------------------------------------------------------------------

bool ndsDefineClass(const std::string& contextName, const std::string& className,
                    const TNWDSClassDef& classDef) {
  if (!fits(className, kClassNameBuf)) return false;
  if (!client.NWDSDefineClass.bind() || !client.NWDSInitBuf.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  // The class items go in a buffer prepared for a class definition, left empty.
  ClientBuffer items;
  if (!items) return false;
  if (client.NWDSInitBuf.unrecorded(working.get(), DSV_DEFINE_CLASS, items.get()) != 0) return false;
  Class_Info_T info{};
  info.classFlags = (classDef.ContainerClass ? DS_CONTAINER_CLASS : 0) |
                    (classDef.EffectiveClass ? DS_EFFECTIVE_CLASS : 0) |
                    (classDef.NonRemovable ? DS_NONREMOVABLE_CLASS : 0) |
                    (classDef.AmbiguousNaming ? DS_AMBIGUOUS_NAMING : 0) |
                    (classDef.AmbiguousContainment ? DS_AMBIGUOUS_CONTAINMENT : 0);
  char name[kClassNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, className);
  return client.NWDSDefineClass(working.get(), name, &info, items.get()) == 0;
}

bool ndsDefineAttr(const std::string& contextName, const std::string& attrName,
                   const TNWDSAttrDef& attrDef) {
  if (!fits(attrName, kAttrDefNameBuf) || !client.NWDSDefineAttr.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  Attr_Info_T info{};
  info.attrFlags = (attrDef.SingleValued ? DS_SINGLE_VALUED_ATTR : 0) | (attrDef.Sized ? DS_SIZED_ATTR : 0) |
                   (attrDef.NonRemovable ? DS_NONREMOVABLE_ATTR : 0) |
                   (attrDef.ReadOnly ? DS_READ_ONLY_ATTR : 0) | (attrDef.Hidden ? DS_HIDDEN_ATTR : 0) |
                   (attrDef.String ? DS_STRING_ATTR : 0) | (attrDef.SyncImmediate ? DS_SYNC_IMMEDIATE : 0);
  info.attrSyntaxID = attrDef.Syntax;
  char name[kAttrDefNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, attrName);
  return client.NWDSDefineAttr(working.get(), name, &info) == 0;
}

bool ndsRemoveAttr(const std::string& contextName, const std::string& attrName) {
  if (!fits(attrName, kAttrDefNameBuf) || !client.NWDSRemoveAttrDef.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char name[kAttrDefNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, attrName);
  return client.NWDSRemoveAttrDef(working.get(), name) == 0;
}

std::unique_ptr<rtl::TStringList> ndsGetObjAttrList(const std::string& contextName, const std::string&) {
  auto list = std::make_unique<rtl::TStringList>();
  auto& c = client;
  if (!c.NWDSGetAttrDef.bind() || !c.NWDSReadAttrDef.bind() || !c.NWDSGetAttrCount.bind()) return list;
  ClientBuffer buffer;
  if (!buffer) return list;
  WorkingContext working(contextName);
  if (!working) return list;
  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  ScanGuard guard;
  do {
    const NWCCODE code =
        c.NWDSReadAttrDef.unrecorded(working.get(), DS_ATTR_DEF_NAMES, 1, nullptr, &iteration, buffer.get());
    state.lastCode = code;
    if (code != 0) {
      // The end of a scan that found something is no error of the unit.
      if (list->Empty()) state.lasterror = code;
      break;
    }
    nuint32 count = 0;
    if (c.NWDSGetAttrCount.unrecorded(working.get(), buffer.get(), &count) != 0) continue;
    for (nuint32 i = 0; i < count; ++i) {
      char name[kAttrNameBuf] = {};
      Attr_Info_T info{};
      if (c.NWDSGetAttrDef.unrecorded(working.get(), buffer.get(), name, &info) == 0)
        list->AddObject(rtl::bufferToString(name, sizeof name), static_cast<std::intptr_t>(info.attrSyntaxID));
    }
  } while (guard.more(iteration));
  return list;
}

// ---- Rights --------------------------------------------------------------------------------

bool ndsGetEffectiveRights(const std::string& subjectName, const std::string& objectName,
                           const std::string& protectedAttrName, std::uint32_t& bits) {
  if (!client.NWDSGetEffectiveRights.bind()) return false;
  const std::string subject = rtl::UpperCase(subjectName);
  const std::string object = rtl::UpperCase(objectName);
  if (!fits(subject, kDirNameBuf) || !fits(object, kDirNameBuf) || !fits(protectedAttrName, kAttrNameBuf))
    return false;
  char subjectBuf[kDirNameBuf] = {};
  char objectBuf[kDirNameBuf] = {};
  char attrBuf[kAttrNameBuf] = {};
  rtl::copyToBuffer(subjectBuf, sizeof subjectBuf, subject);
  rtl::copyToBuffer(objectBuf, sizeof objectBuf, object);
  rtl::copyToBuffer(attrBuf, sizeof attrBuf, protectedAttrName);
  nuint32 found = 0;
  if (client.NWDSGetEffectiveRights.unrecorded(unit.internal, subjectBuf, objectBuf, attrBuf, &found) != 0)
    return false;
  bits = found;
  return true;
}

bool ndsGetEntryRights(const std::string& subjectName, const std::string& objectName,
                       TNWDSEntryRights& rights) {
  std::uint32_t bits = 0;
  if (!ndsGetEffectiveRights(subjectName, objectName, kEntryRights, bits)) return false;
  rights = {(bits & 0x01) != 0, (bits & 0x02) != 0, (bits & 0x04) != 0, (bits & 0x08) != 0, (bits & 0x10) != 0};
  return true;
}

bool ndsGetAttrRights(const std::string& subjectName, const std::string& objectName,
                      TNWDSAttrRights& rights) {
  std::uint32_t bits = 0;
  if (!ndsGetEffectiveRights(subjectName, objectName, kAllAttributesRights, bits)) return false;
  rights = {(bits & 0x01) != 0, (bits & 0x02) != 0, (bits & 0x04) != 0, (bits & 0x08) != 0, (bits & 0x20) != 0};
  return true;
}

bool ndsGetSMSRights(const std::string& subjectName, const std::string& objectName,
                     TNWDSSMSRights& rights) {
  std::uint32_t bits = 0;
  if (!ndsGetEffectiveRights(subjectName, objectName, kSMSRights, bits)) return false;
  rights = {(bits & 0x01) != 0, (bits & 0x02) != 0, (bits & 0x04) != 0,
            (bits & 0x08) != 0, (bits & 0x10) != 0, (bits & 0x20) != 0};
  return true;
}

std::string decodeACLRights(const TNWDSObjectACL& acl) {
  const RightsSet set = rightsSetOf(acl.ProtectedAttrName);
  std::string text(6, '-');
  for (std::size_t i = 0; i < set.count; ++i)
    if (acl.Privileges & set.letters[i].bit) text[i] = set.letters[i].letter;
  if (set.blankSixth) text[5] = ' ';
  return text;
}

void encodeACLRights(TNWDSObjectACL& acl, const std::string& rights) {
  const RightsSet set = rightsSetOf(acl.ProtectedAttrName);
  const std::string upper = rtl::UpperCase(rights);
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < set.count; ++i)
    if (upper.find(set.letters[i].letter) != std::string::npos) bits |= set.letters[i].bit;
  acl.Privileges = bits;
}

bool ndsWriteObjectACL(const std::string& contextName, const std::string& objectName,
                       const std::string& protectedAttrName, const std::string& rights) {
  if (!fits(objectName, kDirNameBuf) || !fits(protectedAttrName, kAttrNameBuf)) return false;
  char object[kDirNameBuf] = {};
  char attr[kAttrNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  rtl::copyToBuffer(attr, sizeof attr, protectedAttrName);
  TNWDSObjectACL acl{attr, object, 0};
  encodeACLRights(acl, rights);
  return ndsWriteAttr(contextName, objectName, "ACL", SYN_OBJECT_ACL, &acl);
}

// ---- Security equivalence and groups -------------------------------------------------------

bool ndsAddSecurityEquals(const std::string& contextName, const std::string& objectName,
                          const std::string& equalToName) {
  return changeEquivalence(client.NWDSAddSecurityEquiv, contextName, objectName, equalToName);
}

bool ndsRemoveSecurityEquals(const std::string& contextName, const std::string& objectName,
                             const std::string& equalToName) {
  return changeEquivalence(client.NWDSRemSecurityEquiv, contextName, objectName, equalToName);
}

bool ndsAddObjToGroup(const std::string& objectName, const std::string& groupName) {
  return changeMembership(ndsAddToMultiAttr, objectName, groupName);
}

bool ndsRemoveObjFromGroup(const std::string& objectName, const std::string& groupName) {
  return changeMembership(ndsRemoveFromMultiAttr, objectName, groupName);
}

std::unique_ptr<rtl::TStringList> ndsGetMyGroups(const std::string& contextName,
                                                 const std::string& objectName) {
  return nameList(contextName, objectName, dsaGroupMembership, dsoGroup);
}

std::unique_ptr<rtl::TStringList> ndsGetGroupMembers(const std::string& contextName,
                                                     const std::string& groupName) {
  return nameList(contextName, groupName, dsaMember, dsoUser);
}

} // namespace nwnds
