#include "tray_rectangle.h"

#include <shellapi.h>

#include <cstring>

namespace clser::app {
namespace {

struct TraySearch {
    RECT rect;
};

bool classIs(HWND window, const char* name)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, name) == 0;
}

BOOL CALLBACK visitTaskbarChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TraySearch*>(param);
    if (classIs(window, "TrayNotifyWnd")) {
        GetWindowRect(window, &search->rect);
    } else if (classIs(window, "TrayClockWClass")) {
        RECT clock{};
        GetWindowRect(window, &clock);
        search->rect = trimClockOff(search->rect, clock);
        return FALSE;
    }
    return TRUE;
}

} // namespace

RECT trimClockOff(RECT area, const RECT& clock)
{
    if (clock.bottom < area.bottom - 5)
        area.top = clock.bottom;
    else
        area.right = clock.left;
    return area;
}

RECT trayRectFromTaskbar(UINT edge, const RECT& taskbar)
{
    RECT r{};
    if (edge == ABE_LEFT || edge == ABE_RIGHT) {
        r.left = taskbar.left;
        r.right = taskbar.right;
        r.top = taskbar.bottom - 100;
        r.bottom = taskbar.bottom - 16;
    } else {
        r.top = taskbar.top;
        r.bottom = taskbar.bottom;
        r.left = taskbar.right - 100;
        r.right = taskbar.right - 16;
    }
    return r;
}

RECT trayRectFromWorkArea(const RECT& workArea)
{
    RECT r = workArea;
    r.left = r.right - 150;
    r.top = r.bottom - 30;
    return r;
}

RECT trayRectangle()
{
    if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr)) {
        TraySearch search{};
        GetWindowRect(taskbar, &search.rect);
        EnumChildWindows(taskbar, visitTaskbarChild, reinterpret_cast<LPARAM>(&search));
        return search.rect;
    }
    APPBARDATA bar{};
    bar.cbSize = sizeof bar;
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &bar))
        return trayRectFromTaskbar(bar.uEdge, bar.rc);
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    return trayRectFromWorkArea(workArea);
}

} // namespace clser::app
