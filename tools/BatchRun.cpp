#include "tools/BatchRun.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "media/OutputFormats.h"
#include "pipeline/ExportQueue.h"
#include "pipeline/ExportReport.h"
#include "ui/StopSignals.h"

namespace {

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The length of the UTF-8 sequence starting at `text[at]`; 0 when it is not one.
size_t SequenceLength(const std::string& text, size_t at)
{
    unsigned char lead = text[at];
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size() || (length == 2 && lead < 0xC2))
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

}  // namespace

BatchRun::BatchRun(std::string outDir, OrderMaker makeOrder)
    : m_OutDir(std::move(outDir)), m_MakeOrder(std::move(makeOrder))
{
}

int BatchRun::Run(const std::vector<std::string>& inputs, FILE* out)
{
    bool failed = false, warned = false;
    for (const std::string& input : inputs) {
        auto start = std::chrono::steady_clock::now();
        Line line = Convert(input);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        failed = failed || std::string(line.result) == "failed";
        warned = warned || std::string(line.result) == "warnings";
        std::fprintf(out, "{\"input\":%s,\"output\":%s,\"result\":\"%s\",\"detail\":%s,\"seconds\":%.3f}\n",
                     JsonString(input).c_str(), JsonString(line.output).c_str(), line.result,
                     JsonString(line.detail).c_str(), seconds);
        std::fflush(out);
    }
    return failed ? 1 : warned ? 3 : 0;
}

BatchRun::Line BatchRun::Convert(const std::string& input)
{
    Line line;
    try {
        tExportOrder order = m_MakeOrder(input);
        order.output = OutputFor(input, order.params);
        line.output = order.output;
        ExportJob::Snapshot end = RunToEnd(order);
        if (end.state == ExportJob::FAILED) {
            line.detail = end.reason;
            return line;
        }
        line.result = end.check.Passed() ? "checked" : "warnings";
        line.detail = ExportReportText(end.check);
    } catch (const char* reason) {
        line.detail = reason;
    } catch (const std::exception& failure) {
        line.detail = failure.what();
    }
    return line;
}

// The input's base name with the output's extension, in the output folder.
std::string BatchRun::OutputFor(const std::string& input, const tCodecParams& params) const
{
    std::string name = input.substr(input.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::string path = m_OutDir + "/" + name + "." + OutputFormat(params.eCodec).extension;
    return ExportQueue::NextFreeName(path, Exists);
}

ExportJob::Snapshot BatchRun::RunToEnd(const tExportOrder& order)
{
    int ended[2];
    if (pipe2(ended, O_CLOEXEC) != 0)
        throw "Can't start the export.";
    ExportJob job(order, [&ended] {
        char byte = 1;
        ssize_t ignored = write(ended[1], &byte, 1);
        (void)ignored;
    });
    pollfd watched[2] = {{ended[0], POLLIN, 0}, {StopSignals::ReadableOnSignal(), POLLIN, 0}};
    while ((poll(watched, 2, -1) >= 0 || errno == EINTR) && !watched[0].revents) {
        if (watched[1].revents) {
            job.Abandon();
            watched[1].fd = -1;
        }
    }
    job.Wait();
    close(ended[0]);
    close(ended[1]);
    if (StopSignals::Caught())
        StopSignals::EndProgram();
    return job.GetSnapshot();
}

std::string BatchRun::JsonString(const std::string& text)
{
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        unsigned char c = text[at];
        size_t length = SequenceLength(text, at);
        if (length == 0) {
            json += "\\ufffd";
            ++at;
        } else if (c == '"' || c == '\\') {
            json += '\\';
            json += char(c);
            ++at;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
            ++at;
        } else {
            json.append(text, at, length);
            at += length;
        }
    }
    return json + "\"";
}
