#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZHashedStringTable.h"

namespace {

constexpr uint32_t Id(uint32_t bucket, uint32_t index) { return (index << 10) ^ bucket; }

// A text other than "abc" that falls in bucket 139.
std::string OtherTextInBucket139() {
    char text[4] = {};
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            for (char c = 'a'; c <= 'z'; ++c) {
                text[0] = a;
                text[1] = b;
                text[2] = c;
                if ((HashString(text) & 0x3FF) == 139 && std::strcmp(text, "abc") != 0) {
                    return text;
                }
            }
        }
    }
    return {};
}

}  // namespace

TEST(HashString, KnownValues) {
    struct Case {
        const char* text;
        uint32_t djb2;
        uint32_t elf;
    };
    const Case cases[] = {
        {"abc", 0x0B885C8Bu, 0x6783u},
        {"ABC", 0x0B885C8Bu, 0x4563u},       // only the djb2 hash folds case
        {"", 5381u, 0u},
        {"\x80", 5381u * 33u - 128u, 0x0FFFFF70u},  // bytes are signed
        {"\xff", 5381u * 33u - 1u, 0x0FFFFF0Fu},
        {"\xc1", 5381u * 33u - 63u, 0x0FFFFF31u},  // 8-bit capitals do not fold
        {"Drovani Skyreach", HashString("drovani skyreach"), 0x0F88BA98u},
        {"seed-12345", HashString("SEED-12345"), 0x0703CDC5u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HashString(c.text), c.djb2);
        EXPECT_EQ(HashStringELF(c.text), c.elf);
    }
    static_assert(ZHashedString::NoneId() != 0);
    EXPECT_EQ(HashString("abc") & 0x3FF, 139u);
    EXPECT_EQ(HashString("") & 0x3FF, 261u);
}

// A private table, so that exact positions do not depend on what else the
// program has interned.
class ZHashedStringTableTest : public ::testing::Test {
protected:
    ZHashedStringTable table;

    uint32_t Intern(const std::string& text, bool caseSensitive = false) {
        const uint32_t bucket = HashString(text.c_str()) & 0x3FF;
        return Id(bucket, table.FindOrInsert(text.c_str(), bucket, caseSensitive));
    }
    const char* Text(uint32_t id) { return table.GetTextAt(id & 0x3FF, static_cast<int32_t>(id) >> 10); }
};

TEST_F(ZHashedStringTableTest, ChainsGrowAtTheTailAndIdsFollowPositions) {
    const std::string other = OtherTextInBucket139();
    ASSERT_FALSE(other.empty());

    struct Step {
        std::string text;
        bool caseSensitive;
        uint32_t wantId;
        const char* wantText;
    };
    const Step steps[] = {
        {"abc", false, 139, "abc"},
        {other, false, 1163, other.c_str()},
        {"ABC", false, 139, "abc"},        // found ignoring case, first spelling kept
        {"abc", true, 139, "abc"},
        {"ABC", true, Id(139, 2), "ABC"},  // exact matching appends its own entry
        {"Abc", true, Id(139, 3), "Abc"},
        {"aBC", false, 139, "abc"},
        {"", false, 261, ""},
        {"NULL", false, ZHashedString::NoneId(), "NULL"},
        {"null", false, ZHashedString::NoneId(), "NULL"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.text);
        const uint32_t id = Intern(s.text, s.caseSensitive);
        EXPECT_EQ(id, s.wantId);
        ASSERT_NE(Text(id), nullptr);
        EXPECT_STREQ(Text(id), s.wantText);
    }
}

