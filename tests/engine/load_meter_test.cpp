// The load meter's arithmetic: the average over about a second, the peak of the last few, and
// which callbacks count as late.
#include <gtest/gtest.h>

#include <vector>

#include "engine/load_meter.h"

namespace {
constexpr int64_t MS = 1000000;
}

TEST(LoadMeter, AveragesEachSecondAndKeepsThePeakOfTheLastFive) {
    // Periods of 10 ms: `busy` ms each, but `spike` ms for the first one.
    struct CASE {
        const char* what;
        int periods;
        double busy, spike, average, peak;
    } cases[] = {
        {"nothing yet", 0, 0, 0, 0, 0},
        {"under a second: only the peak so far", 1, 5, 5, 0, 0.5},
        {"a second at a quarter", 100, 2.5, 2.5, 0.25, 0.25},
        {"one busy period raises the peak, not much the average", 100, 1, 9, 0.108, 0.9},
        {"a busy period six seconds ago is forgotten", 601, 1, 9, 0.1, 0.1},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        LOAD_WINDOW w;
        for (int i = 0; i < c.periods; ++i) w.add(static_cast<int64_t>((i == 0 ? c.spike : c.busy) * MS), 10 * MS);
        EXPECT_NEAR(w.average, c.average, 1e-9);
        EXPECT_NEAR(w.peak, c.peak, 1e-9);
    }
}

TEST(LoadMeter, ACallbackAWholePeriodBehindIsLate) {
    struct CASE {
        const char* what;
        std::vector<int64_t> calls; // ms, 10 ms periods
        int late;
    } cases[] = {
        {"on time", {0, 10, 20, 30, 40}, 0},
        {"jitter within a period", {0, 19, 21, 39, 50}, 0},
        {"early bursts fill ahead", {0, 1, 2, 30, 40}, 0},
        {"one gap of three periods", {0, 10, 40, 50}, 1},
        {"late once, then on time from there", {0, 35, 45, 55}, 1},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        int64_t due = 0;
        int late = 0;
        for (int64_t t : c.calls) late += late_callback(due, (t + 1000) * MS, 10 * MS) ? 1 : 0;
        EXPECT_EQ(late, c.late);
    }
}
