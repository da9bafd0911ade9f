#include "gui/accessible_window.h"

#include <oleacc.h>

#include <new>
#include <string>

namespace vl {
namespace {

// The entry points of oleacc.dll, taken from the system folder once; the library stays
// loaded, since objects made by it may live on in a client's hands.
struct Oleacc {
  decltype(&::CreateStdAccessibleObject) createStd = nullptr;
  decltype(&::LresultFromObject) lresultFromObject = nullptr;
};

const Oleacc& OleaccEntries() {
  static const Oleacc entries = [] {
    Oleacc e;
    if (HMODULE dll = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
      e.createStd = reinterpret_cast<decltype(e.createStd)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "CreateStdAccessibleObject")));
      e.lresultFromObject = reinterpret_cast<decltype(e.lresultFromObject)>(
          reinterpret_cast<void*>(GetProcAddress(dll, "LresultFromObject")));
    }
    return e;
  }();
  return entries;
}

// The vtable half of the dual interface IAccessible, from the type library the platform
// registers with oleacc.dll; loaded at the first late-bound call and kept, as the library
// is. Null where there is none: IDispatch then answers that it is not implemented.
ITypeInfo* AccessibleTypeInfo() {
  static ITypeInfo* const info = []() -> ITypeInfo* {
    static const GUID kLibAccessibility = {0x1ea4dbf0, 0x3c3b, 0x11cf,
                                           {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    ITypeLib* lib = nullptr;
    if (FAILED(LoadRegTypeLib(kLibAccessibility, 1, 1, LOCALE_NEUTRAL, &lib)) || !lib) return nullptr;
    ITypeInfo* dispatch = nullptr;
    const HRESULT found = lib->GetTypeInfoOfGuid(__uuidof(IAccessible), &dispatch);
    lib->Release();
    if (FAILED(found) || !dispatch) return nullptr;
    // Invoke calls through the vtable's description; the dispatch one would call
    // IDispatch::Invoke again.
    HREFTYPE ref = 0;
    ITypeInfo* vtable = nullptr;
    if (FAILED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) ||
        FAILED(dispatch->GetRefTypeInfo(ref, &vtable)))
      vtable = nullptr;
    dispatch->Release();
    return vtable;
  }();
  return info;
}

// Whether the child a client names is the window itself, read as the system's own objects
// read it: a left-out argument (VT_EMPTY, or the VT_ERROR a script host passes for one) is
// the object itself, and a variant by reference stands for the one it refers to. Our
// windows have no children of their own, so any other child is not there.
bool IsSelf(const VARIANT& child) {
  const VARIANT* v = &child;
  if (v->vt == (VT_BYREF | VT_VARIANT)) {
    if (!v->pvarVal) return false;
    v = v->pvarVal;  // one level: a reference to a reference names nothing a client means
  }
  switch (v->vt) {
    case VT_EMPTY: return true;
    case VT_ERROR: return v->scode == DISP_E_PARAMNOTFOUND;
    case VT_I4: return v->lVal == CHILDID_SELF;
    default: return false;
  }
}

// COM interfaces have no virtual destructor: the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AccessibleWindow final : public IAccessible {
 public:
  // Takes the reference on `standard`.
  AccessibleWindow(HWND window, const AccessibleKind& kind, IAccessible* standard)
      : window_(window), kind_(kind), standard_(standard) {}
  ~AccessibleWindow() { standard_->Release(); }
  AccessibleWindow(const AccessibleWindow&) = delete;
  AccessibleWindow& operator=(const AccessibleWindow&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch, for the clients that bind late (script hosts): by the platform's type of
  // IAccessible, onto the methods below.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = AccessibleTypeInfo() ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!(*info = AccessibleTypeInfo())) return E_NOTIMPL;
    (*info)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = AccessibleTypeInfo();
    return info ? DispGetIDsOfNames(info, names, count, ids) : E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArg) override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = AccessibleTypeInfo();
    return info ? DispInvoke(static_cast<IAccessible*>(this), info, id, flags, params, result, exception, badArg)
                : E_NOTIMPL;
  }

  // What the window says it is.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    std::wstring text;
    SendMessageW(window_, AccessibleNameMessage(), 0, reinterpret_cast<LPARAM>(&text));
    *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);  // a caller frees what a failed call left: nothing
    if (!IsSelf(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = kind_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!kind_.defaultAction) return standard_->get_accDefaultAction(child, action);
    if (!action) return E_POINTER;
    *action = nullptr;
    if (!IsSelf(child)) return E_INVALIDARG;
    *action = SysAllocString(kind_.defaultAction);
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!kind_.defaultAction) return standard_->accDoDefaultAction(child);
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    // Only what the user could do now: a box modal to the program disables its windows
    // (the action, posted, would run in the box's loop, under the question), and a hidden
    // launcher opens nothing unseen.
    if (!IsWindowVisible(window_) || !IsWindowEnabled(GetAncestor(window_, GA_ROOT)) || !IsWindowEnabled(window_))
      return E_ACCESSDENIED;
    // Posted: the action may run messages, which a call from a client must not wait for.
    return PostMessageW(window_, kind_.actionMessage, 0, 0) ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  // Our windows draw an "&" of their text as it is: the access key the system's object
  // would read from it ("Alt+" and the next character) is not there.
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    if (!keys) return E_POINTER;
    *keys = nullptr;
    return IsSelf(child) ? S_FALSE : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // The rest as the system's object of the client area has it.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return standard_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    return standard_->accLocation(x, y, w, h, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(dir, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }

 private:
  LONG refs_ = 1;
  HWND window_;
  const AccessibleKind kind_;
  IAccessible* standard_;
};
#pragma GCC diagnostic pop

}  // namespace

UINT AccessibleNameMessage() {
  static const UINT msg = RegisterWindowMessageW(L"VantriLaunch.AccessibleName");
  return msg;
}

void TellAccessibleName(LPARAM lParam, const std::wstring& name) {
  if (InSendMessageEx(nullptr) == ISMEX_NOSEND) *reinterpret_cast<std::wstring*>(lParam) = name;
}

std::optional<LRESULT> AnswerAccessibleWindow(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleKind& kind) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return std::nullopt;
  const Oleacc& oleacc = OleaccEntries();
  if (!oleacc.createStd || !oleacc.lresultFromObject) return std::nullopt;
  IAccessible* standard = nullptr;
  if (FAILED(oleacc.createStd(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) ||
      !standard)
    return std::nullopt;
  auto* object = new (std::nothrow) AccessibleWindow(window, kind, standard);
  if (!object) {
    standard->Release();
    return std::nullopt;
  }
  const LRESULT answer = oleacc.lresultFromObject(__uuidof(IAccessible), wParam, object);
  object->Release();  // the answer holds its own reference
  if (FAILED(static_cast<HRESULT>(answer))) return std::nullopt;
  return answer;
}

}  // namespace vl
