// Writes checked against the schema; adding, removing and moving objects; the schema itself.
#include "dsclient.h"

using dstest::Buffer;
using dstest::Context;

namespace {

class DirectoryWrites : public nwtest::NetworkTest {
protected:
  void SetUp() override {
    NetworkTest::SetUp();
    ctx = std::make_unique<Context>();
    ctx->setName("OU=SALES.O=TESTORG");
  }
  void TearDown() override {
    ctx.reset();
    NetworkTest::TearDown();
  }
  // Adds an object with "Object Class" and the given string attributes.
  NWCCODE add(const char* name, const char* cls, const std::vector<std::pair<const char*, const char*>>& attrs) {
    Buffer b;
    if (NWCCODE rc = NET(NWDSInitBuf)(*ctx, DSV_ADD_ENTRY, b)) return rc;
    if (NWCCODE rc = NET(NWDSPutAttrName)(*ctx, b, "Object Class")) return rc;
    if (NWCCODE rc = NET(NWDSPutAttrVal)(*ctx, b, NWDS_SYN_CLASS_NAME, cls)) return rc;
    for (auto& [a, v] : attrs) {
      if (NWCCODE rc = NET(NWDSPutAttrName)(*ctx, b, a)) return rc;
      if (NWCCODE rc = NET(NWDSPutAttrVal)(*ctx, b, NWDS_SYN_CI_STRING, v)) return rc;
    }
    return NET(NWDSAddObject)(*ctx, name, nullptr, 0, b);
  }
  std::unique_ptr<Context> ctx;
};

} // namespace

TEST_F(DirectoryWrites, SchemaRefusesBadChanges) {
  nint32 n = 5;
  struct Row {
    const char* what;
    nuint32 change;
    const char* attr;
    nuint32 syntax;
    std::vector<const void*> values;
    NWCCODE expected;
  };
  const char* two[] = {"Given1", "Given2"};
  const Row rows[] = {
      {"unknown attribute", DS_ADD_VALUE, "Shoe Size", NWDS_SYN_INTEGER, {&n}, NWDSE_NO_SUCH_ATTRIBUTE},
      {"not allowed for a user", DS_ADD_VALUE, "Queue Directory", NWDS_SYN_CI_STRING, {"X"}, NWDSE_ILLEGAL_ATTRIBUTE},
      {"wrong syntax", DS_ADD_VALUE, "Login Grace Limit", NWDS_SYN_CI_STRING, {"seven"}, NWDSE_SYNTAX_VIOLATION},
      {"second value of a single-valued attribute", DS_ADD_VALUE, "Given Name", NWDS_SYN_CI_STRING, {two[1]}, NWDSE_CANT_HAVE_MULTIPLE_VALUES},
      {"two values overwriting a single-valued one", DS_OVERWRITE_VALUE, "Given Name", NWDS_SYN_CI_STRING, {two[0], two[1]}, NWDSE_CANT_HAVE_MULTIPLE_VALUES},
      {"mandatory attribute removed", DS_REMOVE_ATTRIBUTE, "Surname", NWDS_SYN_CI_STRING, {}, NWDSE_MISSING_MANDATORY},
      {"naming value removed", DS_REMOVE_VALUE, "CN", NWDS_SYN_CI_STRING, {"JSMITH"}, NWDSE_CANT_REMOVE_NAMING_VALUE},
      {"class changed", DS_ADD_VALUE, "Object Class", NWDS_SYN_CLASS_NAME, {"Group"}, NWDSE_OBJECT_CLASS_VIOLATION},
      {"value held already", DS_ADD_VALUE, "Telephone Number", NWDS_SYN_TEL_NUMBER, {"555-0101"}, NWDSE_DUPLICATE_VALUE},
      {"value not held", DS_REMOVE_VALUE, "Telephone Number", NWDS_SYN_TEL_NUMBER, {"555-9999"}, NWDSE_NO_SUCH_VALUE},
      {"attribute not held", DS_REMOVE_ATTRIBUTE, "Title", NWDS_SYN_CI_STRING, {}, NWDSE_NO_SUCH_ATTRIBUTE},
      {"name that names nothing", DS_ADD_VALUE, "See Also", NWDS_SYN_DIST_NAME, {"CN=NOBODY"}, NWDSE_NO_SUCH_ENTRY},
  };
  for (const Row& r : rows)
    EXPECT_EQ(dstest::modify(*ctx, "JSMITH", r.change, r.attr, r.syntax, r.values), r.expected) << r.what;
  std::vector<std::string> v;
  ASSERT_EQ(dstest::readStrings(*ctx, "JSMITH", "Given Name", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"John"}) << "refused changes leave nothing behind";
}

