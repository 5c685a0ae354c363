#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "foundation/ZAppInfo.h"

namespace korvtest {

// An application description with names a test picks and a logging switch.
class TestAppInfo : public ZAppInfo {
public:
    explicit TestAppInfo(const char* gameFolder = "Test Game", bool logging = true)
        : logging(logging), gameFolder(gameFolder) {}

    bool IsLogging() const override { return logging; }
    void SetLogging(bool on) override { logging = on; }
    const char* GetGameFolderName() const override { return gameFolder; }
    const char* GetMyGamesFolderName() const override { return myGames; }

    bool logging;
    const char* gameFolder;
    const char* myGames = "My Games";
};

// While it lives, the documents folder (XDG_DOCUMENTS_DIR) is `documents`, and
// the log and the application description start anew, as on a first run;
// `info`, when given, is the description. Going away it drops the log and the
// description and puts the variable back. Declare it after the folder and the
// description it names, so that it goes first.
class EngineTestEnv {
public:
    explicit EngineTestEnv(const std::filesystem::path& documents, ZAppInfo* info = nullptr);
    ~EngineTestEnv();
    EngineTestEnv(const EngineTestEnv&) = delete;
    EngineTestEnv& operator=(const EngineTestEnv&) = delete;

private:
    std::optional<std::string> m_oldDocuments;  // empty when the variable was unset
};

}  // namespace korvtest
