// The harness starts a program again only when Wine failed to start it: exit code 1 and no life.
#include <gtest/gtest.h>

#include <windows.h>

#include "e2e/driver/Process.h"

namespace {

using namespace std::chrono_literals;

std::filesystem::path cmd() {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return std::filesystem::path(system) / L"cmd.exe";
}

TEST(StartDespiteWineTest, StartsAgainOnlyWhatEndedWithOneAndShowedNoLife) {
  struct Case {
    std::vector<std::wstring> exits;  // each attempt's exit code, by cmd /c exit N
    bool showsLife;
    long exitCode;
    int attempts;
  };
  const Case cases[] = {
      {{L"1", L"0"}, false, 0, 2},              // a failed start, then a good one
      {{L"1", L"1", L"1", L"1"}, false, 1, 3},  // a program that always fails so: twice again at most
      {{L"1", L"0"}, true, 1, 1},               // it showed life: it may have acted, never repeated
      {{L"2", L"0"}, false, 2, 1},              // any other failure is the program's own
  };
  for (const auto& c : cases) {
    int attempts = 0;
    const auto process = e2e::startDespiteWine([&] {
      e2e::StartAttempt attempt{e2e::Process(cmd(), L"/c exit " + c.exits[attempts++])};
      (void)attempt.process.waitExit(10s);
      attempt.showedLife = c.showsLife;
      return attempt;
    });
    EXPECT_EQ(process.waitExit(0ms), c.exitCode);
    EXPECT_EQ(attempts, c.attempts);
  }
}

}  // namespace
