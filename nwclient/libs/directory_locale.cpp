// Locale and Unicode tables (LOCWIN32).
#include "marshal.h"

#include <nwclient/nwclient.h>

#include <cstring>

namespace {

// Loads of the Unicode tables not yet freed; each load needs its free.
int unicodeLoads = 0;

bool knownCodePage(nint32 cp) { return cp == 437 || cp == 850 || cp == 852 || cp == 1252; }

} // namespace

extern "C" {

NWLCONV* NWLlocaleconv(NWLCONV* lconvPtr) {
  static nwsim::CallCounter counter{__func__};
  if (!lconvPtr) {
    counter.add();
    return nullptr;
  }
  NWLCONV l;
  std::memset(&l, 0, sizeof l);
  NWCCODE rc = nwsim::serve(counter, [&](nwsim::Session&) -> NWCCODE {
    std::strcpy(l.decimalPoint, ".");
    std::strcpy(l.thousandsSeparator, ",");
    l.grouping[0] = 3;
    std::strcpy(l.intCurrencySymbol, "USD ");
    std::strcpy(l.currencySymbol, "$");
    std::strcpy(l.monDecimalPoint, ".");
    std::strcpy(l.monThousandsSep, ",");
    l.monGrouping[0] = 3;
    std::strcpy(l.negativeSign, "-");
    l.intFracDigits = 2;
    l.fracDigits = 2;
    l.pCsPrecedes = 1;
    l.nCsPrecedes = 1;
    l.pSignPosn = 1;
    l.nSignPosn = 1;
    l.codePage = 437;
    l.countryID = 1;
    std::strcpy(l.dataListSeparator, ",");
    std::strcpy(l.dateSeparator, "/");
    std::strcpy(l.timeSeparator, ":");
    l.timeFormat = 0;
    l.dateFormat = 0;
    std::strcpy(l.amString, "AM");
    std::strcpy(l.pmString, "PM");
    return 0;
  });
  if (rc != 0) return nullptr;
  *lconvPtr = l;
  return lconvPtr;
}

NWCCODE NWInitUnicodeTables(nint32 countryCode, nint32 codePage) {
  NWSIM_SERVE({
    (void)countryCode;
    if (!knownCodePage(codePage)) return NWDSE_UNICODE_FILE_NOT_FOUND;
    ++unicodeLoads;
    return 0;
  });
}

NWCCODE NWFreeUnicodeTables(void) {
  NWSIM_SERVE({
    if (unicodeLoads == 0) return NWDSE_UNICODE_FILE_NOT_FOUND;
    --unicodeLoads;
    return 0;
  });
}

} // extern "C"
