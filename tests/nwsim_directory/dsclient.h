#pragma once
// Directory calls of the simulated client for these tests, bound from the profile under
// test, and small helpers around contexts and buffers.
#include "nwsim/client.h"
#include "fixtures/netfixture.h"

#include <cstring>
#include <string>
#include <vector>

#define NET(fn) CLIENT_FN("NETWIN32.DLL", fn)
#define LOC(fn) CLIENT_FN("LOCWIN32.DLL", fn)

namespace dstest {

/// A context freed at the end of the scope.
struct Context {
  NWDSContextHandle h = NET(NWDSCreateContext)();
  ~Context() {
    if (h) NET(NWDSFreeContext)(h);
  }
  operator NWDSContextHandle() const { return h; }
  void setName(const char* name) { ASSERT_EQ(NET(NWDSSetContext)(h, DCK_NAME_CONTEXT, name), 0) << name; }
  void setFlags(nuint32 f) { ASSERT_EQ(NET(NWDSSetContext)(h, DCK_FLAGS, &f), 0); }
};

/// A buffer freed at the end of the scope.
struct Buffer {
  Buf_T* b = nullptr;
  explicit Buffer(nuint32 size = 4096) { EXPECT_EQ(NET(NWDSAllocBuf)(size, &b), 0); }
  ~Buffer() {
    if (b) NET(NWDSFreeBuf)(b);
  }
  operator Buf_T*() const { return b; }
};

/// Every value of one attribute as text (distinguished names and strings), read with
/// NWDSRead in as many blocks as it takes.
inline NWCCODE readStrings(NWDSContextHandle ctx, const char* object, const char* attr, std::vector<std::string>& out,
                           int* blocks = nullptr) {
  Buffer req, res;
  if (NWCCODE rc = NET(NWDSInitBuf)(ctx, DSV_READ, req)) return rc;
  if (NWCCODE rc = NET(NWDSPutAttrName)(ctx, req, attr)) return rc;
  nint32 it = NWDS_NO_MORE_ITERATIONS;
  int n = 0;
  do {
    if (NWCCODE rc = NET(NWDSRead)(ctx, object, DS_ATTRIBUTE_VALUES, 0, req, &it, res)) return rc;
    ++n;
    nuint32 count = 0, values = 0, syntax = 0;
    char name[NWDS_MAX_SCHEMA_NAME_BYTES];
    if (NWCCODE rc = NET(NWDSGetAttrCount)(ctx, res, &count)) return rc;
    for (nuint32 a = 0; a < count; ++a) {
      if (NWCCODE rc = NET(NWDSGetAttrName)(ctx, res, name, &values, &syntax)) return rc;
      for (nuint32 v = 0; v < values; ++v) {
        nuint32 size = 0;
        if (NWCCODE rc = NET(NWDSComputeAttrValSize)(ctx, res, syntax, &size)) return rc;
        std::vector<char> block(size);
        if (NWCCODE rc = NET(NWDSGetAttrVal)(ctx, res, syntax, block.data())) return rc;
        out.emplace_back(block.data());
      }
    }
  } while (it != NWDS_NO_MORE_ITERATIONS && n < 1000);
  if (blocks) *blocks = n;
  return 0;
}

/// One change of one attribute with the given values (each a pointer in the syntax's form).
inline NWCCODE modify(NWDSContextHandle ctx, const char* object, nuint32 change, const char* attr, nuint32 syntax,
                      const std::vector<const void*>& values) {
  Buffer b;
  if (NWCCODE rc = NET(NWDSInitBuf)(ctx, DSV_MODIFY_ENTRY, b)) return rc;
  if (NWCCODE rc = NET(NWDSPutChange)(ctx, b, change, attr)) return rc;
  for (const void* v : values)
    if (NWCCODE rc = NET(NWDSPutAttrVal)(ctx, b, syntax, v)) return rc;
  return NET(NWDSModifyObject)(ctx, object, nullptr, 0, b);
}

/// The names NWDSList gives for a container, in all its blocks.
inline NWCCODE list(NWDSContextHandle ctx, const char* object, std::vector<std::string>& names,
                    std::vector<std::string>* classes = nullptr, int* blocks = nullptr) {
  Buffer b;
  nint32 it = NWDS_NO_MORE_ITERATIONS;
  int n = 0;
  do {
    if (NWCCODE rc = NET(NWDSList)(ctx, object, &it, b)) return rc;
    ++n;
    nuint32 count = 0;
    if (NWCCODE rc = NET(NWDSGetObjectCount)(ctx, b, &count)) return rc;
    for (nuint32 i = 0; i < count; ++i) {
      char name[NWDS_MAX_DN_BYTES];
      nuint32 attrs = 0;
      Object_Info_T info;
      if (NWCCODE rc = NET(NWDSGetObjectName)(ctx, b, name, &attrs, &info)) return rc;
      names.emplace_back(name);
      if (classes) classes->emplace_back(info.baseClass);
    }
  } while (it != NWDS_NO_MORE_ITERATIONS && n < 1000);
  if (blocks) *blocks = n;
  return 0;
}

} // namespace dstest
