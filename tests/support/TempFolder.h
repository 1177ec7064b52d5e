// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace sayvane::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string readBytes(const std::u16string& name) const;
  void writeBytes(const std::u16string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

}  // namespace sayvane::testing
