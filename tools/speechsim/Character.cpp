#include "Character.h"

#include <algorithm>
#include <map>
#include <vector>

#include "Dispatch.h"
#include "Log.h"
#include "PipeServer.h"
#include "SpeechSimPipe.h"
#include "Text.h"

namespace speechsim {
namespace {

// DIID__AgentEvents from agtctl_i.c; the Command event's DISPID.
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};
constexpr DISPID kEventCommand = 17;

// What a request-returning method hands back; the program never looks inside.
class Request final : public DispatchObject {
 public:
  Request() : DispatchObject("Request", {}) {}

 protected:
  HRESULT invoke(Call&) override { return DISP_E_MEMBERNOTFOUND; }
};

class UserInput final : public DispatchObject {
 public:
  UserInput(std::wstring name, std::wstring character)
      : DispatchObject("UserInput", {{L"Count", 0x60020000, false},
                                     {L"Name", 0x60020001, false},
                                     {L"CharacterID", 0x60020002, false}}),
        name_(std::move(name)),
        character_(std::move(character)) {}

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    if (call.id == 0x60020000) return returnShort(call.result, 1);
    return returnString(call.result, call.id == 0x60020001 ? name_ : character_);
  }

 private:
  std::wstring name_;
  std::wstring character_;
};

class Command final : public DispatchObject {
 public:
  Command() : DispatchObject("Command", {}) {}

 protected:
  HRESULT invoke(Call&) override { return DISP_E_MEMBERNOTFOUND; }
};

class Commands final : public DispatchObject {
 public:
  Commands() : DispatchObject("Commands", {{L"Add", 10, true}, {L"RemoveAll", 14, true}}) {}

  bool has(const std::wstring& name) const { return std::find(names_.begin(), names_.end(), name) != names_.end(); }

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == 14) {
      if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
      names_.clear();
      return S_OK;
    }
    std::wstring name;
    if (call.args.count() < 1 || call.args.count() > 5) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = call.args.getString(0, name); FAILED(hr)) return hr;
    // Caption, voice, enabled, visible: only shown in a menu this stand-in does not draw.
    std::wstring text;
    for (unsigned i = 1; i < 3; ++i)
      if (const HRESULT hr = call.args.optString(i, text); FAILED(hr)) return hr;
    bool flag = true;
    for (unsigned i = 3; i < 5; ++i)
      if (const HRESULT hr = call.args.optBool(i, flag, true); FAILED(hr)) return hr;
    if (!has(name)) names_.push_back(name);
    return returnObject(call.result, new Command);
  }

 private:
  std::vector<std::wstring> names_;
};

class Character final : public DispatchObject {
 public:
  explicit Character(std::wstring id)
      : DispatchObject("Character", {{L"Height", 5, false},
                                     {L"Width", 6, false},
                                     {L"Speak", 15, true},
                                     {L"MoveTo", 18, true},
                                     {L"Hide", 19, true},
                                     {L"Show", 20, true},
                                     {L"Commands", 25, false},
                                     {L"LanguageID", 43, false}}),
        id_(std::move(id)),
        commands_(new Commands) {}
  ~Character() override { commands_->Release(); }

  const std::wstring& id() const { return id_; }
  const Commands& commands() const { return *commands_; }

 protected:
  HRESULT invoke(Call& call) override {
    switch (call.id) {
      case 5: return size(call, height_);
      case 6: return size(call, width_);
      case 43:
        if (call.isPut()) return call.args.putLong(language_);
        return returnLong(call.result, language_);
      case 25:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        commands_->AddRef();
        return returnObject(call.result, commands_);
      default: break;
    }
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == 18) {
      long x = 0;
      long y = 0;
      if (call.args.count() < 2 || call.args.count() > 3) return DISP_E_BADPARAMCOUNT;
      if (const HRESULT hr = call.args.getLong(0, x); FAILED(hr)) return hr;
      if (const HRESULT hr = call.args.getLong(1, y); FAILED(hr)) return hr;
      if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return DISP_E_OVERFLOW;
    } else if (call.args.count() > 2 || (call.id != 15 && call.args.count() > 1)) {
      return DISP_E_BADPARAMCOUNT;  // Speak(Text, Url), Hide(Fast), Show(Fast): all optional
    }
    return returnObject(call.result, new Request);
  }

 private:
  HRESULT size(Call& call, short& value) {
    if (!call.isPut()) return returnShort(call.result, value);
    long given = 0;
    if (const HRESULT hr = call.args.putLong(given); FAILED(hr)) return hr;
    if (given < -32768 || given > 32767) return DISP_E_OVERFLOW;
    value = static_cast<short>(given);
    return S_OK;
  }

  std::wstring id_;
  Commands* commands_;
  short height_ = 128;
  short width_ = 128;
  long language_ = 0;
};

