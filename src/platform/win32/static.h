#pragma once
// A static control bound to a dialog item; it handles nothing itself.

#include "platform/win32/wnd.h"

class CStatic : public CWnd {};
