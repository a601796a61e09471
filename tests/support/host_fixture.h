// A booted host on a fresh device root for each test, reset afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "host/foundation/foundation_selectors.h"
#include "host/host.h"
#include "support/files.h"

namespace testing_support {

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root = makeTempRoot("lumora-host");
    host::boot({root, absent()});
  }
  void TearDown() override {
    host::reset();
    std::filesystem::remove_all(root);
  }
  // Classes the host boots without.
  virtual std::set<std::string> absent() const { return {}; }
  // A new object of the class, made with `new` as the host makes one.
  rt::Ref<> make(const char* cls) { return rt::send(rt::objc_getClass(cls), sel::new_); }
  std::filesystem::path root;
};

}  // namespace testing_support
