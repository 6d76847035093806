// java.io.File: a file name turned into a full path. Names beginning with "/" are resources in the
// bundle directory, any other name a file in the data directory; a path ending in ".png" ends in
// "_png" instead, the name under which the bundle stores such resources.
#pragma once

#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::io {

class File : public ::java::lang::Object {
    TESL_CLASS(File, "java.io.File", ::java::lang::Object)
public:
    // A name the file layer refuses (see library/FileNames.h) still gets its path, but nothing is
    // ever opened by it.
    explicit File(const JavaPtr<::java::lang::String>& name);
    ~File() override = default;

    // The size of the regular file at path; 0 when there is none.
    long long length();
    // Whether the name was accepted, so that the path may be opened.
    bool hasUsablePath() const { return m_usable; }

    // The full path; null only for a null name.
    JavaPtr<::java::lang::String> path;

private:
    bool m_usable = false;
};

}  // namespace java::io
