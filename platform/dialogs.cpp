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
std::shared_ptr<DialogService>& currentDialogs() {
  static std::shared_ptr<DialogService> current = consoleDialogs();
  return current;
}
std::shared_ptr<CursorService>& currentCursor() {
  static std::shared_ptr<CursorService> current = plainCursor();
  return current;
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

DialogService& dialogs() { return *currentDialogs(); }
CursorService& cursor() { return *currentCursor(); }

std::shared_ptr<DialogService> setDialogService(std::shared_ptr<DialogService> s) {
  auto previous = currentDialogs();
  currentDialogs() = s ? std::move(s) : consoleDialogs();
  return previous;
}

std::shared_ptr<CursorService> setCursorService(std::shared_ptr<CursorService> s) {
  auto previous = currentCursor();
  currentCursor() = s ? std::move(s) : plainCursor();
  return previous;
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

} // namespace platform
