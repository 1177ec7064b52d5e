// The recognizer stand-in's own small window: type a phrase, press Enter, and it is "heard"
// once the keyboard focus is back with the window the user was working in.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Recognizer.h"

namespace speechsim {

inline constexpr const wchar_t* kSimulatorWindowClass = L"SayvaneSpeechSimWindow";
inline constexpr int kSimulatorEdit = 100;
inline constexpr int kSimulatorSay = 101;
inline constexpr int kSimulatorStatus = 102;

class SimulatorWindow {
 public:
  using Hear = std::function<Outcome(const std::wstring& text)>;

  // Shown without taking the activation, topmost, in the bottom-left corner of the work area.
  static SimulatorWindow* create(Hear hear);
  // Ends with the last reference, its window with the next message it handles (or with the
  // process); the window holds one while it hands over a phrase.
  void release();

 private:
  explicit SimulatorWindow(Hear hear) : hear_(std::move(hear)) {}
  ~SimulatorWindow();
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool ours(HWND window) const;
  void notePrevious(HWND window);
  void say();
  // Gives the foreground back and waits (pumping) until it really is there.
  void handBackFocus();

  Hear hear_;
  long references_ = 1;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;
  WNDPROC editDefault_ = nullptr;
  HWND previous_ = nullptr;  // the foreground window before the simulator was activated
  bool saying_ = false;
};

}  // namespace speechsim
