// The real Sayvane.exe in a throw-away program folder, started and driven from outside.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "commandsets/SetText.h"
#include "e2e/driver/Process.h"
#include "e2e/driver/Ui.h"

namespace e2e {

// Where the pictures of the run go: $SAYVANE_ARTIFACTS (a Unix or Windows path), else the
// folder of the test program.
std::filesystem::path artifactFolder();

class ProgramTest : public ::testing::Test {
 protected:
  // What the machine offers the program besides Windows itself. By default nothing: no speech
  // recognizer and no character control, as on a system without speech.
  struct System {
    bool recognizer = false;     // the stand-in recognizer is registered
    bool character = false;      // the stand-in character control is registered
    bool characterFile = false;  // "merlin.acs" lies in the program folder
    bool inprocRecognizer = false;  // the stand-in in-process recognizer is registered
  };
  virtual System system() const { return {}; }
  // A folder to start Sayvane.exe in as it is (an unpacked release) instead of a fresh copy
  // of the build's program; the test leaves it in place.
  virtual std::optional<std::filesystem::path> shippedFolder() const { return std::nullopt; }

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
  // Where the stand-ins log the calls they receive (SAYVANE_SIM_LOG).
  std::filesystem::path simLog;
  Process program;
  HWND main = nullptr;
};

// Both stand-ins, and the program started with an initial set of the test's own `entries()`,
// switched on, the tips closed.
class InitialSetTest : public ProgramTest {
 protected:
  System system() const override { return {true, true, true}; }
  virtual std::vector<sayvane::Entry> entries() const = 0;
  void SetUp() override;
};

}  // namespace e2e
