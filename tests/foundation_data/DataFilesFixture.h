#pragma once

// Shared set-up for the tests of the definition, markup, INI and saved-state
// readers: a temporary folder mounted as the only stream source, and a log
// that is on and written under that folder, so tests can see what a reader
// reported.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/ZStreamMgr.h"
#include "support/EngineTestEnv.h"
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

class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(m_data.Path().c_str());
    }

    void TearDown() override { ZStreamMgr::DestroyInstance(); }

    // Everything logged so far in this test.
    std::string LogText() const { return m_documents.Read("My Games/Data Test/Logs/Log.txt"); }

    korvtest::TempDir m_documents;
    korvtest::TempDir m_data;  // the mounted stream source
    korvtest::TestAppInfo m_info{"Data Test"};

private:
    korvtest::EngineTestEnv m_env{m_documents.Path(), &m_info};
};

}  // namespace datatest
