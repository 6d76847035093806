// Real processes against the real disk: a saving child killed at random moments (the store is never
// wrong and its temporary files do not pile up), and a child whose file-size limit makes the disk full
// under it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "rms/RecordEnumeration.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "tests/rms/PowerLossDisk.h"
#include "tests/rms/StoreFiles.h"
#include "tests/rms/StoreStates.h"

using namespace javax::microedition::rms;
using testsupport::byteArray;
using testsupport::jstr;

namespace {

class StoreProcesses : public testsupport::StoreFixture {};

// The record of save generation g: 1 KB that names its generation.
std::string generation(int g) {
    std::string bytes = "generation " + std::to_string(g) + ";";
    bytes.resize(1024, static_cast<char>('a' + g % 26));
    return bytes;
}

// The save sequence is add generation g + 1, then delete generation g, so that the store holds
// generation g alone in state 2g and generations g and g + 1 in state 2g + 1. Answers the state the
// records show, or -1 when they fit none.
int stateOfRecords(const std::map<int, std::string>& records) {
    std::vector<int> generations;
    for (const auto& [id, bytes] : records) {
        int g = -1;
        if (std::sscanf(bytes.c_str(), "generation %d;", &g) != 1 || bytes != generation(g)) return -1;
        generations.push_back(g);
    }
    if (generations.size() == 1) return 2 * generations[0];
    if (generations.size() == 2 && generations[1] == generations[0] + 1) return 2 * generations[0] + 1;
    return -1;
}

// The child's loop: the quiz's save pattern, one step at a time, each step reported once it returned.
[[noreturn]] void saveUntilKilled(int report) {
    alarm(20);  // should the parent go, so does this process
    try {
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("save"), true);
        int state = stateOfRecords(testsupport::stateOf(store).records);
        if (state < 0) _exit(3);
        while (true) {
            const int g = state / 2;
            if (state % 2 == 0) {
                const std::string next = generation(g + 1);
                store->addRecord(byteArray(next), 0, static_cast<int>(next.size()));
            } else {
                // Find the older record through an enumeration, as the quiz does.
                JavaPtr<RecordEnumeration> records = store->enumerateRecords(nullptr, nullptr, false);
                const int oldest = records->nextRecordId();
                records->destroy();
                store->deleteRecord(oldest);
            }
            ++state;
            if (write(report, &state, sizeof state) != sizeof state) _exit(4);
        }
    } catch (...) {
        _exit(5);
    }
}

TEST_F(StoreProcesses, AKilledSaverLeavesTheLastAcknowledgedStateOrTheNext) {
    testsupport::NoHangGuard guard(120);
    {
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("save"), true);
        const std::string first = generation(0);
        store->addRecord(byteArray(first), 0, static_cast<int>(first.size()));
    }
    RecordStore::tidyUp();
    std::mt19937 random(20240611);
    constexpr int kRounds = 40;
    int state = 0, acknowledged = 0, aheadOfReport = 0, mostTemporaries = 0;
    for (int rounds = 0; rounds < kRounds; ++rounds) {
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(channel[0]);
            saveUntilKilled(channel[1]);
        }
        close(channel[1]);
        // The kill comes at a random moment after the child's first step, however slow the machine.
        int first = -1;
        ASSERT_EQ(read(channel[0], &first, sizeof first), static_cast<ssize_t>(sizeof first))
            << "round " << rounds;
        ASSERT_EQ(first, state + 1) << "round " << rounds << ": the saver goes on from the state found last";
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 15000));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saver stopped by itself, status " << status;
        int reported = first;
        ++acknowledged;
        for (int n = 0; read(channel[0], &n, sizeof n) == sizeof n;) {
            reported = n;
            ++acknowledged;
        }
        close(channel[0]);

        const testsupport::StoreState found = testsupport::restartAndRead("save");
        ASSERT_TRUE(found.present && found.error.empty()) << "round " << rounds << ": " << found;
        const int now = stateOfRecords(found.records);
        ASSERT_TRUE(now == reported || now == reported + 1)
            << "round " << rounds << ": last acknowledged state " << reported << ", found " << now;
        if (now == reported + 1) ++aheadOfReport;
        state = now;
        // Every saver's first step cleared what earlier ones left, so only the one it was writing
        // when killed can remain.
        int temporaries = 0;
        for (const std::string& name : files()) temporaries += name.rfind("rs_tmp", 0) == 0 ? 1 : 0;
        ASSERT_LE(temporaries, 1) << "round " << rounds << ": temporary files pile up";
        mostTemporaries = std::max(mostTemporaries, temporaries);
    }
    std::printf(
        "%d kills, %d acknowledged steps, %d kills after a step that was not yet reported, at most %d "
        "temporary files\n",
        kRounds, acknowledged, aheadOfReport, mostTemporaries);
}

TEST_F(StoreProcesses, AFullDiskRefusesTheRecordAndLeavesTheFileAsItWas) {
    testsupport::NoHangGuard guard(60);
    {
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("full"), true);
        store->addRecord(byteArray("already saved"), 0, 13);
    }
    RecordStore::tidyUp();
    const std::string before = testsupport::PowerLossDisk::contents(data() / "rs_1");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = before.size() + 100;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(6);
        int outcome = 1;
        try {
            JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("full"), false);
            const std::string big(1024, 'x');
            store->addRecord(byteArray(big), 0, static_cast<int>(big.size()));
        } catch (RecordStoreFullException&) {
            outcome = 0;
        } catch (...) {
            outcome = 2;
        }
        _exit(outcome);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the record was taken, 2: another exception, 6: no limit";
    EXPECT_EQ(testsupport::PowerLossDisk::contents(data() / "rs_1"), before) << "byte for byte as before";
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"}) << "the cut temporary file is gone";
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("full"), false);
    EXPECT_EQ(store->addRecord(byteArray(std::string(1024, 'x')), 0, 1024), 2) << "without the limit it fits";
}

}  // namespace