TEST_F(DirectoryWrites, AChangeListIsAllOrNothing) {
  Buffer b;
  ASSERT_EQ(NET(NWDSInitBuf)(*ctx, DSV_MODIFY_ENTRY, b), 0);
  ASSERT_EQ(NET(NWDSPutChange)(*ctx, b, DS_ADD_VALUE, "Title"), 0);
  ASSERT_EQ(NET(NWDSPutAttrVal)(*ctx, b, NWDS_SYN_CI_STRING, "Manager"), 0);
  ASSERT_EQ(NET(NWDSPutChange)(*ctx, b, DS_ADD_VALUE, "Shoe Size"), 0);
  ASSERT_EQ(NET(NWDSPutAttrVal)(*ctx, b, NWDS_SYN_CI_STRING, "44"), 0);
  EXPECT_EQ(NET(NWDSModifyObject)(*ctx, "JSMITH", nullptr, 0, b), NWDSE_NO_SUCH_ATTRIBUTE);
  std::vector<std::string> v;
  EXPECT_EQ(dstest::readStrings(*ctx, "JSMITH", "Title", v), NWDSE_NO_SUCH_ATTRIBUTE);
}

TEST_F(DirectoryWrites, OverwriteReplacesPlainValuesAndKeyedOnesByKey) {
  ASSERT_EQ(dstest::modify(*ctx, "JSMITH", DS_OVERWRITE_VALUE, "Telephone Number", NWDS_SYN_TEL_NUMBER, {"555-7777"}), 0);
  std::vector<std::string> v;
  ASSERT_EQ(dstest::readStrings(*ctx, "JSMITH", "Telephone Number", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"555-7777"});

  // A trustee entry overwritten: the same trustee and protected attribute is replaced, the
  // object's other trustees stay.
  Object_ACL_T acl{const_cast<char*>("[Entry Rights]"), const_cast<char*>(".CN=SALESGRP.OU=SALES.O=TESTORG"), DS_ENTRY_BROWSE};
  ASSERT_EQ(dstest::modify(*ctx, ".OU=SALES.O=TESTORG", DS_OVERWRITE_VALUE, "ACL", NWDS_SYN_OBJECT_ACL, {&acl}), 0);
  Object_ACL_T other{const_cast<char*>("[Entry Rights]"), const_cast<char*>(".CN=JSMITH.OU=SALES.O=TESTORG"), DS_ENTRY_BROWSE | DS_ENTRY_RENAME};
  ASSERT_EQ(dstest::modify(*ctx, ".OU=SALES.O=TESTORG", DS_OVERWRITE_VALUE, "ACL", NWDS_SYN_OBJECT_ACL, {&other}), 0);
  nuint32 rights = 0;
  ASSERT_EQ(NET(NWDSGetEffectiveRights)(*ctx, "SALESGRP", ".OU=SALES.O=TESTORG", "[Entry Rights]", &rights), 0);
  EXPECT_EQ(rights, nuint32(DS_ENTRY_BROWSE)) << "SALESGRP's entry replaced (was BA)";
  ASSERT_EQ(NET(NWDSGetEffectiveRights)(*ctx, "SALESGRP", ".OU=SALES.O=TESTORG", "[All Attributes Rights]", &rights), 0);
  EXPECT_EQ(rights, nuint32(DS_ATTR_COMPARE | DS_ATTR_READ | DS_ATTR_WRITE)) << "its attribute entry kept";
  ASSERT_EQ(NET(NWDSGetEffectiveRights)(*ctx, "MJONES.ACCOUNTING.", ".OU=SALES.O=TESTORG", "[Entry Rights]", &rights), 0);
  EXPECT_EQ(rights, nuint32(DS_ENTRY_BROWSE | DS_ENTRY_RENAME)) << "MJONES is security equal to JSMITH";
}

