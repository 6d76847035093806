// Stream costs beside hand-written and standard-library equivalents: the data reader over a byte array
// against a big-endian reader over std::span, and a 1 MiB file read against std::ifstream and fread.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "library/ByteArrayInputStream.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "platform/files/FileSystemPaths.h"
#include "runtime/String.h"

namespace {

constexpr int kInts = 4096;
constexpr int kStrings = 512;
constexpr int kFileSize = 1 << 20;

std::vector<signed char> encoded(bool strings) {
    JavaPtr<java::io::ByteArrayOutputStream> bytes = jnew<java::io::ByteArrayOutputStream>();
    JavaPtr<java::io::DataOutputStream> out = jnew<java::io::DataOutputStream>(bytes);
    if (strings) {
        JavaPtr<java::lang::String> text = jnew<java::lang::String>("Which word completes the sentence?");
        for (int i = 0; i < kStrings; ++i) out->writeUTF(text);
    } else {
        for (int i = 0; i < kInts; ++i) out->writeInt(i * 2654435761u);
    }
    JavaPtr<JArray<signed char>> array = bytes->toByteArray();
    return std::vector<signed char>(array->begin(), array->end());
}

JavaPtr<JArray<signed char>> arrayOf(const std::vector<signed char>& bytes) {
    JavaPtr<JArray<signed char>> array = jnew<JArray<signed char>>(static_cast<int>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array->data);
    return array;
}

// The baseline: the same wire format read straight from memory.
class SpanReader {
public:
    explicit SpanReader(std::span<const unsigned char> bytes) : m_bytes(bytes) {}
    int32_t readInt() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | next();
        return static_cast<int32_t>(v);
    }
    std::u16string readUTF() {
        const size_t n = (static_cast<size_t>(next()) << 8) | next();
        const size_t end = m_position + n;
        std::u16string units;
        units.reserve(n);
        while (m_position < end) {
            const unsigned c = next();
            if (c < 0x80) {
                units.push_back(static_cast<char16_t>(c));
            } else if ((c >> 5) == 6 && m_position < end) {
                units.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (next() & 0x3F)));
            } else if ((c >> 4) == 14 && m_position + 1 < end) {
                const unsigned b1 = next();
                units.push_back(
                    static_cast<char16_t>(((c & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (next() & 0x3F)));
            } else {
                m_position = end;
            }
        }
        return units;
    }

private:
    unsigned next() { return m_position < m_bytes.size() ? m_bytes[m_position++] : 0xFF; }
    std::span<const unsigned char> m_bytes;
    size_t m_position = 0;
};

void DataInputStreamReadInt(benchmark::State& state) {
    JavaPtr<JArray<signed char>> array = arrayOf(encoded(false));
    for (auto _ : state) {
        JavaPtr<java::io::DataInputStream> in =
            jnew<java::io::DataInputStream>(jnew<java::io::ByteArrayInputStream>(array));
        int32_t sum = 0;
        for (int i = 0; i < kInts; ++i) sum += in->readInt();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * kInts * 4);
}
BENCHMARK(DataInputStreamReadInt);

void SpanReaderReadInt(benchmark::State& state) {
    const std::vector<signed char> bytes = encoded(false);
    const std::span<const unsigned char> view(reinterpret_cast<const unsigned char*>(bytes.data()),
                                              bytes.size());
    for (auto _ : state) {
        SpanReader in(view);
        int32_t sum = 0;
        for (int i = 0; i < kInts; ++i) sum += in.readInt();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * kInts * 4);
}
BENCHMARK(SpanReaderReadInt);

void DataInputStreamReadUTF(benchmark::State& state) {
    const std::vector<signed char> bytes = encoded(true);
    JavaPtr<JArray<signed char>> array = arrayOf(bytes);
    for (auto _ : state) {
        JavaPtr<java::io::DataInputStream> in =
            jnew<java::io::DataInputStream>(jnew<java::io::ByteArrayInputStream>(array));
        for (int i = 0; i < kStrings; ++i) benchmark::DoNotOptimize(in->readUTF().get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(DataInputStreamReadUTF);

void SpanReaderReadUTF(benchmark::State& state) {
    const std::vector<signed char> bytes = encoded(true);
    const std::span<const unsigned char> view(reinterpret_cast<const unsigned char*>(bytes.data()),
                                              bytes.size());
    for (auto _ : state) {
        SpanReader in(view);
        for (int i = 0; i < kStrings; ++i) benchmark::DoNotOptimize(in.readUTF());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(SpanReaderReadUTF);

// A 1 MiB file in a data directory of its own, removed at exit.
struct TestFile {
    std::filesystem::path directory;
    std::string path;
    TestFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quill-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        directory = pattern;
        path = (directory / "blob").string();
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < kFileSize; ++i) out.put(static_cast<char>(i * 31));
        platform::setFileSystemPaths(directory.c_str(), directory.c_str());
    }
    ~TestFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
};

const TestFile& testFile() {
    static TestFile file;
    return file;
}

void FileInputStreamRead1MiB(benchmark::State& state) {
    testFile();
    JavaPtr<JArray<signed char>> buffer = jnew<JArray<signed char>>(static_cast<int>(state.range(0)));
    JavaPtr<java::lang::String> name = jnew<java::lang::String>("blob");
    for (auto _ : state) {
        JavaPtr<java::io::FileInputStream> in = jnew<java::io::FileInputStream>(jnew<java::io::File>(name));
        long long total = 0;
        for (int got; (got = in->read(buffer)) > 0;) total += got;
        if (total != kFileSize) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(FileInputStreamRead1MiB)->Arg(4096)->Arg(kFileSize);

void IfstreamRead1MiB(benchmark::State& state) {
    const std::string& path = testFile().path;
    std::vector<char> buffer(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        long long total = 0;
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
            total += in.gcount();
        if (total != kFileSize) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(IfstreamRead1MiB)->Arg(4096)->Arg(kFileSize);

void FreadRead1MiB(benchmark::State& state) {
    const std::string& path = testFile().path;
    std::vector<char> buffer(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "rb");
        long long total = 0;
        for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;)
            total += static_cast<long long>(got);
        std::fclose(file);
        if (total != kFileSize) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(FreadRead1MiB)->Arg(4096)->Arg(kFileSize);

// One byte at a time through read(), as the data readers do on a file.
void FileInputStreamReadByte1MiB(benchmark::State& state) {
    testFile();
    JavaPtr<java::lang::String> name = jnew<java::lang::String>("blob");
    for (auto _ : state) {
        JavaPtr<java::io::FileInputStream> in = jnew<java::io::FileInputStream>(jnew<java::io::File>(name));
        long long total = 0;
        while (in->read() != -1) ++total;
        if (total != kFileSize) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(FileInputStreamReadByte1MiB);

void FgetcRead1MiB(benchmark::State& state) {
    const std::string& path = testFile().path;
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "rb");
        long long total = 0;
        while (std::fgetc(file) != EOF) ++total;
        std::fclose(file);
        if (total != kFileSize) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(FgetcRead1MiB);

}  // namespace
