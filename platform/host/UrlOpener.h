// Opening a web address with the desktop's handler: a command (xdg-open unless the program names
// another) started with the address as its one argument, without a shell, so nothing in the address
// is ever interpreted.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace platform {

class UrlOpener {
public:
    // command is a program name looked up on PATH, or a path.
    explicit UrlOpener(std::string command = "xdg-open");
    ~UrlOpener();
    UrlOpener(const UrlOpener&) = delete;
    UrlOpener& operator=(const UrlOpener&) = delete;

    // Whether url can be handed to an opener: a scheme (a letter, then letters, digits, '+', '-' or
    // '.') and ':', with no spaces or control characters anywhere. A leading letter also keeps an
    // address from being read as an option of the opener.
    static bool isOpenableUrl(const std::string& url);

    // Starts the opener on url; true when it started. The opener runs on its own; it is reaped when it
    // exits.
    bool open(const std::string& url);

    // Waits until every opener started so far has exited; false when some still run at the limit.
    bool waitForOpeners(std::chrono::milliseconds limit);

private:
    struct Children;
    std::string m_command;
    // Shared with the threads that reap the openers, which may outlive this object.
    std::shared_ptr<Children> m_children;
};

}  // namespace platform
