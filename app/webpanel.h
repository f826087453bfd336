#pragma once
// The web page panel: the system's WebBrowser ActiveX control hosted in a child window of the panel's size,
// through a minimal OLE container of our own, and driven through IWebBrowser2.

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "base/unique_handle.h"

namespace app {

struct WebPanelSettings {
    std::string address;  // GBK bytes; empty: navigate nowhere
    int fontSize = 2;     // 0 to 4
    bool offline = false;
    bool silent = false;
};

class WebPanel {
  public:
    // Creates the host window at `rect` (parent client coordinates) and the browser control in it. Returns
    // null when the host window cannot be made; a browser control that cannot be created leaves an empty
    // host window (the program runs on without it).
    static std::unique_ptr<WebPanel> Create(HWND parent, const RECT& rect, const WebPanelSettings& settings);
    ~WebPanel();
    WebPanel(const WebPanel&) = delete;
    WebPanel& operator=(const WebPanel&) = delete;

    HWND Host() const { return host_; }
    bool HasBrowser() const { return static_cast<bool>(browser_); }

    bool Navigate(const std::string& address);
    void SetFontSize(int size);
    void SetOffline(bool offline);
    void SetSilent(bool silent);
    const WebPanelSettings& Settings() const { return settings_; }
    std::string StatusText() const;
    std::string Caption() const;
    // The address the browser reports (empty when it reports none).
    std::string LocationUrl() const;
    // Whether the browser accepted the last navigation request.
    bool Navigated() const { return navigated_; }

  private:
    WebPanel() = default;
    class Site;
    HWND host_ = nullptr;
    base::ComPtr<Site> site_;  // the container's client site
    base::ComPtr<IOleObject> object_;
    base::ComPtr<IWebBrowser2> browser_;
    WebPanelSettings settings_;
    bool navigated_ = false;
};

}  // namespace app
