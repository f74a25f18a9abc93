#pragma once
// A GDI font owned by its object: deleted when the object goes or gets another font.

#include <windows.h>

#include "platform/win32/handles.h"

class CFont {
public:
    bool CreateFontIndirect(const LOGFONTA& description) {
        m_font.reset(::CreateFontIndirectA(&description));
        return m_font != nullptr;
    }
    HFONT GetSafeHandle() const { return m_font.get(); }

private:
    UniqueGdiObject<HFONT> m_font;
};