TEST_F(DirectoryWrites, AddListRemoveAndMove) {
  EXPECT_EQ(add("NEWBIE", "User", {{"Full Name", "New Person"}}), NWDSE_MISSING_MANDATORY) << "a user needs a surname";
  ASSERT_EQ(add("NEWBIE", "User", {{"Surname", "Person"}, {"Full Name", "New Person"}}), 0);
  EXPECT_EQ(add("NEWBIE", "User", {{"Surname", "Person"}}), NWDSE_ENTRY_ALREADY_EXISTS);
  EXPECT_EQ(add("X.NOWHERE.", "User", {{"Surname", "X"}}), NWDSE_NO_SUCH_PARENT);
  EXPECT_EQ(add("OU=SUB.CN=NEWBIE", "Organizational Unit", {}), NWDSE_ILLEGAL_CONTAINMENT);
  EXPECT_EQ(add("WIDGET", "Person", {{"Surname", "X"}}), NWDSE_NOT_EFFECTIVE_CLASS);
  EXPECT_EQ(add("WIDGET", "Gadget", {}), NWDSE_NO_SUCH_CLASS);
  EXPECT_EQ(add("WIDGET", "Group", {{"Title", "x"}}), NWDSE_ILLEGAL_ATTRIBUTE);
  std::vector<std::string> v;
  ASSERT_EQ(dstest::readStrings(*ctx, "NEWBIE", "CN", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"NEWBIE"}) << "the naming value comes from the name";

  ASSERT_EQ(add("OU=PROJECTS", "Organizational Unit", {}), 0);
  ASSERT_EQ(NET(NWDSMoveObject)(*ctx, "NEWBIE", "PROJECTS", "NEWCOMER"), 0);
  v.clear();
  ASSERT_EQ(dstest::readStrings(*ctx, "NEWCOMER.PROJECTS", "CN", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"NEWCOMER"});
  EXPECT_EQ(NET(NWDSMoveObject)(*ctx, "PROJECTS", "NEWCOMER.PROJECTS", "PROJECTS"), NWDSE_ILLEGAL_CONTAINMENT);
  EXPECT_EQ(NET(NWDSRemoveObject)(*ctx, "PROJECTS"), NWDSE_ENTRY_IS_NOT_LEAF);
  ASSERT_EQ(NET(NWDSRemoveObject)(*ctx, "NEWCOMER.PROJECTS"), 0);
  ASSERT_EQ(NET(NWDSRemoveObject)(*ctx, "PROJECTS"), 0);
  EXPECT_EQ(NET(NWDSRemoveObject)(*ctx, "PROJECTS"), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(DirectoryWrites, RemovingAnObjectRemovesEveryReferenceToIt) {
  ASSERT_EQ(NET(NWDSRemoveObject)(*ctx, "JSMITH"), 0);
  std::vector<std::string> v;
  EXPECT_EQ(dstest::readStrings(*ctx, "SALESGRP", "Member", v), NWDSE_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(dstest::readStrings(*ctx, "MJONES.ACCOUNTING.", "Security Equals", v), NWDSE_NO_SUCH_ATTRIBUTE);
  nuint32 id = 0;
  EXPECT_EQ(NET(NWDSMapNameToID)(*ctx, 0, "JSMITH", &id), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(DirectoryWrites, AttributeDefinitionsInBlocksAndNewOnes) {
  Buffer b;
  nint32 it = NWDS_NO_MORE_ITERATIONS;
  std::vector<std::string> names;
  int blocks = 0;
  do {
    ASSERT_EQ(NET(NWDSReadAttrDef)(*ctx, DS_ATTR_DEFS, 1, nullptr, &it, b), 0);
    ++blocks;
    nuint32 count = 0;
    ASSERT_EQ(NET(NWDSGetAttrCount)(*ctx, b, &count), 0);
    for (nuint32 i = 0; i < count; ++i) {
      char name[NWDS_MAX_SCHEMA_NAME_BYTES];
      Attr_Info_T info;
      ASSERT_EQ(NET(NWDSGetAttrDef)(*ctx, b, name, &info), 0);
      names.emplace_back(name);
      if (names.back() == "Login Script") {
        EXPECT_EQ(info.attrSyntaxID, nuint32(NWDS_SYN_STREAM));
        EXPECT_TRUE(info.attrFlags & DS_SINGLE_VALUED_ATTR);
      }
    }
  } while (it != NWDS_NO_MORE_ITERATIONS && blocks < 100);
  EXPECT_EQ(names.size(), 141u) << "the catalogue's 143 attributes under 141 names";
  EXPECT_GT(blocks, 1);

  Attr_Info_T def{};
  def.attrFlags = DS_SINGLE_VALUED_ATTR;
  def.attrSyntaxID = NWDS_SYN_INTEGER;
  ASSERT_EQ(NET(NWDSDefineAttr)(*ctx, "Shoe Size", &def), 0);
  EXPECT_EQ(NET(NWDSDefineAttr)(*ctx, "Shoe Size", &def), NWDSE_ATTRIBUTE_ALREADY_EXISTS);
  EXPECT_EQ(NET(NWDSRemoveAttrDef)(*ctx, "Surname"), NWDSE_SCHEMA_IS_NONREMOVABLE);
  EXPECT_EQ(NET(NWDSRemoveAttrDef)(*ctx, "Shoe Size"), 0);
  EXPECT_EQ(NET(NWDSRemoveAttrDef)(*ctx, "Shoe Size"), NWDSE_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(NET(NWDSDefineAttr)(*ctx, "An Attribute Name Far Too Long For Its Buffer", &def), NWDSE_SCHEMA_NAME_TOO_LONG);
}

TEST_F(DirectoryWrites, ClassDefinitions) {
  Buffer items;
  ASSERT_EQ(NET(NWDSInitBuf)(*ctx, DSV_DEFINE_CLASS, items), 0);
  for (const char* list : {"Top", "Organizational Unit", "CN", "CN", "Description"}) {
    ASSERT_EQ(NET(NWDSBeginClassItem)(*ctx, items), 0);
    ASSERT_EQ(NET(NWDSPutClassItem)(*ctx, items, list), 0);
  }
  Class_Info_T info{};
  info.classFlags = DS_EFFECTIVE_CLASS;
  ASSERT_EQ(NET(NWDSDefineClass)(*ctx, "Gadget", &info, items), 0);
  EXPECT_EQ(NET(NWDSDefineClass)(*ctx, "Gadget", &info, items), NWDSE_CLASS_ALREADY_EXISTS);
  ASSERT_EQ(add("WIDGET", "Gadget", {{"Description", "A new kind of thing"}}), 0);

  Buffer names, out;
  ASSERT_EQ(NET(NWDSInitBuf)(*ctx, DSV_READ_CLASS_DEF, names), 0);
  ASSERT_EQ(NET(NWDSPutAttrName)(*ctx, names, "User"), 0);
  nint32 it = NWDS_NO_MORE_ITERATIONS;
  ASSERT_EQ(NET(NWDSReadClassDef)(*ctx, DS_CLASS_DEFS, 0, names, &it, out), 0);
  nuint32 count = 0;
  ASSERT_EQ(NET(NWDSGetClassDefCount)(*ctx, out, &count), 0);
  ASSERT_EQ(count, 1u);
  char name[NWDS_MAX_SCHEMA_NAME_BYTES];
  ASSERT_EQ(NET(NWDSGetClassDef)(*ctx, out, name, &info), 0);
  EXPECT_STREQ(name, "User");
  EXPECT_TRUE(info.classFlags & DS_EFFECTIVE_CLASS);
  nuint32 supers = 0;
  ASSERT_EQ(NET(NWDSGetClassItemCount)(*ctx, out, &supers), 0);
  ASSERT_EQ(supers, 1u);
  ASSERT_EQ(NET(NWDSGetClassItem)(*ctx, out, name), 0);
  EXPECT_STREQ(name, "Organizational Person");
}
