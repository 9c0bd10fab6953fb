// A test fixture that holds the resource test module loaded for the length of a test.
#pragma once

#include <windows.h>

#include "lxmod_res.h"

#include <gtest/gtest.h>

namespace lxtest {

class ResourceModuleTest : public testing::Test {
  protected:
    void SetUp() override {
        m_module = LoadLibraryA(LXTEST_RES_MODULE);
        ASSERT_NE(m_module, nullptr) << "error " << GetLastError();
        m_plain = LoadLibraryA(LXTEST_MODULE_DIR "/lxmod_plain.so");
        ASSERT_NE(m_plain, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (m_module) {
            EXPECT_TRUE(FreeLibrary(m_module));
        }
        if (m_plain) {
            EXPECT_TRUE(FreeLibrary(m_plain));
        }
    }

    HMODULE m_module = nullptr; // lxmod_res, with resources
    HMODULE m_plain = nullptr;  // lxmod_plain, without
};

} // namespace lxtest
