// The directory unit against the simulated tree TESTTREE of the test network, as workstation
// WS-TEST (logged in to the directory as ADMIN).
#include "directory_fixture.h"

#include <nwnds/nwnds.h>
#include <nwserver/nwserver.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>


// ---- Unit object and contexts -------------------------------------------------------------

TEST_F(Directory, ConstructionNamesTheInternalContextRoot) {
  EXPECT_NE(hNWNet(), nullptr);
  EXPECT_NE(hNWLoc(), nullptr);
  EXPECT_NE(getInternalContextHandle(), 0);
  EXPECT_EQ(ndsGetContextName(), "[Root]");
  EXPECT_EQ(lasterror(), 0);
  EXPECT_EQ(nwsim::openDirectoryContexts(), 1u);
}

TEST_F(Directory, ConstructingAgainFreesTheOldContextAndDestructionClearsIt) {
  unit = std::make_unique<TNWNDS>();
  EXPECT_EQ(nwsim::openDirectoryContexts(), 1u) << "the first unit object's context leaked";
  EXPECT_EQ(ndsGetContextName(), "[Root]") << "the replaced object left the new context alone";
  unit.reset();
  EXPECT_EQ(getInternalContextHandle(), 0);
  EXPECT_EQ(nwsim::openDirectoryContexts(), 0u);
  EXPECT_EQ(ndsGetContextName(), "") << "a freed context must not be used";
  unit = std::make_unique<TNWNDS>();
}

TEST_F(Directory, SetContextTrimsAndRefusesUnknownNames) {
  EXPECT_TRUE(ndsSetContext("  OU=SALES.O=TESTORG  ")) << unitError();
  EXPECT_EQ(ndsGetContextName(), kSales);
  EXPECT_TRUE(ndsSetContext("ACCOUNTING.TESTORG")) << "typeless names are accepted";
  EXPECT_EQ(ndsGetContextName(), "OU=ACCOUNTING.O=TESTORG");
  EXPECT_FALSE(ndsSetContext("OU=NOWHERE.O=TESTORG"));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
  EXPECT_EQ(ndsGetContextName(), "OU=ACCOUNTING.O=TESTORG");
  EXPECT_TRUE(resetOstrelContext());
  EXPECT_EQ(ndsGetContextName(), "[Root]");
}

TEST_F(Directory, OverlongContextNamesAreRefusedWithoutAClientCall) {
  const std::string longName = "OU=" + std::string(125, 'X');  // 128 characters
  const auto before = calls("NWDSSetContext");
  EXPECT_FALSE(ndsSetContext(longName));
  int handle = ndsGetContextHandle();
  EXPECT_FALSE(ndsSetContextName(handle, longName));
  ndsFreeContext(handle);
  std::string text = "kept";
  EXPECT_FALSE(ndsGetStringAttr(longName, kJSmith, dsaSurname, text));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(calls("NWDSSetContext"), before);
  EXPECT_EQ(calls("NWDSRead"), 0u);
}

TEST_F(Directory, FlagsAreAddedNeverCleared) {
  EXPECT_EQ(ndsGetContextFlags(), 0x13);
  EXPECT_TRUE(ndsSetContextFlags(0x04));
  EXPECT_EQ(ndsGetContextFlags(), 0x17);
  EXPECT_TRUE(ndsSetContextFlags(0x01));
  EXPECT_EQ(ndsGetContextFlags(), 0x17);
  int handle = ndsGetContextHandle();
  EXPECT_TRUE(ndsSetUserContextFlags(handle, 0x80));
  EXPECT_EQ(ndsGetContextFlags(), 0x17) << "another context's flags";
  EXPECT_TRUE(ndsFreeContext(handle));
}

TEST_F(Directory, ReplaceContextFlagsReplaces) {
  EXPECT_TRUE(ndsReplaceContextFlags(0x04));
  EXPECT_EQ(ndsGetContextFlags(), 0x04);
  EXPECT_TRUE(ndsReplaceContextFlags(0x13));
  EXPECT_EQ(ndsGetContextFlags(), 0x13);
}

TEST_F(Directory, SwitchingAFlagLeavesTheOthers) {
  ASSERT_TRUE(ndsSwitchContextFlag(0x04, true));
  EXPECT_EQ(ndsGetContextFlags(), 0x17);
  ASSERT_TRUE(ndsSwitchContextFlag(0x01, false));
  EXPECT_EQ(ndsGetContextFlags(), 0x16);
}

