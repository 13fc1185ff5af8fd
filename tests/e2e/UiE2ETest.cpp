// The user interface seen from outside: the splash screen and the
// runtime-not-found dialog as uiauto finds them on the screen, driven as a
// user drives them (mouse clicks, the shell's folder browser, Escape).
#include "e2e/Harness.h"
#include "e2e/UiE2ETestSupport.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

namespace kanne::e2e {

using namespace ui;

namespace {

const char* const dialogCaption = "JRE nicht gefunden";
const char* const splashClass = "SplashScreenWindow";
const char* const downloadAddress = "https://adoptium.net";

// Steps for uiauto: the dialog, whether it is new or seen before, and the
// shell's folder browser.
std::string onDialog(const std::string& actions) { return "caption=" + stepValue(dialogCaption) + " again=1 do=" + actions; }
std::string inBrowser(const std::string& folder) { return "with=SysTreeView32 do=browse:" + stepValue(folder); }
std::string onSplash(const std::string& actions) { return std::string("class=") + splashClass + " again=1 do=" + actions; }

// Settings that reach the runtime-not-found dialog: nothing configured, no
// runtime beside the executable, none registered in the test prefix.
std::string settingsWithSplash(const std::string& image, const char* shadow = nullptr)
{
    std::string ini = std::string(completeSettings) + "[Display]\r\nSplash Screen=" + image + "\r\n";
    if (shadow)
        ini += std::string("Splash Screen Shadow=") + shadow + "\r\n";
    return ini;
}

// Settings of a test application whose [Java Runtime Environment] section
// comes last, so that more of its keys may follow; with no runtime there the
// dialog appears.
std::string testAppSettings(const std::string& mainClass)
{
    return "[Class Path]\r\nClass Path=" + toolPaths().javaApps + "\r\n[Java Runtime Environment]\r\nMain Class=" +
           mainClass + "\r\n";
}

std::string iniText(const AppFolder& app)
{
    std::string text;
    test::readFile(app.iniPath(), text);
    return text;
}

std::string jrePathOf(const AppFolder& app)
{
    char value[1024] = "";
    GetPrivateProfileStringA("Java Runtime Environment", "JRE Path", "", value, sizeof value, app.iniPath().c_str());
    return value;
}

void expectEndedAfterTheDialog(const Outcome& run, int exitCode)
{
    ASSERT_TRUE(run.started) << run.report;
    EXPECT_FALSE(run.timedOut) << run.report;
    EXPECT_FALSE(sightingsOf(run, "#32770", dialogCaption).empty()) << run.report;
    EXPECT_EQ(run.exitCode, exitCode) << run.report;
}

// Pixels of the splash picture `seen` that differ from the bitmap, leaving
// out those off the screen and those under `covering` (a window in front of
// the splash). `compared` counts the pixels looked at.
int differingPixels(const Picture& seen, const Picture& bitmap, const Window& splash, const Window* covering,
                    int& compared)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int differing = 0;
    compared = 0;
    for (int y = 0; y < seen.height && y < bitmap.height; ++y)
        for (int x = 0; x < seen.width && x < bitmap.width; ++x) {
            long screenX = splash.x + x, screenY = splash.y + y;
            if (screenX < 0 || screenY < 0 || screenX >= screenWidth || screenY >= screenHeight)
                continue;
            if (covering && screenX >= covering->x && screenX < covering->x + covering->width &&
                screenY >= covering->y && screenY < covering->y + covering->height)
                continue;
            ++compared;
            differing += seen.at(x, y) != bitmap.at(x, y);
        }
    return differing;
}

bool hasBox(const Outcome& run)
{
    for (const Window& w : run.windows)
        if (w.isBox)
            return true;
    return false;
}

const unsigned long visibleBits = WS_VISIBLE;

} // namespace

// ---------------------------------------------------------------- splash

