// ocprobe: looks at a running OffClock from outside (same Wine prefix) for the end-to-end tests.
//   ocprobe dump                 every OffClock window and its children, one line each
//   ocprobe close HWND           posts WM_CLOSE to a window
//   ocprobe focus HWND           brings a window forward and gives it the keyboard focus
//   ocprobe settext HWND TEXT    WM_SETTEXT to a control (as a paste would), TEXT in UTF-8
//   ocprobe names HWND...        what a screen reader announces for each window: "name" lines, UTF-8 in hex
//   ocprobe workarea L T R B     sets the program's work area, with the announcement (work_area_hook.c)
//   ocprobe watchclock HWND MS   polls a clock text ("...HH:MM:SS") for MS milliseconds; one line per change:
//                                how many ms after the start of the second it shows the change was seen
//   ocprobe resume HWND          sends WM_POWERBROADCAST PBT_APMRESUMEAUTOMATIC, as after a wake, to a window
// Lines of "dump": key=value pairs separated by tabs; texts are hex-encoded GBK bytes. The last line, "input",
// says where input goes: the foreground window, and the focus and the window in a move loop of the program's
// user-interface thread.

#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

const char* const kSkinKeys[] = {
    "PngControl_Type",        "PngControl_WndProc",      "PngControl_ChildWndProc", "PngControl_BackType",
    "PngControl_CacheBitmap", "Lumen_DrawState",         "PngControl_NormalImage",  "PngControl_OverlImage",
    "PngControl_DownImage",   "PngControl_DisableImage", "PngControl_BackImage",    "PngControl_BackColor",
    "PngControl_BackAlpha",   "PngControl_OrderColor",   "PngControl_OrderAlpha",   "PngControl_TextColor",
    "Lumen_ToolTips",         "PngControl_IsFoucs",      "PngControl_Time",
};

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

unsigned long long Number(HWND hwnd) {
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd));
}

std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 300, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 300,
                        &copied);
    text.resize(copied);
    return text;
}

void PrintWindow(const char* kind, HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    std::printf(
        "%s\thwnd=%llu\tclass=%s\tid=%lld\tx=%ld\ty=%ld\tw=%ld\th=%ld\tstyle=%lu\texstyle=%lu\towner=%llu"
        "\tvisible=%d\tenabled=%d\twndproc=%llu\ttext=%s",
        kind, Number(hwnd), cls, static_cast<long long>(GetWindowLongPtrA(hwnd, GWLP_ID)), r.left, r.top,
        r.right - r.left, r.bottom - r.top, static_cast<unsigned long>(GetWindowLongPtrA(hwnd, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)), Number(GetWindow(hwnd, GW_OWNER)),
        IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0,
        static_cast<unsigned long long>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), Hex(TextOf(hwnd)).c_str());
    for (const char* key : kSkinKeys) {
        HANDLE value = GetPropA(hwnd, key);
        if (value)
            std::printf("\t%s=%llu", key, static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(value)));
    }
    std::printf("\n");
}

void PrintInput(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    std::printf("input\tforeground=%llu\tfocus=%llu\tmovesize=%llu\tmenuowner=%llu\n", Number(GetForegroundWindow()),
                Number(info.hwndFocus), Number(info.hwndMoveSize), Number(info.hwndMenuOwner));
}

BOOL CALLBACK OnChild(HWND child, LPARAM) {
    PrintWindow("child", child);
    return TRUE;
}

// Only the windows of offclock.exe processes: test programs running in the same prefix make windows of the
// same classes.
std::set<DWORD> ProgramProcesses() {
    std::set<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return pids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "offclock.exe") == 0)
            pids.insert(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return pids;
}

struct Found {
    std::set<DWORD> pids;
    DWORD thread = 0;  // of the first program window
};

BOOL CALLBACK OnTop(HWND top, LPARAM lParam) {
    auto& found = *reinterpret_cast<Found*>(lParam);
    DWORD owner = 0;
    const DWORD thread = GetWindowThreadProcessId(top, &owner);
    if (!found.pids.count(owner))
        return TRUE;
    char cls[128] = {};
    GetClassNameA(top, cls, sizeof cls);
    if (std::string(cls) == "OffClockWindow") {
        if (!found.thread)
            found.thread = thread;
        PrintWindow("window", top);
        EnumChildWindows(top, OnChild, 0);
    } else if (std::string(cls) == "tooltips_class32" || std::string(cls) == "#32770") {
        PrintWindow(cls[0] == '#' ? "dialog" : "tooltip", top);
        if (cls[0] == '#')
            EnumChildWindows(top, OnChild, 0);
    }
    return TRUE;
}

HWND ParseHandle(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 10)));
}

