#pragma once
// Message dialogs and the screen cursor, as pluggable services. Programs without a GUI get
// the console implementation; the Qt components install their own; tests install the
// recording one, which answers from a script and never blocks.
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class DialogType { Warning, Error, Information, Confirmation, Custom };

// Button sets and modal results use the framework's numbers.
enum DialogButton : unsigned {
  mbYes = 0x01, mbNo = 0x02, mbOK = 0x04, mbCancel = 0x08, mbAbort = 0x10, mbRetry = 0x20, mbIgnore = 0x40
};
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// Cursor values of the framework.
enum Cursor : int { crDefault = 0, crArrow = -2, crHourGlass = -11 };

/// Kinds of network resource the connect and disconnect dialogs offer.
enum class NetResourceKind { Disk = 1, Print = 2 };

class DialogService {
public:
  virtual ~DialogService() = default;
  /// A modal message dialog; returns the modal result of the chosen button.
  virtual int messageDlg(const std::string& text, DialogType type, unsigned buttons, int helpContext) = 0;
  /// An application message box with caption and Windows flags; returns the button id (IDYES = 6 ...).
  virtual int messageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  /// The network provider's connect dialog: asks for a local name ("G:", "LPT1:") and a remote
  /// name of the given kind. `owner` is the window the dialog belongs to (a QWidget* in the Qt
  /// service; may be null). False when the user cancels. The default cancels.
  virtual bool connectDialog(void* owner, NetResourceKind kind, std::string& localName, std::string& remoteName);
  /// The disconnect dialog: offers the connections of the kind (local name and remote name
  /// each) and gives back the local name chosen. False when the user cancels. The default cancels.
  virtual bool disconnectDialog(void* owner, NetResourceKind kind,
                                const std::vector<std::pair<std::string, std::string>>& connections,
                                std::string& chosen);
};

class CursorService {
public:
  virtual ~CursorService() = default;
  virtual int cursor() const = 0;
  virtual void setCursor(int cursor) = 0;
};

/// The services in force (never null).
DialogService& dialogs();
CursorService& cursor();
/// Installs a service; nullptr restores the fallback. Returns the previous one.
std::shared_ptr<DialogService> setDialogService(std::shared_ptr<DialogService> s);
std::shared_ptr<CursorService> setCursorService(std::shared_ptr<CursorService> s);
/// The services in force while none is installed: the console ones, unless a GUI library
/// sets its own here (nullptr goes back to the console ones). A service installed with
/// setDialogService / setCursorService stays in force whatever the fallback.
void setFallbackDialogService(std::shared_ptr<DialogService> s);
void setFallbackCursorService(std::shared_ptr<CursorService> s);

/// Sets a cursor and restores the previous one when it goes out of scope.
class CursorGuard {
public:
  explicit CursorGuard(int cursor);
  ~CursorGuard();
  CursorGuard(const CursorGuard&) = delete;
  CursorGuard& operator=(const CursorGuard&) = delete;
private:
  int saved_;
};

/// The caption the framework gives a message dialog of a type ("Information", "Confirm", ...).
std::string defaultCaption(DialogType type);

/// Console dialogs: print the message and the choices to stderr and read the answer from
/// stdin; without a terminal (or at end of input) the default answer is taken: OK, or the
/// last button of the set (No or Cancel). A message box takes its default button instead.
class ConsoleDialogs : public DialogService {
public:
  /// Standard input and standard error; interactive only when standard input is a terminal.
  ConsoleDialogs();
  /// Other streams (not owned); answers are read only when interactive.
  ConsoleDialogs(std::FILE* in, std::FILE* out, bool interactive);
  int messageDlg(const std::string& text, DialogType type, unsigned buttons, int helpContext) override;
  int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  /// Reads the two names from the terminal; cancelled without one or on an empty answer.
  bool connectDialog(void* owner, NetResourceKind kind, std::string& localName, std::string& remoteName) override;
  /// Lists the connections and reads the local name to disconnect; an empty answer cancels.
  bool disconnectDialog(void* owner, NetResourceKind kind,
                        const std::vector<std::pair<std::string, std::string>>& connections,
                        std::string& chosen) override;
private:
  bool readLine(const char* prompt, std::string& line);
  int ask(const std::string& caption, const std::string& text, const std::vector<int>& choices, int defaultAnswer);
  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
};

/// Records every dialog and answers from a queue of scripted results (mrOk, or the first
/// button of the set, when the queue is empty). Also records the cursor in force while
/// each dialog was shown.
class RecordingDialogs : public DialogService {
public:
  struct Shown {
    std::string text;
    std::string caption;
    DialogType type = DialogType::Information;
    unsigned buttons = 0;   // button set of messageDlg, flags of messageBox
    bool isMessageBox = false;
    int cursorWhileShown = 0;
  };
  std::vector<Shown> shown;
  std::deque<int> answers;
  int messageDlg(const std::string& text, DialogType type, unsigned buttons, int helpContext) override;
  int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;

  /// A network dialog that was shown: its kind, the connections it offered (disconnect only).
  struct NetDialog {
    bool connect = true;
    NetResourceKind kind = NetResourceKind::Disk;
    void* owner = nullptr;
    std::vector<std::pair<std::string, std::string>> offered;
  };
  /// The scripted answer of a network dialog: cancelled, or OK with the names entered
  /// (connect) or chosen (disconnect: `localName`).
  struct NetAnswer {
    bool ok = false;
    std::string localName;
    std::string remoteName;
  };
  std::vector<NetDialog> netDialogs;
  /// Answers of the network dialogs in order; a dialog without an answer is cancelled.
  std::deque<NetAnswer> netAnswers;
  bool connectDialog(void* owner, NetResourceKind kind, std::string& localName, std::string& remoteName) override;
  bool disconnectDialog(void* owner, NetResourceKind kind,
                        const std::vector<std::pair<std::string, std::string>>& connections,
                        std::string& chosen) override;
};

/// A cursor that is only a number, with a history for tests. (The default outside a GUI is
/// the same number without the history, so that a long-running program does not grow it.)
class RecordingCursor : public CursorService {
public:
  int current = crDefault;
  std::vector<int> history;
  int cursor() const override { return current; }
  void setCursor(int c) override { current = c; history.push_back(c); }
};

} // namespace platform
