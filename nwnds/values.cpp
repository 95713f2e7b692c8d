// Reading and writing attribute values through the client's buffers.
#include "nwnds/client.h"
#include "nwnds/values.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace nwnds {

using detail::ClientBuffer;
using detail::client;
using detail::fits;
using detail::kAttrNameBuf;
using detail::kDirNameBuf;
using detail::kWriterBuf;
using detail::ScanGuard;
using detail::state;
using detail::unit;
using detail::WorkingContext;

namespace detail {

void ValueBlock::resize(std::size_t bytes) {
  words_.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t) + 1, {});
  size_ = bytes;
}

std::string ValueBlock::text(std::size_t maxChars) const {
  return rtl::bufferToString(static_cast<const char*>(data()), std::min(size_, maxChars));
}

std::string ValueBlock::textAt(const char* p) const {
  const auto* begin = static_cast<const char*>(data());
  if (p < begin || p >= begin + size_) return {};
  return rtl::bufferToString(p, static_cast<std::size_t>(begin + size_ - p));
}

namespace {

// Reads the header of the first attribute of a read result and the size its next value
// needs. Every call is recorded.
bool firstValueHeader(NWDSContextHandle context, Buf_T* result, nuint32& syntax, nuint32& size) {
  auto& c = client;
  if (!c.NWDSGetAttrCount.bind() || !c.NWDSGetAttrName.bind() || !c.NWDSComputeAttrValSize.bind() ||
      !c.NWDSGetAttrVal.bind())
    return false;
  nuint32 count = 0;
  if (c.NWDSGetAttrCount(context, result, &count) != 0 || count < 1) return false;
  char name[kAttrNameBuf] = {};
  nuint32 values = 0;
  if (c.NWDSGetAttrName(context, result, name, &values, &syntax) != 0) return false;
  return c.NWDSComputeAttrValSize(context, result, syntax, &size) == 0;
}

} // namespace

bool readFirstValue(NWDSContextHandle context, Buf_T* result, ValueBlock& value) {
  nuint32 syntax = 0, size = 0;
  if (!firstValueHeader(context, result, syntax, size)) return false;
  ValueBlock block;
  block.resize(size);
  if (client.NWDSGetAttrVal(context, result, syntax, block.data()) != 0) return false;
  block.setSyntax(syntax);
  value = std::move(block);
  return true;
}

bool readAttribute(NWDSContextHandle context, const std::string& objectName,
                   const std::string& attrName, const PassReader& onPass) {
  auto& c = client;
  if (!fits(objectName, kDirNameBuf) || !fits(attrName, kAttrNameBuf)) return false;
  if (!c.NWDSInitBuf.bind() || !c.NWDSPutAttrName.bind() || !c.NWDSRead.bind()) return false;
  ClientBuffer request;
  if (!request) return false;
  ClientBuffer result;
  if (!result) return false;
  if (c.NWDSInitBuf.unrecorded(context, DSV_READ, request.get()) != 0) return false;
  char attr[kAttrNameBuf] = {};
  rtl::copyToBuffer(attr, sizeof attr, attrName);
  if (c.NWDSPutAttrName(context, request.get(), attr) != 0) return false;
  char object[kDirNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);

  bool read = false;
  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  ScanGuard guard;
  do {
    if (c.NWDSRead(context, object, DS_ATTRIBUTE_VALUES, 0, request.get(), &iteration, result.get()) != 0)
      break;
    // A later pass may replace the value of an earlier one.
    if (onPass(result.get())) read = true;
  } while (guard.more(iteration));
  return read;
}

