#pragma once
// A dialog from a template resource, modal or modeless, with the exchange of member values and
// control texts that dialogs run on initialisation and on UpdateData.

#include <vector>

#include "platform/win32/wnd.h"

class CDialog;

// One pass of exchange, in one direction, over a dialog's controls.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    bool SavesAndValidates() const { return m_saveAndValidate; }
    // Binds a control object to the dialog item on the first exchange.
    void Control(int id, CWnd& control);
    // Towards the controls a text is written only when it differs from the control's text.
    void Text(int id, CString& value);

private:
    CDialog& m_dialog;
    bool m_saveAndValidate;
};

class CDialog : public CWnd {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    ~CDialog() override;

    // Runs the dialog modally, owned by owner's window when it has one; the ending code.
    INT_PTR DoModal(const CWnd* owner = nullptr);
    // Creates the dialog modeless, owned by owner's window when it has one.
    bool Create(const CWnd* owner = nullptr);
    void DestroyWindow();

    bool UpdateData(bool saveAndValidate);
    // A template in memory that replaces the resource; an empty one keeps the resource.
    void UseTemplate(std::vector<unsigned char> memoryTemplate) { m_memoryTemplate = std::move(memoryTemplate); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    // A WM_COMMAND; true when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnOK();
    virtual void OnCancel();

    // Dialogs see every message before the dialog manager's default processing.
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    std::vector<unsigned char> m_memoryTemplate;
    bool m_modal = false;
};
