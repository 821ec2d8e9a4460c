#include <gtest/gtest.h>
#include <QApplication>

#include "measure/ui/TestForm.h"

namespace vireon {
namespace {

TEST(MainWindow, ShowsItsCaptionAndComponentName) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  TTestForm form;
  form.show();
  EXPECT_EQ(form.objectName(), "TestForm");
  EXPECT_EQ(form.windowTitle(), "Quenmar -Vireon- (MAIN FORM)");
  EXPECT_TRUE(form.isVisible());
}

}  // namespace
}  // namespace vireon
