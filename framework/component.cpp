#include "framework/component.h"

#include "framework/form_loading.h"
#include "framework/qt_services.h"

#include <algorithm>
#include <vector>

namespace framework {
namespace {

// Every live component of the process, for references by name across forms.
std::vector<Component*>& liveComponents() {
  static std::vector<Component*> all;
  return all;
}

const char* const FormProperty = "_rudodor4_form";

bool isMarkedForm(const QWidget* widget) { return widget->property(FormProperty).toBool(); }

} // namespace

Component::Component(QObject* self) : self_(self) {
  liveComponents().push_back(this);
  installQtServices();
  if (FormLoading* loading = FormLoading::current()) loading->enlist(*this);
}

Component::~Component() {
  auto& all = liveComponents();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

Component* Component::of(QObject* object) { return dynamic_cast<Component*>(object); }

void Component::setDesigning(bool on) {
  if (designing_ == on) return;
  designing_ = on;
  guarded("designingChanged", [this] { designingChanged(); });
}

void Component::endLoading() {
  if (loading_ == 0) return;
  if (--loading_ == 0) guarded("loaded", [this] { loaded(); });
}

QWidget* Component::ownerForm() const {
  if (!self_) return nullptr;
  if (self_->isWidgetType()) return formOf(static_cast<QWidget*>(self_));
  // A non-visual component belongs to the form of the widget that owns it.
  QObject* parent = self_->parent();
  if (!parent || !parent->isWidgetType()) return nullptr;
  QWidget* owner = static_cast<QWidget*>(parent);
  if (isMarkedForm(owner) || owner->isWindow()) return owner;
  return formOf(owner);
}

QObject* Component::findObject(const QString& name, const QObject* context, const QMetaObject* type) {
  if (name.isEmpty()) return nullptr;
  auto matches = [&](QObject* object) { return object && object->objectName() == name && type->cast(object); };
  // The context's own form first, as the form designer resolves names.
  QWidget* form = nullptr;
  if (const Component* c = context ? Component::of(const_cast<QObject*>(context)) : nullptr) form = c->ownerForm();
  else if (context && context->isWidgetType()) form = formOf(static_cast<const QWidget*>(context));
  if (form) {
    if (matches(form)) return form;
    for (QObject* object : form->findChildren<QObject*>(name))
      if (matches(object)) return object;
  }
  for (Component* component : liveComponents())
    if (matches(component->componentObject())) return component->componentObject();
  return nullptr;
}

QWidget* formOf(const QWidget* widget) {
  if (!widget) return nullptr;
  QWidget* last = nullptr;
  for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget()) {
    if (isMarkedForm(w) || w->isWindow()) return w;
    last = w;
  }
  return last;
}

void markForm(QWidget* form) {
  if (form) form->setProperty(FormProperty, true);
}

} // namespace framework
