// javax.microedition.rms.RecordStoreNotOpenException: a store object that has been closed.
#pragma once

#include "rms/RecordStoreException.h"

namespace javax::microedition::rms {

class RecordStoreNotOpenException : public RecordStoreException {
    TESL_CLASS(RecordStoreNotOpenException, "javax.microedition.rms.RecordStoreNotOpenException",
               RecordStoreException)
    TESL_EXCEPTION_CONSTRUCTORS(RecordStoreNotOpenException, RecordStoreException)
};

}  // namespace javax::microedition::rms
