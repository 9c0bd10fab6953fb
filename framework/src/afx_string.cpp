#include "afx_string.h"

#include "afx_module_state.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// A string-table entry holds at most this many characters.
constexpr int kMaxResourceString = 4095;
// Most resource strings fit a first, small buffer; longer ones are loaded again.
constexpr int kFirstTryBuffer = 256;

const char* or_empty(LPCSTR text) {
    return text ? text : "";
}

int clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

} // namespace

CString::CString(LPCSTR text) {
    if (text && IS_INTRESOURCE(text)) {
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(text)));
        return;
    }
    m_text = or_empty(text);
}

CString::CString(char ch, int repeat) : m_text(static_cast<size_t>(std::max(repeat, 0)), ch) {}

CString::CString(LPCSTR text, int length) {
    if (text && length > 0) m_text.assign(text, strnlen(text, static_cast<size_t>(length)));
}

CString& CString::operator=(LPCSTR text) {
    m_text = or_empty(text);
    return *this;
}

CString& CString::operator=(char ch) {
    m_text.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(LPCSTR text) {
    m_text += or_empty(text);
    return *this;
}

CString& CString::operator+=(char ch) {
    m_text += ch;
    return *this;
}

char CString::GetAt(int index) const {
    return index >= 0 && index < GetLength() ? m_text[static_cast<size_t>(index)] : '\0';
}

void CString::SetAt(int index, char ch) {
    if (index >= 0 && index < GetLength()) m_text[static_cast<size_t>(index)] = ch;
}

int CString::Compare(LPCSTR text) const {
    return strcmp(m_text.c_str(), or_empty(text));
}

int CString::CompareNoCase(LPCSTR text) const {
    return lstrcmpiA(m_text.c_str(), or_empty(text));
}

LPSTR CString::GetBuffer(int min_length) {
    if (min_length > GetLength()) m_text.resize(static_cast<size_t>(min_length));
    return m_text.data();
}

LPSTR CString::GetBufferSetLength(int new_length) {
    m_text.resize(static_cast<size_t>(std::max(new_length, 0)));
    return m_text.data();
}

void CString::ReleaseBuffer(int new_length) {
    if (new_length < 0) new_length = static_cast<int>(strnlen(m_text.data(), m_text.size()));
    m_text.resize(static_cast<size_t>(std::min(new_length, GetLength())));
}

CString CString::Left(int count) const {
    return CString(m_text.c_str(), clamp(count, 0, GetLength()));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = clamp(first, 0, GetLength());
    count = clamp(count, 0, GetLength() - first);
    CString part;
    part.m_text = m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count));
    return part;
}

CString CString::Right(int count) const {
    count = clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCSTR sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
    size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::MakeUpper() {
    for (char& c : m_text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
    for (char& c : m_text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
}

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, or_empty(format), measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        m_text.resize(static_cast<size_t>(length));
        vsnprintf(m_text.data(), m_text.size() + 1, or_empty(format), args);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT id) {
    // String resources are stored sixteen to a block; the block's name finds the module.
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA((id >> 4) + 1), RT_STRING);
    char first[kFirstTryBuffer];
    int length = ::LoadStringA(module, id, first, kFirstTryBuffer);
    if (length < kFirstTryBuffer - 1) {
        m_text.assign(first, static_cast<size_t>(length));
        return length > 0;
    }
    // The first buffer was filled: the string may be longer, so read it into full room.
    m_text.resize(kMaxResourceString);
    length = ::LoadStringA(module, id, m_text.data(), kMaxResourceString + 1);
    m_text.resize(static_cast<size_t>(std::max(length, 0)));
    return length > 0;
}

CString operator+(const CString& left, const CString& right) {
    CString result(left);
    return result += right;
}
CString operator+(const CString& left, LPCSTR right) {
    CString result(left);
    return result += right;
}
CString operator+(LPCSTR left, const CString& right) {
    CString result(left ? left : "");
    return result += right;
}
CString operator+(const CString& left, char right) {
    CString result(left);
    return result += right;
}
CString operator+(char left, const CString& right) {
    CString result(left);
    return result += right;
}

bool operator==(const CString& l, const CString& r) {
    return l.Compare(r) == 0;
}
bool operator==(const CString& l, LPCSTR r) {
    return l.Compare(r) == 0;
}
bool operator==(LPCSTR l, const CString& r) {
    return r.Compare(l) == 0;
}
bool operator!=(const CString& l, const CString& r) {
    return l.Compare(r) != 0;
}
bool operator!=(const CString& l, LPCSTR r) {
    return l.Compare(r) != 0;
}
bool operator!=(LPCSTR l, const CString& r) {
    return r.Compare(l) != 0;
}
bool operator<(const CString& l, const CString& r) {
    return l.Compare(r) < 0;
}
bool operator<(const CString& l, LPCSTR r) {
    return l.Compare(r) < 0;
}
bool operator<(LPCSTR l, const CString& r) {
    return r.Compare(l) > 0;
}
bool operator>(const CString& l, const CString& r) {
    return l.Compare(r) > 0;
}
bool operator>(const CString& l, LPCSTR r) {
    return l.Compare(r) > 0;
}
bool operator>(LPCSTR l, const CString& r) {
    return r.Compare(l) < 0;
}
bool operator<=(const CString& l, const CString& r) {
    return l.Compare(r) <= 0;
}
bool operator<=(const CString& l, LPCSTR r) {
    return l.Compare(r) <= 0;
}
bool operator<=(LPCSTR l, const CString& r) {
    return r.Compare(l) >= 0;
}
bool operator>=(const CString& l, const CString& r) {
    return l.Compare(r) >= 0;
}
bool operator>=(const CString& l, LPCSTR r) {
    return l.Compare(r) >= 0;
}
bool operator>=(LPCSTR l, const CString& r) {
    return r.Compare(l) <= 0;
}
