// nw volinfo, ndir, flag, limit, restrict, salvage, purge: volumes, directory listings,
// attributes, space limits, disk restrictions and deleted files.
#include "cli.h"

#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <iostream>

namespace nw {
namespace {

std::string errorText() { return failure(nwserver::lasterror()); }

std::string dateText(rtl::TDateTime t) {
  int y, mo, d, h, mi, s, ms;
  rtl::DecodeDate(t, y, mo, d);
  rtl::DecodeTime(t, h, mi, s, ms);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", y, mo, d, h, mi);
  return text;
}

/// "SYS:PUBLIC\\X.TXT" -> "SYS:PUBLIC\\" and "X.TXT".
std::pair<std::string, std::string> split(const std::string& path) {
  const auto cut = path.find_last_of("\\/:");
  if (cut == std::string::npos) return {"", path};
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

constexpr int kDetailedListing = 200;

bool hasWildcards(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

/// A kilobyte count: digits only.
std::int64_t kilobytes(const std::string& text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit))
    throw CommandError("'" + text + "' is not a size in KB");
  return std::stoll(text);
}

// ---- attribute letters ------------------------------------------------------------------

struct Letter {
  const char* text;
  std::uint32_t bit;
};
// In the order FLAG shows them.
constexpr Letter kLetters[] = {{"Ro", 0x1},      {"S", 0x80},      {"A", 0x20},       {"X", 0x8},
                               {"H", 0x2},       {"Sy", 0x4},      {"T", 0x1000},     {"P", 0x10000},
                               {"Ri", 0x20000},  {"Di", 0x40000},  {"Ci", 0x80000}};

std::string letters(std::uint32_t attributes) {
  std::string out;
  if (!(attributes & 0x1)) out = "Rw";
  for (const auto& l : kLetters)
    if (attributes & l.bit) out += (out.empty() ? "" : " ") + std::string(l.text);
  return out.empty() ? "N" : out;
}

/// The attribute bits a list of letters asks for; "Rw" and "N" are marked in `clearReadOnly`
/// and `normal`.
std::uint32_t parseLetters(const std::vector<std::string>& words, bool& clearReadOnly, bool& normal) {
  std::uint32_t bits = 0;
  for (const auto& w : words) {
    if (rtl::SameText(w, "Rw")) {
      clearReadOnly = true;
      continue;
    }
    if (rtl::SameText(w, "N")) {
      normal = true;
      continue;
    }
    auto l = std::find_if(std::begin(kLetters), std::end(kLetters), [&](const Letter& x) { return rtl::SameText(w, x.text); });
    if (l == std::end(kLetters)) throw CommandError("unknown attribute '" + w + "' (Ro Rw S H Sy A X T P Ri Di Ci N)");
    bits |= l->bit;
  }
  return bits;
}

/// The entry information of a directory given by its full path; false when it is none.
bool directoryInfo(const std::string& path, nwserver::TNWFileInfo& info) {
  return nwserver::getDirectoryInfo(path, info) && rtl::SameText(info.name, split(path).second);
}

/// Whether the folder part of a path ("FS1/SYS:", "SYS:PUBLIC\\", "G:") names a directory
/// that is there: a missing server, volume or directory is no empty one.
bool folderExists(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty()) return true;  // relative to the current directory
  nwserver::TNWFileInfo info;
  if (folder.back() != ':') return directoryInfo(folder, info);
  ostrel::TNWPathInfo parsed;
  if (!ostrel::parseNetwarePath(0, folder, parsed)) return false;
  const std::string volume = parsed.fullPath.substr(0, parsed.fullPath.find(':'));
  return nwserver::getVolumes(parsed.connHandle)->IndexOf(volume) >= 0;
}

// ---- commands ---------------------------------------------------------------------------

int volinfo(const Args& args) {
  args.atMost(1);
  requireClient();
  std::vector<std::string> names;
  if (args.positional().empty()) {
    const auto volumes = nwserver::getVolumes(0);
    for (const auto& item : *volumes) names.push_back(item.text);
  } else {
    names.push_back(rtl::UpperCase(args.positional()[0]));
  }
  std::cout << "Volume           Total KB    Free KB  Purgeable KB  Entries  Free entries\n";
  for (const auto& name : names) {
    std::int32_t number = 0;
    if (!nwserver::getVolNum(0, name, number)) throw CommandError("no volume " + name + " (" + errorText() + ")");
    DIR_SPACE_INFO space{};
    if (!nwserver::getVolBlockInfo(0, static_cast<std::uint8_t>(number), space))
      throw CommandError("cannot read volume " + name + " (" + errorText() + ")");
    std::cout << std::left << std::setw(15) << name << std::right << std::setw(10) << space.totalBlocks * 4ull
              << std::setw(11) << space.availableBlocks * 4ull << std::setw(14) << space.purgeableBlocks * 4ull
              << std::setw(9) << (space.totalDirEntries - space.availableDirEntries) << std::setw(14)
              << space.availableDirEntries << "\n";
  }
  return 0;
}

int ndir(const Args& args) {
  args.atMost(1);
  std::string path = rtl::UpperCase(args.need(0, "path"));
  const std::string sort = args.option("sort", "name");
  if (sort != "name" && sort != "size" && sort != "date" && sort != "owner")
    throw CommandError("--sort takes name, size, date or owner");
  requireClient();
  nwserver::TNWFileInfo probe;
  if (!hasWildcards(split(path).second) && (path.back() == ':' || directoryInfo(path, probe)))
    path += path.back() == ':' ? "*.*" : "\\*.*";
  const std::string dir = split(path).first;
  if (!folderExists(dir)) throw CommandError("no server, volume or directory " + (dir.empty() ? path : dir));
  const auto directories = nwserver::getVolDirList(path);
  for (const auto& item : *directories) std::cout << std::left << std::setw(14) << item.text << "<DIR>\n";
  std::vector<nwserver::TNWFileInfo> files;
  const auto names = nwserver::getVolFileList(path);
  for (const auto& item : *names) {
    nwserver::TNWFileInfo info;
    if (nwserver::getFileInfo(dir + item.text, info)) files.push_back(info);
  }
  std::stable_sort(files.begin(), files.end(), [&](const auto& a, const auto& b) {
    if (sort == "size") return a.fileSize < b.fileSize;
    if (sort == "date") return a.updateTime < b.updateTime;
    if (sort == "owner") return a.ownerName < b.ownerName;
    return a.name < b.name;
  });
  std::uint64_t total = 0;
  for (const auto& f : files) {
    std::cout << std::left << std::setw(14) << f.name << std::right << std::setw(10) << f.fileSize << "  "
              << dateText(f.updateTime) << "  " << std::left << std::setw(12) << (f.ownerName.empty() ? "-" : f.ownerName);
    if (args.flag("attributes")) std::cout << "[" << letters(f.attributes) << "]";
    std::cout << "\n";
    total += f.fileSize;
  }
  if (files.empty() && directories->Empty() && !hasWildcards(split(path).second))
    throw CommandError("no file or directory " + path);
  std::cout << files.size() << " files, " << total << " bytes\n";
  return 0;
}

// NetWare's attribute sets: a directory takes H Sy P Ri Di and N; a file every letter.
constexpr std::uint32_t kDirectoryBits = 0x2 | 0x4 | 0x10000 | 0x20000 | 0x40000;

struct Entry {
  std::string path;
  bool directory = false;
  nwserver::TNWFileInfo info;
};

// The files and directories a path names: the one it names, or every one its pattern matches.
std::vector<Entry> entriesOf(const std::string& path) {
  std::vector<Entry> found;
  if (!hasWildcards(split(path).second)) {
    Entry e{path};
    e.directory = directoryInfo(path, e.info);
    if (!e.directory && !nwserver::getFileInfo(path, e.info)) throw CommandError("no file or directory " + path);
    found.push_back(e);
    return found;
  }
  const std::string dir = split(path).first;
  if (!folderExists(dir)) throw CommandError("no server, volume or directory " + (dir.empty() ? path : dir));
  const auto directories = nwserver::getVolDirList(path), files = nwserver::getVolFileList(path);
  for (const auto& item : *directories) {
    Entry e{dir + item.text, true};
    if (directoryInfo(e.path, e.info)) found.push_back(e);
  }
  for (const auto& item : *files) {
    Entry e{dir + item.text, false};
    if (nwserver::getFileInfo(e.path, e.info)) found.push_back(e);
  }
  if (found.empty()) throw CommandError("no file or directory matches " + path);
  return found;
}

void setAttributes(Entry& e, std::uint32_t bits, bool clearReadOnly, bool normal) {
  std::uint32_t attributes = normal ? 0 : e.info.attributes;
  attributes = (attributes | bits) & ~(clearReadOnly ? 0x1u : 0u);
  bool ok;
  if (e.directory) {
    // Bits outside the directory letters stay as they were.
    nwserver::TNWAllFileFlags flags;
    flags.readOnly = attributes & 0x1;
    flags.hidden = attributes & 0x2;
    flags.system = attributes & 0x4;
    flags.executeOnly = attributes & 0x8;
    flags.archive = attributes & 0x20;
    flags.shareable = attributes & 0x80;
    flags.immediatePurge = attributes & 0x10000;
    flags.renameInhibit = attributes & 0x20000;
    flags.deleteInhibit = attributes & 0x40000;
    flags.copyInhibit = attributes & 0x80000;
    ok = nwserver::setDirFlags(e.path, flags, nwserver::nameSpaceDOS);
  } else {
    ok = nwserver::setFileAttributes(e.path, attributes);
  }
  if (!ok) throw CommandError("cannot set the attributes of " + e.path + " (" + errorText() + ")");
  if (e.directory ? directoryInfo(e.path, e.info) : nwserver::getFileInfo(e.path, e.info)) return;
  // A scan does not find hidden or system entries: one just made so shows what was written.
  if (!(attributes & 0x6)) throw CommandError("cannot read " + e.path + " back");
  e.info.attributes = attributes | (e.directory ? 0x10u : 0u);
}

int flag(const Args& args) {
  const std::string path = rtl::UpperCase(args.need(0, "path"));
  const std::vector<std::string> wanted(args.positional().begin() + 1, args.positional().end());
  bool clearReadOnly = false, normal = false;
  const std::uint32_t bits = wanted.empty() ? 0 : parseLetters(wanted, clearReadOnly, normal);
  requireClient();
  std::vector<Entry> entries = entriesOf(path);
  if (!wanted.empty()) {
    // Every entry must take the letters before any is changed.
    for (const auto& e : entries) {
      if (e.directory && ((bits & ~kDirectoryBits) || clearReadOnly))
        throw CommandError(e.path + " is a directory: directories take H Sy P Ri Di and N; nothing changed");
    }
    for (auto& e : entries) setAttributes(e, bits, clearReadOnly, normal);
  }
  for (const auto& e : entries)
    std::cout << std::left << std::setw(14) << e.info.name << "[" << letters(e.info.attributes & ~0x10u) << "]"
              << (e.directory ? "  <DIR>" : "") << "\n";
  return 0;
}

int limit(const Args& args) {
  args.atMost(2);
  const std::string path = rtl::UpperCase(args.need(0, "directory"));
  requireClient();
  nwserver::TNWFileInfo info;
  if (!directoryInfo(path, info)) throw CommandError("no directory " + path);
  if (args.positional().size() == 2) {
    const std::string size = args.positional()[1];
    const std::int64_t kb = rtl::SameText(size, "none") ? 0 : kilobytes(size);
    if (!nwserver::setDirSpaceLimit(path, static_cast<std::int32_t>(kb)))
      throw CommandError("cannot set the space limit of " + path + " (" + errorText() + ")");
    directoryInfo(path, info);
  }
  if (info.maxSpace <= 0) std::cout << path << ": no space limit\n";
  else std::cout << path << ": space limit " << info.maxSpace * 4ll << " KB\n";
  return 0;
}

int restrict(const Args& args) {
  args.atMost(3);
  const std::string user = rtl::UpperCase(args.need(0, "user"));
  const std::string volume = rtl::UpperCase(args.need(1, "volume"));
  requireClient();
  if (args.positional().size() == 3) {
    const std::string size = args.positional()[2];
    const bool none = rtl::SameText(size, "none");
    const std::int64_t kb = none ? 0 : kilobytes(size);
    if (kb * 1024 > 0x7FFFFFFF) throw CommandError("a restriction is at most 2097151 KB");
    const bool ok = none ? nwserver::removeObjDiskRestrictions(0, volume, user)
                         : nwserver::setObjDiskRestrictions(0, volume, user, static_cast<std::int32_t>(kb * 1024));
    if (!ok) throw CommandError("cannot restrict " + user + " on " + volume + " (" + errorText() + ")");
  }
  std::int32_t restriction = 0, inUse = 0;
  if (!nwserver::getObjDiskRestrictions(0, volume, user, restriction, inUse))
    throw CommandError("cannot read the restriction of " + user + " on " + volume + " (" + errorText() + ")");
  std::cout << user << " on " << volume << ": ";
  if (restriction < 0) std::cout << "no restriction";
  else std::cout << "restricted to " << static_cast<std::uint32_t>(restriction) / 1024 << " KB";
  std::cout << ", " << static_cast<std::uint32_t>(inUse) / 1024 << " KB in use\n";
  return 0;
}

/// The directory holding `path`'s deleted file when its name part names one; empty otherwise.
std::string deletedFileDirectory(const std::string& path) {
  const auto [dir, name] = split(path);
  if (dir.empty() || name.empty()) return {};
  const auto list = nwserver::getDeletedFileList(0, dir);
  for (const auto& item : *list)
    if (item.text == name) return dir;
  return {};
}

int salvageCmd(const Args& args) {
  args.atMost(1);
  const std::string path = rtl::UpperCase(args.positional().empty() ? std::string("SYS:") : args.positional()[0]);
  requireClient();
  const std::string as = rtl::UpperCase(args.option("as"));
  // A deleted file comes back in its own directory: the new name is a name, not a path.
  if (!as.empty() && as.find_first_of("\\/:") != std::string::npos)
    throw UsageError("--as takes a file name, not a path: the file is salvaged into " +
                     (split(path).first.empty() ? std::string("its directory") : split(path).first));
  if (const std::string dir = deletedFileDirectory(path); !dir.empty()) {
    const std::string name = as.empty() ? split(path).second : as;
    if (!nwserver::salvage(0, path, name))
      throw CommandError("cannot salvage " + path + " as " + name + " (the name may be in use)");
    // What is there now under the new name, in the case the volume keeps it.
    nwserver::TNWFileInfo info;
    const std::string recovered = dir + name;
    if (!nwserver::getFileInfo(recovered, info)) throw CommandError(path + " was salvaged but " + recovered + " cannot be read");
    std::cout << path << " salvaged as " << dir << info.name << "\n";
    return 0;
  }
  if (!as.empty()) throw CommandError("no deleted file " + path);
  if (!split(path).second.empty() && !hasWildcards(split(path).second)) {
    // A name that is no deleted file and no directory either: nothing to list.
    nwserver::TNWFileInfo probe;
    if (!directoryInfo(path, probe)) throw CommandError("no deleted file or directory " + path);
  }
  auto list = nwserver::getDeletedFileList(0, path);
  // Each file's details take a scan of its own: only for a listing of a reasonable length.
  const bool details = list->Count() <= kDetailedListing;
  for (int i = 0; i < list->Count(); ++i) {
    nwserver::TNWDeletedFileInfo info;
    std::cout << std::left << std::setw(14) << (*list)[i];
    if (details && nwserver::getDeletedFileInfo(split(path + (path.back() == ':' ? "" : "\\")).first + (*list)[i], info))
      std::cout << std::right << std::setw(10) << info.fileSize << "  deleted " << dateText(info.deletedTime) << " by "
                << (info.deletorName.empty() ? "-" : info.deletorName);
    std::cout << "\n";
  }
  std::cout << list->Count() << (list->Count() == 1 ? " deleted file\n" : " deleted files\n");
  return 0;
}

int purge(const Args& args) {
  args.atMost(1);
  const std::string path = rtl::UpperCase(args.positional().empty() ? std::string("SYS:") : args.positional()[0]);
  requireClient();
  if (args.flag("all")) {
    const int count = nwserver::getDeletedFileList(0, path)->Count();
    if (count == 0) {
      std::cout << "No deleted files in " << path << "\n";
      return 0;
    }
    if (!nwserver::purgeAllFiles(0, path)) throw CommandError("cannot purge " + path + " (" + errorText() + ")");
    const int left = nwserver::getDeletedFileList(0, path)->Count();
    std::cout << count - left << " deleted files purged from " << path << "\n";
    return left == 0 ? 0 : 1;
  }
  if (deletedFileDirectory(path).empty()) throw CommandError("no deleted file " + path + " (use --all for a directory)");
  if (!nwserver::purgeFile(0, path)) throw CommandError("cannot purge " + path + " (" + errorText() + ")");
  std::cout << path << " purged\n";
  return 0;
}

Register volinfoReg({"volinfo", "volume space and directory entries",
                     "usage: nw volinfo [VOLUME]\n\nShows the size, free space, space held by deleted files and the directory\n"
                     "entries of a volume of the primary server, or of all of them.\n",
                     {}, volinfo});
Register ndirReg({"ndir", "list a directory with sizes, dates and owners",
                  "usage: nw ndir PATH [--attributes] [--sort name|size|date|owner]\n\n"
                  "Lists the subdirectories and files of a directory (SYS:PUBLIC) or those a\n"
                  "pattern selects (SYS:PUBLIC\\*.EXE).\n",
                  {"sort"}, ndir});
Register flagReg({"flag", "show or set attributes",
                  "usage: nw flag PATH [ATTRIBUTES]\n\nShows the attributes of a file or directory, or of every one a pattern\n"
                  "matches (SYS:PUBLIC\\*.EXE), or adds the ones given to each: Ro S A X H Sy T P Ri\n"
                  "Di Ci; Rw makes a file writable again, N clears them all. Files take every letter,\n"
                  "directories H Sy P Ri Di and N. A letter that one of the entries does not take\n"
                  "changes none of them.\n",
                  {}, flag});
Register limitReg({"limit", "show or set a directory's space limit",
                   "usage: nw limit PATH [SIZE]\n\nShows the space limit of a directory, or sets it to SIZE KB (\"none\" or 0\n"
                   "removes it). Writes below the directory that would pass it fail.\n",
                   {}, limit});
Register restrictReg({"restrict", "show or set a user's disk restriction",
                      "usage: nw restrict USER VOLUME [SIZE]\n\nShows how much a user may use of a volume and uses, or sets the\n"
                      "restriction to SIZE KB (\"none\" removes it). Console operators only.\n",
                      {}, restrict});
Register salvageReg({"salvage", "list or recover deleted files",
                     "usage: nw salvage [PATH] [--as NAME]\n\nWith a directory (default SYS:) lists its deleted files. With the path of a\n"
                     "deleted file recovers it, under NAME when given; a live file is never replaced.\n",
                     {"as"}, salvageCmd});
Register purgeReg({"purge", "remove deleted files for good",
                   "usage: nw purge PATH\n       nw purge DIRECTORY --all\n\nPurges one deleted file, or with --all every deleted "
                   "file of a directory.\n",
                   {}, purge});

} // namespace
} // namespace nw
