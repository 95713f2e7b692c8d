// Buffers and value forms: what a read delivers, in how many blocks, and what buffers of the
// wrong kind get.
#include "dsclient.h"

using dstest::Buffer;
using dstest::Context;

namespace {

class DirectoryValues : public nwtest::NetworkTest {
protected:
  // Reads the first value of one attribute into a block sized by the client.
  std::vector<char> first(NWDSContextHandle ctx, const char* object, const char* attr, nuint32& syntax, NWCCODE& rc) {
    Buffer req, res;
    std::vector<char> block;
    rc = NET(NWDSInitBuf)(ctx, DSV_READ, req);
    if (!rc) rc = NET(NWDSPutAttrName)(ctx, req, attr);
    nint32 it = NWDS_NO_MORE_ITERATIONS;
    if (!rc) rc = NET(NWDSRead)(ctx, object, DS_ATTRIBUTE_VALUES, 0, req, &it, res);
    nuint32 count = 0, values = 0, size = 0;
    char name[NWDS_MAX_SCHEMA_NAME_BYTES];
    if (!rc) rc = NET(NWDSGetAttrCount)(ctx, res, &count);
    if (!rc) rc = NET(NWDSGetAttrName)(ctx, res, name, &values, &syntax);
    if (!rc) rc = NET(NWDSComputeAttrValSize)(ctx, res, syntax, &size);
    if (!rc) {
      block.resize(size);
      rc = NET(NWDSGetAttrVal)(ctx, res, syntax, block.data());
    }
    return block;
  }
};

} // namespace

