#include "Character.h"

#include <algorithm>
#include <map>
#include <vector>

#include "Dispatch.h"
#include "Log.h"
#include "PipeServer.h"
#include "SpeechSimPipe.h"
#include "Text.h"
#include "platform/win32/Owned.h"

namespace speechsim {
namespace {

// DIID__AgentEvents from agtctl_i.c; the Command event's DISPID.
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};
constexpr DISPID kEventCommand = 17;

// The control's dispatch ids: its header declares none. The user input's are the compiler's own.
constexpr DISPID kAgentCharacters = 3, kAgentConnected = 9;
constexpr DISPID kCharactersItem = DISPID_VALUE, kCharactersLoad = 1;
constexpr DISPID kCharacterHeight = 5, kCharacterWidth = 6, kCharacterSpeak = 15, kCharacterMoveTo = 18,
                 kCharacterHide = 19, kCharacterShow = 20, kCharacterCommands = 25, kCharacterLanguageId = 43;
constexpr DISPID kCommandsAdd = 10, kCommandsRemoveAll = 14;
constexpr DISPID kUserInputCount = 0x60020000, kUserInputName = 0x60020001, kUserInputCharacterId = 0x60020002;

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
      : DispatchObject("UserInput", {{L"Count", kUserInputCount, false},
                                     {L"Name", kUserInputName, false},
                                     {L"CharacterID", kUserInputCharacterId, false}}),
        name_(std::move(name)),
        character_(std::move(character)) {}

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    if (call.id == kUserInputCount) return returnShort(call.result, 1);
    return returnString(call.result, call.id == kUserInputName ? name_ : character_);
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
  Commands() : DispatchObject("Commands", {{L"Add", kCommandsAdd, true}, {L"RemoveAll", kCommandsRemoveAll, true}}) {}

  bool has(const std::wstring& name) const { return std::find(names_.begin(), names_.end(), name) != names_.end(); }

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == kCommandsRemoveAll) {
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
    return returnObject(call.result, adopt(new Command));
  }

 private:
  std::vector<std::wstring> names_;
};

class Character final : public DispatchObject {
 public:
  explicit Character(std::wstring id)
      : DispatchObject("Character", {{L"Height", kCharacterHeight, false},
                                     {L"Width", kCharacterWidth, false},
                                     {L"Speak", kCharacterSpeak, true},
                                     {L"MoveTo", kCharacterMoveTo, true},
                                     {L"Hide", kCharacterHide, true},
                                     {L"Show", kCharacterShow, true},
                                     {L"Commands", kCharacterCommands, false},
                                     {L"LanguageID", kCharacterLanguageId, false}}),
        id_(std::move(id)),
        commands_(adopt(new Commands)) {}

  const std::wstring& id() const { return id_; }
  const Commands& commands() const { return *commands_.Get(); }

 protected:
  HRESULT invoke(Call& call) override {
    switch (call.id) {
      case kCharacterHeight: return size(call, height_);
      case kCharacterWidth: return size(call, width_);
      case kCharacterLanguageId:
        if (call.isPut()) return call.args.putLong(language_);
        return returnLong(call.result, language_);
      case kCharacterCommands:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        return returnObject(call.result, commands_);
      default: break;
    }
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == kCharacterMoveTo) {
      long x = 0;
      long y = 0;
      if (call.args.count() < 2 || call.args.count() > 3) return DISP_E_BADPARAMCOUNT;
      if (const HRESULT hr = call.args.getLong(0, x); FAILED(hr)) return hr;
      if (const HRESULT hr = call.args.getLong(1, y); FAILED(hr)) return hr;
      if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return DISP_E_OVERFLOW;
    } else if (call.args.count() > 2 || (call.id != kCharacterSpeak && call.args.count() > 1)) {
      return DISP_E_BADPARAMCOUNT;  // Speak(Text, Url), Hide(Fast), Show(Fast): all optional
    }
    return returnObject(call.result, adopt(new Request));
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
  ComPtr<Commands> commands_;
  short height_ = 128;
  short width_ = 128;
  long language_ = 0;
};

class Characters final : public DispatchObject {
 public:
  Characters() : DispatchObject("Characters", {{L"Item", kCharactersItem, false}, {L"Load", kCharactersLoad, true}}) {}

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
    if (call.id == kCharactersItem) {
      if (call.args.count() != 1) return DISP_E_BADPARAMCOUNT;
      if (const HRESULT hr = call.args.getString(0, id); FAILED(hr)) return hr;
      const auto found = loaded_.find(id);
      if (found == loaded_.end()) return E_INVALIDARG;
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
    loaded_[id] = adopt(new Character(id));
    return returnObject(call.result, adopt(new Request));
  }

 private:
  std::map<std::wstring, ComPtr<Character>> loaded_;
};

class AgentControl;
// Live controls and their pipe; plain pointers, nothing to run at DLL detach.
std::vector<AgentControl*>* controls = new std::vector<AgentControl*>;
PipeServer* pipe = nullptr;

class AgentControl final : public DispatchObject {
 public:
  AgentControl()
      : DispatchObject("Agent", {{L"Characters", kAgentCharacters, false}, {L"Connected", kAgentConnected, false}}),
        events_(*this, kAgentEvents),
        characters_(adopt(new Characters)) {
    controls->push_back(this);
    if (controls->size() == 1)
      pipe = new PipeServer(kCharacterPipe, [](const std::string& line) { return chooseMenuEntry(wide(line)); });
  }

  ~AgentControl() override {
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
    if (events_.source().sinks().empty()) return "ignored";
    std::vector<Variant> args;
    args.push_back(Variant::dispatch(adopt(new UserInput(name, character)).Get()));
    logLine("event Command(" + quoted(name) + ")");
    events_.source().raise(kEventCommand, args);
    return "command";
  }

 protected:
  void* extraInterface(REFIID iid) override {
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(&events_);
    return nullptr;
  }

  HRESULT invoke(Call& call) override {
    if (call.id == kAgentConnected) {
      if (call.isPut()) return call.args.putBool(connected_);
      return returnBool(call.result, connected_);
    }
    // A control nobody sited answers nothing until it is connected.
    if (!connected_) return E_UNEXPECTED;
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    return returnObject(call.result, characters_);
  }

 private:
  EventContainer events_;
  ComPtr<Characters> characters_;
  bool connected_ = false;
};

}  // namespace

HRESULT createAgentControl(REFIID iid, void** object) {
  configureLog();
  logLine("create Agent");
  return adopt(new AgentControl)->QueryInterface(iid, object);
}

std::string chooseMenuEntry(const std::wstring& name) {
  logLine("menu choice " + quoted(name) + " from pipe");
  const std::vector<ComPtr<AgentControl>> held(controls->begin(), controls->end());
  std::string reply = "not-in-menu";
  for (const auto& control : held) {
    const std::string answer = control->choose(name);
    if (answer == "command" || (answer == "ignored" && reply == "not-in-menu")) reply = answer;
    if (reply == "command") break;
  }
  if (reply != "command") logLine("menu choice " + quoted(name) + " " + reply);
  return reply;
}

}  // namespace speechsim
