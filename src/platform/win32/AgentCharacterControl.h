// The system's character control, created at run time without a container and driven through
// its automation interface; menu choices arrive as its Command events on this (the UI) thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Character.h"
#include "platform/DiagnosticRecord.h"
#include "platform/win32/Automation.h"

namespace sayvane::win32 {

class AgentCharacterControl final : public CharacterControl {
 public:
  // Creates the control's automation object into `*control`.
  using ControlFactory = std::function<HRESULT(IDispatch** control)>;

  // The system's control, in process (COM must be initialised on this thread). Each step of a
  // load goes to `record` with its answer.
  explicit AgentCharacterControl(DiagnosticRecord& record = noRecord());
  explicit AgentCharacterControl(ControlFactory createControl, DiagnosticRecord& record = noRecord());
  ~AgentCharacterControl() override;

  // Gets the name of each command chosen from the character's menu. It may pump messages,
  // destroy this control or end the program.
  void setCommandHandler(std::function<void(const std::u16string& name)> command);

  // A second call returns the character already loaded.
  [[nodiscard]] Character* load(const std::u16string& id, const std::u16string& loadKey) override;
  // Lets the control go now, and the character leaves the screen with it; no event comes after.
  void release();

 private:
  HRESULT onEvent(DISPID member, DISPPARAMS& parameters);

  ControlFactory factory_;
  DiagnosticRecord& record_;
  ComPtr<IDispatch> control_;
  EventConnection events_;
  std::unique_ptr<Character> character_;
  std::function<void(const std::u16string&)> command_;
};

}  // namespace sayvane::win32