TEST(Splash, IsACentredBorderlessToolWindowOfTheBitmapsSize)
{
    struct Case {
        int width, height;
    };
    const Case cases[] = {{400, 300}, {401, 301}, {1600, 1200}};
    const int fullWidth = GetSystemMetrics(SM_CXFULLSCREEN), fullHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        AppFolder app;
        Picture pattern = testPattern(c.width, c.height);
        std::string image = app.folder() + "splash.bmp";
        ASSERT_TRUE(writeBitmap(image, pattern));
        app.writeIni(settingsWithSplash(image));
        std::string shot = app.folder() + "shot.bmp";
        std::string artifact =
            artifactFolder() + "splash-" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".png";
        RunOptions options;
        options.steps = {onSplash("shot:" + stepValue(shot) + ",shot:" + stepValue(artifact)), onDialog("escape")};
        Outcome run = app.run(options);

        expectEndedAfterTheDialog(run, -1);
        std::vector<Sighting> splash = sightingsOf(run, splashClass);
        ASSERT_FALSE(splash.empty()) << run.report;
        const Window& w = splash[0].window;
        EXPECT_EQ(w.caption, "");
        EXPECT_EQ(w.owner, "0x0");
        EXPECT_EQ(w.style & ~WS_CLIPSIBLINGS, WS_POPUP | visibleBits) << std::hex << w.style;
        EXPECT_EQ(w.exStyle, static_cast<unsigned long>(WS_EX_TOOLWINDOW)) << std::hex << w.exStyle;
        EXPECT_EQ(splash[0].classStyle, 0x0808ul) << std::hex << splash[0].classStyle;
        EXPECT_EQ(w.x, (fullWidth - c.width) / 2);
        EXPECT_EQ(w.y, (fullHeight - c.height) / 2);
        EXPECT_EQ(w.width, c.width);
        EXPECT_EQ(w.height, c.height);
        // The teardown closes it: gone before the process ended.
        long gone = goneAt(run, w.hwnd);
        EXPECT_GE(gone, 0) << run.report;
        EXPECT_LE(gone, exitAt(run)) << run.report;

        // The dialog stands in front of the splash's middle; the part of a
        // large splash beyond the screen is not compared.
        std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
        ASSERT_FALSE(dialog.empty());
        Picture seen;
        ASSERT_TRUE(readBitmap(shot, seen)) << run.report;
        ASSERT_EQ(seen.width, c.width);
        ASSERT_EQ(seen.height, c.height);
        int compared = 0;
        EXPECT_EQ(differingPixels(seen, pattern, w, &dialog[0].window, compared), 0);
        EXPECT_GT(compared, 10000);
    }
}

TEST(Splash, CastsAShadowOnlyForTheExactValueTrue)
{
    struct Case {
        const char* value;
        unsigned long classStyle;
    };
    // The unit tests try more values; these show the class as the system registered it.
    const Case cases[] = {{"true", 0x00020808}, {"True", 0x0808}, {"", 0x0808}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        AppFolder app;
        std::string image = app.folder() + "splash.bmp";
        ASSERT_TRUE(writeBitmap(image, testPattern(64, 48)));
        app.writeIni(settingsWithSplash(image, c.value));
        RunOptions options;
        options.steps = {onSplash("keep"), onDialog("escape")};
        Outcome run = app.run(options);
        expectEndedAfterTheDialog(run, -1);
        std::vector<Sighting> splash = sightingsOf(run, splashClass);
        ASSERT_FALSE(splash.empty()) << run.report;
        EXPECT_EQ(splash[0].classStyle, c.classStyle) << std::hex << splash[0].classStyle;
    }
}

TEST(Splash, NosplashSwitchesSuppressItButNotInOtherLetterCases)
{
    struct Case {
        const char* arguments;
        bool splash;
    };
    const Case cases[] = {{" -nosplash", false}, {" /nosplash", false}, {" a -nosplash b", false}, {" -NOSPLASH", true}};
    AppFolder app;
    std::string image = app.folder() + "splash.bmp";
    ASSERT_TRUE(writeBitmap(image, testPattern(64, 48)));
    app.writeIni(settingsWithSplash(image));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        RunOptions options;
        options.commandLine = "\"" + app.exe() + "\"" + c.arguments;
        options.steps = {onDialog("escape")};
        Outcome run = app.run(options);
        expectEndedAfterTheDialog(run, -1);
        EXPECT_EQ(!sightingsOf(run, splashClass).empty(), c.splash) << run.report;
    }
}

TEST(Splash, UnloadableBitmapShowsNoWindowAndTheLaunchGoesOn)
{
    AppFolder app;
    test::writeFile(app.folder() + "corrupt.bmp", "BM this is no bitmap at all");
    test::writeFile(app.folder() + "text.bmp", "plain text");
    for (const char* image : {"missing.bmp", "corrupt.bmp", "text.bmp", ""}) {
        SCOPED_TRACE(image);
        // A relative path is resolved against the current folder, which uiauto sets to the application's.
        app.writeIni(settingsWithSplash(image));
        RunOptions options;
        options.steps = {onDialog("escape")};
        Outcome run = app.run(options);
        expectEndedAfterTheDialog(run, -1);
        EXPECT_TRUE(sightingsOf(run, splashClass).empty()) << run.report;
        EXPECT_FALSE(hasBox(run)) << run.report;
        EXPECT_EQ(run.windows.size(), 1u) << run.report;
    }
}

