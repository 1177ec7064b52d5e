// A 10,000-entry set: every operation the editor and the recogniser run on a whole set's text.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionPlan.h"
#include "commandsets/SetText.h"

namespace sayvane {
namespace {

constexpr int kEntryCount = 10000;

std::u16string number(int n) {
  std::u16string digits;
  for (const char c : std::to_string(n)) digits.push_back(static_cast<char16_t>(c));
  return digits;
}

std::u16string phraseOf(int n) { return u"命令" + number(n); }

std::u16string actionOf(int n) {
  static const std::u16string actions[] = {u"Alt+F4", u"Ctrl+Shift+A!10*B", u"Write[openie]", u"LWindows*R"};
  return actions[n % 4];
}

std::vector<Entry> bigEntries() {
  std::vector<Entry> entries;
  entries.reserve(kEntryCount);
  for (int i = 0; i < kEntryCount; ++i) entries.push_back({actionOf(i), phraseOf(i)});
  return entries;
}

const std::u16string& bigText() {
  static const std::u16string text = setTextWithEntries(bigEntries());
  return text;
}

// A wrong result would mean timing a different path than the one named.
bool expect(benchmark::State& state, bool ok, const char* what) {
  if (!ok) state.SkipWithError(what);
  return ok;
}

void findActionOf(benchmark::State& state, int index) {
  const auto& text = bigText();
  const auto phrase = phraseOf(index);
  if (!expect(state, findAction(text, phrase) == std::optional<std::u16string>(actionOf(index)), "wrong action")) return;
  for (auto _ : state) {
    auto action = findAction(text, phrase);
    benchmark::DoNotOptimize(action);
  }
  state.counters["units"] = static_cast<double>(text.size());
}

void BM_FindActionLast(benchmark::State& state) { findActionOf(state, kEntryCount - 1); }
BENCHMARK(BM_FindActionLast);

void BM_FindActionMiddle(benchmark::State& state) { findActionOf(state, kEntryCount / 2); }
BENCHMARK(BM_FindActionMiddle);

void BM_ListEntries(benchmark::State& state) {
  const auto& text = bigText();
  if (!expect(state, listEntries(text).size() == kEntryCount, "wrong entry count")) return;
  for (auto _ : state) {
    auto entries = listEntries(text);
    benchmark::DoNotOptimize(entries.data());
  }
}
BENCHMARK(BM_ListEntries);

void BM_InsertEntry(benchmark::State& state) {
  const auto& text = bigText();
  const auto line = makeEntryLine(u"新命令", u"Alt+F4");
  if (!expect(state, insertEntry(text, line).has_value(), "no list end")) return;
  for (auto _ : state) {
    auto result = insertEntry(text, line);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_InsertEntry);

void BM_RemoveEntryMiddle(benchmark::State& state) {
  const auto& text = bigText();
  const auto phrase = phraseOf(kEntryCount / 2);
  const auto once = removeEntry(text, phrase);
  if (!expect(state, once && listEntries(*once).size() == kEntryCount - 1, "entry not removed")) return;
  for (auto _ : state) {
    auto result = removeEntry(text, phrase);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_RemoveEntryMiddle);

void BM_CharacterMenuEntries(benchmark::State& state) {
  const auto& text = bigText();
  if (!expect(state, characterMenuEntries(text).size() == kEntryCount, "wrong menu size")) return;
  for (auto _ : state) {
    auto menu = characterMenuEntries(text);
    benchmark::DoNotOptimize(menu.data());
  }
}
BENCHMARK(BM_CharacterMenuEntries);

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
  if (!expect(state, planAction(action).size() == 100 * 8 + 100 * 3, "unexpected plan size")) return;
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
