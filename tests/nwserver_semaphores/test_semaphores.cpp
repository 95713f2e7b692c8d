// Unit Nwserver: server semaphores shared by stations and programs, and TTS transactions
// whose abort restores the files written through the redirector.
#include "ostrel/ostrel_support.h"

#include <nwserver/nwserver.h>
#include <platform/files.h>
#include <platform/module.h>

#include <signal.h>

#include <chrono>
#include <future>
#include <thread>

using namespace ostreltest;
using nwserver::lasterror;

namespace {

std::string serverError() { return "nwserver getLastError = " + nwserver::TNWServer().getLastError(); }

class SemaphoreTest : public OstrelTest {
protected:
  void SetUp() override {
    OstrelTest::SetUp();
    nwserver::TNWServer().resetLastError();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwserver] " << serverError() << "\n";
    OstrelTest::TearDown();
  }
  std::int16_t valueOf(std::uint32_t h) {
    std::int16_t v = -1;
    nwserver::querySemaphore(0, h, v);
    return v;
  }
  std::uint16_t opensOf(std::uint32_t h) {
    std::int16_t v = 0;
    return nwserver::querySemaphore(0, h, v);
  }
  /// The nw tool as another program of WS-TEST.
  std::string nw(const std::string& args) {
    return "env -u NWSIM_PREFERRED_SERVER -u NWSIM_LOGIN_NAME NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) +
           "/full NWSIM_NETWORK=" + net->dir().string() + " NWSIM_WORKSTATION=WS-TEST " + NW_TOOL + " " + args;
  }
  /// Waits (at most ten seconds) until `done` holds.
  template <typename F>
  bool eventually(F done) {
    for (int i = 0; i < 1000; ++i) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

std::string readFile(const std::string& path) {
  const int fd = platform::lopen(path, platform::OF_READ);
  if (fd < 1) return "(missing)";
  std::string text;
  char buffer[256];
  for (long n; (n = platform::lread(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  platform::lclose(fd);
  return text;
}

void writeFile(const std::string& path, const std::string& text) {
  const int fd = platform::lcreat(path);
  ASSERT_GT(fd, 0) << path;
  ASSERT_EQ(platform::lwrite(fd, text.data(), static_cast<long>(text.size())), static_cast<long>(text.size()));
  platform::lclose(fd);
}

} // namespace

// ---- Semaphores ---------------------------------------------------------------------------

TEST_F(SemaphoreTest, CreatingWithValueZeroSignalsOnlyANewSemaphore) {
  nwsim::resetCallCounts();
  const std::uint32_t first = nwserver::createSemaphore(0, "lock", 0);
  ASSERT_NE(first, 0u) << serverError();
  EXPECT_EQ(valueOf(first), 1) << "created here: signalled once";
  const std::uint32_t second = nwserver::createSemaphore(0, "LOCK", 0);
  EXPECT_NE(second, first) << "each open has its own handle";
  EXPECT_EQ(opensOf(second), 2);
  EXPECT_EQ(valueOf(second), 1) << "open elsewhere already: no signal";
  EXPECT_EQ(nwsim::callCount("NWSignalSemaphore"), 1u);
  EXPECT_EQ(valueOf(nwserver::createSemaphore(0, "COUNTER", 3)), 3);

  EXPECT_EQ(nwserver::createSemaphore(0, std::string(48, 'N'), 1), 0u) << "a name too long is not cut";
  nwsim::injectFault("NWOpenSemaphore", NWE_FAILURE);
  EXPECT_EQ(nwserver::createSemaphore(0, "LOCK", 0), 0u);
  EXPECT_EQ(lasterror(), NWE_FAILURE);
}

TEST_F(SemaphoreTest, WaitsTakeAndSignalsAddUnitsOfTheValue) {
  const std::uint32_t h = nwserver::createSemaphore(0, "POOL", 2);
  ASSERT_TRUE(nwserver::incSemaValue(0, h, 2));
  EXPECT_EQ(valueOf(h), 4);
  ASSERT_TRUE(nwserver::decSemaValue(0, h, 3));
  EXPECT_EQ(valueOf(h), 1);

  // The second of three waits finds nothing: no third call, no rolling back.
  nwsim::resetCallCounts();
  EXPECT_FALSE(nwserver::decSemaValue(0, h, 3));
  EXPECT_EQ(nwsim::callCount("NWWaitOnSemaphore"), 2u);
  EXPECT_EQ(lasterror(), NWE_TIMEOUT);
  EXPECT_EQ(valueOf(h), 0);

  // A count of 0 calls nothing and answers true.
  nwserver::TNWServer().resetLastError();
  nwsim::resetCallCounts();
  EXPECT_TRUE(nwserver::decSemaValue(0, h, 0));
  EXPECT_TRUE(nwserver::incSemaValue(0, h, 0));
  EXPECT_EQ(nwsim::callCount("NWWaitOnSemaphore") + nwsim::callCount("NWSignalSemaphore"), 0u);

  const std::uint32_t full = nwserver::createSemaphore(0, "FULL", 32767);
  EXPECT_FALSE(nwserver::incSemaValue(0, full, 1));
  EXPECT_EQ(lasterror(), NWE_SEMAPHORE_OVERFLOW);
}

TEST_F(SemaphoreTest, ClosingForgetsTheHandleAndTheLastCloseTheSemaphore) {
  EXPECT_TRUE(nwserver::freeSemaphore(0, 0)) << "handle 0 needs no call";
  const std::uint32_t a = nwserver::createSemaphore(0, "GONE", 5);
  const std::uint32_t b = nwserver::createSemaphore(0, "GONE", 0);
  ASSERT_TRUE(nwserver::freeSemaphore(0, a));
  EXPECT_EQ(opensOf(b), 1);
  std::int16_t value = 99;
  EXPECT_EQ(nwserver::querySemaphore(0, a, value), 0);
  EXPECT_EQ(lasterror(), NWE_INVALID_SEMAPHORE);
  EXPECT_EQ(value, 99);
  EXPECT_FALSE(nwserver::freeSemaphore(0, a));
  ASSERT_TRUE(nwserver::freeSemaphore(0, b));
  const std::uint32_t again = nwserver::createSemaphore(0, "GONE", 7);
  EXPECT_EQ(valueOf(again), 7) << "made anew: the old one went with its last open";
}

TEST_F(SemaphoreTest, SemaphoresAreSharedByStationsOfOneServerOnly) {
  const std::uint32_t fs1 = nwserver::createSemaphore(0, "SHARED", 4);
  become("WS-SALES");
  const std::uint32_t sales = nwserver::createSemaphore(0, "SHARED", 0);
  EXPECT_EQ(opensOf(sales), 2);
  ASSERT_TRUE(nwserver::decSemaValue(0, sales, 1));
  become("WS-TEST");
  EXPECT_EQ(valueOf(fs1), 3);
  std::int16_t value = 0;
  const std::uint32_t fs2 = nwserver::createSemaphore(handleOf("FS2"), "SHARED", 9);
  EXPECT_EQ(nwserver::querySemaphore(handleOf("FS2"), fs2, value), 1);
  EXPECT_EQ(value, 9);
  EXPECT_EQ(nwserver::querySemaphore(handleOf("FS2"), fs1, value), 0) << "FS1's handle is no handle on FS2";
}

TEST_F(SemaphoreTest, AWaitInOneProgramIsReleasedByASignalFromAnother) {
  const std::uint32_t h = nwserver::createSemaphore(0, "GATE", 1);
  ASSERT_TRUE(nwserver::decSemaValue(0, h, 1));
  auto wait = reinterpret_cast<decltype(&NWWaitOnSemaphore)>(platform::getProcAddress(ostrel::hNWCalls(), "NWWaitOnSemaphore"));
  ASSERT_NE(wait, nullptr);

  // This program waits (up to 20 s); the other signals once it runs.
  auto signaller = std::async(std::launch::async, [&] { return nwtest::runCommand("sleep 0.3; " + nw("sema signal GATE")); });
  EXPECT_EQ(wait(ostrel::getPrimaryServerID(), h, 20 * NW_TICKS_PER_SECOND), NWE_OK);
  EXPECT_TRUE(nwtest::contains(signaller.get().out, "signalled"));
  EXPECT_EQ(valueOf(h), 0);

  // The other waits; this one signals once it holds the semaphore open.
  auto waiter = std::async(std::launch::async, [&] { return nwtest::runCommand(nw("sema wait GATE --timeout 20")); });
  ASSERT_TRUE(eventually([&] { return opensOf(h) == 2; }));
  ASSERT_TRUE(nwserver::incSemaValue(0, h, 1));
  const auto r = waiter.get();
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(nwtest::contains(r.out, "Semaphore GATE taken.")) << r.out;
  EXPECT_EQ(valueOf(h), 0);
  EXPECT_EQ(opensOf(h), 1);
}

TEST_F(SemaphoreTest, AKilledProgramsOpensAreReleased) {
  const std::uint32_t h = nwserver::createSemaphore(0, "HELD", 2);
  const auto started = nwtest::runCommand(nw("sema open HELD --hold 60") + " > /dev/null 2>&1 & echo $!");
  const pid_t pid = static_cast<pid_t>(std::stol(started.out));
  ASSERT_TRUE(eventually([&] { return opensOf(h) == 2; }));
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  EXPECT_TRUE(eventually([&] { return opensOf(h) == 1; }));
  EXPECT_EQ(valueOf(h), 2);
}

// ---- Transactions -------------------------------------------------------------------------

TEST_F(SemaphoreTest, AbortRestoresWhatTheTransactionWrote) {
  const std::string notes = "SYS:HOME\\JSMITH\\NOTES.TXT", created = "SYS:PUBLIC\\NEW.TXT", gone = "SYS:PUBLIC\\MAP.EXE";
  writeFile(gone, "map program");
  ASSERT_TRUE(nwserver::TTSBeginTransaction(0));
  EXPECT_FALSE(nwserver::TTSBeginTransaction(0)) << "one at a time";
  writeFile(notes, "overwritten");
  writeFile(notes, "and again");
  writeFile(created, "new");
  ASSERT_TRUE(platform::deleteFile(gone));
  ASSERT_TRUE(nwserver::TTSAbortTransaction(0));
  EXPECT_EQ(readFile(notes), "Call the printer man.");
  EXPECT_EQ(readFile(created), "(missing)");
  EXPECT_EQ(readFile(gone), "map program");
  EXPECT_FALSE(nwserver::TTSAbortTransaction(0)) << "nothing is running any more";
}

TEST_F(SemaphoreTest, EndKeepsTheChangesAndNumbersTheTransactions) {
  ASSERT_TRUE(nwserver::TTSBeginTransaction(0));
  writeFile("SYS:PUBLIC\\KEPT.TXT", "kept");
  const std::uint32_t first = nwserver::TTSEndTransaction(0);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(readFile("SYS:PUBLIC\\KEPT.TXT"), "kept");
  ASSERT_TRUE(nwserver::TTSBeginTransaction(0));
  EXPECT_EQ(nwserver::TTSEndTransaction(0), first + 1);
  EXPECT_EQ(nwserver::TTSEndTransaction(0), 0u);

  // Another program of the workstation aborts the transaction this one began.
  ASSERT_TRUE(nwserver::TTSBeginTransaction(0));
  writeFile("SYS:PUBLIC\\KEPT.TXT", "changed");
  EXPECT_EQ(nwtest::runCommand(nw("tts abort")).status, 0);
  EXPECT_EQ(readFile("SYS:PUBLIC\\KEPT.TXT"), "kept");
}

TEST_F(SemaphoreTest, ClosingAConnectionBacksOutItsTransactionAndClosesItsSemaphores) {
  const NWCONN_HANDLE fs2 = handleOf("FS2");
  // Writing on FS2 needs a login there; SUPERVISOR has no password on it.
  auto login = reinterpret_cast<decltype(&NWLoginToFileServer)>(platform::getProcAddress(ostrel::hNWCalls(), "NWLoginToFileServer"));
  ASSERT_NE(login, nullptr);
  ASSERT_EQ(login(fs2, "SUPERVISOR", 0x0100, ""), NWE_OK);
  const std::uint32_t h = nwserver::createSemaphore(fs2, "ON FS2", 3);
  ASSERT_TRUE(nwserver::TTSBeginTransaction(fs2));
  writeFile("FS2/SYS:PUBLIC\\MAP.EXE", "changed");
  ASSERT_TRUE(nwserver::closeConnection(fs2));
  const NWCONN_HANDLE again = nwserver::attach("FS2");
  ASSERT_NE(again, 0u);
  ASSERT_EQ(login(again, "SUPERVISOR", 0x0100, ""), NWE_OK);
  EXPECT_EQ(readFile("FS2/SYS:PUBLIC\\MAP.EXE"), "") << "as the seed made it";
  std::int16_t value = 0;
  EXPECT_EQ(nwserver::querySemaphore(again, h, value), 0) << "the open went with the connection";
  EXPECT_EQ(nwserver::querySemaphore(again, nwserver::createSemaphore(again, "ON FS2", 5), value), 1);
  EXPECT_EQ(value, 5) << "made anew: the semaphore went with its last open";
}

TEST_F(SemaphoreTest, TTSFailuresShowOnlyInTheResult) {
  ASSERT_TRUE(nwserver::TTSDisable(0));
  EXPECT_FALSE(nwserver::TTSBeginTransaction(0));
  ASSERT_TRUE(nwserver::TTSEnable(0));
  ASSERT_TRUE(nwserver::TTSBeginTransaction(0));
  nwsim::injectFault("NWTTSEndTransaction", NWE_FAILURE);
  EXPECT_EQ(nwserver::TTSEndTransaction(0), 0u);
  become("WS-SALES");
  EXPECT_FALSE(nwserver::TTSDisable(0)) << "JSMITH is no console operator";
  EXPECT_EQ(lasterror(), 0);
}
