// CWnd: a framework object for a window handle, with the window and dialog-item functions
// the framework's dialogs use. A CWnd does not own its window: destroying the object leaves
// the window alone.
#pragma once

#include <windows.h>

#include "afx_string.h"

template <typename Handle, typename Object>
class HandleMap;

class CWnd;

// A handler in a message map: a member function of a class derived from CWnd that takes no
// arguments (the notification handlers of dialogs).
typedef void (CWnd::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND
    UINT nCode;    // the notification code (BN_CLICKED, EN_MAXTEXT ...)
    UINT nID;      // the control id
    AFX_PMSG pfn;  // null in the entry that ends the map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)(); // the base class's map, or null
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// A class with a message map puts DECLARE_MESSAGE_MAP() in its body and the map, between
// BEGIN_MESSAGE_MAP and END_MESSAGE_MAP, in its source file. Entries are tried in order,
// then the base class's map.
#define DECLARE_MESSAGE_MAP()                                                                      \
  protected:                                                                                       \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                                   \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The framework object for `hwnd`: the CWnd attached to it, or else a temporary one
    // owned by the framework and reclaimed after the window is gone. Null for null.
    static CWnd* FromHandle(HWND hwnd);

    BOOL Attach(HWND hwnd);
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR buffer, int max_count) const;
    void GetWindowText(CString& text) const;
    LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

    // Dialog items of this window.
    CWnd* GetDlgItem(int id) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void SetDlgItemText(int id, LPCSTR text);
    int GetDlgItemText(int id, LPSTR buffer, int max_count) const;
    int GetDlgItemText(int id, CString& text) const;
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL is_signed = TRUE) const;
    void SetDlgItemInt(int id, UINT value, BOOL is_signed = TRUE);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

    HWND m_hWnd = nullptr;

  protected:
    // Runs the message-map handler for a WM_COMMAND; FALSE when no entry matches.
    virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

  private:
    template <typename, typename>
    friend class HandleMap;
    void forget_handle() { m_hWnd = nullptr; }
};
