#pragma once
// The library's component classes, in the order they are registered on the palette. The
// form loader creates them by class name; the form designer's plugin shows them.
#include <framework/rudodor4_export.h>

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace framework {

struct ComponentClass {
  /// The C++ class name a form file names ("nwbase::TNWBase").
  QString className;
  /// The short name the palette shows ("TNWBase").
  QString paletteName;
  /// The header an application includes.
  QString includeFile;
  QString toolTip;
  /// The Qt resource of the palette picture (24 x 24).
  QString pictureResource;
  /// Creates a component with the given parent widget.
  std::function<QWidget*(QWidget* parent)> create;
};

/// Every component class of the library, in registration order.
RUDODOR4_EXPORT const std::vector<ComponentClass>& componentClasses();
/// The class of that name (C++ or palette name); null when the library has none.
RUDODOR4_EXPORT const ComponentClass* findComponentClass(const QString& name);

} // namespace framework
