// A test with its own prefix: a Sandbox entered for the test, with the
// current folder C:\ while it runs.
#pragma once
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/sandbox.h"

namespace orvik_testing {

// Waits until `path` last changed long enough ago for a cache to keep what
// it reads of it.
void WaitUntilSettled(const std::string& path);

class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_ = std::make_unique<Sandbox>(Sandbox::kThisProcess);
    root_ = box_->root;
    prefix_ = box_->prefix;
    work_ = box_->work;
    driveC_ = box_->driveC;
    ASSERT_EQ(platform::_chdir("C:\\"), 0);
  }
  void TearDown() override { box_.reset(); }

  std::unique_ptr<Sandbox> box_;
  std::string root_, prefix_, work_, driveC_;
};

}  // namespace orvik_testing