TEST_F(ZHashedStringTableTest, MissingPositionsReadAsNullAndLeaveTheLockFree) {
    Intern("abc");
    EXPECT_EQ(table.GetTextAt(139, 1), nullptr);
    EXPECT_EQ(table.GetTextAt(139, 500), nullptr);
    EXPECT_EQ(table.GetTextAt(140, 0), nullptr);  // empty bucket
    EXPECT_EQ(table.GetTextAt(139, -1), nullptr); // an id with its top bit set
    EXPECT_EQ(table.GetTextAt(1024, 0), nullptr);

    // Another thread must get the lock after the short-chain reads.
    uint32_t id = 0;
    std::thread other([&] { id = Intern("eyh"); });
    other.join();
    EXPECT_EQ(id & 0x3FF, 139u);
    EXPECT_STREQ(Text(id), "eyh");
}

// Lookups compare the stored hash and length first; texts that share both
// must still be told apart by their bytes.
TEST_F(ZHashedStringTableTest, TextsWithTheSameHashAndLengthStayApart) {
    struct Pair {
        const char* a;
        const char* b;
    };
    const Pair pairs[] = {
        {"a~", "b]"},          // 'a' * 33 + '~' == 'b' * 33 + ']'
        {"Xa~", "xb]"},        // and behind a letter that folds
        {"a~\xC3", "b]\xC3"},  // bytes above 127 hash as negative values
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.a);
        ASSERT_EQ(HashString(p.a), HashString(p.b));
        for (const bool caseSensitive : {false, true}) {
            const uint32_t a = Intern(p.a, caseSensitive);
            const uint32_t b = Intern(p.b, caseSensitive);
            EXPECT_NE(a, b);
            EXPECT_EQ(a & 0x3FF, b & 0x3FF);
            EXPECT_STREQ(Text(a), p.a);
            EXPECT_STREQ(Text(b), p.b);
            EXPECT_EQ(Intern(p.a, caseSensitive), a);
        }
    }
}

TEST_F(ZHashedStringTableTest, TextsAreKeptUpTo255Bytes) {
    const std::string exact(255, 'q');
    const std::string longText = std::string(255, 'w') + "-and-a-tail";

    const uint32_t exactId = Intern(exact);
    EXPECT_EQ(std::strlen(Text(exactId)), 255u);
    EXPECT_EQ(Text(exactId), exact);

    // The same long text must find its cut copy, not append a new entry each time.
    const uint32_t index = table.FindOrInsert(longText.c_str(), 5, false);
    EXPECT_EQ(table.GetTextAt(5, static_cast<int32_t>(index)), longText.substr(0, 255));
    EXPECT_EQ(table.FindOrInsert(longText.c_str(), 5, false), index);
    EXPECT_EQ(table.FindOrInsert(longText.c_str(), 5, true), index);
    EXPECT_EQ(table.FindOrInsert(longText.substr(0, 255).c_str(), 5, false), index);
    EXPECT_EQ(table.GetStats().count, 3);  // "NULL" and the two texts
}

// The key's hash must be the ids' hash for every length and byte mix (the
// key is summed several bytes a step).
TEST_F(ZHashedStringTableTest, KeysHashAsTheIdsDo) {
    const char* texts[] = {"",          "a",           "Zq",          "ABC",           "abcD",
                           "\x80\xff" "Az@[", "`{aZ_9\xc1",  "HelloWorld!", "__ZORP_Name_12", "x\x7f\x81Yy"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const ZHashedStringTable::Key key = ZHashedStringTable::MakeKey(text);
        EXPECT_EQ(key.hash, HashString(text));
        EXPECT_EQ(key.length, std::strlen(text));
    }
    const std::string longText = std::string(254, 'M') + "Nop";
    const ZHashedStringTable::Key key = ZHashedStringTable::MakeKey(longText.c_str());
    EXPECT_EQ(key.hash, HashString(longText.substr(0, 255).c_str()));
    EXPECT_EQ(key.length, 255u);
}

