#include "language/language.h"

#include "language/language_packing.h"

namespace {

std::string_view BlockOf(const LanguageRecord& record) {
    return {reinterpret_cast<const char*>(record.block), record.blockSize};
}

bool IsPieceByte(char byte) { return byte >= static_cast<char>(Piece::App) && byte <= static_cast<char>(Piece::Version); }

}  // namespace

Language::Language(const LanguageRecord& record, CString texts) : m_record(&record) {
    auto unpacked = std::make_unique<Texts>();
    unpacked->starts.assign(kTextCount + 1, 0);
    // Text by text rather than byte by byte: a program makes the English more than once a run.
    const std::string_view bytes(texts);
    std::size_t at = 0;
    for (std::size_t text = 1; text <= kTextCount; ++text) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string_view::npos) break;
        at = end + 1;
        unpacked->starts[text] = static_cast<std::uint16_t>(at);
    }
    unpacked->bytes = std::move(texts);
    m_texts = std::move(unpacked);
}

Language Language::English() { return Language(kLanguageRecords[0], CString(BlockOf(kLanguageRecords[0]))); }

std::optional<Language> Language::At(std::size_t index) {
    if (index >= kLanguageRecordCount) return std::nullopt;
    const LanguageRecord& record = kLanguageRecords[index];
    if (!record.packed) return Language(record, CString(BlockOf(record)));
    auto texts = UnpackTexts(BlockOf(record), BlockOf(kLanguageRecords[0]), record.textSize);
    if (!texts) return std::nullopt;
    // A block with fewer texts than the catalogue names is not this program's.
    std::size_t ends = 0;
    for (char byte : *texts) ends += byte == '\0';
    if (ends < kTextCount) return std::nullopt;
    return Language(record, std::move(*texts));
}

std::string_view Language::Text(TextId id) const {
    const auto index = static_cast<std::size_t>(id);
    const std::vector<std::uint16_t>& starts = m_texts->starts;
    return std::string_view(m_texts->bytes).substr(starts[index], starts[index + 1] - starts[index] - 1);
}

CString Language::Format(const Message& message) const {
    CString result;
    for (char byte : Text(message.id)) {
        if (!IsPieceByte(byte)) {
            result += byte;
            continue;
        }
        for (const auto& [piece, value] : message.pieces) {
            if (static_cast<char>(piece) == byte) {
                result += value;
                break;
            }
        }
    }
    return result;
}