TEST_F(Directory, AFailedFlagsReadWritesNothing) {
  nwsim::injectFault("NWDSGetContext", NWDSE_BAD_CONTEXT, 1);
  EXPECT_FALSE(ndsSetContextFlags(0x04));
  nwsim::injectFault("NWDSGetContext", NWDSE_BAD_CONTEXT, 1);
  EXPECT_FALSE(ndsReplaceContextFlags(0x04));
  nwsim::injectFault("NWDSGetContext", NWDSE_BAD_CONTEXT, 1);
  EXPECT_FALSE(ndsSwitchContextFlag(0x02, false));
  EXPECT_EQ(calls("NWDSSetContext"), 0u);
  EXPECT_EQ(lasterror(), NWDSE_BAD_CONTEXT);
  EXPECT_EQ(ndsGetContextFlags(), 0x13);
}

TEST_F(Directory, ContextNameOfAnOperationRepointsTheInternalContext) {
  std::string surname;
  EXPECT_TRUE(ndsGetStringAttr(" " + kSales + " ", "JSMITH", dsaSurname, surname)) << unitError();
  EXPECT_EQ(surname, "Smith");
  EXPECT_EQ(ndsGetContextName(), kSales);
  // An empty context name now works in the context last named.
  std::string given;
  EXPECT_TRUE(ndsGetStringAttr("", "JSMITH", dsaGivenName, given)) << unitError();
  EXPECT_EQ(given, "John");
  EXPECT_TRUE(resetOstrelContext());
  EXPECT_FALSE(ndsGetStringAttr("", "JSMITH", dsaGivenName, given));
  EXPECT_EQ(ndsGetContextName(), "[Root]");
}

TEST_F(Directory, AnUnknownContextNameFailsTheOperationAndKeepsTheInternalContext) {
  ASSERT_TRUE(ndsSetContext(kSales));
  std::string surname = "kept";
  EXPECT_FALSE(ndsGetStringAttr("OU=NOWHERE.O=TESTORG", "JSMITH", dsaSurname, surname));
  EXPECT_EQ(surname, "kept");
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
  EXPECT_EQ(calls("NWDSRead"), 0u);
  EXPECT_EQ(ndsGetContextName(), kSales);
}

TEST_F(Directory, NamingTheInternalContextItselfKeepsItUsable) {
  int internal = getInternalContextHandle();
  EXPECT_TRUE(ndsSetContextName(internal, kSales));
  EXPECT_EQ(getInternalContextHandle(), internal);
  EXPECT_EQ(ndsGetContextName(), kSales);
}

TEST_F(Directory, ANamedContextBecomesTheInternalOneByCopy) {
  int handle = ndsGetContextHandle();
  ASSERT_NE(handle, 0);
  EXPECT_TRUE(ndsSetContextName(handle, kSales));
  EXPECT_NE(getInternalContextHandle(), handle);
  EXPECT_EQ(ndsGetContextName(), kSales);
  EXPECT_TRUE(ndsFreeContext(handle));
  EXPECT_EQ(ndsGetContextName(), kSales) << "the copy outlives the caller's context";
  int copy = ndsCopyContext(getInternalContextHandle());
  EXPECT_NE(copy, 0);
  EXPECT_TRUE(ndsFreeContext(copy));
}

// ---- Names and IDs ------------------------------------------------------------------------

TEST_F(Directory, NameConversions) {
  EXPECT_EQ(ndsExpandName("JSMITH.SALES.TESTORG"), kJSmith) << unitError();
  EXPECT_EQ(ndsGetTypelessName(kJSmith), "JSMITH.SALES.TESTORG");
  ASSERT_TRUE(ndsSetContext(kSales));
  EXPECT_EQ(ndsAbbreviateName(kJSmith), "CN=JSMITH");
  EXPECT_EQ(ndsGetRootName("JSMITH"), kOrg) << "names are relative to the name context";
  EXPECT_EQ(ndsGetRootName("." + kJSmith), kOrg);
  EXPECT_EQ(ndsWhoAmI(), kAdmin);
  EXPECT_EQ(ndsExpandName("CN=NOBODY.OU=NOWHERE"), "CN=NOBODY.OU=NOWHERE.OU=SALES.O=TESTORG");
}

TEST_F(Directory, ExpandNameRestoresTheFlags) {
  ASSERT_TRUE(ndsReplaceContextFlags(0x04));
  EXPECT_EQ(ndsExpandName(".JSMITH.SALES.TESTORG"), kJSmith) << "typed despite the typeless flag";
  EXPECT_EQ(ndsGetContextFlags(), 0x04);
  nwsim::injectFault("NWDSCanonicalizeName", NWDSE_INVALID_OBJECT_NAME, 1);
  EXPECT_EQ(ndsExpandName("JSMITH.SALES.TESTORG"), "");
  EXPECT_EQ(lasterror(), NWDSE_INVALID_OBJECT_NAME);
  EXPECT_EQ(ndsGetContextFlags(), 0x04);
}