bool readValue(const std::string& contextName, const std::string& objectName,
               const std::string& attrName, ValueBlock& value) {
  if (!fits(objectName, kDirNameBuf) || !fits(attrName, kAttrNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  return readAttribute(working.get(), objectName, attrName,
                       [&](Buf_T* result) { return readFirstValue(working.get(), result, value); });
}

bool changeValue(const std::string& contextName, const std::string& objectName,
                 const std::string& attrName, std::uint8_t syntax, TNWDSAttrAction mode,
                 const void* value) {
  if (!fits(objectName, kDirNameBuf) || !fits(attrName, kAttrNameBuf)) return false;
  if (!client.NWDSInitBuf.bind()) return false;
  ClientBuffer buffer;
  if (!buffer) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  // Every change goes in a modify request: the client refuses changes in any other kind.
  if (client.NWDSInitBuf.unrecorded(working.get(), DSV_MODIFY_ENTRY, buffer.get()) != 0) return false;
  return _ndsModifyAttr(working.get(), buffer.get(), objectName, mode, value, syntax, attrName);
}

} // namespace detail

using detail::changeValue;
using detail::readValue;
using detail::ValueBlock;

namespace {

std::string catalogueName(TNWDSAttrType attr) {
  std::string name;
  _ndsGetAttrName(attr, name);
  return name;
}

// The client's syntax IDs are the catalogue's syntaxes; anything larger is no syntax.
TNWDSSynTypes asSyntax(nuint32 id) {
  return id < SYNTAX_COUNT ? static_cast<TNWDSSynTypes>(id) : SYNTAX_COUNT;
}

// The value pointer sent with a remove-attribute change: zeros, large enough for any
// value record of the client.
struct ZeroValue {
  alignas(std::max_align_t) std::byte bytes[64] = {};
};

// Puts an attribute name and one value into an add-entry buffer.
bool putNamedValue(NWDSContextHandle context, Buf_T* buffer, const std::string& attrName,
                   nuint32 syntax, const void* value) {
  auto& c = client;
  if (!c.NWDSPutAttrName.bind() || !c.NWDSPutAttrVal.bind() || !fits(attrName, kWriterBuf)) return false;
  char name[kWriterBuf] = {};
  rtl::copyToBuffer(name, sizeof name, attrName);
  if (c.NWDSPutAttrName(context, buffer, name) != 0) return false;
  return c.NWDSPutAttrVal(context, buffer, syntax, value) == 0;
}

} // namespace

// ---- Internal routines ---------------------------------------------------------------------

bool _ndsGetFirstAttrVal(NWDSContextHandle context, Buf_T* result, const std::string& attrName,
                         void* value, std::size_t valueSize) {
  if (!fits(attrName, kAttrNameBuf) || value == nullptr) return false;
  nuint32 syntax = 0, size = 0;
  if (!detail::firstValueHeader(context, result, syntax, size)) return false;
  if (size > valueSize) return false;
  return client.NWDSGetAttrVal(context, result, syntax, value) == 0;
}

bool _ndsPutChange(NWDSContextHandle context, Buf_T* buffer, std::uint8_t syntaxID,
                   std::uint8_t mode, const void* value, const std::string& attrName) {
  static constexpr nuint32 kChangeType[] = {DS_ADD_VALUE, DS_OVERWRITE_VALUE, DS_REMOVE_VALUE,
                                            DS_REMOVE_ATTRIBUTE};
  auto& c = client;
  if (mode > dsaaRemoveAttr || !fits(attrName, kAttrNameBuf)) return false;
  if (!c.NWDSPutChange.bind() || !c.NWDSPutAttrVal.bind()) return false;
  char name[kAttrNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, attrName);
  if (c.NWDSPutChange(context, buffer, kChangeType[mode], name) != 0) return false;
  return c.NWDSPutAttrVal(context, buffer, syntaxID, value) == 0;
}

bool _ndsModifyAttr(NWDSContextHandle context, Buf_T* buffer, const std::string& objectName,
                    std::uint8_t mode, const void* value, std::uint8_t syntaxID,
                    const std::string& attrName) {
  if (!fits(objectName, kDirNameBuf) || !client.NWDSModifyObject.bind()) return false;
  if (!_ndsPutChange(context, buffer, syntaxID, mode, value, attrName)) return false;
  char object[kDirNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  return client.NWDSModifyObject(context, object, nullptr, 0, buffer) == 0;
}

bool _ndsPutObjectClass(NWDSContextHandle context, Buf_T* buffer, const std::string& className) {
  if (!fits(className, kWriterBuf)) return false;
  char name[kWriterBuf] = {};
  rtl::copyToBuffer(name, sizeof name, className);
  return putNamedValue(context, buffer, "Object Class", SYN_CLASS_NAME, name);
}

bool _ndsPutStringAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                       const std::string& text) {
  if (!fits(text, kWriterBuf)) return false;
  char value[kWriterBuf] = {};
  rtl::copyToBuffer(value, sizeof value, text);
  return putNamedValue(context, buffer, catalogueName(attr), _ndsGetSynType(attr), value);
}

bool _ndsPutIntegerAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                        std::int32_t value) {
  return putNamedValue(context, buffer, catalogueName(attr), _ndsGetSynType(attr), &value);
}

