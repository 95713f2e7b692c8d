// Files and directories: listings, entry information, trustees, attributes and space limits.
#include "nwserver/client.h"

#include <nwtools/nwtools.h>

#include <algorithm>
#include <cstring>

namespace nwserver {

using detail::client;
using detail::state;
using detail::TemporaryDirHandle;

namespace {

constexpr std::size_t kPatternBuffer = 128;
constexpr std::size_t kShortPathBuffer = 128;
constexpr std::size_t kEntryRecord = 132;
constexpr std::size_t kExtendedRecord = 140;
constexpr std::size_t kEntryNameField = 12;
constexpr nuint32 kScanStart = 0xFFFFFFFF;
constexpr unsigned kFilesOnly = 0x06, kFilesAndDirectories = 0x16, kDirectories = 0x10;

template <typename T>
T read(const nuint8* record, std::size_t offset) {
  T value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

std::string toClientDirectory(const std::string& path) { return nwtools::strTran(detail::directoryPart(path), "\\", "/"); }

// A 16-bit DOS date: day in bits 0-4, month 5-8, years since 1980 in 9-15; 0 when invalid.
rtl::TDateTime dosDate(std::uint16_t date) {
  rtl::TDateTime result = 0;
  if (!rtl::TryEncodeDate(1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F, result)) return 0;
  return result;
}

// The entry name, never read past its 12-byte field whatever length the entry claims.
std::string entryName(const nuint8* record) {
  const std::size_t length = std::min<std::size_t>(record[15], kEntryNameField);
  return std::string(reinterpret_cast<const char*>(record + 16), length);
}

// The fields every entry record has at the same place.
void fillCommon(NWCONN_HANDLE conn, const nuint8* record, TNWFileInfo& info) {
  info.attributes = read<nuint32>(record, 8);
  info.entryFlags = record[13];
  info.nameSpace = record[14];
  info.nameLength = record[15];
  info.name = entryName(record);
  info.creationTime = nwDateTimeToTDateTime(read<std::int32_t>(record, 28));
  info.ownerName = ostrel::getObjName(conn, read<std::int32_t>(record, 32));
  info.archiveTime = nwDateTimeToTDateTime(read<std::int32_t>(record, 36));
  info.archiverName = ostrel::getObjName(conn, read<std::int32_t>(record, 40));
  info.updateTime = nwDateTimeToTDateTime(read<std::int32_t>(record, 44));
}

// The fields of a file entry; `rightsAt` is where the record keeps the rights mask.
void fillFile(NWCONN_HANDLE conn, const nuint8* record, std::size_t rightsAt, TNWFileInfo& info) {
  fillCommon(conn, record, info);
  detail::decodeRights(read<nuint16>(record, rightsAt), info);
  info.modifyTime = info.updateTime;
  info.lastAccessDate = dosDate(read<nuint16>(record, 102));
  info.modifierName = ostrel::getObjName(conn, read<std::int32_t>(record, 48));
  info.fileSize = read<nuint32>(record, 52);
}

// Scans the directory of a temporary handle with one of the entry scans, handing each
// record to `visit` until it returns false or the scan ends; the end code is not recorded.
template <typename Scan, typename Record, typename Visit>
void scanDirectory(Scan& scan, const TemporaryDirHandle& dir, unsigned attributes, const std::string& pattern,
                   Record& record, Visit&& visit) {
  char patternBuffer[kPatternBuffer] = {};
  rtl::copyToBuffer(patternBuffer, sizeof patternBuffer, pattern);
  nuint32 iteration = kScanStart;
  detail::ScanGuard guard;
  for (;;) {
    std::memset(&record, 0, sizeof record);
    if (scan.unrecorded(dir.conn(), dir.handle(), attributes, &iteration, patternBuffer, &record, 0) != 0) return;
    if (!guard.advance(iteration)) return;
    if (!visit(reinterpret_cast<const nuint8*>(&record))) return;
  }
}

std::unique_ptr<rtl::TStringList> entryList(const std::string& path, unsigned attributes) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWIntScanDirEntryInfo.bind()) return list;
  const std::string upper = rtl::UpperCase(path);
  TemporaryDirHandle dir(toClientDirectory(upper));
  if (!dir.ok()) return list;
  NWENTRY_INFO record{};
  scanDirectory(client.NWIntScanDirEntryInfo, dir, attributes, detail::namePart(upper), record, [&](const nuint8* r) {
    try {
      list->Add(entryName(r));
    } catch (const std::exception&) {
      return false;  // keep what was listed so far
    }
    return true;
  });
  return list;
}

// The first entry whose upper-cased name contains the path's name part.
template <typename Fill>
bool findEntry(const std::string& directory, const std::string& path, const std::string& pattern, unsigned attributes,
               Fill&& fill) {
  if (!client.NWIntScanDirEntryInfo.bind()) return false;
  TemporaryDirHandle dir(directory);
  if (!dir.ok()) return false;
  const std::string wanted = rtl::UpperCase(detail::namePart(path));
  bool found = false;
  NWENTRY_INFO record{};
  scanDirectory(client.NWIntScanDirEntryInfo, dir, attributes, pattern, record, [&](const nuint8* r) {
    if (rtl::UpperCase(entryName(r)).find(wanted) == std::string::npos) return true;
    fill(dir.conn(), r);
    found = true;
    return false;
  });
  return found;
}

std::string rightsText(std::uint16_t rights) {
  if (rights & 0x0100) return "SFRWCDMA";
  std::string text = "-";
  const std::pair<std::uint16_t, char> letters[] = {{0x40, 'F'}, {0x01, 'R'}, {0x02, 'W'}, {0x08, 'C'},
                                                     {0x10, 'D'}, {0x80, 'M'}, {0x20, 'A'}};
  for (const auto& [bit, letter] : letters) text += (rights & bit) ? letter : '-';
  return text;
}

// The attribute bits of TNWAllFileFlags, by field; the directory bit and `compressed` are
// never written.
struct FlagBit {
  bool TNWAllFileFlags::*field;
  nuint32 bit;
  bool written;
};
constexpr FlagBit kAllFlagBits[] = {
    {&TNWAllFileFlags::readOnly, 0x1, true},          {&TNWAllFileFlags::hidden, 0x2, true},
    {&TNWAllFileFlags::system, 0x4, true},            {&TNWAllFileFlags::executeOnly, 0x8, true},
    {&TNWAllFileFlags::directory, 0x10, false},       {&TNWAllFileFlags::archive, 0x20, true},
    {&TNWAllFileFlags::shareable, 0x80, true},        {&TNWAllFileFlags::attrBit8, 0x100, true},
    {&TNWAllFileFlags::attrBit9, 0x200, true},        {&TNWAllFileFlags::attrBit10, 0x400, true},
    {&TNWAllFileFlags::attrBit11, 0x800, true},       {&TNWAllFileFlags::immediatePurge, 0x10000, true},
    {&TNWAllFileFlags::renameInhibit, 0x20000, true}, {&TNWAllFileFlags::deleteInhibit, 0x40000, true},
    {&TNWAllFileFlags::copyInhibit, 0x80000, true},   {&TNWAllFileFlags::fileMigrated, 0x400000, true},
    {&TNWAllFileFlags::dontMigrate, 0x800000, true},  {&TNWAllFileFlags::immediateCompress, 0x2000000, true},
    {&TNWAllFileFlags::dontCompress, 0x8000000, true}, {&TNWAllFileFlags::cantCompress, 0x20000000, true},
};

// The DOS attribute byte of TNWFileFlags and TNWExtFileFlags, positions 1 to 7.
template <typename Flags>
struct DosBits {
  bool Flags::*field;
  nuint8 bit;
};
template <typename Flags>
constexpr DosBits<Flags> kDosBits[] = {{&Flags::readOnly, 0x01},    {&Flags::hidden, 0x02},
                                       {&Flags::system, 0x04},      {&Flags::executeOnly, 0x08},
                                       {&Flags::directory, 0x10},   {&Flags::archive, 0x20},
                                       {&Flags::shareable, 0x80}};

// A path parsed into 128-byte buffers, as the attribute calls of one file take it.
struct ShortParse {
  NWCONN_HANDLE conn;
  nuint8 handle = 0;
  char volumePath[kShortPathBuffer] = {};
  bool ok = false;
  ShortParse(NWCONN_HANDLE c, const std::string& path) : conn(ostrel::primaryIfZero(c)) {
    char buffer[kShortPathBuffer] = {};
    rtl::copyToBuffer(buffer, sizeof buffer, rtl::UpperCase(path));
    ok = client.NWParseNetWarePath.unrecorded(buffer, &conn, &handle, volumePath) == 0;
  }
};

} // namespace

