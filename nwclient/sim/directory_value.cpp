#include "directory_value.h"

#include "directory_name.h"

#include <cstring>
#include <vector>

namespace nwsim {

namespace {

constexpr std::size_t kMaxString = 65536;

// A caller's string, bounded; false when it has no end within the bound or is NULL.
bool callerString(const char* s, std::string& out) {
  if (!s) return false;
  std::size_t n = 0;
  while (n < kMaxString && s[n]) ++n;
  if (n == kMaxString) return false;
  out.assign(s, n);
  return true;
}

bool isText(std::uint32_t s) { return s == 2 || s == 3 || s == 4 || s == 5 || s == 10 || s == 20; }
bool isNumber(std::uint32_t s) { return s == 8 || s == 22 || s == 27; }

std::vector<std::string> splitZero(const std::string& data) {
  std::vector<std::string> out;
  if (data.empty()) return out;
  std::string cur;
  for (char c : data) {
    if (c == '\0') { out.push_back(cur); cur.clear(); }
    else cur += c;
  }
  out.push_back(cur);
  return out;
}

std::string joinZero(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += '\0';
    out += items[i];
  }
  return out;
}

// Lays out a record and the data it points to in one block; with a null base it only
// measures.
class Block {
public:
  explicit Block(std::uint8_t* base) : base_(base) {}
  template <typename T> T* record() {
    T* r = reinterpret_cast<T*>(at(sizeof(T), alignof(T)));
    if (r) std::memset(static_cast<void*>(r), 0, sizeof(T));
    return r;
  }
  char* string(const std::string& s) {
    char* p = reinterpret_cast<char*>(at(s.size() + 1, 1));
    if (p) { std::memcpy(p, s.data(), s.size()); p[s.size()] = '\0'; }
    return p;
  }
  std::uint8_t* bytes(const std::string& s) {
    std::uint8_t* p = at(s.size() ? s.size() : 1, 1);
    if (p && !s.empty()) std::memcpy(p, s.data(), s.size());
    return p;
  }
  std::size_t size() const { return off_; }

private:
  std::uint8_t* at(std::size_t n, std::size_t align) {
    off_ = (off_ + align - 1) / align * align;
    std::uint8_t* p = base_ ? base_ + off_ : nullptr;
    off_ += n;
    return p;
  }
  std::uint8_t* base_;
  std::size_t off_ = 0;
};

void layout(const DsValue& v, const IdToName& names, Block& b) {
  switch (v.syntax) {
    case NWDS_SYN_DIST_NAME: b.string(names(v.ref)); break;
    case NWDS_SYN_CE_STRING: case NWDS_SYN_CI_STRING: case NWDS_SYN_PR_STRING: case NWDS_SYN_NU_STRING:
    case NWDS_SYN_TEL_NUMBER: case NWDS_SYN_CLASS_NAME:
      b.string(v.text); break;
    case NWDS_SYN_INTEGER: case NWDS_SYN_COUNTER: case NWDS_SYN_INTERVAL:
      if (auto* r = b.record<nint32>()) *r = static_cast<nint32>(v.num);
      break;
    case NWDS_SYN_TIME:
      if (auto* r = b.record<nuint32>()) *r = static_cast<nuint32>(v.num);
      break;
    case NWDS_SYN_BOOLEAN:
      if (auto* r = b.record<nuint8>()) *r = static_cast<nuint8>(v.num);
      break;
    case NWDS_SYN_OCTET_STRING: case NWDS_SYN_STREAM: {
      auto* r = b.record<Octet_String_T>();
      auto* d = b.bytes(v.data);
      if (r) { r->length = static_cast<nuint32>(v.data.size()); r->data = d; }
      break;
    }
    case NWDS_SYN_CI_LIST: {
      CI_List_T* prev = nullptr;
      for (const std::string& s : splitZero(v.data)) {
        auto* r = b.record<CI_List_T>();
        char* t = b.string(s);
        if (r) { r->s = t; if (prev) prev->next = r; prev = r; }
      }
      break;
    }
    case NWDS_SYN_OCTET_LIST: {
      Octet_List_T* prev = nullptr;
      for (const std::string& s : splitZero(v.data)) {
        auto* r = b.record<Octet_List_T>();
        auto* d = b.bytes(s);
        if (r) { r->length = static_cast<nuint32>(s.size()); r->data = d; if (prev) prev->next = r; prev = r; }
      }
      break;
    }
    case NWDS_SYN_FAX_NUMBER: {
      auto* r = b.record<Fax_Number_T>();
      char* t = b.string(v.text);
      auto* d = b.bytes(v.data);
      if (r) { r->telephoneNumber = t; r->parameters.numOfBits = static_cast<nuint32>(v.num); r->parameters.data = d; }
      break;
    }
    case NWDS_SYN_NET_ADDRESS: {
      auto* r = b.record<Net_Address_T>();
      auto* d = b.bytes(v.data);
      if (r) { r->addressType = static_cast<nuint32>(v.num); r->addressLength = static_cast<nuint32>(v.data.size()); r->address = d; }
      break;
    }
    case NWDS_SYN_EMAIL_ADDRESS: {
      auto* r = b.record<EMail_Address_T>();
      char* t = b.string(v.text);
      if (r) { r->type = static_cast<nuint32>(v.num); r->address = t; }
      break;
    }
    case NWDS_SYN_PATH: {
      auto* r = b.record<Path_T>();
      char* vol = b.string(names(v.ref));
      char* path = b.string(v.text);
      if (r) { r->nameSpaceType = static_cast<nuint32>(v.num); r->volumeName = vol; r->path = path; }
      break;
    }
    case NWDS_SYN_REPLICA_POINTER: {
      auto* r = b.record<Replica_Pointer_T>();
      char* t = b.string(v.text);
      if (r) { r->serverName = t; r->replicaType = static_cast<nint32>(v.num); r->replicaNumber = static_cast<nint32>(v.num2); }
      break;
    }
    case NWDS_SYN_OBJECT_ACL: {
      auto* r = b.record<Object_ACL_T>();
      char* prot = b.string(v.text);
      char* subj = b.string(v.ref ? names(v.ref) : v.text2);
      if (r) { r->protectedAttrName = prot; r->subjectName = subj; r->privileges = static_cast<nuint32>(v.num); }
      break;
    }
    case NWDS_SYN_PO_ADDRESS: {
      auto* r = b.record<Postal_Address_T>();
      auto lines = splitZero(v.data);
      for (std::size_t i = 0; i < lines.size() && i < 6; ++i) {
        char* t = b.string(lines[i]);
        if (r) (*r)[i] = t;
      }
      break;
    }
    case NWDS_SYN_TIMESTAMP: {
      auto* r = b.record<NWDS_TimeStamp_T>();
      if (r) { r->wholeSeconds = static_cast<nuint32>(v.num); r->replicaNum = static_cast<nuint16>(v.num2 >> 16); r->eventID = static_cast<nuint16>(v.num2); }
      break;
    }
    case NWDS_SYN_BACK_LINK: {
      auto* r = b.record<Back_Link_T>();
      char* t = b.string(names(v.ref));
      if (r) { r->remoteID = static_cast<nuint32>(v.num); r->objectName = t; }
      break;
    }
    case NWDS_SYN_TYPED_NAME: {
      auto* r = b.record<Typed_Name_T>();
      char* t = b.string(names(v.ref));
      if (r) { r->objectName = t; r->level = static_cast<nuint32>(v.num); r->interval = static_cast<nuint32>(v.num2); }
      break;
    }
    case NWDS_SYN_HOLD: {
      auto* r = b.record<Hold_T>();
      char* t = b.string(names(v.ref));
      if (r) { r->objectName = t; r->amount = static_cast<nuint32>(v.num); }
      break;
    }
    default: break;
  }
}

} // namespace

