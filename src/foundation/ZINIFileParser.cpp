#include "foundation/ZINIFileParser.h"

#include <cstring>
#include <string>

#include "foundation/ZLog.h"
#include "foundation/ZString.h"

namespace {

bool IsBlank(const char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const char* begin, const char* end) {
    while (begin < end && IsSpaceChar(*begin)) {
        ++begin;
    }
    while (end > begin && IsSpaceChar(end[-1])) {
        --end;
    }
    return std::string(begin, end);
}

}  // namespace

void ZINIFileParser::ParseINIFileText(const char* text, size_t size, const Callback callback, void* user) {
    ZLog::Printf("ZINIFileParser::ParseINIFileText");
    if (text == nullptr || callback == nullptr) {
        return;
    }
    const char* p = text;
    const char* const end = text + size;
    if (size >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB &&
        static_cast<unsigned char>(p[2]) == 0xBF) {
        p += 3;
    }

    std::string section;
    bool haveSection = false;
    while (p < end && *p != 0) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n' && *lineEnd != 0) {
            ++lineEnd;
        }

        const char* first = p;
        while (first < lineEnd && IsBlank(*first)) {
            ++first;
        }
        if (first == lineEnd || *first != ';') {
            if (first < lineEnd && *first == '[') {
                const char* nameEnd = first + 1;
                while (nameEnd < lineEnd && *nameEnd != ']') {
                    ++nameEnd;
                }
                section.assign(first + 1, nameEnd);
                haveSection = true;
            }
            const char* split = p;
            while (split < lineEnd && *split != ':' && *split != '=') {
                ++split;
            }
            if (split < lineEnd) {
                const std::string key = Trim(p, split);
                const std::string value = Trim(split + 1, lineEnd);
                callback(haveSection ? section.c_str() : nullptr, key.c_str(), value.c_str(), user);
            }
        }

        p = lineEnd;
        while (p < end && (*p == '\r' || *p == '\n')) {
            ++p;
        }
    }
}