TEST_F(DirectoryValues, TextAndNameValues) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  std::vector<std::string> v;
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Full Name", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"John Smith"});
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Telephone Number", v), 0);
  EXPECT_EQ(v, (std::vector<std::string>{"555-0101", "555-0102"}));
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "SALESGRP", "Member", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"CN=JSMITH.OU=SALES.O=TESTORG"}) << "Member follows Group Membership";
  v.clear();
  c.setFlags(0x17);
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Group Membership", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"SALESGRP.SALES.TESTORG"}) << "names in values follow the typeless flag";
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Object Class", v), 0);
  ASSERT_FALSE(v.empty());
  EXPECT_EQ(v.front(), "User") << "the base class comes first";
  v.clear();
  EXPECT_EQ(dstest::readStrings(c, "JSMITH", "Title", v), NWDSE_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(dstest::readStrings(c, "JSMITH", "No Such Thing", v), NWDSE_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(dstest::readStrings(c, "NOBODY", "Full Name", v), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(DirectoryValues, RecordFormsPointInsideTheirBlock) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  nuint32 syntax = 0;
  NWCCODE rc = 0;
  auto mail = first(c, "JSMITH", "EMail Address", syntax, rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(syntax, nuint32(NWDS_SYN_EMAIL_ADDRESS));
  auto* e = reinterpret_cast<EMail_Address_T*>(mail.data());
  EXPECT_EQ(e->type, 0u);
  EXPECT_STREQ(e->address, "jsmith@testorg.example");
  EXPECT_TRUE(e->address > mail.data() && e->address < mail.data() + mail.size());

  auto home = first(c, "JSMITH", "Home Directory", syntax, rc);
  ASSERT_EQ(rc, 0);
  auto* p = reinterpret_cast<Path_T*>(home.data());
  EXPECT_STREQ(p->volumeName, "CN=NDS1_SYS.O=TESTORG");
  EXPECT_STREQ(p->path, "HOME\\JSMITH");

  auto queue = first(c, "P1", "Queue", syntax, rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(syntax, nuint32(NWDS_SYN_TYPED_NAME));
  EXPECT_STREQ(reinterpret_cast<Typed_Name_T*>(queue.data())->objectName, "CN=Q1.OU=SALES.O=TESTORG");

  auto acl = first(c, "[Root]", "ACL", syntax, rc);
  ASSERT_EQ(rc, 0);
  auto* a = reinterpret_cast<Object_ACL_T*>(acl.data());
  EXPECT_STREQ(a->protectedAttrName, "[Entry Rights]");
  EXPECT_STREQ(a->subjectName, "CN=ADMIN.O=TESTORG");
  EXPECT_EQ(a->privileges, 0x1Fu);
}

TEST_F(DirectoryValues, WrittenValuesReadBackInTheirForm) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  // Octet string with a zero inside, integer, boolean, time, e-mail record.
  const char bytes[] = {'a', 0, 'b', 'c'};
  Octet_String_T os{4, reinterpret_cast<nuint8*>(const_cast<char*>(bytes))};
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_OVERWRITE_VALUE, "Login Allowed Time Map", NWDS_SYN_OCTET_STRING, {&os}), 0);
  nint32 limit = 7;
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_OVERWRITE_VALUE, "Login Grace Limit", NWDS_SYN_INTEGER, {&limit}), 0);
  nuint8 flag = 2;
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_OVERWRITE_VALUE, "Login Disabled", NWDS_SYN_BOOLEAN, {&flag}), 0);
  nuint32 when = 1700000000u;
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_OVERWRITE_VALUE, "Login Expiration Time", NWDS_SYN_TIME, {&when}), 0);
  EMail_Address_T mail{1, const_cast<char*>("smith@other.example")};
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_ADD_VALUE, "EMail Address", NWDS_SYN_EMAIL_ADDRESS, {&mail}), 0);

  nuint32 syntax = 0;
  NWCCODE rc = 0;
  auto o = first(c, "JSMITH", "Login Allowed Time Map", syntax, rc);
  ASSERT_EQ(rc, 0);
  auto* r = reinterpret_cast<Octet_String_T*>(o.data());
  ASSERT_EQ(r->length, 4u);
  EXPECT_EQ(std::memcmp(r->data, bytes, 4), 0);
  auto i = first(c, "JSMITH", "Login Grace Limit", syntax, rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(*reinterpret_cast<nint32*>(i.data()), 7);
  auto b = first(c, "JSMITH", "Login Disabled", syntax, rc);
  ASSERT_EQ(rc, 0);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(static_cast<unsigned char>(b[0]), 2u) << "the byte as written";
  auto t = first(c, "JSMITH", "Login Expiration Time", syntax, rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(*reinterpret_cast<nuint32*>(t.data()), when);
}

TEST_F(DirectoryValues, ManyValuesComeInSeveralBlocks) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) texts.push_back("Description line number " + std::to_string(i) + " of a long list");
  {
    dstest::Buffer b;
    ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_MODIFY_ENTRY, b), 0);
    ASSERT_EQ(NET(NWDSPutChange)(c, b, DS_ADD_VALUE, "Description"), 0);
    int put = 0;
    for (auto& s : texts) {
      NWCCODE rc = NET(NWDSPutAttrVal)(c, b, NWDS_SYN_CI_STRING, s.c_str());
      if (rc == NWDSE_BUFFER_FULL) break;
      ASSERT_EQ(rc, 0);
      ++put;
    }
    EXPECT_LT(put, 300) << "a 4096-byte buffer cannot take 300 such values";
    ASSERT_EQ(NET(NWDSModifyObject)(c, "SALESGRP", nullptr, 0, b), 0);
    texts.resize(static_cast<std::size_t>(put));
  }
  // The rest in a second request.
  std::vector<std::string> all = texts;
  for (std::size_t i = texts.size(); i < 300; ++i) {
    std::string s = "Description line number " + std::to_string(i) + " of a long list";
    ASSERT_EQ(dstest::modify(c, "SALESGRP", DS_ADD_VALUE, "Description", NWDS_SYN_CI_STRING, {s.c_str()}), 0);
    all.push_back(s);
  }
  std::vector<std::string> got;
  int blocks = 0;
  ASSERT_EQ(dstest::readStrings(c, "SALESGRP", "Description", got, &blocks), 0);
  all.insert(all.begin(), "Sales staff");
  EXPECT_EQ(got, all);
  EXPECT_GT(blocks, 2);
}

