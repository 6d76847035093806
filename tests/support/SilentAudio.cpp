// No test plays through a sound card: OpenAL, which reads its driver list at its first use, is sent
// to its null device, which plays silently in real time. A driver named in the environment is kept.
#include <cstdlib>

namespace {

const bool silentAudio = [] { return setenv("ALSOFT_DRIVERS", "null", 0) == 0; }();

}  // namespace
