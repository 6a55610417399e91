// One application for the whole test process: fonts need it.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "print_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = new QApplication(argc, argv);
  }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kApp =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace
