#pragma once

// A temporary data folder mounted as the only stream source, a temporary
// documents folder (so the user's Localization folder is ours), and a fresh
// localisation manager per test.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/ZHashedString.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace loctest {

inline ZHashedString H(const char* text) { return ZHashedString(text); }

inline std::string Str(const ZString& s) { return std::string(s.GetText(), static_cast<size_t>(s.GetLength())); }

class LocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZStreamMgr::DestroyInstance();
        ZStreamMgr::GetInstance()->AddDirectorySource(m_data.Path().c_str());
        m_loc = std::make_unique<ZLocMgr>();
    }

    void TearDown() override {
        m_loc.reset();
        ZLocListener::DestroyRegistry();
        ZStreamMgr::DestroyInstance();
    }

    // A file of the user's Localization folder.
    void WriteUserFile(const std::string& relative, const std::string& text) {
        m_documents.Write("My Games/Loc Test/Localization/" + relative, text);
    }

    std::string Get(const char* file, const char* section, const char* key) const {
        return Str(m_loc->GetString(H(file), H(section), H(key)));
    }

    korvtest::TempDir m_documents;
    korvtest::TempDir m_data;
    korvtest::TestAppInfo m_info{"Loc Test", false};
    std::unique_ptr<ZLocMgr> m_loc;

private:
    korvtest::EngineTestEnv m_env{m_documents.Path(), &m_info};
};

}  // namespace loctest
