// Synthesized input from WinInput, seen by the target window in another process.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "actions/KeyNames.h"
#include "e2e/driver/TargetLog.h"
#include "e2e/driver/Ui.h"
#include "platform/win32/WinForegroundRights.h"
#include "platform/win32/WinInput.h"
#include "sim/StandardKeyboard.h"
#include "win32/Win32Test.h"

namespace {

// "keydown 41" and so on: what a sequence of events looks like, for readable failures.
std::vector<std::string> describe(const std::vector<e2e::TargetEvent>& events) {
  std::vector<std::string> lines;
  for (const auto& event : events) lines.push_back(event.kind + " " + event.value);
  return lines;
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = e2e::startTarget(folder_.path() / L"target.log", win32test::uniqueName(L"e2e target"));
    ASSERT_TRUE(target_.ready) << e2e::targetExe() << " never reported being in front with the focus";
  }

  auto events() const { return e2e::readTargetLog(target_.log); }

  // "x,y": a point on the screen in the target's client coordinates, as its log writes them.
  std::string inClient(POINT p) const {
    ScreenToClient(target_.window, &p);
    return std::to_string(p.x) + "," + std::to_string(p.y);
  }

  // The places the pointer moved to after the first `skip` moves, each once, in the order it
  // first got there. Wine may report the pointer again at a place it has left (`start`
  // included) while the display catches up with a relative move: no new place.
  std::vector<std::string> positionsSince(std::size_t skip, const std::string& start) const {
    const auto moves = e2e::eventsOf(events(), {"mousemove"});
    std::vector<std::string> positions;
    for (std::size_t i = skip; i < moves.size(); ++i)
      if (moves[i].value != start && std::find(positions.begin(), positions.end(), moves[i].value) == positions.end())
        positions.push_back(moves[i].value);
    return positions;
  }

  win32test::TempFolder folder_;
  // Killed with its Process at the end rather than closed: under Wine without a window manager,
  // hiding a window waits 2 s for the manager that never answers.
  e2e::Target target_;
  sayvane::WinInput input_;
};

// Wine has no elevation: the target's level is read from its token and is no higher than ours.
TEST_F(InputTest, ClicksLandAtThePointerAndRelativeMovesShiftIt) {
  EXPECT_EQ(sayvane::WinForegroundRights().compare(), sayvane::ForegroundLevel::NotHigher);
  const POINT origin = e2e::clientOrigin(target_.window);
  const SIZE client = e2e::clientSize(target_.window);
  const POINT center{origin.x + client.cx / 2, origin.y + client.cy / 2};
  ASSERT_TRUE(SetCursorPos(center.x, center.y));
  const std::string at = inClient(center);

  // Each button down and up in one call. Which calls a token makes, double clicks included, the
  // unit tests check; that two clicks make a double click is the system's.
  sayvane::kjPress(input_, u"mlbc");
  sayvane::kjPress(input_, u"mrbc");
  ASSERT_TRUE(e2e::waitForEvent(target_.log, "rbuttonup"));
  EXPECT_EQ(
      describe(e2e::eventsOf(events(), {"lbuttondown", "lbuttonup", "lbuttondblclk", "rbuttondown", "rbuttonup"})),
      (std::vector<std::string>{"lbuttondown " + at, "lbuttonup " + at, "rbuttondown " + at, "rbuttonup " + at}));

  // Relative moves are in mickeys; only with pointer acceleration off is one mickey one pixel.
  // Off for this session only (not saved), and back at the end.
  int old[3] = {};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, old, 0));
  const win32test::AtEnd restore{[&] { SystemParametersInfoW(SPI_SETMOUSE, 0, old, 0); }};
  int off[3] = {0, 0, 0};
  SystemParametersInfoW(SPI_SETMOUSE, 0, off, 0);
  const auto before = events();
  const std::size_t movesBefore = e2e::eventsOf(before, {"mousemove"}).size();
  sayvane::kjPress(input_, u"mrightm");  // +10, 0
  const POINT right{center.x + 10, center.y};
  ASSERT_TRUE(e2e::waitForEvent(target_.log, "mousemove", 5s, before.size()));
  POINT cursor{};
  ASSERT_TRUE(e2e::waitFor([&] { return GetCursorPos(&cursor) && cursor.x == right.x && cursor.y == right.y; }, 2s))
      << cursor.x << "," << cursor.y;
  sayvane::kjPress(input_, u"mdownm");  // 0, +10
  ASSERT_TRUE(e2e::waitFor([&] { return positionsSince(movesBefore, at).size() >= 2; }));
  const auto positions = positionsSince(movesBefore, at);
  ASSERT_EQ(positions.size(), 2u) << positions.back();
  EXPECT_EQ(positions[0], inClient(right));
  // Wine sometimes takes a relative move from where the display still had the pointer a
  // moment before, here the centre, even after reporting the new place: the move itself is
  // still 0, +10 from one of the two.
  const POINT down =
      positions[1] == inClient({center.x, center.y + 10}) ? POINT{center.x, center.y + 10} : POINT{right.x, right.y + 10};
  EXPECT_EQ(positions[1], inClient(down));
  // The pointer itself ends there too; the system may take a moment to say so.
  EXPECT_TRUE(e2e::waitFor([&] { return GetCursorPos(&cursor) && cursor.x == down.x && cursor.y == down.y; }, 2s))
      << cursor.x << "," << cursor.y;
}

// The simulated keyboard stands for the system's: each key it knows, and Print Screen's
// VK_PRINT which the key table sends, has the scan code the system's US layout gives it.
TEST(ScanCodes, TheSimulatedKeyboardAgreesWithTheSystemsLayout) {
  sayvane::WinInput input;
  for (std::uint8_t key = 1; key != 0; ++key)
    if (sayvane::sim::standardScanCode(key) != 0 || key == 0x2A)
      EXPECT_EQ(input.scanCode(key), sayvane::sim::standardScanCode(key)) << std::hex << int{key};
}

}  // namespace
