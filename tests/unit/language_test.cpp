// The language catalogue: every language the build carries is whole and sound in its code page,
// the choice follows the system and /LANG=, and a message is shown translated but logged in English.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>

#include "app/uninst_app.h"
#include "language/language_choice.h"
#include "platform/sim/sim_machine.h"

namespace {

// The bytes of a code page, to UTF-8 and back; nullopt where iconv refuses them.
std::optional<CString> RoundTrip(std::string_view text, std::uint32_t codePage) {
    const CString name = "CP" + std::to_string(codePage);
    auto convert = [](const CString& from, const CString& to, CString input) -> std::optional<CString> {
        const iconv_t converter = iconv_open(to.c_str(), from.c_str());
        if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
        CString output(input.size() * 4 + 4, '\0');
        char* in = input.data();
        char* out = output.data();
        std::size_t inLeft = input.size();
        std::size_t outLeft = output.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        // Code page 1255 holds the last letter back for points that may follow: flush it.
        const std::size_t flushed = iconv(converter, nullptr, nullptr, &out, &outLeft);
        iconv_close(converter);
        const auto failed = static_cast<std::size_t>(-1);
        if (result == failed || flushed == failed || inLeft != 0) return std::nullopt;
        output.resize(output.size() - outLeft);
        return output;
    };
    const auto utf8 = convert(name, "UTF-8", CString(text));
    return utf8 ? convert("UTF-8", name, *utf8) : std::nullopt;
}

// The pieces of a stored text, in order of kind; a piece byte inside a two-byte character is no piece.
std::vector<char> PiecesOf(std::string_view text, const CodePage& codePage) {
    std::vector<char> pieces;
    for (std::size_t at = 0; at < text.size(); at += codePage.CharacterSize(text, at)) {
        if (text[at] >= static_cast<char>(Piece::App) && text[at] <= static_cast<char>(Piece::Version)) {
            pieces.push_back(text[at]);
        }
    }
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

char AcceleratorOf(std::string_view text) {
    const std::size_t at = text.find('&');
    if (at == std::string_view::npos || at + 1 >= text.size()) return 0;
    const char key = text[at + 1];
    return key >= 'a' && key <= 'z' ? static_cast<char>(key - 'a' + 'A') : key;
}

const std::vector<std::vector<TextId>> kDialogs = {
    {TextId::ConfirmUninstallButton, TextId::ConfirmExitButton, TextId::ConfirmAboutMenu},
    {TextId::AboutOkButton},
};

TEST(LanguageCatalogue, EveryLanguageIsWholeAndSoundInItsCodePage) {
    const Language english = Language::English();
    ASSERT_EQ(english.Tag(), "en");
    for (std::size_t index = 0; index < kLanguageRecordCount; ++index) {
        const auto language = Language::At(index);
        ASSERT_TRUE(language) << kLanguageRecords[index].tag << " does not unpack";
        const auto codePage = CodePage::Known(language->CodePage());
        ASSERT_TRUE(codePage) << language->Tag();
        for (std::size_t id = 0; id < kTextCount; ++id) {
            const std::string_view text = language->Text(static_cast<TextId>(id));
            const std::string_view englishText = english.Text(static_cast<TextId>(id));
            SCOPED_TRACE(CString(language->Tag()) + " text " + std::to_string(id) + ": " + CString(text));
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(PiecesOf(text, *codePage), PiecesOf(englishText, *codePage));
            // No lead byte at the end, where it would swallow the terminator.
            std::size_t last = 0;
            for (std::size_t at = 0; at < text.size(); at += codePage->CharacterSize(text, at)) last = at;
            EXPECT_FALSE(last + 1 == text.size() && codePage->IsLeadByte(text[last]));
            EXPECT_EQ(RoundTrip(text, language->CodePage()).value_or("<refused>"), CString(text));
        }
        for (const auto& dialog : kDialogs) {
            std::vector<char> keys;
            for (TextId id : dialog) {
                if (const char key = AcceleratorOf(language->Text(id))) keys.push_back(key);
            }
            std::sort(keys.begin(), keys.end());
            EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << language->Tag();
        }
    }
}

TEST(LanguageCatalogue, FormatPutsEachPieceInItsPlace) {
    const Language english = Language::English();
    EXPECT_EQ(english.Format({TextId::ProgramErrorCode, {{Piece::Code, "-1"}, {Piece::Path, "C:\\A\\B.EXE"}}}),
              "WARNING: C:\\A\\B.EXE exits with error code -1");
    EXPECT_EQ(english.Format({TextId::StatusPrograms}), "EXECUTING PROGRAMS...\n");
}

bool Carries(std::string_view tag) {
    for (std::size_t i = 0; i < kLanguageRecordCount; ++i) {
        if (tag == kLanguageRecords[i].tag) return true;
    }
    return false;
}

struct ChoiceCase {
    std::optional<std::string_view> requested;
    std::optional<std::uint16_t> uiLanguage;
    std::uint32_t codePage;
    const char* chosen;
    const char* reason;
    const char* needs;  // the language the case is about: skipped where the build does not carry it
};

TEST(LanguageChoice, FollowsTheSystemAndTheSwitchWithinTheCodePage) {
    const ChoiceCase cases[] = {
        {std::nullopt, 0x0409, 1252, "en", "system UI language 0x0409", "en"},
        {std::nullopt, 0x0407, 1252, "de", "system UI language 0x0407", "de"},
        {std::nullopt, 0x0C07, 1252, "de", "system UI language 0x0c07", "de"},  // Austria: German by its language
        {std::nullopt, 0x0411, 932, "ja", "system UI language 0x0411", "ja"},
        {std::nullopt, 0x0411, 1252, "en", "system UI language 0x0411, but the code page 1252 cannot show ja", "ja"},
        {std::nullopt, 0x0419, 1251, "ru", "system UI language 0x0419", "ru"},
        {std::nullopt, 0x0404, 950, "zh-TW", "system UI language 0x0404", "zh-TW"},
        {std::nullopt, 0x0804, 936, "zh-CN", "system UI language 0x0804", "zh-CN"},
        // Neither Chinese stands in for the other.
        {std::nullopt, 0x0404, 936, "en", "system UI language 0x0404, but the code page 936 cannot show zh-TW", "zh-TW"},
        {std::nullopt, 0x0804, 950, "en", "system UI language 0x0804, but the code page 950 cannot show zh-CN", "zh-CN"},
        {std::nullopt, 0x0412, 949, "ko", "system UI language 0x0412", "ko"},
        // Brazil and Portugal each have their own Portuguese; Nynorsk reads Bokmål by its language.
        {std::nullopt, 0x0416, 1252, "pt-BR", "system UI language 0x0416", "pt-BR"},
        {std::nullopt, 0x0816, 1252, "pt-PT", "system UI language 0x0816", "pt-PT"},
        {std::nullopt, 0x0814, 1252, "nb", "system UI language 0x0814", "nb"},
        {std::nullopt, 0x0405, 1250, "cs", "system UI language 0x0405", "cs"},
        {std::nullopt, 0x0422, 1251, "uk", "system UI language 0x0422", "uk"},
        {std::nullopt, 0x0408, 1253, "el", "system UI language 0x0408", "el"},
        {std::nullopt, 0x041F, 1254, "tr", "system UI language 0x041f", "tr"},
        {std::nullopt, 0x041E, 874, "th", "system UI language 0x041e", "th"},
        {std::nullopt, 0x041E, 1252, "en", "system UI language 0x041e, but the code page 1252 cannot show th", "th"},
        {std::nullopt, 0x0408, 1251, "en", "system UI language 0x0408, but the code page 1251 cannot show el", "el"},
        {std::nullopt, 0x040D, 1255, "he", "system UI language 0x040d", "he"},
        {std::nullopt, 0x0401, 1256, "ar", "system UI language 0x0401", "ar"},
        {std::nullopt, 0x0C01, 1256, "ar", "system UI language 0x0c01", "ar"},  // Egypt: Arabic by its language
        {std::nullopt, 0x040D, 1256, "en", "system UI language 0x040d, but the code page 1256 cannot show he", "he"},
        {"AR", 0x0409, 1256, "ar", "/LANG=AR", "ar"},
        {std::nullopt, 0x0425, 1257, "en", "system UI language 0x0425 has no translation", "en"},
        {std::nullopt, std::nullopt, 1252, "en", "the system tells no UI language", "en"},
        {"de", 0x0409, 1252, "de", "/LANG=de", "de"},
        {"PT-br", 0x0409, 1252, "pt-BR", "/LANG=PT-br", "pt-BR"},
        {"pt-pt", 0x0416, 1252, "pt-PT", "/LANG=pt-pt", "pt-PT"},
        {"TR", 0x0409, 1254, "tr", "/LANG=TR", "tr"},
        {"ja", 0x0411, 1252, "en", "/LANG=ja, but the code page 1252 cannot show ja", "ja"},
        {"en", 0x0411, 932, "en", "/LANG=en", "en"},
        {"xx", 0x0407, 1252, "en", "/LANG=xx is no language of this program", "en"},
    };
    for (const ChoiceCase& c : cases) {
        const LanguageChoice choice = ChooseLanguage(c.requested, c.uiLanguage, c.codePage);
        SCOPED_TRACE(c.reason);
        if (!Carries(c.needs)) continue;
        EXPECT_EQ(choice.language.Tag(), c.chosen);
        EXPECT_EQ(choice.reason, c.reason);
    }
}

CString ReadFile(SimMachine& machine, const CString& path) {
    auto file = machine.files().OpenForReading(path);
    if (!file) return "<no file>";
    CString text(file->GetSize(), '\0');
    std::uint32_t bytesRead = 0;
    file->Read(text, bytesRead);
    text.resize(bytesRead);
    return text;
}

// The window speaks the chosen language, from the system or from /LANG=, and reads from right to
// left where the language does; the log keeps the English, as administrators compare logs.
TEST(LanguageChoice, MessageShownTranslatedAndLoggedInEnglish) {
    for (std::size_t index = 0; index < kLanguageRecordCount; ++index) {
        const auto language = Language::At(index);
        ASSERT_TRUE(language);
        const CString tag(language->Tag());
        for (const bool byArgument : {false, true}) {
            SCOPED_TRACE(tag + (byArgument ? " by /LANG=" : " by the system"));
            SimMachine machine;
            machine.system()
                .SetCodePage(language->CodePage())
                .SetUiLanguage(byArgument ? 0x0409 : language->Record().langIds[0])
                .SetVersionEx(OsVersion{1, 3, 95})
                .SetArgumentText(byArgument ? "/LANG=\"" + tag + "\" /LOG=C:\\run.log" : CString("/LOG=C:\\run.log"));
            {
                CUninstApp app(machine.platform());
                app.InitInstance();
            }
            const auto boxes = machine.transcript().MessageBoxes();
            ASSERT_FALSE(boxes.empty());
            EXPECT_EQ(boxes.front().text, language->Format({TextId::UnsupportedSystem}));
            EXPECT_EQ(boxes.front().style & mb::kRightToLeft, language->RightToLeft() ? mb::kRightToLeft : 0u);
            const CString log = ReadFile(machine, "C:\\run.log");
            const CString how = byArgument ? " (/LANG=" + tag + ")" : CString(" (system UI language ");
            EXPECT_NE(log.find("language: " + tag + how), CString::npos) << log;
            EXPECT_NE(log.find("message: " + Language::English().Format({TextId::UnsupportedSystem}) + " -> OK"),
                      CString::npos)
                << log;
        }
    }
}

}  // namespace
