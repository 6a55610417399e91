#pragma once
// The fixture of the desktop cases that start from the catalogue window:
// a collection in a data folder, the X platform when there is a screen,
// and every case skipped when there is none.
#include "catalogue/tests/CatalogueTestSupport.h"
#include "desktop/DesktopSupport.h"

namespace tvndesk {

class CatalogueDesktopTest : public cattest::CatalogueTest {
 protected:
  static void SetUpTestSuite() {
    PlatformForDisplay();
    cattest::CatalogueTest::SetUpTestSuite();
  }
  void SetUp() override {
    cattest::CatalogueTest::SetUp();
    if (!HaveDisplay()) GTEST_SKIP() << "no X display: run through scripts/test.sh";
    SetSetting("NF", "2");  // no first-run help
  }
};

}  // namespace tvndesk
