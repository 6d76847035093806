// libFuzzer target for the record store: the bytes are a sequence of operations (changes, reads,
// enumerations, reopenings, restarts, injected I/O errors) run against a store and a plain model of it
// (tests/rms/StoreModel.h, which the model test also drives); any disagreement aborts.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/files/FileSystemPaths.h"
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