// Lookups go through an index that is rebuilt as it fills; ids must stay the
// chain positions, and the first spelling must still win after every rebuild.
TEST_F(ZHashedStringTableTest, IdsHoldWhileTheTableGrows) {
    std::vector<uint32_t> bucketCounts(1024, 0);
    bucketCounts[ZHashedString::NoneId()] = 1;
    std::vector<std::string> texts;
    std::vector<uint32_t> ids;
    const uint32_t firstAbc = Intern("Name-abc");
    ++bucketCounts[firstAbc & 0x3FF];
    const uint32_t exactAbc = Intern("NAME-ABC", true);
    ++bucketCounts[exactAbc & 0x3FF];
    ASSERT_EQ(exactAbc, Id(firstAbc & 0x3FF, (firstAbc >> 10) + 1));
    for (int i = 0; i < 20000; ++i) {
        texts.push_back("Name-" + std::to_string(i));
        const uint32_t bucket = HashString(texts.back().c_str()) & 0x3FF;
        const uint32_t id = Intern(texts.back());
        EXPECT_EQ(id, Id(bucket, bucketCounts[bucket]++)) << texts.back();
        ids.push_back(id);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string upper = texts[i];
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        ASSERT_EQ(Intern(texts[i]), ids[i]) << texts[i];
        ASSERT_EQ(Intern(upper), ids[i]) << upper;
        ASSERT_STREQ(Text(ids[i]), texts[i].c_str());
    }
    EXPECT_EQ(Intern("name-ABC"), firstAbc);
    EXPECT_EQ(Intern("NAME-ABC", true), exactAbc);
    EXPECT_EQ(Intern("Name-abc", true), firstAbc);
    EXPECT_EQ(table.GetStats().count, 20003);
}

TEST_F(ZHashedStringTableTest, Stats) {
    ZHashedStringStats fresh = table.GetStats();
    EXPECT_EQ(fresh.rows, 1024);
    EXPECT_EQ(fresh.count, 1);  // "NULL"
    EXPECT_EQ(fresh.minimum, 0);
    EXPECT_EQ(fresh.maximum, 1);

    Intern("abc");
    Intern(OtherTextInBucket139());
    Intern("");
    Intern("ABC");  // already there
    const ZHashedStringStats s = table.GetStats();
    EXPECT_EQ(s.count, 4);
    EXPECT_EQ(s.minimum, 0);
    EXPECT_EQ(s.maximum, 2);
    const double mean = 4.0 / 1024.0;
    const double variance =
        (2 * (1 - mean) * (1 - mean) + (2 - mean) * (2 - mean) + 1021 * mean * mean) / 1024.0;
    EXPECT_FLOAT_EQ(s.mean, static_cast<float>(mean));
    EXPECT_NEAR(s.variance, variance, 1e-6);
    EXPECT_NEAR(s.standardDeviation, std::sqrt(variance), 1e-6);
}

// The process table: texts chosen so that no other test interns them.
TEST(ZHashedString, NoneId) {
    const ZHashedString none;
    EXPECT_EQ(none.GetId(), ZHashedString::NoneId());
    EXPECT_TRUE(none.IsNone());
    EXPECT_STREQ(none.GetText(), "NULL");
    EXPECT_EQ(ZHashedString(nullptr), none);
    EXPECT_EQ(ZHashedString("NULL"), none);
    EXPECT_EQ(ZHashedString("null"), none);
    EXPECT_FALSE(ZHashedString("").IsNone());
    EXPECT_STREQ(ZHashedString("").GetText(), "");
}

TEST(ZHashedString, InterningIsStableAndCaseFolded) {
    const ZHashedString first("Zq_HashProbe_Mixed");
    EXPECT_EQ(ZHashedString("ZQ_HASHPROBE_MIXED"), first);
    EXPECT_EQ(ZHashedString("zq_hashprobe_mixed"), first);
    EXPECT_STREQ(ZHashedString("zq_hashprobe_mixed").GetText(), "Zq_HashProbe_Mixed");

    const ZHashedString exact("zq_hashprobe_mixed", true);
    EXPECT_NE(exact, first);
    EXPECT_EQ(exact.GetId() & 0x3FF, first.GetId() & 0x3FF);
    EXPECT_STREQ(exact.GetText(), "zq_hashprobe_mixed");
    EXPECT_EQ(exact.MakeCaseInsensitive(), first);
    EXPECT_EQ(first.MakeCaseInsensitive(), first);
}

