// javax.microedition.media.MediaException: a player that cannot do what it was asked.
#pragma once

#include "runtime/Exception.h"

namespace javax::microedition::media {

class MediaException : public ::java::lang::Exception {
    TESL_CLASS(MediaException, "javax.microedition.media.MediaException", ::java::lang::Exception)
    TESL_EXCEPTION_CONSTRUCTORS(MediaException, ::java::lang::Exception)
};

}  // namespace javax::microedition::media
