#pragma once
// What the directory entry points share: the caller's context, bounded names in and out,
// and the tree of the network in force.
#include "marshal.h"

#include "directory_buffer.h"
#include "directory_context.h"
#include "directory_rights.h"
#include "directory_stream.h"
#include "directory_tree.h"

#include <nwclient/nwclient.h>

#include <string>

namespace nwsim::dircall {

/// Reads a name the caller passes: at most NWDS_MAX_DN_BYTES bytes with its zero. False for
/// NULL or a longer name (refused, never cut).
inline bool inName(const char* s, std::string& out) {
  if (!s) return false;
  std::size_t n = 0;
  while (n < NWDS_MAX_DN_BYTES && s[n]) ++n;
  if (n == NWDS_MAX_DN_BYTES) return false;
  out.assign(s, n);
  return true;
}

/// The same for attribute and class names (at most 32 characters; a caller's buffer of up
/// to 64 bytes is read).
inline NWCCODE inSchemaName(const char* s, std::string& out) {
  if (!s) return NWDSE_NULL_POINTER;
  std::size_t n = 0;
  while (n < 64 && s[n]) ++n;
  if (n > NWDS_MAX_SCHEMA_NAME_CHARS) return NWDSE_SCHEMA_NAME_TOO_LONG;
  out.assign(s, n);
  return n ? 0 : NWDSE_INVALID_OBJECT_NAME;
}

inline void putName(char* out, const std::string& name) { marshal::putString(out, NWDS_MAX_DN_BYTES, name); }

inline DsContext* context(NWDSContextHandle h) { return DirectoryContexts::instance().find(h); }

inline NWDSBuffer* buffer(Buf_T* b) { return DirectoryBuffers::instance().valid(b) ? b : nullptr; }

/// Resolves an object name the caller passes, under the context; the code is 0 or why not.
inline NWCCODE object(DirectoryTree& tree, const DsContext& c, const char* name, std::int64_t& id) {
  std::string n;
  if (!name) return NWDSE_NULL_POINTER;
  if (!inName(name, n)) return NWDSE_INVALID_DS_NAME;
  auto r = tree.resolve(c, n);
  if (r.code) return r.code;
  id = r.id;
  return 0;
}

/// The position an iteration handle names (0 for the first call); false for a handle that
/// names no position of a result of `total` items.
inline bool startAt(const nint32* handle, std::size_t total, std::size_t& pos) {
  if (!handle || *handle == NWDS_NO_MORE_ITERATIONS) {
    pos = 0;
    return true;
  }
  if (*handle <= 0 || static_cast<std::size_t>(*handle) > total) return false;
  pos = static_cast<std::size_t>(*handle);
  return true;
}

/// One attribute and its values as a read or search delivers them.
struct ReadAttr {
  std::string name;
  std::uint32_t syntax = 0;
  std::vector<DsValue> values;
};

/// The attributes of an object the caller may read: all (hidden ones left out) or the
/// named ones. `denied` tells whether some were held but not readable.
inline NWCCODE readable(DirectoryTree& tree, DirectoryRights& rights, std::optional<std::int64_t> caller, std::int64_t id,
                        bool all, const std::vector<std::string>& wanted, std::vector<ReadAttr>& out, bool& denied) {
  std::vector<AttrDef> defs;
  if (all) {
    for (auto& n : tree.attributes(id))
      if (auto def = tree.schema().attr(n); def && !(def->flags & DS_HIDDEN_ATTR)) defs.push_back(*def);
  } else {
    for (auto& n : wanted) {
      auto def = tree.schema().attr(n);
      if (!def) return NWDSE_NO_SUCH_ATTRIBUTE;
      defs.push_back(*def);
    }
  }
  DirectoryStreams streams(tree);
  for (auto& def : defs) {
    ReadAttr a{def.name, def.syntax, {}};
    if (def.syntax == NWDS_SYN_STREAM) {
      if (!streams.has(id, def.name)) continue;
      DsValue v;
      v.syntax = NWDS_SYN_STREAM;
      v.data = streams.contents(id, def.name);
      a.values.push_back(v);
    } else {
      for (auto& sv : tree.values(id, def.name)) a.values.push_back(sv.value);
      if (a.values.empty()) continue;
    }
    if (!rights.mayRead(caller, id, def.name)) {
      denied = true;
      continue;
    }
    out.push_back(a);
  }
  return 0;
}

/// The whole result of the last list or search, kept while the caller continues it block by
/// block and nothing in the store has changed, so that a result of N objects is worked out
/// once rather than once per block.
template <typename Item>
class ResultInProgress {
public:
  /// The kept result when this call continues the last one: the same network, context and
  /// request (`key`), an unchanged store, and the iteration handle the last block gave.
  std::vector<Item>* continued(const void* network, NWDSContextHandle context, const std::string& key,
                               std::int64_t stamp, nint32 handle) {
    if (handle == NWDS_NO_MORE_ITERATIONS || handle != next_ || network != network_ || context != context_ ||
        key != key_ || stamp != stamp_)
      return nullptr;
    return &items_;
  }
  /// Keeps a freshly worked-out result.
  std::vector<Item>& start(const void* network, NWDSContextHandle context, std::string key, std::int64_t stamp,
                           std::vector<Item> items) {
    network_ = network;
    context_ = context;
    key_ = std::move(key);
    stamp_ = stamp;
    next_ = NWDS_NO_MORE_ITERATIONS;
    items_ = std::move(items);
    return items_;
  }
  /// Notes where the caller goes on; a finished result is let go.
  void handed(nint32 next) {
    next_ = next;
    if (next == NWDS_NO_MORE_ITERATIONS) {
      items_.clear();
      items_.shrink_to_fit();
    }
  }

private:
  const void* network_ = nullptr;
  NWDSContextHandle context_ = 0;
  std::string key_;
  std::int64_t stamp_ = -1;
  nint32 next_ = NWDS_NO_MORE_ITERATIONS;
  std::vector<Item> items_;
};

} // namespace nwsim::dircall
