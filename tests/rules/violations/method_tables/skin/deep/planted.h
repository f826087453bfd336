// Planted: SkinButton declares BindButton before CreateButton, so the two trade slots.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>

namespace skin {
class SkinControlBase {
    virtual void Release();
    virtual SkinControlBase* Clone() const = 0;
    virtual bool Attach(HWND window);
    virtual HWND GetHandle() const;
    virtual void SetProperty(const char* key, intptr_t value);
    virtual intptr_t GetProperty(const char* key) const;
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void SetToolTip(const char* text, std::optional<bool> atCursor = std::nullopt);
    virtual void Move(std::optional<int> left = std::nullopt);
    virtual HWND GetHwnd() const;
    virtual bool IsValid() const;
    virtual void Redraw();
    virtual LRESULT SendSync(UINT message, WPARAM wParam, LPARAM lParam);
};

class SkinControl final : public SkinControlBase {
    void Release() override;
    SkinControl* Clone() const override;
    virtual void BindPngControl(HWND window);
    virtual void SetBackColor(uint32_t colour, std::optional<int32_t> alpha = std::nullopt);
    virtual void SetOrderColor(uint32_t colour, std::optional<int32_t> alpha = std::nullopt);
    virtual void SetForeColor(uint32_t colour);
    virtual void SetBackImage(Gdiplus::GpImage* image = nullptr);
    virtual void SetBackImageData(const uint8_t* block);
    virtual void SetBackType(int32_t type);
    virtual std::string GetText() const;
};

class SkinButton final : public SkinControlBase {
    void Release() override;
    SkinButton* Clone() const override;
    virtual bool BindButton(HWND window, Gdiplus::GpImage* normalImage = nullptr);
    virtual HWND CreateButton(HWND parent, int x, int y, int width, int height, const char* text);
    virtual void SetFaceImages(std::optional<Gdiplus::GpImage*> normal = std::nullopt);
    virtual void SetFaceImageData(std::optional<const uint8_t*> normal = std::nullopt);
    virtual void SetBackType(int32_t type);
};

class SkinWindow final {
    virtual void Release();
    virtual SkinWindow* Clone() const;
    virtual bool Attach(HWND window);
    virtual bool SetBackImage(Gdiplus::GpImage* image);
    virtual bool SetBackImageData(const uint8_t* data);
    virtual void BindChildren();
    virtual void Move(std::optional<int> left = std::nullopt);
    virtual HWND GetHandle() const;
    virtual bool IsValid() const;
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace skin
