#include "Dispatch.h"

#include "Log.h"
#include "Text.h"
#include "platform/win32/Boundary.h"

namespace speechsim {

using sayvane::win32::comBoundary;

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

namespace {

constexpr LCID kInvariant = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

bool isMissing(const VARIANT& value) { return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND; }

// The argument with one level of reference removed, without copying strings.
const VARIANT* follow(const VARIANT* value) {
  if (value && value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) return value->pvarVal;
  return value;
}

}  // namespace

std::string describe(const VARIANT& given) {
  Variant copy;
  if (FAILED(VariantCopyInd(&copy.get(), const_cast<VARIANT*>(&given)))) return "?";
  VARIANT& value = copy.get();
  switch (value.vt) {
    case VT_EMPTY: return "empty";
    case VT_NULL: return "null";
    case VT_ERROR: return value.scode == DISP_E_PARAMNOTFOUND ? "missing" : hresultText(value.scode);
    case VT_BSTR: return quoted(view(value.bstrVal));
    case VT_BOOL: return value.boolVal ? "true" : "false";
    case VT_DISPATCH:
    case VT_UNKNOWN: return value.punkVal ? "object" : "nothing";
    default: {
      Variant text;
      return SUCCEEDED(VariantChangeTypeEx(&text.get(), &value, kInvariant, 0, VT_BSTR))
                 ? utf8(view(text.get().bstrVal))
                 : "vt " + std::to_string(value.vt);
    }
  }
}

Args::Args(const DISPPARAMS* params) : params_(params) {
  if (params && params->cArgs >= params->cNamedArgs) positional_ = params->cArgs - params->cNamedArgs;
}

const VARIANT* Args::at(unsigned index) const {
  if (index >= positional_) return nullptr;
  return follow(&params_->rgvarg[params_->cArgs - 1 - index]);
}

bool Args::present(unsigned index) const {
  const VARIANT* value = at(index);
  return value && !(isMissing(*value) || (value->vt == (VT_BYREF | VT_ERROR) && value->pscode &&
                                         *value->pscode == DISP_E_PARAMNOTFOUND));
}

HRESULT Args::convert(const VARIANT* value, VARTYPE type, Variant& out, UINT rgIndex) const {
  HRESULT hr = value ? VariantCopyInd(out.out(), const_cast<VARIANT*>(value)) : DISP_E_PARAMNOTFOUND;
  if (SUCCEEDED(hr)) hr = VariantChangeTypeEx(&out.get(), &out.get(), kInvariant, 0, type);
  if (FAILED(hr)) {
    failed_ = rgIndex;
    return value ? DISP_E_TYPEMISMATCH : DISP_E_PARAMNOTFOUND;
  }
  return S_OK;
}

HRESULT Args::getLong(unsigned index, long& out) const {
  Variant converted;
  const HRESULT hr = convert(at(index), VT_I4, converted, params_->cArgs - 1 - index);
  if (SUCCEEDED(hr)) out = converted.get().lVal;
  return hr;
}

HRESULT Args::getString(unsigned index, std::wstring& out) const {
  Variant converted;
  const HRESULT hr = convert(at(index), VT_BSTR, converted, params_->cArgs - 1 - index);
  if (SUCCEEDED(hr)) out = std::wstring(view(converted.get().bstrVal));
  return hr;
}

HRESULT Args::getBool(unsigned index, bool& out) const {
  Variant converted;
  const HRESULT hr = convert(at(index), VT_BOOL, converted, params_->cArgs - 1 - index);
  if (SUCCEEDED(hr)) out = converted.get().boolVal != VARIANT_FALSE;
  return hr;
}

HRESULT Args::optLong(unsigned index, long& out, long fallback) const {
  if (!present(index)) {
    out = fallback;
    return S_OK;
  }
  return getLong(index, out);
}

HRESULT Args::optString(unsigned index, std::wstring& out, const std::wstring& fallback) const {
  if (!present(index)) {
    out = fallback;
    return S_OK;
  }
  return getString(index, out);
}

HRESULT Args::optBool(unsigned index, bool& out, bool fallback) const {
  if (!present(index)) {
    out = fallback;
    return S_OK;
  }
  return getBool(index, out);
}

const VARIANT* Args::putValue() const {
  if (!params_) return nullptr;
  for (UINT i = 0; i < params_->cNamedArgs; ++i)
    if (params_->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) return follow(&params_->rgvarg[i]);
  return nullptr;
}

HRESULT Args::putLong(long& out) const {
  Variant converted;
  const HRESULT hr = convert(putValue(), VT_I4, converted, 0);
  if (SUCCEEDED(hr)) out = converted.get().lVal;
  return hr;
}

HRESULT Args::putBool(bool& out) const {
  Variant converted;
  const HRESULT hr = convert(putValue(), VT_BOOL, converted, 0);
  if (SUCCEEDED(hr)) out = converted.get().boolVal != VARIANT_FALSE;
  return hr;
}

std::string Args::list() const {
  std::string out;
  for (unsigned i = 0; i < positional_; ++i) {
    if (i) out += ", ";
    out += describe(*at(i));
  }
  return out;
}

HRESULT returnObject(VARIANT& result, ComPtr<IDispatch> object) {
  VariantClear(&result);
  result.vt = VT_DISPATCH;
  result.pdispVal = object.Detach();
  return S_OK;
}

HRESULT returnString(VARIANT& result, std::wstring_view text) {
  VariantClear(&result);
  result.vt = VT_BSTR;
  result.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return result.bstrVal || text.empty() ? S_OK : E_OUTOFMEMORY;
}

HRESULT returnLong(VARIANT& result, long value) {
  VariantClear(&result);
  result.vt = VT_I4;
  result.lVal = value;
  return S_OK;
}

HRESULT returnShort(VARIANT& result, short value) {
  VariantClear(&result);
  result.vt = VT_I2;
  result.iVal = value;
  return S_OK;
}

HRESULT returnBool(VARIANT& result, bool value) {
  VariantClear(&result);
  result.vt = VT_BOOL;
  result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

DispatchObject::DispatchObject(const char* logName, std::initializer_list<Member> members)
    : logName_(logName), members_(members) {
  ++liveObjects;
}

DispatchObject::~DispatchObject() {
  // With the last object the log is let go, so its folder can be removed.
  if (--liveObjects == 0) closeLog();
}

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  // IDispatch only: the dual interfaces' own vtables are not implemented, so their IIDs are refused.
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else {
    *object = extraInterface(iid);
  }
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  return comBoundary([&] { return idsOfNames(names, count, ids); });
}

HRESULT DispatchObject::idsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const {
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    // Argument names (i > 0) are not known: no type information behind these objects.
    if (i == 0) {
      for (const auto& member : members_)
        if (names[0] && CompareStringOrdinal(names[0], -1, member.name, -1, TRUE) == CSTR_EQUAL) ids[0] = member.id;
    }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  std::string line = std::string(logName_) + ".GetIDsOfNames(" + quoted(names[0] ? names[0] : L"") + ") -> ";
  line += SUCCEEDED(hr) ? std::to_string(ids[0]) : hresultText(hr);
  logLine(line);
  return hr;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* exception, UINT* argumentError) {
  if (exception) *exception = EXCEPINFO{};
  if (result) VariantInit(result);
  // Keeps this object alive through a handler that raises events into code that may release it.
  const ComPtr<DispatchObject> self(this);
  return comBoundary([&] {
    Variant local;
    return invokeMember(id, flags, params, result ? *result : local.get(), exception, argumentError);
  });
}

HRESULT DispatchObject::invokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT& out, EXCEPINFO* exception,
                                     UINT* argumentError) {
  DISPPARAMS none{};
  Args args(params ? params : &none);
  const Member* member = nullptr;
  for (const auto& candidate : members_)
    if (candidate.id == id) member = &candidate;

  Call call{id, flags, args, out, exception, {}};
  const HRESULT hr = member || answers(id) ? invoke(call) : DISP_E_MEMBERNOTFOUND;

  std::string line = logName_;
  line += '.';
  if (member) {
    line += utf8(member->name);
  } else {
    line += "dispid " + std::to_string(id);
  }
  // Appended piece by piece: "(" + text makes GCC 12 warn wrongly on i686 (-Wrestrict).
  if ((member && (member->method || args.count() > 0) && !call.isPut()) || (call.isPut() && args.count() > 0))
    line.append("(").append(args.list()).append(")");
  if (call.isPut()) {
    const VARIANT* value = args.putValue();
    line += " = " + (value ? describe(*value) : std::string("missing"));
  }
  line += " -> ";
  if (FAILED(hr)) {
    line += hresultText(hr);
    VariantClear(&out);
    if (argumentError && (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND))
      *argumentError = args.failedArgument();
  } else if (hr != S_OK) {
    line += hresultText(hr);  // a success code that is not S_OK tells something, as the real ones do
  } else if (!call.logged.empty()) {
    line += call.logged;
  } else if (out.vt == VT_EMPTY || out.vt == VT_DISPATCH || out.vt == VT_UNKNOWN) {
    line += "ok";
  } else {
    line += describe(out);
  }
  logLine(line);
  return hr;
}

