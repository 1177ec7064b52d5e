#include "PipeServer.h"

#include "Log.h"
#include "Module.h"
#include "Text.h"

namespace speechsim {
namespace {

using sayvane::win32::Thread;
using sayvane::win32::UniqueFile;
using sayvane::win32::UniqueHandle;
using sayvane::win32::UniqueWindow;

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

struct PipeServer::Request {
  std::string line;
  std::string reply;
  UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // set once `reply` is ready
};

PipeServer::PipeServer(const wchar_t* pipeName, Handler handler) : name_(pipeName), handler_(std::move(handler)) {
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.lpfnWndProc = &PipeServer::windowProcedure;
    description.hInstance = thisModule();
    description.lpszClassName = L"SayvaneSpeechSimPipe";
    return RegisterClassExW(&description);
  }();
  // A message-only window of the creating thread: the pipe threads post to it, so the lines are
  // handled inside whatever loop that thread runs (its own, a modal one, a pumping wait).
  window_ = UniqueWindow(CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         thisModule(), nullptr));
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  listener_ = Thread([this] { listen(); });
}

PipeServer::~PipeServer() {
  SetEvent(stop_);
  listener_.join();
  // No new connection comes once the listener has ended; each is waited for as it goes.
  connections_.clear();
  MSG message;
  while (window_ && PeekMessageW(&message, window_, kLineArrived, kLineArrived, PM_REMOVE))
    delete reinterpret_cast<std::shared_ptr<Request>*>(message.lParam);
}

void PipeServer::release() {
  if (--references_ == 0) delete this;
}

void PipeServer::listen() {
  // The first instance claims the name: a second process with a stand-in finds it taken. One
  // instance always waits for the next client while the others serve theirs.
  DWORD first = FILE_FLAG_FIRST_PIPE_INSTANCE;
  const UniqueHandle ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
    UniqueFile pipe(CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | first,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 4096,
                                     4096, 0, nullptr));
    if (!pipe) {
      const HRESULT error = HRESULT_FROM_WIN32(GetLastError());
      if (first) {
        logLine("pipe " + quoted(name_) + " not served: " + hresultText(error));
        break;
      }
      WaitForSingleObject(stop_, 100);
      continue;
    }
    first = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD moved = 0;
    if (!complete(pipe, overlapped, ConnectNamedPipe(pipe, &overlapped), stop_, moved)) continue;
    // Shared only to pass through the thread's copyable body; not started, it closes with it.
    Thread connection([this, connected = std::make_shared<UniqueFile>(std::move(pipe))] {
      serveConnection(std::move(*connected));
    });
    if (!connection) continue;
    std::lock_guard lock(mutex_);
    std::erase_if(connections_, [](const Thread& thread) { return thread.ended(); });
    connections_.push_back(std::move(connection));
  }
}

void PipeServer::serveConnection(UniqueFile pipe) {
  const UniqueHandle ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::string pending;
  for (bool goOn = true; goOn;) {
    std::size_t end;
    while (goOn && (end = pending.find('\n')) == std::string::npos) {
      char buffer[1024];
      OVERLAPPED overlapped{};
      overlapped.hEvent = ioEvent;
      ResetEvent(ioEvent);
      DWORD moved = 0;
      goOn = complete(pipe, overlapped, ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped), stop_, moved) &&
             moved > 0;
      pending.append(buffer, moved);
    }
    if (!goOn) break;
    auto request = std::make_shared<Request>();
    request->line = pending.substr(0, end);
    pending.erase(0, end + 1);
    if (!request->line.empty() && request->line.back() == '\r') request->line.pop_back();

    auto* posted = new std::shared_ptr<Request>(request);
    if (!PostMessageW(window_, kLineArrived, 0, reinterpret_cast<LPARAM>(posted))) {
      delete posted;
      break;
    }
    const HANDLE handles[] = {request->done, stop_};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) break;
    const std::string reply = request->reply + "\n";
    // The reply is written even when the server is stopping meanwhile (a "quit" phrase ends the
    // program from inside its handler): the client is owed its line. Bounded, never a hang; a
    // client that sent without waiting is gone by now, and the write fails.
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioEvent;
    ResetEvent(ioEvent);
    DWORD moved = 0;
    if (!WriteFile(pipe, reply.data(), static_cast<DWORD>(reply.size()), nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING)
      break;
    if (WaitForSingleObject(ioEvent, 2000) != WAIT_OBJECT_0) {
      CancelIo(pipe);
      GetOverlappedResult(pipe, &overlapped, &moved, TRUE);
      break;
    }
    goOn = GetOverlappedResult(pipe, &overlapped, &moved, FALSE) && WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0;
  }
  FlushFileBuffers(pipe);
  DisconnectNamedPipe(pipe);
}

void PipeServer::handle(Request& request) {
  // The handler may release the last owner: this reference keeps the server until the end.
  // However the handler ends, the client is answered (an empty line when it failed).
  addRef();
  const auto answered = [this, &request](void*) {
    SetEvent(request.done);
    release();
  };
  const std::unique_ptr<void, decltype(answered)> held(this, answered);
  request.reply = handler_(request.line);
}

LRESULT CALLBACK PipeServer::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return sayvane::win32::windowBoundary(window, message, wParam, lParam, [&]() -> LRESULT {
    if (message != kLineArrived) return DefWindowProcW(window, message, wParam, lParam);
    const std::unique_ptr<std::shared_ptr<Request>> request(reinterpret_cast<std::shared_ptr<Request>*>(lParam));
    if (auto* self = reinterpret_cast<PipeServer*>(GetWindowLongPtrW(window, GWLP_USERDATA))) self->handle(**request);
    return 0;
  });
}

}  // namespace speechsim
