// The instance's link: the address a click follows, resolved against the stream's address,
// with the mouse position appended for an image map.
#include "instance/plugin_instance.h"

#include <stdio.h>
#include <string.h>

namespace {

// The size of the image-map suffix buffer, zero included.
const int SuffixSize = 256;

// Where the path of `address` begins: just after the first '/' that follows "://", or after
// the first '/' when there is no "://". A relative link never climbs above this point.
size_t PathRoot(const char* address, size_t length) {
    const char* authority = strstr(address, "://");
    const char* from = authority && size_t(authority - address) < length ? authority + 3 : address;
    const char* slash = static_cast<const char*>(memchr(from, '/', length - (from - address)));
    return slash ? size_t(slash - address) + 1 : length;
}

// Takes the leading "./" and "../" steps off `link`, climbing one folder of the first `kept`
// characters of `base` for each "..", never above its path root.
const char* ClimbFolders(const char* base, size_t* kept, const char* link) {
    size_t root = PathRoot(base, *kept);
    for (;;) {
        if (strncmp(link, "./", 2) == 0) {
            link += 2;
        } else if (strncmp(link, "../", 3) == 0 || strcmp(link, "..") == 0) {
            link += link[2] ? 3 : 2;
            // Drop the last folder: back to the '/' before the one that ends the kept part.
            if (*kept > root) {
                size_t at = *kept - 1;
                while (at > root && base[at - 1] != '/')
                    --at;
                *kept = at;
            }
        } else {
            return link;
        }
    }
}

} // namespace

char* PluginInstance::BuildLinkURL() {
    char suffix[SuffixSize] = "";
    if (IsMap) {
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        ScreenToClient(WindowHandle, &cursor);
        snprintf(suffix, sizeof suffix, "?%d,%d", static_cast<int>(cursor.x),
                 static_cast<int>(cursor.y));
    }
    if (!Href) return nullptr;
    return ResolveLink(StreamURL, Href, suffix);
}

char* PluginInstance::ResolveLink(const char* base, const char* link, const char* suffix) {
    if (!link) return nullptr;
    if (!base) base = "";
    if (!suffix) suffix = "";
    size_t size = strlen(base) + strlen(link) + strlen(suffix) + 1;
    if (size > 0xFFFFFFFFu) return nullptr;
    char* result = static_cast<char*>(NPN_MemAlloc(static_cast<uint32>(size)));
    if (!result) return nullptr;
    size_t kept = 0;
    if (!strchr(link, ':')) {
        // Relative: the base address up to its last '/'. Without a stream address, or with
        // one that has no '/', the link goes to the host as it stands, which resolves it
        // against the page.
        const char* slash = strrchr(base, '/');
        kept = slash ? size_t(slash - base) + 1 : 0;
        if (kept) link = ClimbFolders(base, &kept, link);
    }
    memcpy(result, base, kept);
    strcpy(result + kept, link);
    strcat(result, suffix);
    return result;
}
