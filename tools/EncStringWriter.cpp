// ENC string bytes in the layout the canvas reads (engine/EncStringLayout.h).
#include "tools/EncStringWriter.h"

#include <algorithm>

#include "engine/EncStringLayout.h"

namespace restools {

namespace {

constexpr int kMaxCount = 32767;

void putU16(EncStringWriter::Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

EncStringWriter::Bytes fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return {};
}

}  // namespace

EncStringWriter::Bytes EncStringWriter::write(const std::u16string& text,
                                              const std::vector<EncGuideline>& guidelines, Width width,
                                              std::string* error) {
    const int count = static_cast<int>(text.size());
    if (text.size() > kMaxCount) return fail(error, "more than 32767 characters");
    if (guidelines.size() > kMaxCount) return fail(error, "more than 32767 guidelines");
    if (width == Width::Eight && std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; }))
        return fail(error, "a character above U+00FF in an 8-bit string");
    int previous = -1;
    for (const EncGuideline& guideline : guidelines) {
        if (guideline.position < 0 || guideline.position > count)
            return fail(error, "a guideline position outside the text");
        if (guideline.position < previous) return fail(error, "guideline positions not in ascending order");
        if (guideline.type < 0 || guideline.type > 0xFF)
            return fail(error, "a guideline type outside 0..255");
        previous = guideline.position;
    }

    Bytes out;
    const bool withGuidelines = !guidelines.empty();
    const int flags = static_cast<int>(width) | (withGuidelines ? enctext::kGuidelineFlag : 0);
    out.push_back(static_cast<uint8_t>(flags));
    putU16(out, count);
    if (withGuidelines) putU16(out, static_cast<int>(guidelines.size()));
    for (const char16_t unit : text) {
        if (width == Width::Eight) {
            out.push_back(static_cast<uint8_t>(unit));
        } else {
            putU16(out, unit);
        }
    }
    const int recordSize = enctext::guidelineRecordSize(count);
    for (const EncGuideline& guideline : guidelines) {
        if (recordSize == 2) {
            out.push_back(static_cast<uint8_t>(guideline.position));
        } else {
            putU16(out, guideline.position);
        }
        out.push_back(static_cast<uint8_t>(guideline.type));
    }
    return out;
}

EncStringWriter::Bytes EncStringWriter::write(const std::u16string& text,
                                              const std::vector<EncGuideline>& guidelines,
                                              std::string* error) {
    const bool wide = std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
    return write(text, guidelines, wide ? Width::Sixteen : Width::Eight, error);
}

}  // namespace restools