NWCCODE DsValueForm::read(std::uint32_t syntax, const void* p, const NameToId& lookup, DsValue& out) {
  if (!known(syntax)) return NWDSE_BAD_SYNTAX;
  if (!p) return NWDSE_NULL_POINTER;
  out = DsValue{};
  out.syntax = syntax;
  auto name = [&](const char* s, std::int64_t& id) -> NWCCODE {
    std::string n;
    if (!callerString(s, n)) return NWDSE_SYNTAX_VIOLATION;
    return lookup(n, id);
  };
  switch (syntax) {
    case NWDS_SYN_DIST_NAME: return name(static_cast<const char*>(p), out.ref);
    case NWDS_SYN_CE_STRING: case NWDS_SYN_CI_STRING: case NWDS_SYN_PR_STRING: case NWDS_SYN_NU_STRING:
    case NWDS_SYN_TEL_NUMBER: case NWDS_SYN_CLASS_NAME:
      if (!callerString(static_cast<const char*>(p), out.text)) return NWDSE_SYNTAX_VIOLATION;
      if (syntax == NWDS_SYN_NU_STRING)
        for (char c : out.text)
          if (!(c == ' ' || (c >= '0' && c <= '9'))) return NWDSE_SYNTAX_VIOLATION;
      return 0;
    case NWDS_SYN_INTEGER: case NWDS_SYN_COUNTER: case NWDS_SYN_INTERVAL: {
      nint32 v;
      std::memcpy(&v, p, sizeof v);
      out.num = v;
      return 0;
    }
    case NWDS_SYN_TIME: {
      nuint32 v;
      std::memcpy(&v, p, sizeof v);
      out.num = v;
      return 0;
    }
    case NWDS_SYN_BOOLEAN:
      // Stored as given: a reader sees the byte the writer sent.
      out.num = *static_cast<const nuint8*>(p);
      return 0;
    case NWDS_SYN_OCTET_STRING: case NWDS_SYN_STREAM: {
      const auto* r = static_cast<const Octet_String_T*>(p);
      if (r->length > kMaxString) return NWDSE_SYNTAX_VIOLATION;
      if (r->length && !r->data) return NWDSE_SYNTAX_VIOLATION;
      out.data.assign(reinterpret_cast<const char*>(r->data), r->length);
      return 0;
    }
    case NWDS_SYN_CI_LIST: {
      std::vector<std::string> items;
      for (const auto* r = static_cast<const CI_List_T*>(p); r && items.size() < 1024; r = r->next) {
        std::string s;
        if (!callerString(r->s, s)) return NWDSE_SYNTAX_VIOLATION;
        items.push_back(s);
      }
      out.data = joinZero(items);
      return 0;
    }
    case NWDS_SYN_OCTET_LIST: {
      std::vector<std::string> items;
      for (const auto* r = static_cast<const Octet_List_T*>(p); r && items.size() < 1024; r = r->next) {
        if (r->length > kMaxString || (r->length && !r->data)) return NWDSE_SYNTAX_VIOLATION;
        std::string s(reinterpret_cast<const char*>(r->data), r->length);
        if (s.find('\0') != std::string::npos) return NWDSE_SYNTAX_VIOLATION;
        items.push_back(s);
      }
      out.data = joinZero(items);
      return 0;
    }
    case NWDS_SYN_FAX_NUMBER: {
      const auto* r = static_cast<const Fax_Number_T*>(p);
      if (!callerString(r->telephoneNumber, out.text)) return NWDSE_SYNTAX_VIOLATION;
      std::size_t n = (r->parameters.numOfBits + 7) / 8;
      if (n > 256 || (n && !r->parameters.data)) return NWDSE_SYNTAX_VIOLATION;
      out.num = r->parameters.numOfBits;
      out.data.assign(reinterpret_cast<const char*>(r->parameters.data), n);
      return 0;
    }
    case NWDS_SYN_NET_ADDRESS: {
      const auto* r = static_cast<const Net_Address_T*>(p);
      if (r->addressType >= NT_COUNT || r->addressLength > 256 || (r->addressLength && !r->address))
        return NWDSE_SYNTAX_VIOLATION;
      out.num = r->addressType;
      out.data.assign(reinterpret_cast<const char*>(r->address), r->addressLength);
      return 0;
    }
    case NWDS_SYN_EMAIL_ADDRESS: {
      const auto* r = static_cast<const EMail_Address_T*>(p);
      out.num = r->type;
      return callerString(r->address, out.text) ? 0 : NWDSE_SYNTAX_VIOLATION;
    }
    case NWDS_SYN_PATH: {
      const auto* r = static_cast<const Path_T*>(p);
      out.num = r->nameSpaceType;
      if (!callerString(r->path, out.text)) return NWDSE_SYNTAX_VIOLATION;
      return name(r->volumeName, out.ref);
    }
    case NWDS_SYN_REPLICA_POINTER: {
      const auto* r = static_cast<const Replica_Pointer_T*>(p);
      out.num = r->replicaType;
      out.num2 = r->replicaNumber;
      return callerString(r->serverName, out.text) ? 0 : NWDSE_SYNTAX_VIOLATION;
    }
    case NWDS_SYN_OBJECT_ACL: {
      const auto* r = static_cast<const Object_ACL_T*>(p);
      if (!callerString(r->protectedAttrName, out.text) || out.text.empty()) return NWDSE_SYNTAX_VIOLATION;
      out.num = r->privileges;
      std::string subject;
      if (!callerString(r->subjectName, subject)) return NWDSE_SYNTAX_VIOLATION;
      std::string k = DirectoryName::key(subject);
      if (k == "[PUBLIC]" || k == "[INHERITANCE MASK]") {
        out.text2 = k == "[PUBLIC]" ? "[Public]" : "[Inheritance Mask]";
        return 0;
      }
      return lookup(subject, out.ref);
    }
    case NWDS_SYN_PO_ADDRESS: {
      const auto* r = static_cast<const Postal_Address_T*>(p);
      std::vector<std::string> lines;
      for (int i = 0; i < 6 && (*r)[i]; ++i) {
        std::string s;
        if (!callerString((*r)[i], s) || s.size() > 30) return NWDSE_SYNTAX_VIOLATION;
        lines.push_back(s);
      }
      out.data = joinZero(lines);
      return 0;
    }
    case NWDS_SYN_TIMESTAMP: {
      const auto* r = static_cast<const NWDS_TimeStamp_T*>(p);
      out.num = r->wholeSeconds;
      out.num2 = (static_cast<std::int64_t>(r->replicaNum) << 16) | r->eventID;
      return 0;
    }
    case NWDS_SYN_BACK_LINK: {
      const auto* r = static_cast<const Back_Link_T*>(p);
      out.num = r->remoteID;
      return name(r->objectName, out.ref);
    }
    case NWDS_SYN_TYPED_NAME: {
      const auto* r = static_cast<const Typed_Name_T*>(p);
      out.num = r->level;
      out.num2 = r->interval;
      return name(r->objectName, out.ref);
    }
    case NWDS_SYN_HOLD: {
      const auto* r = static_cast<const Hold_T*>(p);
      out.num = r->amount;
      return name(r->objectName, out.ref);
    }
    default: return NWDSE_BAD_SYNTAX;
  }
}