TEST_F(Directory, OverlongNamesAreRefusedWithoutAClientCall) {
  const std::string longName = "CN=" + std::string(253, 'A');  // 256 characters
  NWCONN_HANDLE conn = 5;
  EXPECT_EQ(ndsExpandName(longName), "");
  EXPECT_EQ(ndsGetObjID(0, longName), "");
  EXPECT_EQ(ndsGetObjNumber(conn, longName), 0u);
  EXPECT_EQ(conn, 0u);
  std::string text = "kept";
  EXPECT_FALSE(ndsGetStringAttr("", longName, dsaSurname, text));
  EXPECT_FALSE(ndsModifyStringAttr("", longName, dsaSurname, "x"));
  EXPECT_FALSE(ndsAddSecurityEquals("", longName, kAdmin));
  EXPECT_FALSE(ndsAddObjToGroup(longName, kSalesGroup));
  TNWDSEntryRights rights;
  EXPECT_FALSE(ndsGetEntryRights(kAdmin, longName, rights));
  for (const char* fn : {"NWDSCanonicalizeName", "NWDSMapNameToID", "NWDSAuditGetObjectID", "NWDSRead",
                         "NWDSModifyObject", "NWDSAddSecurityEquiv", "NWDSGetEffectiveRights"})
    EXPECT_EQ(calls(fn), 0u) << fn;
}

TEST_F(Directory, ObjectIDsAndBack) {
  NWCONN_HANDLE conn = 0;
  const std::uint32_t id = ndsGetObjNumber(conn, kJSmith);
  EXPECT_NE(id, 0u) << unitError();
  EXPECT_NE(conn, 0u);
  EXPECT_EQ(ndsGetObjID(conn, kJSmith), "5A000010") << unitError();
  EXPECT_EQ(ndsGetObjName(conn, static_cast<std::int32_t>(id)), kJSmith);
  EXPECT_EQ(ndsGetObjID(conn, "CN=NOBODY.O=TESTORG"), "");
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(Directory, ServerNamesAndTheReplicaConnection) {
  [[maybe_unused]] nwserver::TNWServer serverUnit;  // loads the client for getServerHandle
  const NWCONN_HANDLE nds = nwserver::getServerHandle("NDS1");
  ASSERT_NE(nds, 0u);
  EXPECT_EQ(ndsGetServerDN(nds), "CN=NDS1.O=TESTORG");
  EXPECT_TRUE(ndsSetReplicaServer(nds)) << unitError();
  EXPECT_EQ(ndsGetBinderyContextName(ostrel::getPrimaryServerID()), "") << "FS1 is a bindery server";
  EXPECT_EQ(ndsGetServerDN(0xBAD), "");
  EXPECT_EQ(lasterror(), 0) << "these record nothing";
  EXPECT_FALSE(ndsSetReplicaServer(0xBAD));
  EXPECT_NE(lasterror(), 0);
}

TEST_F(Directory, CloseFreesTheUnicodeTablesOnce) {
  EXPECT_TRUE(ndsClose());
  EXPECT_FALSE(ndsClose());
  EXPECT_EQ(lasterror(), NWDSE_UNICODE_FILE_NOT_FOUND);
  EXPECT_TRUE(ndsInit()) << "initialising again works";
}

// ---- Typed reads --------------------------------------------------------------------------

TEST_F(Directory, StringOfAMissingAttributeLeavesTheVariable) {
  std::string title = "kept";
  EXPECT_FALSE(ndsGetStringAttr("", kJSmith, dsaTitle, title));
  EXPECT_EQ(title, "kept");
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ATTRIBUTE);
}

TEST_F(Directory, ValuesOfAnotherFormAreRefused) {
  std::int32_t number = 7;
  EXPECT_FALSE(ndsGetIntegerAttr("", kJSmith, dsaSurname, number));
  EXPECT_EQ(number, 7);
  std::string text = "kept";
  EXPECT_FALSE(ndsGetStringAttr("", kJSmith, dsaHomeDirectory, text));
  EXPECT_EQ(text, "kept");
  bool flag = true;
  EXPECT_FALSE(ndsGetBooleanAttr("", kJSmith, dsaSurname, flag));
  EXPECT_TRUE(flag);
}

TEST_F(Directory, LongStringsAreCutTo127Characters) {
  const std::string longText(200, 'd');
  ASSERT_TRUE(ndsModifyStringAttr("", kJSmith, dsaDescription, longText)) << unitError();
  std::string read;
  EXPECT_TRUE(ndsGetStringAttr("", kJSmith, dsaDescription, read));
  EXPECT_EQ(read, std::string(127, 'd'));
  EXPECT_FALSE(ndsModifyStringAttr("", kJSmith, dsaDescription, std::string(256, 'e')))
      << "a text longer than its buffer is refused";
  EXPECT_TRUE(ndsGetStringAttr("", kJSmith, dsaDescription, read));
  EXPECT_EQ(read, std::string(127, 'd'));
}

