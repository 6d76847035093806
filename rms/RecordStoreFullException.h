// javax.microedition.rms.RecordStoreFullException: a store file that cannot be written or loaded.
#pragma once

#include "rms/RecordStoreException.h"

namespace javax::microedition::rms {

class RecordStoreFullException : public RecordStoreException {
    TESL_CLASS(RecordStoreFullException, "javax.microedition.rms.RecordStoreFullException",
               RecordStoreException)
    TESL_EXCEPTION_CONSTRUCTORS(RecordStoreFullException, RecordStoreException)
};

}  // namespace javax::microedition::rms
