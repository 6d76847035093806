// javax.microedition.rms.InvalidRecordIDException: a record id that is not in the store, or an enumeration
// stepped past its end.
#pragma once

#include "rms/RecordStoreException.h"

namespace javax::microedition::rms {

class InvalidRecordIDException : public RecordStoreException {
    TESL_CLASS(InvalidRecordIDException, "javax.microedition.rms.InvalidRecordIDException",
               RecordStoreException)
    TESL_EXCEPTION_CONSTRUCTORS(InvalidRecordIDException, RecordStoreException)
};

}  // namespace javax::microedition::rms
