// Class::getResourceAsStream, defined here beside the file classes it opens so that the runtime, which
// holds Class, does not depend on the library.
#include "library/File.h"
#include "library/FileInputStream.h"
#include "runtime/Class.h"
#include "runtime/String.h"

namespace java::lang {

JavaPtr<::java::io::InputStream> Class::getResourceAsStream(const JavaPtr<String>& resourceName) {
    if (!resourceName || resourceName->length() == 0) return nullptr;
    JavaPtr<::java::io::File> file = jnew<::java::io::File>(resourceName);
    JavaPtr<::java::io::FileInputStream> stream = jnew<::java::io::FileInputStream>(file);
    if (!stream->opened) return nullptr;
    return stream;
}

}  // namespace java::lang
