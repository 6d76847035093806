#include "runtime/Reference.h"

namespace java::lang::ref {

Reference::~Reference() {
    clear();
}

void Reference::clear() {
    if (m_referent == nullptr) return;
    Smart* owner = m_referent;
    if (owner->m_weakHead == this) owner->m_weakHead = m_next;
    if (m_previous != nullptr) m_previous->m_next = m_next;
    if (m_next != nullptr) m_next->m_previous = m_previous;
    m_previous = nullptr;
    m_next = nullptr;
    m_referent = nullptr;
}

JavaPtr<Object> Reference::get() {
    return JavaPtr<Object>(m_referent);
}

void Reference::clearAll(Reference* head) {
    while (head != nullptr) {
        Reference* next = head->m_next;
        head->clear();
        head = next;
    }
}

}  // namespace java::lang::ref
