#include "ui/win32/uninst_dlg.h"

#include <cstring>
#include <string>

#include "dialog/dialog_logic.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/reading_order.h"

namespace {

constexpr LONG kTitleWeight = 900;
constexpr LONG kSubtitleWeight = 400;
constexpr char kHeadingFace[] = "Arial";
constexpr WPARAM kBigIcon = 1;
constexpr WPARAM kSmallIcon = 0;
constexpr WPARAM kSystemCommandMask = 0xFFF0;

}  // namespace

CUninstDlg::CUninstDlg(CString appName, const Language& language)
    : CDialog(IDD_UNINST_DIALOG),
      m_message(ConfirmationMessage(language, appName)),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_appName(std::move(appName)),
      m_language(language),
      m_scriptFont(ScriptFontFor(language.CodePage())) {
    UseTemplate(TemplateForLanguage(IDD_UNINST_DIALOG, language));
}

void CUninstDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Control(IDC_TITLE, m_title);
    exchange.Control(IDC_SUBTITLE, m_subtitle);
    exchange.Text(IDC_MESSAGE, m_message);
}

BOOL CUninstDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyReadingOrder(m_hWnd, m_language);
    SetWindowText(ConfirmationCaption(m_language, m_appName));
    SetItemText(m_hWnd, IDC_TITLE, m_language.Text(TextId::ConfirmTitle));
    SetItemText(m_hWnd, IDC_SUBTITLE, m_language.Text(TextId::ConfirmSubtitle));
    SetItemText(m_hWnd, IDOK, m_language.Text(TextId::ConfirmUninstallButton));
    SetItemText(m_hWnd, IDCANCEL, m_language.Text(TextId::ConfirmExitButton));
    CreateHeadingFonts();
    AddAboutItem();
    SendMessageA(m_hWnd, WM_SETICON, kBigIcon, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, kSmallIcon, reinterpret_cast<LPARAM>(m_hIcon));
    return TRUE;
}

void CUninstDlg::CreateHeadingFonts() {
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(m_title.GetSafeHwnd(), WM_GETFONT, 0, 0));
    if (font == nullptr) font = GetStockObject(SYSTEM_FONT);
    if (font == nullptr) return;
    LOGFONTA description{};
    static_assert(sizeof(description) == 60);
    if (GetObjectA(font, sizeof(description), &description) == 0) return;

    const FontSize title = TitleFontSize({description.lfHeight, description.lfWidth});
    description.lfWeight = kTitleWeight;
    description.lfUnderline = 1;
    description.lfHeight = title.height;
    description.lfWidth = title.width;
    description.lfCharSet = HeadingCharset(m_language.CodePage());
    description.lfOutPrecision = 0;
    description.lfClipPrecision = 0;
    description.lfQuality = 0;
    description.lfPitchAndFamily = 0;
    const CString face = m_scriptFont ? AnsiFaceName(*m_scriptFont) : CString(kHeadingFace);
    description.lfFaceName[face.copy(description.lfFaceName, LF_FACESIZE - 1)] = '\0';
    m_titleFont.CreateFontIndirect(description);

    const FontSize subtitle = SubtitleFontSize(title);
    description.lfWeight = kSubtitleWeight;
    description.lfUnderline = 0;
    description.lfItalic = 1;
    description.lfHeight = subtitle.height;
    description.lfWidth = subtitle.width;
    m_subtitleFont.CreateFontIndirect(description);

    SendMessageA(m_title.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.GetSafeHandle()), TRUE);
    SendMessageA(m_subtitle.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_subtitleFont.GetSafeHandle()),
                 TRUE);
}

void CUninstDlg::AddAboutItem() {
    const HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    if (systemMenu == nullptr) return;
    const CString text(m_language.Text(TextId::ConfirmAboutMenu));
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

std::optional<LRESULT> CUninstDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            if (OnSysCommand(wParam)) return 0;
            return std::nullopt;
        case WM_PAINT:
            if (OnPaint()) return 0;
            return std::nullopt;
        case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hIcon);
        default: return CDialog::OnMessage(message, wParam, lParam);
    }
}

bool CUninstDlg::OnSysCommand(WPARAM command) {
    if ((command & kSystemCommandMask) != IDM_ABOUTBOX) return false;
    CAboutDlg about(m_language);
    about.DoModal(this);
    return true;
}

bool CUninstDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int x = CenteredOffset(client.right - client.left, GetSystemMetrics(SM_CXICON));
    const int y = CenteredOffset(client.bottom - client.top, GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}
