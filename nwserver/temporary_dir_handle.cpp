// The parse-and-allocate sequence of the volume, file and salvage operations.
#include "nwserver/client.h"

namespace nwserver::detail {

TemporaryDirHandle::TemporaryDirHandle(const std::string& path, NWCONN_HANDLE conn, bool withRights) : conn_(conn) {
  if (!client.NWParseNetWarePath.bind() || !client.NWAllocTemporaryDirectoryHandle.bind() ||
      !client.NWDeallocateDirectoryHandle.bind())
    return;
  char buffer[256] = {};
  rtl::copyToBuffer(buffer, sizeof buffer, path);
  nuint8 parsedHandle = 0;
  if (client.NWParseNetWarePath.unrecorded(buffer, &conn_, &parsedHandle, volumePath_) != 0) return;
  nuint8 rights = 0;
  nuint8 handle = 0;
  if (client.NWAllocTemporaryDirectoryHandle.unrecorded(conn_, 0, volumePath_, &handle, withRights ? &rights : nullptr) ==
      0)
    handle_ = handle;
}

TemporaryDirHandle::~TemporaryDirHandle() {
  if (handle_ != 0) client.NWDeallocateDirectoryHandle.unrecorded(conn_, handle_);
}

std::string directoryPart(const std::string& path) {
  const auto cut = path.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string namePart(const std::string& path) { return path.substr(directoryPart(path).size()); }

} // namespace nwserver::detail