// The name of the window's client object, asked for as a screen reader asks: from another process, through
// the accessibility interface. "-" when there is no object or no name. __uuidof, not oleacc's IID_IAccessible:
// with a static -loleacc that symbol resolves to the wrong bytes.
void PrintAccessibleName(HWND hwnd) {
    std::string name = "-";
    IAccessible* object = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object))) &&
        object) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        if (object->get_accName(self, &text) == S_OK && text) {
            const int length = SysStringLen(text);
            std::string utf8(length * 3, '\0');
            utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), length * 3, nullptr, nullptr));
            name = Hex(utf8);
        }
        SysFreeString(text);
        object->Release();
    }
    std::printf("name\thwnd=%llu\tname=%s\n", Number(hwnd), name.c_str());
}

// The text through the window's own procedure: another process's edit box keeps no caption for GetWindowText.
std::string ReadText(HWND hwnd) {
    char text[64] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500,
                             &length))
        return {};
    return std::string(text, length < sizeof text ? length : 0);
}

int WatchClock(HWND hwnd, DWORD ms) {
    const DWORD start = GetTickCount();
    std::string last = ReadText(hwnd);
    while (GetTickCount() - start < ms) {
        Sleep(1);
        std::string text = ReadText(hwnd);
        SYSTEMTIME now{};
        GetLocalTime(&now);
        if (text == last || text.size() < 2)
            continue;
        last = text;
        const int shown = std::atoi(text.c_str() + text.size() - 2);
        std::printf("%d\n", (now.wSecond - shown + 60) % 60 * 1000 + now.wMilliseconds);
        std::fflush(stdout);
    }
    return 0;
}

// The hook library lies beside the probe; the program's thread loads it to run the hook.
int SetWorkArea(char** values) {
    Found found{ProgramProcesses()};
    EnumWindows(OnTop, reinterpret_cast<LPARAM>(&found));
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\' && path[n - 1] != '/')
        --n;
    lstrcpynA(path + n, "work_area_hook.dll", MAX_PATH - n);
    HMODULE library = LoadLibraryA(path);
    // Through the generic function type, which any function pointer may be cast to and from.
    FARPROC entry = library ? GetProcAddress(library, "WorkAreaHook") : nullptr;
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(entry));
    if (!found.thread || !hook) {
        std::fprintf(stderr, "no program thread or no hook library\n");
        return 1;
    }
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "OffClockTestWorkAreaDone");
    HHOOK installed = SetWindowsHookExA(WH_GETMESSAGE, hook, library, found.thread);
    const auto part = [values](int i) { return static_cast<WORD>(std::atoi(values[i])); };
    const bool posted = installed && PostThreadMessageA(found.thread, RegisterWindowMessageA("OffClockTestWorkArea"),
                                                        MAKEWPARAM(part(0), part(1)), MAKELPARAM(part(2), part(3)));
    const bool set = posted && WaitForSingleObject(done, 20000) == WAIT_OBJECT_0;
    if (installed)
        UnhookWindowsHookEx(installed);
    CloseHandle(done);
    return set ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "dump";
    if (command == "dump") {
        Found found{ProgramProcesses()};
        EnumWindows(OnTop, reinterpret_cast<LPARAM>(&found));
        if (found.thread)
            PrintInput(found.thread);
        return 0;
    }
    if (command == "close" && argc > 2)
        return PostMessageA(ParseHandle(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == "focus" && argc > 2) {
        HWND hwnd = ParseHandle(argv[2]);
        SetForegroundWindow(GetAncestor(hwnd, GA_ROOT));
        return 0;
    }
    if (command == "settext" && argc > 3) {
        // The argument arrives in the console code page; convert it to the window's ANSI code page text.
        std::string text = argv[3];
        return SendMessageA(ParseHandle(argv[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? 0 : 1;
    }
    if (command == "names" && argc > 2) {
        CoInitialize(nullptr);
        for (int i = 2; i < argc; ++i)
            PrintAccessibleName(ParseHandle(argv[i]));
        CoUninitialize();
        return 0;
    }
    if (command == "workarea" && argc > 5)
        return SetWorkArea(argv + 2);
    if (command == "resume" && argc > 2) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(ParseHandle(argv[2]), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_ABORTIFHUNG,
                                   10000, &result)
                   ? 0
                   : 1;
    }
    if (command == "watchclock" && argc > 3)
        return WatchClock(ParseHandle(argv[2]), static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    std::fprintf(
        stderr,
        "usage: ocprobe dump | close HWND | focus HWND | settext HWND TEXT | names HWND... | workarea L T R B | "
        "watchclock HWND MS | resume HWND\n");
    return 2;
}
