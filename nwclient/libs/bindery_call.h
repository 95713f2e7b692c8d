#pragma once
// What the bindery entry points share: bounded names in, and the object a call addresses on
// the server of its connection.
#include "marshal.h"

#include <bindery.h>

#include <nwclient/nwclient.h>

#include <string>

namespace nwsim::bindcall {

constexpr std::size_t kNameSize = 48;

/// A name argument: present, not empty and at most 47 characters.
inline NWCCODE name(const char* text, std::string& out) {
  if (!text) return NWE_INVALID_PARAMETER;
  out = marshal::getString(text, kNameSize);
  if (out.empty() || out.size() >= kNameSize) return NWE_INVALID_NAME;
  return NWE_OK;
}

/// An object addressed by name and type on the server of `conn`; `c` is the connection.
inline NWCCODE object(Session& s, NWCONN_HANDLE conn, const char* objectName, nuint16 type, Connection& c,
                      Server& server, Bindery::Object& out) {
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  std::string n;
  if (NWCCODE rc = name(objectName, n)) return rc;
  if (Bindery::hasWildcards(n)) return NWE_WILDCARD_NOT_ALLOWED;
  auto o = Bindery(s.db(), server.id).find(n, type);
  if (!o) return NWE_NO_SUCH_OBJECT;
  out = *o;
  return NWE_OK;
}

inline NWCCODE object(Session& s, NWCONN_HANDLE conn, const char* objectName, nuint16 type, Server& server,
                      Bindery::Object& out) {
  Connection c;
  return object(s, conn, objectName, type, c, server, out);
}

} // namespace nwsim::bindcall
