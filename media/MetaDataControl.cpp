#include "media/MetaDataControl.h"

namespace javax::microedition::media::control {

using ::java::lang::String;

constinit JavaPtr<String> MetaDataControl::AUTHOR_KEY;
constinit JavaPtr<String> MetaDataControl::COPYRIGHT_KEY;
constinit JavaPtr<String> MetaDataControl::DATE_KEY;
constinit JavaPtr<String> MetaDataControl::TITLE_KEY;

void MetaDataControl::MetaDataControl_staticInit() {
    AUTHOR_KEY = jnew<String>("author");
    COPYRIGHT_KEY = jnew<String>("copyright");
    DATE_KEY = jnew<String>("date");
    TITLE_KEY = jnew<String>("title");
}

void MetaDataControl::MetaDataControl_staticDestroy() {
    AUTHOR_KEY = nullptr;
    COPYRIGHT_KEY = nullptr;
    DATE_KEY = nullptr;
    TITLE_KEY = nullptr;
}

}  // namespace javax::microedition::media::control
