#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/ZAppInfo.h"
#include "foundation/ZString.h"

namespace {

struct Case {
    const char* name;
    std::string bytes;  // what follows the bytes is a zero terminator
    uint16_t character;
    int32_t length;
};

const Case kUtf8Cases[] = {
    {"ascii", "A", 'A', 1},
    {"terminator", std::string(1, '\0'), 0, 1},
    {"two bytes", "\xC3\xA9", 0x00E9, 2},
    {"three bytes", "\xE2\x82\xAC", 0x20AC, 3},
    {"four bytes keep the low 16 bits", "\xF0\x9F\x98\x80", 0xF600, 4},
    {"followed by more text", "\xC3\xA9xyz", 0x00E9, 2},
    {"lone continuation byte", "\x80", 0, 0},
    {"lead byte 0xF8", "\xF8\x80\x80\x80\x80", 0, 0},
    {"lead byte 0xFF", "\xFF", 0, 0},
    // A sequence cut short by the terminator never reaches past it.
    {"two-byte lead at the end", "\xC3", 0, 0},
    {"three-byte lead, one continuation", "\xE2\x82", 0, 0},
    {"four-byte lead, two continuations", "\xF0\x9F\x98", 0, 0},
    // A byte that does not continue the sequence is left for the next call.
    {"lead then ascii", "\xC3" "A", 0, 0},
    {"three-byte lead, ascii in the middle", "\xE2\x82" "A", 0, 0},
};

TEST(DecodeChar, Utf8Table) {
    for (const Case& c : kUtf8Cases) {
        // An exact-size heap copy, so a read beyond the terminator is caught.
        std::vector<char> heap(c.bytes.begin(), c.bytes.end());
        heap.push_back('\0');
        int32_t length = -1;
        EXPECT_EQ(DecodeChar(heap.data(), &length), c.character) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
    }
}

TEST(DecodeChar, BoundedReadStopsAtEnd) {
    for (const Case& c : kUtf8Cases) {
        if (c.bytes.empty() || c.bytes == std::string(1, '\0')) continue;
        // No terminator at all: the end pointer alone bounds the read.
        std::vector<char> heap(c.bytes.begin(), c.bytes.end());
        int32_t length = -1;
        EXPECT_EQ(DecodeChar(heap.data(), heap.data() + heap.size(), &length), c.character) << c.name;
        EXPECT_EQ(length, c.length) << c.name;
    }
    // A whole sequence whose end is cut off by the bound.
    const char euro[] = {'\xE2', '\x82', '\xAC'};
    int32_t length = -1;
    EXPECT_EQ(DecodeChar(euro, euro + 2, &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(DecodeChar(euro, euro, &length), 0);
    EXPECT_EQ(length, 0);
}

TEST(DecodeChar, NullText) {
    int32_t length = -1;
    EXPECT_EQ(DecodeChar(nullptr, &length), 0);
    EXPECT_EQ(length, 0);
}

// Walking a malformed text the way a caller should (a length of 0 steps one
// byte) visits every byte and ends at the terminator.
TEST(DecodeChar, WalkNeverStallsOrOverruns) {
    const std::string text = "a\xC3\xA9\x80\xE2\x82" "b\xF0\x9F\x98\x80\xC3";
    std::vector<char> heap(text.begin(), text.end());
    heap.push_back('\0');
    std::vector<uint16_t> decoded;
    const char* p = heap.data();
    while (*p != 0) {
        int32_t length = 0;
        const uint16_t c = DecodeChar(p, &length);
        if (length > 0) decoded.push_back(c);
        p += length > 0 ? length : 1;
    }
    EXPECT_EQ(p, heap.data() + text.size());
    EXPECT_EQ(decoded, (std::vector<uint16_t>{'a', 0xE9, 'b', 0xF600}));
}

class SingleByteInfo : public ZAppInfo {
public:
    bool UsesUTF8() const override { return false; }
};

TEST(DecodeChar, SingleByteTexts) {
    SingleByteInfo info;
    ZAppInfo* const previous = gAppInfo.exchange(&info);
    int32_t length = -1;
    EXPECT_EQ(DecodeChar("\xE9", &length), 0xE9);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(DecodeChar("\xC3\xA9", &length), 0xC3);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(DecodeChar(nullptr, &length), 0);
    EXPECT_EQ(length, 0);
    gAppInfo.store(previous);
}

}  // namespace
