// Deadlines for blocking waits, on the monotonic clock so that a change of the wall clock neither
// ends a wait early nor stretches it.
#pragma once

#include <ctime>

// The monotonic clock now, in milliseconds from an arbitrary origin.
long long monotonicMillis();
// The monotonic time ms milliseconds from now (in the past for a negative ms), as the absolute
// deadline of clock_nanosleep and of condition variables set to the monotonic clock.
timespec monotonicDeadlineAfter(long long ms);
