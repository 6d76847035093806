// Fixtures of the messaging tests: the package's statics per test, and a composer that records what it
// is shown and answers with scripted verdicts, at once or from another thread.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "messaging/MessageConnection.h"
#include "platform/messaging/MessageComposer.h"

namespace messagingtest {

struct Composed {
    std::string recipient;
    std::string body;
    int port = -1;
    bool binary = false;
};

class RecordingComposer : public platform::MessageComposer {
public:
    ~RecordingComposer() override { joinAnswers(); }

    void composeText(const char* recipient, const char* body) override {
        record({recipient ? recipient : "<null>", body ? body : "<null>", -1, false});
    }
    void composeBinary(const char* recipient, int port, const unsigned char* payload, int length) override {
        record({recipient ? recipient : "<null>",
                std::string(reinterpret_cast<const char*>(payload),
                            static_cast<size_t>(length > 0 ? length : 0)),
                port, true});
    }

    std::vector<Composed> shown() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown;
    }
    // Verdicts for the next messages in turn; sent when none is left, or by the rule when one is set.
    void script(std::initializer_list<int> verdicts) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_verdicts.insert(m_verdicts.end(), verdicts);
    }
    std::function<int(const Composed&)> rule;
    // Answer from a thread of its own instead of inside the compose call.
    std::atomic<bool> answerLate{false};
    // A message was shown while the one before still waited for its verdict.
    std::atomic<bool> overlapped{false};

    void joinAnswers() {
        std::vector<std::thread> threads;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            threads.swap(m_answers);
        }
        for (std::thread& thread : threads) thread.join();
    }

private:
    void record(Composed composed) {
        if (m_pending.exchange(true)) overlapped = true;
        int verdict = platform::kMessageSent;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_shown.push_back(composed);
            if (!m_verdicts.empty()) {
                verdict = m_verdicts.front();
                m_verdicts.pop_front();
            }
        }
        if (rule) verdict = rule(composed);
        auto answer = [this, verdict] {
            m_pending = false;
            platform::reportMessageVerdict(verdict);
        };
        if (!answerLate) {
            answer();
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.emplace_back(answer);
    }

    std::mutex m_mutex;
    std::vector<Composed> m_shown;
    std::deque<int> m_verdicts;
    std::vector<std::thread> m_answers;
    std::atomic<bool> m_pending{false};
};

// The message-type statics and the "sms://" factory for the length of a test, with the recording
// composer installed.
struct MessagingTest : ::testing::Test {
    MessagingTest() {
        javax::wireless::messaging::MessageConnection::MessageConnection_staticInit();
        platform::setMessageComposer(&composer);
    }
    ~MessagingTest() override {
        composer.joinAnswers();
        platform::setMessageComposer(nullptr);
        javax::wireless::messaging::MessageConnection::MessageConnection_staticDestroy();
    }
    RecordingComposer composer;
};

}  // namespace messagingtest
