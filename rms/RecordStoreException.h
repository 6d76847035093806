// javax.microedition.rms.RecordStoreException: every failure of the record store and the base of its
// four narrower exceptions; thrown itself for a deleted store, for deleting an open store, and when
// the data directory cannot be listed, locked or changed.
#pragma once

#include "runtime/Exception.h"

namespace javax::microedition::rms {

class RecordStoreException : public ::java::lang::Exception {
    TESL_CLASS(RecordStoreException, "javax.microedition.rms.RecordStoreException", ::java::lang::Exception)
    TESL_EXCEPTION_CONSTRUCTORS(RecordStoreException, ::java::lang::Exception)
};

}  // namespace javax::microedition::rms
