// Client functions of volume statistics and space, the disk restrictions of objects, and
// temporary directory handles.
#include "marshal.h"

#include <bindery.h>
#include <dir_handles.h>
#include <effective_rights.h>
#include <redirector.h>
#include <salvage.h>
#include <volume_space.h>

#include <nwclient/nwclient.h>

#include <algorithm>

using nwsim::Connection;
using nwsim::Location;
using nwsim::Redirector;
using nwsim::Server;
using nwsim::Session;
using nwsim::VolumeSpace;
using nwsim::Volumes;
namespace m = nwsim::marshal;

static_assert(sizeof(VOL_STATS) == 40);
static_assert(sizeof(DIR_SPACE_INFO) == 46);
static_assert(sizeof(NWVolExtendedInfo) == 132);

namespace {

constexpr nuint16 kSectorsPerBlock = VolumeSpace::kBlockSize / 512;

nuint16 clamp16(std::uint64_t v) { return static_cast<nuint16>(std::min<std::uint64_t>(v, 0xFFFF)); }
nuint32 clamp32(std::uint64_t v) { return static_cast<nuint32>(std::min<std::uint64_t>(v, 0xFFFFFFFF)); }

// What a volume holds, as the statistics report it: blocks in use by files and by deleted
// files, directory slots in use (one per entry, the root's included).
struct VolumeFigures {
  Server server;
  Volumes::Volume volume;
  std::uint64_t total = 0, used = 0, purgeable = 0, deletedFiles = 0, slots = 0, slotsUsed = 0, files = 0;
  std::uint64_t available() const { return total > used + purgeable ? total - used - purgeable : 0; }
  std::uint64_t slotsAvailable() const { return slots > slotsUsed ? slots - slotsUsed : 0; }
};

NWCCODE figures(Session& s, NWCONN_HANDLE conn, int number, VolumeFigures& out) {
  Connection c;
  Server& server = out.server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  Volumes volumes(s.db(), s.network().dir());
  auto v = volumes.byNumber(server.id, number);
  if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
  VolumeSpace space(s);
  const auto usage = VolumeSpace::usageOf(volumes.root(server.name, v->name));
  out.volume = *v;
  out.total = space.sizeBlocks(server.id, v->number);
  out.used = usage.blocks;
  out.purgeable = nwsim::Salvage(s).blocks(server.id, v->number, &out.deletedFiles);
  out.files = usage.files;
  out.slotsUsed = usage.files + usage.directories + 1;
  // One directory slot per block of the volume, but never fewer than are in use.
  out.slots = std::max(out.total, out.slotsUsed);
  return NWE_OK;
}

// The display form of a client-form object ID that names an object of the connection's server.
NWCCODE objectOf(Session& s, NWCONN_HANDLE conn, nuint32 objectID, Connection& c, Server& server, std::uint32_t& id) {
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  id = m::wireId(objectID);
  if (!nwsim::Bindery(s.db(), server.id).byId(id)) return NWE_NO_SUCH_OBJECT;
  return NWE_OK;
}

NWCCODE mountedVolume(Session& s, const Server& server, int number, Volumes::Volume& out) {
  auto v = Volumes(s.db(), s.network().dir()).byNumber(server.id, number);
  if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
  out = *v;
  return NWE_OK;
}

// What the space calls of an object work on: the object (display-form ID) on a mounted volume
// of the connection's server. Changing a restriction is for console operators.
struct ObjectOnVolume {
  Connection c;
  Server server;
  std::uint32_t id = 0;
  Volumes::Volume v;

  NWCCODE open(Session& s, NWCONN_HANDLE conn, nuint32 objectID, int volNumber, bool change = false) {
    if (NWCCODE rc = objectOf(s, conn, objectID, c, server, id)) return rc;
    if (change && !nwsim::Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name))
      return NWE_NO_CONSOLE_RIGHTS;
    return mountedVolume(s, server, volNumber, v);
  }
};

} // namespace

