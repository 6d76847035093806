// The desktop's message composer. A desktop cannot send texts, so without an outbox every message is
// "not sent" at once; with one (--sms-outbox DIR), each message becomes a new file in the directory,
// synced to disk and never overwriting another, and is "sent".
//
// A text file holds "to: <recipient>", an empty line and the UTF-8 body; a binary one "to: <recipient>",
// "port: <port>", an empty line and the payload bytes as they are.
#pragma once

#include <mutex>
#include <string>

#include "platform/messaging/MessageComposer.h"

namespace platform {

class SmsOutbox : public MessageComposer {
public:
    static SmsOutbox& instance();

    // An empty directory means no outbox.
    void setDirectory(const std::string& directory);
    std::string directory();

    void composeText(const char* recipient, const char* body) override;
    void composeBinary(const char* recipient, int port, const unsigned char* payload, int length) override;

private:
    // False when the file could not be written (reported on standard error).
    bool store(const std::string& suffix, const std::string& bytes);

    // Guards the directory and the next number; held while a file is written, so numbers are taken in order.
    std::mutex m_mutex;
    std::string m_directory;
    unsigned long m_nextNumber = 1;
};

// The program's --sms-outbox flag.
void setSmsOutboxDirectory(const std::string& directory);

}  // namespace platform
