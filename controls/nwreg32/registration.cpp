// The palette registration: the library's component classes on the page "Ostrel", in the
// order they are registered.
#include <framework/component_classes.h>
#include <nwbase/nwbase.h>

namespace framework {
namespace {

template <class T>
ComponentClass entry(const char* className, const char* paletteName, const char* include, const char* toolTip,
                     const char* picture) {
  return ComponentClass{QString::fromLatin1(className), QString::fromLatin1(paletteName),
                        QString::fromLatin1(include),   QString::fromLatin1(toolTip),
                        QStringLiteral(":/rudodor4/") + QString::fromLatin1(picture),
                        [](QWidget* parent) -> QWidget* { return new T(parent); }};
}

} // namespace

const std::vector<ComponentClass>& componentClasses() {
  // Never destroyed: the designer plugin refers to it until the package is unloaded.
  static const auto* classes = new std::vector<ComponentClass>{
      entry<nwbase::TNWBase>("nwbase::TNWBase", "TNWBase", "nwbase/nwbase.h",
                             "The network: server, login name and directory context", "TNWBASE"),
  };
  return *classes;
}

const ComponentClass* findComponentClass(const QString& name) {
  for (const ComponentClass& c : componentClasses())
    if (c.className == name || c.paletteName == name) return &c;
  return nullptr;
}

} // namespace framework
