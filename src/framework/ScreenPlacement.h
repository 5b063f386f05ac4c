// Where windows go on a desktop of several monitors, as plain functions of the monitor list:
// which monitor a rectangle belongs to, a saved place that no monitor shows any more, docking
// to the edges of a work area, a popup kept inside its monitor, and sizes at a monitor's DPI.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/MonitorList.h"

namespace screen {

// The DPI of the system (the primary monitor's when the process started).
UINT systemDpi();
// A length in pixels at 96 DPI, at dpi.
int scale(int pixels, UINT dpi);
// A system metric (GetSystemMetrics), at dpi instead of the system's DPI.
int metric(int index, UINT dpi);

// The monitor that shares most of rect, else the one nearest to it; null only without any.
const MonitorInfo* monitorFor(const std::vector<MonitorInfo>& monitors, const RECT& rect);
// The primary monitor (the first one when none says it is).
const MonitorInfo* primaryMonitor(const std::vector<MonitorInfo>& monitors);
// True when some monitor shows a part of rect.
bool isOnSomeMonitor(const std::vector<MonitorInfo>& monitors, const RECT& rect);
// The top left corner that puts a window of this width at the top centre of the work area.
POINT topCentre(const RECT& work, int width);

// How near an edge of the work area a window must come to dock to it.
constexpr int kDockDistance = 10;
// One axis: position docks to low when within reach of it, else its end (position + size)
// docks to high.
int dockToEdges(int position, int size, int low, int high);
// The top left corner of rect after docking to the work area of its monitor.
POINT dockToWorkArea(const std::vector<MonitorInfo>& monitors, const RECT& rect);

// A popup of the given size beside anchor (a row on the screen): to its right, or to its left
// where the work area of the row's monitor ends; kept inside that work area at its left and
// bottom edges, and no wider or taller than it. gap: pixels between the row and the popup.
RECT besideAnchor(const std::vector<MonitorInfo>& monitors, const RECT& anchor, SIZE size, int gap);

} // namespace screen
