#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ZLocListener.h"

namespace {

class ZLocListenerTest : public ::testing::Test {
protected:
    void TearDown() override { ZLocListener::DestroyRegistry(); }
};

// Writes its name into a shared log when told; may delete another listener.
class Named : public ZLocListener {
public:
    Named(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    void OnLanguageChanged() override {
        m_log.push_back(m_name);
        if (victim != nullptr) {
            delete victim;
            victim = nullptr;
        }
    }
    Named* victim = nullptr;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

TEST_F(ZLocListenerTest, ListenersAreToldInTheOrderTheyWereMade) {
    std::vector<std::string> log;
    Named first("first", log);
    auto* second = new Named("second", log);
    Named third("third", log);
    ZLocListener::NotifyAll();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));

    delete second;
    log.clear();
    ZLocListener::NotifyAll();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(ZLocListener::GetRegistry()->Count(), 2u);
}

TEST_F(ZLocListenerTest, AListenerDestroyedDuringTheWalkIsSkipped) {
    std::vector<std::string> log;
    Named first("first", log);
    first.victim = new Named("second", log);
    Named third("third", log);
    ZLocListener::NotifyAll();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "third"}));
}

TEST_F(ZLocListenerTest, RemovingAnEarlierListenerDuringTheWalkSkipsNoOther) {
    std::vector<std::string> log;
    auto* first = new Named("first", log);
    Named second("second", log);
    Named third("third", log);
    second.victim = first;
    ZLocListener::NotifyAll();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
}

TEST_F(ZLocListenerTest, CopiesListenOfTheirOwnAndDyingAfterShutdownIsHarmless) {
    std::vector<std::string> log;
    auto* original = new Named("a", log);
    auto* copy = new Named(*original);
    EXPECT_EQ(ZLocListener::GetRegistry()->Count(), 2u);
    delete original;
    ZLocListener::NotifyAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));

    ZLocListener::DestroyRegistry();
    delete copy;  // finds no list and makes none
    ZLocListener::NotifyAll();
    EXPECT_EQ(log.size(), 1u);
}

}  // namespace
