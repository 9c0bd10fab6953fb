#include "dialog/edit_control.h"

#include <algorithm>

namespace winapi::dialog {

void EditText::set_text(const std::string& text) {
    m_text = text;
    m_caret = m_anchor = 0;
}

void EditText::set_limit(size_t limit) {
    m_limit = limit;
}

void EditText::select(size_t start, size_t end) {
    m_anchor = std::min(start, m_text.size());
    m_caret = std::min(end, m_text.size());
}

void EditText::move_caret(size_t position, bool extend) {
    m_caret = std::min(position, m_text.size());
    if (!extend) m_anchor = m_caret;
}

size_t EditText::replace_selection(const std::string& text) {
    size_t start = selection_start();
    size_t end = selection_end();
    size_t kept = m_text.size() - (end - start);
    size_t room = m_limit > kept ? m_limit - kept : 0;
    size_t taken = std::min(room, text.size());
    m_text.replace(start, end - start, text, 0, taken);
    m_caret = m_anchor = start + taken;
    return text.size() - taken;
}

bool EditText::erase_backward() {
    if (!has_selection()) {
        if (m_caret == 0) return false;
        m_anchor = m_caret - 1;
    }
    replace_selection("");
    return true;
}

bool EditText::erase_forward() {
    if (!has_selection()) {
        if (m_caret >= m_text.size()) return false;
        m_anchor = m_caret + 1;
    }
    replace_selection("");
    return true;
}

} // namespace winapi::dialog
