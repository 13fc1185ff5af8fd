#include "e2e/UiE2ETestSupport.h"
#include "support/TestText.h"

#include <cstdlib>
#include <sstream>

namespace kanne::e2e::ui {

Picture testPattern(int width, int height)
{
    Picture picture{width, height, {}};
    picture.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 5 + y);
            p[1] = static_cast<std::uint8_t>(y * 3 + 7);
            p[2] = static_cast<std::uint8_t>((x ^ y) * 11);
        }
    return picture;
}

namespace {
void put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

std::uint32_t get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}
} // namespace

bool writeBitmap(const std::string& path, const Picture& picture)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
    std::string out = "BM";
    put32(out, 54 + imageSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(picture.width));
    put32(out, static_cast<std::uint32_t>(picture.height));
    out += std::string("\x01\x00\x18\x00", 4);
    for (std::uint32_t value : {0u, imageSize, 2835u, 2835u, 0u, 0u})
        put32(out, value);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            COLORREF c = picture.at(x, y);
            out += static_cast<char>(GetBValue(c));
            out += static_cast<char>(GetGValue(c));
            out += static_cast<char>(GetRValue(c));
        }
        out.append(stride - static_cast<std::uint32_t>(picture.width) * 3, '\0');
    }
    test::writeFile(path, out);
    return test::fileExists(path);
}

bool readBitmap(const std::string& path, Picture& picture)
{
    std::string bytes;
    if (!test::readFile(path, bytes) || bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0)
        return false;
    const std::uint32_t offset = get32(bytes, 10);
    picture.width = static_cast<int>(get32(bytes, 18));
    auto height = static_cast<std::int32_t>(get32(bytes, 22));
    if (static_cast<std::uint8_t>(bytes[28]) != 24 || picture.width <= 0 || height == 0)
        return false;
    const bool bottomUp = height > 0;
    picture.height = bottomUp ? height : -height;
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
    if (bytes.size() < offset + stride * picture.height)
        return false;
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        std::size_t row = offset + stride * static_cast<std::size_t>(bottomUp ? picture.height - 1 - y : y);
        for (int x = 0; x < picture.width; ++x) {
            std::uint8_t* p = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
            p[0] = static_cast<std::uint8_t>(bytes[row + x * 3 + 2]);
            p[1] = static_cast<std::uint8_t>(bytes[row + x * 3 + 1]);
            p[2] = static_cast<std::uint8_t>(bytes[row + x * 3]);
        }
    }
    return true;
}

Picture crop(const Picture& picture, int x, int y, int width, int height)
{
    Picture part{width, height, {}};
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) {
            COLORREF c = row >= 0 && row < picture.height && column >= 0 && column < picture.width
                             ? picture.at(column, row)
                             : 0;
            part.rgb.push_back(GetRValue(c));
            part.rgb.push_back(GetGValue(c));
            part.rgb.push_back(GetBValue(c));
        }
    return part;
}

bool contains(const Picture& picture, COLORREF colour)
{
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y) == colour)
                return true;
    return false;
}

std::string artifactFolder()
{
    std::string folder = toolPaths().build + "\\ui-artifacts\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string fieldOf(const std::string& line, const std::string& key)
{
    std::size_t pos = line.find(" " + key + "=");
    if (pos == std::string::npos)
        return {};
    pos += key.size() + 2;
    if (pos < line.size() && line[pos] == '"') {
        std::string value;
        for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
            if (line[pos] == '\\' && pos + 1 < line.size()) {
                char e = line[++pos];
                if (e == 'n')
                    value += '\n';
                else if (e == 'x') {
                    value += static_cast<char>(std::strtoul(line.substr(pos + 1, 2).c_str(), nullptr, 16));
                    pos += 2;
                } else
                    value += e;
            } else
                value += line[pos];
        }
        return value;
    }
    return line.substr(pos, line.find(' ', pos) - pos);
}

std::vector<std::string> linesOf(const Outcome& run, const std::string& kind)
{
    std::vector<std::string> lines;
    std::istringstream stream(run.report);
    for (std::string line; std::getline(stream, line);)
        if (line.rfind(kind + " ", 0) == 0)
            lines.push_back(" " + line.substr(kind.size() + 1));
    return lines;
}

