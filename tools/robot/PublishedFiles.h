#pragma once
// Which published file a request under /results/ may read. The path is never built from
// the request as it is: only the names the judge writes pass (results.html, .txt, .csv,
// .json and reports/<name>.txt with a name of [A-Za-z0-9_.-] not starting with a dot).

#include <optional>
#include <string>

namespace korvane::robot {

struct PublishedFile {
    std::string path;        // under the published folder
    std::string contentType; // with its charset
};

// rest: the request path after "/results/" (already percent-decoded); "" is results.html.
// Empty when the name is not one the judge writes or the folder is empty.
std::optional<PublishedFile> publishedFile(const std::string& folder, const std::string& rest);

// The Content-Security-Policy for a published page: the judge's page carries its style
// inside, which default-src 'self' alone would block, so that one style is allowed by
// its hash and nothing else.
std::string publishedPagePolicy(const std::string& html);

} // namespace korvane::robot
