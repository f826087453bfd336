// Bad input given to the running program's real windows in this process: huge and malformed entries, a burst
// of starts and stops, corrupt pictures for the skin setters and a font that does not exist. Each must end
// in a plain result (an error text, no picture, a fallback) with the process alive.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/startup.h"
#include "assets/embedded_images.h"
#include "gfx/byteblock.h"
#include "gfx/graphics.h"
#include "gfx/holders.h"
#include "gfx/sysapi.h"
#include "program_in_process.h"
#include "skin/compositor/compose.h"
#include "skin/controls/skin_control.h"
#include "skin/controls/skin_window.h"
#include "skin/floor/keys.h"
#include "skin/floor/props.h"

namespace {

using namespace app::ids;
using app::ControlKind;
using app::GetControlProperty;
using app::kEditContent;
using app::kPropVisible;
using app::kTimerInterval;
using app::SetControlProperty;
using testsupport::ProgramControl;
using testsupport::ProgramWindow;
using testsupport::PumpMessages;

int g_compositions = 0;
void CountComposition(HWND, Gdiplus::GpBitmap*) {
    ++g_compositions;
}

std::vector<HWND> g_presented;
void CountPresentation(HWND window, const uint32_t*, int, int, int) {
    g_presented.push_back(window);
}

class BadInput : public testing::Test {
  public:
    // "HH:MM:SS" an hour from now, so that no countdown in these tests comes near its end.
    static std::string AnHourAhead() {
        const std::time_t later = std::time(nullptr) + 3600;
        std::tm t{};
        localtime_s(&t, &later);
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
        return text;
    }

  protected:
    void SetUp() override {
        ASSERT_NE(testsupport::StartProgramInProcess(), nullptr);
        entry_ = ProgramControl(kMainWindow, kTimeEntryEdit, ControlKind::EditBox);
        start_ = ProgramControl(kMainWindow, kStartButton, ControlKind::Button);
        stop_ = ProgramControl(kMainWindow, kStopButton, ControlKind::Button);
        ASSERT_TRUE(entry_ && start_ && stop_);
        PumpMessages(50);
        g_compositions = 0;
        g_presented.clear();
        skin::SetCompositionObserver({CountComposition, CountPresentation});
    }
    void TearDown() override {
        skin::SetCompositionObserver({});
        testsupport::StopProgramInProcess();
    }

    std::string Entry() const { return GetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent).text; }
    int32_t CountdownInterval() const {
        return GetControlProperty(kMainWindow, kCountdownTimer, kTimerInterval).number;
    }
    bool CountdownShown() const { return IsWindowVisible(ProgramWindow(kCountdownWindow)) != FALSE; }
    // The start button pressed as the mouse would: the system button reports the click to its window.
    void ClickStart() { SendMessageA(start_, BM_CLICK, 0, 0); }
    void ClickStop() { SendMessageA(stop_, BM_CLICK, 0, 0); }

    HWND entry_ = nullptr;
    HWND start_ = nullptr;
    HWND stop_ = nullptr;
};

// Wine's edit control takes time quadratic in the length of a single line (100,000 characters: 12 s), so the
// long entries here are bounded: longer than the system's default limit of 30,000 characters, short enough to
// take a few seconds.
constexpr size_t kLongEntry = 32000;

TEST_F(BadInput, APasteLongerThanTheSystemDefaultLimitIsTakenWholeAndRefusedOnStart) {
    // A real paste through the clipboard: the box has no length limit.
    const std::string digits(kLongEntry, '1');
    ASSERT_TRUE(OpenClipboard(ProgramWindow(kMainWindow)));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, digits.size() + 1);
    ASSERT_NE(memory, nullptr);
    memcpy(GlobalLock(memory), digits.c_str(), digits.size() + 1);
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
    CloseClipboard();

    SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, "");
    SendMessageA(entry_, WM_PASTE, 0, 0);
    EXPECT_EQ(Entry(), digits) << "the whole paste is in the box";

    ClickStart();
    EXPECT_EQ(Entry(), scheduler::FORMAT_ERROR_TEXT) << "one piece, no colon";
    EXPECT_EQ(CountdownInterval(), 0) << "no countdown started";
}

