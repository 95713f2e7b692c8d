#pragma once
// A component for the framework tests: it records what happened to it.
#include <framework/component.h>
#include <framework/component_ref.h>
#include <framework/form_loader.h>
#include <nwbase/nwbase.h>

#include <QStringList>
#include <QWidget>

#include <stdexcept>

/// Every probe appends "<name>:<event>" here.
QStringList& journal();

class Probe : public framework::ComponentWidget<QWidget> {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)
  Q_PROPERTY(QString NWBase READ nwBaseName WRITE setNWBaseName)
public:
  explicit Probe(QWidget* parent = nullptr) : framework::ComponentWidget<QWidget>(parent) {}

  QString caption() const { return caption_; }
  void setCaption(const QString& c) {
    caption_ = c;
    captionSetWhileLoading = isLoading();
  }
  QString nwBaseName() const { return base.name(); }
  void setNWBaseName(const QString& name) { base.setName(name, *this); }

  framework::ComponentRef<nwbase::TNWBase> base;
  bool captionSetWhileLoading = false;
  int loadedCalls = 0;
  int serverChanges = 0;
  int userChanges = 0;
  bool throwOnServerChange = false;
  bool baseResolvedInLoaded = false;

protected:
  void loaded() override {
    ++loadedCalls;
    baseResolvedInLoaded = base.resolve();
    journal() << objectName() + QStringLiteral(":loaded");
  }
  void NWMBaseServerChange() override {
    ++serverChanges;
    journal() << objectName() + QStringLiteral(":server");
    if (throwOnServerChange) throw std::runtime_error("handler failed");
  }
  void NWMBaseUserChange() override {
    ++userChanges;
    journal() << objectName() + QStringLiteral(":user");
  }

private:
  QString caption_;
};

/// A form loader that also knows the probe, as an application adds its own classes.
class ProbeLoader : public framework::FormLoader {
public:
  QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
    if (className == QLatin1String("Probe")) {
      auto* probe = new Probe(parent);
      probe->setObjectName(name);
      return probe;
    }
    return framework::FormLoader::createWidget(className, parent, name);
  }
};
