#include "nwbase/persistent.h"

#include <nwnds/nwnds.h>

namespace nwbase {

TNWLastError::TNWLastError(QObject* parent) : QObject(parent) {}

void TNWLastError::assign(const TNWLastError& other) {
  Ostrel = other.Ostrel;
  NWServer = other.NWServer;
  NWProp = other.NWProp;
  NWNDS = other.NWNDS;
  NWPrint = other.NWPrint;
}

TNWDSContextFlags::TNWDSContextFlags(QObject* parent)
    : QObject(parent), values_(DereferenceAliases | TranslateStrings | CanonicalizeNames) {}

void TNWDSContextFlags::set(TNWDSContextFlag flag, bool on) {
  values_.setFlag(flag, on);
  // Set or clear the one bit (adding flags could not clear it); when the context's flags
  // cannot be read, nothing is written, so that they are never wiped.
  nwnds::ndsSwitchContextFlag(flag, on);
}

void TNWDSContextFlags::setFlags(TNWDSContextFlagSet flags) {
  static constexpr TNWDSContextFlag order[] = {DereferenceAliases, TranslateStrings,     TypelessNames,   AsyncMode,
                                               CanonicalizeNames,  DereferenceBaseClass, DisallowReferrals};
  for (TNWDSContextFlag flag : order)
    if (flags.testFlag(flag) != values_.testFlag(flag)) set(flag, flags.testFlag(flag));
}

} // namespace nwbase
