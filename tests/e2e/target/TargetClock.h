// What the target window and the tests that read its log agree on: its window class, and the
// clock of its log lines (performance-counter microseconds, the same in every process).
#pragma once

#include <windows.h>

namespace e2e {

inline constexpr wchar_t kTargetClass[] = L"SayvaneE2eTarget";

inline long long microsNow() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return counter.QuadPart / frequency.QuadPart * 1'000'000LL +
         counter.QuadPart % frequency.QuadPart * 1'000'000LL / frequency.QuadPart;
}

}  // namespace e2e
