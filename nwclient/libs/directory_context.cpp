// Directory contexts: making, copying and freeing them, their flags, name context and
// connection.
#include "directory_call.h"

using nwsim::DirectoryContexts;
using nwsim::DirectoryTree;
using nwsim::DsContext;
namespace dc = nwsim::dircall;

extern "C" {

NWDSContextHandle NWDSCreateContext(void) {
  static nwsim::CallCounter counter{__func__};
  NWDSContextHandle h = 0;
  NWCCODE rc = nwsim::serve(counter, [&](nwsim::Session&) -> NWCCODE {
    h = DirectoryContexts::instance().create();
    return h ? 0 : NWDSE_CONTEXT_CREATION;
  });
  return rc == 0 ? h : 0;
}

NWDSContextHandle NWDSDuplicateContext(NWDSContextHandle context) {
  static nwsim::CallCounter counter{__func__};
  NWDSContextHandle h = 0;
  NWCCODE rc = nwsim::serve(counter, [&](nwsim::Session&) -> NWCCODE {
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    h = DirectoryContexts::instance().create(*c);
    return h ? 0 : NWDSE_CONTEXT_CREATION;
  });
  return rc == 0 ? h : 0;
}

NWCCODE NWDSDuplicateContextHandle(NWDSContextHandle context, NWDSContextHandle* newContext) {
  NWSIM_SERVE_READ({
    if (!newContext) return NWDSE_NULL_POINTER;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    NWDSContextHandle h = DirectoryContexts::instance().create(*c);
    if (!h) return NWDSE_CONTEXT_CREATION;
    *newContext = h;
    return 0;
  });
}

NWCCODE NWDSFreeContext(NWDSContextHandle context) {
  NWSIM_SERVE_READ({ return DirectoryContexts::instance().free(context) ? 0 : NWDSE_BAD_CONTEXT; });
}

NWCCODE NWDSSetContext(NWDSContextHandle context, nint32 key, const void* value) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!value) return NWDSE_NULL_POINTER;
    switch (key) {
      case DCK_FLAGS: {
        nuint32 f;
        std::memcpy(&f, value, sizeof f);
        c->flags = f;
        return 0;
      }
      case DCK_NAME_CONTEXT: {
        std::string name;
        if (!dc::inName(static_cast<const char*>(value), name)) return NWDSE_INVALID_DS_NAME;
        if (name.empty() || nwsim::DirectoryName::key(name) == "[ROOT]") {
          c->nameContext.clear();
          return 0;
        }
        DirectoryTree tree(s);
        // The new name context is given relative to [Root] (or complete), never to the old.
        DsContext base = *c;
        base.nameContext.clear();
        base.flags |= DCV_CANONICALIZE_NAMES;
        auto r = tree.resolve(base, name);
        if (r.code) return r.code;
        c->nameContext = r.rdns;
        return 0;
      }
      case DCK_CONNECTION: {
        NWCONN_HANDLE h;
        std::memcpy(&h, value, sizeof h);
        if (h && !s.connection(h)) return NWE_INVALID_CONNECTION;
        c->conn = h;
        return 0;
      }
      default: return NWDSE_BAD_KEY;
    }
  });
}

NWCCODE NWDSGetContext(NWDSContextHandle context, nint32 key, void* value) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!value) return NWDSE_NULL_POINTER;
    switch (key) {
      case DCK_FLAGS: {
        nuint32 f = c->flags;
        std::memcpy(value, &f, sizeof f);
        return 0;
      }
      case DCK_NAME_CONTEXT:
        dc::putName(static_cast<char*>(value), nwsim::DirectoryName::format(c->nameContext, c->typeless()));
        return 0;
      case DCK_CONNECTION: {
        NWCONN_HANDLE h = c->conn;
        std::memcpy(value, &h, sizeof h);
        return 0;
      }
      default: return NWDSE_BAD_KEY;
    }
  });
}

} // extern "C"
