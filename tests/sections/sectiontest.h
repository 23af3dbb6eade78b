// Set-up shared by the section tests: the variable store, an empty change log holding one
// demo, the destination in a scratch folder, and scripts and log keys read as text.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "support/testsupport.h"

// A call that must end the run through the fatal-error path.
#define EXPECT_FATAL(statement) EXPECT_EXIT(statement, ::testing::ExitedWithCode(zyntest::kFatalExitCode), "")

namespace zyntest {

class SectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.path().c_str());
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    // Scripts have CR LF line ends: the reader drops the character before each line feed.
    static void Load(const std::string& text) {
        std::string crlf;
        for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        ASSERT_EQ(INF_LoadText(crlf.c_str(), crlf.size()), 0);
    }
    // A log key by its names below the root; null when one is missing.
    static ZYNLOG_KEY Key(std::initializer_list<std::string> path) {
        ZYNLOG_KEY key = ZYNLOG_ROOT_KEY;
        for (const std::string& name : path)
            if (ZYNLOG_OpenKey(key, name.c_str(), &key) != 0) return nullptr;
        return key;
    }
    // The values of a log key as "name=data;", "-" when the key is missing.
    static std::string Values(std::initializer_list<std::string> path) {
        ZYNLOG_KEY key = Key(path);
        if (key == nullptr) return "-";
        std::string out;
        char name[1024], data[1024];
        for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i)
            out += std::string(name) + "=" + data + ";";
        return out;
    }
    std::string DemoKey() const { return "Demo " + std::to_string(demo_); }

    TempDir dir_;
    int demo_ = -1;
};

}  // namespace zyntest
