#include <iostream>
#include <memory>
#include <string>

#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "core/number_text.h"
#include "data/class_import.h"
#include "data/loaders.h"
#include "load_class.h"

namespace qv::cli {

namespace {

struct ImportArgs {
    std::string answers, sheet, idColumn, items, keyRow, key, qmatrix, qmatrixSheet, outputDir;
};

struct ReadSheet {
    Sheet sheet;
    std::string fileName;
};

Expected<ReadSheet> readSheetFile(const std::string& file, const std::string& sheetName) {
    const auto path = pathOf(file);
    auto bytes = readFileBytes(path);
    if (!bytes) return bytes.error();
    ReadSheet out{{}, displayName(path)};
    auto sheet = readSheet(*bytes, out.fileName, sheetName);
    if (!sheet) return sheet.error();
    out.sheet = std::move(sheet).value();
    return out;
}

Expected<AnswerLayout> layoutOf(const ImportArgs& a, const NamedSheet& answers) {
    AnswerLayout layout;
    if (!a.idColumn.empty()) {
        auto column = findColumn(answers, a.idColumn);
        if (!column) return column.error();
        layout.idColumn = *column;
    }
    if (!a.items.empty()) {
        auto range = parseColumnRange(a.items);
        if (!range) return range.error();
        layout.items = *range;
    }
    if (!a.keyRow.empty()) layout.keyLabel = a.keyRow;
    if (!a.key.empty()) layout.key = a.key;
    return layout;
}

std::string count(std::size_t n) {
    return numberText(static_cast<double>(n));
}

int runImport(const ImportArgs& a) {
    const auto fail = [](const Error& e) {
        std::cerr << "錯誤：" << e.message() << "\n";
        return kExitBadInput;
    };
    auto answers = readSheetFile(a.answers, a.sheet);
    if (!answers) return fail(answers.error());
    auto qmatrix = readSheetFile(a.qmatrix, a.qmatrixSheet);
    if (!qmatrix) return fail(qmatrix.error());
    const NamedSheet answerSheet{answers->sheet, answers->fileName};
    auto layout = layoutOf(a, answerSheet);
    if (!layout) return fail(layout.error());
    auto imported = importClass(answerSheet, *layout, {qmatrix->sheet, qmatrix->fileName});
    if (!imported) return fail(imported.error());
    if (auto written = writeClassFolder(pathOf(a.outputDir), *imported); !written)
        return fail(written.error());

    std::string text = "已匯入 " + count(imported->students) + " 位學生、" +
                       count(imported->items) + " 題、" + count(imported->concepts) + " 個概念";
    if (imported->keyRow) {
        text += "（標準答案在第 " + count(*imported->keyRow + 1) + " 列）";
    } else if (!imported->keyGiven) {
        text += "（答案已是 0/1 計分，標準答案全為 1）";
    }
    text += "，寫入資料夾 " + a.outputDir + "：\n";
    for (std::string_view name : {kStudentFileName, kConceptFileName, kItemConceptFileName})
        text += (pathOf(a.outputDir) / name).string() + "\n";
    return printText(text);
}

}  // namespace

void addImportCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<ImportArgs>();
    CLI::App* cmd =
        app.add_subcommand("import", "把試算表（CSV、XLSX、ODS）的答案表與 Q 矩陣轉成班級資料夾");
    cmd->add_option("--answers", args->answers, "答案表：每位學生一列、每題一欄，第一列是欄名")
        ->required()
        ->check(notEmpty());
    cmd->add_option("--sheet", args->sheet, "答案表的工作表名稱（預設第一個）");
    cmd->add_option("--id-column", args->idColumn, "學號欄：欄名、字母或編號（預設第一欄）");
    cmd->add_option("--items", args->items, "題目欄，如 C:V 或 3-22（預設學號欄之後的每一欄）");
    const char* keyRowHelp =
        "標準答案列學號欄的文字（預設找「答案」、「標準答案」、「正確答案」或「key」）";
    auto* keyRow = cmd->add_option("--key-row", args->keyRow, keyRowHelp)->check(notEmpty());
    cmd->add_option("--key", args->key, "標準答案，每題一個字元")
        ->check(notEmpty())
        ->excludes(keyRow);
    cmd->add_option("--qmatrix", args->qmatrix,
                    "Q 矩陣：第一列是角落格與概念名稱，之後每題一列，1 表示包含該概念")
        ->required()
        ->check(notEmpty());
    cmd->add_option("--qmatrix-sheet", args->qmatrixSheet, "Q 矩陣的工作表名稱（預設第一個）");
    cmd->add_option("--output-dir", args->outputDir,
                    "寫入 students.txt、concepts.txt 與 item-concepts.txt 的資料夾")
        ->required()
        ->check(notEmpty());
    cmd->callback([args, &status] { status = runImport(*args); });
}

}  // namespace qv::cli