TEST(Splash, OwnsTheErrorBoxesAndClosesAfterThem)
{
    // The dialog gives the splash time to appear; the library chosen in it is
    // an empty file, which cannot be loaded.
    Fixture runtime;
    runtime.file("jre\\bin\\client\\jvm.dll");
    AppFolder app;
    std::string image = app.folder() + "splash.bmp";
    ASSERT_TRUE(writeBitmap(image, testPattern(120, 80)));
    app.writeIni(settingsWithSplash(image));
    RunOptions options;
    options.steps = {onSplash("keep"), onDialog("press:202"), inBrowser(runtime.path() + "jre"), onDialog("press:1")};
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, -1);

    std::vector<Sighting> splash = sightingsOf(run, splashClass);
    ASSERT_FALSE(splash.empty()) << run.report;
    const Window* box = nullptr;
    for (const Window& w : run.windows)
        if (w.isBox)
            box = &w;
    ASSERT_NE(box, nullptr) << run.report;
    EXPECT_EQ(box->boxText.rfind("Laden der Java VM Bibliothek: " + runtime.path() + "jre\\bin\\client\\jvm.dll (errno = ", 0),
              0u)
        << box->boxText;
    EXPECT_EQ(box->boxIcon, "error");
    EXPECT_EQ(box->owner, splash[0].window.hwnd) << run.report;
    EXPECT_EQ(box->ownerClass, splashClass);
    // The splash goes in the teardown, after the box was answered.
    EXPECT_GE(goneAt(run, splash[0].window.hwnd), goneAt(run, box->hwnd)) << run.report;
}

TEST(Splash, StaysUntilMainReturns)
{
    if (toolPaths().runtimeHome.empty())
        GTEST_SKIP() << "the test Java runtime was not built";
    AppFolder app;
    std::string image = app.folder() + "splash.bmp";
    Picture pattern = testPattern(300, 200);
    ASSERT_TRUE(writeBitmap(image, pattern));
    app.writeIni("[Display]\r\nSplash Screen=" + image + "\r\n" + testAppSettings("kanne.test.Pauses") +
                 "JRE Path=" + toolPaths().runtimeHome + "\r\n");
    std::string shot = app.folder() + "shot.bmp";
    RunOptions options;
    options.steps = {onSplash("shot:" + stepValue(shot) + ",shot:" + stepValue(artifactFolder() + "splash-during-launch.png"))};
    Outcome run = app.run(options);
    ASSERT_FALSE(run.timedOut) << run.report;
    EXPECT_EQ(run.exitCode, 0) << run.report;
    EXPECT_TRUE(test::fileExists(app.folder() + "main-returned.txt"));
    std::vector<Sighting> splash = sightingsOf(run, splashClass);
    ASSERT_EQ(splash.size(), 1u) << run.report;
    EXPECT_EQ(run.windows.size(), 1u) << run.report;
    long gone = goneAt(run, splash[0].window.hwnd);
    EXPECT_GE(gone, 2000) << run.report; // main sleeps two seconds
    EXPECT_LE(gone, exitAt(run)) << run.report;
    Picture seen;
    ASSERT_TRUE(readBitmap(shot, seen)) << run.report;
    int compared = 0;
    EXPECT_EQ(differingPixels(seen, pattern, splash[0].window, nullptr, compared), 0);
    EXPECT_EQ(compared, 300 * 200);
}

TEST(Splash, GoesWhenMainReturnsWhileTheApplicationRunsOn)
{
    if (toolPaths().runtimeHome.empty())
        GTEST_SKIP() << "the test Java runtime was not built";
    AppFolder app;
    std::string image = app.folder() + "splash.bmp";
    ASSERT_TRUE(writeBitmap(image, testPattern(300, 200)));
    app.writeIni("[Display]\r\nSplash Screen=" + image + "\r\n" + testAppSettings("kanne.test.Pauses") +
                 "JRE Path=" + toolPaths().runtimeHome + "\r\n");
    RunOptions options;
    options.commandLine = "\"" + app.exe() + "\" linger";
    Outcome run = app.run(options);
    ASSERT_FALSE(run.timedOut) << run.report;
    EXPECT_EQ(run.exitCode, 0) << run.report;
    EXPECT_TRUE(test::fileExists(app.folder() + "lingered.txt"));
    std::vector<Sighting> splash = sightingsOf(run, splashClass);
    ASSERT_EQ(splash.size(), 1u) << run.report;
    // The application's thread runs on for two seconds after main returned.
    long gone = goneAt(run, splash[0].window.hwnd);
    EXPECT_GE(gone, 2000) << run.report;
    EXPECT_GE(exitAt(run) - gone, 1500) << run.report;
}

