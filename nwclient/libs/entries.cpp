// Client functions of directory entries: scans of a directory's files and subdirectories,
// the trustees of an entry, and the attributes, rights masks and space limits kept for them.
#include "marshal.h"

#include <dir_listing.h>
#include <effective_rights.h>
#include <file_entries.h>
#include <redirector.h>
#include <salvage.h>
#include <trustees.h>

#include <nwclient/nwclient.h>

#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

using nwsim::EntryInfo;
using nwsim::FileEntries;
using nwsim::ListedEntry;
using nwsim::Location;
using nwsim::Redirector;
using nwsim::Session;
namespace fs = std::filesystem;
namespace m = nwsim::marshal;

static_assert(sizeof(NWENTRY_INFO) == 132);
static_assert(sizeof(NW_EXT_FILE_INFO) == 140);
static_assert(sizeof(NWET_INFO) == 28 + 20 * 8);
static_assert(sizeof(NWDELETED_INFO) == 376);

namespace {

constexpr std::size_t kPatternSize = 128;
constexpr nuint32 kScanStart = 0xFFFFFFFF;
constexpr std::size_t kTrusteesPerCall = 20;

// A directory and the entries of it that a pattern selects.
struct Selection {
  Location dir;
  nwsim::Placed local;
  std::shared_ptr<const nwsim::Listing> listing;
  std::string pattern;
  /// The entry at `index` as the disk has it now.
  ListedEntry at(std::size_t index) const { return nwsim::withDetails(local, (*listing)[index]); }
};

std::string childPath(const Location& dir, const std::string& name) {
  return dir.parts.empty() ? name : dir.path() + "\\" + name;
}

NWCCODE selectIn(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const std::string& dirPath, std::string pattern,
                 Selection& out) {
  Redirector r(s);
  if (NWCCODE rc = r.locateBelow(conn, dirHandle, dirPath, out.dir)) return rc;
  if (NWCCODE rc = r.place(out.dir, out.local)) return rc;
  struct stat st{};
  if (!out.local.status(st) || !S_ISDIR(st.st_mode)) return NWE_INVALID_PATH;
  // Without the file scan right in a folder the station sees nothing in it.
  if (!nwsim::EffectiveRights(s.db(), out.dir.server.id)
           .allow(out.dir.conn.objectId, out.dir.volume.number, out.dir.path(), nwsim::NWR_FILE_SCAN))
    out.listing = std::make_shared<const nwsim::Listing>();
  else
    out.listing = nwsim::listDirectory(out.local);
  out.pattern = std::move(pattern);
  return NWE_OK;
}

// A path whose last component may hold wildcards ("SYS:PUBLIC\\*.EXE", "*.TXT").
NWCCODE selectPath(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const std::string& text, Selection& out) {
  const auto cut = text.find_last_of("\\/:");
  if (cut == std::string::npos) return selectIn(s, conn, dirHandle, {}, text, out);
  std::string dir = text.substr(0, cut + 1);
  if (dir.back() != ':') dir.pop_back();
  return selectIn(s, conn, dirHandle, dir, text.substr(cut + 1), out);
}

// The next entry at or after `from` that the selection, the kind (directories or files) and
// the search attributes admit, with what is kept for it; the listing's size when none is.
std::size_t nextEntry(Session& s, const Selection& sel, std::size_t from, unsigned searchAttributes, EntryInfo& info) {
  FileEntries entries(s.db());
  const bool directories = searchAttributes & NWSA_DIRECTORIES;
  const bool exact = sel.pattern.find_first_of("*?") == std::string::npos;
  for (std::size_t i = nwsim::firstCandidate(*sel.listing, from, sel.pattern); i < sel.listing->size(); ++i) {
    const ListedEntry& e = (*sel.listing)[i];
    if (!nwsim::matchesPattern(sel.pattern, e.name)) {
      if (exact) break;  // past the names that can match
      continue;
    }
    if (e.directory != directories) continue;
    info = entries.get(sel.dir.server.id, sel.dir.volume.number, childPath(sel.dir, e.name));
    if ((info.attributes & NWA_HIDDEN) && !(searchAttributes & NWSA_HIDDEN)) continue;
    if ((info.attributes & NWA_SYSTEM) && !(searchAttributes & NWSA_SYSTEM)) continue;
    return i;
  }
  return sel.listing->size();
}

nuint16 packedDate(std::int64_t t) { return static_cast<nuint16>(m::packedDateTime(t) >> 16); }

// The part the entry records share, up to the data size.
template <typename Record>
void fillEntry(Session& s, const Selection& sel, std::size_t index, const ListedEntry& e, const EntryInfo& info,
               Record& out) {
  std::memset(&out, 0, sizeof out);
  out.sequence = static_cast<nuint32>(index);
  out.parent = nwsim::Salvage(s).dirBase(sel.dir.server.id, sel.dir.volume.number, FileEntries::key(sel.dir.path()), false);
  out.attributes = (info.attributes & ~nuint32(NWA_DIRECTORY)) | (e.directory ? nuint32(NWA_DIRECTORY) : 0);
  out.nameLength = static_cast<nuint8>(std::min<std::size_t>(e.name.size(), 255));
  std::memcpy(out.name, e.name.data(), std::min(e.name.size(), sizeof out.name));
  out.creationDateAndTime = m::packedDateTime(info.created.value_or(e.modified));
  out.ownerID = m::wireId(info.ownerId);
  out.lastArchiveDateAndTime = info.archived ? m::packedDateTime(*info.archived) : 0;
  out.lastArchiverID = m::wireId(info.archiverId);
  out.updateDateAndTime = m::packedDateTime(info.updated.value_or(e.modified));
  out.updatorID = m::wireId(info.updaterId);
  out.dataSize = static_cast<nuint32>(std::min<std::uint64_t>(e.size, 0xFFFFFFFF));
}

template <typename Record, typename Finish>
NWCCODE scan(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, unsigned searchAttributes, nuint32* iterationHandle,
             const char* searchPattern, Record* out, Finish&& finish) {
  if (!iterationHandle || !searchPattern || !out) return NWE_INVALID_PARAMETER;
  Selection sel;
  if (NWCCODE rc = selectIn(s, conn, dirHandle, {}, m::getString(searchPattern, kPatternSize), sel)) return rc;
  const std::size_t from = *iterationHandle == kScanStart ? 0 : std::size_t(*iterationHandle) + 1;
  EntryInfo info;
  const std::size_t i = nextEntry(s, sel, from, searchAttributes, info);
  if (i >= sel.listing->size()) return NWE_NO_MORE_ENTRIES;
  const ListedEntry e = sel.at(i);
  fillEntry(s, sel, i, e, info, *out);
  finish(e, info);
  *iterationHandle = static_cast<nuint32>(i);
  return NWE_OK;
}

// Applies `change` to what is kept for every file the path selects; NWE_FILE_NOT_FOUND
// when it selects none, NWE_NO_SET_PRIVILEGE (and nothing changed) when the caller lacks the
// modify right at one of them.
template <typename Change>
NWCCODE changeFiles(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath, nuint8 searchAttributes,
                    Change&& change) {
  if (!filePath) return NWE_INVALID_PARAMETER;
  Selection sel;
  if (NWCCODE rc = selectPath(s, conn, dirHandle, m::getString(filePath, NW_PATH_SIZE), sel)) return rc;
  std::vector<std::pair<std::string, EntryInfo>> files;
  EntryInfo info;
  for (std::size_t i = nextEntry(s, sel, 0, searchAttributes & ~NWSA_DIRECTORIES, info); i < sel.listing->size();
       i = nextEntry(s, sel, i + 1, searchAttributes & ~NWSA_DIRECTORIES, info))
    files.emplace_back(childPath(sel.dir, (*sel.listing)[i].name), info);
  if (files.empty()) return NWE_FILE_NOT_FOUND;
  nwsim::EffectiveRights rights(s.db(), sel.dir.server.id);
  for (const auto& [path, kept] : files)
    if (!rights.allow(sel.dir.conn.objectId, sel.dir.volume.number, path, nwsim::NWR_MODIFY)) return NWE_NO_SET_PRIVILEGE;
  FileEntries entries(s.db());
  for (auto& [path, kept] : files) {
    change(kept);
    entries.put(sel.dir.server.id, sel.dir.volume.number, path, kept);
  }
  return NWE_OK;
}

// The directory of a handle, and what is kept for it; the caller needs `rights` there.
template <typename Change>
NWCCODE changeDirectory(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, std::uint16_t rights, Change&& change) {
  Location at;
  if (NWCCODE rc = Redirector(s).locateBelow(conn, dirHandle, {}, at)) return rc;
  if (!nwsim::EffectiveRights(s.db(), at.server.id).allow(at.conn.objectId, at.volume.number, at.path(), rights))
    return NWE_NO_SET_PRIVILEGE;
  FileEntries entries(s.db());
  EntryInfo info = entries.get(at.server.id, at.volume.number, at.path());
  if (NWCCODE rc = change(info)) return rc;
  entries.put(at.server.id, at.volume.number, at.path(), info);
  return NWE_OK;
}

} // namespace

