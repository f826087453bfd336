// Planted: a property write that bypasses the marking, beside an allowed removal.
void Planted(HWND window) {
    sys::RemovePropA(window, key::kTime);
    sys::SetPropA(window, key::kBackColor, nullptr);
}
