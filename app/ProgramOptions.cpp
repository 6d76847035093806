#include "app/ProgramOptions.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace {

bool parseInt(const std::string& text, int low, int high, int& value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || rest != end || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

// ll_CC: two lower-case letters, '_', two upper-case letters.
bool isLocale(const std::string& text) {
    return text.size() == 5 && std::islower(static_cast<unsigned char>(text[0])) &&
           std::islower(static_cast<unsigned char>(text[1])) && text[2] == '_' &&
           std::isupper(static_cast<unsigned char>(text[3])) &&
           std::isupper(static_cast<unsigned char>(text[4]));
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return parseInt(text.substr(0, x), 1, 4096, width) && parseInt(text.substr(x + 1), 1, 4096, height);
}

}  // namespace

std::string ProgramOptions::usage() {
    return "Usage: quill [OPTION]...\n"
           "Runs the quiz.\n"
           "\n"
           "  --bundle DIR         read resources from DIR\n"
           "  --data DIR           keep saved data in DIR\n"
           "  --points WxH         screen size in points (default 320x480)\n"
           "  --scale 1|2          pixels per point (default 2, the high-resolution layout)\n"
           "  --device iphone|ipod|ipad|unknown   the device the program reports (default iphone)\n"
           "  --zoom Z             window pixels per screen pixel, 1 to 8 (default 1: the\n"
           "                       window is --points times --scale; smaller only when the\n"
           "                       desktop is, which is said on stderr)\n"
           "  --headless           run without a window\n"
           "  --script FILE        run the steps of FILE (see README); a malformed line or a\n"
           "                       value out of range ends the program (exit 1) before it starts\n"
           "  --timeout-ms N       longest wait of a script step (default 10000)\n"
           "  --frames-dir DIR     headless: write the frames shown into DIR as PNG files\n"
           "  --dump-every N       with --frames-dir, every Nth frame (default 1)\n"
           "  --locale ll_CC       the locale the application sees (default from LANG)\n"
           "  --location-script FILE   replay the location fixes of FILE (lines of\n"
           "                       'T_MS LAT LON HACC ALT VACC [DESCRIPTION]', '#' comments)\n"
           "  --sms-outbox DIR     write each text message sent into a new file in DIR\n"
           "                       (without it, messages are reported as not sent)\n"
           "  --url-opener CMD     open web pages with CMD (default xdg-open)\n"
           "  --midp-keys          keys go to the application instead of tilting\n"
           "  --help               show this help and exit\n"
           "\n"
           "Exit status: 0 clean exit; 1 a script expectation failed or a script line is\n"
           "malformed; 2 a timeout (a script wait, or the tear-down); 3 the launch failed (no\n"
           "display, unusable directories, the data directory in use by another quill); 4 the\n"
           "application's thread failed (among others a bundle file missing or damaged);\n"
           "64 bad command line.\n";
}

bool ProgramOptions::parse(int argc, const char* const* argv, ProgramOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        std::string value;
        bool hasInlineValue = false;
        if (const size_t eq = flag.find('='); flag.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = flag.substr(eq + 1);
            flag = flag.substr(0, eq);
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) return true;
            if (i + 1 >= argc) {
                error = "quill: option '" + flag + "' needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };
        auto bad = [&]() {
            error = "quill: invalid value '" + value + "' for option '" + flag + "'";
            return false;
        };
        if (flag == "--help") {
            options.help = true;
        } else if (flag == "--headless") {
            options.headless = true;
        } else if (flag == "--midp-keys") {
            options.midpKeys = true;
        } else if (flag == "--bundle") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.bundleDirectory = value;
        } else if (flag == "--data") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.dataDirectory = value;
        } else if (flag == "--points") {
            if (!takeValue()) return false;
            if (!parseSize(value, options.widthPoints, options.heightPoints)) return bad();
        } else if (flag == "--scale") {
            if (!takeValue()) return false;
            if (!parseInt(value, 1, 2, options.scale)) return bad();
        } else if (flag == "--device") {
            if (!takeValue()) return false;
            if (value != "iphone" && value != "ipod" && value != "ipad" && value != "unknown") return bad();
            options.device = value;
        } else if (flag == "--zoom") {
            if (!takeValue()) return false;
            if (!parseInt(value, 1, 8, options.zoom)) return bad();
        } else if (flag == "--script") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.scriptPath = value;
        } else if (flag == "--timeout-ms") {
            if (!takeValue()) return false;
            if (!parseInt(value, 1, 3600000, options.timeoutMilliseconds)) return bad();
        } else if (flag == "--frames-dir") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.framesDirectory = value;
        } else if (flag == "--dump-every") {
            if (!takeValue()) return false;
            if (!parseInt(value, 1, 1000000, options.dumpEvery)) return bad();
        } else if (flag == "--locale") {
            if (!takeValue()) return false;
            if (!isLocale(value)) return bad();
            options.locale = value;
        } else if (flag == "--location-script") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.locationScriptPath = value;
        } else if (flag == "--sms-outbox") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.smsOutboxDirectory = value;
        } else if (flag == "--url-opener") {
            if (!takeValue()) return false;
            if (value.empty()) return bad();
            options.urlOpener = value;
        } else {
            error = "quill: unrecognized option '" + std::string(argv[i]) + "'; try 'quill --help'";
            return false;
        }
    }
    return true;
}
