#include "platform/win32/AgentCharacterControl.h"

#include <limits>

#include "text/Text.h"

namespace sayvane::win32 {
namespace {

// Not in mingw-w64's import libraries; agtctl.h declares the interfaces but no dispatch ids.
constexpr CLSID kAgentControl = {0xD45FD31B, 0x5C6E, 0x11D1, {0x9E, 0xC1, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x1F}};
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};

// The control's dispatch ids (its type library).
namespace control {
constexpr DISPID kCharacters = 3;
constexpr DISPID kConnected = 9;
}  // namespace control
namespace characters {
constexpr DISPID kItem = 0;
constexpr DISPID kLoad = 1;
}  // namespace characters
namespace character {
constexpr DISPID kHeight = 5;
constexpr DISPID kWidth = 6;
constexpr DISPID kSpeak = 15;
constexpr DISPID kMoveTo = 18;
constexpr DISPID kHide = 19;
constexpr DISPID kShow = 20;
constexpr DISPID kCommands = 25;
constexpr DISPID kLanguageId = 43;
}  // namespace character
namespace commands {
constexpr DISPID kAdd = 10;
constexpr DISPID kRemoveAll = 14;
}  // namespace commands
constexpr DISPID kCommandEvent = 17;

HRESULT createAgentControl(IDispatch** control) {
  // The name Visual Basic gives the control's type; the registered class where it resolves.
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"AgentObjectsCtl.Agent", &clsid))) clsid = kAgentControl;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(control));
}

bool fitsShort(int value) {
  return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// One loaded character. Optional arguments are left out of every call, so the control applies
// its own defaults.
class AgentCharacter final : public Character {
 public:
  explicit AgentCharacter(ComPtr<IDispatch> character) : character_(std::move(character)) {}

  bool speak(const std::u16string& text) override {
    return SUCCEEDED(invoke(character_.Get(), character::kSpeak, DISPATCH_METHOD, {Variant::string(text)}));
  }
  std::optional<int> width() override { return shortProperty(character::kWidth); }
  std::optional<int> height() override { return shortProperty(character::kHeight); }
  bool setWidth(int pixels) override { return putShort(character::kWidth, pixels); }
  bool setHeight(int pixels) override { return putShort(character::kHeight, pixels); }
  bool hide() override { return SUCCEEDED(invoke(character_.Get(), character::kHide, DISPATCH_METHOD)); }
  bool show() override { return SUCCEEDED(invoke(character_.Get(), character::kShow, DISPATCH_METHOD)); }
  bool moveTo(int x, int y) override {
    if (!fitsShort(x) || !fitsShort(y)) return false;
    return SUCCEEDED(invoke(character_.Get(), character::kMoveTo, DISPATCH_METHOD,
                            {Variant::i2(static_cast<std::int16_t>(x)), Variant::i2(static_cast<std::int16_t>(y))}));
  }
  bool setLanguageId(int languageId) override {
    return SUCCEEDED(putProperty(character_.Get(), character::kLanguageId, Variant::i4(languageId)));
  }
  bool addCommand(const std::u16string& name) override {
    const ComPtr<IDispatch> commands = dispatchResult(character_.Get(), character::kCommands, DISPATCH_PROPERTYGET);
    return SUCCEEDED(invoke(commands.Get(), commands::kAdd, DISPATCH_METHOD,
                            {Variant::string(name), Variant::string(name), Variant::string(name),
                             Variant::boolean(true), Variant::boolean(true)}));
  }
  bool removeAllCommands() override {
    const ComPtr<IDispatch> commands = dispatchResult(character_.Get(), character::kCommands, DISPATCH_PROPERTYGET);
    return SUCCEEDED(invoke(commands.Get(), commands::kRemoveAll, DISPATCH_METHOD));
  }

 private:
  std::optional<int> shortProperty(DISPID member) {
    Variant result;
    if (FAILED(invoke(character_.Get(), member, DISPATCH_PROPERTYGET, {}, &result))) return std::nullopt;
    const auto value = integerOf(result.get());
    if (!value || !fitsShort(*value)) return std::nullopt;
    return *value;
  }
  bool putShort(DISPID member, int pixels) {
    if (!fitsShort(pixels)) return false;
    return SUCCEEDED(putProperty(character_.Get(), member, Variant::i2(static_cast<std::int16_t>(pixels))));
  }

  ComPtr<IDispatch> character_;
};

}  // namespace

AgentCharacterControl::AgentCharacterControl(DiagnosticRecord& record) : AgentCharacterControl(createAgentControl, record) {}

AgentCharacterControl::AgentCharacterControl(ControlFactory createControl, DiagnosticRecord& record)
    : factory_(std::move(createControl)), record_(record) {}

AgentCharacterControl::~AgentCharacterControl() { release(); }

void AgentCharacterControl::release() {
  // Events stop first, so none reaches a half-released control; the character is the control's.
  events_.disconnect();
  character_.reset();
  control_.Reset();
}

void AgentCharacterControl::setCommandHandler(std::function<void(const std::u16string&)> command) {
  command_ = std::move(command);
}

Character* AgentCharacterControl::load(const std::u16string& id, const std::u16string& loadKey) {
  if (character_) return character_.get();
  release();
  const auto noted = [this](std::u16string_view step, HRESULT answer) {
    record_.note(concat({u"角色控件：", step, u" -> ", answerText(static_cast<std::uint32_t>(answer))}));
    return SUCCEEDED(answer);
  };
  if (!factory_ || !noted(u"创建", factory_(control_.GetAddressOf())) || !control_) {
    release();
    return nullptr;
  }
  // Not sited in a container, the control does nothing else until it is connected.
  ComPtr<IDispatch> character;
  if (noted(u"Connected = true", putProperty(control_.Get(), control::kConnected, Variant::boolean(true))) &&
      noted(u"Advise", events_.connect(control_.Get(), kAgentEvents, [this](DISPID member, DISPPARAMS& parameters) {
        return onEvent(member, parameters);
      }))) {
    const ComPtr<IDispatch> characters = dispatchResult(control_.Get(), control::kCharacters, DISPATCH_PROPERTYGET);
    if (noted(concat({u"Characters.Load(", id, u", ", loadKey, u")"}),
              invoke(characters.Get(), characters::kLoad, DISPATCH_METHOD, {Variant::string(id), Variant::string(loadKey)})))
      character = dispatchResult(characters.Get(), characters::kItem, DISPATCH_PROPERTYGET, {Variant::string(id)});
  }
  if (!character) {
    release();
    return nullptr;
  }
  character_ = std::make_unique<AgentCharacter>(std::move(character));
  return character_.get();
}

HRESULT AgentCharacterControl::onEvent(DISPID member, DISPPARAMS& parameters) {
  if (member != kCommandEvent || parameters.cArgs < 1 || !parameters.rgvarg) return S_OK;
  const ComPtr<IDispatch> input = dispatchOf(parameters.rgvarg[parameters.cArgs - 1]);
  if (!input) return S_OK;
  // The user-input object's ids are the compiler's, not part of its contract: asked by name.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Name")};
  DISPID nameId = DISPID_UNKNOWN;
  if (FAILED(input->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &nameId))) return S_OK;
  const auto name = stringResult(input.Get(), nameId, DISPATCH_PROPERTYGET);
  if (!name) return S_OK;
  auto handler = command_;  // a copy: the handler may replace or destroy ours
  if (handler) handler(*name);
  return S_OK;  // `this` may be gone now
}

}  // namespace sayvane::win32
