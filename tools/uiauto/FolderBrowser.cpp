#include "uiauto/FolderBrowser.h"

#include "uiauto/WindowReport.h"

#include <commctrl.h>

#include <cctype>
#include <vector>

namespace uiauto {

namespace {

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK matchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0)
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND findChildOfClass(HWND parent, const char* className)
{
    ChildSearch search{className, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A tree view of another process, read through a buffer in that process.
class RemoteTree {
public:
    explicit RemoteTree(HWND tree) : tree_(tree)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            buffer_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteTree()
    {
        if (buffer_)
            VirtualFreeEx(process_, buffer_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteTree(const RemoteTree&) = delete;
    RemoteTree& operator=(const RemoteTree&) = delete;

    bool ready() const { return buffer_ != nullptr; }

    HTREEITEM root() const { return next(nullptr, TVGN_ROOT); }

    std::vector<HTREEITEM> children(HTREEITEM item) const
    {
        // Expanding fills the children the browser adds on demand.
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        std::vector<HTREEITEM> found;
        for (HTREEITEM child = next(item, TVGN_CHILD); child; child = next(child, TVGN_NEXT))
            found.push_back(child);
        return found;
    }

    std::string text(HTREEITEM item) const
    {
        TVITEMA request{};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = buffer_ + 512;
        request.cchTextMax = 1024;
        WriteProcessMemory(process_, buffer_, &request, sizeof request, nullptr);
        if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer_)))
            return {};
        char text[1025] = "";
        ReadProcessMemory(process_, buffer_ + 512, text, 1024, nullptr);
        return text;
    }

    void select(HTREEITEM item) const
    {
        SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    }

private:
    HTREEITEM next(HTREEITEM item, WPARAM relation) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }

    HWND tree_;
    HANDLE process_ = nullptr;
    char* buffer_ = nullptr;
};

std::vector<std::string> componentsOf(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A drive's item: "C:" alone, or a label with "(C:)" as the shell shows it.
bool namesDrive(const std::string& text, std::string drive)
{
    drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    return lstrcmpiA(text.c_str(), drive.c_str()) == 0 || lstrcmpiA(text.c_str(), (drive + "\\").c_str()) == 0 ||
           text.find("(" + drive + ")") != std::string::npos;
}

} // namespace

bool chooseFolder(HWND browser, const std::string& path, std::string& problem)
{
    HWND treeWindow = findChildOfClass(browser, "SysTreeView32");
    if (!treeWindow) {
        problem = "no-tree";
        return false;
    }
    RemoteTree tree(treeWindow);
    if (!tree.ready()) {
        problem = "no-access";
        return false;
    }
    std::vector<std::string> parts = componentsOf(path);
    if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':') {
        problem = "not-a-drive-path";
        return false;
    }

    // The drive lies one or two levels below the desktop ("Computer").
    HTREEITEM current = nullptr;
    std::vector<HTREEITEM> level = tree.children(tree.root());
    for (int depth = 0; depth < 2 && !current; ++depth) {
        std::vector<HTREEITEM> deeper;
        for (HTREEITEM item : level) {
            if (namesDrive(tree.text(item), parts[0])) {
                current = item;
                break;
            }
            if (depth == 0)
                for (HTREEITEM child : tree.children(item))
                    deeper.push_back(child);
        }
        level = deeper;
    }
    if (!current) {
        problem = "drive-not-found";
        return false;
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        HTREEITEM found = nullptr;
        for (HTREEITEM child : tree.children(current))
            if (lstrcmpiA(tree.text(child).c_str(), parts[i].c_str()) == 0)
                found = child;
        if (!found) {
            problem = "not-found:" + parts[i];
            return false;
        }
        current = found;
    }
    tree.select(current);
    Sleep(200);
    pressButton(browser, IDOK);
    for (int i = 0; i < 100 && IsWindow(browser); ++i)
        Sleep(50);
    return true;
}

} // namespace uiauto