// Numbers too long for any counter saturate, and a target that far beyond 24:00:00 can never be reached: the
// start refuses it with the format text, and nothing counts down.
TEST_F(BadInput, ALongEntryIsComposedAndItsSaturatedTargetRefused) {
    const std::string part((kLongEntry - 2) / 3, '9');
    const std::string entry = part + ":" + part + ":" + part;
    SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, entry);
    EXPECT_EQ(Entry(), entry);
    EXPECT_GE(g_compositions, 1) << "the write recomposed MainWindow";

    ClickStart();
    EXPECT_EQ(Entry(), scheduler::FORMAT_ERROR_TEXT);
    EXPECT_EQ(CountdownInterval(), 0) << "no countdown started";
    scheduler::OnCountdownTimer();
    EXPECT_EQ(testsupport::PowerOffRequests(), 0);
}

// The burst runs in a child process that Wine leaves out of window management: this screen has no window
// manager, and Wine waits 2 s for one on every hide of a managed window (each stop hides CountdownWindow),
// which real Windows never does. The setting is read at process start and names only this test program.
constexpr char kWineAppKey[] = "Software\\Wine\\AppDefaults\\win_robust_tests.exe\\X11 Driver";

enum BurstResult : int {
    kBurstOk = 0,
    kBurstNoProgram = 10,
    kBurstStillShown,
    kBurstStopNotPending,
    kBurstStopNotTaken,
    kBurstPromptNotBack,
    kBurstPoweredOff,
    kBurstNoRestart,
    kBurstTooSlow,
};

int RunBurst(int, char**) {
    if (!testsupport::StartProgramInProcess())
        return kBurstNoProgram;
    HWND start = ProgramControl(kMainWindow, kStartButton, ControlKind::Button);
    HWND stop = ProgramControl(kMainWindow, kStopButton, ControlKind::Button);
    auto interval = [] { return GetControlProperty(kMainWindow, kCountdownTimer, kTimerInterval).number; };
    const std::string target = BadInput::AnHourAhead();
    const DWORD began = GetTickCount();
    for (int i = 0; i < 100; ++i) {
        SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, target);
        SendMessageA(start, BM_CLICK, 0, 0);
        SendMessageA(stop, BM_CLICK, 0, 0);
    }
    std::printf("100 starts and stops: %lu ms\n", GetTickCount() - began);
    if (GetTickCount() - began > testsupport::Scaled(30000))
        return kBurstTooSlow;  // the child was not left out of window management
    if (IsWindowVisible(ProgramWindow(kCountdownWindow)))
        return kBurstStillShown;
    if (scheduler::CurrentState().stopRequested != 1)
        return kBurstStopNotPending;
    // The next countdown tick takes the stop: back to the prompt with the countdown timer off.
    if (!testsupport::PumpUntil([&] { return interval() == 0; }, 3000))
        return kBurstStopNotTaken;
    if (GetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent).text != scheduler::TIME_PROMPT)
        return kBurstPromptNotBack;
    // Started again after the burst, it counts down normally.
    SetControlProperty(kMainWindow, kTimeEntryEdit, kEditContent, target);
    SendMessageA(start, BM_CLICK, 0, 0);
    if (!testsupport::PumpUntil([] { return scheduler::CurrentState().secondsLeft > 3500; }, 3000))
        return kBurstNoRestart;
    if (testsupport::PowerOffRequests() != 0)
        return kBurstPoweredOff;
    testsupport::StopProgramInProcess();
    return kBurstOk;
}
testsupport::ChildRegistration g_burst("burst", RunBurst);

TEST(StartStopBurst, AHundredStartsAndStopsInABurstEndStoppedThenCountAgainWithNothingSwitchedOff) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kWineAppKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
    const testsupport::ChildResult child = testsupport::RunSelfAsChild("burst", "", 120000);
    RegDeleteKeyA(HKEY_CURRENT_USER, kWineAppKey);
    ASSERT_TRUE(child.started);
    EXPECT_EQ(child.exitCode, static_cast<DWORD>(kBurstOk)) << "see BurstResult";
}

struct JunkEntry {
    const char* name;
    std::string bytes;
    bool startsCountdown;  // false: the box shows the format error
};