extern "C" {

NWCCODE NWGetVolumeStats(NWCONN_HANDLE conn, nuint8 volNumber, VOL_STATS* volInfo) {
  NWSIM_SERVE_READ({
    if (!volInfo) return NWE_INVALID_PARAMETER;
    VolumeFigures f;
    if (NWCCODE rc = figures(s, conn, volNumber, f)) return rc;
    std::memset(volInfo, 0, sizeof *volInfo);
    volInfo->systemElapsedTime = static_cast<nint32>(f.server.clock());
    volInfo->volumeNumber = volNumber;
    volInfo->sectorsPerBlock = kSectorsPerBlock;
    volInfo->totalBlocks = clamp16(f.total);
    volInfo->availableBlocks = clamp16(f.available());
    volInfo->totalDirectorySlots = clamp16(f.slots);
    volInfo->availableDirectorySlots = clamp16(f.slotsAvailable());
    volInfo->maxDirectorySlotsUsed = clamp16(f.slotsUsed);
    volInfo->isCaching = 1;
    volInfo->isMounted = 1;
    m::putString(volInfo->volumeName, sizeof volInfo->volumeName, f.volume.name);
    return NWE_OK;
  });
}

NWCCODE NWGetVolumeInfoWithNumber(NWCONN_HANDLE conn, nuint16 volNumber, char* volName, nuint16* totalBlocks,
                                  nuint16* sectorsPerBlock, nuint16* availableBlocks, nuint16* totalDirEntries,
                                  nuint16* availableDirEntries, nuint16* volIsRemovable) {
  NWSIM_SERVE_READ({
    m::putString(volName, NW_VOLUME_NAME_SIZE, {});
    VolumeFigures f;
    if (NWCCODE rc = figures(s, conn, volNumber, f)) return rc;
    m::putString(volName, NW_VOLUME_NAME_SIZE, f.volume.name);
    if (totalBlocks) *totalBlocks = clamp16(f.total);
    if (sectorsPerBlock) *sectorsPerBlock = kSectorsPerBlock;
    if (availableBlocks) *availableBlocks = clamp16(f.available());
    if (totalDirEntries) *totalDirEntries = clamp16(f.slots);
    if (availableDirEntries) *availableDirEntries = clamp16(f.slotsAvailable());
    if (volIsRemovable) *volIsRemovable = 0;
    return NWE_OK;
  });
}

NWCCODE NWGetExtendedVolumeInfo(NWCONN_HANDLE conn, nuint16 volNumber, NWVolExtendedInfo* volInfo) {
  NWSIM_SERVE_READ({
    if (!volInfo) return NWE_INVALID_PARAMETER;
    VolumeFigures f;
    if (NWCCODE rc = figures(s, conn, volNumber, f)) return rc;
    std::memset(volInfo, 0, sizeof *volInfo);
    volInfo->sectorSize = 512;
    volInfo->sectorsPerCluster = kSectorsPerBlock;
    volInfo->volSizeInClusters = clamp32(f.total);
    volInfo->freedClusters = clamp32(f.available());
    volInfo->freeableLimboSectors = clamp32(f.purgeable * kSectorsPerBlock);
    volInfo->numDataStreams = clamp32(f.files);
    volInfo->numLimboDataStreams = clamp32(f.deletedFiles);
    volInfo->totalDirEntries = clamp32(f.slots);
    volInfo->unUsedDirEntries = clamp32(f.slotsAvailable());
    return NWE_OK;
  });
}

NWCCODE NWGetDirSpaceInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint16 volNumber, DIR_SPACE_INFO* spaceInfo) {
  NWSIM_SERVE_READ({
    if (!spaceInfo) return NWE_INVALID_PARAMETER;
    int number = volNumber;
    if (dirHandle) {
      Location at;
      if (NWCCODE rc = Redirector(s).locateBelow(conn, dirHandle, {}, at)) return rc;
      number = at.volume.number;
    }
    VolumeFigures f;
    if (NWCCODE rc = figures(s, conn, number, f)) return rc;
    std::memset(spaceInfo, 0, sizeof *spaceInfo);
    spaceInfo->totalBlocks = clamp32(f.total);
    spaceInfo->availableBlocks = clamp32(f.available());
    spaceInfo->purgeableBlocks = clamp32(f.purgeable);
    spaceInfo->totalDirEntries = clamp32(f.slots);
    spaceInfo->availableDirEntries = clamp32(f.slotsAvailable());
    spaceInfo->sectorsPerBlock = static_cast<nuint8>(kSectorsPerBlock);
    spaceInfo->volLen = static_cast<nuint8>(std::min<std::size_t>(f.volume.name.size(), sizeof spaceInfo->volName));
    std::memcpy(spaceInfo->volName, f.volume.name.data(), spaceInfo->volLen);
    return NWE_OK;
  });
}

