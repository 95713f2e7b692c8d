#include "probe.h"

QStringList& journal() {
  static QStringList entries;
  return entries;
}
