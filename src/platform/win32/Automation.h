// A small toolkit for late-bound COM automation: IDispatch calls with arguments in the order a
// script would write them, and an event sink for one dispinterface.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "platform/win32/Owned.h"

namespace sayvane::win32 {

// What a VARIANT holds, looking through VT_BYREF (events may pass their arguments by reference).
ComPtr<IDispatch> dispatchOf(const VARIANT& value);
std::optional<std::u16string> stringOf(const VARIANT& value);
// Any integer type that fits 32 bits; unsigned 32-bit values keep their bits.
std::optional<std::int32_t> integerOf(const VARIANT& value);

// Calls `member` of `object`. `arguments` are in natural (left-to-right) order; a property put
// passes its one value as the named argument DISPID_PROPERTYPUT. On DISP_E_EXCEPTION the
// server's own error code is returned. `result` may be null when the result is not wanted.
HRESULT invoke(IDispatch* object, DISPID member, WORD flags, std::initializer_list<Variant> arguments = {},
               Variant* result = nullptr);

// The typed forms: nothing (or null) when the call fails or returns something else.
ComPtr<IDispatch> dispatchResult(IDispatch* object, DISPID member, WORD flags,
                                 std::initializer_list<Variant> arguments = {});
std::optional<std::u16string> stringResult(IDispatch* object, DISPID member, WORD flags,
                                           std::initializer_list<Variant> arguments = {});
std::optional<std::int32_t> integerResult(IDispatch* object, DISPID member, WORD flags,
                                          std::initializer_list<Variant> arguments = {});
HRESULT putProperty(IDispatch* object, DISPID member, Variant value);

// Receives the events of one dispinterface: each Invoke goes to the handler, which returns the
// HRESULT for the source. Advised through an EventConnection.
class EventSink final : public IDispatch {
 public:
  using Handler = std::function<HRESULT(DISPID member, DISPPARAMS& parameters)>;

  static ComPtr<EventSink> create(const IID& events, Handler handler);
  // Later events are answered S_OK and go nowhere.
  void clearHandler() { handler_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  EventSink(const IID& events, Handler handler) : events_(events), handler_(std::move(handler)) {}
  ~EventSink() = default;

  LONG references_ = 1;
  IID events_;
  Handler handler_;
};

// One sink advised on one source's connection point; unadvised when this goes.
class EventConnection {
 public:
  EventConnection() = default;
  ~EventConnection() { disconnect(); }
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

  // Advises a new sink for `events` on `source`; any earlier connection is dropped first.
  HRESULT connect(IUnknown* source, const IID& events, EventSink::Handler handler);
  // Stops the handler and unadvises; events already being handled finish safely.
  void disconnect();
  bool connected() const { return point_ != nullptr; }

 private:
  ComPtr<EventSink> sink_;
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace sayvane::win32