NWCCODE NWGetDiskUtilization(NWCONN_HANDLE conn, nuint32 objectID, nuint8 volNumber, nuint16* usedDirectories,
                             nuint16* usedFiles, nuint16* usedBlocks) {
  NWSIM_SERVE_READ({
    ObjectOnVolume o;
    if (NWCCODE rc = o.open(s, conn, objectID, volNumber)) return rc;
    const auto u = VolumeSpace(s).ownedBy(o.server, o.v, o.id);
    if (usedDirectories) *usedDirectories = clamp16(u.directories);
    if (usedFiles) *usedFiles = clamp16(u.files);
    if (usedBlocks) *usedBlocks = clamp16(u.blocks);
    return NWE_OK;
  });
}

NWCCODE NWGetObjDiskRestrictions(NWCONN_HANDLE conn, nuint8 volNumber, nuint32 objectID, nuint32* restriction,
                                 nuint32* inUse) {
  NWSIM_SERVE_READ({
    ObjectOnVolume o;
    if (NWCCODE rc = o.open(s, conn, objectID, volNumber)) return rc;
    VolumeSpace space(s);
    if (restriction) *restriction = space.restriction(o.server.id, o.v.number, o.id).value_or(NW_NO_RESTRICTION);
    if (inUse) *inUse = clamp32(space.ownedBy(o.server, o.v, o.id).blocks);
    return NWE_OK;
  });
}

NWCCODE NWSetObjectVolSpaceLimit(NWCONN_HANDLE conn, nuint16 volNumber, nuint32 objectID, nuint32 restriction) {
  NWSIM_SERVE({
    ObjectOnVolume o;
    if (NWCCODE rc = o.open(s, conn, objectID, volNumber, true)) return rc;
    VolumeSpace space(s);
    if (restriction >= NW_NO_RESTRICTION) space.unrestrict(o.server.id, o.v.number, o.id);
    else space.restrict(o.server.id, o.v.number, o.id, restriction);
    return NWE_OK;
  });
}

NWCCODE NWRemoveObjectDiskRestrictions(NWCONN_HANDLE conn, nuint8 volNumber, nuint32 objectID) {
  NWSIM_SERVE({
    ObjectOnVolume o;
    if (NWCCODE rc = o.open(s, conn, objectID, volNumber, true)) return rc;
    VolumeSpace(s).unrestrict(o.server.id, o.v.number, o.id);
    return NWE_OK;
  });
}

NWCCODE NWAllocTemporaryDirectoryHandle(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint8* newDirHandle,
                                        nuint8* effectiveRights) {
  NWSIM_SERVE({
    if (!path || !newDirHandle) return NWE_INVALID_PARAMETER;
    *newDirHandle = 0;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locateBelow(conn, dirHandle, m::getString(path, NW_PATH_SIZE), at)) return rc;
    std::filesystem::path local;
    if (NWCCODE rc = r.localPath(at, local)) return rc;
    std::error_code ec;
    if (!std::filesystem::is_directory(local, ec)) return NWE_INVALID_PATH;
    const int h = nwsim::DirHandles(s.db()).allocate(at.conn.id, at.volume.number, at.path());
    if (!h) return NWE_NO_MORE_DIR_HANDLES;
    *newDirHandle = static_cast<nuint8>(h);
    if (effectiveRights) {
      // The byte carries the eight rights below supervisory, which implies all of them.
      const std::uint16_t rights =
          nwsim::EffectiveRights(s.db(), at.server.id).of(at.conn.objectId, at.volume.number, at.path());
      *effectiveRights = static_cast<nuint8>((rights & nwsim::NWR_SUPERVISOR) ? 0xFF : rights & 0xFF);
    }
    return NWE_OK;
  });
}

NWCCODE NWDeallocateDirectoryHandle(NWCONN_HANDLE conn, nuint8 dirHandle) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    return nwsim::DirHandles(s.db()).release(c.id, dirHandle) ? NWCCODE(NWE_OK) : NWCCODE(NWE_BAD_DIRECTORY_HANDLE);
  });
}

}
