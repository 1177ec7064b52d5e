// The programs under test and the speech and character stand-ins from outside: registering them in the prefix, speaking
// to them and choosing from the character's menu through their pipes, reading their call log.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// A folder named by an environment variable; a Unix path from a script becomes the Windows
// path Wine shows it under (drive Z). Nothing when the variable is not set.
std::optional<std::filesystem::path> folderFromEnvironment(const wchar_t* name);
// The folder holding Sayvane.exe, its manual and speechsim/: the build of this test program, or
// another build named by SAYVANE_E2E_PROGRAM_BUILD (the 32-bit one, say), whose stand-ins are
// used with it.
std::filesystem::path programBuild();

// The shared recognition context, the in-process recognizer, the character control.
enum class StandIn { recognizer, inprocRecognizer, character };

// Registers or removes the stand-in (regsvr32, as the registration script does); true when
// the machine's COM classes say so afterwards. Does nothing when they already do.
bool setRegistered(StandIn standIn, bool on);

// The recognizer's reply to one utterance ("recognition", "false-recognition", "ignored"),
// given once the program's handler has returned; nothing when the pipe could not be reached.
std::optional<std::string> say(std::u16string_view phrase);
// Says `phrase` without waiting for the program: true once the stand-in has it. It is raised at
// once, even inside a handler that is still running.
bool sayWithoutWaiting(std::u16string_view phrase);
// The character control's reply to a menu choice ("command", "not-in-menu", "ignored").
std::optional<std::string> chooseFromMenu(std::u16string_view name);

// One logged call: performance-counter microseconds and the call as written, in UTF-8.
struct SimCall {
  long long micros = 0;
  std::string text;
};
// The calls logged so far, after the first `skip`.
std::vector<SimCall> readSimLog(const std::filesystem::path& log, std::size_t skip = 0);
// The calls that start with `prefix`, without their times.
std::vector<std::string> callsStartingWith(const std::vector<SimCall>& calls, std::string_view prefix);
// The calls of `calls` that `wanted` names, in their order, must be `wanted` itself: each
// wanted call is there, and they came in this order.
::testing::AssertionResult inOrder(const std::vector<SimCall>& calls, const std::vector<std::string>& wanted);
// Polls the log until a call starting with `prefix` appears after the first `skip` calls.
std::optional<SimCall> waitForCall(const std::filesystem::path& log, std::string_view prefix,
                                   std::chrono::milliseconds timeout = 5s, std::size_t skip = 0);

}  // namespace e2e
