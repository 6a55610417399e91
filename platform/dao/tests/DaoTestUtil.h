#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/dao/Dao.h"

namespace daotest {

// A fresh folder per test, removed afterwards.
class DaoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tvndao-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override {
    db_.reset();
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  dao::DatabasePtr Create(const std::string& name = "t.mdb") {
    db_ = dao::DBEngine::Workspaces(0).CreateDatabase(Path(name));
    return db_;
  }
  std::string dir_;
  dao::DatabasePtr db_;
};

// The error number a call raises, 0 when none.
template <class F>
int ErrorOf(F f) {
  try {
    f();
  } catch (const dao::Error& e) {
    return e.Number();
  }
  return 0;
}

inline std::string Str(const vb::Variant& v) { return v.isString() ? v.rawString() : std::string("<not text>"); }

}  // namespace daotest
