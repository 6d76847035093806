// The libraries' static hooks, called by start-up, the ticker loop and the tear-down in fixed
// orders. A hook whose library is not part of the build yet keeps its place as a named call site.
#pragma once

void TSlibs_staticInit();
void TSlibs_staticDestroy();
// The libraries' polls of one ticker pass: media, sensor, location. A poll that throws is logged
// and the others still run.
void TSlibs_tickPolling();

// Tests record the hooks' calls here: each hook adds its name before it runs. Null records nothing.
void setTSlibsCallLog(void (*log)(const char* hook));
void TSlibs_logCall(const char* hook);
