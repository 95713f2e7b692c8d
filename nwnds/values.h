#pragma once
// Private to the unit: the read and change paths that the attribute, schema and group
// operations share.
#include "nwnds/client.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace nwnds::detail {

/// One value as the client wrote it: a block of the size the client asked for (a record
/// with the data it points to), aligned for any record, and the value's syntax.
class ValueBlock {
public:
  void resize(std::size_t bytes);
  void* data() { return words_.data(); }
  const void* data() const { return words_.data(); }
  std::size_t size() const { return size_; }
  nuint32 syntax() const { return syntax_; }
  void setSyntax(nuint32 syntax) { syntax_ = syntax; }
  /// The block as zero-terminated text, at most maxChars characters.
  std::string text(std::size_t maxChars) const;
  /// A zero-terminated string the record points to; empty unless it lies inside the block.
  std::string textAt(const char* p) const;

private:
  std::vector<std::max_align_t> words_;
  std::size_t size_ = 0;
  nuint32 syntax_ = 0;
};

/// Reads the first value of the first attribute of a read result, sized by the client.
bool readFirstValue(NWDSContextHandle context, Buf_T* result, ValueBlock& value);

/// Called for each block of a read; true when it took a value from it.
using PassReader = std::function<bool(Buf_T* result)>;

/// Reads one attribute of an object block by block; true when any block gave a value.
bool readAttribute(NWDSContextHandle context, const std::string& objectName,
                   const std::string& attrName, const PassReader& onPass);

/// The attribute's value, on a working context by the context rule.
bool readValue(const std::string& contextName, const std::string& objectName,
               const std::string& attrName, ValueBlock& value);

/// One change of one attribute of an object in a modify request, on a working context.
bool changeValue(const std::string& contextName, const std::string& objectName,
                 const std::string& attrName, std::uint8_t syntax, TNWDSAttrAction mode,
                 const void* value);

} // namespace nwnds::detail
