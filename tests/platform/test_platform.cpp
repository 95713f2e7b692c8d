// The platform layer: files and path redirection, the tick count, command lines and
// program start, and the dialog and cursor services.
#include "fixtures/netfixture.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

using namespace platform;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Maps the volume "SYS:" onto a local folder, backslashes becoming slashes.
std::string sysRoot;
bool sysRedirector(const char* path, char* localPath, std::size_t size) {
  std::string p = path;
  if (p.rfind("SYS:", 0) != 0) return false;
  p = sysRoot + "/" + p.substr(4);
  for (auto& c : p)
    if (c == '\\') c = '/';
  if (p.size() >= size) return false;
  std::memcpy(localPath, p.c_str(), p.size() + 1);
  return true;
}

// Fills the whole buffer and leaves it without a terminating zero.
bool floodingRedirector(const char*, char* localPath, std::size_t size) {
  std::memset(localPath, 'a', size);
  return true;
}

// Runs a test in another current folder, for relative paths.
struct CurrentFolder {
  explicit CurrentFolder(const fs::path& p) : saved(fs::current_path()) { fs::current_path(p); }
  ~CurrentFolder() { fs::current_path(saved); }
  fs::path saved;
};

} // namespace

// --- paths and redirection --------------------------------------------------------------

TEST(PlatformPaths, WhichPathsGoThroughTheRedirector) {
  for (const char* path : {"FS1/SYS:PUBLIC\\X.TXT", "SYS:PUBLIC\\X.TXT", "SYS:", "G:\\PUBLIC\\X", "g:x"})
    EXPECT_TRUE(isRedirectedPath(path)) << path;
  for (const char* path : {"/tmp/x", "/tmp/a:b", "relative/x", "dir\\file", "a/b/c:d", ":x", "./a:b", "../a:b",
                           "a\\b:c", "", "x"})
    EXPECT_FALSE(isRedirectedPath(path)) << path;
}

TEST(PlatformPaths, RedirectedPathsFailWithoutARedirector) {
  nwtest::TempDir dir;
  const CurrentFolder here(dir.path());
  std::ofstream("SYS:PUBLIC\\X.TXT") << "local";  // a local file that carries the name literally
  setRedirector(nullptr);
  for (const char* path : {"SYS:PUBLIC\\X.TXT", "G:\\X.TXT", "FS1/SYS:PUBLIC\\X.TXT"}) {
    EXPECT_EQ(resolvePath(path), "") << path;
    EXPECT_EQ(lopen(path, OF_READ), HFILE_ERROR) << path;
    EXPECT_EQ(lcreat(path), HFILE_ERROR) << path;
    EXPECT_EQ(fileCreateExclusive(path), HFILE_ERROR) << path;
    EXPECT_FALSE(fileExists(path)) << path;
    EXPECT_FALSE(deleteFile(path)) << path;
  }
  EXPECT_EQ(readFile("SYS:PUBLIC\\X.TXT"), "local");
}

TEST(PlatformPaths, RedirectedPathsReachTheMappedFile) {
  nwtest::TempDir dir;
  sysRoot = dir.path().string();
  setRedirector(sysRedirector);
  fs::create_directory(dir.path() / "PUBLIC");
  EXPECT_EQ(resolvePath("SYS:PUBLIC\\X.TXT"), sysRoot + "/PUBLIC/X.TXT");
  const int h = lcreat("SYS:PUBLIC\\X.TXT");
  EXPECT_EQ(lwrite(h, "hello", 5), 5);
  lclose(h);
  EXPECT_EQ(readFile(dir.path() / "PUBLIC/X.TXT"), "hello");
  EXPECT_TRUE(fileExists("SYS:PUBLIC\\X.TXT"));
  EXPECT_EQ(lopen("VOL2:PUBLIC\\X.TXT", OF_READ), HFILE_ERROR);  // not mapped
  EXPECT_TRUE(deleteFile("SYS:PUBLIC\\X.TXT"));
  EXPECT_FALSE(fs::exists(dir.path() / "PUBLIC/X.TXT"));
  setRedirector(floodingRedirector);
  const std::string flooded = resolvePath("SYS:X");
  EXPECT_EQ(flooded, std::string(4095, 'a'));  // cut inside the buffer
  setRedirector(nullptr);
}

