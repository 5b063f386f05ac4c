#include "framework/ScreenPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace screen {

namespace {

long long overlapArea(const RECT& a, const RECT& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// How far a rectangle is from another along both axes, 0 when they touch or overlap.
long long distance(const RECT& a, const RECT& b) {
    const long long dx = std::max({0L, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

} // namespace

UINT systemDpi() {
    const UINT dpi = GetDpiForSystem();
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int scale(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

int metric(int index, UINT dpi) {
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

const MonitorInfo* monitorFor(const std::vector<MonitorInfo>& monitors, const RECT& rect) {
    const MonitorInfo* best = nullptr;
    long long bestOverlap = 0;
    for (const MonitorInfo& monitor : monitors) {
        const long long overlap = overlapArea(monitor.monitor, rect);
        if (overlap > bestOverlap) {
            best = &monitor;
            bestOverlap = overlap;
        }
    }
    if (best)
        return best;
    long long nearest = LLONG_MAX;
    for (const MonitorInfo& monitor : monitors) {
        const long long away = distance(monitor.monitor, rect);
        if (away < nearest) {
            best = &monitor;
            nearest = away;
        }
    }
    return best;
}

const MonitorInfo* primaryMonitor(const std::vector<MonitorInfo>& monitors) {
    for (const MonitorInfo& monitor : monitors) {
        if (monitor.primary)
            return &monitor;
    }
    return monitors.empty() ? nullptr : &monitors.front();
}

bool isOnSomeMonitor(const std::vector<MonitorInfo>& monitors, const RECT& rect) {
    return std::any_of(monitors.begin(), monitors.end(), [&rect](const MonitorInfo& monitor) {
        return overlapArea(monitor.monitor, rect) > 0;
    });
}

POINT topCentre(const RECT& work, int width) {
    return {(work.left + work.right) / 2 - width / 2, work.top};
}

int dockToEdges(int position, int size, int low, int high) {
    if (std::abs(position - low) <= kDockDistance)
        return low;
    const int end = position + size;
    if (std::abs(end - high) <= kDockDistance)
        return high - size;
    return position;
}

POINT dockToWorkArea(const std::vector<MonitorInfo>& monitors, const RECT& rect) {
    const MonitorInfo* monitor = monitorFor(monitors, rect);
    if (!monitor)
        return {rect.left, rect.top};
    const RECT& work = monitor->work;
    return {dockToEdges(rect.left, rect.right - rect.left, work.left, work.right),
            dockToEdges(rect.top, rect.bottom - rect.top, work.top, work.bottom)};
}

RECT besideAnchor(const std::vector<MonitorInfo>& monitors, const RECT& anchor, SIZE size,
                  int gap) {
    RECT place{anchor.right + gap, anchor.top, anchor.right + gap + size.cx, anchor.top + size.cy};
    const MonitorInfo* monitor = monitorFor(monitors, anchor);
    if (!monitor)
        return place;
    const RECT& work = monitor->work;
    const int width = std::min<int>(size.cx, work.right - work.left);
    const int height = std::min<int>(size.cy, work.bottom - work.top);
    int left = anchor.right + gap;
    if (left + width > work.right)
        left = anchor.left - gap - width;
    left = std::clamp<int>(left, work.left, work.right - width);
    const int top = std::clamp<int>(anchor.top, work.top, work.bottom - height);
    return {left, top, left + width, top + height};
}

} // namespace screen