TEST_F(Directory, PathValues) {
  TNWDSPathInfo path;
  ASSERT_TRUE(ndsGetPathAttr("", kJSmith, dsaHomeDirectory, path)) << unitError();
  EXPECT_EQ(path.VolumeName, "CN=NDS1_SYS.O=TESTORG");
  EXPECT_EQ(path.Path, "HOME\\JSMITH");
  EXPECT_EQ(path.NameSpaceType, 0u);
  TNWDSPathInfo moved{0, "CN=NDS1_SYS.O=TESTORG", "USERS\\JSMITH"};
  EXPECT_TRUE(ndsModifyPathAttr("", kJSmith, dsaHomeDirectory, moved)) << unitError();
  ASSERT_TRUE(ndsGetPathAttr("", kJSmith, dsaHomeDirectory, path));
  EXPECT_EQ(path.Path, "USERS\\JSMITH");
  TNWDSPathInfo tooLong{0, "CN=NDS1_SYS.O=TESTORG", std::string(128, 'P')};
  EXPECT_FALSE(ndsModifyPathAttr("", kJSmith, dsaHomeDirectory, tooLong));
}

TEST_F(Directory, RemovingAnAttributeOfARecordSyntax) {
  ASSERT_TRUE(ndsRemoveObjAttr("", kJSmith, dsaHomeDirectory)) << unitError();
  TNWDSPathInfo path;
  EXPECT_FALSE(ndsGetPathAttr("", kJSmith, dsaHomeDirectory, path));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ATTRIBUTE);
}

