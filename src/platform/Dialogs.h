// Modal dialogs; events keep being processed while one is open.
#pragma once

#include <optional>
#include <string>

namespace sayvane {

class Dialogs {
 public:
  Dialogs() = default;
  Dialogs(const Dialogs&) = delete;
  Dialogs& operator=(const Dialogs&) = delete;
  virtual ~Dialogs() = default;

  // An OK-only box without icon; returns when the user has closed it.
  virtual void message(const std::u16string& text, const std::u16string& caption) = 0;
  // The same with the critical-error icon.
  virtual void critical(const std::u16string& text, const std::u16string& caption) = 0;
  // Yes and No buttons; true for Yes.
  virtual bool ask(const std::u16string& text, const std::u16string& caption) = 0;
  // The open-file dialog: one existing file, starting in `folder`, one filter showing all
  // files; nothing when cancelled.
  virtual std::optional<std::u16string> pickFile(const std::u16string& title, const std::u16string& folder,
                                                 const std::u16string& filterName) = 0;
  // The help window, modal; returns when the user has closed it.
  virtual void showHelp() = 0;
  // A long text the user can read, select and copy, in a modal window; returns when closed.
  virtual void showText(const std::u16string& text, const std::u16string& caption) = 0;
};

}  // namespace sayvane
