#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QObject>

namespace vireon {

// The application every window test needs: a fixture holds one ahead of its windows.
class TestApplication {
 private:
  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication app_{argc_, argv_};
};

// A child by its object name; a missing one fails the test.
template <typename T>
T* Find(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

}  // namespace vireon