bool _ndsPutDateTimeAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                         rtl::TDateTime value) {
  const auto seconds = static_cast<nuint32>(nwtools::delphiDateToNWDate(value));
  return putNamedValue(context, buffer, catalogueName(attr), _ndsGetSynType(attr), &seconds);
}

bool _ndsPutOctetAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                      const std::string& text) {
  std::vector<nuint8> bytes(text.begin(), text.end());
  bytes.push_back(0);
  Octet_String_T octets{static_cast<nuint32>(text.size()), bytes.data()};
  return putNamedValue(context, buffer, catalogueName(attr), _ndsGetSynType(attr), &octets);
}

// ---- Reading -------------------------------------------------------------------------------

bool ndsGetObjAttr(int context, const std::string& objectName, TNWDSAttrType attr, void* value,
                   std::size_t valueSize) {
  const std::string name = catalogueName(attr);
  return detail::readAttribute(context, objectName, name, [&](Buf_T* result) {
    return _ndsGetFirstAttrVal(context, result, name, value, valueSize);
  });
}

bool ndsGetStringAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr, std::string& text) {
  ValueBlock value;
  if (!readValue(contextName, objectName, catalogueName(attr), value) || !isTextSyntax(asSyntax(value.syntax())))
    return false;
  text = value.text(127);
  return true;
}

bool ndsGetPathAttr(const std::string& contextName, const std::string& objectName,
                    TNWDSAttrType attr, TNWDSPathInfo& path) {
  ValueBlock value;
  if (!readValue(contextName, objectName, catalogueName(attr), value) || value.syntax() != SYN_PATH ||
      value.size() < sizeof(Path_T))
    return false;
  const auto* record = static_cast<const Path_T*>(value.data());
  path.NameSpaceType = record->nameSpaceType;
  path.VolumeName = value.textAt(record->volumeName);
  path.Path = value.textAt(record->path);
  return true;
}

bool ndsGetBooleanAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, bool& result) {
  ValueBlock value;
  if (!readValue(contextName, objectName, catalogueName(attr), value) || value.syntax() != SYN_BOOLEAN ||
      value.size() < 1)
    return false;
  result = *static_cast<const nuint8*>(value.data()) == 1;
  return true;
}

bool ndsGetIntegerAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, std::int32_t& result) {
  ValueBlock value;
  if (!readValue(contextName, objectName, catalogueName(attr), value) || !isIntegerSyntax(asSyntax(value.syntax())) ||
      value.size() < sizeof(nint32))
    return false;
  std::memcpy(&result, value.data(), sizeof result);
  return true;
}

bool ndsGetDateTimeAttr(const std::string& contextName, const std::string& objectName,
                        TNWDSAttrType attr, rtl::TDateTime& result) {
  ValueBlock value;
  if (!readValue(contextName, objectName, catalogueName(attr), value) || value.syntax() != SYN_TIME ||
      value.size() < sizeof(nuint32))
    return false;
  nuint32 seconds = 0;
  std::memcpy(&seconds, value.data(), sizeof seconds);
  result = nwtools::NWDateToDelphiDate(static_cast<int>(seconds));
  return true;
}

void ndsFreeAttrBlock(void* block) { std::free(block); }

