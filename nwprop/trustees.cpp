// Trustees and effective rights: trustee assignments of users and groups on the directories
// and files of volumes, the caller's effective rights, and bindery access levels.
#include "nwprop/client.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

namespace nwprop {

using detail::client;
using detail::state;

namespace {

constexpr std::size_t kPathBuffer = 256;
constexpr std::size_t kNameBuffer = 48;
constexpr nuint16 kUserType = 0x0100;
constexpr nuint16 kGroupType = 0x0200;
constexpr nuint16 kVolumes = 255;
// Far more assignments than a volume holds for one object; a scan reaching it is stuck.
constexpr int kScanLimit = 65536;
// What separates the path of a trustee line from its rights field.
constexpr const char* kRightsField = "    [";

enum : nuint8 {
  kRead = 0x01, kWrite = 0x02, kOpen = 0x04, kCreate = 0x08, kErase = 0x10,
  kAccessControl = 0x20, kFileScan = 0x40, kModify = 0x80,
};

nuint8 maskOf(const TNWRights& r) {
  nuint8 mask = 0;
  if (r.supervisor) mask |= kModify | kAccessControl;
  if (r.read) mask |= kRead;
  if (r.open) mask |= kOpen;
  if (r.write) mask |= kWrite;
  if (r.create) mask |= kCreate;
  if (r.erase) mask |= kErase;
  if (r.modify) mask |= kModify;
  if (r.fileScan) mask |= kFileScan;
  if (r.accessControl) mask |= kAccessControl;
  return mask;
}

/// Every field but `supervisor` from a mask.
void readMask(nuint16 mask, TNWRights& r) {
  r.read = mask & kRead;
  r.open = mask & kOpen;
  r.write = mask & kWrite;
  r.create = mask & kCreate;
  r.erase = mask & kErase;
  r.modify = mask & kModify;
  r.fileScan = mask & kFileScan;
  r.accessControl = mask & kAccessControl;
}

/// The eight letters of a trustee line.
std::string rightsField(nuint16 mask) {
  std::string f = "--------";
  if (mask & kAccessControl) f[0] = 'S', f[7] = 'A';
  if (mask & kRead) f[1] = 'R';
  if (mask & kWrite) f[2] = 'W';
  if (mask & kCreate) f[3] = 'C';
  if (mask & kErase) f[4] = 'E';
  if (mask & kModify) f[5] = 'M';
  if (mask & kFileScan) f[6] = 'F';
  return f;
}

/// The object's ID by the type its name has; 0 when not found.
nuint32 objectId(NWCONN_HANDLE& conn, const std::string& name, nuint16& type) {
  type = ostrel::getObjType(conn, name);
  return ostrel::getObjNumber(conn, name, type);
}

/// Whether a trustee path ("VOL:DIR") is the target ("VOL:DIR\SUB") or a directory above it,
/// compared by whole components.
bool coversPath(const std::string& trustee, const std::string& target) {
  if (target.compare(0, trustee.size(), trustee) != 0) return false;
  if (trustee.size() == target.size()) return true;
  const char last = trustee.back();
  const char next = target[trustee.size()];
  return last == ':' || last == '\\' || last == '/' || next == '\\' || next == '/';
}

/// The path part of a trustee text: a whole getTrusteeList line up to its rights field, else
/// the first word.
std::string trusteePath(const std::string& text) {
  const auto field = text.rfind(kRightsField);
  if (field != std::string::npos && text.back() == ']') return text.substr(0, field);
  return nwtools::strExtract(text, ' ', 1);
}

/// A path parsed by the client into its connection, directory handle and volume path.
struct ParsedPath {
  NWCONN_HANDLE conn = 0;
  nuint8 dirHandle = 0;
  char path[kPathBuffer] = {};
};

/// Parses the upper-cased path; a failure is recorded.
bool parsePath(const std::string& path, NWCONN_HANDLE conn, ParsedPath& parsed) {
  const std::string upper = rtl::UpperCase(path);
  // A path cut to fit would name another entry.
  if (upper.size() >= kPathBuffer) return false;
  char buffer[kPathBuffer] = {};
  rtl::copyToBuffer(buffer, kPathBuffer, upper);
  parsed.conn = conn;
  return client.NWParseNetWarePath(buffer, &parsed.conn, &parsed.dirHandle, parsed.path) == 0;
}

} // namespace

std::unique_ptr<rtl::TStringList> getTrusteeList(NWCONN_HANDLE conn, const std::string& objectName) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWScanObjectTrusteePaths.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  nuint16 type = 0;
  const nuint32 id = objectId(conn, objectName, type);
  const std::string server = ostrel::getServerName(conn).substr(0, kNameBuffer);
  if (type != kUserType && type != kGroupType) return list;

  for (nuint16 volume = 0; volume < kVolumes; ++volume) {
    nuint16 sequence = NW_TRUSTEE_SCAN_START;
    for (int scanned = 0; scanned < kScanLimit; ++scanned) {
      const nuint16 before = sequence;
      nuint16 rights = 0;
      char path[kPathBuffer] = {};
      if (client.NWScanObjectTrusteePaths.unrecorded(conn, id, volume, &sequence, &rights, path) != 0) break;
      const std::string text = rtl::bufferToString(path, kPathBuffer);
      if (text.size() < 2 || (scanned > 0 && sequence == before)) break;
      list->AddObject(server + "/" + text + kRightsField + rightsField(rights) + "]", 0);
    }
  }
  return list;
}