class Characters final : public DispatchObject {
 public:
  Characters() : DispatchObject("Characters", {{L"Item", DISPID_VALUE, false}, {L"Load", 1, true}}) {}
  ~Characters() override {
    for (auto& loaded : loaded_) loaded.second->Release();
  }

  bool hasCommand(const std::wstring& name, std::wstring& character) const {
    for (const auto& loaded : loaded_) {
      if (!loaded.second->commands().has(name)) continue;
      character = loaded.first;
      return true;
    }
    return false;
  }

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    std::wstring id;
    if (call.id == DISPID_VALUE) {
      if (call.args.count() != 1) return DISP_E_BADPARAMCOUNT;
      if (const HRESULT hr = call.args.getString(0, id); FAILED(hr)) return hr;
      const auto found = loaded_.find(id);
      if (found == loaded_.end()) return E_INVALIDARG;
      found->second->AddRef();
      return returnObject(call.result, found->second);
    }
    std::wstring key;
    if (call.args.count() < 1 || call.args.count() > 2) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = call.args.getString(0, id); FAILED(hr)) return hr;
    if (!call.args.present(1)) return DISP_E_PARAMNOTFOUND;
    if (const HRESULT hr = call.args.getString(1, key); FAILED(hr)) return hr;
    // The character file must exist, as for the real control; either slash separates folders.
    const DWORD attributes = GetFileAttributesW(key.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (const auto old = loaded_.find(id); old != loaded_.end()) {
      old->second->Release();
      loaded_.erase(old);
    }
    loaded_.emplace(id, new Character(id));
    return returnObject(call.result, new Request);
  }

 private:
  std::map<std::wstring, Character*> loaded_;
};

class AgentControl;
// Live controls and their pipe; plain pointers, nothing to run at DLL detach.
std::vector<AgentControl*>* controls = new std::vector<AgentControl*>;
PipeServer* pipe = nullptr;

class AgentControl final : public DispatchObject {
 public:
  AgentControl()
      : DispatchObject("Agent", {{L"Characters", 3, false}, {L"Connected", 9, false}}),
        events_(*this, kAgentEvents),
        characters_(new Characters) {
    controls->push_back(this);
    if (controls->size() == 1)
      pipe = new PipeServer(kCharacterPipe, [](const std::string& line) { return chooseMenuEntry(wide(line)); });
  }

  ~AgentControl() override {
    characters_->Release();
    controls->erase(std::find(controls->begin(), controls->end(), this));
    if (controls->empty()) {
      if (pipe) pipe->release();
      pipe = nullptr;
    }
  }

  // "command", "ignored" (the entry exists, nobody listens) or "not-in-menu".
  std::string choose(const std::wstring& name) {
    std::wstring character;
    if (!characters_->hasCommand(name, character)) return "not-in-menu";
    if (!events_.source().hasSinks()) return "ignored";
    std::vector<VARIANT> args(1);
    VariantInit(&args[0]);
    args[0].vt = VT_DISPATCH;
    args[0].pdispVal = new UserInput(name, character);
    logLine("event Command(" + quoted(name) + ")");
    events_.source().raise(kEventCommand, args);
    VariantClear(&args[0]);
    return "command";
  }

 protected:
  void* extraInterface(REFIID iid) override {
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(&events_);
    return nullptr;
  }

  HRESULT invoke(Call& call) override {
    if (call.id == 9) {
      if (call.isPut()) return call.args.putBool(connected_);
      return returnBool(call.result, connected_);
    }
    // A control nobody sited answers nothing until it is connected.
    if (!connected_) return E_UNEXPECTED;
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    characters_->AddRef();
    return returnObject(call.result, characters_);
  }

 private:
  EventContainer events_;
  Characters* characters_;
  bool connected_ = false;
};

}  // namespace

HRESULT createAgentControl(REFIID iid, void** object) {
  configureLog();
  logLine("create Agent");
  auto* control = new AgentControl;
  const HRESULT hr = control->QueryInterface(iid, object);
  control->Release();
  return hr;
}

std::string chooseMenuEntry(const std::wstring& name) {
  logLine("menu choice " + quoted(name) + " from pipe");
  std::vector<AgentControl*> held(*controls);
  for (AgentControl* control : held) control->AddRef();
  std::string reply = "not-in-menu";
  for (AgentControl* control : held) {
    const std::string answer = control->choose(name);
    if (answer == "command" || (answer == "ignored" && reply == "not-in-menu")) reply = answer;
    if (reply == "command") break;
  }
  if (reply != "command") logLine("menu choice " + quoted(name) + " " + reply);
  for (AgentControl* control : held) control->Release();
  return reply;
}

}  // namespace speechsim
