// The DLL's COM entry points: class objects for the stand-ins, and their registration in the
// machine's classes (Wine reads no per-user classes).
#include <windows.h>

#include <string>
#include <vector>

#include "Character.h"
#include "Dispatch.h"
#include "Module.h"
#include "Recognizer.h"
#include "platform/win32/Boundary.h"
#include "platform/win32/Owned.h"

namespace speechsim {
namespace {

using sayvane::win32::comBoundary;

constexpr CLSID kSharedRecoContext = {0x47206204, 0x5ECA, 0x11D2, {0x96, 0x0F, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr CLSID kInprocRecognizer = {0x41B89B6B, 0x9399, 0x11D2, {0x96, 0x23, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr CLSID kAgent = {0xD45FD31B, 0x5C6E, 0x11D1, {0x9E, 0xC1, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x1F}};

using Create = HRESULT (*)(REFIID, void**);

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(Create create) : create_(create) { ++liveObjects; }
  ~ClassFactory() { --liveObjects; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return comBoundary([&] { return create_(iid, object); });
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    serverLocks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
  Create create_;
};

struct ClassEntry {
  const CLSID& clsid;
  const wchar_t* group;  // what DllInstall's command line names
  const wchar_t* family;  // a second name that takes in several groups, or null
  const wchar_t* description;
  const wchar_t* progId;           // versioned
  const wchar_t* independentProgId;
};

const ClassEntry kClasses[] = {
    {kSharedRecoContext, L"recognizer", L"recognizers", L"Sayvane speech stand-in: shared recognition context",
     L"SAPI.SpSharedRecoContext.1", L"SAPI.SpSharedRecoContext"},
    {kInprocRecognizer, L"inproc", L"recognizers", L"Sayvane speech stand-in: in-process recognizer",
     L"SAPI.SpInprocRecognizer.1", L"SAPI.SpInprocRecognizer"},
    {kAgent, L"character", nullptr, L"Sayvane character stand-in: character control", L"Agent.Control.2",
     L"Agent.Control"},
};

std::wstring clsidText(const CLSID& clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  return text;
}

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(thisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

LSTATUS setValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring getValue(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD size = sizeof buffer;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return {};
  return buffer;
}

bool samePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Another build of this DLL (another build folder): replacing it is what registering means.
bool isStandIn(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  return samePath(name, L"speechsim.dll");
}

sayvane::win32::UniqueKey classesRoot() {
  HKEY classes = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes,
                  nullptr);
  return sayvane::win32::UniqueKey(classes);
}

HRESULT registerClass(HKEY classes, const ClassEntry& entry, bool force) {
  const std::wstring clsid = clsidText(entry.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring path = modulePath();
  // A real server registered under the same class is never replaced unasked: on a Windows
  // with the real service, that would break it for every program.
  const std::wstring existing = getValue(classes, key + L"\\InprocServer32", nullptr);
  if (!force && !existing.empty() && !samePath(existing, path) && !isStandIn(existing) &&
      GetFileAttributesW(existing.c_str()) != INVALID_FILE_ATTRIBUTES)
    return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
  LSTATUS status = setValue(classes, key, nullptr, entry.description);
  if (status == ERROR_SUCCESS) status = setValue(classes, key + L"\\InprocServer32", nullptr, path);
  if (status == ERROR_SUCCESS) status = setValue(classes, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  if (status == ERROR_SUCCESS) status = setValue(classes, key + L"\\ProgID", nullptr, entry.progId);
  if (status == ERROR_SUCCESS)
    status = setValue(classes, key + L"\\VersionIndependentProgID", nullptr, entry.independentProgId);
  for (const wchar_t* progId : {entry.progId, entry.independentProgId}) {
    if (status == ERROR_SUCCESS) status = setValue(classes, progId, nullptr, entry.description);
    if (status == ERROR_SUCCESS) status = setValue(classes, std::wstring(progId) + L"\\CLSID", nullptr, clsid);
  }
  if (status == ERROR_SUCCESS)
    status = setValue(classes, std::wstring(entry.independentProgId) + L"\\CurVer", nullptr, entry.progId);
  return HRESULT_FROM_WIN32(status);
}

HRESULT unregisterClass(HKEY classes, const ClassEntry& entry) {
  const std::wstring clsid = clsidText(entry.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  // Only what this DLL registered: another server's registration stays as it is.
  const std::wstring existing = getValue(classes, key + L"\\InprocServer32", nullptr);
  if (existing.empty() || !samePath(existing, modulePath())) return S_OK;
  for (const wchar_t* progId : {entry.progId, entry.independentProgId})
    if (samePath(getValue(classes, std::wstring(progId) + L"\\CLSID", nullptr), clsid))
      RegDeleteTreeW(classes, progId);
  const LSTATUS status = RegDeleteTreeW(classes, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

bool sameWord(const std::wstring& word, const wchar_t* name) {
  return name && CompareStringOrdinal(word.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

bool inGroup(const ClassEntry& entry, const std::wstring& group) {
  return sameWord(group, L"all") || sameWord(group, entry.group) || sameWord(group, entry.family);
}

// "recognizer" (shared), "inproc", "recognizers" (both), "character" or "all", optionally
// followed by "force" (space or comma between).
HRESULT install(bool add, const wchar_t* commandLine) {
  std::wstring what = commandLine ? commandLine : L"all";
  for (auto& c : what)
    if (c == L',') c = L' ';
  std::vector<std::wstring> words;
  for (std::size_t begin = 0; begin < what.size();) {
    const auto end = std::min(what.find(L' ', begin), what.size());
    if (end > begin) words.push_back(what.substr(begin, end - begin));
    begin = end + 1;
  }
  bool force = false;
  std::wstring group = L"all";
  for (const auto& word : words) {
    if (sameWord(word, L"force")) {
      force = true;
    } else {
      group = word;
    }
  }
  bool known = false;
  for (const auto& entry : kClasses) known = known || inGroup(entry, group);
  if (!known) return E_INVALIDARG;

  const auto classes = classesRoot();
  if (!classes) return E_ACCESSDENIED;
  HRESULT result = S_OK;
  for (const auto& entry : kClasses) {
    if (!inGroup(entry, group)) continue;
    const HRESULT hr = add ? registerClass(classes, entry, force) : unregisterClass(classes, entry);
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  return result;
}

}  // namespace
}  // namespace speechsim

using namespace speechsim;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  // Nothing else here: the pipe threads are ended by their last owner, never under the loader lock.
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  Create create = nullptr;
  if (IsEqualCLSID(clsid, kSharedRecoContext)) create = &createRecoContext;
  if (IsEqualCLSID(clsid, kInprocRecognizer)) create = &createInprocRecognizer;
  if (IsEqualCLSID(clsid, kAgent)) create = &createAgentControl;
  if (!create) return CLASS_E_CLASSNOTAVAILABLE;
  return comBoundary([&] { return sayvane::win32::adopt(new ClassFactory(create))->QueryInterface(iid, object); });
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllInstall(BOOL add, LPCWSTR commandLine) {
  return comBoundary([&] { return install(add != FALSE, commandLine); });
}

extern "C" HRESULT WINAPI DllRegisterServer() { return DllInstall(TRUE, L"all"); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return DllInstall(FALSE, L"all"); }
