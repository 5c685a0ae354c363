#pragma once

#include <gtest/gtest.h>

#include "framework/ZConfigVar.h"
#include "support/TempDir.h"

namespace configtest {

// Every test starts and ends with an empty registry, so no record outlives
// the storage a test registered, and has a folder of its own for files.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ClearConfigRegistry(); }
    void TearDown() override { ClearConfigRegistry(); }

    // The registry's text as a standard string, for byte comparisons.
    static std::string ConfigText() {
        const ZString text = FormatConfigText();
        return std::string(text.GetText(), static_cast<size_t>(text.GetLength()));
    }

    korvtest::TempDir m_temp;
};

}  // namespace configtest
