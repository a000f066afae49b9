#include "ui/win32/drag/drop_folder.h"

#include <exdisp.h>
#include <shlobj.h>

#include <array>

namespace Arkova {

namespace {

// The shell's service id of a window's own browser (SID_STopLevelBrowser).
constexpr GUID kTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr SIZE kDesktopCell{75, 90};
constexpr SIZE kFolderWindowCell{80, 80};

template <typename T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    T** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

struct IdList {
    ~IdList() { ::CoTaskMemFree(list); }
    PIDLIST_ABSOLUTE list = nullptr;
};

std::wstring ClassName(HWND window) {
    std::array<wchar_t, 256> name{};
    if (window == nullptr || ::GetClassNameW(window, name.data(), static_cast<int>(name.size())) == 0) return {};
    return name.data();
}

bool IsDesktopClass(const std::wstring& name) { return name == L"Progman" || name == L"WorkerW"; }

std::wstring PathOfIdList(PCIDLIST_ABSOLUTE list) {
    std::array<wchar_t, MAX_PATH> path{};
    if (list == nullptr || !::SHGetPathFromIDListW(list, path.data())) return {};
    return path.data();
}

// The folder a view shows, as an ID list.
bool ViewFolder(IFolderView* view, IdList& folder) {
    Com<IPersistFolder2> persist;
    if (FAILED(view->GetFolder(IID_IPersistFolder2, persist.OutVoid())) || !persist) return false;
    return SUCCEEDED(persist->GetCurFolder(&folder.list)) && folder.list != nullptr;
}

// The active view of a shell window (an item of the shell's window list).
bool ActiveView(IDispatch* window, Com<IShellView>& shellView, Com<IFolderView>& folderView) {
    Com<IServiceProvider> provider;
    if (window == nullptr || FAILED(window->QueryInterface(IID_IServiceProvider, provider.OutVoid()))) return false;
    Com<IShellBrowser> browser;
    if (FAILED(provider->QueryService(kTopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) || !browser) {
        return false;
    }
    if (FAILED(browser->QueryActiveShellView(shellView.Out())) || !shellView) return false;
    return SUCCEEDED(shellView->QueryInterface(IID_IFolderView, folderView.OutVoid())) && folderView;
}

std::wstring DesktopDropFolder(IShellWindows* windows, POINT pointer) {
    if (windows != nullptr) {
        VARIANT none{};
        none.vt = VT_EMPTY;
        long handle = 0;
        Com<IDispatch> desktop;
        if (windows->FindWindowSW(&none, &none, SWC_DESKTOP, &handle, SWFO_NEEDDISPATCH, desktop.Out()) == S_OK) {
            Com<IShellView> shellView;
            Com<IFolderView> folderView;
            if (ActiveView(desktop.Get(), shellView, folderView)) {
                std::wstring path = FindFolderItemUnderPoint(folderView.Get(), pointer, kDesktopCell);
                if (!path.empty()) return path;
            }
        }
    }
    std::array<wchar_t, MAX_PATH> path{};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
        return {};
    }
    return path.data();
}

std::wstring FolderWindowDropFolder(IShellWindows* windows, HWND root, POINT pointer) {
    long count = 0;
    if (windows == nullptr || FAILED(windows->get_Count(&count))) return {};
    for (long i = 0; i < count; ++i) {
        VARIANT index{};
        index.vt = VT_I4;
        index.lVal = i;
        Com<IDispatch> window;
        if (FAILED(windows->Item(index, window.Out())) || !window) continue;
        Com<IWebBrowserApp> app;
        SHANDLE_PTR handle = 0;
        if (FAILED(window->QueryInterface(IID_IWebBrowserApp, app.OutVoid())) || FAILED(app->get_HWND(&handle)) ||
            reinterpret_cast<HWND>(handle) != root) {
            continue;
        }
        Com<IShellView> shellView;
        Com<IFolderView> folderView;
        if (!ActiveView(window.Get(), shellView, folderView)) continue;
        HWND viewWindow = nullptr;
        POINT client = pointer;
        if (SUCCEEDED(shellView->GetWindow(&viewWindow))) ::ScreenToClient(viewWindow, &client);
        std::wstring path = FindFolderItemUnderPoint(folderView.Get(), client, kFolderWindowCell);
        if (path.empty()) {
            IdList folder;
            if (ViewFolder(folderView.Get(), folder)) path = PathOfIdList(folder.list);
        }
        if (!path.empty()) return path;
    }
    return {};
}

}  // namespace

std::wstring FindFolderItemUnderPoint(IFolderView* view, POINT point, SIZE cell) {
    if (view == nullptr) return {};
    IdList folder;
    Com<IShellFolder> shellFolder;
    Com<IEnumIDList> items;
    if (!ViewFolder(view, folder) || FAILED(view->GetFolder(IID_IShellFolder, shellFolder.OutVoid())) ||
        FAILED(view->Items(SVGIO_ALLVIEW, IID_IEnumIDList, items.OutVoid())) || !items) {
        return {};
    }
    PITEMID_CHILD child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK) {
        POINT position{};
        const bool hit = SUCCEEDED(view->GetItemPosition(child, &position)) && point.x >= position.x &&
                         point.x < position.x + cell.cx && point.y >= position.y && point.y < position.y + cell.cy;
        if (!hit) {
            ::CoTaskMemFree(child);
            continue;
        }
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        PCUITEMID_CHILD children[] = {child};
        std::wstring path;
        if (SUCCEEDED(shellFolder->GetAttributesOf(1, children, &attributes)) &&
            (attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM)) == (SFGAO_FOLDER | SFGAO_FILESYSTEM)) {
            IdList full;
            full.list = ::ILCombine(folder.list, child);
            path = PathOfIdList(full.list);
        }
        ::CoTaskMemFree(child);
        return path;
    }
    return {};
}

std::wstring FindDropFolder() {
    POINT pointer{};
    if (!::GetCursorPos(&pointer)) return {};
    HWND under = ::WindowFromPoint(pointer);
    if (under == nullptr) return {};
    HWND root = ::GetAncestor(under, GA_ROOT);
    if (root == nullptr) root = under;
    Com<IShellWindows> windows;
    ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.OutVoid());
    if (IsDesktopClass(ClassName(root)) || IsDesktopClass(ClassName(::GetParent(root)))) {
        return DesktopDropFolder(windows.Get(), pointer);
    }
    return FolderWindowDropFolder(windows.Get(), root, pointer);
}

}  // namespace Arkova
