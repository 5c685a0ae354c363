#pragma once

// A temporary data folder mounted as the only stream source, a temporary
// documents folder (so the user's Localization folder is ours), and a fresh
// localisation manager per test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "support/TempDir.h"

namespace loctest {

inline ZHashedString H(const char* text) { return ZHashedString(text); }

inline std::string Str(const ZString& s) { return std::string(s.GetText(), static_cast<size_t>(s.GetLength())); }

class LocAppInfo : public ZAppInfo {
public:
    const char* GetGameFolderName() const override { return "Loc Test"; }
};

class LocTest : public ::testing::Test {
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
        m_loc = std::make_unique<ZLocMgr>();
    }

    void TearDown() override {
        m_loc.reset();
        ZLocListener::DestroyRegistry();
        ZStreamMgr::DestroyInstance();
        ZLog::DestroyInstance();
        gAppInfo = nullptr;
        if (m_hadDocuments) {
            setenv("XDG_DOCUMENTS_DIR", m_oldDocuments.c_str(), 1);
        } else {
            unsetenv("XDG_DOCUMENTS_DIR");
        }
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
    LocAppInfo m_info;
    std::unique_ptr<ZLocMgr> m_loc;

private:
    bool m_hadDocuments = false;
    std::string m_oldDocuments;
};

}  // namespace loctest
