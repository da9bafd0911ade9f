// The launch-button tests run as the program runs: OLE initialised on the GUI thread and
// the application object (title, owner window, error report) in place.
#include <gtest/gtest.h>

#include "gui/application.h"
#include "gui/platform/ole_scope.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  return RUN_ALL_TESTS();
}
