#include "ui/win32/progress_bar.h"

#include "dialog/dialog_logic.h"
#include "platform/win32/handles.h"

namespace {

constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr UINT kLabelFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr char kPercentSign[] = "%";

// One side of the bar: the whole client area is filled and labelled, clipped to that side.
void PaintSide(HDC dc, HRGN side, const RECT& client, COLORREF fill, COLORREF ink, const CString& label) {
    SelectClipRgn(dc, side);
    const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(fill));
    FillRect(dc, &client, brush.get());
    SetTextColor(dc, ink);
    SetBkColor(dc, fill);
    RECT area = client;
    DrawTextA(dc, label.c_str(), -1, &area, kLabelFormat);
}

}  // namespace

std::optional<LRESULT> CProgressBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return FALSE;  // every paint covers the whole bar
        case WM_PAINT: OnPaint(); return 0;
        case WM_SETTEXT: return OnSetText(wParam, lParam);
        default: return std::nullopt;
    }
}

void CProgressBar::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(m_hWnd, &paint);
    const CString text = GetWindowText();
    RECT client{};
    GetClientRect(m_hWnd, &client);
    // A mirrored bar fills from the right by itself; one that only reads from right to left must
    // be filled from there.
    const LONG exStyle = GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    const bool fromRight = (exStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) == WS_EX_RTLREADING;
    const BarParts parts = SplitBar(client.left, client.right, ParsePercentText(text), fromRight);
    const UniqueGdiObject<HRGN> filled(CreateRectRgn(parts.filledLeft, client.top, parts.filledRight, client.bottom));
    const UniqueGdiObject<HRGN> empty(CreateRectRgn(parts.emptyLeft, client.top, parts.emptyRight, client.bottom));
    const CString label = text + kPercentSign;

    const int saved = SaveDC(dc);
    PaintSide(dc, filled.get(), client, kBlue, kWhite, label);
    PaintSide(dc, empty.get(), client, kWhite, kBlue, label);
    RestoreDC(dc, saved);
    EndPaint(m_hWnd, &paint);
}

LRESULT CProgressBar::OnSetText(WPARAM wParam, LPARAM lParam) {
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return CallOriginalProc(WM_SETTEXT, wParam, lParam);
}
