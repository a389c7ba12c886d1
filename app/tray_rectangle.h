// Where the notification area lies, as the target of the caption animation when a
// window hides into the tray and the start when it comes back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace clser::app {

// The notification area's rectangle with the clock cut off: when the clock's bottom lies
// more than 5 pixels above the area's bottom (a vertical taskbar) the area starts below
// the clock, otherwise it ends where the clock begins.
RECT trimClockOff(RECT area, const RECT& clock);

// An estimate from the taskbar's edge (ABE_*) and rectangle, for a shell without the
// usual taskbar windows.
RECT trayRectFromTaskbar(UINT edge, const RECT& taskbar);

// The last resort: the bottom-right corner of the work area.
RECT trayRectFromWorkArea(const RECT& workArea);

// Searches the shell's windows, then asks the shell for the taskbar, then takes the
// work area.
RECT trayRectangle();

} // namespace clser::app
