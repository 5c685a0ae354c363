#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "foundation/ZTokenizer.h"

namespace {

using Tokens = std::vector<std::string>;

Tokens Texts(const ZArray<ZString>& a) {
    Tokens out;
    for (const ZString& s : a) {
        out.push_back(std::string(s.GetText(), size_t(s.GetLength())));
    }
    return out;
}

Tokens Tokenize(const char* text) {
    ZArray<ZString> tokens;
    TokenizeExpression(text, tokens);
    return Texts(tokens);
}

class ZTokenizer : public ::testing::Test {
protected:
    void SetUp() override { InitOperatorTokens(); }
    void TearDown() override { InitOperatorTokens(); }
};

}  // namespace

TEST_F(ZTokenizer, OperatorTableIsSortedLongestFirst) {
    const ZArray<ZString>& table = GetOperatorTokens();
    ASSERT_EQ(table.Count(), 49u);
    int byLength[4] = {};
    for (uint32_t i = 0; i < table.Count(); ++i) {
        ASSERT_GE(table[i].GetLength(), 1);
        ASSERT_LE(table[i].GetLength(), 3);
        ++byLength[table[i].GetLength()];
        if (i > 0) {
            EXPECT_GE(table[i - 1].GetLength(), table[i].GetLength()) << "at " << i;
        }
    }
    EXPECT_EQ(byLength[1], 25);
    EXPECT_EQ(byLength[2], 21);
    EXPECT_EQ(byLength[3], 3);
    Tokens symbols = Texts(table);
    std::sort(symbols.begin(), symbols.end());
    EXPECT_EQ(std::adjacent_find(symbols.begin(), symbols.end()), symbols.end()) << "duplicate symbol";
}

TEST_F(ZTokenizer, Expressions) {
    struct Case {
        const char* text;
        Tokens expected;
    };
    const Case cases[] = {
        // Pieces and whitespace.
        {"", {}},
        {" \t\r\n\v\f ", {}},
        {"  a   b  ", {"a", "b"}},
        {"two words", {"two", "words"}},
        {"'two words'", {"'two words'"}},
        // Identifiers.
        {"_foo9 bar_", {"_foo9", "bar_"}},
        {"a.b", {"a", ".", "b"}},
        // Numbers.
        {"12", {"12"}},
        {"-3.5", {"-3.5"}},
        {".5f", {".5f"}},
        {"-.5", {"-.5"}},
        {"0x10", {"0x10"}},
        {"0xff", {"0xff"}},
        {"0xab", {"0x", "ab"}},
        {"1.5fx", {"1.5fx"}},
        {"1.5f2", {"1.5f", "2"}},
        {"1-2", {"1", "-2"}},
        {"-a", {"-", "a"}},
        {"-.a", {"-", ".", "a"}},
        // Operators, longest match first.
        {"x<<=2", {"x", "<<=", "2"}},
        {"x<-1", {"x", "<", "-1"}},
        {"a**=b", {"a", "**=", "b"}},
        {"a>>b", {"a", ">>", "b"}},
        {"a===b", {"a", "==", "=", "b"}},
        {"a!=b||c", {"a", "!=", "b", "||", "c"}},
        {"++a--", {"++", "a", "--"}},
        {"f(x,y);", {"f", "(", "x", ",", "y", ")", ";"}},
        {"#a?b:c", {"#", "a", "?", "b", ":", "c"}},
        // Quotes keep their quote bytes; the other quote is plain text inside.
        {"a'b c'd", {"a", "'b c'", "d"}},
        {"\"it's\"", {"\"it's\""}},
        {"'say \"hi\"' x", {"'say \"hi\"'", "x"}},
        {"\"abc", {"\"abc"}},
        {"\"ab cd", {"\"ab cd"}},
        // Entities end at ';' and take the place of '&' symbols.
        {"a&lt;=b", {"a", "&lt;", "=", "b"}},
        {"&lt;&gt;", {"&lt;", "&gt;"}},
        {"a&&b", {"a", "&&b"}},
        {"a&b", {"a", "&b"}},
        // Bytes that start nothing are dropped.
        {"$$$", {}},
        {"a\\b`c", {"a", "b", "c"}},
        {"caf\xC3\xA9 \xFF", {"caf"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tokenize(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST_F(ZTokenizer, ClearsTheListAndAcceptsNull) {
    ZArray<ZString> tokens;
    tokens.PushBack(ZString("stale"));
    TokenizeExpression(ZString("a+b"), tokens);
    EXPECT_EQ(Texts(tokens), (Tokens{"a", "+", "b"}));
    TokenizeExpression(static_cast<const char*>(nullptr), tokens);
    EXPECT_EQ(tokens.Count(), 0u);
}

TEST_F(ZTokenizer, OperatorsNeedTheTable) {
    SetOperatorTokens(ZArray<ZString>());
    EXPECT_EQ(Tokenize("a+=b;1<2"), (Tokens{"a", "b", "1", "2"}));

    // A table given in any order still matches the longest symbol, and an
    // empty entry never stalls the scan.
    ZArray<ZString> symbols;
    for (const char* s : {"<", "", "<<=", "<<"}) {
        symbols.PushBack(ZString(s));
    }
    SetOperatorTokens(symbols);
    EXPECT_EQ(Tokenize("a<<=b<<c<d+e"), (Tokens{"a", "<<=", "b", "<<", "c", "<", "d", "e"}));
}

TEST_F(ZTokenizer, ScanningStopsAtTheEndOfThePiece) {
    const char bytes[] = {'a', 'b', '<', '<', '=', 'x'};
    ZArray<ZString> tokens;
    ScanTokens(bytes, bytes + 4, tokens);  // the "<<=" is cut to "<<"
    EXPECT_EQ(Texts(tokens), (Tokens{"ab", "<<"}));

    tokens.Clear();
    const char withZero[] = {'\'', 'q', 0, 'r', '\''};
    ScanTokens(withZero, withZero + sizeof(withZero), tokens);
    EXPECT_EQ(Texts(tokens), (Tokens{"'q"}));
}

TEST(ZArrayQuickSort, SortsRandomInputs) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 200; ++round) {
        const uint32_t n = rng() % 70;
        ZArray<ZString> strings;
        std::vector<size_t> lengths;
        for (uint32_t i = 0; i < n; ++i) {
            const size_t length = rng() % 6;  // many equal lengths
            strings.PushBack(ZString(std::string(length, char('a' + rng() % 26)).c_str()));
            lengths.push_back(length);
        }
        strings.QuickSort(CompareLengthDescending, nullptr);
        std::vector<size_t> sorted;
        for (const ZString& s : strings) {
            sorted.push_back(size_t(s.GetLength()));
        }
        std::sort(lengths.begin(), lengths.end(), std::greater<size_t>());
        ASSERT_EQ(sorted, lengths) << "round " << round;
    }
}

TEST(ZArrayQuickSort, PassesTheContextToTheCallback) {
    ZArray<int> values;
    for (const int v : {5, -2, 9, 0, 9, 3, -7, 1}) {
        values.PushBack(v);
    }
    int calls = 0;
    values.QuickSort(
        [](const int& a, const int& b, void* context) {
            ++*static_cast<int*>(context);
            return a < b ? -1 : (a > b ? 1 : 0);
        },
        &calls);
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}
