#include "directory_rights.h"

#include <algorithm>
#include <map>
#include <vector>

namespace nwsim {

namespace {
const char* const kEntry = "[Entry Rights]";
const char* const kAllAttrs = "[All Attributes Rights]";
const char* const kSms = "[SMS Rights]";
} // namespace

std::set<std::int64_t> DirectoryRights::equivalents(std::int64_t subject) {
  std::set<std::int64_t> out{subject};
  // Security Equals and group membership, and the containers above the subject.
  for (const char* attr : {"Security Equals", "Group Membership"})
    for (auto& v : tree_.values(subject, attr))
      if (v.value.ref) out.insert(v.value.ref);
  for (const DsObject& o : tree_.path(subject)) out.insert(o.parent ? o.parent : tree_.rootId());
  out.insert(tree_.rootId());
  return out;
}

std::uint32_t DirectoryRights::walk(const std::set<std::int64_t>& subjects, bool authenticated, std::int64_t object,
                                    const std::string& prot) {
  std::string key = DirectoryName::key(prot);
  bool single = key != DirectoryName::key(kEntry) && key != DirectoryName::key(kAllAttrs) && key != DirectoryName::key(kSms);
  // From [Root] down to the object.
  std::vector<std::int64_t> chain;
  for (const DsObject& o : tree_.path(object)) chain.push_back(o.id);
  chain.push_back(tree_.rootId());
  std::reverse(chain.begin(), chain.end());
  if (chain.size() > 1 && chain.back() == chain[chain.size() - 2]) chain.pop_back();

  std::uint32_t rights = 0;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    // A single attribute's entries apply only to the object itself.
    if (single && i + 1 != chain.size()) continue;
    rights = step(subjects, authenticated, chain[i], key, rights, i > 0);
  }
  return rights;
}

std::uint32_t DirectoryRights::step(const std::set<std::int64_t>& subjects, bool authenticated, std::int64_t object,
                                    const std::string& key, std::uint32_t rights, bool below) {
  std::uint32_t granted = 0;
  bool masked = false;
  std::uint32_t mask = 0xFFFFFFFFu;
  for (auto& sv : tree_.values(object, "ACL")) {
    const DsValue& v = sv.value;
    if (DirectoryName::key(v.text) != key) continue;
    if (v.text2 == "[Inheritance Mask]") {
      masked = true;
      mask = static_cast<std::uint32_t>(v.num);
      continue;
    }
    bool applies = (v.ref && authenticated && subjects.count(v.ref)) || v.text2 == "[Public]";
    if (applies) granted |= static_cast<std::uint32_t>(v.num);
  }
  if (masked && below) rights &= mask;
  return rights | granted;
}

std::vector<DsObject> DirectoryRights::browsable(std::optional<std::int64_t> subject, const std::vector<DsObject>& objects) {
  std::set<std::int64_t> subjects;
  if (subject) subjects = equivalents(*subject);
  const bool auth = subject.has_value();
  const std::int64_t root = tree_.rootId();
  const std::string key = DirectoryName::key(kEntry);
  // Siblings inherit the same rights: those down to each parent are worked out once.
  std::map<std::int64_t, std::uint32_t> inherited;
  std::vector<DsObject> out;
  for (const DsObject& o : objects) {
    std::uint32_t rights;
    if (o.id == root || o.parent == 0) {
      rights = walk(subjects, auth, o.id, kEntry);
    } else {
      auto [it, fresh] = inherited.try_emplace(o.parent, 0);
      if (fresh) it->second = walk(subjects, auth, o.parent, kEntry);
      rights = step(subjects, auth, o.id, key, it->second, true);
    }
    if (rights & (DS_ENTRY_SUPERVISOR | DS_ENTRY_BROWSE)) out.push_back(o);
  }
  return out;
}

std::uint32_t DirectoryRights::effective(std::optional<std::int64_t> subject, std::int64_t object, const std::string& prot) {
  std::set<std::int64_t> subjects;
  if (subject) subjects = equivalents(*subject);
  bool auth = subject.has_value();
  std::string key = DirectoryName::key(prot);
  std::uint32_t entryRights = walk(subjects, auth, object, kEntry);
  if (key == DirectoryName::key(kEntry)) return (entryRights & DS_ENTRY_SUPERVISOR) ? std::uint32_t(DS_ENTRY_MASK) : entryRights;
  if (key == DirectoryName::key(kSms)) {
    std::uint32_t r = walk(subjects, auth, object, kSms);
    return (entryRights & DS_ENTRY_SUPERVISOR) ? std::uint32_t(DS_SMS_MASK) : r;
  }
  if (entryRights & DS_ENTRY_SUPERVISOR) return std::uint32_t(DS_ATTR_MASK);
  std::uint32_t r = walk(subjects, auth, object, kAllAttrs);
  if (key != DirectoryName::key(kAllAttrs)) r |= walk(subjects, auth, object, prot);
  return (r & DS_ATTR_SUPERVISOR) ? std::uint32_t(DS_ATTR_MASK) : r;
}

bool DirectoryRights::entry(std::optional<std::int64_t> subject, std::int64_t object, std::uint32_t right) {
  return (effective(subject, object, kEntry) & right) != 0;
}

bool DirectoryRights::mayBrowse(std::optional<std::int64_t> subject, std::int64_t object) {
  return entry(subject, object, DS_ENTRY_BROWSE);
}

bool DirectoryRights::mayRead(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr) {
  return (effective(subject, object, attr) & DS_ATTR_READ) != 0;
}

bool DirectoryRights::mayWrite(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr) {
  return (effective(subject, object, attr) & DS_ATTR_WRITE) != 0;
}

bool DirectoryRights::mayWriteSelf(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr) {
  return (effective(subject, object, attr) & (DS_ATTR_WRITE | DS_ATTR_SELF)) != 0;
}

} // namespace nwsim
