#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace servicestest {

// The documents folder is a fresh temporary folder and every process-wide
// service starts anew, so each test sees a first run. No description is
// installed until a test asks for one.
class ServicesTest : public ::testing::Test {
protected:
    void InstallAppInfo() { gAppInfo = &m_info; }

    std::string Documents() const { return m_temp.Path().string(); }

    korvtest::TempDir m_temp;
    korvtest::TestAppInfo m_info;

private:
    korvtest::EngineTestEnv m_env{m_temp.Path()};
};

}  // namespace servicestest
