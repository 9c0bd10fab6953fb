// Addresses as the viewer handles them: everything is an absolute URL once it is inside the
// viewer, so that plug-ins always see an absolute NPStream.url and relative SRC and link
// addresses resolve against the page that holds them.
#pragma once

#include <optional>
#include <string>

namespace browser {

// An address from the command line: a URL with a scheme is taken as it is, anything else is
// a file path (relative to the working directory) turned into a file: URL. nullopt for an
// empty or malformed address.
std::optional<std::string> address_to_url(const std::string& address);

// `reference` resolved against the absolute `base`, without its fragment. nullopt when the
// result is not a valid URL.
std::optional<std::string> resolve_url(const std::string& base, const std::string& reference);

// The scheme in lower case ("http", "file" ...); empty when there is none.
std::string url_scheme(const std::string& url);

// The local path of a file: URL (percent escapes decoded); nullopt for other URLs.
std::optional<std::string> url_to_path(const std::string& url);

// Whether a page from `origin` may reach `target`. A page that came over the network (http,
// https) reaches only the network: its embeds, links and plug-in requests never read a local
// file. A local page, or an address the user gave (an empty origin), may reach anything the
// viewer can fetch.
bool may_reach(const std::string& origin, const std::string& target);

// The extension of the last path segment, in lower case, without the dot ("mov"); empty
// when it has none. Query and fragment do not count.
std::string url_extension(const std::string& url);

} // namespace browser