extern "C" {

NWCCODE NWIntScanDirEntryInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint16 searchAttributes, nuint32* iterationHandle,
                              const char* searchPattern, NWENTRY_INFO* entryInfo, nuint8) {
  NWSIM_SERVE_READ({
    return scan(s, conn, dirHandle, searchAttributes, iterationHandle, searchPattern, entryInfo,
                [&](const ListedEntry& e, const EntryInfo& info) {
                  if (e.directory) {
                    entryInfo->info.dir.maxSpace = static_cast<nuint32>(info.maxSpace);
                    entryInfo->info.dir.inheritedRightsMask = info.inheritedMask;
                  } else {
                    entryInfo->info.file.inheritedRightsMask = info.inheritedMask;
                    entryInfo->info.file.lastAccessDate = packedDate(info.accessed.value_or(e.accessed));
                    entryInfo->info.file.rightsMask = info.inheritedMask;
                  }
                });
  });
}

NWCCODE NWIntScanExtendedInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint8 searchAttributes, nuint32* iterationHandle,
                              const char* searchPattern, NW_EXT_FILE_INFO* entryInfo, nuint8) {
  NWSIM_SERVE_READ({
    return scan(s, conn, dirHandle, searchAttributes & ~NWSA_DIRECTORIES, iterationHandle, searchPattern, entryInfo,
                [&](const ListedEntry& e, const EntryInfo& info) {
                  entryInfo->inheritedRightsMask = info.inheritedMask;
                  entryInfo->lastAccessDate = packedDate(info.accessed.value_or(e.accessed));
                });
  });
}

