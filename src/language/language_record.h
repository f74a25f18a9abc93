#pragma once
// One language as the build stores it (make_catalogue.py writes the table): its tag, code page,
// the Windows language identifiers that choose it, and its block of texts.

#include <cstddef>
#include <cstdint>

struct LanguageRecord {
    const char* tag;
    std::uint32_t codePage;
    const std::uint16_t* langIds;  // best first
    std::size_t langIdCount;
    // The texts in the order of TextId, each ended by a zero byte, pieces as the bytes of Piece;
    // packed against the English block except for English itself.
    const unsigned char* block;
    std::size_t blockSize;
    std::size_t textSize;
    bool packed;
    // Its windows read from right to left (Hebrew, Arabic).
    bool rightToLeft;
};

// English first; the build decides which others follow.
extern const LanguageRecord kLanguageRecords[];
extern const std::size_t kLanguageRecordCount;
