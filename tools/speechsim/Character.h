// The character-control stand-in: the control, its characters and their command menus. It
// draws nothing; menu choices arrive through its pipe and become Command events.
#pragma once

#include <windows.h>

#include <string>

namespace speechsim {

// The class factory's work for CLSID_Agent.
HRESULT createAgentControl(REFIID iid, void** object);

// A menu choice by entry name: "command" once the Command event's handlers returned,
// "not-in-menu" when no character has that entry, "ignored" when nobody listens.
std::string chooseMenuEntry(const std::wstring& name);

}  // namespace speechsim
