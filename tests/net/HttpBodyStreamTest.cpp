// The body streams: the response body the network thread appends to, and the request body's flush.
#include <gtest/gtest.h>

#include <vector>

#include "net/HttpInputStream.h"
#include "net/HttpOutputStream.h"
#include "runtime/IOException.h"
#include "runtime/JArray.h"

namespace {

using javax::microedition::io::HttpInputStream;
using javax::microedition::io::HttpOutputStream;

std::vector<int> readAll(HttpInputStream& in) {
    std::vector<int> bytes;
    for (int b; (b = in.read()) >= 0;) bytes.push_back(b);
    return bytes;
}

TEST(HttpBodyStreamTest, AppendedBytesReadBackInOrderAcrossAppends) {
    auto in = jnew<HttpInputStream>();
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->read(), -1);
    const signed char first[] = {1, 2, 3};
    const signed char second[] = {4, static_cast<signed char>(0xFF)};
    in->write(first, 3);
    in->write(second, 2);
    in->write(second, 0);
    EXPECT_EQ(in->available(), 5);
    EXPECT_EQ(in->size(), 5);
    EXPECT_EQ(readAll(*in), (std::vector<int>{1, 2, 3, 4, 255}));
    // A reader at the end sees what is appended next.
    in->write(static_cast<signed char>(9));
    EXPECT_EQ(in->read(), 9);
    EXPECT_EQ(in->read(), -1);
}

TEST(HttpBodyStreamTest, BlockReadsStopAtTheCountNotTheGrownArray) {
    auto in = jnew<HttpInputStream>();
    std::vector<signed char> body(10000);
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<signed char>(i * 7);
    for (size_t at = 0; at < body.size(); at += 1000) ASSERT_TRUE(in->append(body.data() + at, 1000));
    auto buffer = jnew<JArray<signed char>>(4096);
    std::vector<signed char> read;
    for (int n; (n = in->read(buffer, 0, buffer->length)) > 0;)
        read.insert(read.end(), buffer->data, buffer->data + n);
    EXPECT_EQ(read, body);
    EXPECT_EQ(in->skip(5), 0);
}

TEST(HttpBodyStreamTest, ClosedBodyReadsAsEndAndRefusesAppends) {
    auto in = jnew<HttpInputStream>();
    const signed char bytes[] = {1, 2, 3};
    in->write(bytes, 3);
    EXPECT_EQ(in->read(), 1);
    in->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(jnew<JArray<signed char>>(4), 0, 4), -1);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->skip(2), 0);
    EXPECT_FALSE(in->append(bytes, 3));
    EXPECT_THROW(in->write(bytes, 3), java::io::IOException);
}

TEST(HttpBodyStreamTest, FlushWithoutConnectionKeepsTheBytes) {
    auto out = jnew<HttpOutputStream>();
    out->write(jnew<JArray<signed char>>(5));
    out->flush();
    EXPECT_EQ(out->size(), 5);
    out->close();
    out->write(1);
    EXPECT_EQ(out->size(), 6);
}

}  // namespace
