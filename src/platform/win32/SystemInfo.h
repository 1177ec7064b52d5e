// What the diagnostic record says of the system it runs on, and the time stamp of its lines.
#pragma once

#include <string>

namespace sayvane::win32 {

// "Windows 10.0.19045，64 位系统，64 位程序", with Wine's version where Wine runs it.
std::u16string describeSystem();
// The local time to the millisecond: "2026-12-08 09:30:01.250".
std::string localTimeStamp();

}  // namespace sayvane::win32
