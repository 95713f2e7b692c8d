#pragma once
// The directory unit's test fixture: a fresh network with the tree TESTTREE, the unit
// objects constructed, and checks that every operation released its contexts and buffers.
#include "fixtures/netfixture.h"

#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

using namespace nwnds;

namespace {

const std::string kOrg = "O=TESTORG";
const std::string kSales = "OU=SALES.O=TESTORG";
const std::string kJSmith = "CN=JSMITH.OU=SALES.O=TESTORG";
const std::string kMJones = "CN=MJONES.OU=ACCOUNTING.O=TESTORG";
const std::string kAdmin = "CN=ADMIN.O=TESTORG";
const std::string kSalesGroup = "CN=SALESGRP.OU=SALES.O=TESTORG";

std::string unitError() { return "nwnds lasterror = " + ostrel::formatLastError(lasterror()); }

// The values of a multi-valued text attribute, freed on every path.
struct Values {
  rtl::TList list;
  ~Values() {
    for (int i = 0; i < list.Count(); ++i) ndsFreeAttrBlock(list[i]);
  }
  std::string text(int i) const { return static_cast<const char*>(list[i]); }
};

class Directory : public nwtest::NetworkTest {
protected:
  void SetUp() override {
    NetworkTest::SetUp();
    ostrelUnit = std::make_unique<ostrel::TOstrel>();
    unit = std::make_unique<TNWNDS>();
    ASSERT_TRUE(ndsInit()) << unitError();
    nwsim::resetCallCounts();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwnds] " << unitError() << "\n";
    ndsClose();
    unit.reset();
    ostrelUnit.reset();
    EXPECT_EQ(nwsim::openDirectoryContexts(), 0u) << "a context was left open";
    EXPECT_EQ(nwsim::openDirectoryBuffers(), 0u) << "a buffer was left open";
    NetworkTest::TearDown();
  }
  static std::uint64_t calls(const char* fn) { return nwsim::callCount(fn); }

  std::unique_ptr<ostrel::TOstrel> ostrelUnit;
  std::unique_ptr<TNWNDS> unit;
};

} // namespace
