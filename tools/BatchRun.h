#pragma once
// Many files converted in turn with the same options, each output named
// after its input in one folder (the next free name when it is taken), and
// a JSON object per file on a line of its own:
//   {"input":..., "output":..., "result":"checked"|"warnings"|"failed",
//    "detail": the read-back or why it failed, "seconds": S}
// A file that fails does not stop the others. A stop signal abandons the
// file being written and ends the program as the signal does.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "pipeline/ExportJob.h"

class BatchRun {
public:
    // Makes the order for an input (its output is then named here); throws
    // a constant message when the input cannot be converted.
    using OrderMaker = std::function<tExportOrder(const std::string& input)>;

    BatchRun(std::string outDir, OrderMaker makeOrder);

    // Converts each file, printing its line to `out` once it is done.
    // Returns 0 when every output was checked, 3 when some have warnings
    // and none failed, 1 when any failed.
    int Run(const std::vector<std::string>& inputs, FILE* out);

    // `text` as a JSON string, quotes included; bytes that are not UTF-8
    // become U+FFFD.
    static std::string JsonString(const std::string& text);

private:
    struct Line {
        std::string output;
        const char* result = "failed";
        std::string detail;
    };

    Line Convert(const std::string& input);
    std::string OutputFor(const std::string& input, const tCodecParams& params) const;
    static ExportJob::Snapshot RunToEnd(const tExportOrder& order);

    const std::string m_OutDir;
    const OrderMaker m_MakeOrder;
};
