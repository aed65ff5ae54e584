#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "HomeFolder.h"

namespace zanfeld {
namespace {

// Puts HOME back as it was when the test ends.
class HomeFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* home = std::getenv("HOME");
        m_hadHome = home != nullptr;
        if (home) m_home = home;
    }
    void TearDown() override {
        if (m_hadHome)
            ::setenv("HOME", m_home.c_str(), 1);
        else
            ::unsetenv("HOME");
    }
    bool m_hadHome = false;
    std::string m_home;
};

TEST_F(HomeFolderTest, TheFirstOutputFolderIsHomeWithItsSeparator) {
    ::setenv("HOME", "/some/where/home", 1);
    EXPECT_EQ(HomeFolder(), "/some/where/home");
    EXPECT_EQ(DefaultOutputFolder(), "/some/where/home/");
    ::setenv("HOME", "/", 1);
    EXPECT_EQ(DefaultOutputFolder(), "/");
}

TEST_F(HomeFolderTest, WithoutHomeThePasswordEntrySays) {
    const struct passwd* pw = ::getpwuid(::getuid());
    ASSERT_NE(pw, nullptr);
    for (const bool unset : {true, false}) {
        if (unset)
            ::unsetenv("HOME");
        else
            ::setenv("HOME", "", 1);
        EXPECT_EQ(HomeFolder(), pw->pw_dir);
        EXPECT_EQ(DefaultOutputFolder(), std::string(pw->pw_dir) + "/");
    }
}

}  // namespace
}  // namespace zanfeld