// ---------------------------------------------------------------- dialog 201

namespace {

struct TemplateControl {
    int id;
    const char* className; // as the dialog's controls report it
    std::wstring text;
    short x, y, width, height;
    unsigned long style;
};

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Template 201 as designed, in template (and tab) order.
std::vector<TemplateControl> designedControls()
{
    return {
        {1, "Button", L"OK", 107, 122, 50, 14, 0x50010001},
        {2, "Button", L"Abbrechen", 161, 122, 50, 14, 0x50010000},
        {201, "Edit", L"", 50, 89, 94, 14, 0x50810880},
        {-1, "Static", L"JRE Pfad:", 12, 92, 33, 8, 0x50020000},
        {202, "Button", L"Durchsuchen...", 147, 89, 60, 14, 0x50010000},
        {-1, "Button", L"JRE nicht vorhanden", 8, 11, 203, 103, 0x50000007},
        {203, "Static", L"", 44, 24, 147, 25, 0x50020000},
        {205, "Static", wide(downloadAddress), 44, 55, 75, 8, 0x50020000},
        {204, "Static", L"", 16, 26, 21, 20, 0x50000003},
        {206, "Static", L"Wenn Sie Java bereits installiert haben, k\u00f6nnen Sie hier danach suchen:", 12, 68, 179, 16,
         0x50020000},
    };
}

// Reads the extended dialog template: a cursor over its words.
class TemplateReader {
public:
    TemplateReader(const BYTE* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    WORD word() { return read<WORD>(); }
    DWORD dword() { return read<DWORD>(); }
    short number() { return static_cast<short>(word()); }
    BYTE byte() { return pos_ < size_ ? bytes_[pos_++] : 0; }
    // A string or an ordinal: "#NNN" for an ordinal, "" for none.
    std::wstring nameOrOrdinal()
    {
        WORD first = word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(word());
        std::wstring text;
        for (WORD c = first; c != 0; c = word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void alignTo(std::size_t boundary) { pos_ = (pos_ + boundary - 1) / boundary * boundary; }
    bool exhausted() const { return pos_ > size_; }

private:
    template <typename T>
    T read()
    {
        T value{};
        if (pos_ + sizeof value <= size_)
            std::memcpy(&value, bytes_ + pos_, sizeof value);
        pos_ += sizeof value;
        return value;
    }
    const BYTE* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::vector<std::string> builtExecutables()
{
    std::vector<std::string> exes{toolPaths().kanne};
    if (!toolPaths().otherArchKanne.empty())
        exes.push_back(toolPaths().otherArchKanne);
    return exes;
}

std::string handlerCommand(const std::string& recorder, const std::string& log)
{
    return "\"" + recorder + "\" \"" + log + "\" \"%1\"";
}

} // namespace

TEST(RuntimeDialog, TemplateIsExactlyAsDesigned)
{
    for (const std::string& exe : builtExecutables()) {
        SCOPED_TRACE(exe);
        HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(image, nullptr);
        HRSRC resource = FindResourceExA(image, RT_DIALOG, MAKEINTRESOURCEA(201), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
        ASSERT_NE(resource, nullptr);
        TemplateReader t(static_cast<const BYTE*>(LockResource(LoadResource(image, resource))),
                         SizeofResource(image, resource));
        EXPECT_EQ(t.word(), 1);      // version
        EXPECT_EQ(t.word(), 0xFFFF); // extended template
        EXPECT_EQ(t.dword(), 0u);    // help id
        EXPECT_EQ(t.dword(), 0u);    // extended style
        EXPECT_EQ(t.dword(), 0x80C800C8u);
        const WORD count = t.word();
        EXPECT_EQ(t.number(), 0);
        EXPECT_EQ(t.number(), 0);
        EXPECT_EQ(t.number(), 219);
        EXPECT_EQ(t.number(), 145);
        EXPECT_EQ(t.nameOrOrdinal(), L"");  // no menu
        EXPECT_EQ(t.nameOrOrdinal(), L"");  // no class of its own
        EXPECT_EQ(t.nameOrOrdinal(), L"JRE nicht gefunden");
        EXPECT_EQ(t.word(), 8);      // points
        EXPECT_EQ(t.word(), 400);    // weight
        EXPECT_EQ(t.byte(), 0);      // not italic
        EXPECT_EQ(t.byte(), DEFAULT_CHARSET);
        EXPECT_EQ(t.nameOrOrdinal(), L"MS Shell Dlg");

        const std::vector<TemplateControl> designed = designedControls();
        ASSERT_EQ(count, designed.size());
        const std::map<std::string, std::wstring> classOrdinals = {
            {"Button", L"#128"}, {"Edit", L"#129"}, {"Static", L"#130"}};
        for (const TemplateControl& d : designed) {
            SCOPED_TRACE(d.id);
            t.alignTo(4);
            EXPECT_EQ(t.dword(), 0u); // help id
            EXPECT_EQ(t.dword(), 0u); // extended style
            EXPECT_EQ(t.dword(), d.style);
            EXPECT_EQ(t.number(), d.x);
            EXPECT_EQ(t.number(), d.y);
            EXPECT_EQ(t.number(), d.width);
            EXPECT_EQ(t.number(), d.height);
            EXPECT_EQ(static_cast<int>(t.dword()), d.id);
            EXPECT_EQ(t.nameOrOrdinal(), classOrdinals.at(d.className));
            EXPECT_EQ(t.nameOrOrdinal(), d.text);
            EXPECT_EQ(t.word(), 0); // no creation data
        }
        EXPECT_FALSE(t.exhausted());
        FreeLibrary(image);
    }
}

namespace {

const std::string messageWithoutBounds = "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden Sie eine "
                                         "JRE (Neueste Version) herunter und installieren Sie sie von:";
const std::string serverMessageWithoutBounds = "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden "
                                               "eine JRE mit einer Server JVM (Neueste Version) herunter und "
                                               "installiern Sie beide von:";

std::string narrowText(const std::wstring& text)
{
    std::string result(text.size() * 2 + 1, '\0');
    result.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                                               result.data(), static_cast<int>(result.size()),
                                                               nullptr, nullptr)));
    return result;
}

bool sameFolder(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string withoutTrailingBackslash(std::string path)
{
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

// Steps that choose the test runtime's folder in the dialog and press OK;
// `onOpening` is done as the dialog appears and opens the folder browser.
std::vector<std::string> choosingTheTestRuntime(const std::string& onOpening)
{
    return {onDialog(onOpening), inBrowser(withoutTrailingBackslash(toolPaths().runtimeHome)), onDialog("press:1")};
}

// The live dialog as template 201 describes it at the screen's `dpi`, except
// that the message area is as tall as the message needs: the template's
// holds three lines, texts 206 and 207 take four. Everything below the
// message then lies lower, and the group box and the dialog are taller, by
// as much.
void expectTemplateOnScreen(const Sighting& dialog, const std::string& message, int dpi)
{
    const Window& w = dialog.window;
    EXPECT_EQ(w.owner, "0x0");
    EXPECT_EQ(w.style & ~(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK), 0x80C800C8ul) << std::hex << w.style;
    EXPECT_TRUE(w.style & WS_VISIBLE);
    EXPECT_EQ(w.exStyle & WS_EX_TOPMOST, 0ul);

    // Centred on the work area (the main thread owns no window to centre on).
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(w.x, work.left + (work.right - work.left) / 2 - w.width / 2);
    EXPECT_EQ(w.y, work.top + (work.bottom - work.top) / 2 - w.height / 2);

    const std::vector<TemplateControl> designed = designedControls();
    ASSERT_EQ(dialog.controls.size(), designed.size());
    DialogFont font(dpi);
    const SIZE base = font.baseUnits();
    auto across = [&](int units) { return MulDiv(units, base.cx, 4); };
    auto down = [&](int units) { return MulDiv(units, base.cy, 8); };
    const TemplateControl& messageArea = designed[6];
    ASSERT_EQ(messageArea.id, 203);
    const int extra = std::max(0, font.wrappedHeight(message, across(messageArea.width)) - down(messageArea.height));
    EXPECT_GT(extra, 0) << "the message is to take more lines than the template's area holds";
    const PlacedControl* anchor = dialog.control(203);
    ASSERT_NE(anchor, nullptr);
    for (std::size_t i = 0; i < designed.size(); ++i) {
        const TemplateControl& d = designed[i];
        const PlacedControl& c = dialog.controls[i];
        SCOPED_TRACE(d.id);
        EXPECT_EQ(c.id, d.id);
        EXPECT_EQ(c.className, d.className);
        // The dialog manager draws an edit field's border as a sunken client edge.
        unsigned long style = c.style & ~WS_DISABLED;
        EXPECT_EQ(d.className == std::string("Edit") ? style | WS_BORDER : style, d.style) << std::hex << c.style;
        EXPECT_EQ(c.enabled, d.id != IDOK) << "only OK starts disabled";
        std::string text = d.id == 203 ? message : narrowText(d.text);
        EXPECT_EQ(c.text, text);

        const bool isGroupBox = i == 5, isMessage = i == 6, isIcon = d.id == 204;
        const bool liesBelow = !isGroupBox && !isMessage && !isIcon;
        EXPECT_NEAR(c.rect.left - anchor->rect.left, across(d.x) - across(messageArea.x), 1);
        EXPECT_NEAR(c.rect.top - anchor->rect.top, down(d.y) - down(messageArea.y) + (liesBelow ? extra : 0), 1);
        if (isIcon) {
            // An icon control takes the size of the icon it is given.
            EXPECT_EQ(c.rect.right - c.rect.left, MulDiv(32, dpi, 96));
            EXPECT_EQ(c.rect.bottom - c.rect.top, MulDiv(32, dpi, 96));
            continue;
        }
        EXPECT_NEAR(c.rect.right - c.rect.left, across(d.width), 1);
        EXPECT_NEAR(c.rect.bottom - c.rect.top, down(d.height) + (isGroupBox || isMessage ? extra : 0), 1);
        // Inside the dialog, the buttons with the template's margin below them.
        EXPECT_LE(c.rect.right, w.x + w.width);
        EXPECT_LE(c.rect.bottom + (d.id == IDOK ? down(145 - d.y - d.height) : 0), w.y + w.height);
    }
    EXPECT_EQ(dialog.control(204)->icon, "error");
}

// Every text of the dialog is shown whole: measured in the dialog's font at
// `dpi` against the size of its control.
void expectNothingClipped(const Sighting& dialog, int dpi)
{
    DialogFont font(dpi);
    for (const PlacedControl& c : dialog.controls) {
        SCOPED_TRACE(c.text);
        const int width = c.rect.right - c.rect.left, height = c.rect.bottom - c.rect.top;
        if (c.text.empty())
            continue;
        if (c.className == "Button" && (c.style & BS_TYPEMASK) == BS_GROUPBOX) {
            EXPECT_LE(font.lineExtent(c.text).cx + 2 * font.baseUnits().cx, width);
        } else if (c.className == "Button") {
            EXPECT_LE(font.lineExtent(c.text).cx + 6, width);
            EXPECT_LE(font.lineExtent(c.text).cy + 4, height);
        } else {
            EXPECT_LE(font.wrappedHeight(c.text, width), height);
            if (c.text.find(' ') == std::string::npos) {
                EXPECT_LE(font.lineExtent(c.text).cx, width);
            }
        }
    }
}

void checkDialogAt(int dpi)
{
    AppFolder app;
    app.writeIni(completeSettings);
    std::string before = iniText(app);
    RunOptions options;
    options.steps = {onDialog("shot:" + stepValue(artifactFolder() + "dialog-" + std::to_string(dpi) + "dpi.png") +
                              ",escape")};
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, -1);
    EXPECT_EQ(run.windows.size(), 1u) << run.report;
    std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
    ASSERT_FALSE(dialog.empty());
    expectTemplateOnScreen(dialog[0], messageWithoutBounds, dpi);
    expectNothingClipped(dialog[0], dpi);
    EXPECT_EQ(iniText(app), before);
}

} // namespace

TEST(RuntimeDialog, ShowsTheTemplateCentredWithMessageIconAndOkDisabled) { checkDialogAt(96); }

TEST(RuntimeDialog, LooksTheSameAt144Dpi)
{
    if (!runningUnderWine())
        GTEST_SKIP() << "sets the screen DPI of the Wine prefix";
    ScreenDpi dpi(144);
    checkDialogAt(144);
}

TEST(RuntimeDialog, OkIsEnabledExactlyWhileTheLatestFolderHoldsALibraryOfTheWantedFlavour)
{
    Fixture runtimes;
    runtimes.file("client-only\\bin\\client\\jvm.dll");
    runtimes.file("server\\bin\\server\\jvm.dll");
    runtimes.folder("empty");
    AppFolder app;
    app.writeIni(std::string(completeSettings) + "JVM Type=server\r\n");
    std::string before = iniText(app);
    RunOptions options;
    options.steps = {onDialog("press:202"), inBrowser(runtimes.path() + "client-only"),
                     onDialog("press:202"), inBrowser(runtimes.path() + "server"),
                     onDialog("shot:" + stepValue(artifactFolder() + "dialog-chosen.png") + ",press:202"),
                     inBrowser(runtimes.path() + "empty"),
                     onDialog("press:2")};
    options.timeoutSeconds = 90;
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, -1);
    EXPECT_TRUE(linesOf(run, "failed").empty()) << run.report;
    EXPECT_FALSE(hasBox(run)) << run.report;
    EXPECT_EQ(iniText(app), before);

    std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
    ASSERT_EQ(dialog.size(), 4u) << run.report;
    struct Expected {
        std::string field;
        bool ok;
    };
    const Expected states[] = {{"", false},
                               {runtimes.path() + "client-only", false}, // a client library under "server"
                               {runtimes.path() + "server", true},
                               {runtimes.path() + "empty", false}};
    for (std::size_t i = 0; i < dialog.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dialog[i].control(203)->text, serverMessageWithoutBounds);
        EXPECT_TRUE(sameFolder(dialog[i].control(201)->text, states[i].field)) << dialog[i].control(201)->text;
        EXPECT_EQ(dialog[i].control(IDOK)->enabled, states[i].ok);
    }
    expectNothingClipped(dialog[0], 96); // text 206 is the longer one
}

TEST(RuntimeDialog, OkRemembersTheFolderWithATrailingBackslashAndTheLaunchGoesOn)
{
    if (toolPaths().runtimeHome.empty())
        GTEST_SKIP() << "the test Java runtime was not built";
    AppFolder app;
    app.writeIni(testAppSettings("kanne.test.Report"));
    RunOptions options;
    options.steps = choosingTheTestRuntime("press:202");
    options.timeoutSeconds = 60;
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, 0);
    EXPECT_FALSE(hasBox(run)) << run.report;
    std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
    ASSERT_EQ(dialog.size(), 2u) << run.report;
    EXPECT_TRUE(sameFolder(dialog[1].control(201)->text, withoutTrailingBackslash(toolPaths().runtimeHome)));
    EXPECT_TRUE(dialog[1].control(IDOK)->enabled);
    EXPECT_TRUE(sameFolder(jrePathOf(app), withoutTrailingBackslash(toolPaths().runtimeHome) + "\\")) << iniText(app);
    EXPECT_TRUE(test::fileExists(app.folder() + "report.txt")) << "the application ran";