namespace detail {

void decodeRights(std::uint16_t mask, TNWRights& r) {
  r.rightRead = mask & 0x0001;
  r.rightWrite = mask & 0x0002;
  r.rightOpen = mask & 0x0004;
  r.rightCreate = mask & 0x0008;
  r.rightDelete = r.rightErase = mask & 0x0010;
  r.rightAccessControl = mask & 0x0020;
  r.rightSearch = r.rightFileScan = mask & 0x0040;
  r.rightModify = mask & 0x0080;
  r.rightAll = mask & 0x01FB;
  r.rightSupervisor = mask & 0x0100;
  r.rightNormal = mask & 0x00FB;
}

bool ScanGuard::advance(std::uint32_t iteration) {
  if (started_ && iteration == last_) return false;
  started_ = true;
  last_ = iteration;
  return ++steps_ <= kMaxSteps;
}

} // namespace detail

std::unique_ptr<rtl::TStringList> getVolFileList(const std::string& path) { return entryList(path, kFilesOnly); }

std::unique_ptr<rtl::TStringList> getVolDirList(const std::string& path) { return entryList(path, kFilesAndDirectories); }

bool getFileInfo(const std::string& path, TNWFileInfo& info) {
  if (!client.NWIntScanExtendedInfo.bind()) return false;
  TemporaryDirHandle dir(detail::directoryPart(path));
  if (!dir.ok()) return false;
  bool found = false;
  NW_EXT_FILE_INFO record{};
  static_assert(sizeof record == kExtendedRecord);
  // Every match overwrites the last: the last entry the server returns wins.
  scanDirectory(client.NWIntScanExtendedInfo, dir, kFilesOnly, detail::namePart(path), record, [&](const nuint8* r) {
    fillFile(dir.conn(), r, 100, info);
    found = true;
    return true;
  });
  return found;
}

