// The automation plumbing every stand-in object shares: reference counting, IDispatch over a
// member table, the arguments as automation callers send them, the call log, and events.
#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <oleauto.h>
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/Owned.h"

namespace speechsim {

using sayvane::win32::adopt;
using sayvane::win32::ComPtr;
using sayvane::win32::Variant;

// Objects alive and IClassFactory::LockServer locks, for DllCanUnloadNow.
extern std::atomic<long> liveObjects;
extern std::atomic<long> serverLocks;

// "42", "\"text\"", "true", "missing", "object", ...: an argument or a result as the log writes it.
std::string describe(const VARIANT& value);

// The positional arguments of one Invoke in call order (rgvarg reversed), and the value of a put.
class Args {
 public:
  explicit Args(const DISPPARAMS* params);
  unsigned count() const { return positional_; }
  // Given, and not VT_ERROR/DISP_E_PARAMNOTFOUND (how omitted optional arguments also arrive).
  bool present(unsigned index) const;
  // Converted to the type, by value or by reference; the failing argument is remembered.
  HRESULT getLong(unsigned index, long& out) const;
  HRESULT getString(unsigned index, std::wstring& out) const;
  HRESULT getBool(unsigned index, bool& out) const;
  // The same for optional arguments: `fallback` when left out.
  HRESULT optLong(unsigned index, long& out, long fallback) const;
  HRESULT optString(unsigned index, std::wstring& out, const std::wstring& fallback = {}) const;
  HRESULT optBool(unsigned index, bool& out, bool fallback) const;
  // The argument itself, references followed; null when not given.
  const VARIANT* at(unsigned index) const;
  // The value of a property put (the named argument DISPID_PROPERTYPUT).
  const VARIANT* putValue() const;
  HRESULT putLong(long& out) const;
  HRESULT putBool(bool& out) const;
  // "a, b, missing": every given argument as the log writes it.
  std::string list() const;
  UINT failedArgument() const { return failed_; }

 private:
  HRESULT convert(const VARIANT* value, VARTYPE type, Variant& out, UINT rgIndex) const;
  const DISPPARAMS* params_;
  unsigned positional_ = 0;
  mutable UINT failed_ = 0;
};

struct Member {
  const wchar_t* name;
  DISPID id;
  bool method;  // logged with parentheses even without arguments
};

// One call as the object's handler sees it.
struct Call {
  DISPID id;
  WORD flags;
  const Args& args;
  VARIANT& result;
  EXCEPINFO* exception;  // for a failure told as automation servers tell it; may be null
  std::string logged;  // what the log shows as the result instead of the value ("-> 2")
  bool isPut() const { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
  bool isGet() const { return (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0; }
};

// Result helpers for handlers. An object goes out with a reference of its own: a new one is
// adopted first (adopt(new ...)), so a plain pointer, whose reference nobody owns, is refused.
HRESULT returnObject(VARIANT& result, ComPtr<IDispatch> object);
HRESULT returnObject(VARIANT& result, IDispatch* object) = delete;
HRESULT returnString(VARIANT& result, std::wstring_view text);
HRESULT returnLong(VARIANT& result, long value);
HRESULT returnShort(VARIANT& result, short value);
HRESULT returnBool(VARIANT& result, bool value);

class DispatchObject : public IDispatch {
 public:
  DispatchObject(const char* logName, std::initializer_list<Member> members);
  virtual ~DispatchObject();
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  const char* logName() const { return logName_; }

 protected:
  // Handles one member of the table; DISP_E_MEMBERNOTFOUND for a flag it does not support.
  virtual HRESULT invoke(Call& call) = 0;
  // Further interfaces (IConnectionPointContainer); null when not supported.
  virtual void* extraInterface(REFIID) { return nullptr; }
  // Members beyond the table it still answers (a recording fake answers every one).
  virtual bool answers(DISPID) const { return false; }
  void addMember(Member member) { members_.push_back(member); }

 private:
  HRESULT idsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const;
  HRESULT invokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT& out, EXCEPINFO* exception,
                       UINT* argumentError);
  std::atomic<ULONG> references_{1};
  const char* logName_;
  std::vector<Member> members_;
};

// One outgoing event interface of an object: Advise, Unadvise and raising to every sink.
// Embedded in its owner, whose reference count it shares.
class EventSource final : public IConnectionPoint {
 public:
  EventSource(DispatchObject& owner, IConnectionPointContainer& container, const IID& events);

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

  const std::vector<std::pair<DWORD, ComPtr<IDispatch>>>& sinks() const { return sinks_; }
  // Calls every sink's Invoke in turn, on this thread, and returns when the last has returned.
  void raise(DISPID id, std::vector<Variant>& reversedArgs);

 private:
  DispatchObject& owner_;
  IConnectionPointContainer& container_;
  IID events_;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
  DWORD nextCookie_ = 1;
};

// The container side: the one event interface of its owner.
class EventContainer final : public IConnectionPointContainer {
 public:
  EventContainer(DispatchObject& owner, const IID& events) : owner_(owner), source_(owner, *this, events) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return owner_.QueryInterface(iid, object); }
  STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  EventSource& source() { return source_; }

 private:
  DispatchObject& owner_;
  EventSource source_;
};

}  // namespace speechsim