TEST(ZHashedString, LongTextsKeepOneId) {
    const std::string longText = "Zq_LongProbe_" + std::string(300, 'x');
    const ZHashedString name(longText.c_str());
    EXPECT_EQ(ZHashedString(longText.c_str()), name);
    EXPECT_EQ(ZHashedString(longText.substr(0, 255).c_str()), name);
    EXPECT_EQ(std::string(name.GetText()), longText.substr(0, 255));
    EXPECT_EQ(ZHashedString(longText.c_str(), true), name);
    EXPECT_EQ(name.MakeCaseInsensitive(), name);
}

TEST(ZHashedString, IdsWithoutEntries) {
    const ZHashedString bucket = ZHashedString("Zq_EmptyChainProbe");
    const ZHashedString pastEnd = ZHashedString::FromId((4000u << 10) ^ (bucket.GetId() & 0x3FF));
    const ZHashedString negative = ZHashedString::FromId(0x80000000u | (bucket.GetId() & 0x3FF));
    for (const ZHashedString& name : {pastEnd, negative}) {
        EXPECT_EQ(name.GetText(), nullptr);
        EXPECT_EQ(name.MakeCaseInsensitive(), ZHashedString());
    }
}

TEST(ZHashedString, OrderIsThatOfSignedIds) {
    const ZHashedString high = ZHashedString::FromId(0x80000001u);
    const ZHashedString low = ZHashedString::FromId(1);
    EXPECT_LT(high, low);
    EXPECT_LT(low, ZHashedString::FromId(2));
    EXPECT_EQ(ZHashedString::FromId(7), ZHashedString::FromId(7));
}

TEST(ZHashedString, ConcurrentInterningGivesOneIdPerText) {
    constexpr int kThreads = 8;
    constexpr int kTexts = 1500;
    std::vector<std::vector<uint32_t>> ids(kThreads, std::vector<uint32_t>(kTexts));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &ids] {
            // Each thread walks the texts from its own starting point and in its
            // own case, so first insertions race.
            for (int k = 0; k < kTexts; ++k) {
                const int i = (k + t * 211) % kTexts;
                std::string text = "Zq_Thread_Name_" + std::to_string(i);
                if (t % 2 == 1) {
                    for (char& c : text) {
                        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                    }
                }
                ids[t][i] = ZHashedString(text.c_str()).GetId();
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    for (int i = 0; i < kTexts; ++i) {
        for (int t = 1; t < kThreads; ++t) {
            ASSERT_EQ(ids[t][i], ids[0][i]) << "text " << i;
        }
        const std::string lower = "zq_thread_name_" + std::to_string(i);
        const char* text = ZHashedString::FromId(ids[0][i]).GetText();
        ASSERT_NE(text, nullptr);
        std::string folded(text);
        for (char& c : folded) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(folded, lower);
    }
}

// Destroying the process table ends every id; run apart so that the names the
// rest of this program holds stay valid.
TEST(ZHashedStringDeathTest, TableIsMadeAgainAfterShutdown) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const ZHashedString before("Zq_BeforeShutdown");
            ZHashedStringTable::DestroyInstance();
            const std::string other = OtherTextInBucket139();
            const bool ok = ZHashedString("abc").GetId() == 139 &&
                            ZHashedString(other.c_str()).GetId() == 1163 &&
                            ZHashedString("ABC").GetId() == 139 &&
                            std::strcmp(ZHashedString().GetText(), "NULL") == 0 &&
                            before.GetText() == nullptr &&
                            ZHashedStringTable::GetInstance()->GetStats().count == 3;
            ZHashedStringTable::DestroyInstance();
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