bool getFileInfoOld(const std::string& path, TNWFileInfo& info) {
  static_assert(sizeof(NWENTRY_INFO) == kEntryRecord);
  const std::string upper = rtl::UpperCase(path);
  return findEntry(toClientDirectory(upper), upper, detail::namePart(upper), 0, [&](NWCONN_HANDLE conn, const nuint8* r) {
    fillFile(conn, r, 104, info);
    info.maxSpace = read<std::int32_t>(r, 100);
  });
}

bool getDirectoryInfo(const std::string& path, TNWFileInfo& info) {
  const std::string upper = rtl::UpperCase(path);
  return findEntry(detail::directoryPart(upper), upper, "*", kDirectories, [&](NWCONN_HANDLE conn, const nuint8* r) {
    fillCommon(conn, r, info);
    detail::decodeRights(read<nuint16>(r, 104), info);
    info.maxSpace = read<std::int32_t>(r, 100);
    for (const auto& f : kAllFlagBits) info.attributeFlags.*f.field = (info.attributes & f.bit) != 0;
  });
}

std::unique_ptr<rtl::TStringList> getDirTrustees(NWCONN_HANDLE conn, const std::string& path) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWParseNetWarePath.bind() || !client.NWIntScanForTrustees.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  char buffer[256] = {}, volumePath[256] = {};
  rtl::copyToBuffer(buffer, sizeof buffer, path);
  nuint8 handle = 0;
  if (client.NWParseNetWarePath.unrecorded(buffer, &conn, &handle, volumePath) != 0) return list;
  nuint32 iteration = 0;
  detail::ScanGuard guard;
  NWET_INFO record{};
  nuint16 count = 0;
  // The code that ends the scan is recorded, also after a complete listing.
  while (client.NWIntScanForTrustees(conn, handle, volumePath, &iteration, &count, &record, 0) == 0 &&
         guard.advance(iteration)) {
    const std::size_t n = std::min<std::size_t>(count, std::size(record.trusteeList));
    for (std::size_t i = 0; i < n; ++i) {
      const std::string name = ostrel::getObjName(conn, static_cast<std::int32_t>(record.trusteeList[i].objectID));
      if (!name.empty()) list->Add(name + "  [" + rightsText(record.trusteeList[i].objectRights) + "]");
    }
  }
  return list;
}

bool getFileFlags(NWCONN_HANDLE conn, const std::string& path, TNWFileFlags& flags) {
  if (!client.NWParseNetWarePath.bind() || !client.NWIntScanFileInformation2.bind()) return false;
  ShortParse p(conn, path);
  if (!p.ok) return false;
  nuint8 iteration[9];
  std::memset(iteration, 0xFF, sizeof iteration);
  NW_FILE_INFO2 record{};
  if (client.NWIntScanFileInformation2(p.conn, p.handle, p.volumePath, kFilesOnly, iteration, &record, 0) != 0)
    return false;
  flags.normal = false;
  for (const auto& f : kDosBits<TNWFileFlags>) flags.*f.field = (record.fileAttributes & f.bit) != 0;
  return true;
}

