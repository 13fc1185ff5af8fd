#include "launcher/Messages.h"

#include "platform/SystemLibrary.h"


namespace kanne {

std::string loadText(TextId id)
{
    // A string table is stored in blocks of 16 counted UTF-16 texts; block n
    // holds the numbers 16(n-1) to 16n-1. Read here with the kernel's
    // resource calls, the texts need no window-manager library.
    const unsigned number = static_cast<unsigned>(id);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(number / 16 + 1), MAKEINTRESOURCEA(6));
    HGLOBAL loaded = block ? LoadResource(module, block) : nullptr;
    const auto* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!entry)
        return {};
    const WCHAR* const end = entry + SizeofResource(module, block) / sizeof(WCHAR);
    for (unsigned skip = number % 16; skip > 0 && entry < end; --skip)
        entry += 1 + *entry;
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return {};
    const int length = *entry;
    int bytes = WideCharToMultiByte(CP_ACP, 0, entry + 1, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, entry + 1, length, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::string formatText(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::string result;
    result.reserve(format.size() + 64);
    const FormatArg* next = args.begin();
    auto takeArg = [&]() -> const FormatArg* { return next != args.end() ? next++ : nullptr; };

    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            result += c;
            continue;
        }
        char conversion = format[i + 1];
        if (conversion == '%') {
            result += '%';
        } else if (conversion == 's') {
            if (const FormatArg* arg = takeArg(); arg && !arg->isNumber)
                result += arg->text;
        } else if (conversion == 'd') {
            const FormatArg* arg = takeArg();
            result += std::to_string(arg && arg->isNumber ? arg->number : 0);
        } else {
            result += c;
            continue;
        }
        ++i;
    }
    return result;
}

std::string formatText(TextId format, std::initializer_list<FormatArg> args)
{
    return formatText(loadText(format), args);
}

namespace {
// The window manager's library is loaded when the first box is shown: a
// launch that shows none starts without it.
int WINAPI systemMessageBox(HWND owner, const char* text, const char* caption, UINT style)
{
    static MessageBoxFunction show = systemEntry<MessageBoxFunction>("user32.dll", "MessageBoxA");
    return show ? show(owner, text, caption, style) : 0;
}

MessageBoxFunction messageBox = systemMessageBox;
} // namespace

void replaceMessageBox(MessageBoxFunction function) { messageBox = function ? function : systemMessageBox; }

int showMessageBox(HWND owner, const std::string& text, const char* caption, UINT style)
{
    return messageBox(owner, text.c_str(), caption, style);
}

void showError(HWND owner, const std::string& text)
{
    showMessageBox(owner, text, nullptr, MB_ICONERROR);
}

void showError(HWND owner, TextId text) { showError(owner, loadText(text)); }

void showError(HWND owner, TextId format, std::initializer_list<FormatArg> args)
{
    showError(owner, formatText(format, args));
}

} // namespace kanne
