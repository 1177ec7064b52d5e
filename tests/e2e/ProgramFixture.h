// The real Sayvane.exe in a throw-away program folder, started and driven from outside.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/driver/Process.h"
#include "e2e/driver/Ui.h"

namespace e2e {

// Where the pictures of the run go: $SAYVANE_ARTIFACTS (a Unix or Windows path), else the
// folder of the test program.
std::filesystem::path artifactFolder();

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts Sayvane.exe from the program folder.
  void launch();
  // Expects the next message box to read exactly `text` under `caption`, with or without the
  // error icon and with only an OK button, and closes it.
  void expectMessage(std::u16string_view caption, std::u16string_view text, bool icon = false);
  // Start-up on a system without a recognizer: the tips unless the setting says not, the
  // start-up failure, then the main window is shown.
  void startToMainWindow(bool tips = true);
  std::filesystem::path setFile(std::u16string_view setName) const;
  // Closes the main window with its close box and expects the program to end cleanly.
  void closeAndExpectExit();

  std::filesystem::path folder;
  Process program;
  HWND main = nullptr;
};

}  // namespace e2e