bool getObjectDirRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& path,
                        TNWRights& rights) {
  if (!client.NWScanObjectTrusteePaths.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  nuint16 type = 0;
  const nuint32 id = objectId(conn, objectName, type);
  ostrel::TNWPathInfo info;
  if (!ostrel::parseNetwarePath(conn, path, info)) return false;
  const std::string target = rtl::UpperCase(info.fullPath);

  nuint16 sequence = NW_TRUSTEE_SCAN_START;
  for (int scanned = 0; scanned < kScanLimit; ++scanned) {
    const nuint16 before = sequence;
    nuint16 mask = 0;
    char found[kPathBuffer] = {};
    if (client.NWScanObjectTrusteePaths.unrecorded(conn, id, info.volNumber, &sequence, &mask, found) != 0)
      return false;
    const std::string trustee = rtl::UpperCase(rtl::bufferToString(found, kPathBuffer));
    if (trustee.size() < 2 || (scanned > 0 && sequence == before)) return false;
    if (coversPath(trustee, target)) {
      readMask(mask, rights);
      rights.supervisor = mask & kAccessControl;
      return true;
    }
  }
  return false;
}

bool getEffectiveRights(NWCONN_HANDLE, const std::string& path, TNWRights& rights) {
  if (!client.NWParseNetWarePath.bind() || !client.NWGetEffectiveRights.bind()) return false;
  const std::string upper = rtl::UpperCase(path);
  if (upper.size() >= kPathBuffer) return false;
  char buffer[kPathBuffer] = {};
  rtl::copyToBuffer(buffer, kPathBuffer, upper);
  ParsedPath parsed;
  if (client.NWParseNetWarePath.unrecorded(buffer, &parsed.conn, &parsed.dirHandle, parsed.path) != 0) return false;
  nuint16 mask = 0;
  if (client.NWGetEffectiveRights.unrecorded(parsed.conn, parsed.dirHandle, parsed.path, &mask) != 0) return false;
  readMask(mask, rights);
  return true;
}

bool addTrusteeToFile(NWCONN_HANDLE conn, const std::string& path, const std::string& userName,
                      const TNWRights& rights) {
  if (!client.NWParseNetWarePath.bind() || !client.NWAddTrustee.bind()) return false;
  ParsedPath parsed;
  if (!parsePath(path, ostrel::primaryIfZero(conn), parsed)) return false;
  const nuint32 id = ostrel::getObjNumber(parsed.conn, userName, kUserType);
  return client.NWAddTrustee(parsed.conn, parsed.dirHandle, parsed.path, id, maskOf(rights)) == 0;
}

bool modifyTrusteeRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& volume,
                         const std::string& directory, const TNWRights& rights) {
  const std::string path = rtl::UpperCase(nwtools::allTrim(volume)) + nwtools::setPath(directory);
  if (path.size() >= kPathBuffer || !client.NWAddTrusteeToDirectory.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  nuint16 type = 0;
  const nuint32 id = objectId(conn, objectName, type);
  return client.NWAddTrusteeToDirectory(conn, 0, path.c_str(), id, maskOf(rights)) == 0;
}

bool deleteTrusteeRight(NWCONN_HANDLE conn, const std::string& objectName, const std::string& pathPrefix,
                        const std::string& trusteeText) {
  // Bound anew on every call.
  client.NWDeleteTrusteeFromDirectory.reset();
  if (!client.NWParseNetWarePath.bind() || !client.NWDeleteTrusteeFromDirectory.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  nuint16 type = 0;
  const nuint32 id = objectId(conn, objectName, type);
  const std::string path = rtl::UpperCase(nwtools::allTrim(pathPrefix)) + rtl::UpperCase(trusteePath(trusteeText));
  ParsedPath parsed;
  if (!parsePath(path, conn, parsed)) return false;
  return client.NWDeleteTrusteeFromDirectory(parsed.conn, parsed.dirHandle, parsed.path, id) == 0;
}

void compareObjectAccessRights(NWCONN_HANDLE conn, const std::string& objectName, bool& readAllowed,
                               bool& writeAllowed) {
  if (!client.NWGetBinderyAccessLevel.bind() || !client.NWScanObject.bind()) return;
  conn = ostrel::primaryIfZero(conn);
  const std::string name = rtl::UpperCase(nwtools::allTrim(objectName));
  nuint8 level = 0;
  nuint32 caller = 0;
  if (client.NWGetBinderyAccessLevel.unrecorded(conn, &level, &caller) != 0) return;
  auto readLevel = [](nuint8 b) { return (b & 0x04) ? 4 : (b & 0x03); };
  auto writeLevel = [](nuint8 b) { return (b & 0x40) ? 0x40 : (b & 0x30); };

  char found[kNameBuffer] = {};
  nuint32 id = 0xFFFFFFFF;
  nuint16 type = 0;
  nuint8 hasProperties = 0, flags = 0, security = 0;
  char search[kNameBuffer] = {};
  rtl::copyToBuffer(search, kNameBuffer, name);
  int objectRead = 0, objectWrite = 0;
  if (client.NWScanObject.unrecorded(conn, search, ostrel::getObjType(conn, name), &id, found, &type, &hasProperties,
                                     &flags, &security) == 0) {
    objectRead = readLevel(security);
    objectWrite = writeLevel(security);
  }
  readAllowed = readLevel(level) >= objectRead;
  writeAllowed = writeLevel(level) >= objectWrite;
}

} // namespace nwprop
