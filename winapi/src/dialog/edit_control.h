// The text model of a single-line edit control: the text, the selection and the limit,
// kept apart from the window so that its rules can be read (and tested) on their own.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <string>

namespace winapi::dialog {

class LX_INTERNAL_API EditText {
  public:
    const std::string& text() const { return m_text; }
    size_t caret() const { return m_caret; }
    size_t anchor() const { return m_anchor; }
    size_t selection_start() const { return m_caret < m_anchor ? m_caret : m_anchor; }
    size_t selection_end() const { return m_caret < m_anchor ? m_anchor : m_caret; }
    bool has_selection() const { return m_caret != m_anchor; }
    size_t limit() const { return m_limit; }

    // Replaces the whole text (not bound by the limit, as WM_SETTEXT is not); the caret goes
    // to the start.
    void set_text(const std::string& text);
    void set_limit(size_t limit);

    // Selects [start, end); positions past the end mean the end. The caret is at `end`.
    void select(size_t start, size_t end);
    // Moves the caret; with `extend` the anchor stays where it is.
    void move_caret(size_t position, bool extend);

    // Replaces the selection with `text`, cut to what the limit leaves room for. Returns the
    // number of characters that did not fit (0 when all went in).
    size_t replace_selection(const std::string& text);
    // Backspace and Delete: the selection, else one character before or after the caret.
    // False when there was nothing to delete.
    bool erase_backward();
    bool erase_forward();

  private:
    std::string m_text;
    size_t m_caret = 0;
    size_t m_anchor = 0;
    size_t m_limit = 30000; // the default for single-line edit controls
};

} // namespace winapi::dialog
