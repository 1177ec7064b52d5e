// A 10,000-entry set: every operation the editor and the recogniser run on a whole set's text.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "actions/ActionPlan.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

constexpr int kEntryCount = 10000;

std::u16string phraseOf(int n) { return u"命令" + fromUtf8(std::to_string(n)); }

std::u16string actionOf(int n) {
  static const std::u16string actions[] = {u"Alt+F4", u"Ctrl+Shift+A!10*B", u"Write[openie]", u"LWindows*R"};
  return actions[n % 4];
}

const std::u16string kBigText = [] {
  std::vector<Entry> entries;
  for (int i = 0; i < kEntryCount; ++i) entries.push_back({actionOf(i), phraseOf(i)});
  return setTextWithEntries(entries);
}();
const std::u16string kLast = phraseOf(kEntryCount - 1), kMiddle = phraseOf(kEntryCount / 2);
const std::u16string kNewLine = makeEntryLine(u"新命令", u"Alt+F4");

// Times `call` on the whole set, once `check` has seen it give the right result: a wrong one
// would mean timing a different path than the one named.
template <class Call, class Check>
void onBigSet(benchmark::State& state, Call call, Check check) {
  if (!check(call(kBigText))) return state.SkipWithError("wrong result");
  for (auto _ : state) {
    auto result = call(kBigText);
    benchmark::DoNotOptimize(result);
  }
  state.counters["units"] = static_cast<double>(kBigText.size());
}

BENCHMARK_CAPTURE(
    onBigSet, FindActionLast, [](const auto& text) { return findAction(text, kLast); },
    [](const auto& action) { return action == actionOf(kEntryCount - 1); });
BENCHMARK_CAPTURE(
    onBigSet, FindActionMiddle, [](const auto& text) { return findAction(text, kMiddle); },
    [](const auto& action) { return action == actionOf(kEntryCount / 2); });
BENCHMARK_CAPTURE(
    onBigSet, ListEntries, [](const auto& text) { return listEntries(text); },
    [](const auto& entries) { return entries.size() == kEntryCount; });
BENCHMARK_CAPTURE(
    onBigSet, InsertEntry, [](const auto& text) { return insertEntry(text, kNewLine); },
    [](const auto& inserted) { return inserted.has_value(); });
BENCHMARK_CAPTURE(
    onBigSet, RemoveEntryMiddle, [](const auto& text) { return removeEntry(text, kMiddle); },
    [](const auto& rest) { return rest && listEntries(*rest).size() == kEntryCount - 1; });
BENCHMARK_CAPTURE(
    onBigSet, CharacterMenuEntries, [](const auto& text) { return characterMenuEntries(text); },
    [](const auto& menu) { return menu.size() == kEntryCount; });

// 200 steps alternating a held chord and a single key.
std::u16string longKeyAction() {
  std::u16string action;
  for (int i = 0; i < 200; ++i) {
    if (i > 0) action += u'*';
    action += i % 2 == 0 ? u"Ctrl+Shift+A!10" : u"B";
  }
  return action;
}

void BM_PlanAndDescribeLongKeyForm(benchmark::State& state) {
  const auto action = longKeyAction();
  // Per chord step: 3 presses, 1 wait, 3 releases, 1 step pause; per single key: 2 inputs, 1 pause.
  if (planAction(action).size() != 100 * 8 + 100 * 3) return state.SkipWithError("unexpected plan size");
  for (auto _ : state) {
    const auto plan = planAction(action);
    std::size_t length = 0;
    for (const auto& op : plan) length += describe(op).size();
    benchmark::DoNotOptimize(length);
  }
}
BENCHMARK(BM_PlanAndDescribeLongKeyForm);

}  // namespace
}  // namespace sayvane
