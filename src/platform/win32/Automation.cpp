#include "platform/win32/Automation.h"

#include <climits>
#include <vector>

#include "platform/win32/Boundary.h"

namespace sayvane::win32 {

namespace {

// The VARIANT a by-reference VARIANT points at; the value itself otherwise.
const VARIANT& unwrapped(const VARIANT& value) {
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal) return *value.pvarVal;
  return value;
}

}  // namespace

ComPtr<IDispatch> dispatchOf(const VARIANT& variant) {
  const VARIANT& value = unwrapped(variant);
  IUnknown* object = nullptr;
  switch (value.vt) {
    case VT_DISPATCH: object = value.pdispVal; break;
    case VT_DISPATCH | VT_BYREF: object = value.ppdispVal ? *value.ppdispVal : nullptr; break;
    case VT_UNKNOWN: object = value.punkVal; break;
    case VT_UNKNOWN | VT_BYREF: object = value.ppunkVal ? *value.ppunkVal : nullptr; break;
    default: break;
  }
  ComPtr<IDispatch> dispatch;
  if (object) object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf()));
  return dispatch;
}

std::optional<std::u16string> stringOf(const VARIANT& variant) {
  const VARIANT& value = unwrapped(variant);
  BSTR text = nullptr;
  if (value.vt == VT_BSTR) text = value.bstrVal;
  else if (value.vt == (VT_BSTR | VT_BYREF) && value.pbstrVal) text = *value.pbstrVal;
  else return std::nullopt;
  if (!text) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

std::optional<std::int32_t> integerOf(const VARIANT& variant) {
  const VARIANT& value = unwrapped(variant);
  const bool byReference = (value.vt & VT_BYREF) != 0;
  if (byReference && !value.byref) return std::nullopt;
  switch (value.vt & ~VT_BYREF) {
    case VT_I1: return byReference ? *value.pcVal : value.cVal;
    case VT_UI1: return byReference ? *value.pbVal : value.bVal;
    case VT_I2: return byReference ? *value.piVal : value.iVal;
    case VT_UI2: return byReference ? *value.puiVal : value.uiVal;
    case VT_I4: return byReference ? *value.plVal : value.lVal;
    case VT_INT: return byReference ? *value.pintVal : value.intVal;
    case VT_UI4: return static_cast<std::int32_t>(byReference ? *value.pulVal : value.ulVal);
    case VT_UINT: return static_cast<std::int32_t>(byReference ? *value.puintVal : value.uintVal);
    default: return std::nullopt;
  }
}

// --- Calls -----------------------------------------------------------------------------------

HRESULT invoke(IDispatch* object, DISPID member, WORD flags, std::initializer_list<Variant> arguments,
               Variant* result) {
  if (!object) return E_POINTER;
  // Invoke takes the last argument first. The copies are shallow: the caller's Variants keep
  // ownership and outlive the call, and [in] arguments are not changed by the callee.
  std::vector<VARIANTARG> reversed(arguments.size());
  std::size_t slot = arguments.size();
  for (const Variant& argument : arguments) reversed[--slot] = argument.get();

  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{};
  parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
  parameters.cArgs = static_cast<UINT>(reversed.size());
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argumentError = 0;
  HRESULT hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                              result ? result->out() : nullptr, &exception, &argumentError);
  if (hr == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  const Bstr texts[] = {Bstr::adopt(exception.bstrSource), Bstr::adopt(exception.bstrDescription),
                        Bstr::adopt(exception.bstrHelpFile)};
  if (hr == DISP_E_EXCEPTION) {
    if (FAILED(exception.scode)) hr = exception.scode;
    else if (exception.wCode != 0) hr = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, exception.wCode);
  }
  return hr;
}

ComPtr<IDispatch> dispatchResult(IDispatch* object, DISPID member, WORD flags,
                                 std::initializer_list<Variant> arguments) {
  Variant result;
  if (FAILED(invoke(object, member, flags, arguments, &result))) return nullptr;
  return dispatchOf(result.get());
}

std::optional<std::u16string> stringResult(IDispatch* object, DISPID member, WORD flags,
                                           std::initializer_list<Variant> arguments) {
  Variant result;
  if (FAILED(invoke(object, member, flags, arguments, &result))) return std::nullopt;
  return stringOf(result.get());
}

std::optional<std::int32_t> integerResult(IDispatch* object, DISPID member, WORD flags,
                                          std::initializer_list<Variant> arguments) {
  Variant result;
  if (FAILED(invoke(object, member, flags, arguments, &result))) return std::nullopt;
  return integerOf(result.get());
}

HRESULT putProperty(IDispatch* object, DISPID member, Variant value) {
  return invoke(object, member, DISPATCH_PROPERTYPUT, {std::move(value)});
}

// --- EventSink -------------------------------------------------------------------------------

ComPtr<EventSink> EventSink::create(const IID& events, Handler handler) {
  return adopt(new EventSink(events, std::move(handler)));
}

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE EventSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                            VARIANT* result, EXCEPINFO*, UINT*) {
  if (result) VariantInit(result);
  // The handler may pump messages (further events arrive nested), destroy the owner (which
  // unadvises and clears the handler) or end the program: this sink and the handler being run
  // are kept alive by their own references until it returns.
  ComPtr<EventSink> self(this);
  return comBoundary([&] {
    const Handler handler = handler_;
    if (!handler) return S_OK;
    DISPPARAMS none{};
    return handler(member, parameters ? *parameters : none);
  });
}

// --- EventConnection -------------------------------------------------------------------------

HRESULT EventConnection::connect(IUnknown* source, const IID& events, EventSink::Handler handler) {
  disconnect();
  if (!source) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(container.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(events, point.GetAddressOf());
  if (FAILED(hr)) return hr;
  if (!point) return E_POINTER;
  ComPtr<EventSink> sink = EventSink::create(events, std::move(handler));
  DWORD cookie = 0;
  hr = point->Advise(sink.Get(), &cookie);
  if (FAILED(hr)) {
    sink->clearHandler();
    return hr;
  }
  sink_ = std::move(sink);
  point_ = std::move(point);
  cookie_ = cookie;
  return S_OK;
}

void EventConnection::disconnect() {
  if (sink_) sink_->clearHandler();
  // Moved out first: Unadvise may call back into code that reaches this connection again.
  ComPtr<IConnectionPoint> point = std::move(point_);
  ComPtr<EventSink> sink = std::move(sink_);
  const DWORD cookie = cookie_;
  cookie_ = 0;
  if (point) point->Unadvise(cookie);
}

}  // namespace sayvane::win32