TEST(PlatformPaths, LocalPathsAreUsedAsTheyAre) {
  nwtest::TempDir dir;
  const CurrentFolder here(dir.path());
  lclose(lcreat("dir\\file"));
  EXPECT_TRUE(fs::exists(dir.path() / "dir\\file"));  // one file name with a backslash in it
  EXPECT_EQ(resolvePath("/tmp/a:b"), "/tmp/a:b");
}

// --- local files ------------------------------------------------------------------------

TEST(PlatformFiles, ReadWriteSeekTruncateClose) {
  nwtest::TempDir dir;
  const fs::path path = dir.path() / "a.txt";
  const int h = lcreat(path.string());
  ASSERT_GT(h, 2);  // never a standard stream's handle
  EXPECT_EQ(lwrite(h, "0123456789", 10), 10);
  EXPECT_EQ(llseek(h, 2, 0), 2);
  EXPECT_EQ(llseek(h, 3, 1), 5);
  EXPECT_EQ(llseek(h, 0, 7), -1);
  char buf[8];
  EXPECT_EQ(lread(h, buf, 8), 5);
  EXPECT_EQ(std::string(buf, 5), "56789");
  EXPECT_EQ(lread(h, buf, 8), 0);
  EXPECT_EQ(llseek(h, 4, 0), 4);
  EXPECT_TRUE(ltruncate(h));
  EXPECT_EQ(llseek(h, 0, 2), 4);
  EXPECT_EQ(lclose(h), 0);
  EXPECT_EQ(lclose(h), HFILE_ERROR);
  EXPECT_EQ(readFile(path), "0123");
}

TEST(PlatformFiles, OpenModes) {
  nwtest::TempDir dir;
  const std::string path = (dir.path() / "m.txt").string();
  std::ofstream(path) << "abc";
  char c;
  EXPECT_EQ(lopen(path + ".missing", OF_READ), HFILE_ERROR);
  const int r = lopen(path, OF_READ | OF_SHARE_DENY_NONE);
  EXPECT_EQ(lwrite(r, "x", 1), -1);  // read only
  lclose(r);
  const int w = lopen(path, OF_WRITE);
  EXPECT_EQ(lread(w, &c, 1), -1);  // write only
  EXPECT_EQ(lwrite(w, "X", 1), 1);
  lclose(w);
  const int rw = lopen(path, OF_READWRITE);
  EXPECT_EQ(lread(rw, &c, 1), 1);
  EXPECT_EQ(lwrite(rw, "Y", 1), 1);
  lclose(rw);
  EXPECT_EQ(readFile(path), "XYc");  // opening does not truncate
  EXPECT_EQ(lopen(path, 0x03), HFILE_ERROR);
  lclose(lcreat(path));  // creating does
  EXPECT_EQ(readFile(path), "");
}

TEST(PlatformFiles, ExclusiveCreationNeverTouchesAnExistingFile) {
  nwtest::TempDir dir;
  const std::string path = (dir.path() / "unique").string();
  const int h = fileCreateExclusive(path);
  EXPECT_EQ(lwrite(h, "mine", 4), 4);
  lclose(h);
  EXPECT_EQ(fileCreateExclusive(path), HFILE_ERROR);
  EXPECT_EQ(readFile(path), "mine");
  EXPECT_TRUE(fileExists(path));
  EXPECT_FALSE(fileExists(dir.path().string()));  // a folder is no file
  EXPECT_TRUE(deleteFile(path));
  EXPECT_FALSE(deleteFile(path));
  EXPECT_EQ(getShortPathName(path + " with a long name.text"), "");
}

TEST(PlatformFiles, HandlesStayAboveTheStandardStreamsWhenOneIsClosed) {
  nwtest::TempDir dir;
  const std::string path = (dir.path() / "s.txt").string();
  std::ofstream(path) << "x";
  const int savedIn = ::dup(0);
  ::close(0);
  const int h = lopen(path, OF_READ);
  ::dup2(savedIn, 0);
  ::close(savedIn);
  EXPECT_GT(h, 2);
  lclose(h);
}

// --- tick count, command lines and program start ----------------------------------------

