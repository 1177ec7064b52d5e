// The built-in character's command menu for any number of entries: as many as fit the screen's
// height stand at the top, the rest in submenus of consecutive entries, nested as deep as their
// count needs, all in the list's order. A submenu is filled only when it opens, so a menu of
// 617,000 entries opens as fast as one of forty and every entry stays reachable.
#pragma once

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sayvane::win32 {

class CommandMenu {
 public:
  using Names = std::shared_ptr<const std::vector<std::u16string>>;

  // `rows`: the most items one menu may show; the top keeps `reserved` of them for its own items,
  // added by the caller after this. Entry items get command ids from `firstId` up to 0xFFFF.
  CommandMenu(Names names, std::size_t rows, std::size_t reserved, UINT firstId);
  ~CommandMenu();
  CommandMenu(const CommandMenu&) = delete;
  CommandMenu& operator=(const CommandMenu&) = delete;

  [[nodiscard]] HMENU handle() const { return menu_; }
  // Fills `submenu` as it opens (WM_INITMENUPOPUP), when it is one of this menu's still empty.
  void fill(HMENU submenu);
  // The entry whose item has the command id `id`; nothing for any other id.
  [[nodiscard]] std::optional<std::size_t> entry(UINT id) const;

 private:
  // Entries [first, end) into `menu`: themselves when they fit `rows`, else submenus of groups.
  void fillRange(HMENU menu, std::size_t first, std::size_t end, std::size_t rows);
  void addEntry(HMENU menu, std::size_t index);
  void addGroup(HMENU menu, std::size_t first, std::size_t end);

  Names names_;
  std::size_t rows_;
  UINT firstId_;
  HMENU menu_ = nullptr;
  std::map<HMENU, std::pair<std::size_t, std::size_t>> unfilled_;
  std::vector<std::size_t> entries_;  // the entry behind command id firstId_ + i
};

// The most items a menu opened at `at` shows without scrolling: the height of that monitor's
// work area over the height of an item.
std::size_t menuRowsAt(POINT at);

}  // namespace sayvane::win32
