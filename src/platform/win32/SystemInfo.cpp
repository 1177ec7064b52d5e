#include "platform/win32/SystemInfo.h"

#include <windows.h>

#include <cstdio>

#include "text/Text.h"

namespace sayvane::win32 {

std::u16string describeSystem() {
  // GetVersionEx answers what the manifest declares, not what runs: the kernel's own call does not.
  RTL_OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  using GetVersion = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  if (const auto get = reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
    get(&version);
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  const char* machine = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64   ? "64 位"
                        : system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ? "ARM64"
                        : system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ? "32 位"
                                                                                         : "其他";
  char text[160];
  std::snprintf(text, sizeof text, "Windows %lu.%lu.%lu，%s系统，%s程序", version.dwMajorVersion,
                version.dwMinorVersion, version.dwBuildNumber, machine, sizeof(void*) == 8 ? "64 位" : "32 位");
  std::string described = text;
  using WineVersion = const char*(CDECL*)();
  if (const auto wine = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version"))))
    described += std::string("（Wine ") + wine() + "）";
  return fromUtf8(described);
}

std::string localTimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond, now.wMilliseconds);
  return text;
}

}  // namespace sayvane::win32
