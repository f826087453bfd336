#pragma once
// The system-function table: every Win32, COM and GDI+ function that the skin engine and the graphics
// services use, as (library, function name) entries bound at first call (gfx/sys_binder.h). Call them as
// sys::Name(...). Add an entry here rather than calling a system function directly from skin/ or gfx/.

#include <windows.h>
#include <objidl.h>
#include <commctrl.h>
#include <gdiplus.h>

#include "gfx/sys_binder.h"

namespace sys {

#define OC_SYSFN(library, name)                 \
    inline sys::Entry<decltype(&::name)> name { \
        library, #name                          \
    }
#define OC_GDIPFN(name)                                            \
    inline sys::Entry<decltype(&Gdiplus::DllExports::name)> name { \
        "GdiPlus.dll", #name                                       \
    }

OC_SYSFN("kernel32.dll", GlobalAlloc);
OC_SYSFN("kernel32.dll", GlobalFree);
OC_SYSFN("kernel32.dll", GlobalLock);
OC_SYSFN("kernel32.dll", GlobalUnlock);
OC_SYSFN("kernel32.dll", GlobalSize);
OC_SYSFN("kernel32.dll", MultiByteToWideChar);
OC_SYSFN("kernel32.dll", TerminateThread);
OC_SYSFN("kernel32.dll", CloseHandle);
OC_SYSFN("kernel32.dll", GetModuleHandleA);

OC_SYSFN("Ole32.dll", CLSIDFromString);
OC_SYSFN("Ole32.dll", CreateStreamOnHGlobal);

OC_SYSFN("user32", IsWindow);
OC_SYSFN("user32", GetParent);
OC_SYSFN("user32", GetWindow);
OC_SYSFN("user32", GetPropA);
OC_SYSFN("user32", SetPropA);
OC_SYSFN("user32", RemovePropA);
#ifdef _WIN64
OC_SYSFN("user32", GetWindowLongPtrA);
OC_SYSFN("user32", SetWindowLongPtrA);
#else
// 32-bit user32 has no ...LongPtr exports; the headers map them to these.
OC_SYSFN("user32", GetWindowLongA);
OC_SYSFN("user32", SetWindowLongA);
#endif
OC_SYSFN("user32", CallWindowProcA);
OC_SYSFN("user32", DefWindowProcA);
OC_SYSFN("user32", SendMessageA);
OC_SYSFN("user32", PostMessageA);
OC_SYSFN("user32", RegisterWindowMessageA);
OC_SYSFN("user32", SetWindowPos);
OC_SYSFN("user32", InvalidateRect);
OC_SYSFN("user32", ValidateRect);
OC_SYSFN("user32", GetWindowRect);
OC_SYSFN("user32", GetClientRect);
OC_SYSFN("user32", ScreenToClient);
OC_SYSFN("user32", GetDC);
OC_SYSFN("user32", GetWindowDC);
OC_SYSFN("user32", ReleaseDC);
OC_SYSFN("user32", BeginPaint);
OC_SYSFN("user32", EndPaint);
OC_SYSFN("user32", FillRect);
OC_SYSFN("user32", FrameRect);
OC_SYSFN("user32", CreateWindowExA);
OC_SYSFN("user32", RegisterClassExA);
OC_SYSFN("user32", LoadCursorA);
OC_SYSFN("user32", ReleaseCapture);
OC_SYSFN("user32", TrackMouseEvent);
OC_SYSFN("user32", GetCursorPos);
OC_SYSFN("user32", SetTimer);
OC_SYSFN("user32", KillTimer);
OC_SYSFN("user32", UpdateLayeredWindow);
OC_SYSFN("user32", UpdateLayeredWindowIndirect);
OC_SYSFN("user32", GetWindowTextA);
OC_SYSFN("user32", GetWindowTextLengthA);
OC_SYSFN("user32", CreateCaret);
OC_SYSFN("user32", GetCaretPos);

OC_SYSFN("comctl32.dll", InitCommonControlsEx);

OC_SYSFN("gdi32.dll", CreateCompatibleDC);
OC_SYSFN("gdi32.dll", CreateCompatibleBitmap);
OC_SYSFN("gdi32.dll", CreateDIBSection);
OC_SYSFN("gdi32.dll", SelectObject);
OC_SYSFN("gdi32.dll", DeleteObject);
OC_SYSFN("gdi32.dll", DeleteDC);
OC_SYSFN("gdi32.dll", BitBlt);
OC_SYSFN("gdi32.dll", GetStockObject);
OC_SYSFN("gdi32.dll", GetObjectA);
OC_SYSFN("gdi32.dll", SetTextColor);
OC_SYSFN("gdi32.dll", SetBkMode);
OC_SYSFN("gdi32.dll", CreateSolidBrush);
OC_SYSFN("gdi32.dll", GdiFlush);

inline sys::Entry<decltype(&Gdiplus::GdiplusStartup)> GdiplusStartup{"GdiPlus.dll", "GdiplusStartup"};
OC_GDIPFN(GdipLoadImageFromStream);
OC_GDIPFN(GdipImageSelectActiveFrame);
OC_GDIPFN(GdipDisposeImage);
OC_GDIPFN(GdipGetImageDimension);
OC_GDIPFN(GdipGetImageType);
OC_GDIPFN(GdipGetImageWidth);
OC_GDIPFN(GdipGetImageHeight);
OC_GDIPFN(GdipCreateFromHDC);
OC_GDIPFN(GdipGetImageGraphicsContext);
OC_GDIPFN(GdipTranslateWorldTransform);
OC_GDIPFN(GdipGraphicsClear);
OC_GDIPFN(GdipDeleteGraphics);
OC_GDIPFN(GdipDrawImageRect);
OC_GDIPFN(GdipDrawImageRectRect);
OC_GDIPFN(GdipDrawImagePointRect);
OC_GDIPFN(GdipCreateBitmapFromHBITMAP);
OC_GDIPFN(GdipCreateBitmapFromScan0);
OC_GDIPFN(GdipBitmapLockBits);
OC_GDIPFN(GdipBitmapUnlockBits);
OC_GDIPFN(GdipCreateHBITMAPFromBitmap);
OC_GDIPFN(GdipCreateSolidFill);
OC_GDIPFN(GdipDeleteBrush);
OC_GDIPFN(GdipFillRectangleI);
OC_GDIPFN(GdipCreatePen1);
OC_GDIPFN(GdipDeletePen);
OC_GDIPFN(GdipDrawRectangleI);
OC_GDIPFN(GdipDrawLineI);
OC_GDIPFN(GdipDrawString);
OC_GDIPFN(GdipMeasureString);
OC_GDIPFN(GdipCreateFontFamilyFromName);
OC_GDIPFN(GdipDeleteFontFamily);
OC_GDIPFN(GdipCloneFontFamily);
OC_GDIPFN(GdipCreateFont);
OC_GDIPFN(GdipCreateFontFromDC);
OC_GDIPFN(GdipCreateFontFromLogfontA);
OC_GDIPFN(GdipDeleteFont);
OC_GDIPFN(GdipCloneFont);
OC_GDIPFN(GdipGetFamily);
OC_GDIPFN(GdipGetFontStyle);
OC_GDIPFN(GdipGetFontSize);
OC_GDIPFN(GdipGetFontUnit);
OC_GDIPFN(GdipGetFontHeight);
OC_GDIPFN(GdipCreateStringFormat);
OC_GDIPFN(GdipDeleteStringFormat);
OC_GDIPFN(GdipCloneStringFormat);
OC_GDIPFN(GdipSetStringFormatAlign);
OC_GDIPFN(GdipSetStringFormatLineAlign);

#undef OC_SYSFN
#undef OC_GDIPFN

}  // namespace sys
