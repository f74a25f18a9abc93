#pragma once
// The windows of a dry run: none is shown. Messages and questions go into the plan, answered as
// the recorder says; the progress window's phase texts become the plan's headings.

#include "platform/plan/plan_record.h"
#include "platform/user_interface.h"

class PlanUi : public IUserInterface {
public:
    explicit PlanUi(PlanRecorder& recorder) : m_recorder(recorder) {}

    int ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void Enable3dControls(const CString&) override {}
    int RunConfirmationDialog(const CString& appName, const Language& language) override;
    std::unique_ptr<IProgressWindow> CreateProgressWindow(const CString& appName, const Language& language) override;

private:
    PlanRecorder& m_recorder;
};
