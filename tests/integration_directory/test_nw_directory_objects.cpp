// nw nlist for the directory, create, remove, move, login --tree, logout --tree, passwd and
// trees, run as a user runs them.
#include "nw_fixture.h"

#include <fstream>
#include <iterator>

namespace {

class NwDirectoryObjects : public NwDirectory {
protected:
  // nw with lines of standard input (passwords), which must never show in what it prints.
  Result nwWithInput(const std::string& input, const std::string& args) {
    const auto file = net->dir() / "typed.txt";
    std::ofstream(file) << input << "\n";
    Result r = nw(args + " < " + file.string());
    std::filesystem::remove(file);
    printed += r.out;
    return r;
  }
  std::string printed;  // everything nwWithInput printed
  std::string storeBytes() const {
    std::string all;
    for (const char* file : {"network.db", "network.db-wal"}) {
      std::ifstream in(net->dir() / file, std::ios::binary);
      all.append(std::istreambuf_iterator<char>(in), {});
    }
    return all;
  }
};

} // namespace

TEST_F(NwDirectoryObjects, NlistListsTheBinderyOrTheDirectory) {
  Result r = nw("nlist user");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "SUPERVISOR")) << "a bindery type lists the bindery: " << r.out;
  r = nw("nlist user --context O=TESTORG --search");
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* name : {"CN=ADMIN.O=TESTORG", "CN=JSMITH.OU=SALES.O=TESTORG", "CN=MJONES.OU=ACCOUNTING.O=TESTORG"})
    EXPECT_TRUE(contains(r.out, name)) << name << " missing: " << r.out;
  EXPECT_TRUE(contains(r.out, "A total of 3 user objects")) << r.out;
  r = nw("nlist 'Organizational Unit' --context O=TESTORG");
  EXPECT_TRUE(contains(r.out, "OU=SALES") && contains(r.out, "OU=ACCOUNTING")) << r.out;
  EXPECT_FALSE(contains(r.out, "ADMIN")) << "only the class asked for: " << r.out;
  r = nw("nlist user --context O=TESTORG --filter 'Surname=sm*|Full Name=Mary*'");
  EXPECT_TRUE(contains(r.out, "JSMITH") && contains(r.out, "MJONES") && !contains(r.out, "ADMIN")) << r.out;
  r = nw("nlist nosuchclass --context O=TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "unknown directory class")) << r.out;
}

TEST_F(NwDirectoryObjects, AMalformedFilterIsRefusedNotAnEmptyResult) {
  for (const char* filter : {"Surname=Sm*&", "(Surname=S", "&", "Surname=Smith)"}) {
    Result r = nw(std::string("nlist user --context O=TESTORG --filter '") + filter + "'");
    EXPECT_EQ(r.status, 2) << filter << ": " << r.out;
    EXPECT_TRUE(contains(r.out, "malformed filter")) << filter << ": " << r.out;
  }
  Result r = nw("nlist user --context O=TESTORG --filter 'Surname=Nobody*'");
  EXPECT_EQ(r.status, 0) << r.out;
}

TEST_F(NwDirectoryObjects, CreateMoveAndRemoveObjects) {
  Result r = nw("create 'Organizational Unit' OU=TEMP --context O=TESTORG");
  ASSERT_EQ(r.status, 0) << r.out;
  r = nwWithInput("Pw1", "create user BBROWN --context OU=SALES.O=TESTORG --surname Brown --password");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(contains(r.out, "Pw1")) << r.out;
  r = nw("create user NOSURNAME --context OU=SALES.O=TESTORG");
  EXPECT_NE(r.status, 0) << "a user needs a surname";
  r = nw("move .CN=BBROWN.OU=SALES.O=TESTORG .OU=TEMP.O=TESTORG");
  ASSERT_EQ(r.status, 0) << r.out;
  r = nw("remove OU=TEMP --context O=TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "holds objects")) << r.out;
  EXPECT_EQ(nw("remove BBROWN --context OU=TEMP.O=TESTORG").status, 0);
  EXPECT_EQ(nw("remove OU=TEMP --context O=TESTORG").status, 0);
  r = nw("nlist '*' --context O=TESTORG");
  EXPECT_FALSE(contains(r.out, "TEMP")) << r.out;
}

TEST_F(NwDirectoryObjects, LoginPasswdAndLogoutNeverShowAPassword) {
  Result r = nw("trees");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "TESTTREE")) << r.out;
  r = nwWithInput("Wr0ng", "login --tree TESTTREE .JSMITH.SALES.TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "wrong password")) << r.out;
  r = nwWithInput("JsPass", "login --tree testtree .JSMITH.SALES.TESTORG");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "CN=JSMITH.OU=SALES.O=TESTORG")) << r.out;
  r = nwWithInput("jspass\nTurnip9\nTurnip9", "passwd");
  ASSERT_EQ(r.status, 0) << r.out;
  r = nwWithInput("turnip9\nOne\nTwo", "passwd");
  EXPECT_NE(r.status, 0) << "the retyped password differs";
  EXPECT_EQ(nw("logout --tree").status, 0);
  EXPECT_NE(nw("logout --tree").status, 0) << "nobody is logged in any more";
  r = nwWithInput("TURNIP9", "login --tree TESTTREE .JSMITH.SALES.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  r = nwWithInput("x", "login --tree NOSUCHTREE ADMIN");
  EXPECT_NE(r.status, 0);

  const std::string store = storeBytes();
  for (const char* secret : {"Wr0ng", "JsPass", "jspass", "JSPASS", "Turnip9", "TURNIP9", "One", "Two"}) {
    EXPECT_EQ(printed.find(secret), std::string::npos) << secret << " was printed";
    if (std::string(secret).size() > 3) {
      EXPECT_EQ(store.find(secret), std::string::npos) << secret << " in the store";
    }
  }
}
