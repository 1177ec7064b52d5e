// Serves one stand-in's named pipe on background threads and hands each line to the thread
// that created it, replying only once that thread's handler (and the events it raised) returned.
// Every client gets its own pipe instance, so a line sent while a handler is still running (the
// program waits inside an action, or shows a message box) is handled at once, inside that wait.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/Boundary.h"
#include "platform/win32/Owned.h"

namespace speechsim {

class PipeServer {
 public:
  // Runs on the creating thread, inside its message loop; returns the reply line.
  using Handler = std::function<std::string(const std::string& utf8Line)>;

  // Starts serving `pipeName`; when another process owns the name, logs it and serves nothing.
  PipeServer(const wchar_t* pipeName, Handler handler);

  // Reference counted, because the last owner may let go from inside the handler itself.
  void addRef() { ++references_; }
  void release();

 private:
  struct Request;
  ~PipeServer();
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void listen();
  // One client's lines, one after another, on a thread of its own.
  void serveConnection(sayvane::win32::UniqueFile pipe);
  void handle(Request& request);

  std::wstring name_;
  Handler handler_;
  long references_ = 1;  // touched on the creating thread only
  sayvane::win32::UniqueHandle stop_;  // set when the server ends
  sayvane::win32::UniqueWindow window_;
  std::mutex mutex_;
  std::vector<sayvane::win32::Thread> connections_;  // under mutex_
  sayvane::win32::Thread listener_;
};

}  // namespace speechsim
