#include "support/TestText.h"

#include <atomic>
#include <vector>

namespace kanne::test {

const char* doubleByteStep(const char* current)
{
    if (*current == '\0')
        return current;
    auto lead = static_cast<unsigned char>(*current);
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return isLead && current[1] != '\0' ? current + 2 : current + 1;
}

const char* singleByteStep(const char* current) { return *current ? current + 1 : current; }

std::string makeTempFolder(std::string_view prefix)
{
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH + 1];
    GetTempPathA(sizeof base, base);
    for (;;) {
        std::string folder = std::string(base) + std::string(prefix) + "-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
}

void writeFile(const std::string& path, std::string_view bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool readFile(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return true;
}

bool fileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void removeTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path + "\\");
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string peImage(std::uint16_t machine)
{
    std::string image(0x90, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = static_cast<char>(0x80);
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    image[0x84] = static_cast<char>(machine & 0xFF);
    image[0x85] = static_cast<char>(machine >> 8);
    return image;
}

} // namespace kanne::test