TEST_F(Directory, BooleanIntegerAndTimeRoundTrips) {
  bool disabled = false;
  ASSERT_TRUE(ndsModifyBooleanAttr("", kJSmith, dsaLoginDisabled, true)) << unitError();
  EXPECT_TRUE(ndsGetBooleanAttr("", kJSmith, dsaLoginDisabled, disabled));
  EXPECT_TRUE(disabled);
  ASSERT_TRUE(ndsModifyBooleanAttr("", kJSmith, dsaLoginDisabled, false));
  EXPECT_TRUE(ndsGetBooleanAttr("", kJSmith, dsaLoginDisabled, disabled));
  EXPECT_FALSE(disabled);

  std::int32_t grace = 0;
  ASSERT_TRUE(ndsCreateIntegerAttr("", kJSmith, dsaLoginGraceLimit, 6)) << unitError();
  EXPECT_TRUE(ndsGetIntegerAttr("", kJSmith, dsaLoginGraceLimit, grace));
  EXPECT_EQ(grace, 6);
  ASSERT_TRUE(ndsModifyIntegerAttr("", kJSmith, dsaLoginGraceLimit, -3));
  EXPECT_TRUE(ndsGetIntegerAttr("", kJSmith, dsaLoginGraceLimit, grace));
  EXPECT_EQ(grace, -3);

  const rtl::TDateTime when = rtl::EncodeDate(2027, 3, 14) + rtl::EncodeTime(15, 9, 26, 0);
  ASSERT_TRUE(ndsCreateDateTimeAttr("", kJSmith, dsaLoginExpirationTime, when)) << unitError();
  rtl::TDateTime read = 0;
  EXPECT_TRUE(ndsGetDateTimeAttr("", kJSmith, dsaLoginExpirationTime, read));
  EXPECT_NEAR(read, when, 0.5 / 86400);

  // A whole second comes back as that second, not the one before.
  const rtl::TDateTime later = rtl::EncodeDate(2031, 7, 14) + rtl::EncodeTime(13, 45, 27, 0);
  ASSERT_TRUE(ndsModifyDateTimeAttr("", kJSmith, dsaLoginExpirationTime, later)) << unitError();
  EXPECT_TRUE(ndsGetDateTimeAttr("", kJSmith, dsaLoginExpirationTime, read));
  EXPECT_EQ(rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", read), "2031-07-14 13:45:27");
}

TEST_F(Directory, OnlyAByteOfOneIsTrue) {
  const nuint8 two = 2;
  ASSERT_TRUE(ndsModifyObjAttr("", kJSmith, dsaLoginDisabled, &two)) << unitError();
  bool value = true;
  EXPECT_TRUE(ndsGetBooleanAttr("", kJSmith, dsaLoginDisabled, value));
  EXPECT_FALSE(value);
}

TEST_F(Directory, RawReadsAreBoundedByTheCallersMemory) {
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FALSE(ndsReadAttr("", kJSmith, "Surname", SYN_CI_STRING, small, sizeof small));
  EXPECT_EQ(std::string(small, 4), "xxxx");
  char room[16] = {};
  EXPECT_TRUE(ndsReadAttr("", kJSmith, "Surname", SYN_UNKNOWN, room, sizeof room)) << unitError();
  EXPECT_STREQ(room, "Smith");
  int working = ndsGetContextHandle();
  char fits[6] = {};
  EXPECT_TRUE(ndsGetObjAttr(working, kJSmith, dsaSurname, fits, sizeof fits));
  EXPECT_STREQ(fits, "Smith");
  ndsFreeContext(working);
}

// ---- Multi-valued reads ---------------------------------------------------------------------

TEST_F(Directory, MultiAppendsToWhatTheListHolds) {
  Values v;
  v.list.Add(std::malloc(1));
  v.list.Add(std::malloc(1));
  EXPECT_TRUE(ndsGetMultiAttr("", kJSmith, dsaTelephoneNumber, v.list)) << unitError();
  ASSERT_EQ(v.list.Count(), 4);
  EXPECT_EQ(v.text(2), "555-0101");
  EXPECT_EQ(v.text(3), "555-0102");
  EXPECT_TRUE(ndsGetMultiAttr("", kMJones, dsaTelephoneNumber, v.list)) << "true: the list was not empty";
  EXPECT_EQ(v.list.Count(), 4);
  Values empty;
  EXPECT_FALSE(ndsGetMultiAttr("", kMJones, dsaTelephoneNumber, empty.list));
}

TEST_F(Directory, MultiReadsEveryBlockOfALongAttribute) {
  for (int i = 0; i < 400; ++i) {
    const std::string number = "555-" + std::to_string(2000 + i);
    ASSERT_TRUE(ndsAddToMultiAttr("", kJSmith, dsaTelephoneNumber, number.c_str())) << i << " " << unitError();
  }
  nwsim::resetCallCounts();
  Values v;
  ASSERT_TRUE(ndsGetMultiAttr("", kJSmith, dsaTelephoneNumber, v.list)) << unitError();
  ASSERT_EQ(v.list.Count(), 402);
  EXPECT_GT(calls("NWDSRead"), 1u) << "the values come in more than one block";
  EXPECT_EQ(v.text(0), "555-0101");
  EXPECT_EQ(v.text(401), "555-2399");
  EXPECT_EQ(calls("NWDSComputeAttrValSize"), 402u) << "each value is sized";
}

TEST_F(Directory, AFailedValueFailsTheReadAndIsRecorded) {
  ASSERT_TRUE(ndsAddToMultiAttr("", kJSmith, dsaTelephoneNumber, "555-0103")) << unitError();
  Values v;
  nwsim::injectFault("NWDSGetAttrVal", NWDSE_BAD_SYNTAX, 1);
  EXPECT_FALSE(ndsGetMultiAttr("", kJSmith, dsaTelephoneNumber, v.list));
  EXPECT_EQ(v.list.Count(), 0);
  EXPECT_EQ(lasterror(), NWDSE_BAD_SYNTAX);
}

TEST_F(Directory, MultiStopsAtAReadFailure) {
  Values v;
  nwsim::injectFault("NWDSRead", NWDSE_NO_ACCESS, 1);
  EXPECT_FALSE(ndsGetMultiAttr("", kJSmith, dsaTelephoneNumber, v.list));
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
  EXPECT_EQ(calls("NWDSRead"), 1u);
}

// ---- Changes --------------------------------------------------------------------------------

TEST_F(Directory, EveryChangeGoesInAModifyRequest) {
  // An add-entry buffer would be refused by the client; each of these succeeds only in a
  // modify request.
  ASSERT_TRUE(ndsCreateStringAttr("", kJSmith, dsaTitle, "Salesman")) << unitError();
  std::string title;
  EXPECT_TRUE(ndsGetStringAttr("", kJSmith, dsaTitle, title));
  EXPECT_EQ(title, "Salesman");
  EXPECT_TRUE(ndsAddObjAttrEx("", kJSmith, "Telephone Number", SYN_TEL_NUMBER, "555-0199")) << unitError();
  EXPECT_TRUE(ndsWriteAttr("", kJSmith, "Title", SYN_CI_STRING, "Manager")) << unitError();
  EXPECT_TRUE(ndsGetStringAttr("", kJSmith, dsaTitle, title));
  EXPECT_EQ(title, "Manager");
  const auto modifies = calls("NWDSModifyObject");
  const auto changes = calls("NWDSPutChange");
  EXPECT_TRUE(ndsRemoveObjAttr("", kJSmith, dsaTitle)) << unitError();
  EXPECT_EQ(calls("NWDSModifyObject"), modifies + 1);
  EXPECT_EQ(calls("NWDSPutChange"), changes + 1);
  EXPECT_FALSE(ndsGetStringAttr("", kJSmith, dsaTitle, title));
}

TEST_F(Directory, AddingAndRemovingValues) {
  EXPECT_TRUE(ndsAddToMultiAttr("", kJSmith, dsaTelephoneNumber, "555-0103")) << unitError();
  EXPECT_FALSE(ndsAddToMultiAttr("", kJSmith, dsaTelephoneNumber, "555-0103"));
  EXPECT_EQ(lasterror(), NWDSE_DUPLICATE_VALUE);
  EXPECT_TRUE(ndsRemoveFromMultiAttr("", kJSmith, dsaTelephoneNumber, "555-0101")) << unitError();
  Values v;
  ASSERT_TRUE(ndsGetMultiAttr("", kJSmith, dsaTelephoneNumber, v.list));
  ASSERT_EQ(v.list.Count(), 2);
  EXPECT_EQ(v.text(0), "555-0102");
  EXPECT_EQ(v.text(1), "555-0103");
}

TEST_F(Directory, AChangeRefusedByTheDirectoryIsRecorded) {
  EXPECT_FALSE(ndsModifyStringAttr("", "CN=NOBODY.O=TESTORG", dsaTitle, "x"));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
  nwsim::injectFault("NWDSAllocBuf", NWDSE_NOT_ENOUGH_MEMORY, 1);
  unit->resetLastError();
  EXPECT_FALSE(ndsModifyStringAttr("", kJSmith, dsaTitle, "x"));
  EXPECT_EQ(lasterror(), 0) << "a failed allocation is not recorded";
  EXPECT_EQ(calls("NWDSModifyObject"), 1u);
}

TEST_F(Directory, OctetValuesStopAtAZeroByte) {
  EXPECT_TRUE(ndsWriteOctetAttr("", kJSmith, "Login Allowed Time Map", "abc")) << unitError();
  EXPECT_EQ(ndsReadOctetAttr("", kJSmith, "Login Allowed Time Map"), "abc");
  EXPECT_TRUE(ndsWriteOctetAttr("", kJSmith, "Login Allowed Time Map", std::string("ab\0cd", 5)));
  EXPECT_EQ(ndsReadOctetAttr("", kJSmith, "Login Allowed Time Map"), "ab");
  EXPECT_TRUE(ndsWriteOctetAttr("", kJSmith, "Login Allowed Time Map", std::string(300, 'o')));
  EXPECT_EQ(ndsReadOctetAttr("", kJSmith, "Login Allowed Time Map"), std::string(256, 'o'));
  EXPECT_EQ(ndsReadOctetAttr("", kJSmith, "Surname"), "") << "not an octet string";
}

TEST_F(Directory, StreamsOpenForReadingAndWriting) {
  std::unique_ptr<rtl::THandleStream> stream;
  ASSERT_TRUE(ndsOpenAttrStream("", kJSmith, dsaLoginScript, stream)) << unitError();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->ReadAll(), "MAP F:=NDS1_SYS:\nWRITE \"Good day, John\"\n");
  ::close(stream->Handle());
  const std::string longObject = "CN=" + std::string(45, 'S');  // 48 characters
  std::unique_ptr<rtl::THandleStream> none;
  EXPECT_FALSE(ndsOpenAttrStream("", longObject, dsaLoginScript, none));
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(calls("NWDSOpenStream"), 1u);
}