const PlacedControl* Sighting::control(int id) const
{
    for (const PlacedControl& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::vector<Sighting> sightings(const Outcome& run)
{
    std::vector<Sighting> found;
    std::istringstream stream(run.report);
    auto number = [](const std::string& text) { return std::strtol(text.c_str(), nullptr, 0); };
    for (std::string line; std::getline(stream, line);) {
        std::string kind = line.substr(0, line.find(' '));
        std::string rest = " " + line.substr(line.find(' ') + 1);
        if (kind == "window") {
            Sighting s;
            s.window.hwnd = fieldOf(rest, "hwnd");
            s.window.className = fieldOf(rest, "class");
            s.window.caption = fieldOf(rest, "caption");
            s.window.owner = fieldOf(rest, "owner");
            s.window.ownerClass = fieldOf(rest, "ownerclass");
            s.window.style = std::strtoul(fieldOf(rest, "style").c_str(), nullptr, 0);
            s.window.exStyle = std::strtoul(fieldOf(rest, "exstyle").c_str(), nullptr, 0);
            s.window.x = number(fieldOf(rest, "x"));
            s.window.y = number(fieldOf(rest, "y"));
            s.window.width = number(fieldOf(rest, "width"));
            s.window.height = number(fieldOf(rest, "height"));
            s.classStyle = std::strtoul(fieldOf(rest, "classstyle").c_str(), nullptr, 0);
            found.push_back(s);
        } else if (kind == "box" && !found.empty()) {
            found.back().window.isBox = true;
            found.back().window.boxText = fieldOf(rest, "text");
            found.back().window.boxIcon = fieldOf(rest, "icon");
        } else if (kind == "control" && !found.empty()) {
            PlacedControl c;
            c.id = static_cast<int>(number(fieldOf(rest, "id")));
            c.className = fieldOf(rest, "class");
            c.text = fieldOf(rest, "text");
            c.enabled = fieldOf(rest, "enabled") == "1";
            c.style = std::strtoul(fieldOf(rest, "style").c_str(), nullptr, 0);
            c.rect.left = number(fieldOf(rest, "x"));
            c.rect.top = number(fieldOf(rest, "y"));
            c.rect.right = c.rect.left + number(fieldOf(rest, "width"));
            c.rect.bottom = c.rect.top + number(fieldOf(rest, "height"));
            c.icon = fieldOf(rest, "icon");
            found.back().controls.push_back(c);
        }
    }
    return found;
}

std::vector<Sighting> sightingsOf(const Outcome& run, const std::string& className, const std::string& caption)
{
    std::vector<Sighting> matching;
    for (const Sighting& s : sightings(run))
        if (s.window.className == className && (caption.empty() || s.window.caption == caption))
            matching.push_back(s);
    return matching;
}

long goneAt(const Outcome& run, const std::string& hwnd)
{
    for (const std::string& line : linesOf(run, "gone"))
        if (fieldOf(line, "hwnd") == hwnd)
            return std::atol(fieldOf(line, "t").c_str());
    return -1;
}

long exitAt(const Outcome& run)
{
    std::vector<std::string> exits = linesOf(run, "exit");
    return exits.empty() ? -1 : std::atol(fieldOf(exits.back(), "t").c_str());
}

std::string stepValue(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        // A backslash too: before the closing quote of a command-line argument it would escape the quote.
        if (c == ' ' || c == '%' || c == '"' || c == ',' || c == '\\') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            escaped += code;
        } else
            escaped += c;
    }
    return escaped;
}

Fixture::Fixture() : path_(test::makeTempFolder("kanne-ui")) {}

Fixture::~Fixture() { test::removeTree(path_); }

std::string Fixture::folder(const std::string& relative) const
{
    std::string path = path_;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += relative.substr(start, end - start) + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::string Fixture::file(const std::string& relative) const
{
    std::size_t slash = relative.find_last_of('\\');
    std::string folderPath = slash == std::string::npos ? path_ : folder(relative.substr(0, slash));
    std::string path = folderPath + relative.substr(slash == std::string::npos ? 0 : slash + 1);
    test::writeFile(path, "");
    return path;
}

RegistryOverride::RegistryOverride(HKEY root, const std::string& key, const char* name, DWORD type, const void* data,
                                   DWORD size)
    : root_(root), key_(key), name_(name ? name : ""), hadName_(name != nullptr)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    DWORD oldSize = 0;
    if (RegQueryValueExA(handle, hadName_ ? name_.c_str() : nullptr, nullptr, &type_, nullptr, &oldSize) ==
        ERROR_SUCCESS) {
        existed_ = true;
        data_.resize(oldSize);
        RegQueryValueExA(handle, hadName_ ? name_.c_str() : nullptr, nullptr, &type_, data_.data(), &oldSize);
    }
    RegSetValueExA(handle, hadName_ ? name_.c_str() : nullptr, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(handle);
}

RegistryOverride::~RegistryOverride()
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    if (existed_)
        RegSetValueExA(handle, hadName_ ? name_.c_str() : nullptr, 0, type_, data_.data(),
                       static_cast<DWORD>(data_.size()));
    else
        RegDeleteValueA(handle, hadName_ ? name_.c_str() : nullptr);
    RegCloseKey(handle);
}

DialogFont::DialogFont(int dpi)
{
    dc_ = CreateCompatibleDC(nullptr);
    font_ = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        "MS Shell Dlg");
    previous_ = SelectObject(dc_, font_);
}

DialogFont::~DialogFont()
{
    SelectObject(dc_, previous_);
    DeleteObject(font_);
    DeleteDC(dc_);
}

SIZE DialogFont::lineExtent(const std::string& text) const
{
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

SIZE DialogFont::baseUnits() const
{
    SIZE letters = lineExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

int DialogFont::wrappedHeight(const std::string& text, int width) const
{
    RECT area{0, 0, width, 0};
    DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return area.bottom - area.top;
}

} // namespace kanne::e2e::ui
