#include "PipeServer.h"

#include "Log.h"
#include "Module.h"
#include "Text.h"

namespace speechsim {
namespace {

constexpr UINT kLineArrived = WM_APP + 1;

// Waits for an overlapped operation or the stop event; false when stopped or failed.
bool complete(HANDLE pipe, OVERLAPPED& overlapped, BOOL started, HANDLE stop, DWORD& moved) {
  moved = 0;
  if (!started) {
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) return true;
    if (error != ERROR_IO_PENDING) return false;
  }
  const HANDLE handles[] = {overlapped.hEvent, stop};
  if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) {
    CancelIo(pipe);
    GetOverlappedResult(pipe, &overlapped, &moved, TRUE);
    return false;
  }
  return GetOverlappedResult(pipe, &overlapped, &moved, FALSE) != FALSE;
}

}  // namespace

PipeServer::PipeServer(const wchar_t* pipeName, Handler handler) : name_(pipeName), handler_(std::move(handler)) {
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.lpfnWndProc = &PipeServer::windowProcedure;
    description.hInstance = thisModule();
    description.lpszClassName = L"SayvaneSpeechSimPipe";
    return RegisterClassExW(&description);
  }();
  // A message-only window of the creating thread: the pipe thread posts to it, so the lines are
  // handled inside whatever loop that thread runs (its own, a modal one, a pumping wait).
  window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            thisModule(), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, &PipeServer::threadMain, this, 0, nullptr);
}

PipeServer::~PipeServer() {
  SetEvent(stop_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (window_) DestroyWindow(window_);
  CloseHandle(stop_);
  CloseHandle(done_);
}

void PipeServer::release() {
  if (--references_ == 0) delete this;
}

DWORD WINAPI PipeServer::threadMain(void* self) {
  static_cast<PipeServer*>(self)->serve();
  return 0;
}

void PipeServer::serve() {
  // One instance, and the first: a second process with a stand-in finds the name taken.
  HANDLE pipe = CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) {
    logLine("pipe " + quoted(name_) + " not served: " + hresultText(HRESULT_FROM_WIN32(GetLastError())));
    return;
  }
  HANDLE ioEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD moved = 0;
    if (!complete(pipe, overlapped, ConnectNamedPipe(pipe, &overlapped), stop_, moved)) {
      if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) break;
      DisconnectNamedPipe(pipe);
      continue;
    }
    const bool goOn = serveConnection(pipe, ioEvent);
    FlushFileBuffers(pipe);
    DisconnectNamedPipe(pipe);
    if (!goOn && WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) break;
  }
  CloseHandle(ioEvent);
  CloseHandle(pipe);
}

bool PipeServer::serveConnection(HANDLE pipe, HANDLE ioEvent) {
  std::string pending;
  for (;;) {
    std::size_t end;
    while ((end = pending.find('\n')) == std::string::npos) {
      char buffer[1024];
      OVERLAPPED overlapped{};
      overlapped.hEvent = ioEvent;
      ResetEvent(ioEvent);
      DWORD moved = 0;
      if (!complete(pipe, overlapped, ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped), stop_, moved) ||
          moved == 0)
        return false;
      pending.append(buffer, moved);
    }
    std::string line = pending.substr(0, end);
    pending.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();

    {
      std::lock_guard lock(mutex_);
      line_ = std::move(line);
      reply_.clear();
    }
    ResetEvent(done_);
    if (!PostMessageW(window_, kLineArrived, 0, 0)) return false;
    const HANDLE handles[] = {done_, stop_};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
    std::string reply;
    {
      std::lock_guard lock(mutex_);
      reply = reply_ + "\n";
    }
    // The reply is written even when the server is stopping meanwhile (a "quit" phrase ends the
    // program from inside its handler): the client is owed its line. Bounded, never a hang.
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD moved = 0;
    if (!WriteFile(pipe, reply.data(), static_cast<DWORD>(reply.size()), nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
      return false;
    if (WaitForSingleObject(ioEvent, 2000) != WAIT_OBJECT_0) {
      CancelIo(pipe);
      GetOverlappedResult(pipe, &overlapped, &moved, TRUE);
      return false;
    }
    if (!GetOverlappedResult(pipe, &overlapped, &moved, FALSE)) return false;
    if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return false;
  }
}

void PipeServer::handlePending() {
  std::string line;
  {
    std::lock_guard lock(mutex_);
    line = line_;
  }
  // The handler may release the last owner: this reference keeps the server until the end.
  addRef();
  std::string reply = handler_(line);
  {
    std::lock_guard lock(mutex_);
    reply_ = std::move(reply);
  }
  SetEvent(done_);
  release();
}

LRESULT CALLBACK PipeServer::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kLineArrived) {
    auto* self = reinterpret_cast<PipeServer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) self->handlePending();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace speechsim
