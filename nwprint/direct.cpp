// Direct printing: a file copied into a new queue job, which is then started.
#include "nwprint/client.h"

#include <nwtools/bytedates.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <cstring>

namespace nwprint {

using detail::client;
using detail::queueID;

namespace {

constexpr std::size_t kPathBuffer = 128;
constexpr std::size_t kBlock = 2048;
constexpr std::uint16_t kUser = 0x0100;

// The print job record in the entry's client record area.
constexpr std::size_t kRecordTabSize = 1;
constexpr std::size_t kRecordCopies = 2;       // most significant byte first
constexpr std::size_t kRecordPrintFlags = 4;   // most significant byte first
constexpr std::size_t kRecordFormName = 10;
constexpr std::size_t kRecordBanner = 45;
constexpr std::size_t kRecordFormSize = kRecordBanner - kRecordFormName;
constexpr std::size_t kRecordBannerSize = 13;

/// Closes a platform file at the end of the scope.
class OpenFile {
public:
  explicit OpenFile(int handle) : handle_(handle) {}
  ~OpenFile() {
    if (handle_ != platform::HFILE_ERROR) platform::lclose(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int handle() const { return handle_; }
  bool ok() const { return handle_ != platform::HFILE_ERROR; }

private:
  int handle_;
};

/// Copies the source into the queue file in blocks; false when a read or a write failed
/// part-way.
bool copyInto(int source, int target) {
  char buffer[kBlock];
  for (;;) {
    std::memset(buffer, 0, sizeof buffer);
    const long read = platform::lread(source, buffer, kBlock);
    if (read == 0) return true;
    if (read < 0) return false;
    if (platform::lwrite(target, buffer, read) != read) return false;
  }
}

/// What a job of direct printing takes from the caller.
struct JobRecord {
  std::string description;
  std::uint8_t tabSize = 0;
  std::uint32_t copies = 1;
  std::uint8_t printFlags = 0;
  std::string formName;
  std::string bannerText;
  std::uint32_t owner = 0;  // client form; 0 = the object logged in
};

bool printFile(NWCONN_HANDLE conn, const std::string& queueName, const std::string& fileName,
               const std::string& netwarePath, const JobRecord& record) {
  conn = ostrel::primaryIfZero(conn);
  const std::uint32_t queue = queueID(conn, queueName);
  if (queue == 0 || conn == 0) return false;
  // A file that cannot be read makes no job at all.
  OpenFile source(platform::lopen(fileName, platform::OF_READ));
  if (!source.ok()) return false;

  NWQueueJobStruct job{};
  job.clientID = record.owner;
  job.targetServerID = 0xFFFFFFFFu;
  std::memset(job.targetExecTime, 0xFF, sizeof job.targetExecTime);
  nwtools::putByteDate(job.jobEntryTime, rtl::Now(), true);
  job.jobControlFlags = QF_AUTO_START;
  rtl::copyToBuffer(job.jobDescription, sizeof job.jobDescription,
                    record.description.empty() ? netwarePath : record.description);
  nuint8* area = job.clientRecordArea;
  area[kRecordTabSize] = record.tabSize;
  area[kRecordCopies + 1] = static_cast<nuint8>(record.copies);
  area[kRecordPrintFlags + 1] = record.printFlags;
  rtl::copyToBuffer(reinterpret_cast<char*>(area + kRecordFormName), kRecordFormSize, record.formName);
  rtl::copyToBuffer(reinterpret_cast<char*>(area + kRecordBanner), kRecordBannerSize, record.bannerText);

  nuint32 handle = 0;
  if (client.NWCreateQueueFile2(conn, queue, &job, &handle) != 0) return false;
  const bool copied = copyInto(source.handle(), static_cast<int>(handle));
  // After a partial copy the job is still started with what was written, but it failed.
  return client.NWCloseFileAndStartQueueJob2(conn, queue, job.jobNumber, handle) == 0 && copied;
}

/// The file's NetWare path, or the name itself when the client cannot parse it.
std::string netwarePath(const std::string& fileName) {
  char name[kPathBuffer] = {};
  rtl::copyToBuffer(name, sizeof name, fileName);
  char path[kPathBuffer] = {};
  NWCONN_HANDLE parsed = 0;
  nuint8 dirHandle = 0;
  if (client.NWParseNetWarePath(name, &parsed, &dirHandle, path) != 0) return fileName;
  return rtl::bufferToString(path, sizeof path);
}

bool bound() {
  return client.NWCreateQueueFile2.bind() && client.NWCloseFileAndStartQueueJob2.bind() &&
         client.NWParseNetWarePath.bind();
}

} // namespace

bool NPrint(NWCONN_HANDLE conn, const std::string& queueName, const std::string& fileName) {
  if (!bound() || !client.NWGetCaptureFlags.bind()) return false;
  JobRecord record;
  record.description = netwarePath(fileName);
  TNWCaptureFlags flags;
  if (getCaptureFlags(1, flags)) record.formName = flags.formName;
  record.copies = flags.copies;
  return printFile(conn, queueName, fileName, record.description, record);
}

bool NPrintEx(NWCONN_HANDLE conn, const std::string& queueName, const std::string& fileName,
              const TNWCaptureFlags& flags) {
  if (!bound()) return false;
  JobRecord record;
  record.description = flags.jobDescription;
  record.tabSize = static_cast<std::uint8_t>(flags.tabSize);
  record.copies = flags.copies;
  record.formName = flags.formName;
  record.bannerText = flags.bannerText;
  if (!flags.formFeed) record.printFlags |= 0x08;
  if (flags.notify) record.printFlags |= 0x10;
  if (!flags.bannerText.empty()) record.printFlags |= 0x80;
  if (!flags.userName.empty()) {
    NWCONN_HANDLE c = ostrel::primaryIfZero(conn);
    record.owner = ostrel::getObjNumber(c, flags.userName, kUser);
  }
  return printFile(conn, queueName, fileName, netwarePath(fileName), record);
}

} // namespace nwprint
