// PluginInstance: the object that serves one EMBED element of a page (one NPP instance of
// the host). The host entry points create it and forward every host call to one of its
// virtual operations; a subclass replaces some of them and calls the base versions from its
// own.
//
// Every instance object lives in host memory: the class's own allocation operators take it
// from NPN_MemAlloc and give it back with NPN_MemFree.
#pragma once

#include <afxwin.h>

#include "host/host_interface.h"

// A colour as the page attributes give it: red, green and blue, each stored as 0..255.
// Drawing takes the low byte of each component.
struct RGB16 {
    unsigned short Red;
    unsigned short Green;
    unsigned short Blue;
};

class PluginInstance {
  public:
    PluginInstance();
    // Releases the instance's texts and poster, gives the window its own procedure back and
    // leaves InstanceList.
    virtual ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Host memory for instance objects of every subclass. operator new returns null when the
    // host has no memory (a new-expression then yields null and constructs nothing).
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* block) noexcept;

    // ---- Virtual operations, in the order of their slots (the destructor is slot 0) ----

    // Keeps mode and handle, takes the file name from the first attribute's value, reads the
    // page attributes and asks for the poster range 4000..4000. Always NPERR_NO_ERROR.
    virtual NPError New(NPMIMEType pluginType, NPP instance, unsigned short mode, short argc,
                        char* argn[], char* argv[], NPSavedData* saved);
    // Hands the saved-data record to the host through `save` (made once per instance; null
    // when it could not be made). Always NPERR_NO_ERROR.
    virtual NPError Destroy(NPSavedData** save);
    // Subclasses the record's window (moving the subclassing from an earlier window) and
    // registers the instance in InstanceList. Always NPERR_NO_ERROR.
    virtual NPError SetWindow(NPWindow* window);
    // Asks for the data as a normal stream and keeps the stream's address; a full-window
    // instance also takes its file name from it. Nothing once Failed is set.
    // Always NPERR_NO_ERROR.
    virtual NPError NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                              unsigned short* stype);
    // Base: any amount may be sent (0x0FFFFFFF).
    virtual int32 WriteReady(NPStream* stream);
    // Base: takes nothing (0).
    virtual int32 Write(NPStream* stream, int32 offset, int32 len, void* buffer);
    // Base: NPERR_NO_ERROR.
    virtual NPError DestroyStream(NPStream* stream, NPError reason);
    // Base: nothing.
    virtual void StreamAsFile(NPStream* stream, const char* fname);
    // Base: nothing.
    virtual void Print(NPPrint* platformPrint);
    // Every message of the subclassed window. Base: paints, shows and follows the link, opens
    // the context menu, carries out menu commands and repaints on a palette change; every
    // other message goes to PrevWindowProc, whose result is returned.
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Shows the shared pop-up at a point in screen coordinates, with the link's three items
    // above its own while the page gave a link; the pop-up holds only its own items again
    // afterwards. Nothing without the pop-up.
    virtual void TrackContextMenu(int x, int y);
    // Carries out a menu command: 1 About, 2 Guide (the maker's pages in the whole browser
    // window), 3 Preferences, 5 open the link, 6 open it in a new window, 7 copy its address,
    // 16 copy the movie's address. Others do nothing.
    virtual void DoMenuCommand(short command);
    // Paints the poster and then the status line over it, each through a display context of
    // WindowHandle of its own. The rectangle is not used. The background and the frame are
    // the painter's: the subclass calls this first and draws its movie over it.
    virtual void Draw(const RECT& updateRect);
    // Turns a WM_COMMAND identifier into the command for DoMenuCommand. Base: unchanged.
    virtual short MapCommandId(short command);

    // ---- Utilities ----

    // Chooses the poster among bitmaps `last` down to `first`: the first one smaller than the
    // instance area in both directions, centred in it at its own size; none when none fits
    // or the range is empty. Invalidates the old and the new poster's rectangles (the whole
    // window when none is shown), repaints at once when `updateNow`, and records the range.
    // Before SetWindow it only records the range; with NOPICTURE it does nothing at all.
    void ShowPicture(short first, short last, BOOL updateNow);
    // Shows string resource base + offset as the status line in the bottom 16 pixels of the
    // instance area, or clears the line when there is no such string. Invalidates the old
    // and the new strip and repaints at once when `updateNow`. Nothing at all without
    // STATUSMSG or before SetWindow.
    void ShowStatusMessage(short base, short offset, BOOL updateNow);
    // Invalidates the whole window, with erase; nothing while there is no window.
    void InvalidateAll();
    // Invalidates `area` of the window, with erase; nothing while there is no window.
    void InvalidateArea(const RECT& area);
    // Paints what is invalid in the window before returning; nothing while there is none.
    void UpdateNow();

    // Moves `rect` to (0, 0), clips its width and height to those of `bounds` (each on its
    // own) and centres it in (0, 0, width of bounds, height of bounds).
    static void CenterRect(RECT* rect, const RECT& bounds);
    // Copies the whole of `bitmap` into `destination` (device units of `dc`) with raster
    // operation `rop`, stretching it to fit, through a memory context that takes the mapping
    // mode of `dc`. Draws nothing when no memory context can be made.
    static void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& destination, DWORD rop);

    // The address a click on the instance follows: Href resolved against the stream's
    // address, with "?x,y" of the cursor in the window appended for an image map. Host
    // memory, which the caller gives back with NPN_MemFree; null without a link or memory.
    char* BuildLinkURL();
    // `link` resolved against `base`, followed by `suffix`, in host memory (null when memory
    // is short). A link with a ':' is absolute and taken as it is. A relative link replaces
    // the last segment of `base`; its leading "./" and "../" steps are resolved, never above
    // the address's root. Without a base, or with one without any '/', the link is taken as
    // it is.
    static char* ResolveLink(const char* base, const char* link, const char* suffix);

    // Puts `text` on the clipboard as OEM text, owned by the window. The clipboard is emptied
    // first, also when no memory is left for the text.
    void CopyTextToClipboard(const char* text);

    // Loads string resource base + offset (each a signed 16-bit number) from the library's
    // resources into `buffer` (256 characters); the empty text when there is no such string.
    static void LoadStringResource(char* buffer, short base, short offset);
    // TRUE when `text` is one or more decimal digits and nothing else; `value` then receives
    // its value (at most INT_MAX: longer numbers stop there). FALSE otherwise, with `value`
    // left as it was.
    static BOOL ParseNumber(const char* text, int* value);

    // ---- Fields, in declaration order ----
    // The subclass, the window procedure and the drawing code read and write them directly.

    NPWindow* WindowRecord; // the record last given to SetWindow; the host's
    unsigned short Mode;    // NP_EMBED or NP_FULL, as New was told
    NPP HostHandle;         // passed to every host service
    HWND WindowHandle;      // the window this instance has subclassed
    WNDPROC PrevWindowProc; // that window's procedure before the subclassing
    NPSavedData* SavedData; // the record Destroy hands to the host
    PluginInstance* Next;   // next instance in InstanceList
    BOOL Failed;            // out of service; set only by the subclass
    BOOL IsMap;             // ISMAP was given
    char* Href;             // the link (HREF or HREFABS), host memory
    char* HrefTarget;       // HREFTARGET, host memory
    char* StreamURL;        // the stream's address, host memory
    char FileName[256];     // file-name part of the movie's address, at most 255 characters
    LONG StreamLength;      // expected stream length; set by the subclass
    BOOL PictureAllowed;    // the poster may be shown; NOPICTURE clears it
    BOOL StatusAllowed;     // status messages are drawn; STATUSMSG sets it
    CBitmap Picture;        // the poster now shown
    RECT PictureRect;       // where the poster is drawn
    RECT StatusRect;        // where the status line is drawn
    short PictureFirstId;   // lowest bitmap id of the range last asked for
    short PictureLastId;    // highest bitmap id of that range
    char* StatusText;       // the status line now shown, host memory
    RGB16 ForeColor;        // FRCOLOR
    BOOL BackColorGiven;    // BGCOLOR was given
    RGB16 BackColor;        // BGCOLOR

  private:
    // The paint sequence: background (BGCOLOR or white, with a frame around a poster), then
    // Draw, between BeginPaint and EndPaint of `hwnd`.
    void Paint(HWND hwnd);
    // Opens the address in string `stringId` in the whole browser window.
    void OpenResourceAddress(short stringId);
    // The link's pointing hand, made current unless it already is.
    void ShowLinkCursor();
    // The link's address in the host's status line.
    void ShowLinkInStatus();
    // Opens the link's address in HrefTarget, or in the whole browser window without one.
    void FollowLink();
    void ReadAttributes(short argc, char* argn[], char* argv[]);
    void ReadAttribute(const char* name, const char* value);
    // Takes FileName from an address: the text after its last '/', else after its last ':',
    // else the whole address, cut to 255 characters.
    void TakeFileName(const char* address);
    // Installs InstanceWindowProc on `hwnd`, keeping its procedure in PrevWindowProc, and
    // registers the instance; leaves WindowHandle null when `hwnd` is not a window.
    void SubclassWindow(HWND hwnd);
    // Puts PrevWindowProc back as the procedure of `hwnd`.
    void RestoreWindowProc(HWND hwnd);
    void UnlinkFromInstanceList();
};

// The first live instance; the others follow through Next. Null while there is none.
extern PluginInstance* InstanceList;

// Sets the instance's WindowHandle to `hwnd` and appends the instance to InstanceList unless
// it is already in it.
void AddInstance(HWND hwnd, PluginInstance* instance);
// The first instance in list order whose WindowHandle is `hwnd`, or null.
PluginInstance* FindInstance(HWND hwnd);

// The procedure SetWindow installs on an instance's window: selects the library's module
// state and gives the message to the WindowProc of the instance registered for the window.
// A window no instance is registered for gets DefWindowProcA.
LRESULT CALLBACK InstanceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A copy of `text` in host memory, or null when `text` is null or memory is short.
char* CopyToHostMemory(const char* text);
