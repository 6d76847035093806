// Whether a call throws a given runtime exception, for checks that go on after the throw.
#pragma once

namespace testsupport {

// True when f throws Thrown (or a subclass); any other exception passes through.
template <class Thrown, class F>
bool throws(F&& f) {
    try {
        f();
    } catch (Thrown&) {
        return true;
    }
    return false;
}

}  // namespace testsupport