NWCCODE NWIntScanForTrustees(NWCONN_HANDLE conn, nuint8 dirHandle, const char* searchPath, nuint32* iterationHandle,
                             nuint16* numOfEntries, NWET_INFO* entryTrusteeInfo, nuint8) {
  NWSIM_SERVE_READ({
    if (numOfEntries) *numOfEntries = 0;
    if (!searchPath || !iterationHandle || !entryTrusteeInfo) return NWE_INVALID_PARAMETER;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locateBelow(conn, dirHandle, m::getString(searchPath, NW_PATH_SIZE), at)) return rc;
    nwsim::Placed place;
    struct stat st{};
    if (NWCCODE rc = r.place(at, place)) return rc;
    if (!place.status(st)) return NWE_INVALID_PATH;
    const auto trustees = nwsim::Trustees(s.db()).at(at.server.id, at.volume.number, at.path());
    const std::size_t from = *iterationHandle;
    if (from >= trustees.size()) return NWE_NO_MORE_ENTRIES;
    const std::size_t count = std::min(trustees.size() - from, kTrusteesPerCall);
    const EntryInfo info = FileEntries(s.db()).get(at.server.id, at.volume.number, at.path());
    std::memset(entryTrusteeInfo, 0, sizeof *entryTrusteeInfo);
    m::putString(entryTrusteeInfo->entryName, sizeof entryTrusteeInfo->entryName,
                 at.parts.empty() ? at.volume.name : at.parts.back());
    entryTrusteeInfo->creationDateAndTime = m::packedDateTime(info.created.value_or(st.st_mtim.tv_sec));
    entryTrusteeInfo->ownerID = m::wireId(info.ownerId);
    for (std::size_t i = 0; i < count; ++i) {
      entryTrusteeInfo->trusteeList[i].objectID = m::wireId(trustees[from + i].objectId);
      entryTrusteeInfo->trusteeList[i].objectRights = trustees[from + i].rights;
    }
    *iterationHandle = static_cast<nuint32>(from + count);
    if (numOfEntries) *numOfEntries = static_cast<nuint16>(count);
    return NWE_OK;
  });
}

NWCCODE NWIntScanFileInformation2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePattern,
                                  nuint8 searchAttributes, nuint8* iterationHandle9, NW_FILE_INFO2* info, nuint8) {
  NWSIM_SERVE_READ({
    if (!filePattern || !iterationHandle9 || !info) return NWE_INVALID_PARAMETER;
    Selection sel;
    if (NWCCODE rc = selectPath(s, conn, dirHandle, m::getString(filePattern, NW_PATH_SIZE), sel)) return rc;
    // The handle's first four bytes are the last entry returned; nine 0xFF bytes start a scan.
    nuint32 last = 0;
    std::memcpy(&last, iterationHandle9, sizeof last);
    const bool start = std::all_of(iterationHandle9, iterationHandle9 + 9, [](nuint8 b) { return b == 0xFF; });
    EntryInfo kept;
    const std::size_t i = nextEntry(s, sel, start ? 0 : std::size_t(last) + 1, searchAttributes & ~NWSA_DIRECTORIES, kept);
    if (i >= sel.listing->size()) return NWE_FILE_NOT_FOUND;
    const ListedEntry e = sel.at(i);
    std::memset(info, 0, sizeof *info);
    info->fileAttributes = static_cast<nuint8>(kept.attributes & 0xFF);
    info->extendedFileAttributes = static_cast<nuint8>((kept.attributes >> 8) & 0xFF);
    info->fileSize = static_cast<nuint32>(std::min<std::uint64_t>(e.size, 0xFFFFFFFF));
    info->creationDate = packedDate(kept.created.value_or(e.modified));
    info->lastAccessDate = packedDate(kept.accessed.value_or(e.accessed));
    info->lastUpdateDateAndTime = m::packedDateTime(kept.updated.value_or(e.modified));
    info->fileOwnerID = m::wireId(kept.ownerId);
    info->lastArchiveDateAndTime = kept.archived ? m::packedDateTime(*kept.archived) : 0;
    m::putString(info->fileName, sizeof info->fileName, e.name);
    last = static_cast<nuint32>(i);
    std::memset(iterationHandle9, 0, 9);
    std::memcpy(iterationHandle9, &last, sizeof last);
    return NWE_OK;
  });
}

