// lstrlenA, lstrcpynA and lstrcmpiA.

#include <cstring>
#include <winbase.h>

int WINAPI lstrlenA(LPCSTR lpString) {
    // A null string has length 0, as Windows reports it.
    return lpString ? static_cast<int>(std::strlen(lpString)) : 0;
}

LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
    // Copies at most iMaxLength - 1 characters and always terminates the copy (when there is
    // room for the terminator at all). Null pointers give null instead of a crash.
    if (!lpString1 || !lpString2) return nullptr;
    if (iMaxLength <= 0) return lpString1;
    int i = 0;
    for (; i < iMaxLength - 1 && lpString2[i]; ++i)
        lpString1[i] = lpString2[i];
    lpString1[i] = '\0';
    return lpString1;
}

int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2) {
    // Compares without regard to ASCII case, byte by byte; a null string sorts before any
    // other. The result is -1, 0 or 1.
    if (!lpString1 || !lpString2) return lpString1 ? 1 : lpString2 ? -1 : 0;
    for (;; ++lpString1, ++lpString2) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        int a = lower(static_cast<unsigned char>(*lpString1));
        int b = lower(static_cast<unsigned char>(*lpString2));
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
}
