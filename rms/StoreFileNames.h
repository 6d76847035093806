// The names of store files in the data directory: "rs_" + number for a store, "rs_tmp" + number for
// a rewrite under way (or one a killed process left behind).
#pragma once

#include "runtime/JavaPtr.h"

namespace java::io {
class FileOutputStream;
}
namespace java::lang {
class String;
}

namespace javax::microedition::rms {

inline constexpr const char* kStoreFilePrefix = "rs_";
inline constexpr const char* kTemporaryFilePrefix = "rs_tmp";

// Whether name is prefix followed by nothing but ASCII digits.
bool isNumberedName(const JavaPtr<::java::lang::String>& name, const char* prefix);
// A new file under the first free name of prefix + number from first on, claimed by creating it
// exclusively; null (and no file) when none could be made.
JavaPtr<::java::io::FileOutputStream> claimNumberedFile(const char* prefix, int first,
                                                        JavaPtr<::java::lang::String>& claimed);

}  // namespace javax::microedition::rms
