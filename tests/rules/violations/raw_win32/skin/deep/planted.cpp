// Planted: two system calls that bypass the table, beside an allowed one, and a paint DC begun by hand.
void Planted(HWND window, RECT* rect) {
    sys::GetWindowRect(window, rect);
    GetWindowRect(window, rect);
    ::SetPropA(window, "PngControl_Type", nullptr);
    sys::BeginPaint(window, nullptr);
}