TEST(PlatformProcess, TickCountAdvancesInMilliseconds) {
  const std::uint32_t before = getTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t elapsed = getTickCount() - before;  // wraps like the 32-bit count
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(PlatformProcess, SplitCommandLineByTheWindowsRules) {
  using Args = std::vector<std::string>;
  struct Case { const char* line; Args expected; };
  const Case cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"  prog a  b\tc ", {"prog", "a", "b", "c"}},
      {"\"C:\\Program Files\\x.exe\" arg", {"C:\\Program Files\\x.exe", "arg"}},
      {"C:\\dir\\prog.exe x", {"C:\\dir\\prog.exe", "x"}},
      {"prog \"a b\" \"\"", {"prog", "a b", ""}},
      {"prog a\"b c\"d", {"prog", "ab cd"}},
      {"prog \\\\server\\share", {"prog", "\\\\server\\share"}},  // backslashes before no quote stay
      {"prog a\\\"b", {"prog", "a\"b"}},                          // odd count: a literal quote
      {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
      {"prog \"a\\\\\" b", {"prog", "a\\", "b"}},                 // even count: the quote groups
      {"prog \"a\"\"b\"", {"prog", "a\"b"}},                      // doubled quote inside quotes
      {"prog \"unterminated arg", {"prog", "unterminated arg"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.expected) << c.line;
}

TEST(PlatformProcess, ALauncherRecordsCommandsInsteadOfRunningThem) {
  std::vector<std::string> seen;
  unsigned seenMode = 0;
  EXPECT_FALSE(setProgramLauncher([&](const std::vector<std::string>& argv, unsigned showMode) {
    seen = argv;
    seenMode = showMode;
    return 42u;
  }));
  EXPECT_EQ(winExec("capture \"my file.txt\" /q", 1), 42u);
  EXPECT_EQ(seen, (std::vector<std::string>{"capture", "my file.txt", "/q"}));
  EXPECT_EQ(seenMode, 1u);
  EXPECT_EQ(winExec("   ", 1), 2u);  // nothing to start
  EXPECT_TRUE(setProgramLauncher({}));
}

TEST(PlatformProcess, WinExecStartsAProgramWithoutAShell) {
  nwtest::TempDir dir;
  const fs::path target = dir.path() / "made by; touch";
  ASSERT_EQ(winExec("touch \"" + target.string() + "\"", 1), 33u);
  for (int i = 0; i < 200 && !fs::exists(target); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(target));  // one argument, the ";" not taken by a shell
  EXPECT_EQ(winExec("rudodor4-no-such-program --flag", 1), 2u);
  EXPECT_EQ(winExec("/no/such/dir/prog", 1), 2u);
}

// --- dialogs and cursor -----------------------------------------------------------------

TEST(PlatformDialogs, ServicesCanBeReplacedAndRestored) {
  auto recording = std::make_shared<RecordingDialogs>();
  EXPECT_NE(dynamic_cast<ConsoleDialogs*>(setDialogService(recording).get()), nullptr);  // the default
  EXPECT_EQ(&dialogs(), recording.get());
  EXPECT_EQ(setDialogService(nullptr), recording);
  EXPECT_NE(dynamic_cast<ConsoleDialogs*>(&dialogs()), nullptr);
  auto cursorService = std::make_shared<RecordingCursor>();
  setCursorService(cursorService);
  EXPECT_EQ(&cursor(), cursorService.get());
  setCursorService(nullptr);
  EXPECT_EQ(cursor().cursor(), crDefault);
  EXPECT_EQ(defaultCaption(DialogType::Warning), "Warning");
  EXPECT_EQ(defaultCaption(DialogType::Error), "Error");
  EXPECT_EQ(defaultCaption(DialogType::Information), "Information");
  EXPECT_EQ(defaultCaption(DialogType::Confirmation), "Confirm");
}

TEST(PlatformDialogs, RecordingDialogsAnswerFromTheScriptThenByDefault) {
  auto cursorService = std::make_shared<RecordingCursor>();
  setCursorService(cursorService);
  cursorService->setCursor(crHourGlass);
  RecordingDialogs d;
  d.answers = {mrNo, 7};
  EXPECT_EQ(d.messageDlg("first", DialogType::Confirmation, mbYes | mbNo, 0), mrNo);
  EXPECT_EQ(d.messageBox("second", "Confirm", 0x124), 7);
  // Script used up: OK when the set has it, else the set's first button.
  EXPECT_EQ(d.messageDlg("x", DialogType::Information, mbOK | mbCancel, 0), mrOk);
  EXPECT_EQ(d.messageDlg("x", DialogType::Confirmation, mbYes | mbNo | mbCancel, 0), mrYes);
  EXPECT_EQ(d.messageBox("x", "c", 0x124), 6);
  ASSERT_EQ(d.shown.size(), 5u);
  EXPECT_EQ(d.shown[0].text, "first");
  EXPECT_EQ(d.shown[0].caption, "Confirm");
  EXPECT_EQ(d.shown[0].buttons, unsigned(mbYes | mbNo));
  EXPECT_FALSE(d.shown[0].isMessageBox);
  EXPECT_EQ(d.shown[0].cursorWhileShown, crHourGlass);
  EXPECT_TRUE(d.shown[1].isMessageBox);
  EXPECT_EQ(d.shown[1].buttons, 0x124u);
  setCursorService(nullptr);
}

TEST(PlatformDialogs, CursorGuardRestoresOnEveryPath) {
  auto cursorService = std::make_shared<RecordingCursor>();
  setCursorService(cursorService);
  cursorService->setCursor(crArrow);
  {
    const CursorGuard outer(crHourGlass);
    const CursorGuard inner(crDefault);
    EXPECT_EQ(cursor().cursor(), crDefault);
  }
  try {
    const CursorGuard guard(crHourGlass);
    throw std::runtime_error("failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(cursorService->history,
            (std::vector<int>{crArrow, crHourGlass, crDefault, crHourGlass, crArrow, crHourGlass, crArrow}));
  setCursorService(nullptr);
}

namespace {
// A console reading the given text and keeping what it writes.
struct Console {
  Console(const std::string& input, bool interactive) : in(std::tmpfile()), out(std::tmpfile()), dialogs(in, out, interactive) {
    std::fputs(input.c_str(), in);
    std::rewind(in);
  }
  ~Console() {
    std::fclose(in);
    std::fclose(out);
  }
  std::string output() {
    std::rewind(out);
    std::string s;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) s += static_cast<char>(c);
    return s;
  }
  std::FILE* in;
  std::FILE* out;
  ConsoleDialogs dialogs;
};
} // namespace

TEST(PlatformDialogs, ConsoleWithoutATerminalTakesTheDefaultAnswer) {
  Console c("y\n", false);  // input present but not read
  EXPECT_EQ(c.dialogs.messageDlg("Saved", DialogType::Information, mbOK, 0), mrOk);
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, mbYes | mbNo, 0), mrNo);
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, mbYes | mbNo | mbCancel, 0), mrCancel);
  EXPECT_EQ(c.dialogs.messageDlg("Go?", DialogType::Warning, mbOK | mbCancel, 0), mrOk);
  EXPECT_EQ(c.dialogs.messageBox("Delete?", "Confirm", 0x124), 7);  // the second button is the default
  EXPECT_EQ(c.dialogs.messageBox("Delete?", "Confirm", 0x04), 6);
  EXPECT_NE(c.output().find("Information: Saved\n"), std::string::npos);
}

TEST(PlatformDialogs, ConsoleReadsTheAnswerByItsFirstLetter) {
  Console c("maybe\nn\n\nY\n" + std::string(255, 'q') + "y\nc\n", true);
  const unsigned yesNo = mbYes | mbNo;
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, yesNo, 0), mrNo);   // "maybe": asked again
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, yesNo, 0), mrNo);   // empty line: default
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, yesNo, 0), mrYes);
  // An over-long line is one wrong answer; its tail is not read as another.
  EXPECT_EQ(c.dialogs.messageDlg("Sure?", DialogType::Confirmation, yesNo | mbCancel, 0), mrCancel);
  EXPECT_EQ(c.dialogs.messageDlg("Again?", DialogType::Confirmation, yesNo, 0), mrNo);  // end of input
  EXPECT_NE(c.output().find("[Y]es/[N]o/[C]ancel?"), std::string::npos);
}
