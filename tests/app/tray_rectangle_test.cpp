#include "tray_rectangle.h"

#include <gtest/gtest.h>

#include <shellapi.h>

using namespace clser::app;

namespace {

bool same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(TrayRectangle, ClockCutOffTheSideItSits)
{
    const struct {
        const char* name;
        RECT area;
        RECT clock;
        RECT expected;
    } rows[] = {
        {"horizontal taskbar: area ends where the clock begins", {1000, 990, 1280, 1024}, {1220, 992, 1278, 1022},
         {1000, 990, 1220, 1024}},
        {"vertical taskbar: area starts below the clock", {1200, 700, 1280, 1024}, {1202, 702, 1278, 730},
         {1200, 730, 1280, 1024}},
        {"clock bottom exactly 5 pixels above: still a horizontal cut", {0, 0, 300, 40}, {250, 2, 298, 35},
         {0, 0, 250, 40}},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(same(trimClockOff(r.area, r.clock), r.expected)) << r.name;
}

TEST(TrayRectangle, EstimatesFromTaskbarOrWorkArea)
{
    EXPECT_TRUE(same(trayRectFromTaskbar(ABE_BOTTOM, {0, 994, 1280, 1024}), {1180, 994, 1264, 1024}));
    EXPECT_TRUE(same(trayRectFromTaskbar(ABE_TOP, {0, 0, 1280, 30}), {1180, 0, 1264, 30}));
    EXPECT_TRUE(same(trayRectFromTaskbar(ABE_LEFT, {0, 0, 60, 1024}), {0, 924, 60, 1008}));
    EXPECT_TRUE(same(trayRectFromTaskbar(ABE_RIGHT, {1220, 0, 1280, 1024}), {1220, 924, 1280, 1008}));
    EXPECT_TRUE(same(trayRectFromWorkArea({0, 0, 1280, 994}), {1130, 964, 1280, 994}));
}

} // namespace
