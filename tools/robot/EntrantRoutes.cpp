// The entrant's side: upload, log check, receipt, logs received, published results and
// the page's own stylesheet and script.
#include "tools/robot/EntrantPages.h"
#include "tools/robot/PageLayout.h"
#include "tools/robot/PublishedFiles.h"
#include "tools/robot/ServerContext.h"
#include "tools/robot/StaticAssets.h"

#include <fstream>
#include <sstream>

namespace korvane::robot {
namespace {

// Receipt ids are URL-safe; anything else is no receipt.
const char kReceiptPattern[] = "([A-Za-z0-9_-]{1,64})";

void pageUploadAnswer(ServerContext& c, const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& reader)
{
    const UploadBody body = c.receiveUpload(req, res, reader);
    if (body.result == UploadBody::Result::RateLimited)
        return sendHtml(res, 429, messagePage("Too many uploads", errorSentence(429)));
    if (body.result == UploadBody::Result::TooLarge)
        return sendHtml(res, 413, messagePage("The log is too large",
                                              "The log is larger than 5 MB, more than any contest log needs: "
                                              "check that this is the right file."));
    if (body.result == UploadBody::Result::Broken)
        return sendHtml(res, 400, messagePage("The upload could not be read", errorSentence(400)));
    if (body.log().empty())
        return sendHtml(res, 400,
                        uploadPage(c.robot.contest(), c.robot.window(), "Choose a log file or paste the log."));

    const SubmitOutcome outcome = c.robot.submit(body.log(), c.client(req));
    switch (outcome.status) {
    case SubmitOutcome::Status::Receipted:
        return redirectTo(res, "/receipts/" + outcome.receipt->id + (outcome.sameAsBefore ? "?again=1" : ""));
    case SubmitOutcome::Status::Refused: return sendHtml(res, 422, checkPage(outcome, body.log()));
    case SubmitOutcome::Status::WindowClosed:
        return sendHtml(res, 403, messagePage("Uploads are closed", outcome.message));
    case SubmitOutcome::Status::TooLarge:
        return sendHtml(res, 413, messagePage("The log is too large", outcome.message));
    case SubmitOutcome::Status::StorageFull:
        return sendHtml(res, 503, messagePage("The robot cannot store logs now", outcome.message));
    case SubmitOutcome::Status::Failed: break;
    }
    sendHtml(res, 500, messagePage("The log could not be received", outcome.message));
}

void publishedAnswer(ServerContext& c, const std::string& rest, httplib::Response& res)
{
    const std::optional<PublishedFile> file = publishedFile(c.robot.publishedFolder(), rest);
    std::ifstream in;
    if (file)
        in.open(file->path, std::ios::binary);
    if (!in.is_open())
        return sendHtml(res, 404, messagePage("No results here",
                                              "The committee has not published this (or any) result yet."));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    res.status = 200;
    res.set_content(bytes.str(), file->contentType.c_str());
    if (file->contentType.rfind("text/html", 0) == 0) {
        res.headers.erase("Content-Security-Policy");
        res.set_header("Content-Security-Policy", publishedPagePolicy(res.body));
    }
}

} // namespace

void addEntrantRoutes(ServerContext& c, RouteTable& table)
{
    table.add("GET", "/", [&c](const auto&, auto& res, const auto&) {
                   sendHtml(res, 200, uploadPage(c.robot.contest(), c.robot.window()));
               });
    table.addUpload("/upload", UploadHandler([&c](const auto& req, auto& res, const auto& reader) {
                   pageUploadAnswer(c, req, res, reader);
               }));
    table.add("GET", std::string("/receipts/") + kReceiptPattern, [&c](const auto& req, auto& res, const auto& m) {
                   const std::optional<Receipt> receipt = c.robot.receipt(m[1].str());
                   if (!receipt)
                       return sendHtml(res, 404, messagePage("No such receipt", "There is no receipt with this id."));
                   sendHtml(res, 200, receiptPage(*receipt, req.has_param("again")));
               });
    table.add("GET", "/logs", [&c](const auto& req, auto& res, const auto&) {
                   const LogsOrder order = logsOrder(req.get_param_value("sort"), req.get_param_value("order"));
                   std::vector<ReceivedLog> logs = c.robot.logsReceived();
                   sortLogs(logs, order);
                   sendHtml(res, 200, logsPage(logs, order));
               });
    table.add("GET", "/results", [](const auto&, auto& res, const auto&) { redirectTo(res, "/results/"); });
    table.add("GET", "/results/(.*)",
               [&c](const auto&, auto& res, const auto& m) { publishedAnswer(c, m[1].str(), res); });
    table.add("GET", "/style.css", [](const auto&, auto& res, const auto&) {
                   res.set_content(styleSheet(), "text/css; charset=utf-8");
               });
    table.add("GET", "/robot.js", [](const auto&, auto& res, const auto&) {
                   res.set_content(robotScript(), "text/javascript; charset=utf-8");
               });
}

} // namespace korvane::robot