// ---- Schema ---------------------------------------------------------------------------------

TEST_F(Directory, AttributeDefinitionsAreListedWithTheirSyntax) {
  auto list = ndsGetObjAttrList("", "ignored");
  ASSERT_GT(list->Count(), 20) << unitError();
  const int surname = list->IndexOf("Surname");
  ASSERT_GE(surname, 0);
  EXPECT_EQ(list->Objects(surname), SYN_CI_STRING);
  EXPECT_EQ(list->Objects(list->IndexOf("Home Directory")), SYN_PATH);
}

TEST_F(Directory, DefineAndRemoveAnAttribute) {
  TNWDSAttrDef def;
  def.SingleValued = true;
  def.Syntax = SYN_CI_STRING;
  ASSERT_TRUE(ndsDefineAttr("", "Rudodor Badge", def)) << unitError();
  auto list = ndsGetObjAttrList("", "");
  ASSERT_GE(list->IndexOf("Rudodor Badge"), 0);
  EXPECT_EQ(list->Objects(list->IndexOf("Rudodor Badge")), SYN_CI_STRING);
  EXPECT_FALSE(ndsDefineAttr("", "Rudodor Badge", def));
  EXPECT_EQ(lasterror(), NWDSE_ATTRIBUTE_ALREADY_EXISTS);
  EXPECT_TRUE(ndsRemoveAttr("", "Rudodor Badge")) << unitError();
  EXPECT_LT(ndsGetObjAttrList("", "")->IndexOf("Rudodor Badge"), 0);
  const std::string longName(31, 'n');
  EXPECT_FALSE(ndsDefineAttr("", longName, def));
  EXPECT_FALSE(ndsRemoveAttr("", longName));
  EXPECT_EQ(calls("NWDSDefineAttr"), 2u);
  EXPECT_EQ(calls("NWDSRemoveAttrDef"), 1u);
}

