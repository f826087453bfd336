// The property layer: its own write is the one that marks.
void SetSkinProp(HWND window, const char* key, intptr_t value) {
    sys::SetPropA(window, key, reinterpret_cast<HANDLE>(value));
}
