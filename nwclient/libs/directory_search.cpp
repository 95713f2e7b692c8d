// Searching the tree: filter cursors and tokens, filter buffers, and the search itself.
#include "directory_call.h"

#include <functional>

using nwsim::DirectoryBuffers;
using nwsim::DirectoryName;
using nwsim::DirectoryTree;
using nwsim::DsContext;
using nwsim::DsObject;
namespace dc = nwsim::dircall;
using Token = NWDSBuffer::FilterToken;

namespace {

constexpr std::size_t kMaxTokens = 64;

bool textSyntax(std::uint32_t s) {
  return s == NWDS_SYN_DIST_NAME || s == NWDS_SYN_CE_STRING || s == NWDS_SYN_CI_STRING || s == NWDS_SYN_PR_STRING ||
         s == NWDS_SYN_NU_STRING || s == NWDS_SYN_TEL_NUMBER || s == NWDS_SYN_CLASS_NAME;
}

bool numberSyntax(std::uint32_t s) {
  return s == NWDS_SYN_INTEGER || s == NWDS_SYN_COUNTER || s == NWDS_SYN_INTERVAL || s == NWDS_SYN_TIME ||
         s == NWDS_SYN_BOOLEAN;
}

// "*" matches any run of characters; compared without regard to case.
bool wildcard(const std::string& pattern, const std::string& text) {
  std::string p = DirectoryName::key(pattern), t = DirectoryName::key(text);
  std::size_t pi = 0, ti = 0, star = std::string::npos, mark = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == t[ti]) { ++pi; ++ti; }
    else if (pi < p.size() && p[pi] == '*') { star = pi++; mark = ti; }
    else if (star != std::string::npos) { pi = star + 1; ti = ++mark; }
    else return false;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

// Recursive descent over the tokens: or-expression of and-expressions of factors.
class Filter {
public:
  Filter(const std::vector<Token>& t, DirectoryTree* tree, const DsContext* c, const DsObject* o)
      : t_(t), tree_(tree), c_(c), o_(o) {}
  // Checks the shape (no object) or evaluates (object given); false on a malformed filter.
  bool run(bool& result) {
    pos_ = 0;
    ok_ = true;
    result = expr();
    return ok_ && pos_ < t_.size() && t_[pos_].tok == FTOK_END && pos_ + 1 == t_.size();
  }

private:
  const Token* next() { return pos_ < t_.size() ? &t_[pos_] : nullptr; }
  bool expr() {
    bool r = term();
    while (ok_ && next() && next()->tok == FTOK_OR) {
      ++pos_;
      bool b = term();
      r = r || b;
    }
    return r;
  }
  bool term() {
    bool r = factor();
    while (ok_ && next() && next()->tok == FTOK_AND) {
      ++pos_;
      bool b = factor();
      r = r && b;
    }
    return r;
  }
  bool factor() {
    const Token* t = next();
    if (!t) return ok_ = false;
    switch (t->tok) {
      case FTOK_NOT: ++pos_; return !factor();
      case FTOK_LPAREN: {
        ++pos_;
        bool r = expr();
        if (!next() || next()->tok != FTOK_RPAREN) return ok_ = false;
        ++pos_;
        return r;
      }
      case FTOK_PRESENT: {
        ++pos_;
        const Token* a = next();
        if (!a || a->tok != FTOK_ANAME) return ok_ = false;
        ++pos_;
        return o_ && present(a->text);
      }
      case FTOK_BASECLS: ++pos_; return o_ && DirectoryName::key(o_->cls) == DirectoryName::key(t->text);
      case FTOK_RDN: ++pos_; return o_ && wildcard(t->text, o_->rdn);
      case FTOK_ANAME: {
        ++pos_;
        const Token* op = next();
        if (!op || (op->tok != FTOK_EQ && op->tok != FTOK_GE && op->tok != FTOK_LE && op->tok != FTOK_APPROX)) return ok_ = false;
        ++pos_;
        const Token* v = next();
        if (!v || v->tok != FTOK_AVAL) return ok_ = false;
        ++pos_;
        return o_ && compare(t->text, op->tok, *v);
      }
      default: return ok_ = false;
    }
  }
  bool present(const std::string& attr) {
    return !tree_->values(o_->id, attr).empty() || nwsim::DirectoryStreams(*tree_).has(o_->id, attr);
  }
  bool compare(const std::string& attr, std::uint16_t op, const Token& v) {
    for (auto& sv : tree_->values(o_->id, attr)) {
      const nwsim::DsValue& x = sv.value;
      if (textSyntax(v.syntax)) {
        // A number compares by its decimal text, so that a filter written as text finds it.
        std::string have = x.syntax == NWDS_SYN_DIST_NAME ? tree_->nameOf(x.ref, *c_)
                           : numberSyntax(x.syntax)       ? std::to_string(x.num)
                                                          : x.text;
        if (x.syntax == NWDS_SYN_DIST_NAME && op != FTOK_GE && op != FTOK_LE && v.text.find('*') == std::string::npos) {
          auto r = tree_->resolve(*c_, v.text);
          if (!r.code && r.id == x.ref) return true;
          continue;
        }
        std::string a = DirectoryName::key(have), b = DirectoryName::key(v.text);
        if ((op == FTOK_EQ || op == FTOK_APPROX) && wildcard(v.text, have)) return true;
        if (op == FTOK_GE && a >= b) return true;
        if (op == FTOK_LE && a <= b) return true;
      } else if (numberSyntax(v.syntax)) {
        if ((op == FTOK_EQ || op == FTOK_APPROX) && x.num == v.num) return true;
        if (op == FTOK_GE && x.num >= v.num) return true;
        if (op == FTOK_LE && x.num <= v.num) return true;
      }
    }
    return false;
  }

