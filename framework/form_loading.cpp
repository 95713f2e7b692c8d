#include "framework/form_loading.h"

#include "framework/component.h"

namespace framework {
namespace {
thread_local FormLoading* innermost = nullptr;
} // namespace

FormLoading::FormLoading(QWidget* form) : form_(form), outer_(innermost) { innermost = this; }

FormLoading::~FormLoading() { finish(); }

void FormLoading::setForm(QWidget* form) { form_ = form; }

FormLoading* FormLoading::current() { return innermost; }

void FormLoading::enlist(Component& component) {
  component.beginLoading();
  components_.append(QPointer<QObject>(component.componentObject()));
}

void FormLoading::finish() {
  if (finished_) return;
  finished_ = true;
  // Components constructed from now on belong to no form being loaded by this bracket.
  if (innermost == this) innermost = outer_;
  if (form_) markForm(form_);
  // A component destroyed while the form loaded is skipped; one whose loaded() destroys
  // another is safe too, as the pointers are guarded.
  const QList<QPointer<QObject>> enlisted = components_;
  components_.clear();
  for (const QPointer<QObject>& object : enlisted)
    if (object)
      if (Component* component = Component::of(object.data())) component->endLoading();
}

} // namespace framework
