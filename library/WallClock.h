// The wall clock the date classes read: milliseconds since 1 January 1970 UTC.
#pragma once

long long wallClockMillis();
