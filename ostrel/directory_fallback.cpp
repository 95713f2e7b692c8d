#include "ostrel/directory_fallback.h"

#include <nwnds/nwnds.h>

namespace ostrel::detail {

std::string directoryObjectName(NWCONN_HANDLE conn, std::int32_t objectID) {
  return nwnds::ndsGetObjName(conn, objectID);
}

std::uint32_t directoryObjectNumber(const std::string& name) {
  // The directory reports the connection it used; the caller's connection stays as it is.
  NWCONN_HANDLE directoryConn = 0;
  return nwnds::ndsGetObjNumber(directoryConn, name);
}

std::string directoryObjectID(NWCONN_HANDLE conn, const std::string& name) { return nwnds::ndsGetObjID(conn, name); }

std::unique_ptr<rtl::TStringList> directoryGroups(const std::string& name) { return nwnds::ndsGetMyGroups("", name); }

bool directoryFullName(const std::string& name, std::string& text) {
  return nwnds::ndsGetStringAttr("", name, nwnds::dsaFullName, text);
}

} // namespace ostrel::detail
