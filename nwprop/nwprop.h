#pragma once
// Unit Nwprop: bindery properties and trustees.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror().
#include <ostrel/callframe.h>
#include <rtl/tstringlist.h>

#include <cstdint>
#include <memory>
#include <string>

namespace nwprop {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object: reads and clears the unit error code.
class TNWProp : public ostrel::UnitObject<detail::state> {};

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

// ---- Trustees and effective rights --------------------------------------------------------

/// File-system rights as the trustee operations read and write them.
struct TNWRights {
  /// Written as modify and access control together; read back only by getObjectDirRights.
  bool supervisor = false;
  bool read = false;
  bool open = false;
  bool write = false;
  bool create = false;
  bool erase = false;
  bool modify = false;
  bool fileScan = false;
  bool accessControl = false;
};

/// The trustee assignments of a user or group, one line each: "SERVER/VOL:DIR    [SRWCEMFA]".
/// Empty for other objects.
std::unique_ptr<rtl::TStringList> getTrusteeList(NWCONN_HANDLE conn, const std::string& objectName);
/// The object's own assignment at the path or at a directory above it; false when it has none.
bool getObjectDirRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& path,
                        TNWRights& rights);
/// The caller's effective rights at the path, on the connection the path names (`conn` is not
/// used); every field but `supervisor` is set. Nothing is recorded.
bool getEffectiveRights(NWCONN_HANDLE conn, const std::string& path, TNWRights& rights);
/// Makes the user a trustee of a file or directory with the rights given.
bool addTrusteeToFile(NWCONN_HANDLE conn, const std::string& path, const std::string& userName,
                      const TNWRights& rights);
/// Makes the object a trustee of the directory `directory` of `volume` with the rights given.
bool modifyTrusteeRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& volume,
                         const std::string& directory, const TNWRights& rights);
/// Removes the object's assignment at `pathPrefix` followed by the trustee text: a path, or a
/// line of getTrusteeList (with an empty prefix).
bool deleteTrusteeRight(NWCONN_HANDLE conn, const std::string& objectName, const std::string& pathPrefix,
                        const std::string& trusteeText);
/// Whether the caller's bindery access level reaches the object's read and write security.
/// Both outputs stay untouched when the caller's level cannot be read.
void compareObjectAccessRights(NWCONN_HANDLE conn, const std::string& objectName, bool& readAllowed,
                               bool& writeAllowed);

} // namespace nwprop
