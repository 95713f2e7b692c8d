#pragma once
// The bracket around the streaming of a form. Every component constructed while a bracket
// is open is in the loading state while its properties are set; when the bracket closes,
// each of them leaves it and gets loaded(), in the order they were created. Forms made by
// uic are loaded as
//
//   framework::FormLoading loading(this);
//   ui.setupUi(this);
//
// and FormLoader does the same around QUiLoader.
#include <framework/rudodor4_export.h>

#include <QList>
#include <QPointer>

class QObject;
class QWidget;

namespace framework {

class Component;

class RUDODOR4_EXPORT FormLoading {
public:
  /// Opens a bracket for a form (its root widget, which may also be given later).
  explicit FormLoading(QWidget* form = nullptr);
  /// Closes the bracket if finish() was not called.
  ~FormLoading();
  FormLoading(const FormLoading&) = delete;
  FormLoading& operator=(const FormLoading&) = delete;

  void setForm(QWidget* form);
  /// Marks the form as a loaded form and ends the loading of the components it enlisted,
  /// calling loaded() on each in creation order. Runs once.
  void finish();

  /// The innermost open bracket of this thread; null when no form is loading.
  static FormLoading* current();
  /// Puts a newly constructed component into the loading state of this bracket.
  void enlist(Component& component);

private:
  QPointer<QWidget> form_;
  QList<QPointer<QObject>> components_;
  FormLoading* outer_ = nullptr;
  bool finished_ = false;
};

} // namespace framework
