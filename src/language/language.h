#pragma once
// The texts of one language of the catalogue, unpacked, and the messages formatted from them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "language/language_record.h"
#include "language/message.h"

class Language {
public:
    static Language English();
    // The language at this place of the catalogue; nullopt past its end or for a block that
    // does not unpack.
    static std::optional<Language> At(std::size_t index);

    const LanguageRecord& Record() const { return *m_record; }
    std::string_view Tag() const { return m_record->tag; }
    std::uint32_t CodePage() const { return m_record->codePage; }
    bool RightToLeft() const { return m_record->rightToLeft; }
    // The stored text: pieces still as their bytes.
    std::string_view Text(TextId id) const;
    // The text with its pieces put in; a piece the message does not carry stays empty.
    CString Format(const Message& message) const;

private:
    Language(const LanguageRecord& record, CString texts);

    struct Texts {
        CString bytes;
        std::vector<std::uint16_t> starts;  // of each text, and one past the last
    };

    const LanguageRecord* m_record;
    // On the heap: the checker keeps two application objects in one stack frame.
    std::unique_ptr<const Texts> m_texts;
};
