#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "library/FileSystem.h"
#include "runtime/String.h"
#include "tests/library/FileFixture.h"

using java::io::FileSystem;

namespace {

class FileSystemThreads : public testsupport::FileFixture {};

TEST_F(FileSystemThreads, ThreadsShareOneObjectAndListingsDoNotInterleave) {
    testsupport::NoHangGuard guard(60);
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        std::string name = "rs_" + std::to_string(100 + i);
        testsupport::writeTextFile(data() / name, "x");
        expected.push_back(name);
    }
    constexpr int kThreads = 6;
    std::vector<FileSystem*> seen(kThreads);
    std::atomic<int> wrongListings{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            seen[t] = FileSystem::getFileSystem();
            for (int round = 0; round < 20; ++round) {
                std::vector<std::string> names;
                JavaPtr<JArray<JavaPtr<java::lang::String>>> listed = seen[t]->listFilenames();
                for (const JavaPtr<java::lang::String>& name : *listed) names.push_back(toUtf8(name));
                if (names != expected) wrongListings.fetch_add(1);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (FileSystem* fs : seen) EXPECT_EQ(fs, seen[0]);
    EXPECT_EQ(wrongListings.load(), 0);
    FileSystem::destroyFileSystem();
}

}  // namespace
