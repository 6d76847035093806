// java.lang.Class: the name of a class, made on demand by Object::getClass and by forName (array
// names only). There is no table of classes: a Class knows its name and nothing else.
#pragma once

#include "runtime/Object.h"

namespace java::io {
class InputStream;
}

namespace java::lang {

class String;

class Class : public Object {
    TESL_CLASS(Class, "java.lang.Class", Object)
public:
    // An empty name: such a Class stands for void.
    Class();
    ~Class() override = default;

    // "void" for an empty name, "interface " or "class " followed by the name otherwise.
    JavaPtr<String> toString() override;

    // The same string each time.
    JavaPtr<String> getName() { return name; }
    // Whether the name begins with "["; an empty name throws IndexOutOfBoundsException.
    bool isArray();
    bool isInterface() { return m_isInterface; }
    // Without a table of classes neither can be answered: both are always false.
    bool isAssignableFrom(const JavaPtr<Class>& other);
    bool isInstance(const JavaPtr<Object>& object);
    // Opens a file of the bundle (a name beginning with "/") or of the data directory; null for a null
    // or empty name and for a file that cannot be opened. This Class plays no part. Defined by the
    // library, which owns the file classes: callers link it.
    JavaPtr<::java::io::InputStream> getResourceAsStream(const JavaPtr<String>& resourceName);
    // Always throws InstantiationException.
    JavaPtr<Object> newInstance();

    // A Class named by the very string given, for array names (beginning with "["); any other name
    // throws ClassNotFoundException, an empty one IndexOutOfBoundsException.
    static JavaPtr<Class> forName(const JavaPtr<String>& className);

    JavaPtr<String> name;

private:
    bool m_isInterface = false;
};

}  // namespace java::lang
