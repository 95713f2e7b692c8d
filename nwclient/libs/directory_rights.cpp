// Effective rights and security equivalence.
#include "directory_call.h"

#include "directory_rights.h"
#include "directory_update.h"

using nwsim::DirectoryName;
using nwsim::DirectoryTree;
using nwsim::DsContext;
namespace dc = nwsim::dircall;

namespace {

NWCCODE securityEquiv(nwsim::Session& s, NWDSContextHandle context, const char* equalFrom, const char* equalTo,
                      nuint32 change) {
  DsContext* c = dc::context(context);
  if (!c) return NWDSE_BAD_CONTEXT;
  DirectoryTree tree(s);
  std::int64_t from = 0, to = 0;
  if (NWCCODE rc = dc::object(tree, *c, equalFrom, from)) return rc;
  if (NWCCODE rc = dc::object(tree, *c, equalTo, to)) return rc;
  nwsim::DsValue v;
  v.syntax = NWDS_SYN_DIST_NAME;
  v.ref = to;
  auto held = tree.values(from, "Security Equals");
  bool has = false;
  for (auto& sv : held) has = has || sv.value.ref == to;
  if (change == DS_ADD_VALUE && has) return NWDSE_DUPLICATE_VALUE;
  if (change == DS_REMOVE_VALUE && !has) return NWDSE_NO_SUCH_VALUE;
  return nwsim::DirectoryUpdate(tree).modify(from, {{change, "Security Equals", {v}}});
}

} // namespace

extern "C" {

NWCCODE NWDSGetEffectiveRights(NWDSContextHandle context, const char* subjectName, const char* objectName,
                               const char* attrName, nuint32* privileges) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!privileges || !subjectName) return NWDSE_NULL_POINTER;
    std::string attr;
    if (!attrName) return NWDSE_NULL_POINTER;
    attr = nwsim::marshal::getString(attrName, 64);
    std::string k = DirectoryName::key(attr);
    DirectoryTree tree(s);
    std::int64_t object = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, object)) return rc;
    if (k != "[ENTRY RIGHTS]" && k != "[ALL ATTRIBUTES RIGHTS]" && k != "[SMS RIGHTS]" && !tree.schema().attr(attr))
      return NWDSE_NO_SUCH_ATTRIBUTE;
    std::optional<std::int64_t> subject;
    std::string subj;
    if (!dc::inName(subjectName, subj)) return NWDSE_INVALID_DS_NAME;
    if (DirectoryName::key(subj) != "[PUBLIC]") {
      std::int64_t id = 0;
      if (NWCCODE rc = dc::object(tree, *c, subjectName, id)) return rc;
      subject = id;
    }
    *privileges = nwsim::DirectoryRights(tree).effective(subject, object, attr);
    return 0;
  });
}

NWCCODE NWDSAddSecurityEquiv(NWDSContextHandle context, const char* equalFrom, const char* equalTo) {
  NWSIM_SERVE({ return securityEquiv(s, context, equalFrom, equalTo, DS_ADD_VALUE); });
}

NWCCODE NWDSRemSecurityEquiv(NWDSContextHandle context, const char* equalFrom, const char* equalTo) {
  NWSIM_SERVE({ return securityEquiv(s, context, equalFrom, equalTo, DS_REMOVE_VALUE); });
}

} // extern "C"