  const std::vector<Token>& t_;
  DirectoryTree* tree_;
  const DsContext* c_;
  const DsObject* o_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

void release(NWDSFilterCursor* cur, void (*freeVal)(nuint32, void*)) {
  if (freeVal)
    for (auto& t : cur->tokens)
      if (t.original) freeVal(t.token.syntax, t.original);
  DirectoryBuffers::instance().freeFilter(cur);
}

// The objects of a search that match the filter and that the caller may browse, in a stable
// order (the base, then depth first by name); the result is how many objects were looked at.
nint32 findMatches(DirectoryTree& tree, const DsContext& c, nwsim::DirectoryRights& rights,
                   std::optional<std::int64_t> caller, const std::vector<Token>& filter, std::int64_t base,
                   nint32 scope, nint32 countObjectsToSearch, std::vector<DsObject>& matches) {
  std::vector<DsObject> candidates;
  std::function<void(std::int64_t, int)> walk = [&](std::int64_t id, int depth) {
    for (auto& o : tree.children(id)) {
      candidates.push_back(o);
      if (scope == DS_SEARCH_SUBTREE && depth < 64) walk(o.id, depth + 1);
    }
  };
  if (scope != DS_SEARCH_SUBORDINATES)
    if (auto o = tree.object(base)) candidates.push_back(*o);
  if (scope != DS_SEARCH_ENTRY) walk(base, 0);
  if (countObjectsToSearch > 0 && candidates.size() > static_cast<std::size_t>(countObjectsToSearch))
    candidates.resize(static_cast<std::size_t>(countObjectsToSearch));
  std::vector<DsObject> hits;
  for (auto& o : candidates) {
    bool hit = false;
    Filter(filter, &tree, &c, &o).run(hit);
    if (hit) hits.push_back(o);
  }
  matches = rights.browsable(caller, hits);
  return static_cast<nint32>(candidates.size());
}

} // namespace

extern "C" {

NWCCODE NWDSAllocFilter(Filter_Cursor_T** cur) {
  NWSIM_SERVE_READ({
    if (!cur) return NWDSE_NULL_POINTER;
    *cur = DirectoryBuffers::instance().allocateFilter();
    return 0;
  });
}

NWCCODE NWDSAddFilterToken(Filter_Cursor_T* cur, nuint16 tok, const void* val, nuint32 syntax) {
  NWSIM_SERVE_READ({
    if (!DirectoryBuffers::instance().validFilter(cur)) return NWDSE_INVALID_HANDLE;
    if (cur->tokens.size() >= kMaxTokens) return NWDSE_TOO_MANY_TOKENS;
    NWDSFilterCursor::Token t;
    t.token.tok = tok;
    t.token.syntax = syntax;
    switch (tok) {
      case FTOK_END: case FTOK_OR: case FTOK_AND: case FTOK_NOT: case FTOK_LPAREN: case FTOK_RPAREN:
      case FTOK_EQ: case FTOK_GE: case FTOK_LE: case FTOK_APPROX: case FTOK_PRESENT:
        break;
      case FTOK_ANAME: case FTOK_BASECLS: case FTOK_RDN:
        if (NWCCODE rc = dc::inSchemaName(static_cast<const char*>(val), t.token.text); rc && tok == FTOK_ANAME) return rc;
        if (tok != FTOK_ANAME && !dc::inName(static_cast<const char*>(val), t.token.text)) return NWDSE_INVALID_FILTER_SYNTAX;
        t.original = const_cast<void*>(val);
        break;
      case FTOK_AVAL:
        if (!val) return NWDSE_NULL_POINTER;
        if (textSyntax(syntax)) {
          if (!dc::inName(static_cast<const char*>(val), t.token.text)) return NWDSE_INVALID_FILTER_SYNTAX;
        } else if (numberSyntax(syntax)) {
          if (syntax == NWDS_SYN_BOOLEAN) t.token.num = *static_cast<const nuint8*>(val);
          else if (syntax == NWDS_SYN_TIME) t.token.num = *static_cast<const nuint32*>(val);
          else t.token.num = *static_cast<const nint32*>(val);
        } else {
          return NWDSE_INVALID_FILTER_SYNTAX;
        }
        t.original = const_cast<void*>(val);
        break;
      default: return NWDSE_INVALID_FILTER_SYNTAX;
    }
    cur->tokens.push_back(t);
    return 0;
  });
}

NWCCODE NWDSFreeFilter(Filter_Cursor_T* cur, void (*freeVal)(nuint32 syntax, void* val)) {
  NWSIM_SERVE_READ({
    if (!DirectoryBuffers::instance().validFilter(cur)) return NWDSE_INVALID_HANDLE;
    release(cur, freeVal);
    return 0;
  });
}

NWCCODE NWDSPutFilter(NWDSContextHandle context, Buf_T* buf, Filter_Cursor_T* cur, void (*freeVal)(nuint32 syntax, void* val)) {
  NWSIM_SERVE_READ({
    if (!DirectoryBuffers::instance().validFilter(cur)) return NWDSE_INVALID_HANDLE;
    std::vector<Token> tokens;
    for (auto& t : cur->tokens) tokens.push_back(t.token);
    // The cursor goes in every case, as promised to the caller.
    release(cur, freeVal);
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_SEARCH_FILTER) return NWDSE_BAD_VERB;
    if (tokens.empty()) return NWDSE_FILTER_TREE_EMPTY;
    bool unused = false;
    if (!Filter(tokens, nullptr, nullptr, nullptr).run(unused)) return NWDSE_INVALID_FILTER_SYNTAX;
    std::uint32_t need = 0;
    for (auto& t : tokens) need += static_cast<std::uint32_t>(t.text.size() + 9);
    if (!b->take(need)) return NWDSE_BUFFER_FULL;
    b->filter = tokens;
    return 0;
  });
}

NWCCODE NWDSSearch(NWDSContextHandle context, const char* baseObjectName, nint32 scope, nuint8 searchAliases, Buf_T* filter,
                   nuint32 infoType, nuint8 allAttrs, Buf_T* attrNames, nint32* iterationHandle, nint32 countObjectsToSearch,
                   nint32* countObjectsSearched, Buf_T* objectInfo) {
  NWSIM_SERVE_READ({
    (void)searchAliases;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!iterationHandle) return NWDSE_NULL_POINTER;
    if (scope < DS_SEARCH_ENTRY || scope > DS_SEARCH_SUBTREE) return NWDSE_INVALID_REQUEST;
    if (infoType != DS_ATTRIBUTE_NAMES && infoType != DS_ATTRIBUTE_VALUES) return NWDSE_INVALID_REQUEST;
    NWDSBuffer* f = dc::buffer(filter);
    NWDSBuffer* out = dc::buffer(objectInfo);
    if (!f || !out) return NWDSE_INVALID_HANDLE;
    if (f->verb != DSV_SEARCH_FILTER) return NWDSE_BAD_VERB;
    if (f->filter.empty()) return NWDSE_FILTER_TREE_EMPTY;
    std::vector<std::string> wanted;
    if (!allAttrs) {
      NWDSBuffer* names = dc::buffer(attrNames);
      if (!names) return NWDSE_INVALID_HANDLE;
      if (names->verb != DSV_SEARCH) return NWDSE_BAD_VERB;
      for (auto& item : names->items)
        if (item.kind == NWDSBuffer::ItemKind::Name) wanted.push_back(item.name);
    }
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    std::int64_t base = 0;
    if (!baseObjectName || !*baseObjectName) {
      DsContext complete = *c;
      complete.nameContext.clear();
      auto r = tree.resolve(complete, DirectoryName::format(c->nameContext, false));
      if (r.code) return r.code;
      base = r.id;
    } else if (NWCCODE rc = dc::object(tree, *c, baseObjectName, base)) {
      return rc;
    }
    // The request as a whole, so that a continued search is not worked out again.
    std::string key = std::to_string(base) + "/" + std::to_string(scope) + "/" + std::to_string(countObjectsToSearch);
    for (const auto& t : f->filter)
      key += "/" + std::to_string(t.tok) + ":" + std::to_string(t.syntax) + ":" + std::to_string(t.num) + ":" + t.text;
    static dc::ResultInProgress<DsObject> searching;
    static nint32 searchedLast = 0;
    const std::int64_t stamp = s.db().changeStamp();
    auto caller = tree.caller();
    nwsim::DirectoryRights rights(tree);
    auto* kept = searching.continued(&s.network(), context, key, stamp, *iterationHandle);
    if (!kept) {
      std::vector<DsObject> found;
      searchedLast = findMatches(tree, *c, rights, caller, f->filter, base, scope, countObjectsToSearch, found);
      kept = &searching.start(&s.network(), context, key, stamp, std::move(found));
    }
    const std::vector<DsObject>& matches = *kept;
    if (countObjectsSearched) *countObjectsSearched = searchedLast;
    std::size_t pos = 0;
    if (!dc::startAt(iterationHandle, matches.size(), pos)) return NWDSE_INVALID_ITERATION;
    out->prepareResult(DSV_SEARCH);
    std::size_t i = pos;
    for (; i < matches.size(); ++i) {
      NWDSBuffer::ResultObject r;
      r.name = tree.nameOf(matches[i].id, *c);
      std::uint32_t need = static_cast<std::uint32_t>(r.name.size() + 1 + sizeof(Object_Info_T));
      std::vector<dc::ReadAttr> attrs;
      bool denied = false;
      if (allAttrs || !wanted.empty()) {
        std::vector<std::string> present;
        for (auto& w : wanted)
          if (tree.schema().attr(w)) present.push_back(w);
        dc::readable(tree, rights, caller, matches[i].id, allAttrs != 0, present, attrs, denied);
      }
      for (auto& a : attrs) {
        NWDSBuffer::ResultAttr ra;
        ra.name = a.name;
        ra.syntax = a.syntax;
        need += static_cast<std::uint32_t>(a.name.size() + 13);
        if (infoType == DS_ATTRIBUTE_VALUES) {
          for (auto& v : a.values)
            if (v.ref && !out->names.count(v.ref)) out->names[v.ref] = tree.nameOf(v.ref, *c);
          for (auto& v : a.values) need += nwsim::DsValueForm::size(v, out->namer()) + 4;
          ra.values = a.values;
        }
        r.attrs.push_back(ra);
      }
      if (!out->take(need)) break;
      r.info.objectFlags = matches[i].partitionRoot ? DS_PARTITION_ROOT : 0;
      r.info.subordinateCount = static_cast<nuint32>(tree.childCount(matches[i].id));
      r.info.modificationTime = static_cast<nuint32>(matches[i].modified);
      nwsim::marshal::putString(r.info.baseClass, sizeof r.info.baseClass, matches[i].cls);
      out->objects.push_back(r);
    }
    if (i == pos && i < matches.size()) return NWDSE_INSUFFICIENT_BUFFER;
    *iterationHandle = i < matches.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
    searching.handed(*iterationHandle);
    return 0;
  });
}

} // extern "C"
