// Opening a web page for the MIDlet's platformRequest, through the installed host.
#pragma once

// True when the host took the address: it parses (a scheme, then ':') and the opener started (or, in
// a headless run, was recorded). False for a null or empty address, one that does not parse, a failed
// opener, or no host.
extern "C" bool _URLplatformRequest(const char* url);
