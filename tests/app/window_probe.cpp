// Asks a window of another process to answer, over and over, for a while,
// and exits with the longest wait in milliseconds (or 9999 when it never
// answered): a window that freezes shows as a long wait.
//   window_probe <hwnd> <milliseconds>
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) return 9999;
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[1], nullptr, 10)));
    const DWORD total = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const DWORD start = GetTickCount();
    DWORD longest = 0;
    while (GetTickCount() - start < total && IsWindow(hwnd)) {
        const DWORD sent = GetTickCount();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) return 9999;
        const DWORD waited = GetTickCount() - sent;
        if (waited > longest) longest = waited;
        Sleep(5);
    }
    return static_cast<int>(longest);
}
