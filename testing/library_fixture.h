#pragma once

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "testing/loaded_plugin.h"

// The built plug-in library, loaded as the host loads it, with its entry
// points looked up by their plain names (VELMORA_LIBRARY: its path).
class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(plugin_.loaded()) << ::dlerror(); }
  template <typename F>
  F* Get(const char* name) {
    F* function = plugin_.Get<F>(name);
    EXPECT_NE(function, nullptr) << name;
    return function;
  }

  velmora::testing::LoadedPlugin plugin_{VELMORA_LIBRARY};
};