std::uint32_t DsValueForm::size(const DsValue& v, const IdToName& names) {
  Block b(nullptr);
  layout(v, names, b);
  return static_cast<std::uint32_t>(b.size() ? b.size() : 1);
}

void DsValueForm::write(const DsValue& v, const IdToName& names, void* out) {
  Block b(static_cast<std::uint8_t*>(out));
  layout(v, names, b);
}

bool DsValueForm::same(const DsValue& a, const DsValue& b) {
  if (a.syntax == NWDS_SYN_CE_STRING) return a.text == b.text;
  if (isText(a.syntax) || a.syntax == NWDS_SYN_EMAIL_ADDRESS)
    return DirectoryName::key(a.text) == DirectoryName::key(b.text) && a.num == b.num;
  if (isNumber(a.syntax) || a.syntax == NWDS_SYN_BOOLEAN || a.syntax == NWDS_SYN_TIME) return a.num == b.num;
  if (a.syntax == NWDS_SYN_OBJECT_ACL) return sameKey(a, b) && a.num == b.num;
  return a.ref == b.ref && a.text == b.text && DirectoryName::key(a.text2) == DirectoryName::key(b.text2) &&
         a.num == b.num && a.num2 == b.num2 && a.data == b.data;
}

std::string DsValueForm::identity(const DsValue& v) {
  // Mirrors same(): each part is length-prefixed so that no two different tuples meet.
  std::string out;
  auto part = [&](const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
  };
  auto number = [&](std::int64_t n) { part(std::to_string(n)); };
  if (v.syntax == NWDS_SYN_CE_STRING) {
    part(v.text);
  } else if (isText(v.syntax) || v.syntax == NWDS_SYN_EMAIL_ADDRESS) {
    part(DirectoryName::key(v.text));
    number(v.num);
  } else if (isNumber(v.syntax) || v.syntax == NWDS_SYN_BOOLEAN || v.syntax == NWDS_SYN_TIME) {
    number(v.num);
  } else if (v.syntax == NWDS_SYN_OBJECT_ACL) {
    part(DirectoryName::key(v.text));
    number(v.ref);
    part(DirectoryName::key(v.text2));
    number(v.num);
  } else {
    number(v.ref);
    part(v.text);
    part(DirectoryName::key(v.text2));
    number(v.num);
    number(v.num2);
    part(std::string(v.data.begin(), v.data.end()));
  }
  return out;
}

bool DsValueForm::hasKey(std::uint32_t syntax) {
  return syntax == NWDS_SYN_OBJECT_ACL || syntax == NWDS_SYN_TYPED_NAME || syntax == NWDS_SYN_HOLD ||
         syntax == NWDS_SYN_BACK_LINK || syntax == NWDS_SYN_DIST_NAME;
}

bool DsValueForm::sameKey(const DsValue& a, const DsValue& b) {
  if (!hasKey(a.syntax)) return false;
  if (a.syntax == NWDS_SYN_OBJECT_ACL)
    return DirectoryName::key(a.text) == DirectoryName::key(b.text) && a.ref == b.ref &&
           DirectoryName::key(a.text2) == DirectoryName::key(b.text2);
  return a.ref == b.ref;
}

} // namespace nwsim
