#include "framework/qt_dialogs.h"

#include "framework/strings.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace framework {
namespace {

struct ButtonMap {
  unsigned button;  // framework button of a message dialog
  int result;       // modal result, also the message box's button id
  QMessageBox::StandardButton qt;
};

// In the framework's order of buttons.
const ButtonMap Buttons[] = {
    {platform::mbYes, platform::mrYes, QMessageBox::Yes},
    {platform::mbNo, platform::mrNo, QMessageBox::No},
    {platform::mbOK, platform::mrOk, QMessageBox::Ok},
    {platform::mbCancel, platform::mrCancel, QMessageBox::Cancel},
    {platform::mbAbort, platform::mrAbort, QMessageBox::Abort},
    {platform::mbRetry, platform::mrRetry, QMessageBox::Retry},
    {platform::mbIgnore, platform::mrIgnore, QMessageBox::Ignore},
};

int resultOf(QMessageBox::StandardButton qt, int fallback) {
  for (const ButtonMap& b : Buttons)
    if (b.qt == qt) return b.result;
  return fallback;
}

QMessageBox::StandardButton qtOfResult(int result) {
  for (const ButtonMap& b : Buttons)
    if (b.result == result) return b.qt;
  return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(platform::DialogType type) {
  switch (type) {
    case platform::DialogType::Warning: return QMessageBox::Warning;
    case platform::DialogType::Error: return QMessageBox::Critical;
    case platform::DialogType::Information: return QMessageBox::Information;
    case platform::DialogType::Confirmation: return QMessageBox::Question;
    case platform::DialogType::Custom: break;
  }
  return QMessageBox::NoIcon;
}

QWidget* dialogParent(void* owner) {
  if (owner) return static_cast<QWidget*>(owner);
  return QApplication::activeWindow();
}

// The buttons of a message box's flags (MB_OK ... MB_RETRYCANCEL), in their order.
std::vector<int> boxButtons(unsigned flags) {
  switch (flags & 0x0F) {
    case 1: return {platform::mrOk, platform::mrCancel};
    case 2: return {platform::mrAbort, platform::mrRetry, platform::mrIgnore};
    case 3: return {platform::mrYes, platform::mrNo, platform::mrCancel};
    case 4: return {platform::mrYes, platform::mrNo};
    case 5: return {platform::mrRetry, platform::mrCancel};
    default: return {platform::mrOk};
  }
}

QMessageBox::Icon boxIcon(unsigned flags) {
  switch (flags & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

QString applicationTitle() {
  const QString name = QApplication::applicationDisplayName();
  return name.isEmpty() ? QApplication::applicationName() : name;
}

} // namespace

int QtDialogs::messageDlg(const std::string& text, platform::DialogType type, unsigned buttons, int) {
  QMessageBox box(dialogParent(nullptr));
  box.setIcon(iconOf(type));
  const std::string caption = platform::defaultCaption(type);
  box.setWindowTitle(caption.empty() ? applicationTitle() : toQString(caption));
  box.setText(toQString(text));
  QMessageBox::StandardButtons set;
  QMessageBox::StandardButton first = QMessageBox::NoButton;
  for (const ButtonMap& b : Buttons)
    if (buttons & b.button) {
      set |= b.qt;
      if (first == QMessageBox::NoButton) first = b.qt;
    }
  if (set == QMessageBox::NoButton) set = first = QMessageBox::Ok;
  box.setStandardButtons(set);
  // The framework's dialogs default to OK when offered, else to the first button.
  box.setDefaultButton((buttons & platform::mbOK) ? QMessageBox::Ok : first);
  const int fallback = (buttons & platform::mbCancel) ? platform::mrCancel : platform::mrNone;
  return resultOf(static_cast<QMessageBox::StandardButton>(box.exec()), fallback);
}

int QtDialogs::messageBox(const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(dialogParent(nullptr));
  box.setIcon(boxIcon(flags));
  box.setWindowTitle(toQString(caption));
  box.setText(toQString(text));
  const std::vector<int> choices = boxButtons(flags);
  QMessageBox::StandardButtons set;
  for (int r : choices) set |= qtOfResult(r);
  box.setStandardButtons(set);
  std::size_t index = (flags >> 8) & 0x0F;
  if (index >= choices.size()) index = 0;
  box.setDefaultButton(qtOfResult(choices[index]));
  const bool hasCancel = std::find(choices.begin(), choices.end(), platform::mrCancel) != choices.end();
  return resultOf(static_cast<QMessageBox::StandardButton>(box.exec()), hasCancel ? platform::mrCancel : choices.back());
}

bool QtDialogs::connectDialog(void* owner, platform::NetResourceKind kind, std::string& localName,
                              std::string& remoteName) {
  const bool disk = kind == platform::NetResourceKind::Disk;
  QDialog dialog(dialogParent(owner));
  dialog.setWindowTitle(disk ? QObject::tr("Map Network Drive") : QObject::tr("Capture Printer Port"));
  auto* form = new QFormLayout;
  auto* local = new QComboBox;
  if (disk)
    for (char c = 'F'; c <= 'Z'; ++c) local->addItem(QString(QChar(c)) + ':');
  else
    for (int n = 1; n <= 9; ++n) local->addItem(QStringLiteral("LPT%1:").arg(n));
  local->setEditable(true);
  auto* remote = new QLineEdit;
  remote->setPlaceholderText(disk ? QStringLiteral("FS1/SYS:PUBLIC") : QStringLiteral("FS1/LASER_Q"));
  form->addRow(disk ? QObject::tr("&Drive:") : QObject::tr("&Port:"), local);
  form->addRow(disk ? QObject::tr("&Path:") : QObject::tr("&Queue:"), remote);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  QObject::connect(remote, &QLineEdit::textChanged, ok, [ok](const QString& t) { ok->setEnabled(!t.trimmed().isEmpty()); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  localName = toAnsi(local->currentText().trimmed());
  remoteName = toAnsi(remote->text().trimmed());
  return true;
}

bool QtDialogs::disconnectDialog(void* owner, platform::NetResourceKind kind,
                                 const std::vector<std::pair<std::string, std::string>>& connections,
                                 std::string& chosen) {
  const bool disk = kind == platform::NetResourceKind::Disk;
  QDialog dialog(dialogParent(owner));
  dialog.setWindowTitle(disk ? QObject::tr("Disconnect Network Drive") : QObject::tr("Disconnect Printer Port"));
  auto* list = new QListWidget;
  for (const auto& [local, remote] : connections) {
    auto* item = new QListWidgetItem(toQString(local) + QStringLiteral("    ") + toQString(remote), list);
    item->setData(Qt::UserRole, toQString(local));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  QObject::connect(list, &QListWidget::currentRowChanged, ok, [ok](int row) { ok->setEnabled(row >= 0); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted || !list->currentItem()) return false;
  chosen = toAnsi(list->currentItem()->data(Qt::UserRole).toString());
  return true;
}

} // namespace framework
