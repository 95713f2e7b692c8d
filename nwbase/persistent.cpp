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
  // Replace the context's flags rather than adding to them, so that a bit can be cleared.
  int bits = nwnds::ndsGetContextFlags();
  bits = on ? (bits | flag) : (bits & ~static_cast<int>(flag));
  nwnds::ndsReplaceContextFlags(bits);
}

void TNWDSContextFlags::setFlags(TNWDSContextFlagSet flags) {
  static constexpr TNWDSContextFlag order[] = {DereferenceAliases, TranslateStrings,     TypelessNames,   AsyncMode,
                                               CanonicalizeNames,  DereferenceBaseClass, DisallowReferrals};
  for (TNWDSContextFlag flag : order)
    if (flags.testFlag(flag) != values_.testFlag(flag)) set(flag, flags.testFlag(flag));
}

} // namespace nwbase
