// The four entry points every module exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "api.h"

namespace {

class EntryPoints : public testing::Test {
protected:
  void SetUp() override {
    std::string path =
        std::string(QUARN_BUILD_DIR) + "/lib/quarn_heatshield.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_)
      dlclose(handle_);
  }
  template <class F> F Sym(const char *name) {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }
  void *handle_ = nullptr;
};

TEST_F(EntryPoints, ExitWithNullDoesNothing) {
  auto exit = Sym<void (*)(VESSEL *)>("ovcExit");
  ASSERT_NE(exit, nullptr);
  exit(nullptr);
}

TEST_F(EntryPoints, VersionIsTheInterfaceDateAndStaysTheSame) {
  auto version = Sym<int (*)()>("GetModuleVersion");
  ASSERT_NE(version, nullptr);
  int first = version();
  EXPECT_EQ(first, Date2Int("Aug 28 2016"));
  EXPECT_EQ(first, 20160828);
  EXPECT_EQ(version(), first);
}

TEST_F(EntryPoints, ModuleDateInTheCompilersFormat) {
  auto date = Sym<const char *(*)()>("ModuleDate");
  ASSERT_NE(date, nullptr);
  EXPECT_TRUE(
      std::regex_match(date(), std::regex("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|"
                                          "Sep|Oct|Nov|Dec) [ 123]\\d \\d{4}")))
      << date();
  EXPECT_GT(Date2Int(date()), 20160828);
}

TEST(Date2Int, ReadsTheCompilersDateFormat) {
  EXPECT_EQ(Date2Int("Oct  2 2016"), 20161002);
  EXPECT_EQ(Date2Int("Jan 12 2017"), 20170112);
  EXPECT_LT(Date2Int("Dec 31 2015"), Date2Int("Jan  1 2016"));
  EXPECT_EQ(Date2Int("Foo 12 2017"), 0);
  EXPECT_EQ(Date2Int(nullptr), 0);
}

} // namespace
