#include "runtime/Class.h"

#include "runtime/ClassNotFoundException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/InstantiationException.h"
#include "runtime/String.h"

namespace java::lang {

Class::Class() : name(jnew<String>("")) {}

JavaPtr<String> Class::toString() {
    if (!name || name->length() == 0) return jnew<String>("void");
    String kind(m_isInterface ? "interface " : "class ");
    return kind + JavaPtr<Object>(name);
}

bool Class::isArray() {
    // A name cleared by hand counts as empty.
    if (!name) throw IndexOutOfBoundsException();
    return name->charAt(0) == '[';
}

bool Class::isAssignableFrom(const JavaPtr<Class>&) {
    return false;
}

bool Class::isInstance(const JavaPtr<Object>&) {
    return false;
}

JavaPtr<Object> Class::newInstance() {
    throw InstantiationException();
}

JavaPtr<Class> Class::forName(const JavaPtr<String>& className) {
    if (!className || className->charAt(0) != '[') throw ClassNotFoundException();
    JavaPtr<Class> result = jnew<Class>();
    result->name = className;
    return result;
}

}  // namespace java::lang
