// The stand-ins' call log: one UTF-8 line per call received, stamped with the performance
// counter in microseconds, appended to the file named by SAYVANE_SIM_LOG.
#pragma once

#include <string>
#include <string_view>

namespace speechsim {

// Reads SAYVANE_SIM_LOG again and opens (or closes) the log to match; called whenever a context
// or control is created, so one process can move between logs.
void configureLog();
// Closes the log until the next configureLog.
void closeLog();

// Appends "<micros> <line>\n" with one write; nothing when there is no log.
void logLine(std::string_view line);

// The line's parts: a string in double quotes with CR and LF escaped, an HRESULT other than S_OK.
std::string quoted(std::wstring_view text);
std::string hresultText(long hr);  // "error 0x8XXXXXXX", or a success code as "0x0XXXXXXX"

}  // namespace speechsim
