#pragma once
// Unit Nwprint: print queues and capture.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror().
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/tstringlist.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace nwprint {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object: reads and clears the unit error code.
class TNWPrint : public ostrel::UnitObject<detail::state> {};

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

// ---- Queue jobs ----------------------------------------------------------------------------

/// The job control flags a program may read and set.
struct TNWQueueJobCtrlFlags {
  bool autoStart = false;     // 0x08
  bool entryRestart = false;  // 0x10
  bool entryOpen = false;     // 0x20
  bool userHold = false;      // 0x40
  bool operatorHold = false;  // 0x80
};

/// One job of a queue: `connection`, `queueName` and `jobNumber` say which.
struct TNWQueueJobInfo {
  NWCONN_HANDLE connection = 0;  // 0 = the primary connection
  std::string queueName;
  std::uint32_t jobNumber = 0;
  std::string ownerName;
  std::string serverName;
  std::string queueServerName;   // the print server servicing the job; empty when none
  std::string jobFileName;
  std::string jobDescription;
  std::string formName;
  std::uint32_t ownerID = 0;
  rtl::TDateTime entryDateTime = 0;
  rtl::TDateTime execDateTime = 0;  // below 1.0 on writing: as soon as possible
  std::uint16_t jobType = 0;
  std::uint16_t jobPosition = 0;
  TNWQueueJobCtrlFlags ctrlFlags;
};

/// The job numbers of a queue: up to 250, the unused slots -1.
using TNWQueueJobNumbers = std::array<std::int32_t, 250>;

/// The job numbers of the queue in queue order; false when the queue cannot be found or the
/// first call fails.
bool getQueueJobNumbers(NWCONN_HANDLE conn, const std::string& queueName, TNWQueueJobNumbers& numbers);
/// One line per job, "OWNER[station]<tab>status<tab>description", the job number as object.
bool getQueueJobList(NWCONN_HANDLE conn, const std::string& queueName, rtl::TStringList& list);
bool getQueueJobInfo(TNWQueueJobInfo& info);
/// Writes the description, form, target time, type, position and the five control flags
/// (all other flag bits are cleared).
bool setQueueJobInfo(const TNWQueueJobInfo& info);
/// Moves the job; on success `jobPosition` is the new position.
bool setQueueJobPosition(TNWQueueJobInfo& info, std::uint16_t newPosition);
bool deleteQueueJob(const TNWQueueJobInfo& info);
std::unique_ptr<rtl::TStringList> getQueueUsers(NWCONN_HANDLE conn, const std::string& queueName);
std::unique_ptr<rtl::TStringList> getQueueOperators(NWCONN_HANDLE conn, const std::string& queueName);
std::unique_ptr<rtl::TStringList> getQueueServers(NWCONN_HANDLE conn, const std::string& queueName);

// ---- Capture and direct printing -----------------------------------------------------------

/// The settings of a captured printer port (LPT1 = 1), and of a job printed directly.
struct TNWCaptureFlags {
  std::uint32_t copies = 1;
  std::int32_t tabSize = 0;       // above 0 expands tabs
  std::uint32_t formType = 0;
  std::uint32_t flushTimeout = 10;
  std::string jobDescription;
  std::string formName;
  std::string bannerText;         // not empty: a banner is printed
  std::string queueName;          // read only
  std::uint32_t connection = 0;   // read only
  bool printFlag04 = true;
  bool formFeed = false;          // a form feed after the job
  bool notify = false;
  std::string userName;           // direct printing: the job's owner
};

/// Reads the port's settings; the defaults are set first in every case.
bool getCaptureFlags(std::uint8_t lptDevice, TNWCaptureFlags& flags);
bool setCaptureFlags(NWCONN_HANDLE conn, std::uint8_t lptDevice, const TNWCaptureFlags& flags);
/// Ends any capture of the port, captures it to the queue and sets its flags.
bool capture(NWCONN_HANDLE conn, const std::string& queueName, std::uint8_t lptDevice, const TNWCaptureFlags& flags);
bool isCaptured(std::uint8_t lptDevice);
/// Ends the capture; a capture whose queue is gone is cancelled instead.
bool endCap(std::uint8_t lptDevice);
bool cancelCapture(std::uint8_t lptDevice);
bool setBannerUserName(const std::string& name);
std::string getBannerUserName();
std::uint8_t getMaxPrinters();
/// Whether the user (empty: the one logged in on the connection) is an operator of the
/// queue, by name or through a group.
bool isQueueOperator(NWCONN_HANDLE conn, const std::string& queueName, const std::string& userName);
/// Prints a file into the queue as one job; false, and no job, when the file cannot be opened.
bool NPrint(NWCONN_HANDLE conn, const std::string& queueName, const std::string& fileName);
bool NPrintEx(NWCONN_HANDLE conn, const std::string& queueName, const std::string& fileName,
              const TNWCaptureFlags& flags);

} // namespace nwprint
