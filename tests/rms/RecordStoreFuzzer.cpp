// Fuzz target: the bytes are a sequence of record-store operations, run against the store and its
// model (tests/rms/StoreModel.h); a disagreement aborts. Built with libFuzzer under Clang (the fuzz
// preset); elsewhere a small driver feeds it random inputs, taking the same -runs= and
// -max_total_time= flags, or replays the files named on its command line.
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/FileSystemPaths.h"
#include "tests/rms/StoreModel.h"

namespace {

// A fresh data directory for one input, in memory where there is a memory file system, removed
// afterwards (libFuzzer ends its process without running exit handlers).
class InputDirectory {
public:
    InputDirectory() {
        std::string pattern = std::filesystem::is_directory("/dev/shm")
                                  ? std::string("/dev/shm/quill-fuzz-XXXXXX")
                                  : (std::filesystem::temp_directory_path() / "quill-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        m_path = pattern;
        platform::setFileSystemPaths(m_path.c_str(), m_path.c_str());
    }
    ~InputDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

private:
    std::string m_path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputDirectory directory;
    const std::string problem = testsupport::StoreModelRun().run(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "record store and model disagree: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}

#ifndef QUILL_LIBFUZZER
int main(int argc, char** argv) {
    long runs = 500, seconds = 30;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0) {
            runs = std::strtol(argv[i] + 6, nullptr, 10);
        } else if (std::strncmp(argv[i], "-max_total_time=", 16) == 0) {
            seconds = std::strtol(argv[i] + 16, nullptr, 10);
        } else if (argv[i][0] != '-') {
            inputs.emplace_back(argv[i]);
        }
    }
    for (const std::string& name : inputs) {
        std::ifstream in(name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    if (!inputs.empty()) return 0;
    std::mt19937 random(std::random_device{}());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    long done = 0;
    for (; done < runs && std::chrono::steady_clock::now() < deadline; ++done) {
        std::vector<uint8_t> bytes(random() % 600);
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%ld random inputs agreed with the model\n", done);
    return 0;
}
#endif
