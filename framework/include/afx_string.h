// CString: the framework's text value. It owns a zero-terminated copy of its characters,
// converts to LPCSTR wherever a Win32 function wants a text, and can load string resources.
#pragma once

#include <windows.h>

#include <string>

// Marks a printf-style function so that compilers that can (GCC, Clang, MinGW) check its
// arguments against the format text; `text` and `first` count from 1, `this` included.
#if defined(__GNUC__)
#define AFX_PRINTF_FORMAT(text, first) __attribute__((format(printf, text, first)))
#else
#define AFX_PRINTF_FORMAT(text, first)
#endif

class CString {
  public:
    CString() = default;
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    // A null pointer gives the empty text. An integer resource id (MAKEINTRESOURCE) loads
    // that string resource, as LoadString does.
    CString(LPCSTR text);
    CString(char ch, int repeat = 1);
    // The first `length` characters of `text` (fewer if it ends sooner).
    CString(LPCSTR text, int length);
    ~CString() = default;

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept = default;
    CString& operator=(LPCSTR text);
    CString& operator=(char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // Character access; positions outside the text give '\0' and are not written.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);

    // The text, valid until the string is next changed.
    operator LPCSTR() const { return m_text.c_str(); }

    // Byte-wise comparison as strcmp: negative, 0 or positive.
    int Compare(LPCSTR text) const;
    int CompareNoCase(LPCSTR text) const;

    // Direct access for functions that write into a character buffer. GetBuffer returns room
    // for at least `min_length` characters plus a terminating zero, keeping the current
    // text; ReleaseBuffer then takes the text up to `new_length` characters, or up to its
    // first zero when `new_length` is -1. GetBufferSetLength makes the length exactly
    // `new_length`. The pointer is valid until ReleaseBuffer or the next change.
    LPSTR GetBuffer(int min_length);
    LPSTR GetBufferSetLength(int new_length);
    void ReleaseBuffer(int new_length = -1);

    // Parts of the text. Counts and positions are clamped to the text.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // Position of the first occurrence at or after `start`, or -1.
    int Find(char ch, int start = 0) const;
    int Find(LPCSTR sub, int start = 0) const;
    // Position of the last occurrence of `ch`, or -1.
    int ReverseFind(char ch) const;

    void MakeUpper();
    void MakeLower();

    // Replaces the text with printf-style formatting of the arguments.
    void Format(LPCSTR format, ...) AFX_PRINTF_FORMAT(2, 3);

    // Loads string resource `id` from the module that AfxFindResourceHandle names; strings
    // of any length a string table can hold (4095 characters) load whole. FALSE, with the
    // text emptied, when there is no such string or it is empty.
    BOOL LoadString(UINT id);

  private:
    std::string m_text;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, LPCSTR right);
CString operator+(LPCSTR left, const CString& right);
CString operator+(const CString& left, char right);
CString operator+(char left, const CString& right);

bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, LPCSTR right);
bool operator==(LPCSTR left, const CString& right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, LPCSTR right);
bool operator!=(LPCSTR left, const CString& right);
bool operator<(const CString& left, const CString& right);
bool operator<(const CString& left, LPCSTR right);
bool operator<(LPCSTR left, const CString& right);
bool operator>(const CString& left, const CString& right);
bool operator>(const CString& left, LPCSTR right);
bool operator>(LPCSTR left, const CString& right);
bool operator<=(const CString& left, const CString& right);
bool operator<=(const CString& left, LPCSTR right);
bool operator<=(LPCSTR left, const CString& right);
bool operator>=(const CString& left, const CString& right);
bool operator>=(const CString& left, LPCSTR right);
bool operator>=(LPCSTR left, const CString& right);
