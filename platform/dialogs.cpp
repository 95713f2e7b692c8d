#include "platform/dialogs.h"

#include <unistd.h>

#include <cstring>

namespace platform {
namespace {

struct ButtonInfo {
  unsigned button;
  int result;
  const char* label;  // the first letter is the key that chooses it on the console
};

// The buttons in the order the framework lays them out.
const ButtonInfo Buttons[] = {
    {mbYes, mrYes, "Yes"},       {mbNo, mrNo, "No"},         {mbOK, mrOk, "OK"},        {mbCancel, mrCancel, "Cancel"},
    {mbAbort, mrAbort, "Abort"}, {mbRetry, mrRetry, "Retry"}, {mbIgnore, mrIgnore, "Ignore"},
};

const ButtonInfo* buttonOfResult(int result) {
  for (const auto& b : Buttons)
    if (b.result == result) return &b;
  return nullptr;
}

std::vector<int> resultsOfSet(unsigned buttons) {
  std::vector<int> results;
  for (const auto& b : Buttons)
    if (buttons & b.button) results.push_back(b.result);
  return results;
}

// The buttons of a message box's flags (MB_OK, MB_OKCANCEL, ... in the low four bits).
std::vector<int> resultsOfBoxFlags(unsigned flags) {
  switch (flags & 0x0F) {
    case 1: return {mrOk, mrCancel};
    case 2: return {mrAbort, mrRetry, mrIgnore};
    case 3: return {mrYes, mrNo, mrCancel};
    case 4: return {mrYes, mrNo};
    case 5: return {mrRetry, mrCancel};
    default: return {mrOk};
  }
}

// MB_DEFBUTTON2 (0x100) ... pick the default button of a message box.
int defaultOfBox(const std::vector<int>& choices, unsigned flags) {
  std::size_t index = (flags >> 8) & 0x0F;
  if (index >= choices.size()) index = 0;
  return choices[index];
}

// A cursor that is only a number.
class PlainCursor : public CursorService {
public:
  int cursor() const override { return current_; }
  void setCursor(int c) override { current_ = c; }
private:
  int current_ = crDefault;
};

std::shared_ptr<DialogService> consoleDialogs() {
  static const auto console = std::make_shared<ConsoleDialogs>();
  return console;
}
std::shared_ptr<CursorService> plainCursor() {
  static const auto plain = std::make_shared<PlainCursor>();
  return plain;
}
// What is in force is the installed service, else the fallback.
template <class Service>
struct Slot {
  std::shared_ptr<Service> installed;
  std::shared_ptr<Service> fallback;
  Service& get() const { return installed ? *installed : *fallback; }
  std::shared_ptr<Service> inForce() const { return installed ? installed : fallback; }
};
Slot<DialogService>& dialogSlot() {
  static Slot<DialogService> slot{nullptr, consoleDialogs()};
  return slot;
}
Slot<CursorService>& cursorSlot() {
  static Slot<CursorService> slot{nullptr, plainCursor()};
  return slot;
}

} // namespace

std::string defaultCaption(DialogType type) {
  switch (type) {
    case DialogType::Warning: return "Warning";
    case DialogType::Error: return "Error";
    case DialogType::Information: return "Information";
    case DialogType::Confirmation: return "Confirm";
    case DialogType::Custom: break;
  }
  return {};
}

DialogService& dialogs() { return dialogSlot().get(); }
CursorService& cursor() { return cursorSlot().get(); }

std::shared_ptr<DialogService> setDialogService(std::shared_ptr<DialogService> s) {
  auto previous = dialogSlot().inForce();
  dialogSlot().installed = std::move(s);
  return previous;
}

std::shared_ptr<CursorService> setCursorService(std::shared_ptr<CursorService> s) {
  auto previous = cursorSlot().inForce();
  cursorSlot().installed = std::move(s);
  return previous;
}

void setFallbackDialogService(std::shared_ptr<DialogService> s) {
  dialogSlot().fallback = s ? std::move(s) : consoleDialogs();
}

void setFallbackCursorService(std::shared_ptr<CursorService> s) {
  cursorSlot().fallback = s ? std::move(s) : plainCursor();
}

bool DialogService::connectDialog(void*, NetResourceKind, std::string&, std::string&) { return false; }

bool DialogService::disconnectDialog(void*, NetResourceKind, const std::vector<std::pair<std::string, std::string>>&,
                                     std::string&) {
  return false;
}

CursorGuard::CursorGuard(int c) : saved_(cursor().cursor()) { cursor().setCursor(c); }
CursorGuard::~CursorGuard() { cursor().setCursor(saved_); }

// --- console -----------------------------------------------------------------------------

ConsoleDialogs::ConsoleDialogs() : ConsoleDialogs(stdin, stderr, ::isatty(STDIN_FILENO) == 1) {}

ConsoleDialogs::ConsoleDialogs(std::FILE* in, std::FILE* out, bool interactive)
    : in_(in), out_(out), interactive_(interactive) {}

int ConsoleDialogs::ask(const std::string& caption, const std::string& text, const std::vector<int>& choices,
                        int defaultAnswer) {
  std::string prompt;
  for (int r : choices) {
    if (!prompt.empty()) prompt += '/';
    const ButtonInfo* b = buttonOfResult(r);
    prompt += '[';
    prompt += b->label[0];
    prompt += ']';
    prompt += b->label + 1;
  }
  if (out_) {
    if (!caption.empty()) std::fprintf(out_, "%s: ", caption.c_str());
    std::fprintf(out_, "%s\n", text.c_str());
  }
  if (!interactive_ || !in_) return defaultAnswer;
  for (;;) {
    if (out_) {
      std::fprintf(out_, "%s? ", prompt.c_str());
      std::fflush(out_);
    }
    char line[256];
    if (!std::fgets(line, sizeof line, in_)) return defaultAnswer;
    // Drop the rest of an over-long line so that it does not count as further answers.
    if (!std::strchr(line, '\n'))
      for (int c = std::fgetc(in_); c != EOF && c != '\n'; c = std::fgetc(in_)) {
      }
    std::size_t i = 0;
    while (line[i] == ' ' || line[i] == '\t') ++i;
    if (line[i] == '\n' || line[i] == '\r' || line[i] == '\0') return defaultAnswer;
    const char key = static_cast<char>(line[i] >= 'a' && line[i] <= 'z' ? line[i] - 32 : line[i]);
    for (int r : choices)
      if (buttonOfResult(r)->label[0] == key) return r;
  }
}

int ConsoleDialogs::messageDlg(const std::string& text, DialogType type, unsigned buttons, int) {
  const std::vector<int> choices = resultsOfSet(buttons);
  if (choices.empty()) return ask(defaultCaption(type), text, {mrOk}, mrOk);
  const bool hasOk = (buttons & mbOK) != 0;
  return ask(defaultCaption(type), text, choices, hasOk ? mrOk : choices.back());
}

int ConsoleDialogs::messageBox(const std::string& text, const std::string& caption, unsigned flags) {
  const std::vector<int> choices = resultsOfBoxFlags(flags);
  return ask(caption, text, choices, defaultOfBox(choices, flags));
}

bool ConsoleDialogs::readLine(const char* prompt, std::string& line) {
  if (!interactive_ || !in_) return false;
  if (out_) {
    std::fprintf(out_, "%s", prompt);
    std::fflush(out_);
  }
  char buffer[512];
  if (!std::fgets(buffer, sizeof buffer, in_)) return false;
  line = buffer;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
  std::size_t start = line.find_first_not_of(" \t");
  line = start == std::string::npos ? std::string() : line.substr(start);
  return !line.empty();
}

bool ConsoleDialogs::connectDialog(void*, NetResourceKind kind, std::string& localName, std::string& remoteName) {
  const bool disk = kind == NetResourceKind::Disk;
  std::string local, remote;
  if (!readLine(disk ? "Drive (for example G:): " : "Port (for example LPT1:): ", local)) return false;
  if (!readLine(disk ? "Path (for example FS1/SYS:PUBLIC): " : "Queue (for example FS1/LASER_Q): ", remote)) return false;
  localName = local;
  remoteName = remote;
  return true;
}

bool ConsoleDialogs::disconnectDialog(void*, NetResourceKind, const std::vector<std::pair<std::string, std::string>>& connections,
                                      std::string& chosen) {
  if (out_) {
    for (const auto& [local, remote] : connections) std::fprintf(out_, "%s  %s\n", local.c_str(), remote.c_str());
    if (connections.empty()) std::fprintf(out_, "No connections.\n");
  }
  if (connections.empty()) return false;
  return readLine("Disconnect: ", chosen);
}

// --- recording ---------------------------------------------------------------------------

int RecordingDialogs::messageDlg(const std::string& text, DialogType type, unsigned buttons, int) {
  shown.push_back(Shown{text, defaultCaption(type), type, buttons, false, cursor().cursor()});
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  const std::vector<int> choices = resultsOfSet(buttons);
  return (buttons & mbOK) || choices.empty() ? mrOk : choices.front();
}

int RecordingDialogs::messageBox(const std::string& text, const std::string& caption, unsigned flags) {
  shown.push_back(Shown{text, caption, DialogType::Custom, flags, true, cursor().cursor()});
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return resultsOfBoxFlags(flags).front();
}

namespace {
RecordingDialogs::NetAnswer nextAnswer(std::deque<RecordingDialogs::NetAnswer>& answers) {
  if (answers.empty()) return {};
  RecordingDialogs::NetAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}
} // namespace

bool RecordingDialogs::connectDialog(void* owner, NetResourceKind kind, std::string& localName,
                                     std::string& remoteName) {
  netDialogs.push_back(NetDialog{true, kind, owner, {}});
  const NetAnswer answer = nextAnswer(netAnswers);
  if (!answer.ok) return false;
  localName = answer.localName;
  remoteName = answer.remoteName;
  return true;
}

bool RecordingDialogs::disconnectDialog(void* owner, NetResourceKind kind,
                                        const std::vector<std::pair<std::string, std::string>>& connections,
                                        std::string& chosen) {
  netDialogs.push_back(NetDialog{false, kind, owner, connections});
  const NetAnswer answer = nextAnswer(netAnswers);
  if (!answer.ok) return false;
  chosen = answer.localName;
  return true;
}

} // namespace platform
