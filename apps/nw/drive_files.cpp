// nw map, ncopy, openfiles, fileusers: the drive table, copying files, and who has what open.
#include "cli.h"

#include <ostrel/ostrel.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <nwclient/volumes.h>

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace nw {
namespace {

std::string errorText() { return failure(ostrel::lasterror()); }

/// The letter of a drive argument "G:" or "G"; throws for anything but one letter A-Z.
char driveArgument(const std::string& text) {
  const bool shape = text.size() == 1 || (text.size() == 2 && text[1] == ':');
  const char letter = text.empty() ? '\0' : rtl::UpCase(text[0]);
  if (!shape || letter < 'A' || letter > 'Z') throw CommandError("'" + text + "' is not a drive letter (A: to Z:)");
  return letter;
}

int mapCmd(const Args& args) {
  const auto& words = args.positional();
  if (words.empty()) {
    requireClient();
    const auto table = ostrel::mapShow();
    for (const auto& line : *table) std::cout << line.text << "\n";
    return 0;
  }
  if (rtl::UpperCase(words[0]) == "DEL") {
    args.atMost(2);
    const char letter = driveArgument(args.need(1, "drive letter"));
    requireClient();
    if (!ostrel::mapDelete(std::string(1, letter)))
      throw CommandError(std::string("drive ") + letter + ": is not mapped (" + errorText() + ")");
    std::cout << "The mapping for drive " << letter << ": has been deleted.\n";
    return 0;
  }
  args.atMost(2);
  const char letter = driveArgument(words[0]);
  const std::string path = args.need(1, "path");
  requireClient();
  if (!ostrel::map(letter, path)) throw CommandError("cannot map drive " + std::string(1, letter) + ": to " + path);
  ostrel::TNWMapInfo info;
  if (ostrel::getMapInfo(letter, info))
    std::cout << "Drive " << letter << ":  = " << info.path << "\n";
  else
    std::cout << "Drive " << letter << ": mapped.\n";
  return 0;
}

/// A copy's progress on the terminal: the share done, on one line written over, for files
/// large enough to take a while.
class CopyProgress {
public:
  CopyProgress() {
    if (!::isatty(STDERR_FILENO)) return;
    ostrel::setCopyProgress([this](std::int64_t done, std::int64_t total) { show(done, total); });
    active_ = true;
  }
  ~CopyProgress() {
    if (!active_) return;
    ostrel::setCopyProgress({});
    if (shown_ >= 0) std::cerr << "\n";
  }
  CopyProgress(const CopyProgress&) = delete;
  CopyProgress& operator=(const CopyProgress&) = delete;

private:
  static constexpr std::int64_t kWorthShowing = 1 << 20;
  void show(std::int64_t done, std::int64_t total) {
    if (total < kWorthShowing) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    std::cerr << "\r" << percent << "% of " << total / 1024 << " KB copied" << std::flush;
  }
  bool active_ = false;
  int shown_ = -1;
};

int ncopy(const Args& args) {
  args.atMost(2);
  const std::string source = args.need(0, "source file");
  const std::string destination = args.need(1, "destination file");
  requireClient();
  ostrel::TOstrel().resetLastError();
  bool copied;
  {
    CopyProgress progress;
    copied = ostrel::nCopy(source, destination);
  }
  if (!copied) {
    const std::int32_t code = ostrel::lasterror();
    throw CommandError("cannot copy " + source + " to " + destination +
                       (code == NWE_INSUFFICIENT_SPACE ? ": a space limit or disk restriction leaves no room for it"
                        : code != 0                   ? " (" + errorText() + ")"
                        : !platform::fileExists(source) ? " (no such file)"
                                                      : std::string()) +
                       "; the destination is unchanged");
  }
  std::cout << source << " to " << destination << "\n1 file copied.\n";
  return 0;
}

int openfiles(const Args& args) {
  args.atMost(1);
  const std::string text = args.need(0, "station number");
  int station = 0;
  try {
    std::size_t used = 0;
    station = std::stoi(text, &used);
    if (used != text.size() || station < 1 || station > 0xFFFF) throw std::invalid_argument(text);
  } catch (const std::exception&) {
    throw CommandError("'" + text + "' is not a station number");
  }
  requireClient();
  ostrel::TOstrel unit;
  unit.resetLastError();
  auto list = ostrel::getConnOpenFiles(0, static_cast<std::uint16_t>(station));
  // The scan always ends with a code; only "no more entries" means it got to the end.
  if (list->Empty() && ostrel::lasterror() != NWE_NO_MORE_ENTRIES && ostrel::lasterror() != 0)
    throw CommandError("cannot list the open files of station " + text + " (" + errorText() + ")");
  for (const auto& item : *list) std::cout << item.text << "\n";
  return 0;
}

int fileusers(const Args& args) {
  args.atMost(1);
  const std::string path = args.need(0, "file path");
  requireClient();
  auto list = ostrel::getOpenFileUsers(0, path);
  if (list->Empty()) throw CommandError("cannot find " + path + " (" + errorText() + ")");
  for (const auto& item : *list) std::cout << item.text << "\n";
  return 0;
}

Register mapReg({"map", "show, set or delete drive mappings",
                 "usage: nw map\n       nw map G: PATH\n       nw map del G:\n\n"
                 "Without arguments shows the drive table. With a drive and a NetWare path\n"
                 "(SERVER/VOLUME:DIR or VOLUME:DIR) maps the drive there, replacing any mapping.\n"
                 "\"del\" removes a drive's mapping.\n",
                 {}, mapCmd});
Register ncopyReg({"ncopy", "copy a file, on the server when possible",
                   "usage: nw ncopy SOURCE DEST\n\nCopies a file. When both are NetWare files of one server the server copies\n"
                   "it; otherwise it goes through the workstation. The copy gets the source's date.\n",
                   {}, ncopy});
Register openfilesReg({"openfiles", "the files a station has open",
                       "usage: nw openfiles STATION\n\nLists the files a station of the primary server has open.\n", {},
                       openfiles});
Register fileusersReg({"fileusers", "the stations that have a file open",
                       "usage: nw fileusers PATH\n\nLists the stations that have the NetWare file open, with the user\n"
                       "logged in on each; \"[0]  None\" when nobody has.\n",
                       {}, fileusers});

} // namespace
} // namespace nw
