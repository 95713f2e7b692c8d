// nw pq, capture, endcap and nprint: print queues and their jobs, captured printer ports
// and printing files directly.
#include "cli.h"

#include <nwprint/nwprint.h>
#include <ostrel/ostrel.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <iostream>

namespace nw {
namespace {

constexpr std::uint16_t kPrintQueue = 0x0300;

std::string printError() { return failure(nwprint::lasterror()); }

void check(bool ok, const std::string& what) {
  if (!ok) throw CommandError(what + " (" + printError() + ")");
}

// The print calls report an unknown queue without a code of their own; the lookup that
// failed left it with the calls unit.
void requireQueue(const std::string& queue) {
  NWCONN_HANDLE conn = 0;
  if (ostrel::getObjNumber(conn, queue, kPrintQueue) == 0)
    throw CommandError("no print queue " + queue + " on server " + ostrel::getServerName(0) + " (" +
                       failure(ostrel::lasterror()) + ")");
}

int number(const std::string& text, int low, int high, const std::string& what) {
  const int n = rtl::StrToIntDef(text, low - 1);
  if (n < low || n > high) throw CommandError(what + " must be " + std::to_string(low) + " to " + std::to_string(high));
  return n;
}

/// A job named on the command line: QUEUE JOB.
nwprint::TNWQueueJobInfo jobArgument(const Args& args) {
  nwprint::TNWQueueJobInfo info;
  info.queueName = rtl::UpperCase(args.need(1, "a queue name"));
  info.jobNumber = static_cast<std::uint32_t>(number(args.need(2, "a job number"), 1, 0xFFFF, "a job number"));
  requireQueue(info.queueName);
  check(nwprint::getQueueJobInfo(info), "no job " + std::to_string(info.jobNumber) + " in " + info.queueName);
  return info;
}

/// The flags given by the options of capture and nprint, on top of `flags`.
void applyFlagOptions(const Args& args, nwprint::TNWCaptureFlags& flags) {
  if (!args.option("copies").empty()) flags.copies = static_cast<std::uint32_t>(number(args.option("copies"), 1, 255, "--copies"));
  if (!args.option("tabs").empty()) flags.tabSize = number(args.option("tabs"), 0, 18, "--tabs");
  if (!args.option("form").empty()) flags.formName = args.option("form");
  if (!args.option("banner").empty()) flags.bannerText = args.option("banner");
  if (!args.option("description").empty()) flags.jobDescription = args.option("description");
  if (args.flag("noformfeed")) flags.formFeed = false;
  if (args.flag("formfeed")) flags.formFeed = true;
  if (args.flag("notify")) flags.notify = true;
}

int pq(const Args& args) {
  const std::string& action = args.need(0, "an action (list, jobs, del, move, hold)");
  requireClient();
  if (action == "list") {
    args.atMost(1);
    auto queues = ostrel::getBinderyList(0, kPrintQueue);
    for (const auto& item : *queues) {
      nwprint::TNWQueueJobNumbers numbers;
      std::string jobs = "?";
      if (nwprint::getQueueJobNumbers(0, item.text, numbers))
        jobs = std::to_string(std::count_if(numbers.begin(), numbers.end(), [](std::int32_t n) { return n != -1; }));
      std::string padded = item.text;
      padded.resize(24, ' ');
      std::cout << padded << jobs << (jobs == "1" ? " job\n" : " jobs\n");
    }
  } else if (action == "jobs") {
    args.atMost(2);
    const std::string queue = rtl::UpperCase(args.need(1, "a queue name"));
    rtl::TStringList list;
    requireQueue(queue);
    check(nwprint::getQueueJobList(0, queue, list), "cannot list the jobs of " + queue);
    // The list's texts hold the fields apart by tabs; here they stand in columns.
    auto row = [](const std::vector<std::string>& fields) {
      static const std::size_t columns[] = {0, 5, 22, 32};  // where each field starts
      std::string line;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line.resize(std::max(line.size() + 1, i < std::size(columns) ? columns[i] : 0), ' ');
        line += fields[i];
      }
      std::cout << line << "\n";
    };
    row({"Job", "Owner[station]", "Status", "Description"});
    for (const auto& item : list) {
      std::vector<std::string> fields{std::to_string(item.object)};
      std::size_t start = 0;
      for (std::size_t tab; (tab = item.text.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(item.text.substr(start, tab - start));
      fields.push_back(item.text.substr(start));
      row(fields);
    }
  } else if (action == "del") {
    args.atMost(3);
    auto info = jobArgument(args);
    check(nwprint::deleteQueueJob(info), "cannot delete the job");
    std::cout << "Job " << info.jobNumber << " deleted from " << info.queueName << ".\n";
  } else if (action == "move") {
    args.atMost(4);
    auto info = jobArgument(args);
    const auto position = static_cast<std::uint16_t>(number(args.need(3, "a position"), 1, 250, "a position"));
    check(nwprint::setQueueJobPosition(info, position), "cannot move the job");
    std::cout << "Job " << info.jobNumber << " is now at position " << info.jobPosition << ".\n";
  } else if (action == "hold") {
    args.atMost(3);
    auto info = jobArgument(args);
    const bool hold = !args.flag("release");
    (args.flag("operator") ? info.ctrlFlags.operatorHold : info.ctrlFlags.userHold) = hold;
    check(nwprint::setQueueJobInfo(info), "cannot change the job");
    std::cout << "Job " << info.jobNumber << (hold ? " held.\n" : " released.\n");
  } else {
    throw CommandError("unknown action '" + action + "' (see --help)");
  }
  return 0;
}

int capture(const Args& args) {
  args.atMost(0);
  requireClient();
  const auto port = static_cast<std::uint8_t>(number(args.option("lpt", "1"), 1, 9, "--lpt"));
  if (args.option("queue").empty()) {
    // Without a queue: the captured ports of this workstation.
    const int ports = nwprint::getMaxPrinters();
    for (int p = 1; p <= ports; ++p) {
      nwprint::TNWCaptureFlags f;
      if (!nwprint::isCaptured(static_cast<std::uint8_t>(p)) || !nwprint::getCaptureFlags(static_cast<std::uint8_t>(p), f))
        continue;
      std::cout << "LPT" << p << ": captured to " << f.queueName << ", copies " << f.copies << ", banner "
                << (f.bannerText.empty() ? "none" : f.bannerText) << ", form feed " << (f.formFeed ? "yes" : "no")
                << ", tabs " << f.tabSize << "\n";
    }
    return 0;
  }
  nwprint::TNWCaptureFlags flags;
  applyFlagOptions(args, flags);
  const std::string queue = rtl::UpperCase(args.option("queue"));
  requireQueue(queue);
  check(nwprint::capture(0, queue, port, flags), "cannot capture LPT" + std::to_string(port) + " to " + queue);
  std::cout << "LPT" << int(port) << " captured to " << queue << ".\n";
  return 0;
}

int endcap(const Args& args) {
  args.atMost(0);
  requireClient();
  const bool cancel = args.flag("cancel");
  std::vector<std::uint8_t> ports;
  if (args.flag("all")) {
    for (int p = 1; p <= nwprint::getMaxPrinters(); ++p)
      if (nwprint::isCaptured(static_cast<std::uint8_t>(p))) ports.push_back(static_cast<std::uint8_t>(p));
  } else {
    ports.push_back(static_cast<std::uint8_t>(number(args.option("lpt", "1"), 1, 9, "--lpt")));
  }
  for (auto p : ports) {
    check(cancel ? nwprint::cancelCapture(p) : nwprint::endCap(p), "LPT" + std::to_string(p) + " is not captured");
    std::cout << "Capture of LPT" << int(p) << (cancel ? " cancelled.\n" : " ended.\n");
  }
  return 0;
}

int nprint(const Args& args) {
  args.atMost(1);
  const std::string& file = args.need(0, "a file");
  if (args.option("queue").empty()) throw CommandError("nprint needs --queue (see --help)");
  requireClient();
  if (!platform::fileExists(file)) throw CommandError("cannot open " + file);
  const std::string queue = rtl::UpperCase(args.option("queue"));
  requireQueue(queue);
  nwprint::TNWCaptureFlags flags;
  applyFlagOptions(args, flags);
  const bool plain = args.option("copies").empty() && args.option("tabs").empty() && args.option("form").empty() &&
                     args.option("banner").empty() && args.option("description").empty() &&
                     !args.flag("noformfeed") && !args.flag("notify");
  check(plain ? nwprint::NPrint(0, queue, file) : nwprint::NPrintEx(0, queue, file, flags),
        "cannot print " + file + " to " + queue);
  std::cout << file << " sent to " << queue << ".\n";
  return 0;
}

const Register pqCommand{{"pq", "print queues and their jobs",
                          "usage: nw pq list\n"
                          "       nw pq jobs QUEUE\n"
                          "       nw pq del QUEUE JOB\n"
                          "       nw pq move QUEUE JOB POSITION\n"
                          "       nw pq hold QUEUE JOB [--release] [--operator]\n\n"
                          "hold puts the user's hold on a job (--operator: the operator's) or, with\n"
                          "--release, takes it off. Jobs are changed by their owners and the queue's operators.\n",
                          {},
                          pq}};
const Register captureCommand{{"capture", "redirect a printer port to a print queue",
                               "usage: nw capture --queue QUEUE [--lpt N] [--copies N] [--banner TEXT] [--form NAME]\n"
                               "         [--tabs N] [--description TEXT] [--formfeed | --noformfeed] [--notify]\n"
                               "       nw capture            (shows the captured ports)\n\n"
                               "The capture belongs to this workstation; a captured port is captured anew.\n",
                               {"queue", "lpt", "copies", "banner", "form", "tabs", "description"},
                               capture}};
const Register endcapCommand{{"endcap", "end the capture of a printer port",
                              "usage: nw endcap [--lpt N | --all] [--cancel]\n",
                              {"lpt"},
                              endcap}};
const Register nprintCommand{{"nprint", "print a file into a print queue",
                              "usage: nw nprint FILE --queue QUEUE [--copies N] [--banner TEXT] [--form NAME]\n"
                              "         [--tabs N] [--description TEXT] [--formfeed | --noformfeed] [--notify]\n\n"
                              "FILE is a local file or a NetWare path (SYS:PUBLIC\\FILE, G:\\FILE).\n",
                              {"queue", "copies", "banner", "form", "tabs", "description"},
                              nprint}};

} // namespace
} // namespace nw
