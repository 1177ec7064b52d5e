// Serves one stand-in's named pipe on a background thread and hands each line to the thread
// that created it, replying only once that thread's handler (and the events it raised) returned.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

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
  ~PipeServer();
  static DWORD WINAPI threadMain(void* self);
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void serve();
  // False once stopping or when the client went away.
  bool serveConnection(HANDLE pipe, HANDLE ioEvent);
  void handlePending();

  std::wstring name_;
  Handler handler_;
  long references_ = 1;  // touched on the creating thread only
  HWND window_ = nullptr;
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;  // set when the server ends
  HANDLE done_ = nullptr;  // set by the creating thread when the reply is ready
  std::mutex mutex_;
  std::string line_;
  std::string reply_;
};

}  // namespace speechsim
