#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/ZTempStringPool.h"
#include "platform/os/threads.h"

namespace {

class TempStringTest : public ::testing::Test {
protected:
    void SetUp() override { ZTempStringPool::DestroyInstance(); }
    void TearDown() override { ZTempStringPool::DestroyInstance(); }
};

TEST_F(TempStringTest, FormatsLikePrintf) {
    struct Case {
        const char* expected;
        const char* text;
    };
    const Case cases[] = {
        {"LANG_English", FormatTempString("LANG_%s", "English")},
        {"1.08.0042", FormatTempString("%d.%02d.%04d", 1, 8, 42)},
        {"< Sound: 0.70 >", FormatTempString("< %s: %.2f >", "Sound", 0.7)},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.text, c.expected);
    }
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 3u);
}

TEST_F(TempStringTest, AnEmptyFormatGivesAnEmptyText) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-zero-length"
    const char* text = FormatTempString("");
#pragma GCC diagnostic pop
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text[0], 0);
}

TEST_F(TempStringTest, AFormatThatCannotBeFormattedGivesNull) {
    // No multibyte form for this character in the C locale.
    EXPECT_EQ(FormatTempString("%ls", L"\x20AC"), nullptr);
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 0u);
}

TEST_F(TempStringTest, FreeAllLeavesNoStorageUntilTheNextText) {
    for (int i = 0; i < 5; ++i) {
        FormatTempString("text %d", i);
    }
    ZTempStringPool* pool = ZTempStringPool::GetInstance();
    EXPECT_EQ(pool->GetCount(), 5u);
    EXPECT_EQ(pool->GetCapacity(), 8u);
    pool->FreeAll();
    EXPECT_EQ(pool->GetCount(), 0u);
    EXPECT_EQ(pool->GetCapacity(), 0u);
    EXPECT_STREQ(FormatTempString("again"), "again");
    EXPECT_EQ(pool->GetCapacity(), 1u);
}

TEST_F(TempStringTest, TheMainThreadsFreeNeverTakesAnotherThreadsText) {
    os::Event made(true);
    os::Event freed(true);
    std::string seen;
    os::Thread worker;
    ASSERT_TRUE(worker.Start("TempWorker", [&] {
        const char* text = FormatTempString("music %s", "stream");
        made.Set();
        freed.Wait();
        seen = text;  // read after the other thread's end-of-frame free
        ZTempStringPool::GetInstance()->FreeAll();
        return 0u;
    }));
    ASSERT_TRUE(made.Wait(10000));
    const char* mine = FormatTempString("frame text");
    ASSERT_NE(mine, nullptr);
    ZTempStringPool::GetInstance()->FreeAll();
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 1u);
    freed.Set();
    ASSERT_TRUE(worker.Wait(10000));
    EXPECT_EQ(seen, "music stream");
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 0u);
}

TEST_F(TempStringTest, TextsOfOtherThreadsSurviveAroundTheFreedOnes) {
    // Interleaved owners: the free must keep the worker's texts intact and in place.
    os::Event step(false);
    os::Event done(true);
    os::Event finish(true);
    const char* workerTexts[3] = {};
    os::Thread worker;
    ASSERT_TRUE(worker.Start("TempWorker", [&] {
        for (int i = 0; i < 3; ++i) {
            step.Wait();
            workerTexts[i] = FormatTempString("worker %d", i);
            done.Set();
        }
        finish.Wait();
        ZTempStringPool::GetInstance()->FreeAll();
        return 0u;
    }));
    for (int i = 0; i < 3; ++i) {
        FormatTempString("main %d", i);
        done.Reset();
        step.Set();
        ASSERT_TRUE(done.Wait(10000));
    }
    ZTempStringPool::GetInstance()->FreeAll();
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 3u);
    EXPECT_STREQ(workerTexts[0], "worker 0");
    EXPECT_STREQ(workerTexts[2], "worker 2");
    finish.Set();
    ASSERT_TRUE(worker.Wait(10000));
    EXPECT_EQ(ZTempStringPool::GetInstance()->GetCount(), 0u);
}

}  // namespace
