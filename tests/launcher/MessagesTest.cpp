#include "launcher/Messages.h"

#include <gtest/gtest.h>

namespace kanne {

struct FormatCase {
    const char* format;
    std::initializer_list<FormatArg> args;
    const char* expected;
};

TEST(Messages, FormatTextFillsStringsAndSignedDecimals)
{
    const FormatCase cases[] = {
        {"COM error: %s (errno = %d).\n", {"Initialisierung fehlgeschlagen", static_cast<int>(0x80004005)},
         "COM error: Initialisierung fehlgeschlagen (errno = -2147467259).\n"},
        {"a %d b", {-1}, "a -1 b"},
        {"%s und %s", {"1.5", "1.6"}, "1.5 und 1.6"},
        {"100%% %s", {"x"}, "100% x"},
        {"kept %x %u %", {}, "kept %x %u %"},
        {"missing %s|%d", {}, "missing |0"},
        {"no placeholders", {"unused"}, "no placeholders"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(formatText(c.format, c.args), c.expected) << c.format;
}

TEST(Messages, FormatTextHasNoLengthLimit)
{
    std::string path(5000, 'p');
    std::string text = formatText(TextId::JvmLibraryNotLoadable, {path, 193});
    EXPECT_EQ(text, "Laden der Java VM Bibliothek: " + path + " (errno = 193).\n fehlgeschlagen");
}

TEST(Messages, StringTableHoldsEveryTextExactly)
{
    const std::pair<TextId, const char*> texts[] = {
        {TextId::WindowsException, "Windows exception: %s (errno = %d).\n"},
        {TextId::JniException, "JNI exception: %s.\n"},
        {TextId::ComError, "COM error: %s (errno = %d).\n"},
        {static_cast<TextId>(205), "JNI exception: %s.\n"},
        {TextId::RuntimeNotFoundServer,
         "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden eine JRE mit einer Server JVM (%s) "
         "herunter und installiern Sie beide von:"},
        {TextId::RuntimeNotFound, "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden Sie eine "
                                  "JRE (%s) herunter und installieren Sie sie von:"},
        {TextId::ModulePathUnavailable, "Modul-Pfad nicht ermittelbar"},
        {TextId::ClassPathMissing, "Java Class Pfad in der INI-Datei nicht spezifiziert."},
        {TextId::MainClassMissing, "Main Class war in der INI-Datei nicht spezifiziert."},
        {TextId::MainClassNotLoadable, "Laden der Main Class: %s.\n fehlgeschlagen"},
        {TextId::CreateJavaVmMissing, "CreateJavaVM JNI nicht gefunden"},
        {TextId::VmCreationFailed, "Erzeugung der Java VM fehlgeschlagen"},
        {TextId::BrowseForRuntimeTitle, "Suchen nach dem JRE Ordner"},
        {TextId::MainClassNotFound, "Main Class %s.\n nicht gefunden"},
        {TextId::MainMethodNotFound, "Keine Main Method in der spezifizierten Klasse gefunden.\n"},
        {TextId::NewestVersion, "Neueste Version"},
        {TextId::MaximumVersion, "Maximum Version %s"},
        {TextId::MinimumVersion, "Minimum Version %s"},
        {TextId::VersionRequired, "Version %s erforderlich"},
        {TextId::VersionBetween, "Version zwischen %s und %s"},
        {TextId::JvmLibraryNotLoadable, "Laden der Java VM Bibliothek: %s (errno = %d).\n fehlgeschlagen"},
        {TextId::InitializationFailed, "Initialisierung fehlgeschlagen"},
        {TextId::ModuleInitializationFailed, "Modul-Initialisierung fehlgeschlagen"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(loadText(id), text) << static_cast<unsigned>(id);
    EXPECT_EQ(loadText(static_cast<TextId>(201)), "");
}

TEST(Messages, StartUpBoxShowsNegativeCodes)
{
    std::string text = formatText(TextId::ComError, {loadText(TextId::ModuleInitializationFailed),
                                                     static_cast<int>(E_OUTOFMEMORY)});
    EXPECT_EQ(text, "COM error: Modul-Initialisierung fehlgeschlagen (errno = -2147024882).\n");
}

namespace {
struct RecordedBox {
    HWND owner;
    std::string text;
    bool hasCaption;
    UINT style;
};
RecordedBox lastBox;
int WINAPI recordBox(HWND owner, const char* text, const char* caption, UINT style)
{
    lastBox = {owner, text, caption != nullptr, style};
    return IDOK;
}
} // namespace

TEST(Messages, ShowErrorUsesTheErrorIconAndNoCaption)
{
    replaceMessageBox(recordBox);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    showError(owner, TextId::WindowsException, {loadText(TextId::ModulePathUnavailable), 5});
    replaceMessageBox(nullptr);
    EXPECT_EQ(lastBox.owner, owner);
    EXPECT_EQ(lastBox.text, "Windows exception: Modul-Pfad nicht ermittelbar (errno = 5).\n");
    EXPECT_FALSE(lastBox.hasCaption);
    EXPECT_EQ(lastBox.style, static_cast<UINT>(MB_ICONERROR));
}

} // namespace kanne
