#pragma once
// What the user-interface tests need beyond the harness: bitmaps to show and
// compare, the report's extra fields (class style, control positions, times),
// fixture folders and temporary settings of the test prefix.
#include "e2e/Harness.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kanne::e2e::ui {

// A 24-bit picture, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    COLORREF at(int x, int y) const
    {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    }
};

// A picture no two neighbouring pixels of which are alike.
Picture testPattern(int width, int height);
bool writeBitmap(const std::string& path, const Picture& picture);
bool readBitmap(const std::string& path, Picture& picture);
Picture crop(const Picture& picture, int x, int y, int width, int height);
bool contains(const Picture& picture, COLORREF colour);

// The build folder's "ui-artifacts" folder, where screenshots are kept for
// people to look at; ending in "\".
std::string artifactFolder();

// A field of a report line: key=value or key="text".
std::string fieldOf(const std::string& line, const std::string& key);
// Every report line of one kind ("window", "gone", "exit", "failed", ...).
std::vector<std::string> linesOf(const Outcome& run, const std::string& kind);

// One control of a window's report, with its place on the screen.
struct PlacedControl {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = false;
    unsigned long style = 0;
    RECT rect{};
    std::string icon;
};

// A window as one report block described it (a window may be reported again).
struct Sighting {
    Window window;
    unsigned long classStyle = 0;
    std::vector<PlacedControl> controls;
    const PlacedControl* control(int id) const;
};
std::vector<Sighting> sightings(const Outcome& run);
std::vector<Sighting> sightingsOf(const Outcome& run, const std::string& className, const std::string& caption = {});
// When the window with that handle disappeared, in milliseconds since the
// start; -1 when it never did.
long goneAt(const Outcome& run, const std::string& hwnd);
long exitAt(const Outcome& run);

// A step value with blanks, as uiauto reads it.
std::string stepValue(const std::string& text);

// A folder under the temporary folder, removed with everything in it.
class Fixture {
public:
    Fixture();
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;
    const std::string& path() const { return path_; }
    // `relative` ("jre\bin\server\jvm.dll") as an empty file, with its folders.
    std::string file(const std::string& relative) const;
    std::string folder(const std::string& relative) const;

private:
    std::string path_;
};

// A value under HKEY_CURRENT_USER or HKEY_CLASSES_ROOT of the test prefix for
// as long as the object lives; the previous value (or its absence) comes back.
class RegistryOverride {
public:
    RegistryOverride(HKEY root, const std::string& key, const char* name, DWORD type, const void* data, DWORD size);
    ~RegistryOverride();
    RegistryOverride(const RegistryOverride&) = delete;
    RegistryOverride& operator=(const RegistryOverride&) = delete;

private:
    HKEY root_;
    std::string key_;
    std::string name_;
    bool hadName_;
    bool existed_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

// Wine's screen DPI for the processes started while it lives (Wine reads it
// from the prefix, not from the display).
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) : setting_(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi) {}

private:
    RegistryOverride setting_;
};

// The dialog font of dialog template 201 at `dpi`, measuring text as the
// dialog shows it.
class DialogFont {
public:
    explicit DialogFont(int dpi);
    ~DialogFont();
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;
    SIZE lineExtent(const std::string& text) const;
    // Pixels of four horizontal and eight vertical dialog units, as the
    // dialog manager derives them from the font.
    SIZE baseUnits() const;
    // The height of `text` broken into lines of at most `width` pixels.
    int wrappedHeight(const std::string& text, int width) const;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

} // namespace kanne::e2e::ui
