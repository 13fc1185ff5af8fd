#include "uiauto/Screenshot.h"

#include <cstdio>

namespace uiauto {

Picture captureScreen(const RECT& area)
{
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    if (picture.width <= 0 || picture.height <= 0)
        return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = picture.width;
    format.bmiHeader.biHeight = -picture.height; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    // Only the part on the screen is copied (a copy reaching past the screen
    // may copy nothing at all); the rest stays black.
    const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT shown{};
    if (IntersectRect(&shown, &area, &desktop))
        BitBlt(memory, shown.left - area.left, shown.top - area.top, shown.right - shown.left, shown.bottom - shown.top,
               screen, shown.left, shown.top, SRCCOPY);
    GdiFlush();
    const auto* bgrx = static_cast<const std::uint8_t*>(bits);
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(picture.width) * picture.height; i < n; ++i) {
        picture.rgb[i * 3] = bgrx[i * 4 + 2];
        picture.rgb[i * 3 + 1] = bgrx[i * 4 + 1];
        picture.rgb[i * 3 + 2] = bgrx[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

namespace {

void put32le(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void put32be(std::string& out, std::uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i));
}

std::string bmp(const Picture& picture)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
    std::string out = "BM";
    put32le(out, 54 + imageSize);
    put32le(out, 0);
    put32le(out, 54);
    put32le(out, 40);
    put32le(out, static_cast<std::uint32_t>(picture.width));
    put32le(out, static_cast<std::uint32_t>(picture.height)); // bottom row first
    out += std::string("\x01\x00\x18\x00", 4);
    put32le(out, 0);
    put32le(out, imageSize);
    put32le(out, 2835);
    put32le(out, 2835);
    put32le(out, 0);
    put32le(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &picture.rgb[static_cast<std::size_t>(y) * picture.width * 3];
        for (int x = 0; x < picture.width; ++x) {
            out += static_cast<char>(row[x * 3 + 2]);
            out += static_cast<char>(row[x * 3 + 1]);
            out += static_cast<char>(row[x * 3]);
        }
        out.append(stride - static_cast<std::uint32_t>(picture.width) * 3, '\0');
    }
    return out;
}

std::uint32_t crc32(const std::string& bytes, std::size_t from)
{
    static std::uint32_t table[256];
    if (!table[1])
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i)
        c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void chunk(std::string& out, const char* type, const std::string& data)
{
    put32be(out, static_cast<std::uint32_t>(data.size()));
    std::size_t start = out.size();
    out += type;
    out += data;
    put32be(out, crc32(out, start));
}

// PNG with a zlib stream of stored (uncompressed) blocks: no compressor needed.
std::string png(const Picture& picture)
{
    std::string raw;
    for (int y = 0; y < picture.height; ++y) {
        raw += '\0'; // no filter
        raw.append(reinterpret_cast<const char*>(&picture.rgb[static_cast<std::size_t>(y) * picture.width * 3]),
                   static_cast<std::size_t>(picture.width) * 3);
    }
    std::string zlib = "\x78\x01";
    for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
        std::size_t length = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        zlib += static_cast<char>(pos + length == raw.size() ? 1 : 0);
        zlib += static_cast<char>(length & 0xFF);
        zlib += static_cast<char>(length >> 8);
        zlib += static_cast<char>(~length & 0xFF);
        zlib += static_cast<char>((~length >> 8) & 0xFF);
        zlib.append(raw, pos, length);
        pos += length;
        if (length == 0)
            break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32be(zlib, (b << 16) | a);

    std::string header;
    put32be(header, static_cast<std::uint32_t>(picture.width));
    put32be(header, static_cast<std::uint32_t>(picture.height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string out = "\x89PNG\r\n\x1a\n";
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", zlib);
    chunk(out, "IEND", {});
    return out;
}

} // namespace

bool savePicture(const Picture& picture, const std::string& path)
{
    bool asPng = path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".png") == 0;
    std::string bytes = asPng ? png(picture) : bmp(picture);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace uiauto
