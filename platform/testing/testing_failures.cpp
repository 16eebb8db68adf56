// Failure injection for the tests (no library): armed failures per creation step.
#include "testing.h"

namespace {
struct ArmedFailure {
    int skip = 0;
    int times = 0;
};
ArmedFailure g_armed[static_cast<int>(FailPoint::Count)];

// Each call of an armed step consumes one failure.
bool ShouldFail(FailPoint point)
{
    ArmedFailure& armed = g_armed[static_cast<int>(point)];
    if (armed.times <= 0)
        return false;
    if (armed.skip > 0) {
        armed.skip--;
        return false;
    }
    armed.times--;
    return true;
}
} // namespace

void TestFailNext(FailPoint point, int times, int skip)
{
    g_platformHooks.shouldFail = ShouldFail;
    ArmedFailure& armed = g_armed[static_cast<int>(point)];
    armed.skip = skip;
    armed.times = times;
}

void TestResetFailures()
{
    for (ArmedFailure& armed : g_armed)
        armed = ArmedFailure();
}
