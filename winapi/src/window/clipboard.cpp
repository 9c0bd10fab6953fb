// The clipboard. Its data are global memory blocks that the clipboard owns once they are
// placed on it: they are freed when it is emptied, never by the program that made them.
#include "window/clipboard.h"

#include "window/window_manager.h"

#include <algorithm>
#include <vector>

namespace winapi::window {

namespace {

struct ClipboardEntry {
    UINT format = 0;
    HANDLE memory = nullptr;
};

struct Clipboard {
    bool open = false;
    HWND opener = nullptr; // the window given to OpenClipboard (may be null)
    bool emptied_by_opener = false;
    HWND owner = nullptr;                // the window that last emptied it
    std::vector<ClipboardEntry> entries; // in the order they were placed
};

Clipboard& clipboard() {
    static Clipboard board;
    return board;
}

void free_entries(Clipboard& board) {
    for (const ClipboardEntry& entry : board.entries)
        GlobalFree(entry.memory);
    board.entries.clear();
}

bool require_open() {
    if (clipboard().open) return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

ClipboardEntry* find_entry(UINT format) {
    auto& entries = clipboard().entries;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [format](const ClipboardEntry& e) { return e.format == format; });
    return it == entries.end() ? nullptr : &*it;
}

} // namespace

void clipboard_reset() {
    Clipboard& board = clipboard();
    free_entries(board);
    board = Clipboard{};
}

} // namespace winapi::window

using namespace winapi::window;

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
    if (hWndNewOwner && !checked_window(hWndNewOwner)) return FALSE;
    Clipboard& board = clipboard();
    if (board.open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    board.open = true;
    board.opener = hWndNewOwner;
    board.emptied_by_opener = false;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
    if (!require_open()) return FALSE;
    clipboard().open = false;
    clipboard().opener = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
    if (!require_open()) return FALSE;
    Clipboard& board = clipboard();
    // The old owner learns that its data are gone, while they still exist.
    if (board.owner && find_window(board.owner) && !board.entries.empty())
        SendMessageA(board.owner, WM_DESTROYCLIPBOARD, 0, 0);
    free_entries(board);
    board.owner = board.opener;
    board.emptied_by_opener = true;
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    if (!require_open()) return nullptr;
    Clipboard& board = clipboard();
    // Only the program that emptied the clipboard may fill it, and only with memory the
    // clipboard can own and free (rendering on request is not supported).
    if (!board.emptied_by_opener || !hMem || uFormat == 0 || GlobalSize(hMem) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (ClipboardEntry* entry = find_entry(uFormat)) {
        if (entry->memory != hMem) GlobalFree(entry->memory);
        entry->memory = hMem;
    } else {
        board.entries.push_back({uFormat, hMem});
    }
    return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    if (!require_open()) return nullptr;
    ClipboardEntry* entry = find_entry(uFormat);
    return entry ? entry->memory : nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    return find_entry(format) ? TRUE : FALSE;
}

int WINAPI CountClipboardFormats(void) {
    return static_cast<int>(clipboard().entries.size());
}

UINT WINAPI EnumClipboardFormats(UINT format) {
    if (!require_open()) return 0;
    auto& entries = clipboard().entries;
    SetLastError(ERROR_SUCCESS);
    if (format == 0) return entries.empty() ? 0 : entries.front().format;
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        if (entries[i].format == format) return entries[i + 1].format;
    return 0;
}

HWND WINAPI GetClipboardOwner(void) {
    HWND owner = clipboard().owner;
    return find_window(owner) ? owner : nullptr;
}

HWND WINAPI GetOpenClipboardWindow(void) {
    return clipboard().open ? clipboard().opener : nullptr;
}
