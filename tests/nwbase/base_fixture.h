#pragma once
// The base component's tests: a fresh network with bindery servers FS1 and FS2 and the
// directory server NDS1 of tree TESTTREE. Workstation WS-TEST has FS1 as primary server
// (SUPERVISOR), WS-DIR has NDS1 (ADMIN, logged in to the directory).
#include "fixtures/probe.h"
#include "fixtures/qt_fixture.h"

#include <nwbase/nwbase.h>
#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <iostream>
#include <QPointer>

#include <memory>

class BaseTest : public nwtest::QtTest {
protected:
  std::string seed() const override { return "../nwbase/base.json"; }
  void SetUp() override {
    QtTest::SetUp();
    journal().clear();
  }
  void TearDown() override {
    if (HasFailure() && base) {
      nwbase::TNWLastError* e = base->_getLastError();
      std::cout << "  [last errors] Ostrel " << e->Ostrel.toStdString() << " NWServer " << e->NWServer.toStdString()
                << " NWProp " << e->NWProp.toStdString() << " NWNDS " << e->NWNDS.toStdString() << " NWPrint "
                << e->NWPrint.toStdString() << "\n";
    }
    owned.reset();
    QtTest::TearDown();
  }
  /// A base component on `form` (owned by the test when there is no form).
  nwbase::TNWBase& make(QWidget* form = nullptr) {
    owned.reset();
    base = new nwbase::TNWBase(form);
    if (!form) owned.reset(base.data());
    return *base;
  }
  /// The same, as another workstation of the network.
  nwbase::TNWBase& makeOn(const std::string& workstation, QWidget* form = nullptr) {
    nwsim::useWorkstation(workstation);
    return make(form);
  }

  /// The last one made, while it exists.
  QPointer<nwbase::TNWBase> base;
  std::unique_ptr<nwbase::TNWBase> owned;
};
