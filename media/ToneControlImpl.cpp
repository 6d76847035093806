#include "media/ToneControlImpl.h"

#include <utility>

#include "media/PlayerImpl.h"

namespace javax::microedition::media::control {

ToneControlImpl::~ToneControlImpl() {
    parent = nullptr;
}

ToneControlImpl* ToneControlImpl::TESLinvokeconstructor(const JavaPtr<PlayerImpl>& player) {
    Object::TESLinvokeconstructor();
    parent = player;
    return this;
}

void ToneControlImpl::setSequence(const JavaPtr<JArray<signed char>>&) {
    // No tone is ever played.
}

void ToneControlImpl::notifyParentClosed() {
    JavaPtr<PlayerImpl> released;
    std::lock_guard<std::mutex> guard(m_lock);
    released = std::move(parent);
}

}  // namespace javax::microedition::media::control
