// How the file classes turn names into paths under the bundle and data directories, and which names
// they refuse: a name that could reach outside its directory, or that two different names would
// share once reduced to the 8-bit path handed to the C library.
#pragma once

#include "runtime/String.h"

namespace tesl {

// False for a null or empty name, a unit above 0xFF, U+0000, or a ".." component between slashes.
bool isAcceptableFileName(const JavaPtr<::java::lang::String>& name);

// The string of a directory path, byte by byte (no escape decoding); a null path gives an empty
// string.
JavaPtr<::java::lang::String> bytesToString(const char* bytes);

// True when name begins with "/".
bool beginsWithSlash(const JavaPtr<::java::lang::String>& name);

// directory + name when name begins with "/", else directory + "/" + name. A null name counts as
// "null", as string concatenation reads it.
JavaPtr<::java::lang::String> pathUnder(const char* directory, const JavaPtr<::java::lang::String>& name);

// directory + "/" + name whatever name begins with.
JavaPtr<::java::lang::String> pathBelow(const char* directory, const JavaPtr<::java::lang::String>& name);

}  // namespace tesl
