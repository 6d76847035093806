#include <gtest/gtest.h>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/ClassCastException.h"
#include "runtime/ClassNotFoundException.h"
#include "runtime/ConnectionNotFoundException.h"
#include "runtime/EOFException.h"
#include "runtime/IllegalMonitorStateException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/InstantiationException.h"
#include "runtime/NoSuchElementException.h"
#include "runtime/NullPointerException.h"
#include "runtime/NumberFormatException.h"
#include "runtime/RuntimeUtilities.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "runtime/UTFDataFormatException.h"
#include "tests/support/ClassRegistry.h"

using namespace java::lang;
using java::io::EOFException;
using java::io::IOException;
using javax::microedition::io::ConnectionNotFoundException;

QUILL_REGISTER_CLASSES(Throwable, Exception, RuntimeException, ClassNotFoundException, InstantiationException,
                       IOException, EOFException, java::io::UTFDataFormatException,
                       ConnectionNotFoundException, ClassCastException, IllegalArgumentException,
                       NumberFormatException, IllegalMonitorStateException, IllegalStateException,
                       IndexOutOfBoundsException, ArrayIndexOutOfBoundsException,
                       StringIndexOutOfBoundsException, NullPointerException,
                       java::util::NoSuchElementException);

namespace {

template <class Thrown, class Caught>
bool caughtAs() {
    try {
        throw Thrown();
    } catch (Caught&) {
        return true;
    } catch (...) {
        return false;
    }
}

TEST(Exceptions, HandlersCatchSubclasses) {
    EXPECT_TRUE((caughtAs<EOFException, IOException>()));
    EXPECT_TRUE((caughtAs<EOFException, Exception>()));
    EXPECT_TRUE((caughtAs<ConnectionNotFoundException, IOException>()));
    EXPECT_TRUE((caughtAs<ConnectionNotFoundException, Exception>()));
    EXPECT_TRUE((caughtAs<NumberFormatException, IllegalArgumentException>()));
    EXPECT_TRUE((caughtAs<ArrayIndexOutOfBoundsException, IndexOutOfBoundsException>()));
    EXPECT_TRUE((caughtAs<java::util::NoSuchElementException, RuntimeException>()));
    EXPECT_FALSE((caughtAs<IOException, RuntimeException>()));
    EXPECT_FALSE((caughtAs<IllegalStateException, IOException>()));
}

TEST(Exceptions, RethrowKeepsTheThrownClassAndMessage) {
    JavaPtr<String> text = jnew<String>("gone");
    try {
        try {
            EOFException e;
            e.TESLinvokeconstructor(text);
            throw e;
        } catch (IOException&) {
            throw;
        }
    } catch (EOFException& e) {
        EXPECT_EQ(e.getMessage().get(), text.get());
        return;
    } catch (...) {
    }
    ADD_FAILURE() << "the rethrown exception lost its class";
}

TEST(Exceptions, MessagesAndText) {
    Exception plain;
    plain.TESLinvokeconstructor();
    EXPECT_FALSE(plain.getMessage());
    EXPECT_EQ(plain.toString()->length(), 0);

    JavaPtr<String> text = jnew<String>("bad");
    IllegalArgumentException withText;
    withText.TESLinvokeconstructor(text);
    EXPECT_EQ(withText.getMessage().get(), text.get());
    EXPECT_EQ(toUtf8(withText.toString()), ":bad");

    IOException nullText;
    nullText.TESLinvokeconstructor(JavaPtr<String>());
    EXPECT_FALSE(nullText.getMessage());

    const std::vector<std::pair<int, const char*>> indexes = {
        {0, "Index = 0"}, {-5, "Index = -5"}, {2147483647, "Index = 2147483647"}};
    for (auto [index, expected] : indexes) {
        ArrayIndexOutOfBoundsException a;
        a.TESLinvokeconstructor(index);
        EXPECT_EQ(toUtf8(a.getMessage()), expected);
        StringIndexOutOfBoundsException s;
        s.TESLinvokeconstructor(index);
        EXPECT_EQ(toUtf8(s.getMessage()), expected);
    }
}

TEST(Exceptions, PrintStackTraceWritesTheTextAndALineEnd) {
    testing::internal::CaptureStdout();
    NullPointerException().printStackTrace();
    IllegalStateException withText;
    withText.TESLinvokeconstructor(jnew<String>("state"));
    withText.printStackTrace();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n:state\n");
}

TEST(Exceptions, ThrowingCopiesTheMessageReferenceAndReturnsItAfterTheHandler) {
    JavaPtr<String> text = jnew<String>("m");
    const int before = text->m_referenceCount.load();
    try {
        IOException e;
        e.TESLinvokeconstructor(text);
        throw e;
    } catch (IOException& caught) {
        EXPECT_EQ(text->m_referenceCount.load(), before + 1);
        // Keeping the caught object in a reference is safe: dropping it never frees the storage.
        JavaPtr<IOException> kept(&caught);
        kept = nullptr;
        EXPECT_EQ(caught.getMessage().get(), text.get());
    }
    EXPECT_EQ(text->m_referenceCount.load(), before);
}

TEST(Exceptions, ConnectionNotFoundReachesItsVirtualBase) {
    JavaPtr<ConnectionNotFoundException> e = jnew<ConnectionNotFoundException>();
    void* self = e->castAsTypeID(ConnectionNotFoundException::TESLclassTypeID);
    void* io = e->castAsTypeID(IOException::TESLclassTypeID);
    EXPECT_EQ(self, e.get());
    EXPECT_EQ(io, static_cast<IOException*>(e.get()));
    EXPECT_NE(io, self);
    EXPECT_EQ(static_cast<IOException*>(io)->castAsTypeID(ConnectionNotFoundException::TESLclassTypeID),
              self);
    for (int32_t id : {Exception::TESLclassTypeID, Throwable::TESLclassTypeID, Object::TESLclassTypeID})
        EXPECT_EQ(e->castAsTypeID(id), io);
    e->TESLinvokeconstructor(jnew<String>("url"));
    EXPECT_EQ(toUtf8(e->toString()), ":url");
}

TEST(Exceptions, HeapExceptionsAreCountedLikeAnyObject) {
    JavaPtr<Throwable> e = jnew<IllegalStateException>();
    EXPECT_EQ(e->m_referenceCount.load(), 1);
    JavaPtr<IllegalStateException> typed = jcast<IllegalStateException>(e);
    EXPECT_EQ(e->m_referenceCount.load(), 2);
}

TEST(Exceptions, ThrowHelpers) {
    EXPECT_THROW(throwArrayException(5, 3), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(checkNullPointer(nullptr), NullPointerException);
    int x = 0;
    EXPECT_NO_THROW(checkNullPointer(&x));
    EXPECT_THROW(throwClassCastException(), ClassCastException);
}

}  // namespace
