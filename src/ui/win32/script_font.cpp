#include "ui/win32/script_font.h"

#include <string>

namespace {

// Microsoft names "MS UI Gothic" as the shell font of Japanese Windows 98 and NT 4; where a
// system lacks a face, the font mapper takes one of the charset.
constexpr ScriptFont kJapanese{9, L"MS UI Gothic", SHIFTJIS_CHARSET};
constexpr ScriptFont kSimplifiedChinese{9, L"\x5B8B\x4F53", GB2312_CHARSET};                 // SimSun
constexpr ScriptFont kTraditionalChinese{9, L"\x65B0\x7D30\x660E\x9AD4", CHINESEBIG5_CHARSET};  // PMingLiU
constexpr ScriptFont kKorean{9, L"\xAD74\xB9BC", HANGUL_CHARSET};                             // Gulim

// Sizes of the fixed headers of DLGTEMPLATE and DLGTEMPLATEEX, and where each keeps its styles.
constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kExtendedHeaderSize = 26;
constexpr std::size_t kExtendedStyleOffset = 12;
constexpr std::size_t kExStyleOffset = 4;
constexpr std::size_t kExtendedExStyleOffset = 8;
// DLGTEMPLATEEX has weight, italic and charset after the point size.
constexpr std::size_t kExtendedFontFields = 4;
constexpr std::size_t kExtendedCharsetOffset = 3;

class TemplateReader {
public:
    TemplateReader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Fits(std::size_t end) const { return end <= m_size; }
    WORD Word(std::size_t at) const { return static_cast<WORD>(m_data[at] | (m_data[at + 1] << 8)); }
    DWORD Dword(std::size_t at) const { return Word(at) | (static_cast<DWORD>(Word(at + 2)) << 16); }
    // Past a zero-ended UTF-16 string; 0 when it runs off the end.
    std::size_t PastString(std::size_t at) const {
        for (; Fits(at + 2); at += 2) {
            if (Word(at) == 0) return at + 2;
        }
        return 0;
    }
    // Past a name that is either 0xFFFF and an ordinal, or a string.
    std::size_t PastNameOrOrdinal(std::size_t at) const {
        if (at == 0 || !Fits(at + 2)) return 0;
        return Word(at) == 0xFFFF ? at + 4 : PastString(at);
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
};

void AppendWord(std::vector<unsigned char>& out, WORD value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

}  // namespace

std::optional<ScriptFont> ScriptFontFor(std::uint32_t codePage) {
    switch (codePage) {
        case 932: return kJapanese;
        case 936: return kSimplifiedChinese;
        case 949: return kKorean;
        case 950: return kTraditionalChinese;
        default: return std::nullopt;
    }
}

BYTE HeadingCharset(std::uint32_t codePage) {
    if (const std::optional<ScriptFont> font = ScriptFontFor(codePage)) return font->charset;
    return codePage == 1252 ? ANSI_CHARSET : DEFAULT_CHARSET;
}

CString AnsiFaceName(const ScriptFont& font) {
    std::string face(LF_FACESIZE, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, font.face, -1, face.data(), LF_FACESIZE, nullptr, nullptr);
    face.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return face;
}

std::vector<unsigned char> AdaptedTemplate(int templateId, const ScriptFont* font, bool mirrored) {
    if (font == nullptr && !mirrored) return {};
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (resource == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module, resource);
    const auto* data = static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const std::size_t size = SizeofResource(module, resource);
    if (data == nullptr || size < kExtendedHeaderSize) return {};

    const TemplateReader reader(data, size);
    const bool extended = reader.Word(0) == 1 && reader.Word(2) == 0xFFFF;
    // Without a font of the script's, the whole template is copied as it stands.
    std::size_t fontAt = size;
    std::size_t faceAt = 0;
    std::size_t itemsAt = 0;
    if (font != nullptr) {
        const DWORD style = reader.Dword(extended ? kExtendedStyleOffset : 0);
        if ((style & DS_SETFONT) == 0) return {};
        const std::size_t menuAt = extended ? kExtendedHeaderSize : kHeaderSize;
        fontAt = reader.PastString(reader.PastNameOrOrdinal(reader.PastNameOrOrdinal(menuAt)));
        faceAt = fontAt + 2 + (extended ? kExtendedFontFields : 0);
        if (fontAt == 0 || !reader.Fits(faceAt)) return {};
        const std::size_t faceEnd = reader.PastString(faceAt);
        // The controls start on the next DWORD boundary, in the copy as in the resource.
        itemsAt = (faceEnd + 3) & ~std::size_t{3};
        if (faceEnd == 0 || !reader.Fits(itemsAt)) return {};
    }

    std::vector<unsigned char> copy(data, data + fontAt);
    if (font != nullptr) {
        AppendWord(copy, font->pointSize);
        if (extended) {
            copy.insert(copy.end(), data + fontAt + 2, data + faceAt);
            copy[fontAt + 2 + kExtendedCharsetOffset] = font->charset;
        }
        for (const wchar_t* c = font->face; *c != 0; ++c) AppendWord(copy, static_cast<WORD>(*c));
        AppendWord(copy, 0);
        while (copy.size() % 4 != 0) copy.push_back(0);
        copy.insert(copy.end(), data + itemsAt, data + size);
    }
    if (mirrored) copy[(extended ? kExtendedExStyleOffset : kExStyleOffset) + 2] |= WS_EX_LAYOUTRTL >> 16;
    return copy;
}