    // The next start takes the remembered folder and asks nothing.
    test::removeTree(app.folder() + "report.txt");
    DeleteFileA((app.folder() + "report.txt").c_str());
    Outcome again = app.run();
    EXPECT_EQ(again.exitCode, 0) << again.report;
    EXPECT_TRUE(again.windows.empty()) << again.report;
}

TEST(RuntimeDialog, DriveRootIsRememberedWithASingleBackslash)
{
    if (!runningUnderWine())
        GTEST_SKIP() << "lays out a runtime in the root of drive C: of the Wine prefix";
    if (GetFileAttributesA("C:\\bin") != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "C:\\bin exists already";
    struct RootRuntime {
        RootRuntime()
        {
            CreateDirectoryA("C:\\bin", nullptr);
            CreateDirectoryA("C:\\bin\\client", nullptr);
            test::writeFile("C:\\bin\\client\\jvm.dll", ""); // an empty file: found, but not loadable
        }
        ~RootRuntime() { test::removeTree("C:\\bin\\"); }
    } root;
    AppFolder app;
    app.writeIni(completeSettings);
    RunOptions options;
    options.steps = {onDialog("press:202"), inBrowser("C:\\"), onDialog("press:1")};
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, -1);
    std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
    ASSERT_EQ(dialog.size(), 2u) << run.report;
    EXPECT_EQ(dialog[1].control(201)->text, "C:\\");
    EXPECT_TRUE(dialog[1].control(IDOK)->enabled);
    EXPECT_EQ(jrePathOf(app), "C:\\");
    ASSERT_TRUE(hasBox(run)) << run.report;
    EXPECT_EQ(run.windows.back().boxText.rfind("Laden der Java VM Bibliothek: C:\\bin\\client\\jvm.dll (errno = ", 0),
              0u)
        << run.windows.back().boxText;
}