bool setFileFlags(NWCONN_HANDLE conn, const std::string& path, const TNWFileFlags& flags) {
  if (!client.NWParseNetWarePath.bind() || !client.NWSetFileAttributes.bind()) return false;
  ShortParse p(conn, path);
  if (!p.ok) return false;
  nuint8 attributes = 0;
  for (const auto& f : kDosBits<TNWFileFlags>)
    if (flags.*f.field) attributes |= f.bit;
  return client.NWSetFileAttributes(p.conn, p.handle, p.volumePath, kFilesOnly, attributes) == 0;
}

bool setExtendedFileFlags(const std::string& path, const TNWExtFileFlags& flags, bool clear) {
  if (!client.NWIntScanFileInformation2.bind() || !client.NWSetFileInformation2.bind() ||
      !client.NWSetExtendedFileAttributes2.bind())
    return false;
  std::string directory = detail::directoryPart(path);
  if (directory.empty()) directory = "\\";
  TemporaryDirHandle dir(directory);
  if (!dir.ok()) return false;
  char name[256] = {};
  rtl::copyToBuffer(name, sizeof name, detail::namePart(path));
  nuint8 iteration[9];
  std::memset(iteration, 0xFF, sizeof iteration);
  NW_FILE_INFO2 record{};
  if (client.NWIntScanFileInformation2(dir.conn(), dir.handle(), name, kFilesOnly, iteration, &record, 0) != 0)
    return false;
  for (const auto& f : kDosBits<TNWExtFileFlags>) {
    if (!(flags.*f.field)) continue;
    if (clear) record.fileAttributes &= static_cast<nuint8>(~f.bit);
    else record.fileAttributes |= f.bit;
  }
  if (client.NWSetFileInformation2(dir.conn(), dir.handle(), name, kFilesOnly, &record) != 0) return false;
  return client.NWSetExtendedFileAttributes2(dir.conn(), dir.handle(), name, record.extendedFileAttributes) == 0;
}

bool setDirFlags(const std::string& path, const TNWAllFileFlags& flags, TNWNameSpaceSet nameSpace) {
  if (!client.NWSetDirEntryInfo.bind()) return false;
  TemporaryDirHandle dir(path);
  if (!dir.ok()) return false;
  NWENTRY_INFO record{};
  // The name area holds 12 bytes; the name length of 0 says it is not used.
  std::memcpy(record.name, dir.volumePath(), std::min(std::strlen(dir.volumePath()), sizeof record.name));
  record.nameLength = 0;
  record.nameSpace = nameSpace;
  nuint32 attributes = 0;
  if (!flags.normal)
    for (const auto& f : kAllFlagBits)
      if (f.written && flags.*f.field) attributes |= f.bit;
  record.attributes = attributes;
  return client.NWSetDirEntryInfo(dir.conn(), dir.handle(), kDirectories, 0, 0x02, &record) == 0;
}

bool setFileAttributes(const std::string& path, std::uint32_t attributes) {
  if (!client.NWSetDirEntryInfo.bind()) return false;
  std::string directory = detail::directoryPart(path);
  if (directory.empty()) directory = "\\";
  const std::string name = detail::namePart(path);
  NWENTRY_INFO record{};
  if (name.empty() || name.size() > sizeof record.name) return false;
  TemporaryDirHandle dir(directory);
  if (!dir.ok()) return false;
  std::memcpy(record.name, name.data(), name.size());
  record.nameLength = static_cast<nuint8>(name.size());
  record.nameSpace = nameSpaceDOS;
  record.attributes = attributes & ~nuint32(0x10);
  return client.NWSetDirEntryInfo(dir.conn(), dir.handle(), kFilesOnly, 0, 0x02, &record) == 0;
}

bool setDirSpaceLimit(const std::string& path, std::int32_t limit) {
  if (!client.NWSetDirSpaceLimit.bind()) return false;
  TemporaryDirHandle dir(path, 0, false);
  if (!dir.ok()) return false;
  return client.NWSetDirSpaceLimit(dir.conn(), dir.handle(), static_cast<nuint32>(limit / 4)) == 0;
}

} // namespace nwserver
