#pragma once
// Runs a test inside a fresh scratch folder as the process's working
// directory: the commands address their local files by bare name.
#include "TestDirs.h"

#include <gtest/gtest.h>

#include <string>

class InScratchWorkingDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whole-file helpers, binary, relative to the working directory.
    static void Write(const std::string& name, const std::string& bytes);
    static std::string Read(const std::string& name);
    static bool Exists(const std::string& name);

    ScratchDir scratch;

private:
    std::string m_previous;
};
