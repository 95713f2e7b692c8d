// Client functions of deleted files: the scan of a directory's deleted files, recovering one
// and purging one. Deleted files are found by volume, directory base and sequence; the
// directory handle of recover and purge is not consulted, so a handle released and reused
// since the scan cannot point them at another directory.
#include "marshal.h"

#include <effective_rights.h>
#include <redirector.h>
#include <salvage.h>

#include <nwclient/nwclient.h>

#include <algorithm>

using nwsim::DeletedFile;
using nwsim::Location;
using nwsim::Redirector;
using nwsim::Salvage;
using nwsim::Server;
using nwsim::Session;
using nwsim::Volumes;
namespace m = nwsim::marshal;

namespace {

constexpr nuint32 kScanStart = 0xFFFFFFFF;

bool containsIgnoringCase(const std::string& text, const std::string& part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
         }) != text.end();
}

// The deleted file a recover or purge names, on the connection's server.
// The deleted file a salvage or purge names, when the caller holds `rights` in its directory
// (else `refusal`).
NWCCODE deletedFile(Session& s, NWCONN_HANDLE conn, nuint32 seq, nuint32 volNumber, nuint32 dirBase,
                    std::uint16_t rights, NWCCODE refusal, Server& server, Volumes::Volume& volume, DeletedFile& out) {
  nwsim::Connection c;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  auto v = Volumes(s.db(), s.network().dir()).byNumber(server.id, static_cast<int>(volNumber));
  if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
  Salvage salvage(s);
  auto f = salvage.find(server.id, v->number, dirBase, seq);
  if (!f) return NWE_FILE_NOT_FOUND;
  const auto directory = salvage.directoryOf(server.id, v->number, dirBase);
  if (!directory || !nwsim::EffectiveRights(s.db(), server.id).allow(c.objectId, v->number, *directory, rights))
    return refusal;
  volume = *v;
  out = *f;
  return NWE_OK;
}

} // namespace

extern "C" {

NWCCODE NWScanForDeletedFiles(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32* iterationHandle, nuint32* volNumber,
                              nuint32* dirBase, NWDELETED_INFO* entryInfo) {
  NWSIM_SERVE_READ({
    if (!iterationHandle || !entryInfo) return NWE_INVALID_PARAMETER;
    Location dir;
    if (NWCCODE rc = Redirector(s).locateBelow(conn, dirHandle, {}, dir)) return rc;
    Salvage salvage(s);
    const std::uint32_t base = salvage.dirBase(dir.server.id, dir.volume.number, nwsim::FileEntries::key(dir.path()), false);
    if (!base) return NWE_NO_MORE_ENTRIES;
    auto f = salvage.next(dir.server.id, dir.volume.number, base, *iterationHandle == kScanStart ? 0 : *iterationHandle);
    if (!f) return NWE_NO_MORE_ENTRIES;
    std::memset(entryInfo, 0, sizeof *entryInfo);
    entryInfo->sequence = f->seq;
    entryInfo->parent = base;
    entryInfo->attributes = f->info.attributes;
    entryInfo->nameLength = static_cast<nuint8>(std::min<std::size_t>(f->name.size(), 255));
    m::putString(entryInfo->name, sizeof entryInfo->name, f->name);
    entryInfo->creationDateAndTime = m::packedDateTime(f->info.created.value_or(f->deleted));
    entryInfo->ownerID = m::wireId(f->info.ownerId);
    entryInfo->lastArchiveDateAndTime = f->info.archived ? m::packedDateTime(*f->info.archived) : 0;
    entryInfo->lastArchiverID = m::wireId(f->info.archiverId);
    entryInfo->updateDateAndTime = m::packedDateTime(f->info.updated.value_or(f->deleted));
    entryInfo->updatorID = m::wireId(f->info.updaterId);
    entryInfo->fileSize = static_cast<nuint32>(std::min<std::uint64_t>(f->size, 0xFFFFFFFF));
    entryInfo->inheritedRightsMask = f->info.inheritedMask;
    const auto accessed = static_cast<nuint16>(m::packedDateTime(f->info.accessed.value_or(f->deleted)) >> 16);
    entryInfo->lastAccessDate = __builtin_bswap16(accessed);
    entryInfo->deletedDateAndTime = m::packedDateTime(f->deleted);
    entryInfo->deletorID = m::wireId(f->deletorId);
    *iterationHandle = f->seq;
    if (volNumber) *volNumber = static_cast<nuint32>(dir.volume.number);
    if (dirBase) *dirBase = base;
    return NWE_OK;
  });
}

NWCCODE NWRecoverDeletedFile(NWCONN_HANDLE conn, nuint8, nuint32 iterationHandle, nuint32 volNumber, nuint32 dirBase,
                             const char* delFileName, const char* rcvrFileName) {
  NWSIM_SERVE({
    Server server;
    Volumes::Volume v;
    DeletedFile f;
    if (NWCCODE rc = deletedFile(s, conn, iterationHandle, volNumber, dirBase, nwsim::NWR_CREATE,
                                 NWE_NO_CREATE_PRIVILEGE, server, v, f))
      return rc;
    if (!containsIgnoringCase(f.name, m::getString(delFileName, NW_PATH_SIZE))) return NWE_FILE_NOT_FOUND;
    return Salvage(s).recover(server, v, f, m::getString(rcvrFileName, NW_PATH_SIZE));
  });
}

NWCCODE NWPurgeDeletedFile(NWCONN_HANDLE conn, nuint8, nuint32 iterationHandle, nuint32 volNumber, nuint32 dirBase,
                           const char* fileName) {
  NWSIM_SERVE({
    Server server;
    Volumes::Volume v;
    DeletedFile f;
    if (NWCCODE rc = deletedFile(s, conn, iterationHandle, volNumber, dirBase, nwsim::NWR_ERASE,
                                 NWE_NO_DELETE_PRIVILEGE, server, v, f))
      return rc;
    const std::string name = m::getString(fileName, NW_PATH_SIZE);
    if (name.size() != f.name.size() || !containsIgnoringCase(f.name, name)) return NWE_FILE_NOT_FOUND;
    return Salvage(s).purge(server, v, f);
  });
}

}
