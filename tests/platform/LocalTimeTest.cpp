#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "LocalTime.h"

namespace zanfeld {
namespace {

// Sets the zone for one test; rules written out, so no zone files are needed.
class ZoneTest : public ::testing::Test {
  protected:
    void use(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void TearDown() override {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> m_old =
        ::getenv("TZ") ? std::optional<std::string>(::getenv("TZ")) : std::nullopt;
};

void ExpectDateTime(const LocalDateTime& t, int year, int month, int day, int hour, int minute,
                    int second) {
    EXPECT_EQ(t.year, year);
    EXPECT_EQ(t.month, month);
    EXPECT_EQ(t.day, day);
    EXPECT_EQ(t.hour, hour);
    EXPECT_EQ(t.minute, minute);
    EXPECT_EQ(t.second, second);
}

TEST_F(ZoneTest, Utc) {
    use("UTC0");
    ExpectDateTime(ToLocalDateTime({0, 0}), 1970, 1, 1, 0, 0, 0);
    ExpectDateTime(ToLocalDateTime({1367920800, 999999999}), 2013, 5, 7, 10, 0, 0);
}

TEST_F(ZoneTest, OffsetInForceAtThatMoment) {
    use("CET-1CEST,M3.5.0,M10.5.0/3");
    // Winter and summer of one year take different offsets.
    ExpectDateTime(ToLocalDateTime({1358251200, 0}), 2013, 1, 15, 13, 0, 0);
    ExpectDateTime(ToLocalDateTime({1372680000, 0}), 2013, 7, 1, 14, 0, 0);
    // Either side of the spring change (01:00 UTC on 31 March 2013).
    ExpectDateTime(ToLocalDateTime({1364691599, 0}), 2013, 3, 31, 1, 59, 59);
    ExpectDateTime(ToLocalDateTime({1364691600, 0}), 2013, 3, 31, 3, 0, 0);
}

TEST_F(ZoneTest, WestOfGreenwichCrossesTheDate) {
    use("EST5EDT,M3.2.0,M11.1.0");
    // 2013-01-15 03:00 UTC is still the 14th in New York.
    ExpectDateTime(ToLocalDateTime({1358251200 - 9 * 3600, 0}), 2013, 1, 14, 22, 0, 0);
}

}  // namespace
}  // namespace zanfeld