TEST_F(DirectoryValues, BuffersOfTheWrongKindAreRefused) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  Buffer add, res, mod;
  ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_ADD_ENTRY, add), 0);
  EXPECT_EQ(NET(NWDSPutChange)(c, add, DS_ADD_VALUE, "Title"), NWDSE_BAD_VERB) << "a change needs a modify buffer";
  ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_MODIFY_ENTRY, mod), 0);
  EXPECT_EQ(NET(NWDSPutAttrName)(c, mod, "Title"), NWDSE_BAD_VERB);
  EXPECT_EQ(NET(NWDSPutAttrVal)(c, mod, NWDS_SYN_CI_STRING, "x"), NWDSE_ATTR_TYPE_EXPECTED) << "a value before its change";
  nint32 it = NWDS_NO_MORE_ITERATIONS;
  EXPECT_EQ(NET(NWDSRead)(c, "JSMITH", DS_ATTRIBUTE_VALUES, 0, mod, &it, res), NWDSE_BAD_VERB);
  EXPECT_EQ(NET(NWDSModifyObject)(c, "JSMITH", nullptr, 0, add), NWDSE_BAD_VERB);
  EXPECT_EQ(NET(NWDSInitBuf)(c, 99, add), NWDSE_INVALID_REQUEST);
  nuint32 count = 0;
  EXPECT_EQ(NET(NWDSGetObjectCount)(c, res, &count), NWDSE_BAD_VERB) << "nothing read into it yet";

  // Reading with the wrong syntax, and past the end.
  ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_READ, add), 0);
  ASSERT_EQ(NET(NWDSPutAttrName)(c, add, "Full Name"), 0);
  ASSERT_EQ(NET(NWDSRead)(c, "JSMITH", DS_ATTRIBUTE_VALUES, 0, add, &it, res), 0);
  EXPECT_EQ(it, NWDS_NO_MORE_ITERATIONS);
  char name[NWDS_MAX_SCHEMA_NAME_BYTES];
  nuint32 values = 0, syntax = 0;
  ASSERT_EQ(NET(NWDSGetAttrCount)(c, res, &count), 0);
  ASSERT_EQ(NET(NWDSGetAttrName)(c, res, name, &values, &syntax), 0);
  nint32 number = 0;
  EXPECT_EQ(NET(NWDSGetAttrVal)(c, res, NWDS_SYN_INTEGER, &number), NWDSE_BAD_SYNTAX);
  char text[64];
  EXPECT_EQ(NET(NWDSGetAttrVal)(c, res, NWDS_SYN_CE_STRING, text), 0) << "text forms share one form";
  EXPECT_EQ(NET(NWDSGetAttrVal)(c, res, NWDS_SYN_CI_STRING, text), NWDSE_BUFFER_EMPTY);
  EXPECT_EQ(NET(NWDSFreeBuf)(reinterpret_cast<Buf_T*>(&number)), NWDSE_INVALID_HANDLE);
  it = 99999;
  EXPECT_EQ(NET(NWDSRead)(c, "JSMITH", DS_ATTRIBUTE_VALUES, 0, add, &it, res), NWDSE_INVALID_ITERATION);
  it = 99999;
  EXPECT_EQ(NET(NWDSList)(c, "", &it, res), NWDSE_INVALID_ITERATION);
}

TEST_F(DirectoryValues, ListGivesEverySubordinateInBlocks) {
  Context c;
  c.setName("O=TESTORG");
  std::vector<std::string> names, classes;
  ASSERT_EQ(dstest::list(c, "SALES", names, &classes), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"CN=JSMITH", "CN=P1", "CN=Q1", "CN=SALESGRP"}));
  EXPECT_EQ(classes, (std::vector<std::string>{"User", "Printer", "Queue", "Group"}));
  names.clear();
  ASSERT_EQ(dstest::list(c, "", names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"OU=ACCOUNTING", "CN=ADMIN", "CN=NDS1", "CN=NDS1_SYS", "OU=SALES"}));

  // 120 more groups in one container: several blocks, none lost.
  for (int i = 0; i < 120; ++i) {
    Buffer b;
    ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_ADD_ENTRY, b), 0);
    ASSERT_EQ(NET(NWDSPutAttrName)(c, b, "Object Class"), 0);
    ASSERT_EQ(NET(NWDSPutAttrVal)(c, b, NWDS_SYN_CLASS_NAME, "Group"), 0);
    std::string n = "CN=GROUP-WITH-A-RATHER-LONG-NAME-" + std::to_string(1000 + i) + ".OU=SALES";
    ASSERT_EQ(NET(NWDSAddObject)(c, n.c_str(), nullptr, 0, b), 0) << n;
  }
  names.clear();
  int blocks = 0;
  ASSERT_EQ(dstest::list(c, "SALES", names, nullptr, &blocks), 0);
  EXPECT_EQ(names.size(), 124u);
  EXPECT_GT(blocks, 1);
}