TEST_F(Directory, DefineAClass) {
  TNWDSClassDef def;
  def.EffectiveClass = true;
  EXPECT_TRUE(ndsDefineClass("", "Rudodor Gadget", def)) << unitError();
  EXPECT_FALSE(ndsDefineClass("", "Rudodor Gadget", def));
  EXPECT_EQ(lasterror(), NWDSE_CLASS_ALREADY_EXISTS);
}

// ---- Rights ---------------------------------------------------------------------------------

TEST_F(Directory, EffectiveRightsFillTheRecords) {
  TNWDSEntryRights entry;
  ASSERT_TRUE(ndsGetEntryRights(kAdmin, kOrg, entry)) << unitError();
  EXPECT_TRUE(entry.Browse && entry.Add && entry.Delete && entry.Rename && entry.Supervisor);
  TNWDSEntryRights pub;
  ASSERT_TRUE(ndsGetEntryRights("[Public]", kOrg, pub));
  EXPECT_TRUE(pub.Browse);
  EXPECT_FALSE(pub.Add || pub.Delete || pub.Rename || pub.Supervisor);
  TNWDSAttrRights attr;
  ASSERT_TRUE(ndsGetAttrRights("cn=jsmith.ou=sales.o=testorg", kSales, attr)) << "names are upper-cased";
  EXPECT_TRUE(attr.Compare && attr.Read && attr.Write);
  EXPECT_FALSE(attr.AddSelf);
  TNWDSSMSRights sms;
  EXPECT_TRUE(ndsGetSMSRights(kAdmin, kOrg, sms));
  std::uint32_t bits = 0;
  EXPECT_TRUE(ndsGetEffectiveRights(kMJones, kMJones, "Login Script", bits));
  EXPECT_EQ(bits & 0x06u, 0x06u);
  EXPECT_EQ(lasterror(), 0) << "rights queries record nothing";
}

TEST_F(Directory, RightsOfAnUnknownObjectLeaveTheRecord) {
  TNWDSEntryRights entry;
  entry.Rename = true;
  EXPECT_FALSE(ndsGetEntryRights(kAdmin, "CN=NOBODY.O=TESTORG", entry));
  EXPECT_TRUE(entry.Rename);
  EXPECT_FALSE(entry.Browse);
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(Directory, WriteObjectACLAddsTheObjectsOwnEntry) {
  ASSERT_TRUE(ndsWriteObjectACL("", kJSmith, "[Entry Rights]", "br")) << unitError();
  ASSERT_TRUE(ndsWriteObjectACL("", kJSmith, "Login Script", "rw")) << unitError();
  ASSERT_TRUE(ndsWriteObjectACL("", kJSmith, "[Entry Rights]", "b")) << "replaces the matching entry";
  Values acl;
  ASSERT_TRUE(ndsGetMultiAttr("", kJSmith, dsaACL, acl.list));
  int entries = 0, scripts = 0;
  for (int i = 0; i < acl.list.Count(); ++i) {
    const auto* a = static_cast<const TNWDSObjectACL*>(acl.list[i]);
    const std::string prot = a->ProtectedAttrName, subject = a->SubjectName;
    EXPECT_EQ(subject, kJSmith) << "the object itself is the subject";
    if (prot == "[Entry Rights]") {
      ++entries;
      EXPECT_EQ(decodeACLRights(*a), "B---- ");
    }
    if (prot == "Login Script") {
      ++scripts;
      EXPECT_EQ(decodeACLRights(*a), "-RW-- ");
    }
  }
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(scripts, 1) << "the object's other entries stay";
  EXPECT_FALSE(ndsWriteObjectACL("", kJSmith, std::string(34, 'p'), "B"));
}

TEST_F(Directory, WritingWithoutTheRightIsRefused) {
  // ACCOUNTING's inheritance mask leaves the administrator only Browse below it.
  EXPECT_FALSE(ndsWriteObjectACL("", kMJones, "[Entry Rights]", "B"));
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
}

// ---- Security equivalence and groups -------------------------------------------------------

TEST_F(Directory, SecurityEquivalence) {
  ASSERT_TRUE(ndsAddSecurityEquals("", kJSmith, kAdmin)) << unitError();
  Values eq;
  ASSERT_TRUE(ndsGetMultiAttr("", kJSmith, dsaSecurityEquals, eq.list));
  ASSERT_EQ(eq.list.Count(), 1);
  EXPECT_EQ(eq.text(0), kAdmin);
  EXPECT_FALSE(ndsAddSecurityEquals("", kJSmith, kAdmin));
  EXPECT_EQ(lasterror(), NWDSE_DUPLICATE_VALUE);
  EXPECT_TRUE(ndsRemoveSecurityEquals(kSales, "JSMITH", "." + kAdmin)) << unitError();
  EXPECT_EQ(ndsGetContextName(), kSales);
  EXPECT_FALSE(ndsRemoveSecurityEquals("", "JSMITH", "." + kAdmin));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_VALUE);
}

