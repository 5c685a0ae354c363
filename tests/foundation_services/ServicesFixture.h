#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "support/TempDir.h"

namespace servicestest {

// A description that logs, with names of its own.
class TestAppInfo : public ZAppInfo {
public:
    bool IsLogging() const override { return logging; }
    void SetLogging(bool on) override { logging = on; }
    const char* GetGameFolderName() const override { return gameFolder; }
    const char* GetMyGamesFolderName() const override { return myGames; }

    bool logging = true;
    const char* gameFolder = "Test Game";
    const char* myGames = "My Games";
};

// Points the documents folder at a fresh temporary folder and starts every
// process-wide service anew, so each test sees a first run.
class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_DOCUMENTS_DIR");
        m_hadDocuments = old != nullptr;
        m_oldDocuments = old != nullptr ? old : "";
        setenv("XDG_DOCUMENTS_DIR", m_temp.Path().c_str(), 1);
        ZLog::DestroyInstance();
        ZAppInfo::DestroyInstance();
        gAppInfoDestroyed = false;
    }

    void TearDown() override {
        ZLog::DestroyInstance();
        ZAppInfo::DestroyInstance();
        gAppInfoDestroyed = false;
        if (m_hadDocuments) {
            setenv("XDG_DOCUMENTS_DIR", m_oldDocuments.c_str(), 1);
        } else {
            unsetenv("XDG_DOCUMENTS_DIR");
        }
    }

    void InstallAppInfo() { gAppInfo = &m_info; }

    std::string Documents() const { return m_temp.Path().string(); }

    korvtest::TempDir m_temp;
    TestAppInfo m_info;

private:
    bool m_hadDocuments = false;
    std::string m_oldDocuments;
};

}  // namespace servicestest
