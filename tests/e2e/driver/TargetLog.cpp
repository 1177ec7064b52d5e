#include "e2e/driver/TargetLog.h"

#include <algorithm>
#include <sstream>

#include "platform/win32/ProgramFolder.h"

namespace e2e {

std::vector<TargetEvent> readTargetLog(const std::filesystem::path& path) {
  std::vector<TargetEvent> events;
  const std::string all = fileText(path);
  for (std::size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    std::istringstream line(all.substr(start, end - start));
    TargetEvent event;
    if (!(line >> event.micros >> event.kind >> event.value)) continue;
    if (unsigned long stamp = 0; line >> stamp) event.stampMs = static_cast<DWORD>(stamp);
    if (unsigned bits = 0; line >> std::hex >> bits) {
      event.scanCode = bits & 0xFF;
      event.extended = (bits & 0x100) != 0;
    }
    events.push_back(std::move(event));
  }
  return events;
}

long long stampedMilliseconds(const TargetEvent& from, const TargetEvent& to) {
  if (!from.stampMs || !to.stampMs) return 0;
  return static_cast<DWORD>(*to.stampMs - *from.stampMs);  // the tick count wraps after 49.7 days
}

std::vector<TargetEvent> eventsOf(const std::vector<TargetEvent>& events,
                                  std::initializer_list<std::string_view> kinds) {
  std::vector<TargetEvent> chosen;
  for (const auto& event : events)
    if (std::find(kinds.begin(), kinds.end(), event.kind) != kinds.end()) chosen.push_back(event);
  return chosen;
}

std::filesystem::path targetExe() { return sayvane::programFolder() / L"e2e-target.exe"; }

bool waitForEvent(const std::filesystem::path& log, std::string_view kind, std::chrono::milliseconds timeout,
                  std::size_t skip) {
  return waitFor(
      [&] {
        const auto events = readTargetLog(log);
        return std::any_of(events.begin() + static_cast<std::ptrdiff_t>(std::min(skip, events.size())), events.end(),
                           [&](const TargetEvent& event) { return event.kind == kind; });
      },
      timeout);
}

Target startTarget(const std::filesystem::path& log, const std::wstring& caption) {
  Target target{{}, log};
  target.process = startDespiteWine([&] {
    StartAttempt attempt{Process(targetExe(), L"\"" + log.wstring() + L"\" \"" + caption + L"\"")};
    // No point waiting for a program that has ended; the log file is the first thing it makes.
    waitFor([&] { return !readTargetLog(log).empty() || !attempt.process.running(); });
    attempt.showedLife = std::filesystem::exists(log);
    return attempt;
  });
  const auto events = readTargetLog(log);
  if (events.empty() || events.front().kind != "ready") return target;
  target.window = target.process.waitWindow(kTargetClass, 2s);
  target.ready = target.window != nullptr;
  return target;
}

}  // namespace e2e