TEST(RuntimeDialog, CancelEscapeAndCloseEndTheLaunchWithMinusOneAndLeaveTheIniUntouched)
{
    for (const char* action : {"press:2", "escape", "close"}) {
        SCOPED_TRACE(action);
        AppFolder app;
        app.writeIni(std::string(completeSettings) + "JRE Path=\r\nMinimum Version=1.6\r\n");
        std::string before = iniText(app);
        RunOptions options;
        options.steps = {onDialog(action)};
        Outcome run = app.run(options);
        expectEndedAfterTheDialog(run, -1);
        EXPECT_EQ(run.windows.size(), 1u) << run.report; // no box
        EXPECT_EQ(iniText(app), before);
    }
}

TEST(RuntimeDialog, LinkOpensItsOwnTextThroughTheShellAndTheDialogStaysOpen)
{
    if (!runningUnderWine())
        GTEST_SKIP() << "registers a handler for https:// addresses in the Wine prefix";
    Fixture place;
    std::string log = place.path() + "opened.txt";
    std::string command = handlerCommand(toolPaths().build + "\\url_recorder.exe", log);
    RegistryOverride handler(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", nullptr, REG_SZ, command.c_str(),
                             static_cast<DWORD>(command.size() + 1));
    AppFolder app;
    app.writeIni(completeSettings);
    std::string before = place.path() + "before.bmp", after = place.path() + "after.bmp";
    RunOptions options;
    options.steps = {onDialog("shot:" + stepValue(before) + ",click:205,wait:2000,report,shot:" + stepValue(after) +
                              ",shot:" + stepValue(artifactFolder() + "dialog-link-visited.png") + ",escape")};
    Outcome run = app.run(options);
    expectEndedAfterTheDialog(run, -1);
    EXPECT_TRUE(linesOf(run, "failed").empty()) << run.report;

    std::string opened;
    test::readFile(log, opened);
    EXPECT_EQ(opened, std::string(downloadAddress) + "\n");
    // Reported again after the click: still open, until Escape.
    std::vector<Sighting> dialog = sightingsOf(run, "#32770", dialogCaption);
    ASSERT_EQ(dialog.size(), 2u) << run.report;
    EXPECT_EQ(dialog[1].control(205)->text, downloadAddress);

    const RECT label = dialog[0].control(205)->rect;
    const Window& w = dialog[0].window;
    Picture first, second;
    ASSERT_TRUE(readBitmap(before, first));
    ASSERT_TRUE(readBitmap(after, second));
    Picture linkBefore = crop(first, label.left - w.x, label.top - w.y, label.right - label.left, label.bottom - label.top);
    Picture linkAfter = crop(second, label.left - w.x, label.top - w.y, label.right - label.left, label.bottom - label.top);
    const COLORREF link = RGB(0x00, 0x66, 0xCC), visited = RGB(0x80, 0x00, 0x80);
    EXPECT_TRUE(contains(linkBefore, link));
    EXPECT_FALSE(contains(linkBefore, visited));
    EXPECT_TRUE(contains(linkAfter, visited));
    EXPECT_FALSE(contains(linkAfter, link));
}

