#pragma once
#include "runtime/threads/halt.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/windowtesting.h"

#include <gtest/gtest.h>

// Every test starts and ends with no logical thread left.
class ThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        tbk::setExitHook([this](int code) { exitCodes.push_back(code); });
    }
    void TearDown() override {
        tbk::windowtest::endAllThreads();
        EXPECT_TRUE(tbk::threadNumbers().empty());
    }
    std::vector<int> exitCodes;
};
