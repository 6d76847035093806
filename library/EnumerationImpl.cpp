#include "library/EnumerationImpl.h"

#include "runtime/NoSuchElementException.h"

namespace java::util {

EnumerationImpl::EnumerationImpl(const JavaPtr<JArray<JavaPtr<::java::lang::Object>>>& snapshot) {
    Object::TESLinvokeconstructor();
    m_snapshot = snapshot;
    m_cursor = 0;
}

bool EnumerationImpl::hasMoreElements() {
    return m_snapshot && m_cursor < m_snapshot->length;
}

JavaPtr<::java::lang::Object> EnumerationImpl::nextElement() {
    if (!hasMoreElements()) throw NoSuchElementException();
    return m_snapshot->data[m_cursor++];
}

}  // namespace java::util
