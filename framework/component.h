#pragma once
// What every component of the library carries besides its Qt object: the owner (the Qt
// parent), the loading state while a form sets its properties, the designing state the form
// designer sets, the hook that runs once after its form has loaded, and the dispatch of the
// base component's notification messages. Widgets derive from ComponentWidget<QtClass>;
// non-visual components (data sets, data sources) from QObject and Component.
#include <framework/guard.h>
#include <framework/notification.h>
#include <framework/rudodor4_export.h>

#include <QEvent>
#include <QObject>
#include <QString>
#include <QWidget>

namespace framework {

class RUDODOR4_EXPORT Component {
public:
  /// `self` is the component's own Qt object. A component constructed while a form is
  /// being loaded (FormLoading) starts in the loading state.
  explicit Component(QObject* self);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  QObject* componentObject() const { return self_; }
  /// The component behind a Qt object; null for objects that are not components.
  static Component* of(QObject* object);

  /// True while the form the component belongs to is setting its properties.
  bool isLoading() const { return loading_ > 0; }
  /// True while the component sits in the form designer.
  bool isDesigning() const { return designing_; }
  /// The form designer marks the components it creates.
  void setDesigning(bool on);

  /// The form the component belongs to: the nearest enclosing widget that a form loader
  /// loaded, else the window it sits in. Null when no widget owns it.
  QWidget* ownerForm() const;

  /// Loading bracket (FormLoading uses it): the last endLoading calls loaded().
  void beginLoading() { ++loading_; }
  void endLoading();

  /// The live component named `name` that is a T: looked for in the form of `context`
  /// first, then among every component of the process. Null when there is none.
  template <class T>
  static T* find(const QString& name, const QObject* context) {
    return qobject_cast<T*>(findObject(name, context, &T::staticMetaObject));
  }

protected:
  /// Runs once after the component's form has been loaded: every component of the form
  /// exists and has its properties. References stored by name are resolved here.
  virtual void loaded() {}
  /// The designing state changed.
  virtual void designingChanged() {}

private:
  static QObject* findObject(const QString& name, const QObject* context, const QMetaObject* type);

  QObject* self_;
  int loading_ = 0;
  bool designing_ = false;
};

/// The form a widget belongs to (see Component::ownerForm); null for none.
RUDODOR4_EXPORT QWidget* formOf(const QWidget* widget);
/// Marks a widget as the root of a loaded form.
RUDODOR4_EXPORT void markForm(QWidget* form);

/// A widget component on a Qt widget class. The base component's messages arrive as
/// NWMBaseServerChange and NWMBaseUserChange; no exception leaves them.
template <class QtBase>
class ComponentWidget : public QtBase, public Component {
public:
  explicit ComponentWidget(QWidget* parent = nullptr) : QtBase(parent), Component(this) {}

protected:
  /// The server or the directory context of the base component changed.
  virtual void NWMBaseServerChange() {}
  /// The login name of the base component changed.
  virtual void NWMBaseUserChange() {}

  void customEvent(QEvent* event) override {
    switch (static_cast<int>(event->type())) {
      case NWM_BASESERVERCHANGE:
        guarded("NWMBaseServerChange", [this] { NWMBaseServerChange(); });
        event->accept();
        return;
      case NWM_BASEUSERCHANGE:
        guarded("NWMBaseUserChange", [this] { NWMBaseUserChange(); });
        event->accept();
        return;
      default:
        QtBase::customEvent(event);
    }
  }
};

} // namespace framework
