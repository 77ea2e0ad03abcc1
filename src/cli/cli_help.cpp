#include "cli_help.h"

#include <array>
#include <memory>
#include <sstream>
#include <utility>

namespace qv::cli {

namespace {

constexpr std::string_view kHelpText = "顯示這份說明並結束";
constexpr std::string_view kOptionsGroup = "選項";
constexpr std::string_view kCommandsGroup = "命令";

// The parser's names of value types, as it prints them before a validator's text.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kTypeNames = {
    {{"TEXT", "文字"},
     {"INT", "整數"},
     {"UINT", "正整數"},
     {"FLOAT", "數值"},
     {"BOOLEAN", "是否"}}};

std::string typeName(std::string name) {
    for (const auto& [english, chinese] : kTypeNames) {
        if (name.rfind(english, 0) == 0 &&
            (name.size() == english.size() || name[english.size()] == ':'))
            return std::string(chinese) + name.substr(english.size());
    }
    return name;
}

// Terminal columns of UTF-8 text: East Asian wide characters take two.
std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6);
        width += wide ? 2 : 1;
        i += length;
    }
    return width;
}

class ChineseFormatter : public CLI::Formatter {
  public:
    ChineseFormatter() {
        label("Usage", "用法");
        label("OPTIONS", "選項");
        label("SUBCOMMAND", "命令");
        label("SUBCOMMANDS", "命令");
        label("Positionals", "位置參數");
        label("REQUIRED", "（必填）");
        label("Env", "環境變數");
        label("Needs", "需要");
        label("Excludes", "不能與此同用");
    }

    std::string make_description(const CLI::App* app) const override {
        std::string desc = app->get_description();
        const std::size_t least = app->get_require_option_min();
        if (least > 0) desc += "\n（下列選項至少需要 " + std::to_string(least) + " 個）";
        return desc.empty() ? std::string() : desc + "\n";
    }

    // The parser pads by bytes; Chinese value names need padding by columns.
    std::string make_option(const CLI::Option* opt, bool positional) const override {
        const std::string name = "  " + make_option_name(opt, positional) + make_option_opts(opt);
        const std::size_t width = displayWidth(name);
        std::string out = name;
        if (width >= column_width_)
            out += "\n" + std::string(column_width_, ' ');
        else
            out += std::string(column_width_ - width, ' ');
        out += make_option_desc(opt) + "\n";
        return out;
    }

    std::string make_option_opts(const CLI::Option* opt) const override {
        std::ostringstream out;
        if (!opt->get_option_text().empty()) return " " + opt->get_option_text();
        if (opt->get_type_size() != 0) {
            if (!opt->get_type_name().empty()) out << " " << typeName(opt->get_type_name());
            if (!opt->get_default_str().empty()) out << "=" << opt->get_default_str();
            if (opt->get_required()) out << " " << get_label("REQUIRED");
        }
        if (!opt->get_needs().empty()) {
            out << " " << get_label("Needs") << ":";
            for (const CLI::Option* other : opt->get_needs())
                out << " " << other->get_name();
        }
        if (!opt->get_excludes().empty()) {
            out << " " << get_label("Excludes") << ":";
            for (const CLI::Option* other : opt->get_excludes())
                out << " " << other->get_name();
        }
        return out.str();
    }
};

void localize(CLI::App& app, const std::shared_ptr<ChineseFormatter>& formatter) {
    app.formatter(formatter);
    app.set_help_flag("-h,--help", std::string(kHelpText));
    for (CLI::Option* opt : app.get_options()) {
        if (opt->get_group() == "Options") opt->group(std::string(kOptionsGroup));
    }
    for (CLI::App* sub : app.get_subcommands({})) {
        if (sub->get_group() == "Subcommands") sub->group(std::string(kCommandsGroup));
        localize(*sub, formatter);
    }
}

// Text for roff on one line: a backslash and a hyphen escaped, never read as a request.
std::string roff(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\\') {
            out += "\\e";
        } else if (ch == '-') {
            out += "\\-";
        } else {
            out += ch == '\n' ? ' ' : ch;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
    return out;
}

void optionsOf(std::ostringstream& out, const CLI::App& app, const ChineseFormatter& formatter) {
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_group().empty()) continue;
        out << ".TP\n.B " << roff(opt->get_name(false, true))
            << roff(formatter.make_option_opts(opt)) << "\n"
            << roff(opt->get_description()) << "\n";
    }
}

}  // namespace

void localizeHelp(CLI::App& app) {
    localize(app, std::make_shared<ChineseFormatter>());
}

std::string manPage(const CLI::App& app, std::string_view version) {
    const ChineseFormatter formatter;
    const std::string name = app.get_name().empty() ? "quorvane-cli" : app.get_name();
    std::ostringstream out;
    out << ".TH " << roff("QUORVANE-CLI") << " 1 \"\" \"quorvane " << version
        << "\" \"Quorvane\"\n.ad l\n"
        << ".SH 名稱\n"
        << roff(name) << " \\- " << roff(app.get_description()) << "\n"
        << ".SH 用法\n";
    for (const CLI::App* sub : app.get_subcommands({})) {
        out << ".B " << roff(name) << "\n.I " << roff(sub->get_name()) << "\n[選項]\n.br\n";
    }
    out << ".SH 說明\n"
        << "每個命令成功時結束狀態為 0，輸入或用法有誤時為 2；錯誤訊息以繁體中文寫到標準錯誤，"
           "並指出檔案與行號。\n"
        << ".SH 選項\n";
    optionsOf(out, app, formatter);
    out << ".SH 命令\n";
    for (const CLI::App* sub : app.get_subcommands({})) {
        out << ".SS " << roff(sub->get_name()) << "\n" << roff(sub->get_description()) << "\n";
        optionsOf(out, *sub, formatter);
    }
    out << ".SH 結束狀態\n.TP\n.B 0\n成功。\n.TP\n.B 2\n輸入或用法有誤。\n"
        << ".SH 另見\n.BR quorvane (1)\n";
    return out.str();
}

}  // namespace qv::cli
