#pragma once

// Shared set-up for the tests of the definition, markup, INI and saved-state
// readers: a temporary folder mounted as the only stream source, and a log
// that is on and written under that folder, so tests can see what a reader
// reported.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "support/TempDir.h"

namespace datatest {

inline std::string U16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string U32(uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return out;
}

// A length-prefixed text of the node layout.
inline std::string Text(const std::string& text) {
    return U32(static_cast<uint32_t>(text.size())) + text;
}

class LoggingAppInfo : public ZAppInfo {
public:
    bool IsLogging() const override { return true; }
    const char* GetGameFolderName() const override { return "Data Test"; }
};

class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_DOCUMENTS_DIR");
        m_hadDocuments = old != nullptr;
        m_oldDocuments = old != nullptr ? old : "";
        setenv("XDG_DOCUMENTS_DIR", m_documents.Path().c_str(), 1);
        ZLog::DestroyInstance();
        ZAppInfo::DestroyInstance();
        gAppInfo = &m_info;
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(m_data.Path().c_str());
    }

    void TearDown() override {
        ZStreamMgr::DestroyInstance();
        ZLog::DestroyInstance();
        gAppInfo = nullptr;
        if (m_hadDocuments) {
            setenv("XDG_DOCUMENTS_DIR", m_oldDocuments.c_str(), 1);
        } else {
            unsetenv("XDG_DOCUMENTS_DIR");
        }
    }

    // Everything logged so far in this test.
    std::string LogText() const { return m_documents.Read("My Games/Data Test/Logs/Log.txt"); }

    korvtest::TempDir m_documents;
    korvtest::TempDir m_data;  // the mounted stream source
    LoggingAppInfo m_info;

private:
    bool m_hadDocuments = false;
    std::string m_oldDocuments;
};

}  // namespace datatest