EventSource::EventSource(DispatchObject& owner, IConnectionPointContainer& container, const IID& events)
    : owner_(owner), container_(container), events_(events) {}

STDMETHODIMP EventSource::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint)) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP EventSource::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = events_;
  return S_OK;
}

STDMETHODIMP EventSource::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP EventSource::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie) *cookie = 0;
  return comBoundary([&] {
    HRESULT hr = sink && cookie ? S_OK : E_POINTER;
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(hr) && FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.ReleaseAndGetAddressOf())))) {
      hr = CONNECT_E_CANNOTCONNECT;
    }
    if (SUCCEEDED(hr)) {
      sinks_.emplace_back(nextCookie_, std::move(dispatch));
      *cookie = nextCookie_++;
    }
    logLine(std::string(owner_.logName()) + ".Advise -> " + (SUCCEEDED(hr) ? "ok" : hresultText(hr)));
    return hr;
  });
}

STDMETHODIMP EventSource::Unadvise(DWORD cookie) {
  const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& sink) { return sink.first == cookie; });
  // Let go only once out of the list: the sink's end may call back into this source.
  const ComPtr<IDispatch> sink = found == sinks_.end() ? nullptr : std::move(found->second);
  if (found != sinks_.end()) sinks_.erase(found);
  return comBoundary([&] {
    const HRESULT hr = sink ? S_OK : CONNECT_E_NOCONNECTION;
    logLine(std::string(owner_.logName()) + ".Unadvise -> " + (SUCCEEDED(hr) ? "ok" : hresultText(hr)));
    return hr;
  });
}

STDMETHODIMP EventSource::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

void EventSource::raise(DISPID id, std::vector<Variant>& reversedArgs) {
  // A sink may unadvise (or release everything) from inside its handler: call a held copy.
  std::vector<ComPtr<IDispatch>> sinks;
  for (const auto& sink : sinks_) sinks.push_back(sink.second);
  const ComPtr<DispatchObject> owner(&owner_);
  // A Variant is laid out as the VARIANT it holds.
  DISPPARAMS params{reinterpret_cast<VARIANT*>(reversedArgs.data()), nullptr, static_cast<UINT>(reversedArgs.size()),
                    0};
  for (const auto& sink : sinks)
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

STDMETHODIMP EventContainer::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP EventContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  IID events;
  source_.GetConnectionInterface(&events);
  if (!IsEqualIID(iid, events)) return CONNECT_E_NOCONNECTION;
  *point = &source_;
  source_.AddRef();
  return S_OK;
}

}  // namespace speechsim
