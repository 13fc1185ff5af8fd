#include "launcher/Messages.h"

#include <vector>

namespace kanne {

std::string loadText(TextId id)
{
    std::vector<char> buffer(256);
    for (;;) {
        int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer.data(),
                                 static_cast<int>(buffer.size()));
        if (length <= 0)
            return {};
        // A text that filled the buffer may have been cut: read again with more room.
        if (static_cast<std::size_t>(length) < buffer.size() - 1)
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
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
MessageBoxFunction messageBox = MessageBoxA;
}

void replaceMessageBox(MessageBoxFunction function) { messageBox = function ? function : MessageBoxA; }

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
