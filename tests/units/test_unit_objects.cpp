// The unit objects of the five function units: each reads and clears its own unit's error
// code and no other.
#include <nwnds/nwnds.h>
#include <nwprint/nwprint.h>
#include <nwprop/nwprop.h>
#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

namespace {

struct Unit {
  const char* name;
  ostrel::UnitState& state;
  std::function<std::string()> getLastError;
  std::function<void()> resetLastError;
  std::int32_t (*lasterror)();
  std::int32_t code;  // distinct per unit, so that a reset reaching the wrong unit shows
};

template <typename Object>
Unit unitOf(const char* name, const Object& o, ostrel::UnitState& state, std::int32_t (*lasterror)(), std::int32_t code) {
  return {name, state, [&o] { return o.getLastError(); }, [&o] { o.resetLastError(); }, lasterror, code};
}

} // namespace

TEST(UnitObjects, EachObjectReadsAndResetsOnlyItsOwnUnit) {
  static_assert(std::is_empty_v<ostrel::TOstrel> && std::is_empty_v<nwnds::TNWNDS> &&
                std::is_empty_v<nwprop::TNWProp> && std::is_empty_v<nwprint::TNWPrint> &&
                std::is_empty_v<nwserver::TNWServer>);
  const ostrel::TOstrel ostrelUnit;  // without the client: FFFF
  EXPECT_EQ(ostrelUnit.getLastError(), "FFFF");
  const nwnds::TNWNDS nds;
  const nwprop::TNWProp prop;
  const nwprint::TNWPrint print;
  const nwserver::TNWServer server;
  const Unit units[] = {unitOf("Ostrel", ostrelUnit, ostrel::detail::state, ostrel::lasterror, -1),
                        unitOf("Nwnds", nds, nwnds::detail::state, nwnds::lasterror, 0x89FC),
                        unitOf("Nwprop", prop, nwprop::detail::state, nwprop::lasterror, 0x89FB),
                        unitOf("Nwprint", print, nwprint::detail::state, nwprint::lasterror, 0x8805),
                        unitOf("Nwserver", server, nwserver::detail::state, nwserver::lasterror, 0xFF)};
  for (const Unit& reset : units) {
    SCOPED_TRACE(reset.name);
    for (const Unit& u : units) u.state.lasterror = u.code;
    reset.resetLastError();
    for (const Unit& u : units) {
      const std::int32_t expected = &u == &reset ? 0 : u.code;
      EXPECT_EQ(u.lasterror(), expected) << u.name;
      EXPECT_EQ(u.getLastError(), ostrel::formatLastError(expected)) << u.name;
    }
  }
  // Any instance reads the same unit state.
  nwprop::detail::state.lasterror = 0x89DE;
  EXPECT_EQ(nwprop::TNWProp().getLastError(), "89DE");
}

TEST(UnitObjects, ExOstrelIsALibraryException) {
  EXPECT_THROW(throw ostrel::ExOstrel("raised by an application"), rtl::Exception);
}