TEST_F(DirectoryValues, SearchWithAFilterInBlocks) {
  Context c;
  c.setName("O=TESTORG");
  Buffer names, filter, out;
  ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_SEARCH, names), 0);
  ASSERT_EQ(NET(NWDSPutAttrName)(c, names, "CN"), 0);
  ASSERT_EQ(NET(NWDSInitBuf)(c, DSV_SEARCH_FILTER, filter), 0);
  Filter_Cursor_T* cur = nullptr;
  ASSERT_EQ(NET(NWDSAllocFilter)(&cur), 0);
  // Users whose common name starts with J or M.
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_BASECLS, "User", NWDS_SYN_CLASS_NAME), 0);
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_AND, nullptr, 0), 0);
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_LPAREN, nullptr, 0), 0);
  for (const char* v : {"J*", "m*"}) {
    ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_ANAME, "CN", NWDS_SYN_CI_STRING), 0);
    ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_EQ, nullptr, 0), 0);
    ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_AVAL, v, NWDS_SYN_CI_STRING), 0);
    if (*v == 'J') {
      ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_OR, nullptr, 0), 0);
    }
  }
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_RPAREN, nullptr, 0), 0);
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_END, nullptr, 0), 0);
  ASSERT_EQ(NET(NWDSPutFilter)(c, filter, cur, nullptr), 0);
  nint32 it = NWDS_NO_MORE_ITERATIONS, searched = 0;
  std::vector<std::string> found, cns;
  do {
    ASSERT_EQ(NET(NWDSSearch)(c, "", DS_SEARCH_SUBTREE, 0, filter, DS_ATTRIBUTE_VALUES, 0, names, &it, 0, &searched, out), 0);
    nuint32 count = 0;
    ASSERT_EQ(NET(NWDSGetObjectCount)(c, out, &count), 0);
    for (nuint32 i = 0; i < count; ++i) {
      char name[NWDS_MAX_DN_BYTES];
      nuint32 attrs = 0;
      ASSERT_EQ(NET(NWDSGetObjectName)(c, out, name, &attrs, nullptr), 0);
      found.emplace_back(name);
      ASSERT_EQ(attrs, 1u);
      char attr[NWDS_MAX_SCHEMA_NAME_BYTES];
      nuint32 values = 0, syntax = 0;
      ASSERT_EQ(NET(NWDSGetAttrName)(c, out, attr, &values, &syntax), 0);
      char cn[256];
      ASSERT_EQ(NET(NWDSGetAttrVal)(c, out, syntax, cn), 0);
      cns.emplace_back(cn);
    }
  } while (it != NWDS_NO_MORE_ITERATIONS);
  EXPECT_EQ(found, (std::vector<std::string>{"CN=MJONES.OU=ACCOUNTING.O=TESTORG", "CN=JSMITH.OU=SALES.O=TESTORG"}));
  EXPECT_EQ(cns, (std::vector<std::string>{"MJONES", "JSMITH"}));
  EXPECT_GT(searched, 8);

  // A malformed filter is refused and its cursor freed all the same.
  std::size_t open = nwsim::openDirectoryBuffers();
  ASSERT_EQ(NET(NWDSAllocFilter)(&cur), 0);
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_ANAME, "CN", NWDS_SYN_CI_STRING), 0);
  ASSERT_EQ(NET(NWDSAddFilterToken)(cur, FTOK_END, nullptr, 0), 0);
  EXPECT_EQ(NET(NWDSPutFilter)(c, filter, cur, nullptr), NWDSE_INVALID_FILTER_SYNTAX);
  EXPECT_EQ(nwsim::openDirectoryBuffers(), open);
  EXPECT_EQ(NET(NWDSFreeFilter)(cur, nullptr), NWDSE_INVALID_HANDLE) << "already freed";
}