std::string AllBytesButNul() {
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST_F(BadInput, MalformedEntriesThroughTheRealBoxEndInTheFormatErrorOrAPlainCountdown) {
    const std::vector<JunkEntry> entries = {
        {"GBK lead bytes only", std::string(200, '\x81'), false},
        {"lead bytes around the colons", "\x81\x81:\xFE\xFE:\x81", true},
        {"lead byte at the very end", "12:30:0\x81", true},
        {"bytes 1 to 255, one ASCII colon", AllBytesButNul(), false},
        {"full-width colons",
         "12\xA3\xBA"
         "30\xA3\xBA"
         "00",
         true},
        {"full-width digits", "\xA3\xB1\xA3\xB2:\xA3\xB3\xA3\xB0:\xA3\xB0\xA3\xB0", true},
        {"signs and blanks, ASCII and full-width",
         "\xA1\xA1\xA3\xAD"
         "1: +2 :\xA3\xAB"
         "3",
         true},
        {"colons only: three empty pieces read as 0", ":::", true},
        {"empty", "", false},
    };
    for (const JunkEntry& e : entries) {
        SCOPED_TRACE(e.name);
        // Through the edit box itself, as a paste or the input method would put it there.
        SetWindowTextA(entry_, e.bytes.c_str());
        ClickStart();
        // Looked at before pumping: the countdown's first tick comes at the next second, which may be
        // within the pump, and a past target ends the countdown there.
        if (e.startsCountdown) {
            EXPECT_EQ(CountdownInterval(), 1000);
            // The strip announces only a target still ahead, the one the machine is held awake for.
            EXPECT_EQ(CountdownShown(), scheduler::CurrentState().awakeHeld);
        } else {
            EXPECT_EQ(Entry(), scheduler::FORMAT_ERROR_TEXT);
        }
        PumpMessages(20);
        ASSERT_TRUE(IsWindow(entry_));
        // One tick with whatever target was stored, then a stop and the tick that takes it.
        scheduler::OnCountdownTimer();
        ClickStop();
        scheduler::OnCountdownTimer();
        EXPECT_EQ(CountdownInterval(), 0);
    }
    EXPECT_EQ(testsupport::PowerOffRequests(), 0);
}

TEST_F(BadInput, FullWidthDigitsSignsAndBlanksReadAsTheirAsciiNumbers) {
    SetWindowTextA(entry_, "\xA1\xA1\xA3\xAB\xA3\xB2\xA3\xB1:\xA3\xAD\xA3\xB5:\xA1\xA1\xA3\xB0\xA3\xB7");
    ClickStart();
    EXPECT_EQ(scheduler::CurrentState().targetHour, 21);
    EXPECT_EQ(scheduler::CurrentState().targetMinute, -5);
    EXPECT_EQ(scheduler::CurrentState().targetSecond, 7);
    ClickStop();
}

// Counted blocks of damaged pictures.
std::vector<uint8_t> Block(const uint8_t* bytes, uint32_t count) {
    std::vector<uint8_t> block(8 + count);
    const uint32_t dimensions = 1;
    memcpy(block.data(), &dimensions, 4);
    memcpy(block.data() + 4, &count, 4);
    if (count)
        memcpy(block.data() + 8, bytes, count);
    return block;
}

std::vector<std::vector<uint8_t>> DamagedPictures() {
    const uint8_t* png = gfx::BlockBytes(assets::kMainWindowPicture);
    const uint32_t size = gfx::BlockByteCount(assets::kMainWindowPicture);
    std::vector<std::vector<uint8_t>> damaged;
    damaged.push_back(Block(png, size / 2));  // cut in the middle of the pixel data
    damaged.push_back(Block(png, 8));         // the signature alone
    damaged.push_back(Block(png, 33));        // signature and header, no pixels
    std::vector<uint8_t> bad = Block(png, size);
    bad[8 + 16] = 0x7F;  // width 2^31 - 1 in the header, whose checksum no longer matches
    damaged.push_back(bad);
    std::vector<uint8_t> flipped = Block(png, size);
    for (uint32_t i = 8 + 41; i < flipped.size(); i += 7)
        flipped[i] ^= 0x5A;  // compressed pixels scrambled
    damaged.push_back(flipped);
    std::vector<uint8_t> junk(4096);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i * 131 + 7);
    damaged.push_back(Block(junk.data(), static_cast<uint32_t>(junk.size())));
    const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 0x10, 0x00, 0x10, 0x00, 0xF7};
    damaged.push_back(Block(gif, sizeof gif));  // a GIF header with a colour table that never comes
    return damaged;
}

