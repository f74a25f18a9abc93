#pragma once
// The progress window's bar: a static control whose own text is the percentage it paints, as
// a filled fraction and as a centred label.

#include "platform/win32/static.h"

class CProgressBar : public CStatic {
protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};
