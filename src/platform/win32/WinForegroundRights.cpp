#include "platform/win32/WinForegroundRights.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/Owned.h"

namespace sayvane {
namespace {

std::optional<DWORD> integrityOfToken(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return std::nullopt;
  const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  if (!sid || !IsValidSid(sid)) return std::nullopt;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  if (count == 0) return std::nullopt;
  // The level is the label's last sub-authority (SECURITY_MANDATORY_*_RID).
  return *GetSidSubAuthority(sid, count - 1);
}

std::optional<DWORD> integrityOfProcess(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
  return integrityOfToken(win32::UniqueHandle(token));
}

}  // namespace

ForegroundLevel WinForegroundRights::compare() {
  const HWND front = GetForegroundWindow();
  DWORD processId = 0;
  if (!front || !GetWindowThreadProcessId(front, &processId) || processId == 0) return ForegroundLevel::Unknown;
  const auto ours = integrityOfProcess(GetCurrentProcess());
  if (!ours) return ForegroundLevel::Unknown;
  if (processId == GetCurrentProcessId()) return ForegroundLevel::NotHigher;
  const win32::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return ForegroundLevel::Unknown;
  const auto theirs = integrityOfProcess(process);
  if (!theirs) return ForegroundLevel::Unknown;
  return *theirs > *ours ? ForegroundLevel::Higher : ForegroundLevel::NotHigher;
}

}  // namespace sayvane