namespace {
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}
} // namespace

// In single-instance mode the first instance listens from the start; a later
// start while the user is still choosing a runtime is taken, held, and
// reaches the application once the chosen runtime runs it.
TEST(RuntimeDialog, ALaterStartWhileTheDialogIsOpenReachesTheApplicationAfterOk)
{
    if (toolPaths().runtimeHome.empty())
        GTEST_SKIP() << "the test Java runtime was not built";
    AppFolder app;
    app.writeIni("[Application]\r\nSingle Instance=yes\r\n" + testAppSettings("kanne.test.Instance"));
    RunOptions options;
    options.steps = choosingTheTestRuntime("wait:5000,press:202");
    options.timeoutSeconds = 90;
    StartedProgram first(app.exe(), options);
    ASSERT_TRUE(waitUntil([] { return FindWindowA("#32770", dialogCaption) != nullptr; }));

    const int laterExit = finishDirect(startDirect("\"" + app.exe() + "\" while-dialog \"b c\"", app.folder()));
    EXPECT_EQ(laterExit, 0);
    const std::string secondary = app.folder() + "secondary.txt";
    EXPECT_FALSE(test::fileExists(secondary)) << "delivered before any VM existed";

    EXPECT_TRUE(waitUntil([&] { return test::fileExists(app.folder() + "main-started.txt"); }, 60000));
    EXPECT_TRUE(waitUntil([&] { return test::fileExists(secondary); }, 10000));
    test::writeFile(app.folder() + "stop.txt", "stop");
    Outcome run = first.finish();
    expectEndedAfterTheDialog(run, 0);
    EXPECT_FALSE(hasBox(run)) << run.report;
    std::string delivered;
    test::readFile(secondary, delivered);
    EXPECT_EQ(delivered, "2:[while-dialog][b c]\n");
    EXPECT_TRUE(sameFolder(jrePathOf(app), withoutTrailingBackslash(toolPaths().runtimeHome) + "\\")) << iniText(app);
}

} // namespace kanne::e2e