bool ndsGetMultiAttr(const std::string& contextName, const std::string& objectName,
                     TNWDSAttrType attr, rtl::TList& values) {
  auto& c = client;
  const std::string attrName = catalogueName(attr);
  if (!fits(objectName, kDirNameBuf) || !fits(attrName, kAttrNameBuf)) return false;
  if (!c.NWDSInitBuf.bind() || !c.NWDSPutAttrName.bind() || !c.NWDSRead.bind() ||
      !c.NWDSGetAttrCount.bind() || !c.NWDSGetAttrName.bind() || !c.NWDSComputeAttrValSize.bind() ||
      !c.NWDSGetAttrVal.bind())
    return false;
  char object[kDirNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  char name[kAttrNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, attrName);
  WorkingContext working(contextName);
  if (!working) return false;
  const NWDSContextHandle context = working.get();
  ClientBuffer request;
  if (!request) return false;
  ClientBuffer result;
  if (!result) return false;
  if (c.NWDSInitBuf.unrecorded(context, DSV_READ, request.get()) != 0) return false;
  if (c.NWDSPutAttrName(context, request.get(), name) != 0) return false;

  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  ScanGuard guard;
  do {
    if (c.NWDSRead(context, object, DS_ATTRIBUTE_VALUES, 0, request.get(), &iteration, result.get()) != 0)
      break;
    nuint32 count = 0, valueCount = 0, syntax = 0;
    if (c.NWDSGetAttrCount(context, result.get(), &count) != 0) return false;
    char found[kAttrNameBuf] = {};
    if (c.NWDSGetAttrName(context, result.get(), found, &valueCount, &syntax) != 0) return false;
    for (nuint32 i = 0; i < valueCount; ++i) {
      // Each value is sized on its own: values of one attribute differ in length.
      nuint32 size = 0;
      if (c.NWDSComputeAttrValSize.unrecorded(context, result.get(), syntax, &size) != 0) {
        if (i == 0) break;
        return false;
      }
      void* block = std::malloc(std::max<std::size_t>(size, 1));
      if (block == nullptr) return false;
      const NWCCODE code = c.NWDSGetAttrVal.unrecorded(context, result.get(), syntax, block);
      state.lastCode = code;
      if (code != 0) {
        if (i == 0) state.lasterror = code;
        std::free(block);
        return false;
      }
      values.Add(block);
    }
  } while (guard.more(iteration));
  return values.Count() > 0;
}

// ---- Writing -------------------------------------------------------------------------------

bool ndsAddObjAttr(const std::string& contextName, const std::string& objectName,
                   TNWDSAttrType attr, const void* value) {
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr), dsaaAdd, value);
}

bool ndsModifyObjAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr, const void* value) {
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr), dsaaEdit, value);
}

bool ndsAddToMultiAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, const void* value) {
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr), dsaaAdd, value);
}

bool ndsRemoveFromMultiAttr(const std::string& contextName, const std::string& objectName,
                            TNWDSAttrType attr, const void* value) {
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr),
                     dsaaRemoveValue, value);
}

bool ndsRemoveObjAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr) {
  const ZeroValue zero;
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr),
                     dsaaRemoveAttr, zero.bytes);
}

namespace {

bool writeText(const std::string& contextName, const std::string& objectName, TNWDSAttrType attr,
               const std::string& text, TNWDSAttrAction mode) {
  if (!fits(text, kDirNameBuf)) return false;
  char value[kDirNameBuf] = {};
  rtl::copyToBuffer(value, sizeof value, text);
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr), mode, value);
}

bool writeTime(const std::string& contextName, const std::string& objectName, TNWDSAttrType attr,
               rtl::TDateTime value, TNWDSAttrAction mode) {
  const auto seconds = static_cast<nuint32>(nwtools::delphiDateToNWDate(value));
  return changeValue(contextName, objectName, catalogueName(attr), _ndsGetSynType(attr), mode, &seconds);
}

} // namespace

bool ndsCreateStringAttr(const std::string& contextName, const std::string& objectName,
                         TNWDSAttrType attr, const std::string& text) {
  return writeText(contextName, objectName, attr, text, dsaaAdd);
}

bool ndsModifyStringAttr(const std::string& contextName, const std::string& objectName,
                         TNWDSAttrType attr, const std::string& text) {
  return writeText(contextName, objectName, attr, text, dsaaEdit);
}

bool ndsCreateIntegerAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, std::int32_t value) {
  return ndsAddObjAttr(contextName, objectName, attr, &value);
}

bool ndsModifyIntegerAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, std::int32_t value) {
  return ndsModifyObjAttr(contextName, objectName, attr, &value);
}

bool ndsCreateBooleanAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, bool value) {
  const nuint8 byte = value ? 1 : 0;
  return ndsAddObjAttr(contextName, objectName, attr, &byte);
}

bool ndsModifyBooleanAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, bool value) {
  const nuint8 byte = value ? 1 : 0;
  return ndsModifyObjAttr(contextName, objectName, attr, &byte);
}

