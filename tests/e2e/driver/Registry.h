// The program's saved settings, where Visual-Basic-style SaveSetting keeps them, for test set-up and checks.
#pragma once

#include <optional>
#include <string>

namespace e2e {

// HKCU\Software\VB and VBA Program Settings\<app>\<section>, value <key>; nullopt when absent.
std::optional<std::wstring> vbSetting(const std::wstring& app, const std::wstring& section,
                                      const std::wstring& key);
// Removes the section with all its values; true when it is gone afterwards (also when it never was).
bool deleteVbSection(const std::wstring& app, const std::wstring& section);

}  // namespace e2e
