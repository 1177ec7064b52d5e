#include "app/win32/CommandMenu.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win32/Wide.h"

namespace sayvane::win32 {

namespace {

// A menu shows '&' as an underline under the next letter; the name is meant literally.
std::wstring menuText(const std::u16string& name) {
  std::wstring text;
  for (wchar_t c : wide(name)) {
    if (c == L'&') text += L'&';
    text += c;
  }
  return text;
}

// How many entries each submenu of a range of `count` holds: the least power of `rows` that needs
// no more than `most` submenus.
std::size_t groupSize(std::size_t count, std::size_t rows, std::size_t most) {
  std::size_t size = rows;
  while ((count + size - 1) / size > most) size *= rows;
  return size;
}

}  // namespace

CommandMenu::CommandMenu(Names names, std::size_t rows, std::size_t reserved, UINT firstId)
    : names_(std::move(names)), rows_(std::max<std::size_t>(rows, 4)), firstId_(firstId), menu_(CreatePopupMenu()) {
  if (!menu_ || !names_) return;
  const std::size_t count = names_->size();
  const std::size_t room = rows_ > reserved + 2 ? rows_ - reserved : 2;
  if (count <= room) {
    for (std::size_t i = 0; i < count; ++i) addEntry(menu_, i);
    return;
  }
  // The first entries stand at the top itself, the rest in as few groups as keep at least half of
  // the top for them: a set's first phrases are the ones its author meant most.
  std::size_t size = rows_, groups = 0;
  for (;; size *= rows_) {
    groups = (count - room + size - 2) / (size - 1);
    if (groups <= room / 2) break;
  }
  const std::size_t direct = room - groups;
  for (std::size_t i = 0; i < direct; ++i) addEntry(menu_, i);
  for (std::size_t first = direct; first < count; first += size) addGroup(menu_, first, std::min(count, first + size));
}

CommandMenu::~CommandMenu() {
  if (menu_) DestroyMenu(menu_);  // with every submenu in it
}

void CommandMenu::fill(HMENU submenu) {
  const auto found = unfilled_.find(submenu);
  if (found == unfilled_.end()) return;
  const auto [first, end] = found->second;
  unfilled_.erase(found);
  fillRange(submenu, first, end, rows_);
}

void CommandMenu::fillRange(HMENU menu, std::size_t first, std::size_t end, std::size_t rows) {
  if (end - first <= rows) {
    for (std::size_t i = first; i < end; ++i) addEntry(menu, i);
    return;
  }
  const std::size_t size = groupSize(end - first, rows_, rows);
  for (std::size_t at = first; at < end; at += size) addGroup(menu, at, std::min(end, at + size));
}

void CommandMenu::addEntry(HMENU menu, std::size_t index) {
  // Command ids are 16 bits: past them, what is left of a very long session's menu stays empty.
  if (firstId_ + entries_.size() > 0xFFFF) return;
  AppendMenuW(menu, MF_STRING, firstId_ + entries_.size(), menuText((*names_)[index]).c_str());
  entries_.push_back(index);
}

void CommandMenu::addGroup(HMENU menu, std::size_t first, std::size_t end) {
  if (end - first == 1) return addEntry(menu, first);
  HMENU group = CreatePopupMenu();
  if (!group) return;
  const std::wstring caption = L"第 " + std::to_wstring(first + 1) + L"–" + std::to_wstring(end) + L" 条";
  if (!AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(group), caption.c_str())) {
    DestroyMenu(group);
    return;
  }
  unfilled_[group] = {first, end};
}

std::optional<std::size_t> CommandMenu::entry(UINT id) const {
  if (id < firstId_ || id - firstId_ >= entries_.size()) return std::nullopt;
  return entries_[id - firstId_];
}

std::size_t menuRowsAt(POINT at) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
  int itemHeight = GetSystemMetrics(SM_CYMENUSIZE);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    itemHeight = std::max(itemHeight, static_cast<int>(std::abs(metrics.lfMenuFont.lfHeight)) + 8);
  // A little more than an item each, and room for the menu's frame: better a row short than a scroll.
  const int height = monitor.rcWork.bottom - monitor.rcWork.top - 16;
  return static_cast<std::size_t>(std::clamp(height / std::max(itemHeight + 2, 1), 8, 200));
}

}  // namespace sayvane::win32
