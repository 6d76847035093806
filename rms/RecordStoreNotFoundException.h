// javax.microedition.rms.RecordStoreNotFoundException: a name that no store carries.
#pragma once

#include "rms/RecordStoreException.h"

namespace javax::microedition::rms {

class RecordStoreNotFoundException : public RecordStoreException {
    TESL_CLASS(RecordStoreNotFoundException, "javax.microedition.rms.RecordStoreNotFoundException",
               RecordStoreException)
    TESL_EXCEPTION_CONSTRUCTORS(RecordStoreNotFoundException, RecordStoreException)
};

}  // namespace javax::microedition::rms
