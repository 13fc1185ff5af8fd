#pragma once
// Helpers shared by the tests: a double-byte step, temporary folders and files.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kanne::test {

// A step for a double-byte code page like 932: 0x81-0x9F and 0xE0-0xFC are
// lead bytes, and the byte after a lead byte (even a "\" or a quote) is its
// trail byte.
const char* doubleByteStep(const char* current);
// One byte per character, whatever the process's code page.
const char* singleByteStep(const char* current);

// A new empty folder under the system's temporary folder, ending in "\".
std::string makeTempFolder(std::string_view prefix);
void writeFile(const std::string& path, std::string_view bytes);
bool readFile(const std::string& path, std::string& bytes);
bool fileExists(const std::string& path);
void removeTree(const std::string& folder);

// The start of a PE image built for `machine`, as far as the header's machine field.
std::string peImage(std::uint16_t machine);

} // namespace kanne::test
