#include "app/webpanel.h"

#include <algorithm>
#include <string>
#include <vector>

namespace app {

namespace {

constexpr char kHostClass[] = "OffClockWebHost";

// {8856F961-340A-11D0-A96B-00C04FD705A2}
constexpr CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(BSTR text) {
    if (!text)
        return {};
    int length = static_cast<int>(SysStringLen(text));
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

// The browser's window follows the host's size.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        auto* object = reinterpret_cast<IOleObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        IOleInPlaceObject* inPlace = nullptr;
        if (object && SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            RECT r = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&r, &r);
            inPlace->Release();
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterHostClass() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    registered = RegisterClassExA(&wc) != 0;
}

}  // namespace

// The container side of the browser: client site, in-place site and in-place frame in one object. The frame
// has no menus, tool space or status line; every request for them is declined politely.
class WebPanel::Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
  public:
    explicit Site(HWND host) : host_(host) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out)
            *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out)
            return E_POINTER;
        *out = host_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame,
                                  IOleInPlaceUIWindow** doc,
                                  LPRECT position,
                                  LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !doc || !position || !clip || !info)
            return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        GetClientRect(host_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = host_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    HWND host_;
    ULONG references_ = 1;
};

std::unique_ptr<WebPanel> WebPanel::Create(HWND parent, const RECT& rect, const WebPanelSettings& settings) {
    RegisterHostClass();
    std::unique_ptr<WebPanel> panel(new WebPanel());
    panel->settings_ = settings;
    panel->settings_.fontSize = std::clamp(settings.fontSize, 0, 4);
    panel->host_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (!panel->host_)
        return nullptr;

    if (FAILED(CoCreateInstance(kClsidWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&panel->object_))) ||
        !panel->object_) {
        panel->object_ = nullptr;
        return panel;  // no browser on this system: the window stays, empty
    }
    panel->site_ = new Site(panel->host_);
    panel->object_->SetClientSite(static_cast<IOleClientSite*>(panel->site_));
    RECT client;
    GetClientRect(panel->host_, &client);
    panel->object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(panel->site_), 0,
                           panel->host_, &client);
    SetWindowLongPtrA(panel->host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel->object_));
    if (FAILED(panel->object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&panel->browser_))))
        panel->browser_ = nullptr;

    panel->SetOffline(settings.offline);
    panel->SetSilent(settings.silent);
    panel->SetFontSize(panel->settings_.fontSize);
    if (!settings.address.empty())
        panel->Navigate(settings.address);
    return panel;
}

WebPanel::~WebPanel() {
    if (host_ && IsWindow(host_))
        SetWindowLongPtrA(host_, GWLP_USERDATA, 0);
    if (browser_)
        browser_->Release();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
    }
    if (site_)
        site_->Release();
    if (host_ && IsWindow(host_))
        DestroyWindow(host_);
}

bool WebPanel::Navigate(const std::string& address) {
    settings_.address = address;
    if (!browser_ || address.empty())
        return false;
    BSTR url = SysAllocString(Widen(address).c_str());
    VARIANT empty;
    VariantInit(&empty);
    // No flags, no target frame, no post data, no extra headers.
    HRESULT hr = browser_->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
    navigated_ = SUCCEEDED(hr);
    return navigated_;
}

void WebPanel::SetFontSize(int size) {
    settings_.fontSize = std::clamp(size, 0, 4);
    if (!browser_)
        return;
    VARIANT in;
    VariantInit(&in);
    in.vt = VT_I4;
    in.lVal = settings_.fontSize;
    browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &in, nullptr);
}

void WebPanel::SetOffline(bool offline) {
    settings_.offline = offline;
    if (browser_)
        browser_->put_Offline(offline ? VARIANT_TRUE : VARIANT_FALSE);
}

void WebPanel::SetSilent(bool silent) {
    settings_.silent = silent;
    if (browser_)
        browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
}

std::string WebPanel::StatusText() const {
    BSTR text = nullptr;
    if (!browser_ || FAILED(browser_->get_StatusText(&text)))
        return {};
    std::string result = Narrow(text);
    SysFreeString(text);
    return result;
}

std::string WebPanel::Caption() const {
    BSTR text = nullptr;
    if (!browser_ || FAILED(browser_->get_LocationName(&text)))
        return {};
    std::string result = Narrow(text);
    SysFreeString(text);
    return result;
}

std::string WebPanel::LocationUrl() const {
    BSTR text = nullptr;
    if (browser_ && SUCCEEDED(browser_->get_LocationURL(&text)) && text) {
        std::string result = Narrow(text);
        SysFreeString(text);
        return result;
    }
    return {};
}

}  // namespace app
