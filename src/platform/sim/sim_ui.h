#pragma once
// The in-memory machine's windows: message boxes and the confirmation dialog answered from a
// script, and the progress window, every one recorded in the transcript.

#include <deque>

#include "platform/sim/transcript.h"
#include "platform/user_interface.h"

class SimUi : public IUserInterface {
public:
    explicit SimUi(SimTranscript& transcript);

    // Answers the next scripted answer; without one, the box's default button. An answer that is
    // not one of the box's buttons is a fault of the test and throws.
    int ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void Enable3dControls(const CString& modulePath) override;
    // Answers the next scripted answer; without one, IDOK.
    int RunConfirmationDialog(const CString& appName, const Language& language) override;
    std::unique_ptr<IProgressWindow> CreateProgressWindow(const CString& appName, const Language& language) override;

    // Test API.
    SimUi& AnswerMessageBoxes(std::initializer_list<int> answers);
    SimUi& AnswerConfirmation(int answer);
    std::size_t UnusedMessageBoxAnswers() const { return m_boxAnswers.size(); }
    // Begins minus ends so far.
    int WaitCursorDepth() const { return m_waitCursorDepth; }
    bool ProgressWindowOpen() const { return m_progressOpen; }

private:
    SimTranscript& m_transcript;
    std::deque<int> m_boxAnswers;
    std::deque<int> m_confirmationAnswers;
    int m_waitCursorDepth = 0;
    bool m_progressOpen = false;
};
