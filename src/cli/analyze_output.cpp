#include "analyze_output.h"

#include <cerrno>
#include <iostream>
#include <memory>
#include <mutex>

#include "analysis/results_csv.h"
#include "analysis/results_json.h"
#include "analysis/results_links.h"
#include "analysis/results_text.h"
#include "commands.h"
#include "load_class.h"

namespace qv::cli {

Error stdoutFailure(int errnum) {
    return errorText("錯誤：無法寫入標準輸出：" + systemReason(errnum));
}

void Sink::write(std::string_view bytes) {
    if (error_ || bytes.empty()) return;
    if (file_) {
        if (auto written = file_->write(bytes); !written) error_ = written.error();
    } else if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        error_ = stdoutFailure(errno);
    }
}

Expected<std::optional<SafeFile>> outputFile(const std::string& output) {
    if (output.empty() || isStandardOutput(output)) return std::optional<SafeFile>();
    auto created = SafeFile::create(pathOf(output));
    if (!created) return errorText("錯誤：" + created.error().message());
    return std::optional<SafeFile>(std::move(created).value());
}

int printText(std::string_view text) {
    Sink out(stdout);
    out.write(text);
    if (auto done = out.finish(); !done) {
        std::cerr << done.error().message() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

Expected<void> Sink::finish() {
    if (error_) return *error_;
    if (file_) return file_->commit();
    if (std::fflush(stream_) != 0) return stdoutFailure(errno);
    return {};
}

AnalyzeFormat tableFormat() {
    AnalyzeFormat f;
    f.head = [] { return std::string(kResultsHeader) + "\n"; };
    f.student = [](std::string& out, const StudentRecord& r) { appendResultRow(out, r, "\n"); };
    return f;
}

AnalyzeFormat csvFormat(const RunMethod& method, int n) {
    AnalyzeFormat f;
    f.head = resultsCsvHead;
    f.student = [key = methodKey(method, n)](std::string& out, const StudentRecord& r) {
        appendResultsCsvRow(out, r, key);
    };
    return f;
}

// The run keeps no matrices: each student's are derived as the student is
// written, on the worker that writes it.
AnalyzeFormat jsonFormat(const ClassData& state, const RunResults& standard, RunMethod method) {
    AnalyzeFormat f;
    f.head = [&state, &standard, method] {
        return resultsJsonHead(resultsJsonClass(state, standard, method));
    };
    const auto builder = std::make_shared<const StudentNetworkBuilder>(state, method);
    f.student = [items = state.itemCount, builder](std::string& out, const StudentRecord& r) {
        appendStudentJson(out, r, items, *builder);
    };
    f.firstSkip = kFirstStudentSkip;
    f.tail = resultsJsonTail(state.studentCount);
    return f;
}

AnalyzeFormat linksFormat(const RunResults& standard, RunMethod method) {
    AnalyzeFormat f;
    f.head = [] { return LinksCsvWriter::head(); };
    // The standard is known once the run starts on its students.
    struct Writer {
        std::once_flag made;
        std::unique_ptr<const LinksCsvWriter> writer;
    };
    const auto shared = std::make_shared<Writer>();
    f.student = [shared, &standard, method](std::string& out, const StudentRecord& r) {
        std::call_once(shared->made, [&] {
            shared->writer = std::make_unique<const LinksCsvWriter>(standard, method);
        });
        shared->writer->appendRows(out, r);
    };
    return f;
}

}  // namespace qv::cli
