#include "support/EngineTestEnv.h"

#include <cstdlib>

#include "foundation/ZLog.h"

namespace korvtest {

EngineTestEnv::EngineTestEnv(const std::filesystem::path& documents, ZAppInfo* info) {
    if (const char* old = std::getenv("XDG_DOCUMENTS_DIR")) m_oldDocuments = old;
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    ZLog::DestroyInstance();
    ZAppInfo::DestroyInstance();
    gAppInfoDestroyed = false;
    if (info != nullptr) gAppInfo = info;
}

EngineTestEnv::~EngineTestEnv() {
    ZLog::DestroyInstance();
    ZAppInfo::DestroyInstance();
    gAppInfoDestroyed = false;
    if (m_oldDocuments) {
        setenv("XDG_DOCUMENTS_DIR", m_oldDocuments->c_str(), 1);
    } else {
        unsetenv("XDG_DOCUMENTS_DIR");
    }
}

}  // namespace korvtest
