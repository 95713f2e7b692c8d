// baseinfo: a form with a base component, as the form designer makes one. It prints every
// published property of the base component (or, with --show, shows them in a table).
//
//   baseinfo [--network DIR] [--server NAME] [--show]
#include "ui_baseinfo.h"

#include <framework/form_loading.h>
#include <nwbase/nwbase.h>
#include <nwsim/nwsim.h>

#include <QApplication>
#include <QHeaderView>
#include <QMetaProperty>

#include <cstdio>
#include <cstring>

namespace {

QString text(const QVariant& value) {
  if (auto* object = value.value<QObject*>()) {
    QStringList parts;
    const QMetaObject* m = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < m->propertyCount(); ++i)
      parts << QStringLiteral("%1=%2").arg(QLatin1String(m->property(i).name()), m->property(i).read(object).toString());
    return parts.join(QLatin1Char(' '));
  }
  return value.toString();
}

class BaseInfo : public QWidget {
public:
  explicit BaseInfo(const QString& server) {
    framework::FormLoading loading(this);
    ui.setupUi(this);
    loading.finish();
    if (!server.isEmpty()) ui.NWBase1->_setServerName(server);
  }

  // Name and value of each published property of the base component, in declaration order.
  QList<QPair<QString, QString>> rows() const {
    QList<QPair<QString, QString>> out;
    const QMetaObject* m = ui.NWBase1->metaObject();
    for (int i = QWidget::staticMetaObject.propertyCount(); i < m->propertyCount(); ++i) {
      const QMetaProperty p = m->property(i);
      out.append({QLatin1String(p.name()), text(p.read(ui.NWBase1))});
    }
    return out;
  }

  void fillTable() {
    const auto all = rows();
    ui.properties->setRowCount(static_cast<int>(all.size()));
    ui.properties->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    ui.properties->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < all.size(); ++r) {
      ui.properties->setItem(r, 0, new QTableWidgetItem(all[r].first));
      ui.properties->setItem(r, 1, new QTableWidgetItem(all[r].second));
    }
    resize(560, 640);
  }

private:
  Ui::BaseInfo ui;
};

} // namespace

int main(int argc, char** argv) {
  QString server;
  bool show = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--network") == 0 && i + 1 < argc) {
      nwsim::useNetwork(argv[++i]);
    } else if (std::strcmp(argv[i], "--server") == 0 && i + 1 < argc) {
      server = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--show") == 0) {
      show = true;
    } else {
      std::fprintf(stderr, "usage: baseinfo [--network DIR] [--server NAME] [--show]\n");
      return 2;
    }
  }
  // Printing needs no display.
  if (!show && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  BaseInfo form(server);
  if (show) {
    form.fillTable();
    form.show();
    return app.exec();
  }
  for (const auto& [name, value] : form.rows())
    std::printf("%-18s %s\n", name.toLocal8Bit().constData(), value.toLocal8Bit().constData());
  return 0;
}