NWCCODE NWSetFileAttributes(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath, nuint8 searchAttributes,
                            nuint8 newAttributes) {
  NWSIM_SERVE({
    return changeFiles(s, conn, dirHandle, filePath, searchAttributes, [&](EntryInfo& info) {
      info.attributes = (info.attributes & ~0xFFu) | (newAttributes & ~nuint32(NWA_DIRECTORY));
    });
  });
}

NWCCODE NWSetFileInformation2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath, nuint8 searchAttributes,
                              const NW_FILE_INFO2* fileInfo) {
  NWSIM_SERVE({
    if (!fileInfo) return NWE_INVALID_PARAMETER;
    return changeFiles(s, conn, dirHandle, filePath, searchAttributes, [&](EntryInfo& info) {
      info.attributes = (info.attributes & ~0xFFFFu) | (fileInfo->fileAttributes & ~nuint32(NWA_DIRECTORY)) |
                        (nuint32(fileInfo->extendedFileAttributes) << 8);
      if (fileInfo->fileOwnerID) info.ownerId = m::wireId(fileInfo->fileOwnerID);
    });
  });
}

NWCCODE NWSetExtendedFileAttributes2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath,
                                     nuint8 extendedAttributes) {
  NWSIM_SERVE({
    return changeFiles(s, conn, dirHandle, filePath, NWSA_HIDDEN | NWSA_SYSTEM, [&](EntryInfo& info) {
      info.attributes = (info.attributes & ~0xFF00u) | (nuint32(extendedAttributes) << 8);
    });
  });
}

NWCCODE NWSetDirEntryInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint8 searchAttributes, nuint32, nuint32 changeBits,
                          const NWENTRY_INFO* newEntryInfo) {
  NWSIM_SERVE({
    constexpr nuint32 kAttributes = 0x02, kRightsMask = 0x1000, kMaxSpace = 0x4000;
    if (!newEntryInfo || (changeBits & ~(kAttributes | kRightsMask | kMaxSpace))) return NWE_INVALID_PARAMETER;
    if (!(searchAttributes & NWSA_DIRECTORIES)) {
      // A file of the handle's directory, named in the entry: its whole attribute word.
      if (changeBits != kAttributes) return NWE_INVALID_PARAMETER;
      const std::string name(newEntryInfo->name, std::min<std::size_t>(newEntryInfo->nameLength, sizeof newEntryInfo->name));
      if (name.empty() || name.find_first_of("*?\\/:") != std::string::npos) return NWE_INVALID_PATH;
      return changeFiles(s, conn, dirHandle, name.c_str(), searchAttributes, [&](EntryInfo& info) {
        info.attributes = newEntryInfo->attributes & ~nuint32(NWA_DIRECTORY);
      });
    }
    // Attributes need the modify right, the rights mask access control, a space limit the
    // supervisory right.
    std::uint16_t needed = 0;
    if (changeBits & kAttributes) needed |= nwsim::NWR_MODIFY;
    if (changeBits & kRightsMask) needed |= nwsim::NWR_ACCESS_CONTROL;
    if (changeBits & kMaxSpace) needed |= nwsim::NWR_SUPERVISOR;
    return changeDirectory(s, conn, dirHandle, needed, [&](EntryInfo& info) {
      if (changeBits & kAttributes) info.attributes = newEntryInfo->attributes & ~nuint32(NWA_DIRECTORY);
      if (changeBits & kRightsMask) info.inheritedMask = newEntryInfo->info.dir.inheritedRightsMask & nwsim::NWR_ALL;
      if (changeBits & kMaxSpace) info.maxSpace = newEntryInfo->info.dir.maxSpace;
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWSetDirSpaceLimit(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32 spaceLimit) {
  NWSIM_SERVE({
    return changeDirectory(s, conn, dirHandle, nwsim::NWR_SUPERVISOR, [&](EntryInfo& info) {
      info.maxSpace = spaceLimit;
      return NWCCODE(NWE_OK);
    });
  });
}

}
