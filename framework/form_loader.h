#pragma once
// Loads forms from Qt Designer's .ui files. The library's components are created by their
// class names (no designer plugin needed); every component of the form is in the loading
// state while its properties are set, and gets loaded() afterwards, in form order.
#include <framework/rudodor4_export.h>

#include <QUiLoader>

namespace framework {

class RUDODOR4_EXPORT FormLoader : public QUiLoader {
  Q_OBJECT
public:
  explicit FormLoader(QObject* parent = nullptr);

  /// Loads a form; null on failure (errorString() says why).
  QWidget* load(QIODevice* device, QWidget* parentWidget = nullptr);
  /// Loads a form from a file or a Qt resource.
  QWidget* load(const QString& fileName, QWidget* parentWidget = nullptr);

  QWidget* createWidget(const QString& className, QWidget* parent = nullptr, const QString& name = QString()) override;
};

} // namespace framework
