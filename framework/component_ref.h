#pragma once
// A component's reference to another component (a control's base component, its data
// source). A form stores it by the other component's object name; the name is resolved
// when the form has loaded, or at once when set outside loading, and in C++ the reference
// can be set as a pointer. When the other component goes away the reference is cleared.
#include <framework/component.h>

#include <QPointer>
#include <QString>

namespace framework {

template <class T>
class ComponentRef {
public:
  /// The component referred to; null when none (or when it has gone). A name that did not
  /// resolve yet is tried again here, so a component made later is found.
  T* get() const {
    if (!target_ && !pending_.isEmpty()) resolve();
    return target_.data();
  }
  explicit operator bool() const { return get() != nullptr; }
  T* operator->() const { return get(); }

  /// The name a form stores: the component's object name, or the name given that has not
  /// resolved yet.
  QString name() const {
    if (T* t = target_.data()) return t->objectName();
    return pending_;
  }

  void set(T* target) {
    target_ = target;
    pending_.clear();
  }

  /// Sets the reference by name, seen from `owner`. While the owner is loading the name is
  /// only kept; loaded() calls resolve().
  void setName(const QString& name, const Component& owner) {
    owner_ = owner.componentObject();
    target_ = nullptr;
    pending_ = name;
    if (name.isEmpty()) return;
    if (!owner.isLoading()) resolve();
  }

  /// Resolves a kept name; true when the reference is set.
  bool resolve() const {
    if (pending_.isEmpty()) return target_ != nullptr;
    if (T* t = Component::find<T>(pending_, owner_.data())) {
      target_ = t;
      pending_.clear();
    }
    return target_ != nullptr;
  }

private:
  mutable QPointer<T> target_;
  mutable QString pending_;
  QPointer<QObject> owner_;
};

} // namespace framework
