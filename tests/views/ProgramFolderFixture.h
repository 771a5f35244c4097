#pragma once

#include <gtest/gtest.h>

#include "shell/ConfigKeys.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "tests/support/TestSupport.h"

// A fresh program folder with its configuration file, as the player sees it after start-up.
class ProgramFolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        theSettings.SetFilePath(folder.file(ProgramFolder::ConfigFileName).c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
    }
    void TearDown() override { theSettings.SetFilePath(nullptr); }

    std::string categoryFile(int k) const {
        return folder.file(ProgramFolder::categoryFileName(k));
    }

    TempDir folder;
};
