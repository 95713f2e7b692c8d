// Deleted files: listing, information, salvage and purge.
#include "nwserver/client.h"

#include <nwtools/nwtools.h>
#include <platform/dialogs.h>

#include <algorithm>
#include <cstring>

namespace nwserver {

using detail::client;
using detail::state;
using detail::TemporaryDirHandle;

namespace {

constexpr nuint32 kScanStart = 0xFFFFFFFF;
constexpr std::size_t kNameBuffer = 256;

struct DeletedEntry {
  nuint32 iteration = 0;
  nuint32 volNumber = 0;
  nuint32 dirBase = 0;
  NWDELETED_INFO record{};
  std::string name() const {
    return std::string(record.name, std::min<std::size_t>(record.nameLength, sizeof record.name));
  }
};

std::string toClientPath(const std::string& path) { return nwtools::strTran(path, "\\", "/"); }

// Scans the deleted files of the directory of a temporary handle, handing each to `visit`
// until it returns false; the end code is not recorded.
template <typename Visit>
void scanDeleted(const TemporaryDirHandle& dir, Visit&& visit) {
  DeletedEntry e;
  e.iteration = kScanStart;
  detail::ScanGuard guard;
  while (client.NWScanForDeletedFiles.unrecorded(dir.conn(), dir.handle(), &e.iteration, &e.volNumber, &e.dirBase,
                                                 &e.record) == 0 &&
         guard.advance(e.iteration)) {
    if (!visit(e)) return;
  }
}

// Purges the records of a listing whose file names `wanted` accepts, in order. Purges go to
// the connection the listing was made on.
NWCCODE purgeRecord(const TNWDelFileInfo& r) {
  return client.NWPurgeDeletedFile.unrecorded(r.connection, r.dirHandle, r.iterHandle, r.volNumber, r.dirBase,
                                              r.fileName);
}

} // namespace

TNWDelFileInfo& TNWDeletedFileList::add(const TNWDelFileInfo& record) {
  TNWDelFileInfo& kept = records_.emplace_back(record);
  AddObject(kept.fileName, reinterpret_cast<std::intptr_t>(&kept));
  return kept;
}

std::unique_ptr<TNWDeletedFileList> getDeletedFileList(NWCONN_HANDLE conn, const std::string& path) {
  auto list = std::make_unique<TNWDeletedFileList>();
  if (!client.NWScanForDeletedFiles.bind()) return list;
  TemporaryDirHandle dir(toClientPath(rtl::UpperCase(path)), ostrel::primaryIfZero(conn));
  if (!dir.ok()) return list;
  scanDeleted(dir, [&](const DeletedEntry& e) {
    TNWDelFileInfo r;
    r.connection = dir.conn();
    r.dirHandle = dir.handle();
    r.iterHandle = e.iteration;
    r.volNumber = e.volNumber;
    r.dirBase = e.dirBase;
    rtl::copyToBuffer(r.fileName, sizeof r.fileName, e.name());
    try {
      list->add(r);
    } catch (const std::exception&) {
      return false;  // keep what was listed so far
    }
    return true;
  });
  return list;
}

bool getDeletedFileInfo(const std::string& path, TNWDeletedFileInfo& info) {
  if (!client.NWIntScanDirEntryInfo.bind() || !client.NWScanForDeletedFiles.bind()) return false;
  platform::CursorGuard hourglass(platform::crHourGlass);
  TemporaryDirHandle dir(toClientPath(detail::directoryPart(path)));
  if (!dir.ok()) return false;
  const std::string wanted = detail::namePart(path);
  bool found = false;
  scanDeleted(dir, [&](const DeletedEntry& e) {
    const std::string name = e.name();
    if (name.find(wanted) == std::string::npos) return true;
    const NWDELETED_INFO& r = e.record;
    const NWCONN_HANDLE conn = dir.conn();
    info.attributes = r.attributes;
    info.entryFlags = r.flags;
    info.nameSpace = r.nameSpace;
    info.nameLength = r.nameLength;
    info.name = name;
    info.creationTime = nwDateTimeToTDateTime(static_cast<std::int32_t>(r.creationDateAndTime));
    info.ownerName = ostrel::getObjName(conn, static_cast<std::int32_t>(r.ownerID));
    info.archiveTime = nwDateTimeToTDateTime(static_cast<std::int32_t>(r.lastArchiveDateAndTime));
    info.archiverName = ostrel::getObjName(conn, static_cast<std::int32_t>(r.lastArchiverID));
    info.updateTime = nwDateTimeToTDateTime(static_cast<std::int32_t>(r.updateDateAndTime));
    info.modifierName = ostrel::getObjName(conn, static_cast<std::int32_t>(r.updatorID));
    info.fileSize = r.fileSize;
    detail::decodeRights(r.inheritedRightsMask, info);
    // The server sends the date high byte first; reversing the four bytes of the widened
    // value puts it where a packed date and time keeps its date.
    info.lastAccessDate = nwDateTimeToTDateTime(ostrel::longSwap(static_cast<std::int32_t>(r.lastAccessDate)));
    info.deletedTime = nwDateTimeToTDateTime(static_cast<std::int32_t>(r.deletedDateAndTime));
    info.deletorName = ostrel::getObjName(conn, static_cast<std::int32_t>(r.deletorID));
    found = true;
    return false;
  });
  return found;
}

bool salvage(NWCONN_HANDLE conn, const std::string& path, const std::string& newName) {
  if (!client.NWScanForDeletedFiles.bind() || !client.NWRecoverDeletedFile.bind()) return false;
  char wanted[kNameBuffer] = {}, recovered[kNameBuffer] = {};
  rtl::copyToBuffer(wanted, sizeof wanted, detail::namePart(path));
  rtl::copyToBuffer(recovered, sizeof recovered, detail::namePart(newName));
  TemporaryDirHandle dir(toClientPath(detail::directoryPart(path)), ostrel::primaryIfZero(conn));
  if (!dir.ok()) return false;
  bool result = false;
  scanDeleted(dir, [&](const DeletedEntry& e) {
    if (e.name().find(wanted) == std::string::npos) return true;
    result = client.NWRecoverDeletedFile.unrecorded(dir.conn(), dir.handle(), e.iteration, e.volNumber, e.dirBase,
                                                    wanted, recovered) == 0;
    return false;
  });
  return result;
}

bool purgeFile(NWCONN_HANDLE conn, const std::string& path) {
  const std::string upper = rtl::UpperCase(path);
  if (!client.NWPurgeDeletedFile.bind()) return false;
  platform::CursorGuard hourglass(platform::crHourGlass);
  const std::string wanted = detail::namePart(upper);
  auto list = getDeletedFileList(ostrel::primaryIfZero(conn), detail::directoryPart(upper));
  for (int i = 0; i < list->Count(); ++i) {
    const TNWDelFileInfo& r = list->record(i);
    if (rtl::UpperCase(r.fileName) != wanted) continue;
    return state.record(purgeRecord(r));
  }
  return false;
}

bool purgeSingleFile(const TNWDelFileInfo& info) {
  if (!client.NWPurgeDeletedFile.bind()) return false;
  return state.record(purgeRecord(info));
}

bool purgeAllFiles(NWCONN_HANDLE conn, const std::string& path) {
  if (!client.NWPurgeDeletedFile.bind()) return false;
  platform::CursorGuard hourglass(platform::crHourGlass);
  auto list = getDeletedFileList(ostrel::primaryIfZero(conn), path);
  bool purged = false;
  for (int i = 0; i < list->Count(); ++i) {
    const NWCCODE rc = purgeRecord(list->record(i));
    if (rc == 0) {
      purged = true;
      continue;
    }
    // A failure after some files went is not reported: the caller sees what was purged.
    if (!purged) state.record(rc);
    return purged;
  }
  return purged;
}

} // namespace nwserver