TEST_F(Directory, GroupListsAreSortedAndCarryTheirKind) {
  auto groups = ndsGetMyGroups("", kJSmith);
  ASSERT_EQ(groups->Count(), 1) << unitError();
  EXPECT_EQ((*groups)[0], kSalesGroup);
  EXPECT_EQ(groups->Objects(0), dsoGroup);
  EXPECT_EQ(ndsGetMyGroups("", kMJones)->Count(), 0);
  auto members = ndsGetGroupMembers(kSales, "SALESGRP");
  ASSERT_EQ(members->Count(), 1);
  EXPECT_EQ((*members)[0], kJSmith);
  EXPECT_EQ(members->Objects(0), dsoUser);
}

TEST_F(Directory, JoiningAndLeavingAGroupChangesBothSides) {
  ASSERT_TRUE(ndsAddObjToGroup(kAdmin, kSalesGroup)) << unitError();
  auto members = ndsGetGroupMembers("", kSalesGroup);
  ASSERT_EQ(members->Count(), 2);
  EXPECT_EQ((*members)[0], kAdmin);
  EXPECT_EQ((*members)[1], kJSmith);
  EXPECT_EQ(ndsGetMyGroups("", kAdmin)->Count(), 1);
  EXPECT_TRUE(ndsRemoveObjFromGroup(kAdmin, kSalesGroup)) << unitError();
  EXPECT_EQ(ndsGetGroupMembers("", kSalesGroup)->Count(), 1);
  EXPECT_EQ(ndsGetMyGroups("", kAdmin)->Count(), 0);
}

TEST_F(Directory, JoiningAGroupThatDoesNotExistChangesNothing) {
  EXPECT_FALSE(ndsAddObjToGroup(kAdmin, "CN=NOGROUP.O=TESTORG"));
  EXPECT_EQ(calls("NWDSPutChange"), 1u) << "the group side is not tried after the member side failed";
  EXPECT_EQ(ndsGetMyGroups("", kAdmin)->Count(), 0);
}

// ---- Resources ------------------------------------------------------------------------------

TEST_F(Directory, ThousandsOfOperationsLeaveNoContextOrBufferOpen) {
  const std::size_t contexts = nwsim::openDirectoryContexts();
  const std::string jsmith = "." + kJSmith;  // complete: the context moves
  for (int i = 0; i < 600; ++i) {
    std::string text;
    Values v;
    ndsGetStringAttr(i % 2 ? "" : kSales, jsmith, dsaSurname, text);
    ndsGetStringAttr("", jsmith, dsaTitle, text);                       // missing attribute
    ndsGetStringAttr("OU=NOWHERE.O=TESTORG", jsmith, dsaSurname, text);  // bad context
    ndsGetMultiAttr("", jsmith, dsaTelephoneNumber, v.list);
    ndsModifyStringAttr("", jsmith, dsaDescription, "round " + std::to_string(i));
    if (i % 50 == 0) {
      nwsim::injectFault("NWDSPutAttrName", NWDSE_BUFFER_FULL, 1);
      ndsGetStringAttr("", jsmith, dsaSurname, text);
      nwsim::injectFault("NWDSModifyObject", NWDSE_NO_ACCESS, 1);
      ndsModifyStringAttr("", jsmith, dsaDescription, "refused");
      ndsGetMyGroups("", jsmith);
      ndsGetObjAttrList("", "");
      ndsExpandName("JSMITH.SALES.TESTORG");
    }
    ASSERT_EQ(nwsim::openDirectoryBuffers(), 0u) << "round " << i;
  }
  EXPECT_EQ(nwsim::openDirectoryContexts(), contexts);
  std::string last;
  EXPECT_TRUE(ndsGetStringAttr("", jsmith, dsaDescription, last));
  EXPECT_EQ(last, "round 599");
}