TEST_F(BadInput, DamagedPicturesGiveTheSkinSettersNoImageAndTheOldFaceStays) {
    app::SkinObjects& skins = app::Globals().skins;
    HWND main = ProgramWindow(kMainWindow);
    const intptr_t face = skin::GetSkinProp(main, skin::key::kBackImage);
    ASSERT_NE(face, 0);
    for (const std::vector<uint8_t>& picture : DamagedPictures()) {
        EXPECT_FALSE(skins.mainWindowSkin->SetBackImageData(picture.data()));
        EXPECT_EQ(skin::GetSkinProp(main, skin::key::kBackImage), face) << "a refused picture replaces nothing";

        skins.startButtonSkin->SetFaceImageData(picture.data(), picture.data(), picture.data(), picture.data());
        for (const char* key :
             {skin::key::kNormalImage, skin::key::kOverImage, skin::key::kDownImage, skin::key::kDisableImage})
            EXPECT_EQ(skin::GetSkinProp(start_, key), 0) << key;
        // The face without the start button's picture still composes.
        g_compositions = 0;
        skin::ComposeWindow(main);
        EXPECT_EQ(g_compositions, 1);
    }
}

// The same countdown text copied into the strip again and again: each write still reaches the strip (its text
// is set and its content-changed event fires), but only a changed text is composed and presented.
TEST_F(BadInput, TheSameTextCopiedIntoTheStripAgainAndAgainIsPresentedOnce) {
    HWND strip = ProgramWindow(kCountdownWindow);
    static int changes;
    changes = 0;
    app::BindEvent(kCountdownWindow, kCountdownText, app::kEventChanged, [] { ++changes; });
    auto presented = [&] { return std::count(g_presented.begin(), g_presented.end(), strip); };

    SetControlProperty(kMainWindow, kCountdownTextHolder, kEditContent, "离关机还有\r\n0小时:0分钟:3秒");
    app::MirrorCountdownMessage();
    EXPECT_EQ(presented(), 1);
    const int changesPerCopy = changes;
    EXPECT_GE(changesPerCopy, 1);
    app::MirrorCountdownMessage();
    app::MirrorCountdownMessage();
    EXPECT_EQ(presented(), 1);
    EXPECT_EQ(changes, 3 * changesPerCopy);
    SetControlProperty(kMainWindow, kCountdownTextHolder, kEditContent, "离关机还有\r\n0小时:0分钟:2秒");
    app::MirrorCountdownMessage();
    EXPECT_EQ(presented(), 2);
    EXPECT_EQ(GetControlProperty(kCountdownWindow, kCountdownText, kEditContent).text, "离关机还有\r\n0小时:0分钟:2秒");
    app::BindEvent(kCountdownWindow, kCountdownText, app::kEventChanged, nullptr);
}

TEST(MissingFont, ATextChildWhoseFontFaceDoesNotExistComposesWithAStandInFace) {
    gfx::StartGraphicsSession();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OcMissingFontTop";
    RegisterClassExA(&wc);
    HWND top =
        CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 100, 100, 200, 40, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(top, nullptr);
    skin::SkinWindow layered;
    ASSERT_TRUE(layered.Attach(top));

    struct Case {
        const char* face;
        int height;
        bool drawsText;
    };
    for (const Case& c : {Case{"No Such Face At All", -16, true}, Case{"", -16, true},
                          Case{"\xB2\xBB\xB4\xE6\xD4\xDA", -16, true}, Case{"No Such Face At All", 0, false}}) {
        SCOPED_TRACE(c.face);
        HWND child = CreateWindowExA(0, "EDIT", "12:34:56", WS_CHILD | WS_VISIBLE, 0, 0, 200, 40, top, nullptr,
                                     wc.hInstance, nullptr);
        HFONT font = CreateFontA(c.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, c.face);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        skin::SkinControl text;
        text.BindPngControl(child);
        text.SetBackColor(skin::kNoColor);
        text.SetOrderColor(skin::kNoColor);
        text.SetForeColor(0x00FFFFFF);
        layered.BindChildren();

        gfx::UniqueGpImage face = skin::ComposeToBitmap(top);
        ASSERT_TRUE(face);
        int inked = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x) {
                Gdiplus::ARGB pixel = 0;
                Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(face.get()), x, y, &pixel);
                inked += (pixel >> 24) != 0;
            }
        // A face GDI+ does not know is mapped to the one GDI draws instead, at the same size; a zero height is no
        // font, so no text.
        EXPECT_EQ(inked > 0, c.drawsText) << inked << " pixels inked";
        DestroyWindow(child);
        DeleteObject(font);
    }
    DestroyWindow(top);
}

}  // namespace
