#include "app/webpanel.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "gfx/graphics.h"

namespace app {

namespace {

constexpr char kHostClass[] = "OffClockWebHost";

// {8856F961-340A-11D0-A96B-00C04FD705A2}
constexpr CLSID kClsidWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// A text the browser hands over, in the system code page; empty for none.
std::string Narrow(const base::UniqueBstr& text) {
    if (!text)
        return {};
    return base::Narrow(std::wstring_view(text.get(), SysStringLen(text.get())),
                        [](const wchar_t* units, int unitCount, char* out, int outCount) {
                            return WideCharToMultiByte(CP_ACP, 0, units, unitCount, out, outCount, nullptr, nullptr);
                        });
}

// The browser's window follows the host's size.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        auto* object = reinterpret_cast<IOleObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        base::ComPtr<IOleInPlaceObject> inPlace;
        if (object && SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid()))) {
            RECT r = {0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&r, &r);
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
                                panel->object_.putVoid())) ||
        !panel->object_) {
        panel->object_.reset();
        return panel;  // no browser on this system: the window stays, empty
    }
    panel->site_.reset(new Site(panel->host_));
    auto* clientSite = static_cast<IOleClientSite*>(panel->site_.get());
    panel->object_->SetClientSite(clientSite);
    RECT client{};
    GetClientRect(panel->host_, &client);
    panel->object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, panel->host_, &client);
    SetWindowLongPtrA(panel->host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel->object_.get()));
    if (FAILED(panel->object_->QueryInterface(IID_IWebBrowser2, panel->browser_.putVoid())))
        panel->browser_.reset();

    panel->SetOffline(settings.offline);
    panel->SetSilent(settings.silent);
    panel->SetFontSize(panel->settings_.fontSize);
    if (!settings.address.empty())
        panel->Navigate(settings.address);
    return panel;
}

// The browser first, then the control deactivated in place, closed and cut from its site, then the site, then
// the host window.
WebPanel::~WebPanel() {
    if (host_ && IsWindow(host_))
        SetWindowLongPtrA(host_, GWLP_USERDATA, 0);
    browser_.reset();
    if (object_) {
        base::ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid())) && inPlace)
            inPlace->InPlaceDeactivate();
        inPlace.reset();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
    }
    site_.reset();
    if (host_ && IsWindow(host_))
        DestroyWindow(host_);
}

bool WebPanel::Navigate(const std::string& address) {
    settings_.address = address;
    if (!browser_ || address.empty())
        return false;
    base::UniqueBstr url(SysAllocString(gfx::AnsiToWide(address).c_str()));
    VARIANT empty;
    VariantInit(&empty);
    // No flags, no target frame, no post data, no extra headers.
    HRESULT hr = browser_->Navigate(url.get(), &empty, &empty, &empty, &empty);
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
    base::UniqueBstr text;
    if (!browser_ || FAILED(browser_->get_StatusText(text.put())))
        return {};
    return Narrow(text);
}

std::string WebPanel::Caption() const {
    base::UniqueBstr text;
    if (!browser_ || FAILED(browser_->get_LocationName(text.put())))
        return {};
    return Narrow(text);
}

std::string WebPanel::LocationUrl() const {
    base::UniqueBstr text;
    if (!browser_ || FAILED(browser_->get_LocationURL(text.put())))
        return {};
    return Narrow(text);
}

}  // namespace app
