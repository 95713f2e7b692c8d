#pragma once
// Client buffers (Buf_T): what a request buffer holds after the Put... calls, what a result
// buffer holds and how far the Get... calls have read it, and the process's live buffers.
#include "directory_schema.h"
#include "directory_value.h"

#include <nwclient/nwclient.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct NWDSBuffer {
  enum class ItemKind { Name, Value, Change, ClassItemBegin, ClassItem };
  struct Item {
    ItemKind kind = ItemKind::Name;
    std::string name;
    std::uint32_t change = 0;
    nwsim::DsValue value;
  };
  struct ResultAttr {
    std::string name;
    std::uint32_t syntax = 0;
    std::vector<nwsim::DsValue> values;
    nwsim::AttrDef def;                       // attribute-definition results
    nwsim::ClassDef cls;                      // class-definition results
  };
  struct ResultObject {
    std::string name;
    Object_Info_T info{};
    std::vector<ResultAttr> attrs;
  };

  /// One token of a search filter, its value kept as the caller gave it.
  struct FilterToken {
    std::uint16_t tok = 0;
    std::uint32_t syntax = 0;
    std::string text;
    std::int64_t num = 0;
  };

  std::uint32_t size = 0;
  std::uint32_t used = 0;
  std::uint32_t verb = 0;        // request kind (NWDSInitBuf); 0 when not prepared
  std::uint32_t resultKind = 0;  // kind of results held; 0 when none
  std::vector<Item> items;
  std::vector<FilterToken> filter;           // search-filter buffers
  std::vector<ResultObject> objects;
  std::map<std::int64_t, std::string> names;  // names of the objects values point to
  std::size_t objCursor = 0, attrCursor = 0, valCursor = 0, itemCursor = 0;

  /// Takes `bytes` more room; false when the buffer is full.
  bool take(std::uint32_t bytes) {
    if (used + bytes > size) return false;
    used += bytes;
    return true;
  }
  void prepare(std::uint32_t verbCode) {
    verb = verbCode;
    resultKind = 0;
    used = 16;
    items.clear();
    filter.clear();
    objects.clear();
    names.clear();
    objCursor = attrCursor = valCursor = itemCursor = 0;
  }
  void prepareResult(std::uint32_t kind) {
    prepare(0);
    resultKind = kind;
  }
  nwsim::IdToName namer() const {
    return [this](std::int64_t id) {
      auto it = names.find(id);
      return it == names.end() ? std::string() : it->second;
    };
  }
};

/// A search filter under construction (Filter_Cursor_T).
struct NWDSFilterCursor {
  struct Token {
    NWDSBuffer::FilterToken token;
    void* original = nullptr;  // the caller's value, handed back to its free function
  };
  std::vector<Token> tokens;
};

namespace nwsim {

/// The process's live buffers and filter cursors. Used under the simulator's lock.
class DirectoryBuffers {
public:
  static DirectoryBuffers& instance();
  NWDSBuffer* allocate(std::uint32_t size);
  bool valid(const NWDSBuffer* b) const { return b && live_.count(const_cast<NWDSBuffer*>(b)); }
  bool free(NWDSBuffer* b);
  std::size_t open() const { return live_.size() + cursors_.size(); }

  NWDSFilterCursor* allocateFilter();
  bool validFilter(const NWDSFilterCursor* c) const { return c && cursors_.count(const_cast<NWDSFilterCursor*>(c)); }
  bool freeFilter(NWDSFilterCursor* c);

private:
  std::set<NWDSBuffer*> live_;
  std::set<NWDSFilterCursor*> cursors_;
};

} // namespace nwsim
