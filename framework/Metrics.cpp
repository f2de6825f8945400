// GetMetric and the virtual screen. The multi-monitor functions are looked up
// at run time because older systems lack them; there the virtual-screen
// metrics read 0 and are answered from the primary screen instead.
#include "base/PlacementMath.h"
#include "framework/Window.h"

namespace {

using SystemMetricsFunction = int(WINAPI*)(int);

struct MetricSource {
    bool lookedUp = false;
    SystemMetricsFunction systemMetrics = nullptr; // present only with multi-monitor support
};

// Set once, first reached from the main frame's start-up before any other
// thread exists, so it needs no guard.
MetricSource source;

void LookUpMultiMonitorSupport() {
    source.lookedUp = true;
    HMODULE user = GetModuleHandleW(L"USER32");
    if (user == nullptr)
        return;
    static const char* const kNames[] = {"GetSystemMetrics",   "MonitorFromWindow",   "MonitorFromRect",
                                         "MonitorFromPoint",   "EnumDisplayMonitors", "GetMonitorInfoA",
                                         "EnumDisplayDevicesA"};
    FARPROC first = nullptr;
    for (const char* name : kNames) {
        FARPROC entry = GetProcAddress(user, name);
        if (entry == nullptr)
            return; // all or nothing
        if (first == nullptr)
            first = entry;
    }
    source.systemMetrics = reinterpret_cast<SystemMetricsFunction>(reinterpret_cast<void*>(first));
}

int32_t PrimaryMetric(int32_t index) {
    return GetSystemMetrics(index);
}

} // namespace

int32_t GetMetric(int32_t index) {
    if (!source.lookedUp)
        LookUpMultiMonitorSupport();
    if (source.systemMetrics != nullptr)
        return source.systemMetrics(index);
    return placement::FallbackMetric(index, PrimaryMetric);
}

void GetVirtualScreenRect(RECT& out) {
    const placement::Rect r =
        placement::VirtualScreenFromMetrics(GetMetric(SM_XVIRTUALSCREEN), GetMetric(SM_YVIRTUALSCREEN),
                                            GetMetric(SM_CXVIRTUALSCREEN), GetMetric(SM_CYVIRTUALSCREEN));
    out = {r.left, r.top, r.right, r.bottom};
}