bool ndsCreateDateTimeAttr(const std::string& contextName, const std::string& objectName,
                           TNWDSAttrType attr, rtl::TDateTime value) {
  return writeTime(contextName, objectName, attr, value, dsaaAdd);
}

bool ndsModifyDateTimeAttr(const std::string& contextName, const std::string& objectName,
                           TNWDSAttrType attr, rtl::TDateTime value) {
  return writeTime(contextName, objectName, attr, value, dsaaEdit);
}

bool ndsModifyPathAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, const TNWDSPathInfo& path) {
  constexpr std::size_t kPartBuf = 128;
  if (!fits(path.VolumeName, kPartBuf) || !fits(path.Path, kPartBuf)) return false;
  char volume[kPartBuf] = {};
  char dir[kPartBuf] = {};
  rtl::copyToBuffer(volume, sizeof volume, path.VolumeName);
  rtl::copyToBuffer(dir, sizeof dir, path.Path);
  Path_T record{path.NameSpaceType, volume, dir};
  return ndsModifyObjAttr(contextName, objectName, attr, &record);
}

// ---- By attribute name ---------------------------------------------------------------------

bool ndsReadAttr(const std::string& contextName, const std::string& objectName,
                 const std::string& attrName, TNWDSSynTypes, void* value, std::size_t valueSize) {
  if (!fits(objectName, kDirNameBuf) || !fits(attrName, kAttrNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  return detail::readAttribute(working.get(), objectName, attrName, [&](Buf_T* result) {
    return _ndsGetFirstAttrVal(working.get(), result, attrName, value, valueSize);
  });
}

bool ndsWriteAttr(const std::string& contextName, const std::string& objectName,
                  const std::string& attrName, TNWDSSynTypes syntax, const void* value) {
  return changeValue(contextName, objectName, attrName, syntax, dsaaEdit, value);
}

bool ndsAddObjAttrEx(const std::string& contextName, const std::string& objectName,
                     const std::string& attrName, TNWDSSynTypes syntax, const void* value) {
  return changeValue(contextName, objectName, attrName, syntax, dsaaAdd, value);
}

std::string ndsReadOctetAttr(const std::string& contextName, const std::string& objectName,
                             const std::string& attrName) {
  constexpr std::size_t kOctetMax = 256;
  ValueBlock value;
  if (!readValue(contextName, objectName, attrName, value)) return {};
  if ((value.syntax() != SYN_OCTET_STRING && value.syntax() != SYN_STREAM) ||
      value.size() < sizeof(Octet_String_T))
    return {};
  const auto* record = static_cast<const Octet_String_T*>(value.data());
  const auto* begin = static_cast<const nuint8*>(value.data());
  const nuint8* end = begin + value.size();
  // The bytes must lie inside the block the client filled.
  if (record->data == nullptr || record->data < begin || record->data > end) return {};
  const std::size_t room = static_cast<std::size_t>(end - record->data);
  const std::size_t length = std::min({static_cast<std::size_t>(record->length), room, kOctetMax});
  const auto* bytes = reinterpret_cast<const char*>(record->data);
  return std::string(bytes, strnlen(bytes, length));
}

bool ndsWriteOctetAttr(const std::string& contextName, const std::string& objectName,
                       const std::string& attrName, const std::string& text) {
  std::vector<nuint8> copy(text.begin(), text.end());
  copy.push_back(0);
  Octet_String_T record{static_cast<nuint32>(text.size()), copy.data()};
  return ndsWriteAttr(contextName, objectName, attrName, SYN_OCTET_STRING, &record);
}

bool ndsOpenAttrStream(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, std::unique_ptr<rtl::THandleStream>& stream) {
  constexpr std::size_t kStreamNameBuf = 48;
  const std::string attrName = catalogueName(attr);
  if (!fits(objectName, kStreamNameBuf) || !fits(attrName, kStreamNameBuf)) return false;
  if (!client.NWDSOpenStream.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char object[kStreamNameBuf] = {};
  char name[kStreamNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  rtl::copyToBuffer(name, sizeof name, attrName);
  nint32 handle = -1;
  if (client.NWDSOpenStream(working.get(), object, name, DS_READ_WRITE_STREAM, &handle) != 0) return false;
  stream = std::make_unique<rtl::THandleStream>(handle);
  return true;
}

} // namespace nwnds
