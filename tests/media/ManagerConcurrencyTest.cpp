// The media manager and its players reached from several threads at once: application threads make,
// steer and close players while the ticker polls the table and the platform begins and ends audio
// interruptions.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "library/ByteArrayInputStream.h"
#include "media/Manager.h"
#include "media/VolumeControl.h"
#include "runtime/Exception.h"
#include "tests/media/PlayerTestSupport.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace mediatest;
using javax::microedition::media::control::VolumeControl;

// The ticker: plays time on and polls until told to stop. Counts what escaped the poll.
class Ticker {
public:
    explicit Ticker(testsupport::FakeAudioOutput& output)
        : m_thread([this, &output] {
              while (!m_stop.load()) {
                  output.advance(5ms);
                  try {
                      Manager::tick();
                  } catch (java::lang::Throwable&) {
                      m_failures.fetch_add(1);
                  }
                  std::this_thread::yield();
              }
          }) {}
    ~Ticker() { finish(); }
    void finish() {
        m_stop.store(true);
        if (m_thread.joinable()) m_thread.join();
    }
    int failures() const { return m_failures.load(); }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_failures{0};
    std::thread m_thread;
};

class ManagerThreads : public MediaFixture {
protected:
    JavaPtr<PlayerImpl> create(const std::vector<uint8_t>& clip) {
        JavaPtr<Player> player =
            Manager::createPlayer(jnew<java::io::ByteArrayInputStream>(byteArray(clip)), nullptr);
        return jcast<PlayerImpl>(player);
    }
};

TEST_F(ManagerThreads, PlayersSteeredPolledAndInterruptedAtOnce) {
    testsupport::Watchdog watchdog;
    const std::vector<uint8_t> clip = toneClip(20ms);
    struct Made {
        JavaPtr<PlayerImpl> player;
        JavaPtr<RecordingListener> listener;
    };
    std::mutex madeLock;
    std::vector<Made> everyPlayer;

    Ticker ticker(*fake);
    std::atomic<bool> done{false};
    std::thread interruptions([&] {
        while (!done.load()) {
            platform::AudioSession::interruption(platform::AudioSession::kBeginInterruption);
            std::this_thread::sleep_for(2ms);
            platform::AudioSession::interruption(platform::AudioSession::kEndInterruption);
            std::this_thread::sleep_for(4ms);
        }
    });
    std::vector<std::thread> application;
    for (int t = 0; t < 4; ++t) {
        application.emplace_back([&, t] {
            for (int round = 0; round < 15; ++round) {
                JavaPtr<PlayerImpl> player = create(clip);
                auto listener = jnew<RecordingListener>();
                player->addPlayerListener(listener);
                // On the ticker's thread, from inside the poll: play again at the end.
                if (round % 3 == 0) {
                    listener->reactWith([](const JavaPtr<Player>& p, const std::string& event) {
                        if (event != "endOfMedia") return;
                        try {
                            p->start();
                        } catch (java::lang::Exception&) {
                        }
                    });
                }
                {
                    std::lock_guard<std::mutex> guard(madeLock);
                    everyPlayer.push_back({player, listener});
                }
                try {
                    player->setLoopCount(1 + round % 3);
                    player->start();
                    auto volume =
                        jcast<VolumeControl>(player->getControl(jnew<java::lang::String>("VolumeControl")));
                    volume->setLevel(10 * round);
                    volume->setMute(round % 2 == 0);
                    std::this_thread::sleep_for(std::chrono::milliseconds(1 + (t + round) % 7));
                    player->stop();
                    player->start();
                    volume->setMute(false);
                } catch (java::lang::Exception&) {
                    // An interruption under way refuses to play: expected now and then.
                }
                if (round % 2 == 1) {
                    listener->reactWith(nullptr);
                    player->close();
                }
            }
        });
    }
    for (auto& thread : application) thread.join();
    done.store(true);
    interruptions.join();
    ticker.finish();
    EXPECT_EQ(ticker.failures(), 0);

    Manager::tidyUp();
    EXPECT_EQ(Manager::playerTableLength(), -1);
    ASSERT_EQ(everyPlayer.size(), 60u);
    for (auto& made : everyPlayer) {
        made.listener->reactWith(nullptr);
        EXPECT_EQ(made.player->getState(), Player::CLOSED);
        auto events = made.listener->events();
        ASSERT_FALSE(events.empty());
        int closes = 0;
        for (const auto& e : events) closes += e.name == "closed";
        EXPECT_EQ(closes, 1);
        // Listeners are called without the player's lock, so the one event that the ticker had
        // already begun to deliver when the player closed may land after "closed"; nothing later.
        size_t closedAt = 0;
        while (closedAt < events.size() && events[closedAt].name != "closed") ++closedAt;
        EXPECT_GE(closedAt + 2, events.size()) << made.listener->names();
    }
}

TEST_F(ManagerThreads, PlayersMadeAtOnceEachGetTheirOwnSlot) {
    testsupport::Watchdog watchdog;
    const std::vector<uint8_t> clip = toneClip(5ms);
    Ticker ticker(*fake);
    std::mutex keptLock;
    std::vector<JavaPtr<PlayerImpl>> kept;
    std::vector<std::thread> application;
    for (int t = 0; t < 6; ++t) {
        application.emplace_back([&, t] {
            for (int i = 0; i < 30; ++i) {
                JavaPtr<PlayerImpl> player = create(clip);
                // Every third one is closed and left to the ticker to reap.
                if ((t + i) % 3 == 0) {
                    player->close();
                    continue;
                }
                std::lock_guard<std::mutex> guard(keptLock);
                kept.push_back(player);
            }
        });
    }
    for (auto& thread : application) thread.join();
    ticker.finish();
    Manager::tick();

    std::set<java::lang::Smart*> inTable;
    int length = Manager::playerTableLength();
    for (int slot = 0; slot < length; ++slot) {
        JavaPtr<PlayerImpl> player = Manager::playerInSlot(slot);
        if (!player) continue;
        EXPECT_TRUE(inTable.insert(player.counted()).second) << "a player in two slots";
        EXPECT_NE(player->getState(), Player::CLOSED) << "reaped by the poll";
    }
    EXPECT_EQ(inTable.size(), kept.size());
    for (auto& player : kept) EXPECT_EQ(inTable.count(player.counted()), 1u);
    EXPECT_GE(length, Manager::kFirstTableLength);
    made.insert(made.end(), kept.begin(), kept.end());
}

}  // namespace
